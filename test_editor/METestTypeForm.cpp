#include "test_editor/METestTypeForm.h"
#include "common/ErrorTrap.h"
#include "common/WindowRegistry.h"
#include "common/frmAbout.h"
#include "common/modGeneral.h"
#include "common/modMVarious.h"
#include "platform/data/Recordset.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/Printer.h"
#include "platform/vb/Conversions.h"
#include "test_editor/frmMETest.h"
#include <QEvent>

namespace {
const char* const kModule = "METestTypeForm";
}

METestTypeForm::METestTypeForm(const QString& iName, const QString& iCaption) : Form(iName) {
    setCaption(iCaption);
    setClientSize(6000, 3450);
    dtaTest.setRecordSource(QStringLiteral("vexo_tst"));

    mBuildMenus(this, "Vexo");

    mnuFileSelect->Click = [] {
        if (isLoaded<frmMETest>()) form<frmMETest>().dcboTest->SetFocusIfAble();
    };
    mnuFileNew->Click = [this] { mEditor(&frmMETest::gMETestNew); };
    mnuFileDelete->Click = [this] { mEditor(&frmMETest::gMETestDeleteConfirm); };
    mnuFileSave->Click = [this] {
        mEditor(&frmMETest::gMETestSave);
        mAfterSave();
    };
    mnuFileSaveAs->Click = [this] {
        mEditor(&frmMETest::gMETestSaveAs);
        mAfterSave();
    };
    mnuFileReset->Click = [this] { mEditor(&frmMETest::gMETestReset); };
    mnuFilePrint->Click = [this] { mEditor(&frmMETest::gMETestPrint); };
    mnuFileRun->Click = [this] { mEditor(&frmMETest::gMETestRun); };
    mnuFileExit->Click = [this] { mnuFileExit_Click(); };
    mnuWindowVexo->Click = [] {
        bool bError = false;
        gVarEngineerOpen(WindowKind::Main, bError);
    };
    mnuWindowSequence->Click = [] {
        bool bError = false;
        gVarEngineerOpen(WindowKind::SequenceEditor, bError);
    };
    mnuWindowSystem->Click = [] {
        bool bError = false;
        gVarEngineerOpen(WindowKind::SystemWindow, bError);
    };
    mnuWindowOtherTest->Click = [] {
        if (isLoaded<frmMETest>()) form<frmMETest>().BringToFront();
    };
    mnuWindowCloseAllEngineer->Click = [] {
        bool bError = false;
        gVarEngineerUnloadAll(bError);
    };
    mnuHelpHelp->Click = [this] {
        bool bError = false;
        gGShowHelp(static_cast<int32_t>(winId()), bError);
    };
    mnuHelpAboutVexo->Click = [] {
        bool bError = false;
        ErrorTrap trap(kModule, "mnuHelpAboutVexo_Click", bError);
        trap(10, [&] { form<frmAbout>().Show(vbModal); });
    };

    dtaTest.onValidate = [this](int& Action, bool& Save) { dtaTest_Validate(Action, Save); };
    dtaTest.onReposition = [this] { dtaTest_Reposition(); };
    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
}

void METestTypeForm::mEditor(void (frmMETest::*iOperation)(bool&)) {
    if (!isLoaded<frmMETest>()) return;
    bool bError = false;
    (form<frmMETest>().*iOperation)(bError);
}

void METestTypeForm::mnuFileExit_Click() {
    if (mbExitClosesEditor()) {
        if (isLoaded<frmMETest>()) form<frmMETest>().UnloadMe();
        return;
    }
    UnloadMe();
}

void METestTypeForm::Form_Load() {
    if (!isLoaded<frmMETest>()) return;
    frmMETest& editor = form<frmMETest>();
    loadedFlag(editor) = true;
    bool bError = false;
    if (mbPrintFollowsPrinter()) {
        ErrorTrap trap(kModule, "Form_Load", bError);
        trap(10, [&] { mnuFilePrint->setEnabled(!Printer.DeviceName().isEmpty()); });
    }
    editor.gMETestSecondaryFormInit(*this, dtaTest, bError);
}

void METestTypeForm::dtaTest_Reposition() {
    Recordset& rs = dtaTest.Recordset();
    if (rs.isOpen() && rs.AbsolutePosition() >= 0) setCaption(CStr(rs.field(QStringLiteral("Test_Name"))));
    mRepositioned();
}

void METestTypeForm::dtaTest_Validate(int& Action, bool& Save) {
    if (!isLoaded<frmMETest>()) return;
    QString name;
    bool bError = false;
    ErrorTrap trap(kModule, "dtaTest_Validate", bError);
    trap(10, [&] {
        if (dtaTest.Recordset().isOpen() && dtaTest.Recordset().AbsolutePosition() >= 0)
            name = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name")));
    });
    form<frmMETest>().gMETestSecondaryValidate(name, Action, Save, bError);
    // A value the boxes would refuse is never written, however the window closes.
    if (!bError && Save && Action != 0) {
        bool refused = false;
        mCheckBeforeWrite(refused, bError);
        if (refused) {
            Action = 0;
            Save = false;
        }
    }
}

void METestTypeForm::changeEvent(QEvent* iEvent) {
    Form::changeEvent(iEvent);
    if (iEvent->type() == QEvent::WindowStateChange && Loaded()) Form_Resize();
}

// The editor follows this window's state unless it is the editor that set it.
void METestTypeForm::Form_Resize() {
    if (!isLoaded<frmMETest>()) return;
    frmMETest& editor = form<frmMETest>();
    if (editor.gbFormResizing) return;
    if (editor.WindowState() != WindowState()) editor.setWindowState(WindowState());
}

void METestTypeForm::Form_Unload(int16_t& Cancel) {
    // Pending edits are asked about (through the editor) before the window goes.
    if (dtaTest.Recordset().isOpen() && !dtaTest.Unload()) {
        Cancel = 1;
        return;
    }
    bool bError = false;
    gVarConditionFrmMETestUnload(bError);
    if (isLoaded<frmMETest>()) loadedFlag(form<frmMETest>()) = false;
}
