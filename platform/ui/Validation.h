#pragma once
#include <Qt>

class Control;
class Form;

// The Validate step: before the focus leaves a control for another control of
// its window (click, Tab, access key, SetFocus) and before the user closes the
// window, the control being left runs its Validate handler; Cancel keeps the
// focus where it is and drops whatever moved it (the click does not happen).
// A control with CausesValidation off (a Cancel button) takes the focus without
// it. While one Validate runs, no other starts: the message box it shows takes
// the focus, and the handler may give the focus back to its own box.
class Validation {
public:
    // Runs the Validate of the window's active control for a move to iTo
    // (nullptr: the window is closing); false when it cancelled.
    static bool allowFocusMove(Form& iForm, Control* iTo);
    // Moves the focus to iTo when the control being left allows it; true when it moved.
    static bool moveFocus(Control& iTo, Qt::FocusReason iReason);
    static bool running();
};
