#include "platform/vb/Format.h"
#include "platform/vb/Locale.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/DateTime.h"
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

QString decimalRounded(double iValue, int iDecimals, int iSignificant) {
    const double a = std::fabs(iValue);
    if (a == 0.0 || !std::isfinite(a)) {
        return iDecimals > 0 ? QStringLiteral("0.") + QString(iDecimals, QLatin1Char('0')) : QStringLiteral("0");
    }
    const QString e = QString::number(a, 'e', iSignificant - 1);   // d.ddddde+XX
    const qsizetype ePos = e.indexOf(QLatin1Char('e'));
    QString digits = e.left(ePos);
    digits.remove(QLatin1Char('.'));
    const int exp10 = e.mid(ePos + 1).toInt();
    QString intPart;
    QString fracPart;
    if (exp10 >= 0) {
        QString d = digits;
        while (d.size() < exp10 + 1) d.append(QLatin1Char('0'));
        intPart = d.left(exp10 + 1);
        fracPart = d.mid(exp10 + 1);
    } else {
        intPart = QStringLiteral("0");
        fracPart = QString(-exp10 - 1, QLatin1Char('0')) + digits;
    }
    bool roundUp = false;
    if (fracPart.size() > iDecimals) {
        roundUp = fracPart.at(iDecimals) >= QLatin1Char('5');
        fracPart.truncate(iDecimals);
    }
    while (fracPart.size() < iDecimals) fracPart.append(QLatin1Char('0'));
    QString all = intPart + fracPart;
    if (roundUp) {
        qsizetype i = all.size() - 1;
        for (; i >= 0; --i) {
            if (all.at(i) == QLatin1Char('9')) { all[i] = QLatin1Char('0'); continue; }
            all[i] = QChar(all.at(i).unicode() + 1);
            break;
        }
        if (i < 0) all.prepend(QLatin1Char('1'));
    }
    intPart = all.left(all.size() - iDecimals);
    fracPart = all.right(iDecimals);
    while (intPart.size() > 1 && intPart.at(0) == QLatin1Char('0')) intPart.remove(0, 1);
    return iDecimals > 0 ? intPart + QLatin1Char('.') + fracPart : intPart;
}

