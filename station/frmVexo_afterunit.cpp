// After each unit: serial numbers, reference and selected units, curve
// logging and the label script.
#include "station/frmVexo.h"

// Filled with the label script.
bool frmVexo::mbScriptListRead(bool& obError) {
    Q_UNUSED(obError);
    return false;
}
