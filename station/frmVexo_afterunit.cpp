// After each unit: serial numbers, reference and selected units, curve
// logging and the label script.
#include "station/frmVexo.h"

// Filled with the label script.
bool frmVexo::mbScriptListRead(bool& obError) {
    Q_UNUSED(obError);
    return false;
}

// Filled with the serial number, the reference and selection checks and the
// curve logging.
void frmVexo::mSerialiseRefSelect(float ifWorstDev, int16_t inFailSet, bool& obError) {
    Q_UNUSED(ifWorstDev);
    Q_UNUSED(inFailSet);
    Q_UNUSED(obError);
}
