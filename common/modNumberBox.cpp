#include "common/modNumberBox.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/modKeyDown.h"
#include "common/modKeyMouseIncrement.h"
#include "common/modKeyPressAscii.h"
#include "common/modTextBoxError.h"
#include "platform/ui/TextBox.h"
#include <cmath>
#include <optional>

void gNumberBoxBind(const NumberBoxRule& iRule) {
    const NumberBoxRule* rule = &iRule;
    iRule.box->KeyPress = [rule](int16_t& KeyAscii) { gNumberBoxKeyPress(*rule, KeyAscii); };
    iRule.box->KeyDown = [rule](int16_t& KeyCode, int16_t Shift) { gNumberBoxKeyDown(*rule, KeyCode, Shift); };
    iRule.box->KeyUp = [](int16_t&, int16_t) { gbKeyMouseIncrementActive = false; };
}

void gNumberBoxKeyPress(const NumberBoxRule& iRule, int16_t& KeyAscii) {
    bool bError = false;
    ErrorTrap trap(iRule.module, "txtNumber_KeyPress", bError);
    trap(10, [&] {
        const float lowest = iRule.min();
        KeyAscii = iRule.whole ? gnKeyPressAsciiInteger(KeyAscii, static_cast<int32_t>(std::floor(lowest)), bError)
                               : gnKeyPressAsciiReal(KeyAscii, iRule.box->Text(), lowest, bError);
    });
    if (bError) KeyAscii = 0;
}

void gNumberBoxKeyDown(const NumberBoxRule& iRule, int16_t& KeyCode, int16_t Shift) {
    bool bError = false;
    const QString text = gsKeyDown(KeyCode, Shift, iRule.box->Text(), iRule.max(), iRule.min(), iRule.step(),
                                   iRule.keyFormat(), bError);
    // Written back only when it differs, so the caret stays where it is.
    if (!bError && text != iRule.box->Text()) iRule.box->setText(text);
}

bool gbNumberBoxInvalid(const NumberBoxRule& iRule, bool& obError) {
    const float lowest = iRule.min();
    const float highest = iRule.max();
    const bool edited = iRule.box->DataChanged();
    bool refused = false;
    {
        std::optional<FlagHold> hold;
        if (iRule.dontProcess) hold.emplace(*iRule.dontProcess);
        refused = gbTextBoxError(highest, lowest, false, iRule.units, iRule.checkFormat, *iRule.box, obError);
    }
    if (iRule.dontProcess) iRule.box->setDataChanged(edited);
    // The range message says that no value fits an empty range.
    return refused || (iRule.refuseEmptyRange && !obError && lowest > highest);
}
