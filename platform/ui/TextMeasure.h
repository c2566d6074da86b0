#pragma once
#include <QString>

// Something that measures text in its current font and scale units: a window,
// a picture box or the printer.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual double TextWidth(const QString& iText) const = 0;
};
