#pragma once
#include <QString>
#include <cstdint>
#include <functional>

class TextBox;

// How a number box of a window takes keys, steps with the arrow keys and is
// checked when it is left. The bounds, step and key format are asked for each
// time, since they follow the window's other boxes and its record.
struct NumberBoxRule {
    TextBox* box = nullptr;
    const char* module = "";   // the window, as the error trap names it
    bool whole = false;        // digits only; otherwise the decimal character too
    std::function<float()> min{};
    std::function<float()> max{};
    std::function<float()> step = [] { return 1.0f; };
    std::function<QString()> keyFormat = [] { return QString(); };   // the arrow keys' format
    QString units{};        // named in the range message
    QString checkFormat{};  // an accepted value is rewritten in it
    // A record window's bound box: this flag of the window is held while the
    // check rewrites the box, so its change handling does not run, and the
    // box keeps its changed mark (a valid value rewritten is no edit).
    bool* dontProcess = nullptr;
    bool refuseEmptyRange = false;   // no value fits when min > max: refuse it
    // Errors name the box's own handler (txtCaliDays_KeyPress) rather than
    // the number boxes' shared one (txtNumber_KeyPress).
    bool trapNamedByBox = false;
};

// Gives the box its key filter, arrow-key stepping and the end of a held key.
void gNumberBoxBind(const NumberBoxRule& iRule);
void gNumberBoxKeyPress(const NumberBoxRule& iRule, int16_t& KeyAscii);
// False when the key could not be taken (after the error's message).
bool gbNumberBoxKeyDown(const NumberBoxRule& iRule, int16_t& KeyCode, int16_t Shift);
// The range check on leaving: True when the value is refused (after its message).
bool gbNumberBoxInvalid(const NumberBoxRule& iRule, bool& obError);
