#include "platform/vb/Conversions.h"
#include "platform/vb/Locale.h"
#include "platform/vb/DateTime.h"
#include "platform/vb/VbError.h"
#include <cfloat>
#include <cmath>

double roundHalfEven(double iValue) { return std::nearbyint(iValue); }

int16_t checkedInt(long long iValue) {
    if (iValue < -32768 || iValue > 32767) vbRaise(vberr::kOverflow);
    return static_cast<int16_t>(iValue);
}

int32_t checkedLong(long long iValue) {
    if (iValue < INT32_MIN || iValue > INT32_MAX) vbRaise(vberr::kOverflow);
    return static_cast<int32_t>(iValue);
}

int16_t CInt(double iValue) {
    if (std::isnan(iValue)) vbRaise(vberr::kOverflow);
    const double r = roundHalfEven(iValue);
    if (r < -32768.0 || r > 32767.0) vbRaise(vberr::kOverflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(double iValue) {
    if (std::isnan(iValue)) vbRaise(vberr::kOverflow);
    const double r = roundHalfEven(iValue);
    if (r < -2147483648.0 || r > 2147483647.0) vbRaise(vberr::kOverflow);
    return static_cast<int32_t>(r);
}

float CSng(double iValue) {
    if (std::isfinite(iValue) && std::fabs(iValue) > FLT_MAX) vbRaise(vberr::kOverflow);
    return static_cast<float>(iValue);
}

bool parseLocaleNumber(const QString& iText, double& oValue) {
    const QString t = iText.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    const QLocale loc = userlocale::user();
    double v = loc.toDouble(t, &ok);
    // Only an exponent form ("1E-05") gets a second reading with the invariant
    // point; any other text read that way would let "1.5" mean 1.5 in a locale
    // where "1.500" means 1500.
    if (!ok && t.contains(QLatin1Char('E'), Qt::CaseInsensitive)) {
        QString s = t;
        s.replace(loc.decimalPoint(), QStringLiteral("."));
        v = QLocale::c().toDouble(s, &ok);
    }
    if (!ok || !std::isfinite(v)) return false;
    oValue = v;
    return true;
}

namespace {
// The value of an ASCII digit in iBase (10, 16 or 8), or -1.
int digitOf(QChar c, int iBase) {
    const ushort u = c.unicode();
    const int d = u >= '0' && u <= '9'   ? u - '0'
                  : u >= 'a' && u <= 'f' ? u - 'a' + 10
                  : u >= 'A' && u <= 'F' ? u - 'A' + 10
                                         : -1;
    return d < iBase ? d : -1;
}
bool isAsciiDigit(QChar c, int iBase) { return digitOf(c, iBase) >= 0; }

// "&H1F" or "&O17" from position i on: 16 bits up to 4 hex (6 octal) digits, as a
// literal of that size is typed, 32 bits beyond.
double radixNumber(const QString& isText, qsizetype i, int iBase) {
    const qsizetype len = isText.size();
    unsigned long long v = 0;
    int n = 0;
    while (i < len && isAsciiDigit(isText[i], iBase)) {
        v = v * static_cast<unsigned>(iBase) + static_cast<unsigned>(digitOf(isText[i], iBase));
        if (v > 0xFFFFFFFFull) return 0.0;
        ++n;
        ++i;
    }
    if (n == 0) return 0.0;
    if (v <= 0xFFFF && (iBase == 16 ? n <= 4 : n <= 6)) return static_cast<int16_t>(static_cast<uint16_t>(v));
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

double leadingNumber(const QString& isText, QChar iDecimal) {
    qsizetype i = 0;
    const qsizetype len = isText.size();
    while (i < len && (isText[i] == QChar(' ') || isText[i] == QChar('\t') || isText[i] == QChar('\n') ||
                       isText[i] == QChar('\r')))
        ++i;
    if (i + 1 < len && isText[i] == QChar('&')) {
        const QChar r = isText[i + 1].toUpper();
        if (r == QChar('H')) return radixNumber(isText, i + 2, 16);
        if (r == QChar('O')) return radixNumber(isText, i + 2, 8);
        return 0.0;
    }
    QString plain;
    if (i < len && (isText[i] == QChar('-') || isText[i] == QChar('+'))) plain += isText[i++];
    bool digits = false;
    while (i < len && isAsciiDigit(isText[i], 10)) { plain += isText[i++]; digits = true; }
    if (i < len && (isText[i] == iDecimal || isText[i] == QChar('.'))) {
        ++i;
        plain += QChar('.');
        while (i < len && isAsciiDigit(isText[i], 10)) { plain += isText[i++]; digits = true; }
    }
    if (!digits) return 0.0;
    if (i < len && (isText[i] == QChar('e') || isText[i] == QChar('E'))) {
        QString exponent = QStringLiteral("e");
        qsizetype j = i + 1;
        if (j < len && (isText[j] == QChar('-') || isText[j] == QChar('+'))) exponent += isText[j++];
        bool expDigits = false;
        while (j < len && isAsciiDigit(isText[j], 10)) { exponent += isText[j++]; expDigits = true; }
        if (expDigits) plain += exponent;
    }
    bool ok = false;
    const double v = plain.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

double numberOf(const Variant& iValue) {
    switch (iValue.type()) {
    case Variant::Type::Null: vbRaise(vberr::kInvalidUseOfNull);
    case Variant::Type::Empty: return 0.0;
    case Variant::Type::String: {
        const QString t = iValue.text().trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return -1.0;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0.0;
        double v = 0.0;
        if (!parseLocaleNumber(t, v)) vbRaise(vberr::kTypeMismatch);
        return v;
    }
    default:
        return iValue.number();
    }
}
}

double Val(const QString& isText) { return leadingNumber(isText, QChar('.')); }

double ValUser(const QString& isText) {
    const QString d = userlocale::decimalChar();
    return leadingNumber(isText, d.isEmpty() ? QChar('.') : d.at(0));
}

int16_t CInt(const Variant& iValue) { return CInt(numberOf(iValue)); }
int32_t CLng(const Variant& iValue) { return CLng(numberOf(iValue)); }
float CSng(const Variant& iValue) { return CSng(numberOf(iValue)); }
double CDbl(const Variant& iValue) { return numberOf(iValue); }
bool CBool(const Variant& iValue) { return numberOf(iValue) != 0.0; }

double CDate(const Variant& iValue) {
    if (iValue.isNull()) vbRaise(vberr::kInvalidUseOfNull);
    if (iValue.isString()) {
        double d = 0.0;
        if (parseLocaleNumber(iValue.text(), d)) return vbCheckedDate(d);
        if (!parseVbDateText(iValue.text(), d)) vbRaise(vberr::kTypeMismatch);
        return vbCheckedDate(d);
    }
    return vbCheckedDate(numberOf(iValue));
}

QString generalNumberText(double iValue, int iDigits, const QString& iDecimalChar) {
    if (iValue == 0.0) return QStringLiteral("0");
    QString s = QString::number(iValue, 'g', iDigits);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        // The run-time writes exponents as "E+07" / "E-05".
        QString mant = s.left(e);
        QString exp = s.mid(e + 1);
        const QChar sign = exp.at(0);
        exp = exp.mid(1);
        while (exp.size() < 2) exp.prepend(QLatin1Char('0'));
        s = mant + QLatin1Char('E') + sign + exp;
    }
    if (iDecimalChar != QLatin1String(".")) s.replace(QLatin1Char('.'), iDecimalChar);
    return s;
}

QString CStr(float iValue) { return generalNumberText(iValue, 7, userlocale::decimalChar()); }
QString CStr(double iValue) { return generalNumberText(iValue, 15, userlocale::decimalChar()); }
QString CStr(int32_t iValue) { return QString::number(iValue); }
QString CStr(bool iValue) { return iValue ? QStringLiteral("True") : QStringLiteral("False"); }

QString CStr(const Variant& iValue) {
    switch (iValue.type()) {
    case Variant::Type::Null: vbRaise(vberr::kInvalidUseOfNull);
    case Variant::Type::Empty: return QString();
    case Variant::Type::String: return iValue.text();
    case Variant::Type::Boolean: return CStr(iValue.number() != 0.0);
    case Variant::Type::Integer:
    case Variant::Type::Long: return QString::number(static_cast<long long>(iValue.number()));
    case Variant::Type::Single: return CStr(static_cast<float>(iValue.number()));
    case Variant::Type::Double: return CStr(iValue.number());
    case Variant::Type::Date: return vbGeneralDateText(iValue.number());
    }
    return QString();
}

double Int(double iValue) { return std::floor(iValue); }
double Fix(double iValue) { return std::trunc(iValue); }

int32_t IntDiv(double iDividend, double iDivisor) {
    const int32_t a = CLng(iDividend);
    const int32_t b = CLng(iDivisor);
    if (b == 0) vbRaise(vberr::kDivisionByZero);
    if (a == INT32_MIN && b == -1) vbRaise(vberr::kOverflow);
    return a / b;
}
