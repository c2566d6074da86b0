#include "station/CalibrationDue.h"
#include "platform/vb/Format.h"
#include <cmath>

namespace {
// A date to the whole second, so that sums of days compare as the dates they stand for.
double toSeconds(double idDays) { return std::round(idDays * 86400.0); }
}

bool caliDue(double idLastCali, double idCaliETime, double idNow) {
    if (idLastCali == 0.0) return true;
    return idCaliETime > 0.0 && toSeconds(idNow) > toSeconds(idLastCali + idCaliETime);
}

QString caliDueWhenText(double idLastCali, double idCaliETime, double idNow) {
    const double due = toSeconds(idLastCali + idCaliETime) / 86400.0;
    const double dueDay = std::floor(due);
    const double today = std::floor(idNow);
    QString text;
    if (dueDay != today) {
        text = FormatDate(due, QStringLiteral("d mmm"));
        if (dueDay - idNow < 8.0) text = FormatDate(due, QStringLiteral("dddd"));
        if (dueDay == today + 1.0) text = QStringLiteral("tomorrow");
    } else {
        text = FormatDate(due, QStringLiteral("Short Time"));
    }
    return QStringLiteral("Calibration due ") + text;
}
