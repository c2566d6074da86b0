#include "platform/vb/DateTime.h"
#include "platform/vb/Locale.h"
#include "platform/vb/VbError.h"
#include <cmath>

namespace {
// 1899-12-30 as a constant expression: a QDate built at start-up would still be
// invalid for dates other files compute while they are initialised.
constexpr QDate kEpoch = QDate::fromJulianDay(2415019);
static_assert(kEpoch.toJulianDay() == 2415019);

// A two-digit year read from text: 00-29 are this century, 30-99 the last, as
// the platform the station's dates come from reads them ("07.12.26" is 2026).
QDate withCenturyWindow(const QDate& iDate, const QString& iFormat) {
    if (!iDate.isValid() || iFormat.contains(QLatin1String("yyyy")) || !iFormat.contains(QLatin1String("yy")))
        return iDate;
    return iDate.year() < 1930 ? iDate.addYears(100) : iDate;
}

// The locale's long time form without a time-zone field.
QString longTimeFormat(const QLocale& iLoc) {
    QString f = iLoc.timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return f.trimmed();
}
}

double vbDateFromDateTime(const QDateTime& iDateTime) {
    const qint64 days = kEpoch.daysTo(iDateTime.date());
    const QTime t = iDateTime.time();
    return static_cast<double>(days) + t.msecsSinceStartOfDay() / 86400000.0;
}

double vbCheckedDate(double iDays) {
    // Days of 1 January 100 and of the day after 31 December 9999.
    constexpr double kFirst = -657434.0;
    constexpr double kAfterLast = 2958466.0;
    if (!(iDays > kFirst - 1.0 && iDays < kAfterLast)) vbRaise(vberr::kOverflow);
    return iDays;
}

QDateTime vbDateTimeFromDateExact(double iDays) {
    vbCheckedDate(iDays);
    const double whole = std::floor(iDays);
    qint64 ms = std::llround((iDays - whole) * 86400000.0);
    qint64 day = static_cast<qint64>(whole);
    if (ms >= 86400000) { ms -= 86400000; ++day; }
    return QDateTime(kEpoch.addDays(day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

QDateTime vbDateTimeFromDate(double iDays) {
    vbCheckedDate(iDays);
    const double whole = std::floor(iDays);
    qint64 s = std::llround((iDays - whole) * 86400.0);
    qint64 day = static_cast<qint64>(whole);
    if (s >= 86400) { s -= 86400; ++day; }
    return QDateTime(kEpoch.addDays(day), QTime(0, 0).addSecs(static_cast<int>(s)));
}

double vbDateSerial(int iYear, int iMonth, int iDay) {
    return static_cast<double>(kEpoch.daysTo(QDate(iYear, iMonth, iDay)));
}

double vbTimeSerial(int iHour, int iMinute, int iSecond) {
    return (iHour * 3600.0 + iMinute * 60.0 + iSecond) / 86400.0;
}

QString vbGeneralDateText(double iDays) {
    const QLocale loc = userlocale::user();
    const QDateTime dt = vbDateTimeFromDate(iDays);
    const bool hasDate = std::floor(iDays) != 0.0;
    const bool hasTime = dt.time() != QTime(0, 0);
    const QString date = loc.toString(dt.date(), userlocale::shortDateFormat(loc));
    const QString time = loc.toString(dt.time(), longTimeFormat(loc));
    if (hasDate && hasTime) return date + QLatin1Char(' ') + time;
    if (hasTime) return time;
    return date;
}

bool parseVbDateText(const QString& iText, double& oDays) {
    const QLocale loc = userlocale::user();
    const QString t = iText.trimmed();
    const QString longTime = longTimeFormat(loc);
    // A typed date may carry two digits of the year (the locale's own form) or
    // four (the form the station shows); the two-digit form is tried first, as
    // four-digit parsing would take "26" for the year 26.
    QStringList dateForms{loc.dateFormat(QLocale::ShortFormat)};
    if (userlocale::shortDateFormat(loc) != dateForms.first()) dateForms << userlocale::shortDateFormat(loc);
    for (const QString& shortDate : dateForms) {
        for (const QString& f : {shortDate + QLatin1Char(' ') + longTime, shortDate + QLatin1Char(' ') +
                                 loc.timeFormat(QLocale::ShortFormat)}) {
            const QDateTime dt = loc.toDateTime(t, f);
            if (dt.isValid()) {
                oDays = vbDateFromDateTime(QDateTime(withCenturyWindow(dt.date(), shortDate), dt.time()));
                return true;
            }
        }
        const QDate d = withCenturyWindow(loc.toDate(t, shortDate), shortDate);
        if (d.isValid()) { oDays = static_cast<double>(kEpoch.daysTo(d)); return true; }
    }
    for (const QString& f : {longTime, loc.timeFormat(QLocale::ShortFormat)}) {
        const QTime tm = loc.toTime(t, f);
        if (tm.isValid()) { oDays = tm.msecsSinceStartOfDay() / 86400000.0; return true; }
    }
    return false;
}
