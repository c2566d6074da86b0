#pragma once
#include "test_editor/METestMenus.h"
#include "common/modNumberBox.h"
#include "platform/data/DataControl.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UpDown.h"
#include <QPointer>
#include <vector>

class METestTypeForm;

// While set the test-type windows ignore their own Change and Click events
// (the editor moves their data controls).
extern bool gbMETestSecondaryDontProcess;

// The engineer's test editor: creates, edits, copies, resets and deletes the
// tests in Vexo_Tst.mdb, and lays itself out by the shown test's type with
// that type's window beside it.
class frmMETest : public Form, public METestMenus {
public:
    frmMETest();

    // ---- public members other windows use
    bool gbFormResizing = false;
    bool gbMETestExtDistortionLoaded = false;
    bool gbMETestPolarityLoaded = false;
    bool gbMETestResponseLoaded = false;
    bool gbMETestSineLoaded = false;
    bool gbTest1FormUnloading = false;   // the editor unloads the type windows or itself
    bool gbTestDontSave = false;         // a Validate neither asks nor writes
    bool gbTestSaveCancel = false;       // the last field check refused a value

    // ---- controls
    DataControl dtaTest{QStringLiteral("dtaTest")};
    DataCombo* dcboTest = nullptr;
    Label* lblTestName = nullptr;
    Label* lblFLo = nullptr;
    TextBox* txtFLo = nullptr;
    UpDown* updFLo = nullptr;
    Label* lblFHi = nullptr;
    TextBox* txtFHi = nullptr;
    UpDown* updFHi = nullptr;
    Label* lblPoint = nullptr;
    TextBox* txtPoint = nullptr;
    UpDown* updPoint = nullptr;
    Label* lblDuration = nullptr;
    TextBox* txtDuration = nullptr;
    Label* lblDelay = nullptr;
    TextBox* txtDelay = nullptr;
    Label* lblDriveV = nullptr;
    TextBox* txtDriveV = nullptr;
    CheckBox* chkActive = nullptr;
    Label* lblSweepType = nullptr;
    ComboBox* cboSweepType = nullptr;
    CheckBox* chkOpDecide = nullptr;
    Frame* fraOpDecide = nullptr;
    OptionButton* optOpDecideNo = nullptr;
    OptionButton* optOpDecideYes = nullptr;
    CheckBox* chkFailExit = nullptr;
    CommandButton* cmdRun = nullptr;
    CommandButton* cmdReRun = nullptr;

    // ---- records (frmMETest_records.cpp)
    void gMETestSecondaryValidate(const QString& isTestName, int& ionAction, bool& ionSave, bool& obError);
    void gMETestPrint(bool& obError);
    void gMETestSaveAs2(const QString& isSourceTestName, const QString& isNewTestName, bool& obError);
    void gMETestRefresh(bool ibDeletedCurrent, bool& obError);
    void gMETestDeleteConfirm(bool& obError);
    void gMETestReset(bool& obError);
    void gMETestNew(bool& obError);
    void gMETestSave(bool& obError);
    void gMETestSaveAs(bool& obError);
    // Deletes a test without asking, the editor staying in step.
    void gMETestDelete(const QString& isTestName, bool& obError);
    void gMETestSecondaryFormInit(METestTypeForm& ifrmSecondary, DataControl& ioctrDtaTest, bool& obError);

    // ---- fields (frmMETest_fields.cpp)
    int32_t glMETestPoint2Freq(int16_t inPoint, bool& obError);
    int16_t gnMETestFreq2Point(int32_t ilFreq, bool& obError);
    void gMETestUpdFHiSet(bool& obError);
    void gMETestUpdFLoSet(bool& obError);

    // ---- display (frmMETest_display.cpp)
    void gMETestEnableSweepTypeDuration(bool ibEnable, bool& obError);
    void gMETestPolarityInitClsEtc(bool ibCls, bool& obError);

    // ---- try-out runs (frmMETest_tryout.cpp)
    void gMETestRun(bool& obError);
    void gMETestUpdateResponse(bool& obError);

private:
    // frmMETest_layout.cpp
    void mLayout();

    // frmMETest_records.cpp
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void dtaTest_Validate(int& Action, bool& Save);
    void mTestSaveYesNoCancel(const QString& isTestName, int& ionAction, bool& ionSave, bool& obError);
    // The drive is checked when typed, or always with ibDriveAlways (a save or
    // a try-out): a stored drive above today's calibration never holds a test.
    void mPrimaryDistortionControlsValidate(bool& obError, bool ibDriveAlways = false);
    void mSaveNonLinkedData(bool& obError);
    void mSetNewTestParams(const QString& isType, const QString& isName, bool& obError);
    QString msNewTestName(const QString& isHeader, int16_t& ionPtr, bool& obError);
    void mDtaRefreshRefill(bool& obError);
    void mUnloadFormsSecondary(const QString& isException, bool& obError);
    void mZeroMfCurveArray();
    void mFindTest(const QString& isName);
    // Settles the shown test's edits with the usual question before the
    // editor moves on its own; false when the user cancelled or a check refused.
    bool mbSettleEdits(bool& obError);
    bool mbHasCurrent();
    void mnuFileSelect_Click();
    void mnuFileNew_Click();
    void mnuFileDelete_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileReset_Click();
    void mnuFilePrint_Click();
    void mnuWindowOtherTest_Click();
    void mnuWindowVexo_Click();
    void mnuWindowSequence_Click();
    void mnuWindowSystem_Click();
    void mnuWindowCloseAllEngineer_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAboutVexo_Click();