namespace {

// Splits a pattern at ";" outside quotes and escapes.
QStringList sections(const QString& iPattern) {
    QStringList out;
    QString cur;
    bool quoted = false;
    for (qsizetype i = 0; i < iPattern.size(); ++i) {
        const QChar c = iPattern.at(i);
        if (c == QLatin1Char('"')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('\\') && i + 1 < iPattern.size()) {
            cur += c; cur += iPattern.at(++i); continue;
        }
        if (!quoted && c == QLatin1Char(';')) { out << cur; cur.clear(); continue; }
        cur += c;
    }
    out << cur;
    return out;
}

bool isDatePattern(const QString& iPattern) {
    static const QStringList named = {"general date", "long date", "medium date", "short date",
                                      "long time", "medium time", "short time"};
    // The named number forms are spelt with date letters ("Fixed", "Standard", ...).
    static const QStringList namedNumber = {"general number", "fixed", "standard", "percent",
                                            "true/false", "yes/no", "on/off"};
    const QString p = iPattern.toLower();
    if (named.contains(p)) return true;
    if (namedNumber.contains(p)) return false;
    bool quoted = false;
    for (qsizetype i = 0; i < iPattern.size(); ++i) {
        const QChar c = iPattern.at(i);
        if (c == QLatin1Char('"')) { quoted = !quoted; continue; }
        if (quoted) continue;
        if (c == QLatin1Char('\\')) { ++i; continue; }
        switch (c.toLower().unicode()) {
        case 'd': case 'm': case 'y': case 'h': case 'n': case 's': case 'w': case 'q': case 'c':
            return true;
        default: break;
        }
    }
    return false;
}

QString groupDigits(const QString& iInt, const QString& iSep) {
    QString out;
    const qsizetype n = iInt.size();
    for (qsizetype i = 0; i < n; ++i) {
        out += iInt.at(i);
        const qsizetype left = n - 1 - i;
        if (left > 0 && left % 3 == 0) out += iSep;
    }
    return out;
}

QString formatNumberSection(double iValue, const QString& iSection, int iSignificant, bool iWithSign) {
    const QLocale loc = userlocale::user();
    QString prefix, suffix;
    int minInt = 0, minDec = 0, maxDec = 0;
    bool seenDigit = false, seenPoint = false, grouping = false, percent = false, afterDigits = false;
    bool quoted = false;
    for (qsizetype i = 0; i < iSection.size(); ++i) {
        const QChar c = iSection.at(i);
        QString literal;
        if (quoted) {
            if (c == QLatin1Char('"')) { quoted = false; continue; }
            literal = c;
        } else if (c == QLatin1Char('"')) {
            quoted = true; continue;
        } else if (c == QLatin1Char('\\') && i + 1 < iSection.size()) {
            literal = iSection.at(++i);
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            seenDigit = true;
            if (afterDigits) { afterDigits = false; }
            if (seenPoint) { ++maxDec; if (c == QLatin1Char('0')) minDec = maxDec; }
            else if (c == QLatin1Char('0')) ++minInt;
            continue;
        } else if (c == QLatin1Char('.')) {
            seenPoint = true; seenDigit = true; continue;
        } else if (c == QLatin1Char(',')) {
            if (seenDigit && !seenPoint) grouping = true;
            continue;
        } else {
            if (c == QLatin1Char('%')) percent = true;
            literal = c;
        }
        if (seenDigit) { suffix += literal; afterDigits = true; } else prefix += literal;
    }
    double v = std::fabs(iValue);
    if (percent) v *= 100.0;
    QString num = decimalRounded(v, maxDec, iSignificant);
    QString intPart = maxDec > 0 ? num.section(QLatin1Char('.'), 0, 0) : num;
    QString frac = maxDec > 0 ? num.section(QLatin1Char('.'), 1, 1) : QString();
    while (frac.size() > minDec && frac.endsWith(QLatin1Char('0'))) frac.chop(1);
    if (intPart == QLatin1String("0") && minInt == 0) intPart.clear();
    while (intPart.size() < minInt) intPart.prepend(QLatin1Char('0'));
    if (grouping) intPart = groupDigits(intPart, loc.groupSeparator());
    QString body = intPart;
    if (seenPoint) body += loc.decimalPoint() + frac;
    const bool zero = QString(intPart + frac).remove(QLatin1Char('0')).remove(loc.groupSeparator()).isEmpty();
    const QString sign = (iWithSign && iValue < 0 && !zero) ? QStringLiteral("-") : QString();
    return sign + prefix + body + suffix;
}

QString formatNumber(double iValue, const QString& iPattern, int iSignificant) {
    const QString p = iPattern.toLower();
    if (iPattern.isEmpty() || p == QLatin1String("general number"))
        return generalNumberText(iValue, iSignificant, userlocale::decimalChar());
    if (p == QLatin1String("fixed")) return formatNumberSection(iValue, QStringLiteral("0.00"), iSignificant, true);
    if (p == QLatin1String("standard")) return formatNumberSection(iValue, QStringLiteral("#,##0.00"), iSignificant, true);
    if (p == QLatin1String("percent")) return formatNumberSection(iValue, QStringLiteral("0.00%"), iSignificant, true);
    if (p == QLatin1String("true/false")) return iValue != 0 ? QStringLiteral("True") : QStringLiteral("False");
    if (p == QLatin1String("yes/no")) return iValue != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
    if (p == QLatin1String("on/off")) return iValue != 0 ? QStringLiteral("On") : QStringLiteral("Off");
    const QStringList secs = sections(iPattern);
    if (iValue < 0 && secs.size() >= 2 && !secs.at(1).isEmpty())
        return formatNumberSection(iValue, secs.at(1), iSignificant, false);
    if (iValue == 0 && secs.size() >= 3 && !secs.at(2).isEmpty())
        return formatNumberSection(iValue, secs.at(2), iSignificant, false);
    return formatNumberSection(iValue, secs.at(0), iSignificant, true);
}

QString longTimeFormat(const QLocale& iLoc) {
    QString f = iLoc.timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return f.trimmed();
}

struct DateToken { QString text; bool literal; };

QString formatDateCustom(const QDateTime& iDt, double iDays, const QString& iPattern) {
    const QLocale loc = userlocale::user();
    // Tokenise: runs of the same letter, quoted and escaped literals, AM/PM markers.
    std::vector<DateToken> toks;
    for (qsizetype i = 0; i < iPattern.size();) {
        const QChar c = iPattern.at(i);
        if (c == QLatin1Char('"')) {
            const qsizetype end = iPattern.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? iPattern.size() : end;
            toks.push_back({iPattern.mid(i + 1, stop - i - 1), true});
            i = stop + 1;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < iPattern.size()) {
            toks.push_back({iPattern.mid(i + 1, 1), true});
            i += 2;
            continue;
        }
        for (const char* ampm : {"AM/PM", "am/pm", "A/P", "a/p", "AMPM"}) {
            const QString a = QLatin1String(ampm);
            if (iPattern.mid(i, a.size()) == a) { toks.push_back({a, false}); i += a.size(); goto next; }
        }
        if (QStringLiteral("dDmMyYhHnNsSwWqQcCtT").contains(c)) {
            qsizetype j = i;
            while (j < iPattern.size() && iPattern.at(j).toLower() == c.toLower()) ++j;
            toks.push_back({iPattern.mid(i, j - i).toLower(), false});
            i = j;
            continue;
        }
        toks.push_back({QString(c), true});
        ++i;
    next:;
    }
    const bool twelveHour = std::any_of(toks.begin(), toks.end(), [](const DateToken& t) {
        return !t.literal && (t.text.contains(QLatin1Char('/')) || t.text == QLatin1String("AMPM"));
    });
    QString out;
    QString prevKind;
    for (size_t k = 0; k < toks.size(); ++k) {
        const DateToken& t = toks[k];
        if (t.literal) {
            if (t.text == QLatin1String(":")) out += QLatin1Char(':');
            else if (t.text == QLatin1String("/")) {
                const QString sd = loc.dateFormat(QLocale::ShortFormat);
                const qsizetype p = sd.indexOf(QRegularExpression(QStringLiteral("[^dMy]")));
                out += p >= 0 ? sd.at(p) : QLatin1Char('/');
            } else out += t.text;
            continue;
        }
        const QString& s = t.text;
        const QChar kind = s.at(0);
        const QDate d = iDt.date();
        const QTime tm = iDt.time();
        if (kind == QLatin1Char('d')) {
            switch (s.size()) {
            case 1: out += QString::number(d.day()); break;
            case 2: out += QStringLiteral("%1").arg(d.day(), 2, 10, QLatin1Char('0')); break;
            case 3: out += loc.dayName(d.dayOfWeek(), QLocale::ShortFormat); break;
            case 4: out += loc.dayName(d.dayOfWeek(), QLocale::LongFormat); break;
            case 5: out += loc.toString(d, userlocale::shortDateFormat(loc)); break;
            default: out += loc.toString(d, QLocale::LongFormat); break;
            }
        } else if (kind == QLatin1Char('m')) {
            // Minutes only directly after an hour: "mm:ss" is month and seconds.
            const bool minute = prevKind == QLatin1String("h");
            if (minute && s.size() <= 2)
                out += s.size() == 1 ? QString::number(tm.minute()) : QStringLiteral("%1").arg(tm.minute(), 2, 10, QLatin1Char('0'));
            else if (s.size() == 1) out += QString::number(d.month());
            else if (s.size() == 2) out += QStringLiteral("%1").arg(d.month(), 2, 10, QLatin1Char('0'));
            else if (s.size() == 3) out += loc.monthName(d.month(), QLocale::ShortFormat);
            else out += loc.monthName(d.month(), QLocale::LongFormat);
        } else if (kind == QLatin1Char('y')) {
            if (s.size() == 1) out += QString::number(d.dayOfYear());
            else if (s.size() <= 3) out += QStringLiteral("%1").arg(d.year() % 100, 2, 10, QLatin1Char('0'));
            else out += QString::number(d.year());
        } else if (kind == QLatin1Char('h')) {
            int h = tm.hour();
            if (twelveHour) { h %= 12; if (h == 0) h = 12; }
            out += s.size() == 1 ? QString::number(h) : QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0'));
        } else if (kind == QLatin1Char('n')) {
            out += s.size() == 1 ? QString::number(tm.minute()) : QStringLiteral("%1").arg(tm.minute(), 2, 10, QLatin1Char('0'));
        } else if (kind == QLatin1Char('s')) {
            out += s.size() == 1 ? QString::number(tm.second()) : QStringLiteral("%1").arg(tm.second(), 2, 10, QLatin1Char('0'));
        } else if (kind == QLatin1Char('w')) {
            out += s.size() == 1 ? QString::number(d.dayOfWeek() % 7 + 1) : QString::number(d.weekNumber());
        } else if (kind == QLatin1Char('q')) {
            out += QString::number((d.month() - 1) / 3 + 1);
        } else if (kind == QLatin1Char('c')) {
            out += vbGeneralDateText(iDays);
        } else if (kind == QLatin1Char('t')) {
            out += loc.toString(tm, longTimeFormat(loc));
        } else {   // AM/PM markers
            const bool pm = tm.hour() >= 12;
            if (s == QLatin1String("AM/PM")) out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
            else if (s == QLatin1String("am/pm")) out += pm ? QStringLiteral("pm") : QStringLiteral("am");
            else if (s == QLatin1String("A/P")) out += pm ? QStringLiteral("P") : QStringLiteral("A");
            else if (s == QLatin1String("a/p")) out += pm ? QStringLiteral("p") : QStringLiteral("a");
            else out += pm ? loc.pmText() : loc.amText();
        }
        prevKind = QString(kind);
    }
    return out;
}

}   // namespace

