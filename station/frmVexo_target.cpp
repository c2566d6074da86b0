// Target curve correction of the current response test.
#include "station/frmVexo.h"

// Filled with the target correction: until then no target is in use.
bool frmVexo::mbTargetExistValidRef2Target(bool& obError) {
    Q_UNUSED(obError);
    return false;
}
