#include "engineering/SeqCaliTime.h"
#include "platform/vb/Conversions.h"
#include <cmath>

SeqCaliParts seqCaliSplit(double iDays) {
    SeqCaliParts p;
    if (!(iDays > 0.0)) return p;
    const int32_t t = CLng(iDays * 1440.0);
    p.days = t / 1440;
    p.hours = (t % 1440) / 60;
    p.minutes = t % 60;
    return p;
}

double seqCaliDays(const QString& iDays, const QString& iHours, const QString& iMinutes) {
    return CInt(Val(iDays)) + CInt(Val(iHours)) / 24.0 + CInt(Val(iMinutes)) / 1440.0;
}
