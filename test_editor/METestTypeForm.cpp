#include "test_editor/METestTypeForm.h"
#include "common/modMVarious.h"

METestTypeForm::METestTypeForm(const QString& iName, const QString& iCaption) : Form(iName) {
    setCaption(iCaption);
    setClientSize(6000, 3450);
    mnuFile = new Menu(this, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    mnuFileReset = new Menu(this, QStringLiteral("mnuFileReset"), QStringLiteral("&Reset"), mnuFile);
    mnuFileReset->setEnabled(false);
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
}

void METestTypeForm::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    bool bError = false;
    gVarConditionFrmMETestUnload(bError);
}
