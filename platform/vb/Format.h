#pragma once
#include "platform/vb/Variant.h"
#include <QString>

// Format as the station's routines use it: numeric patterns built from 0, #, ".",
// ",", "%" and literals (sections separated by ";"), date patterns (d, m, y, h, n, s,
// "ddd", ...), and the named forms ("General Date", "Short Time", "Medium Date",
// "Fixed", "Percent", ...). Numbers round halves away from zero, as the run-time's
// Format does (unlike CInt). Separators and names come from the user's locale.
QString Format(const Variant& iValue, const QString& iPattern = QString());
QString Format(double iValue, const QString& iPattern);
QString Format(float iValue, const QString& iPattern);
inline QString Format(int iValue, const QString& iPattern) { return Format(static_cast<double>(iValue), iPattern); }
QString FormatDate(double iDays, const QString& iPattern);

// |iValue| written with exactly iDecimals decimals, rounded half away from zero
// at the value's iSignificant significant decimal digits. No sign, "." as separator.
QString decimalRounded(double iValue, int iDecimals, int iSignificant);
