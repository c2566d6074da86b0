#include "test_editor/METestTypeForm.h"
#include "common/ErrorTrap.h"
#include "common/modMVarious.h"
#include "platform/data/Recordset.h"
#include "platform/ui/FormRegistry.h"
#include "platform/vb/Conversions.h"
#include "test_editor/frmMETest.h"

METestTypeForm::METestTypeForm(const QString& iName, const QString& iCaption) : Form(iName) {
    setCaption(iCaption);
    setClientSize(6000, 3450);
    dtaTest.setRecordSource(QStringLiteral("vexo_tst"));
    mnuFile = new Menu(this, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    mnuFileDelete = new Menu(this, QStringLiteral("mnuFileDelete"), QStringLiteral("&Delete"), mnuFile, QStringLiteral("Ctrl+D"));
    mnuFileReset = new Menu(this, QStringLiteral("mnuFileReset"), QStringLiteral("&Reset"), mnuFile);
    mnuFilePrint = new Menu(this, QStringLiteral("mnuFilePrint"), QStringLiteral("&Print"), mnuFile, QStringLiteral("Ctrl+P"));
    mnuFileReset->setEnabled(false);
    dtaTest.onValidate = [this](int& Action, bool& Save) { dtaTest_Validate(Action, Save); };
    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
}

void METestTypeForm::Form_Load() {
    if (!isLoaded<frmMETest>()) return;
    frmMETest& editor = form<frmMETest>();
    loadedFlag(editor) = true;
    bool bError = false;
    editor.gMETestSecondaryFormInit(*this, dtaTest, bError);
}

void METestTypeForm::dtaTest_Validate(int& Action, bool& Save) {
    if (!isLoaded<frmMETest>()) return;
    QString name;
    bool bError = false;
    ErrorTrap trap("METestTypeForm", "dtaTest_Validate", bError);
    trap(10, [&] {
        if (dtaTest.Recordset().isOpen() && dtaTest.Recordset().AbsolutePosition() >= 0)
            name = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name")));
    });
    form<frmMETest>().gMETestSecondaryValidate(name, Action, Save, bError);
}

void METestTypeForm::Form_Unload(int16_t& Cancel) {
    // Pending edits are asked about (through the editor) before the window goes.
    if (dtaTest.Recordset().isOpen() && !dtaTest.Unload()) {
        Cancel = 1;
        return;
    }
    if (isLoaded<frmMETest>()) loadedFlag(form<frmMETest>()) = false;
    bool bError = false;
    gVarConditionFrmMETestUnload(bError);
}
