#pragma once
#include <QString>
#include <cstdint>

// Classifies a key for stepping: upward (Up, PageUp), downward (Down,
// PageDown), Ctrl and Shift held. True when the key steps the value: upward or
// downward, or Home or End with Shift or Ctrl.
bool gbKeyDownValid(int16_t inKeyCode, int16_t inShift, bool& obCtrl, bool& obDown, bool& obUp, bool& obShift,
                    bool& obError);

// The new text of a number box for a key: steps the number by the accelerating
// increment (x10 Shift, x100 Ctrl, x10 more for the page keys), Ctrl/Shift+Home
// gives the highest value and Ctrl/Shift+End the lowest, within the limits, in
// the box's format (a beep at a limit). A text that is no number becomes the
// lowest value (End, Up, PageUp) or the highest (Home, Down, PageDown).
QString gsKeyDown(int16_t inKeyCode, int16_t inShift, const QString& isText, float ifMax, float ifMin, float ifStep,
                  const QString& isFormat, bool& obError);