    // frmMETest_tryout.cpp
    void cmdRun_Click();
    void cmdReRun_Click();
    void mRunSine(const QString& isTestName, bool& obError);
    void mRunDistortion(bool& obError);
    void mTestFormsEnable(bool ibEnable, bool& obError);
    bool mbTryOutRefused(bool& obError);
    void mRunPolarity(float ifDelay, float ifDriveV, bool& obError);
    void mReRunMeasure(bool& obError);

    // frmMETest_fields.cpp
    void mBindNumberBoxes();
    double mdVal(const TextBox& iBox) const;
    QString msTestType();
    bool mbSingleTone();
    int32_t mlFHiMin(bool& obError);
    int32_t mlFLoMax(bool& obError);
    float mfDelayMax(bool& obError);
    QString msDelayFormat(bool& obError);
    float mfDriveMax();
    QString msDriveVListInitPtr(float ifDriveV, bool& obError);
    void mTxtFHiLoPointChanged(bool& obError);
    void mFHiLoPointChangedSetResetEnabled(bool& obError);
    void txtFLo_Change();
    void txtFHi_Change();
    void txtPoint_Change();
    void txtDuration_Change();
    void txtDelay_Change();
    void txtDriveV_Change();
    void chkActive_Click();
    void updPoint_DownClick();
    void updPoint_UpClick();
    void mUpdFLoRange(bool& obError);
    void mUpdFHiRange(bool& obError);

    // frmMETest_display.cpp
    void dtaTest_Reposition();
    void mDataTestRepositionSecondary(const QString& isTestName, bool& obError);
    void mDtaTestRepositionResponse(const QString& isTestName, bool& obError);
    void mDtaTestRepositionPolarity(const QString& isTestName, bool& obError);
    void mDtaTestRepositionSine(const QString& isTestName, bool& obError);
    void mDtaTestRepositionExtDist(const QString& isTestName, bool& obError);
    void mPointFLoShowEnable(bool ibPointShow, bool ibPointEnable, bool ibLoShow, bool ibLoEnable, bool& obError);
    void mPointShowEnableFLoShow(bool ibPointShow, bool ibPointEnable, bool ibLoShow, bool& obError);
    void mPointShowEnable(bool ibShow, bool ibEnable, bool& obError);
    void mFLoShow(bool ibShow, bool& obError);
    void mFHiShow(bool ibShow, bool& obError);
    void mFHiEnable(bool ibEnable, bool& obError);
    void mShowDurationUpDownBothLogLin(bool ibShow, bool& obError);
    void mSineSweepShow(bool ibShow, bool& obError);
    void mOpDecideShow(bool ibShow, bool& obError);
    void mDelayDriveActiveEnable(bool ibEnable, bool& obError);
    void mSecondaryDtaFindFirst(METestTypeForm& ioWindow, const QString& isTestName, bool ibSuppress, bool& obError);
    void mSetUnlinkedDataResetEnabled(bool ibValue, bool& obError);
    void mSetMnuResetEnabled(bool ibValue, bool& obError);
    void mMnuDeletePrintEnable(bool ibValue, bool& obError);
    METestTypeForm* mLoadedSecondary();
    bool mbSineMeasureUnchecked();
    void cboSweepType_Click();
    void cboSweepType_KeyPress(int16_t& KeyAscii);
    void chkOpDecide_Click();
    void optOpDecideNo_Click();
    void optOpDecideYes_Click();
    void chkFailExit_Click();
    void dcboTest_Change();
    void dcboTest_KeyDown(int16_t& KeyCode, int16_t Shift);
    void mShowTestName(const QString& isName);
    void Form_Resize();

protected:
    // A change of the window state (minimised, maximised, normal) is the editor's Resize.
    void changeEvent(QEvent* iEvent) override;

private:
    // ---- private state
    bool mbDontProcess = false;
    bool mbForceReCal = false;
    bool mbSaveDirect = false;
    bool mbSaveConfirmed = false;
    bool mbUnlinkedDataChanged = false;
    bool mbMoveCancelled = false;   // the last Validate cancelled its move
    std::vector<float> mfCurve{0.0f};
    int32_t mlRespScale = 0;
    int32_t mlTypeListPtr = 1;
    int16_t mnNameListPtr = 1;
    bool mbTryOutRunning = false;               // one try-out at a time
    std::vector<QPointer<QWidget>> mTryOutLocked;   // the windows a try-out locked
    NumberBoxRule mRuleFLo, mRuleFHi, mRulePoint, mRuleDuration, mRuleDelay, mRuleDriveV;
};
