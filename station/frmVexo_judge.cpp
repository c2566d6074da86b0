// Judging a response test by its limit layers.
#include "station/frmVexo.h"

// Filled with the response judging.
bool frmVexo::mbDoRespTestPCDecidePass(std::vector<float>& iafAbsDiff, bool& obError) {
    Q_UNUSED(iafAbsDiff);
    Q_UNUSED(obError);
    return false;
}
