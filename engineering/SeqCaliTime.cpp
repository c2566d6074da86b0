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

double seqCaliLeadingNumber(const QString& iText) {
    const QString s = iText.trimmed();
    int end = 0;
    if (end < s.size() && (s[end] == QLatin1Char('+') || s[end] == QLatin1Char('-'))) ++end;
    while (end < s.size() && s[end].isDigit()) ++end;
    if (end < s.size() && s[end] == QLatin1Char('.')) {
        ++end;
        while (end < s.size() && s[end].isDigit()) ++end;
    }
    bool ok = false;
    const double v = s.left(end).toDouble(&ok);
    return ok ? v : 0.0;
}

double seqCaliDays(const QString& iDays, const QString& iHours, const QString& iMinutes) {
    return CInt(seqCaliLeadingNumber(iDays)) + CInt(seqCaliLeadingNumber(iHours)) / 24.0 +
           CInt(seqCaliLeadingNumber(iMinutes)) / 1440.0;
}
