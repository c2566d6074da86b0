// What the response graph shows of the run.
#include "station/frmVexo.h"

// Filled with the result display.
void frmVexo::gDrawRespGridShowTestName(const QString& isTestName, int16_t inRow, bool ibShowPrevious,
                                        bool& obError) {
    Q_UNUSED(isTestName);
    Q_UNUSED(inRow);
    Q_UNUSED(ibShowPrevious);
    Q_UNUSED(obError);
}
