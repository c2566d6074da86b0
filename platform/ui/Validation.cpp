#include "platform/ui/Validation.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"

namespace {
bool gRunning = false;

struct RunningFlag {
    RunningFlag() { gRunning = true; }
    ~RunningFlag() { gRunning = false; }
};
}

bool Validation::running() { return gRunning; }

bool Validation::allowFocusMove(Form& iForm, Control* iTo) {
    Control* from = iForm.ActiveControl();
    if (!from || from == iTo || gRunning || !from->Validate) return true;
    if (iTo && !iTo->CausesValidation()) return true;
    bool cancel = false;
    {
        RunningFlag flag;
        from->raiseEvent("Validate", from->Validate, cancel);
    }
    return !cancel;
}

bool Validation::moveFocus(Control& iTo, Qt::FocusReason iReason) {
    Form* f = iTo.form();
    if (!f || !iTo.widget()) return false;
    if (f->ActiveControl() != &iTo && !allowFocusMove(*f, &iTo)) return false;
    iTo.focusNow(iReason);
    return true;
}
