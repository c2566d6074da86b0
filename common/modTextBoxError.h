#pragma once
#include <QString>

class TextBox;

// The range check of a number box when it is left or its window closes: True
// when the value is refused, after the message "In the range <min> to <max>
// (<unit>) please!" (or "Non-zero value ... please!") and with the focus given
// back to the box. An accepted value is rewritten in the box's format.
bool gbTextBoxError(float ifMax, float ifMin, bool ibZeroRefused, const QString& isUnit, const QString& isFormat,
                    TextBox& ioText, bool& obError);
