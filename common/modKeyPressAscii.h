#pragma once
#include <QString>
#include <cstdint>

// Key filters of the number boxes: the character code to keep, or 0 (after a
// beep) to discard the typed key.
// Whole numbers: Backspace, Enter and the digits; "-" only when ilMin is below 0.
int16_t gnKeyPressAsciiInteger(int16_t inKeyAscii, int32_t ilMin, bool& obError);
// Real numbers: also the locale's decimal character, once; "-" once, only when
// ifMin is below 0. The caret and the selection are not looked at.
int16_t gnKeyPressAsciiReal(int16_t inKeyAscii, const QString& isText, float ifMin, bool& obError);
