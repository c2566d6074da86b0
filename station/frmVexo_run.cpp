// The unit run of the main window.
#include "common/ErrorTrap.h"
#include "platform/ui/InputLock.h"
#include "station/frmVexo.h"

namespace {
constexpr const char* kModule = "frmVexo";
}

void frmVexo::mMeDisableWorstDisableHide(bool& obError) {
    ErrorTrap trap(kModule, "mMeDisableWorstDisableHide", obError);
    trap(10, [&] {
        inputlock::setLocked(this, true);
        cmdWorst->setEnabled(false);
        cmdWorst->setVisible(false);
    });
}

void frmVexo::mTmrFlashDisable(bool& obError) {
    ErrorTrap trap(kModule, "mTmrFlashDisable", obError);
    trap(10, [&] {
        tmrFlash->setEnabled(false);
        lblPassFail->setVisible(false);
        lblCard->setVisible(false);
    });
}
