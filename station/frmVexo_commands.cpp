// The window's commands, the engineer log-in and the re-enabling after an
// engineer window closes.
#include "station/frmVexo.h"

// Filled with the engineer log-in.
bool frmVexo::gbEngineerInit(bool& obError) {
    Q_UNUSED(obError);
    return false;
}

void frmVexo::gSupervisorCAEEnableSetFocus(bool& obError) { Q_UNUSED(obError); }
