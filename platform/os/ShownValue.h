#pragma once
#include <QString>

// A value given from outside (a setting of the environment, a folder's name)
// as a message shows it back: between double quotes, with the characters a
// terminal would act on written out as C writes them (\n, \x1B, \u202E...;
// \\ and \" for the backslash and the quote), and cut after its first 200
// characters with a mark saying how long it was. The message then stays one
// line, and nothing in the value moves the cursor, colours the terminal or
// forges a line of its own.
QString shownValue(const QString& iValue);