QString FormatDate(double iDays, const QString& iPattern) {
    const QLocale loc = userlocale::user();
    const QDateTime dt = vbDateTimeFromDate(iDays);
    const QString p = iPattern.toLower();
    if (iPattern.isEmpty() || p == QLatin1String("general date")) return vbGeneralDateText(iDays);
    if (p == QLatin1String("long date")) return loc.toString(dt.date(), QLocale::LongFormat);
    if (p == QLatin1String("short date")) return loc.toString(dt.date(), userlocale::shortDateFormat(loc));
    if (p == QLatin1String("medium date")) return formatDateCustom(dt, iDays, QStringLiteral("dd\\-mmm\\-yy"));
    if (p == QLatin1String("long time")) return loc.toString(dt.time(), longTimeFormat(loc));
    if (p == QLatin1String("medium time")) return formatDateCustom(dt, iDays, QStringLiteral("hh:nn AMPM"));
    if (p == QLatin1String("short time")) return formatDateCustom(dt, iDays, QStringLiteral("hh:nn"));
    return formatDateCustom(dt, iDays, iPattern);
}

QString Format(double iValue, const QString& iPattern) {
    if (isDatePattern(iPattern)) return FormatDate(iValue, iPattern);
    return formatNumber(iValue, iPattern, 15);
}

QString Format(float iValue, const QString& iPattern) {
    if (isDatePattern(iPattern)) return FormatDate(iValue, iPattern);
    return formatNumber(iValue, iPattern, 7);
}

QString Format(const Variant& iValue, const QString& iPattern) {
    switch (iValue.type()) {
    case Variant::Type::Null:
    case Variant::Type::Empty:
        return QString();
    case Variant::Type::Date:
        // A number pattern shows the date as its number of days.
        if (!iPattern.isEmpty() && !isDatePattern(iPattern)) return Format(iValue.number(), iPattern);
        return FormatDate(iValue.number(), iPattern);
    case Variant::Type::Single:
        return Format(static_cast<float>(iValue.number()), iPattern);
    case Variant::Type::String: {
        double v = 0.0;
        if (iPattern.isEmpty() || !parseLocaleNumber(iValue.text(), v)) return iValue.text();
        return Format(v, iPattern);
    }
    case Variant::Type::Boolean:
        if (iPattern.isEmpty()) return CStr(iValue);
        return Format(iValue.number(), iPattern);
    default:
        return Format(iValue.number(), iPattern);
    }
}
