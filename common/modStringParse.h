#pragma once
#include <QString>
#include <cstdint>

// The next field of a text, read from ionPos (1-based) up to the first of the
// delimiter characters, tried in the order given, that occurs at or after it.
// ionPos then moves past the delimiter by the number of delimiter characters
// given, so a pair such as CR LF is skipped whole. Past the end of the text the
// result is Chr(0) and ionPos stays; with no delimiter left the result is empty
// and ionPos stays. A position below 1 starts at 1.
QString gsStringParse(const QString& isText, const QString& isDelimiters, int16_t& ionPos, bool& obError);
