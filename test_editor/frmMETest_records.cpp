#include "test_editor/frmMETest.h"
#include "test_editor/modMETestCopy.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/WindowRegistry.h"
#include "common/frmAbout.h"
#include "common/frmListAdd.h"
#include "common/frmListGet.h"
#include "common/modForm.h"
#include "common/modFormPrint.h"
#include "common/modGeneral.h"
#include "common/modMVarious.h"
#include "common/modMsgBox.h"
#include "common/modVarLookup.h"
#include "platform/data/Database.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Settings.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Printer.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"
#include "test_editor/TestFieldRules.h"
#include "test_editor/frmMETestExtDistortion.h"
#include "test_editor/frmMETestPolarity.h"
#include "test_editor/frmMETestResponse.h"
#include "test_editor/frmMETestSine.h"
#include <QDir>

bool gbMETestSecondaryDontProcess = false;

namespace {
const char* const kModule = "frmMETest";
const QString kCriteria = QStringLiteral("Test_Name = ?");

QString testDatabase() { return QDir(appinfo::programFolder()).filePath(QStringLiteral("Vexo_Tst.mdb")); }
}

frmMETest::frmMETest() : Form(QStringLiteral("frmMETest")) { mLayout(); }

bool frmMETest::mbHasCurrent() {
    Recordset& rs = dtaTest.Recordset();
    return rs.isOpen() && rs.AbsolutePosition() >= 0;
}

// Moves the editor's data control to the test (events running); a missing
// test leaves the current record, which is shown again.
void frmMETest::mFindTest(const QString& isName) { dtaTest.Recordset().FindFirst(kCriteria, Variant(isName)); }

void frmMETest::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    if (!trap(10, [&] { gMainWindow().gbTraboMETestLoaded = true; })) return;
    if (!trap(20, [&] { gFormSettingLeftTopGetMove(*this, 550, 200, bError); })) return;
    Show();
    if (!trap(30, [&] { mnuFilePrint->setEnabled(!Printer.DeviceName().isEmpty()); })) return;
    if (!trap(40, [&] {
            frmVexoView& main = gMainWindow();
            main.cmdSupervisor->setEnabled(false);
            const bool testable = main.cmdTest->isEnabled();
            cmdRun->setEnabled(testable);
            cmdReRun->setEnabled(testable);
            lblDriveV->setEnabled(testable);
            txtDriveV->setVisible(testable);
        }))
        return;
    if (!trap(60, [&] {
            FlagHold dontProcess(mbDontProcess);
            dtaTest.setDatabaseName(testDatabase());
            dtaTest.Refresh();
            dcboTest->ReFill();
        }))
        return;
    trap(70, [&] {
        const QString last = userSetting(QStringLiteral("frmMETest.dcboTest"), dcboTest->Text());
        {
            FlagHold dontSave(gbTestDontSave);
            FlagHold dontProcess(mbDontProcess);
            dcboTest->setText(last);
        }
        // An empty table has no first row: nothing to show.
        if (dtaTest.Recordset().AbsolutePosition() == 0) {
            FlagHold dontSave(gbTestDontSave);
            mFindTest(dcboTest->Text());
        }
    });
    if (dtaTest.Recordset().RecordCount() < 2) mnuFileDelete->setEnabled(false);
}

