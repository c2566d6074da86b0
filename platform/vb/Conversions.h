#pragma once
#include "platform/vb/Variant.h"
#include <QString>
#include <cstdint>

// Conversions as the station's routines expect them: whole numbers round to the
// nearest, halves to the even number; a result outside the type is Overflow (6);
// Null is "Invalid use of Null" (94); a text that is no number is "Type mismatch" (13).
// Texts are read and written in the user's locale.

double roundHalfEven(double iValue);

int16_t CInt(double iValue);
int16_t CInt(const Variant& iValue);
int32_t CLng(double iValue);
int32_t CLng(const Variant& iValue);
float CSng(double iValue);
float CSng(const Variant& iValue);
double CDbl(const Variant& iValue);
bool CBool(const Variant& iValue);
QString CStr(const Variant& iValue);
double CDate(const Variant& iValue);    // days since 1899-12-30

// The "general" text of a number: a Single with 7 significant digits
// (0.38f gives "0.38"), a Double with 15; the user locale's decimal character.
QString CStr(float iValue);
QString CStr(double iValue);
QString CStr(int32_t iValue);
inline QString CStr(int16_t iValue) { return CStr(static_cast<int32_t>(iValue)); }
QString CStr(bool iValue);              // "True" / "False"

// The same text with the invariant decimal point (fixed formats, stored files).
QString generalNumberText(double iValue, int iDigits, const QString& iDecimalChar);

// Int (floor), Fix (toward zero) and the integer division operator "\".
double Int(double iValue);
double Fix(double iValue);
int32_t IntDiv(double iDividend, double iDivisor);

// The number a text starts with, as Val reads it: leading blanks skipped, a
// sign, digits, "." and digits, an exponent ("1e3"), or "&H"/"&O" and hex or
// octal digits (up to 4 digits a 16-bit value, so "&HFFFF" is -1; up to 8 a
// 32-bit one; more reads 0). Reading stops at the first character that cannot
// continue the number; a text without one reads 0.
double Val(const QString& isText);

// The same reading with the user's decimal character taken as the decimal
// point besides ".", for boxes filled and stepped in the user's form.
double ValUser(const QString& isText);

// A text read as a number in the user's locale; false when it is none.
bool parseLocaleNumber(const QString& iText, double& oValue);

// Checked 16- and 32-bit arithmetic (error 6 when the result leaves the type).
int16_t checkedInt(long long iValue);
int32_t checkedLong(long long iValue);
