#pragma once
#include <QString>

// Scrambles or unscrambles a text by toggling bit 7 of each character's
// Windows-1252 code; the same call does both. Refuses (empty result, with a
// message, error flag untouched) an empty text or a character that would turn
// into a backspace, tab, line feed or carriage return.
QString gsStringEncryptDecrypt(const QString& isText, bool& obError);
