#pragma once
#include "common/modNumberBox.h"
#include "platform/data/DataControl.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/CommonDialog.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Menu.h"
#include "platform/ui/TextBox.h"

// The sequence editor: engineers create, edit, copy and delete the sequences
// operators select, each with one row in every calibration table, and put
// their tests in run order. The main window follows what is saved here.
class frmMESeq : public Form {
public:
    frmMESeq();

    DataControl dtaSeq{QStringLiteral("dtaSeq")};
    DataControl dtaCrv{QStringLiteral("dtaCrv")};

    DataCombo* dcboSeq = nullptr;   // the sequence being edited, chosen by name
    Label* lblLabel1 = nullptr;
    ListBox* lstTest = nullptr;
    CommandButton* cmdTestAdd = nullptr;
    CommandButton* cmdTestDel = nullptr;
    CommandButton* cmdTestUp = nullptr;
    CommandButton* cmdTestDown = nullptr;
    Label* lblCaliTime = nullptr;
    TextBox* txtCaliDays = nullptr;
    TextBox* txtCaliHours = nullptr;
    TextBox* txtCaliMins = nullptr;
    Label* lblRefLim = nullptr;
    TextBox* txtRefLim = nullptr;
    Label* lblSelLim = nullptr;
    TextBox* txtSelLim = nullptr;
    Label* lblTarget = nullptr;
    TextBox* txtTarget = nullptr;
    Label* lblPrompt = nullptr;
    TextBox* txtPrompt = nullptr;
    Label* lblScript = nullptr;
    TextBox* txtScript = nullptr;
    Label* lblDiscLog = nullptr;
    ComboBox* cboDiscLog = nullptr;
    Label* lblSerialise = nullptr;
    ComboBox* cboSerialise = nullptr;
    CommonDialog* dlgCommon = nullptr;   // the file boxes' browser

    Menu* mnuFile = nullptr;
    Menu* mnuFileSelect = nullptr;
    Menu* mnuFileNew = nullptr;
    Menu* mnuFileDelete = nullptr;
    Menu* mnuFileSave = nullptr;
    Menu* mnuFileSaveAs = nullptr;
    Menu* mnuFileReset = nullptr;
    Menu* mnuFilePrint = nullptr;
    Menu* mnuFileDeleteUnusedTests = nullptr;
    Menu* mnuFileExit = nullptr;
    Menu* mnuPairTyp = nullptr;
    Menu* mnuPairTypPairMatch = nullptr;
    Menu* mnuPairTypMakeTypical = nullptr;
    Menu* mnuPairTypDoTypical = nullptr;
    Menu* mnuWindow = nullptr;
    Menu* mnuWindowVexo = nullptr;
    Menu* mnuWindowTest = nullptr;
    Menu* mnuWindowSystem = nullptr;
    Menu* mnuWindowCloseAllEngineer = nullptr;
    Menu* mnuHelp = nullptr;
    Menu* mnuHelpHelp = nullptr;
    Menu* mnuHelpAboutVexo = nullptr;

    // Copies the current sequence, with its calibration rows, under a new name.
    void gMESeqSaveAs(const QString& isNewSeqName, bool& obError);
    // Deletes the current sequence and its calibration rows.
    void gMESeqDelete(bool& obError);

private:
    // frmMESeq.cpp: the window, its loading and closing, the menus
    void mLayout();
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void dcboSeq_KeyDown(int16_t& KeyCode, int16_t Shift);
    void mnuFileSelect_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuWVexo_Click();
    void mnuWindowTest_Click();
    void mnuWindowSystem_Click();
    void mnuWindowCloseAllEngineer_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAboutVexo_Click();
    void mnuFileDeleteUnusedTests_Click();
    void mnuPairTypMakeTypical_Click();
    void mnuPairTypDoTypical_Click();

