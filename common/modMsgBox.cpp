#include "common/modMsgBox.h"
#include "common/ErrorTrap.h"
#include "platform/ui/MsgBox.h"

void gMsgBoxNotYet(const QString& isFeature, bool& obError) {
    ErrorTrap trap("modMsgBox", "gMsgBoxNotYet", obError);
    trap(10, [&] { gMsgBox(QStringLiteral("Available soon but, regrettably, not yet"), vbOKOnly, isFeature); });
}

bool gbMsgBoxYesNo(const QString& isQuestion, const QString& isTitle, bool& obError) {
    ErrorTrap trap("modMsgBox", "gbMsgBoxYesNo", obError);
    bool yes = false;
    trap(10, [&] { yes = gMsgBox(isQuestion, vbYesNo | vbQuestion, isTitle + QStringLiteral(" ... ")) == vbYes; });
    return yes;
}
