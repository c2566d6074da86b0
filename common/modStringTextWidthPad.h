#pragma once
#include "platform/ui/TextMeasure.h"
#include <QString>
#include <cstdint>

// The text with blanks appended until ioObject measures it at least inWidth
// wide (in ioObject's scale units); a text already that wide comes back as it is.
QString gsStringTextWidthPad(const TextMeasure& ioObject, const QString& isText, int16_t inWidth, bool& obError);