    // frmMESeq_records.cpp: the record cycle
    void dtaSeq_Reposition();
    void dtaSeq_Validate(int& Action, bool& Save);
    void dcboSeq_Change();
    void cboDiscLog_Change();
    void cboSerialise_Change();
    void txtCali_Change();
    void txtSelLim_Change();
    void txtFile_Change();
    // Runs the focused box's check before a command writes the sequence or the
    // window closes; false when the box refused its value.
    bool mbFocusedBoxAccepts();
    void mFillTestList(bool& obError);
    int16_t mnNextCaliTest(int16_t inStart, bool& obError);
    void mShowSerialise(bool ibShow, bool& obError);
    void mShowSweepPresent(bool& obError);
    double mdCaliText2Num(bool& obError);
    void mSaveNonLinkedDataForceRecal(bool& obError);
    void mNewSequenceSetFields(const QString& isName, bool& obError);
    void mSeqCalInitFields(int16_t inSlot, const QString& isSeqName, const QString& isTestName, int32_t ilAttIn,
                           bool& obError);
    QString msNewSeqName(bool& obError);
    void mDeleteTypicalTest(bool& obError);
    void mRefreshTraboSeq(const QString& isName, bool& obError);
    void mSetUnlinkedDataResetEnabled(bool ibValue, bool& obError);
    void mnuFileNew_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileDelete_Click();
    void mnuFileReset_Click();
    QString msCurrentName() const;
    long mlSeqCount() const;

    // frmMESeq_slots.cpp: the test list and its buttons
    void lstTest_Click();
    void lstTest_DblClick();
    void lstTest_KeyDown(int16_t& KeyCode, int16_t Shift);
    void lstTest_KeyPress(int16_t& KeyAscii);
    void cmdTestAdd_Click();
    void cmdTestDel_Click();
    void cmdTestUp_Click();
    void cmdTestDown_Click();
    QString msGetTest(bool& obError);
    bool mbTestInList(const QString& isTestName, bool& obError);
    void mAddTest2Sequence(const QString& isTestName, bool& obError);
    void mShowTestListButtons(bool& obError);
    void mSwapEntries(int32_t inFrom, int32_t inTo);

    // frmMESeq_boxes.cpp: the interval, limit and file boxes
    struct FileBox {
        TextBox* box = nullptr;
        QString title;
        QString filter;
        QString defaultFolder;
        QString* folder = nullptr;   // the folder of the last browse, empty at first
    };
    void mBindBoxes();
    void mNumberValidate(const NumberBoxRule& iRule, bool& Cancel);
    void mFileDblClick(const FileBox& iRule);
    NumberBoxRule mBoxCaliDays, mBoxCaliHours, mBoxCaliMins, mBoxRefLim, mBoxSelLim;
    FileBox mBoxTarget, mBoxPrompt, mBoxScript;
    QString msTargetDir, msPromptDir, msScriptDir;

    // frmMESeq_typical.cpp: unused tests, the typical sequence and its test
    QString msDeleteUnusedTestsGetUserInput(const QString& isTestName, bool& obYes, bool& obAll, bool& obError);
    void mSetTypicalSeqParamsSave(const QString& isSourceSeqName, bool& obError);
    void mSetTypicalSeqParamsSaveWriteTypical(bool& obError);
    void mSetTypicalTestParamsSave(const QString& isMainRespTestName, bool& obError);
    void mDeleteTypicalFromCurve(bool& obError);
    // The save check of the current sequence and the test editor's unload, as
    // a command that reaches beyond the sequence starts; false ends it.
    bool mbSettledForCommand(bool ibUnloadTestEditor);
    QString msTypicalSourceTest(const QString& isMainResp, bool& obError);

    bool mbShownInPart(bool ibSay);

    bool mbDontProcess = false;
    bool mbDontSave = false;
    bool mbSaveDirect = false;
    bool mbUnlinkedEdit = false;
    bool mbForceRecal = false;
    bool mbMoveCancelled = false;   // the last save question was answered Cancel
    // The sequence whose display stopped at an error before its test list and
    // calibration interval were shown: a save would write them over its own,
    // so it is never saved (empty while they are shown).
    QString msShownInPart;
    int32_t mlPickerPtr = 0;
};
