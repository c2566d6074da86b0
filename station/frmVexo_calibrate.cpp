// Sequence calibration, its due date and forced recalibration.
#include "station/frmVexo.h"

// Filled with the calibration.
int32_t frmVexo::mlSeqCalMicLevel(const QString& isTestName, bool& obError) {
    Q_UNUSED(isTestName);
    Q_UNUSED(obError);
    return 0;
}

// Filled with the calibration's due date.
bool frmVexo::mbCaliDue(bool& obError) {
    Q_UNUSED(obError);
    return false;
}

void frmVexo::mShowWhenCalDue(bool& obError) { Q_UNUSED(obError); }

void frmVexo::gForceReCalAll(const QString& isTestName, bool& obError) {
    Q_UNUSED(isTestName);
    Q_UNUSED(obError);
}