void frmMETest::Form_Unload(int16_t& Cancel) {
    bool bError = false;
    // The shown test's edits are settled first; a Cancel keeps the editor open.
    if (dtaTest.Recordset().isOpen() && !dtaTest.Unload()) {
        Cancel = 1;
        gbTest1FormUnloading = false;
        return;
    }
    if (!gbMETestConditionUnloading) {
        gbTest1FormUnloading = true;
        mUnloadFormsSecondary(QString(), bError);
        if (mLoadedSecondary() != nullptr) {
            // A type window kept itself open (its question was cancelled).
            Cancel = 1;
            gbTest1FormUnloading = false;
            return;
        }
        if (!bError) {
            ErrorTrap trap(kModule, "Form_Unload", bError);
            trap(10, [&] { saveUserSetting(QStringLiteral("frmMETest.dcboTest"), dcboTest->Text()); });
            trap(20, [&] { gFormSettingLeftTopSave(Name(), Left(), Top(), bError); });
        }
    }
    // The focus is handed on however the editor closes, so that the main
    // window's Supervisor button is enabled again when no engineer window is left.
    if (!bError) {
        ErrorTrap trap(kModule, "Form_Unload", bError);
        trap(30, [&] {
            frmVexoView& main = gMainWindow();
            if (main.gbTraboMESeqLoaded && gWindowLoaded(WindowKind::SequenceEditor)) {
                Form& seq = gWindowForm(WindowKind::SequenceEditor);
                if (seq.isVisible() && seq.isEnabled()) seq.activateWindow();
            } else if (main.gbTraboMESysLoaded && gWindowLoaded(WindowKind::SystemWindow)) {
                Form& sys = gWindowForm(WindowKind::SystemWindow);
                if (sys.isVisible() && sys.isEnabled()) sys.activateWindow();
            } else {
                main.gSupervisorCAEEnableSetFocus(bError);
            }
        });
    }
    gbTest1FormUnloading = false;
    if (gMainWindowLoaded()) gMainWindow().gbTraboMETestLoaded = false;
}

