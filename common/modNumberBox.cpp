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
    iRule.box->KeyDown = [rule](int16_t& KeyCode, int16_t Shift) { gbNumberBoxKeyDown(*rule, KeyCode, Shift); };
    iRule.box->KeyUp = [](int16_t&, int16_t) { gbKeyMouseIncrementActive = false; };
}

namespace {
QByteArray routineOf(const NumberBoxRule& iRule, const char* iEvent) {
    return ((iRule.trapNamedByBox ? iRule.box->Name() : QStringLiteral("txtNumber")) + QLatin1Char('_') +
            QLatin1String(iEvent))
        .toLatin1();
}
}

void gNumberBoxKeyPress(const NumberBoxRule& iRule, int16_t& KeyAscii) {
    bool bError = false;
    const QByteArray routine = routineOf(iRule, "KeyPress");
    ErrorTrap trap(iRule.module, routine.constData(), bError);
    trap(10, [&] {
        const float lowest = iRule.min();
        KeyAscii = iRule.whole ? gnKeyPressAsciiInteger(KeyAscii, static_cast<int32_t>(std::floor(lowest)), bError)
                               : gnKeyPressAsciiReal(KeyAscii, iRule.box->Text(), lowest, bError);
    });
    if (bError) KeyAscii = 0;
}

bool gbNumberBoxKeyDown(const NumberBoxRule& iRule, int16_t& KeyCode, int16_t Shift) {
    bool bError = false;
    const QByteArray routine = routineOf(iRule, "KeyDown");
    ErrorTrap trap(iRule.module, routine.constData(), bError);
    const QString text = gsKeyDown(KeyCode, Shift, iRule.box->Text(), iRule.max(), iRule.min(), iRule.step(),
                                   iRule.keyFormat(), bError);
    if (bError) return false;
    // Written back only when it differs, so the caret stays where it is.
    trap(10, [&] {
        if (text != iRule.box->Text()) iRule.box->setText(text);
    });
    return !bError;
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
