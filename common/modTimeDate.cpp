#include "common/modTimeDate.h"
#include "common/ErrorTrap.h"
#include "platform/os/Clock.h"
#include "platform/ui/TimerControl.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/DateTime.h"
#include "platform/vb/Format.h"
#include "platform/vb/Strings.h"
#include <QLabel>
#include <cmath>

namespace {
const char* kModule = "modTimeDate";
}

void gTimeDateShow(QLabel* ilblTimeDate, TimerControl* itmrClock, bool& obError) {
    ErrorTrap trap(kModule, "gTimeDateShow", obError);
    const QDateTime now = vclock::now();
    // The interval comes from the exact time of day in milliseconds, so that
    // the label turns over on the whole minute.
    if (!trap(10, [&] {
            const int msIntoMinute = now.time().second() * 1000 + now.time().msec();
            int interval = 60000 - msIntoMinute;
            if (interval == 0) interval = 1;
            itmrClock->setInterval(interval);
            itmrClock->setEnabled(true);
        }))
        return;
    trap(20, [&] {
        bool err = false;
        const QString text = gsTimeDateShortTimeDayMediumDate(vbDateFromDateTime(now), err);
        if (!err) ilblTimeDate->setText(text);
    });
}

QString gsTimeDateMinsSecs(double idTime, const QString& isMinsFormat, int16_t inDecimals, bool& obError) {
    ErrorTrap trap(kModule, "gsTimeDateMinsSecs", obError);
    QString result;
    trap(10, [&] {
        const float f = static_cast<float>(idTime - std::floor(idTime));
        QString t = Format(f, QStringLiteral("h:") + isMinsFormat + QStringLiteral(":ss"));
        t = Mid(t, InStr(t, QStringLiteral(":")) + 1);
        if (inDecimals <= 0) { result = t; return; }
        // Round once, to the decimals shown, and take minutes and seconds from that
        // one value: 2:59.97 is "03:00.0", never "03:60.0" or "02:00.0".
        const double scale = std::pow(10.0, inDecimals);
        const double total = std::round(static_cast<double>(f) * 86400.0 * scale) / scale;
        const double wholeMinutes = std::floor(total / 60.0);
        QString m = Format(wholeMinutes * 60.0 / 86400.0, QStringLiteral("h:") + isMinsFormat + QStringLiteral(":ss"));
        m = Mid(m, InStr(m, QStringLiteral(":")) + 1);
        m = Left(m, InStr(m, QStringLiteral(":")));
        result = m + Format(total - wholeMinutes * 60.0, QStringLiteral("00.") + QString(inDecimals, QLatin1Char('0')));
    });
    return result;
}

QString gsTimeDateShortTimeDayMediumDate(double idTime, bool& obError) {
    ErrorTrap trap(kModule, "gsTimeDateShortTimeDayMediumDate", obError);
    QString result;
    trap(10, [&] {
        const double today = vclock::nowDays();
        result = FormatDate(idTime, QStringLiteral("Short Time")) + QLatin1Char(' ') +
                 FormatDate(today, QStringLiteral("ddd")) + QLatin1Char(' ') +
                 FormatDate(today, QStringLiteral("Medium Date"));
    });
    return result;
}

QString gsTimeDateShortTimeMediumDate(double idDateTime, bool& obError) {
    ErrorTrap trap(kModule, "gsTimeDateShortTimeMediumDate", obError);
    QString result;
    trap(10, [&] {
        result = FormatDate(idDateTime, QStringLiteral("Short Time")) + QLatin1Char(' ') +
                 FormatDate(idDateTime, QStringLiteral("Medium Date"));
    });
    return result;
}
