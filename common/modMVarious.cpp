#include "common/modMVarious.h"
#include <QtGlobal>

void gVarEngineerUnloadAll(bool& obError) {
    // Filled with the engineer windows' management.
    Q_UNUSED(obError);
}