void frmMETest::dtaTest_Validate(int& Action, bool& Save) {
    bool bError = false;
    ErrorTrap trap(kModule, "dtaTest_Validate", bError);
    if (Action == 11 && !gbMETestConditionUnloading) gbTest1FormUnloading = true;
    mbSaveConfirmed = false;
    if (gbTestDontSave) {
        Save = false;
    } else {
        const bool current = mbHasCurrent();
        if (current) mPrimaryDistortionControlsValidate(bError);
        if (!bError && current && gbTestSaveCancel) {
            Action = 0;
        } else if (!bError) {
            QString name;
            if (current) trap(10, [&] { name = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name"))); });
            if (mbSaveDirect) mbSaveConfirmed = true;
            else if (Action == 6) vbBeep();
            else if (current && Action != 7 && (Save || mbUnlinkedDataChanged))
                mTestSaveYesNoCancel(name, Action, Save, bError);
            if (Action != 0 && !bError) {
                if (!gbMETestConditionUnloading && !gbTest1FormUnloading) {
                    mUnloadFormsSecondary(QString(), bError);
                    // A type window whose own question was cancelled stays: so does the editor.
                    if (mLoadedSecondary() != nullptr) Action = 0;
                }
                if (Action != 0 && mbSaveConfirmed && current) {
                    mSaveNonLinkedData(bError);
                    if (mbForceReCal && !bError) trap(20, [&] { gMainWindow().gForceReCalAll(name, bError); });
                }
            }
        }
    }
    Save = mbSaveConfirmed;
    if (Action == 0) {
        mbMoveCancelled = true;
        if (gbTest1FormUnloading && !gbMETestConditionUnloading) gbTest1FormUnloading = false;
        trap(30, [&] {
            if (!mbHasCurrent()) return;
            FlagHold dontProcess(mbDontProcess);
            mShowTestName(CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name"))));
        });
    }
}

void frmMETest::mTestSaveYesNoCancel(const QString& isTestName, int& ionAction, bool& ionSave, bool& obError) {
    bool bError = false;
    const int32_t answer = glVarSaveDataPrompt(QStringLiteral("Save changes to the test ") + isTestName,
                                               QStringLiteral("Save Test ") + isTestName, bError);
    if (bError) {
        obError = true;
        return;
    }
    if (answer == vbYes) {
        mbSaveConfirmed = true;
        ionSave = true;
    } else if (answer == vbNo) {
        ionSave = false;
        // Keeps the rest of this move from asking again; cleared when a record is shown.
        gbTestDontSave = true;
    } else {
        ionAction = 0;
    }
}

void frmMETest::gMETestSecondaryValidate(const QString& isTestName, int& ionAction, bool& ionSave, bool& obError) {
    if (gbTestDontSave) {
        ionSave = false;
    } else if (mbSaveConfirmed || mbSaveDirect) {
        ionSave = true;
    } else if (ionAction != 7 && ionSave) {
        Hide();
        mTestSaveYesNoCancel(isTestName, ionAction, ionSave, obError);
        Show();
    }
}

void frmMETest::mPrimaryDistortionControlsValidate(bool& obError, bool ibDriveAlways) {
    ErrorTrap trap(kModule, "mPrimaryDistortionControlsValidate", obError);
    trap(10, [&] {
        gbTestSaveCancel = false;
        auto check = [&](const NumberBoxRule& iRule) {
            if (!gbTestSaveCancel && !obError) gbTestSaveCancel = gbNumberBoxInvalid(iRule, obError);
        };
        check(mRuleDelay);
        if (txtDuration->Visible()) check(mRuleDuration);
        if (txtPoint->Visible()) check(mRulePoint);
        if (txtFLo->Visible()) check(mRuleFLo);
        // High is part of every response test's sweep, whatever the hidden list shows.
        if (txtFHi->Visible() && !mbSingleTone())
            check(mRuleFHi);
        if (txtDriveV->Visible() && txtDriveV->isEnabled() && (ibDriveAlways || txtDriveV->DataChanged()))
            check(mRuleDriveV);
        if (!gbTestSaveCancel && !obError && isLoaded<frmMETestExtDistortion>())
            form<frmMETestExtDistortion>().gMETestExtDistortionTxtLimHiValidate(gbTestSaveCancel, obError);
        if (!gbTestSaveCancel && !obError && isLoaded<frmMETestResponse>())
            form<frmMETestResponse>().gMETestResponseLayersValidate(gbTestSaveCancel, obError);
        if (!gbTestSaveCancel && !obError && isLoaded<frmMETestSine>())
            form<frmMETestSine>().gMETestSineLimitsValidate(gbTestSaveCancel, obError);
    });
}

void frmMETest::gMETestSave(bool& obError) {
    ErrorTrap trap(kModule, "gMETestSave", obError);
    if (!mbHasCurrent()) return;
    mPrimaryDistortionControlsValidate(obError, true);
    if (obError || gbTestSaveCancel) return;
    FlagHold saveDirect(mbSaveDirect);
    const QString name = dcboTest->Text();
    if (mbUnlinkedDataChanged) {
        mSaveNonLinkedData(obError);
        if (obError) return;
        mbUnlinkedDataChanged = false;
    }
    if (mbForceReCal && !trap(10, [&] { gMainWindow().gForceReCalAll(name, obError); })) return;
    trap(20, [&] { mFindTest(name); });
}

void frmMETest::mSaveNonLinkedData(bool& obError) {
    ErrorTrap trap(kModule, "mSaveNonLinkedData", obError);
    trap(10, [&] {
        Recordset& rs = dtaTest.Recordset();
        rs.Edit();
        rs.setField(QStringLiteral("Op_DecideY"), Variant(optOpDecideYes->Value()));
        rs.setField(QStringLiteral("Swp_Type"), Variant(cboSweepType->Text()));
        // One write with the bound boxes' edits, raising no Validate.
        dtaTest.UpdateRecord();
    });
}

bool frmMETest::mbSettleEdits(bool& obError) {
    if (!mbHasCurrent()) return true;
    mbMoveCancelled = false;
    ErrorTrap trap(kModule, "mbSettleEdits", obError);
    trap(10, [&] { mFindTest(CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name")))); });
    return !obError && !mbMoveCancelled;
}

void frmMETest::gMETestNew(bool& obError) {
    ErrorTrap trap(kModule, "gMETestNew", obError);
    if (mbHasCurrent()) {
        mPrimaryDistortionControlsValidate(obError);
        if (obError || gbTestSaveCancel) return;
    }
    dcboTest->setEnabled(false);
    struct Enable {
        DataCombo* combo;
        ~Enable() { combo->setEnabled(true); }
    } enable{dcboTest};
    if (!mbSettleEdits(obError)) return;
    if (dtaTest.Recordset().RecordCount() >= testfields::kMaxTests) {
        gMsgBox(QStringLiteral("The test list is full"), vbOKOnly, QStringLiteral("New Test"));
        return;
    }
    const QString type = frmListGet::gsListGet({QString(), QStringLiteral("Response"), QStringLiteral("Polarity"), QStringLiteral("Sine")},
                                               QStringLiteral("New Test Type ..."), true, mlTypeListPtr, obError);
    if (obError || type.isEmpty()) return;
    const QString name = msNewTestName(QStringLiteral("New ") + type + QStringLiteral(" Test Name ..."), mnNameListPtr, obError);
    if (obError || name.isEmpty()) return;
    {
        FlagHold dontSave(gbTestDontSave);
        FlagHold dontProcess(mbDontProcess);
        mbUnlinkedDataChanged = false;
        mbForceReCal = false;
        mSetNewTestParams(type, name, obError);
        if (obError) return;
        mDtaRefreshRefill(obError);
        if (obError) return;
    }
    // The new test is shown with its events running.
    {
        FlagHold dontSave(gbTestDontSave);
        trap(30, [&] { mFindTest(name); });
    }
    if (dtaTest.Recordset().RecordCount() >= 2) mMnuDeletePrintEnable(true, obError);
}

void frmMETest::mSetNewTestParams(const QString& isType, const QString& isName, bool& obError) {
    ErrorTrap trap(kModule, "mSetNewTestParams", obError);
    trap(10, [&] {
        Recordset& rs = dtaTest.Recordset();
        rs.AddNew();
        for (const auto& [field, value] : testfields::newTestValues(isType, isName)) rs.setField(field, value);
        rs.Update();
    });
}

QString frmMETest::msNewTestName(const QString& isHeader, int16_t& ionPtr, bool& obError) {
    QString name;
    ErrorTrap trap(kModule, "msNewTestName", obError);
    QStringList names;
    gVarReadTestNameList(names, obError);
    if (obError) return QString();
    trap(10, [&] { name = frmListAdd::gsAdd(names, 256, 19, isHeader, ionPtr, obError).trimmed(); });
    return obError ? QString() : name;
}

void frmMETest::mDtaRefreshRefill(bool& obError) {
    ErrorTrap trap(kModule, "mDtaRefreshRefill", obError);
    trap(10, [&] {
        dtaTest.Refresh();
        dcboTest->ReFill();
    });
}

void frmMETest::gMETestSaveAs(bool& obError) {
    ErrorTrap trap(kModule, "gMETestSaveAs", obError);
    if (!mbHasCurrent()) return;
    QString name;
    if (!trap(10, [&] { name = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name"))); })) return;
    mbMoveCancelled = false;
    if (!trap(20, [&] { mFindTest(name); })) return;
    if (gbTestSaveCancel || mbMoveCancelled) return;
    int16_t ptr = static_cast<int16_t>(dtaTest.Recordset().AbsolutePosition() + 1);
    const QString newName = msNewTestName(QStringLiteral("Save Test '") + name + QStringLiteral("' as ..."), ptr, obError);
    if (obError || newName.isEmpty()) return;
    {
        FlagHold dontSave(gbTestDontSave);
        mUnloadFormsSecondary(QString(), obError);
    }
    if (obError) return;
    gMETestSaveAs2(name, newName, obError);
    if (obError) return;
    {
        FlagHold dontProcess(mbDontProcess);
        mDtaRefreshRefill(obError);
    }
    if (obError) return;
    {
        FlagHold dontSave(gbTestDontSave);
        trap(30, [&] { mFindTest(newName); });
    }
    mMnuDeletePrintEnable(true, obError);
}

// The copy itself is shared with the sequence editor's typical test, which
// copies without this window open.
void frmMETest::gMETestSaveAs2(const QString& isSourceTestName, const QString& isNewTestName, bool& obError) {
    FlagHold dontProcess(mbDontProcess);
    gbMETestCopy(isSourceTestName, isNewTestName, obError);
}

void frmMETest::gMETestDeleteConfirm(bool& obError) {
    ErrorTrap trap(kModule, "gMETestDeleteConfirm", obError);
    // The last test stays.
    if (!mbHasCurrent() || dtaTest.Recordset().RecordCount() < 2) return;
    QString name;
    if (!trap(10, [&] { name = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name"))); })) return;
    const bool used = gbVarTestInSequences(name, true, obError);
    if (obError || used) return;
    const bool yes = gbMsgBoxYesNo(QStringLiteral("Delete the test '") + name + QStringLiteral("'?"),
                                   QStringLiteral("Test Deletion"), obError);
    if (!obError && yes) gMETestDelete(name, obError);
}

void frmMETest::gMETestDelete(const QString& isTestName, bool& obError) {
    // Another test's edits are asked about first, as on any move (Cancel keeps
    // them and deletes nothing); the deleted test's own edits go with it.
    bool deletingShown = false;
    {
        ErrorTrap trap(kModule, "gMETestDelete", obError);
        if (!trap(10, [&] {
                deletingShown = mbHasCurrent() && CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name"))) == isTestName;
            }))
            return;
    }
    if (!deletingShown && !mbSettleEdits(obError)) {
        obError = true;
        return;
    }
    {
        FlagHold dontSave(gbTestDontSave);
        mUnloadFormsSecondary(QString(), obError);
    }
    if (obError) return;
    gVarTestDelete(isTestName, obError);
    if (obError) return;
    gMETestRefresh(dcboTest->Text() == isTestName, obError);
    if (!obError && dtaTest.Recordset().RecordCount() == 1) mMnuDeletePrintEnable(false, obError);
}

void frmMETest::gMETestReset(bool& obError) {
    ErrorTrap trap(kModule, "gMETestReset", obError);
    if (!mbHasCurrent()) return;
    FlagHold dontSave(gbTestDontSave);
    // The type window's edits go with the editor's: it is opened again on the
    // stored test, and nothing is asked or written.
    mUnloadFormsSecondary(QString(), obError);
    if (obError) return;
    trap(10, [&] { mFindTest(dcboTest->Text()); });
}

void frmMETest::gMETestRefresh(bool ibDeletedCurrent, bool& obError) {
    ErrorTrap trap(kModule, "gMETestRefresh", obError);
    if (!ibDeletedCurrent && !mbSettleEdits(obError)) return;
    int16_t p = 1;
    if (!trap(10, [&] {
            const long at = dtaTest.Recordset().AbsolutePosition();
            p = at <= 0 ? int16_t(1) : static_cast<int16_t>(at);
        }))
        return;
    const QString shown = dcboTest->Text();
    {
        FlagHold dontProcess(mbDontProcess);
        FlagHold dontSave(gbTestDontSave);
        mbUnlinkedDataChanged = false;
        mbForceReCal = false;
        mDtaRefreshRefill(obError);
    }
    if (obError) return;
    FlagHold dontSave(gbTestDontSave);
    if (ibDeletedCurrent) {
        // The record before the deleted one (the first when the first went).
        trap(20, [&] {
            FlagHold dontProcess(mbDontProcess);
            Recordset& rs = dtaTest.Recordset();
            const long target = std::max<long>(0, std::min<long>(p - 1, rs.RecordCount() - 1));
            rs.MoveFirst();
            for (long i = 0; i < target; ++i) rs.MoveNext();
        });
        // Shown with the events running.
        trap(30, [&] {
            if (mbHasCurrent()) mFindTest(CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name"))));
        });
    } else {
        trap(40, [&] { mFindTest(shown); });
    }
}

void frmMETest::mUnloadFormsSecondary(const QString& isException, bool& obError) {
    if (gbMETestConditionUnloading) return;
    ErrorTrap trap(kModule, "mUnloadFormsSecondary", obError);
    const bool was = gbTest1FormUnloading;
    gbTest1FormUnloading = true;
    trap(10, [&] {
        auto close = [&](auto* iTag, const char* iName) {
            using W = std::remove_pointer_t<decltype(iTag)>;
            if (isLoaded<W>() && isException != QLatin1String(iName)) unload<W>();
        };
        close(static_cast<frmMETestExtDistortion*>(nullptr), "frmMETestExtDistortion");
        close(static_cast<frmMETestPolarity*>(nullptr), "frmMETestPolarity");
        close(static_cast<frmMETestResponse*>(nullptr), "frmMETestResponse");
        close(static_cast<frmMETestSine*>(nullptr), "frmMETestSine");
    });
    gbTest1FormUnloading = was;
}

void frmMETest::mZeroMfCurveArray() {
    mfCurve.assign(1, 0.0f);
    cmdReRun->setVisible(false);
}

void frmMETest::gMETestSecondaryFormInit(METestTypeForm& ifrmSecondary, DataControl& ioctrDtaTest, bool& obError) {
    ErrorTrap trap(kModule, "gMETestSecondaryFormInit", obError);
    if (!trap(10, [&] {
            FlagHold dontProcess(gbMETestSecondaryDontProcess);
            ioctrDtaTest.setDatabaseName(testDatabase());
            ioctrDtaTest.Refresh();
        }))
        return;
    trap(20, [&] { gbFormSecondaryPosition(*this, ifrmSecondary, obError); });
    mMnuDeletePrintEnable(mnuFileDelete->Enabled(), obError);
}

void frmMETest::gMETestPrint(bool& obError) {
    ErrorTrap trap(kModule, "gMETestPrint", obError);
    int16_t offset = gnFormPrint(*this, 900, obError);
    if (obError) return;
    offset = static_cast<int16_t>(offset + 450);
    METestTypeForm* other = mLoadedSecondary();
    // The layers are printed only while the program judges by them.
    const bool layersUnused = other != nullptr && other->Name() == QLatin1String("frmMETestResponse") && chkOpDecide->Value() == 1;
    if (other != nullptr && !layersUnused) {
        offset = gnFormPrint(*other, offset, obError);
        if (obError) return;
    }
    gFormPrintBylineEndDoc(offset, obError);
}

void frmMETest::mnuFileSelect_Click() { dcboTest->SetFocusIfAble(); }

void frmMETest::mnuFileNew_Click() {
    bool bError = false;
    gMETestNew(bError);
}

void frmMETest::mnuFileDelete_Click() {
    bool bError = false;
    gMETestDeleteConfirm(bError);
    dcboTest->SetFocusIfAble();
}

void frmMETest::mnuFileSave_Click() {
    bool bError = false;
    gMETestSave(bError);
}

void frmMETest::mnuFileSaveAs_Click() {
    bool bError = false;
    gMETestSaveAs(bError);
    dcboTest->SetFocusIfAble();
}

void frmMETest::mnuFileReset_Click() {
    bool bError = false;
    gMETestReset(bError);
}

void frmMETest::mnuFilePrint_Click() {
    bool bError = false;
    gMETestPrint(bError);
}

void frmMETest::mnuWindowOtherTest_Click() {
    if (METestTypeForm* other = mLoadedSecondary()) other->BringToFront();
}

void frmMETest::mnuWindowVexo_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::Main, bError);
}

void frmMETest::mnuWindowSequence_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::SequenceEditor, bError);
}

void frmMETest::mnuWindowSystem_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::SystemWindow, bError);
}

void frmMETest::mnuWindowCloseAllEngineer_Click() {
    bool bError = false;
    gVarEngineerUnloadAll(bError);
}

void frmMETest::mnuHelpHelp_Click() {
    bool bError = false;
    gGShowHelp(static_cast<int32_t>(winId()), bError);
}

void frmMETest::mnuHelpAboutVexo_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuHelpAboutVexo_Click", bError);
    trap(10, [&] { form<frmAbout>().Show(vbModal); });
}
