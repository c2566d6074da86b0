#include "station/modProductionReport.h"
#include <QtGlobal>

void gMprProdRep(bool& obError) {
    // Filled with the production report.
    Q_UNUSED(obError);
}
