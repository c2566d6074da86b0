#pragma once
#include "audio/modAudio.h"
#include "audio/modResponseSub.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/TimerControl.h"
#include "station/SequenceTestList.h"
#include "station/frmVexoView.h"
#include <QSet>
#include <vector>

class SingleInstance;

// The operator's main window. Its load step starts the station, its unload
// step stops it, and every change of the sequence data control's row rebuilds
// what the operator sees of the sequence. Other windows reach into the part
// frmVexoView.h declares.
class frmVexo : public frmVexoView {
    Q_OBJECT
public:
    frmVexo();

    // Public members other windows call, each with the file that holds it.
    bool gbEngineerInit(bool& obError) override;                         // frmVexo_commands.cpp
    void gNameStationLabel(const QString& isStationName, bool& obError) override; // frmVexo.cpp
    void gDrawRespGridShowTestName(const QString& isTestName, int16_t inRow, bool ibShowPrevious,
                                   bool& obError);                       // frmVexo_result.cpp
    bool mbDoRespTestPCDecidePass(std::vector<float>& iafAbsDiff, bool& obError);   // frmVexo_judge.cpp
    void gForceReCalAll(const QString& isTestName, bool& obError) override; // frmVexo_calibrate.cpp
    void gSupervisorCAEEnableSetFocus(bool& obError) override;           // frmVexo_commands.cpp

    // The production report's data control; the other record kinds' are in
    // frmVexoView.h.
    DataControl dtaProdRep{QStringLiteral("dtaProdRep")};

    // Controls (frmVexo_layout.cpp); those other windows reach are in frmVexoView.h.
    CommandButton* cmdCali = nullptr;
    CommandButton* cmdEngineer = nullptr;
    CommandButton* cmdReport = nullptr;
    CommandButton* cmdWorst = nullptr;
    Label* lblPassFail = nullptr;
    Label* lblCard = nullptr;
    Label* lblStation = nullptr;
    Label* lblSelection = nullptr;
    Label* lblProdRep = nullptr;
    Label* lblSeq = nullptr;        // hidden, bound to Seq_Name
    Label* lblTest = nullptr;       // hidden, bound to Test_Name
    Label* lblTimeDate = nullptr;
    TimerControl* tmrClock = nullptr;
    TimerControl* tmrFlash = nullptr;

    Menu* mnuFile = nullptr;
    Menu* mnuFileTestUnit = nullptr;
    Menu* mnuFileSelectSequence = nullptr;
    Menu* mnuFileOperator = nullptr;
    Menu* mnuFileHyphen1 = nullptr;
    Menu* mnuFilePrint = nullptr;
    Menu* mnuFileHyphen2 = nullptr;
    Menu* mnuFileExit = nullptr;
    Menu* mnuWindow = nullptr;
    Menu* mnuWindowSequence = nullptr;
    Menu* mnuWindowTest = nullptr;
    Menu* mnuWindowSystem = nullptr;
    Menu* mnuWindowHyphen1 = nullptr;
    Menu* mnuWindowCloseAllEngineer = nullptr;
    Menu* mnuHelp = nullptr;
    Menu* mnuHelpHelp = nullptr;
    Menu* mnuHelpAboutVexo = nullptr;

    DrawSurface& windowSurface() override;

private:
    // frmVexo_layout.cpp
    void mLayout();

    // frmVexo.cpp: start-up and shutdown
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void mFormLoadSetPath(bool& obError);
    void mCardLabelInit(bool ibSoundOK, bool& obError);
    void mFormLoadDtaRefreshSet(bool& obError);
    void cmdMoreStuff_Click();
    void tmrClock_Timer();

    // frmVexo_sequence.cpp: sequence and operator selection
    void dcboSeq_Click();
    void dcboSeq_GotFocus();
    void dcboSeq_LostFocus();
    void dcboSeq_DblClick(int16_t Area);
    void dcboOperator_Click();
    void dtaSeq_Reposition();
    void mSeqRepositionReadTestList(bool& obError);
    void mSeqRepositionResponse(bool& obError);
    QString msRefSearchLabelFill(float fRefLim, bool& obError);
    QString msPolarityFirstInSeq(bool& obError);
    int16_t mnNextRespTest(int16_t inSlot, bool& obError);
    void mClearFormTrabo(bool& obError);

    // frmVexo_run.cpp: the unit run
    void cmdTest_Click();
    int16_t mnCmdTestDo(bool& obError);
    void mPassFailLabelShow(bool ibPass, bool& obError);
    void mPassFailLabelCentre(bool& obError);
    void mPrepScreenNewTest(bool& obError);
    void mNewSeq(bool& obError);
    void mMeDisableWorstDisableHide(bool& obError);
    void mTmrFlashDisable(bool& obError);

    // frmVexo_tests.cpp: the sine, polarity and distortion tests
    bool mbCmdTestDoSine(QString& ioTestName, bool& obError);
    bool mbPolarity(const QString& isTestName, int16_t inRow, bool& obError);
    bool mbDistortion(const QString& isTestName, bool& obError);

    // frmVexo_judge.cpp: the response test and its judging
    int16_t mnRespTest(const QString& isTestName, int16_t inSlot, int16_t inRespNo, int16_t inFailSet,
                       bool& obError);
    bool mbRespTestPassFail(const QString& isTestName, int16_t inRespNo, bool& obError);
    bool mbRespTestPCDo(int32_t ilMicLevel, bool& obError);
    void mStoreResponse(ResponseCurve& iafCorrected, ResponseCurve& iafMeasured, std::vector<float>& oafLinear,
                        bool& obError);
    // Clears what one pass of the run leaves behind: the worst block, the
    // largest level and the relative curves. Called at the start of each pass.
    void mResetRunValues();

    // frmVexo_result.cpp: the result on the response graph
    void mShowPassFailLyr(int32_t ilColour, bool& obError);
    void mShowPassFailLyrBlock(int16_t inStart, int16_t inLayer, int16_t& onX, int32_t ilColour, bool& obError);
    void mShowPassFailText(int16_t inX, int16_t inLayer, bool& obError);
    void cmdWorst_Click();

    // frmVexo_calibrate.cpp: calibration and its due date
    void cmdCali_Click();
    int32_t mlDoOneCali(const QString& isTestName, bool& obError);
    void mCaliCurveWrite(int32_t ilMicLevel, int16_t inSlot, bool& obError);
    void mSeqCalClear(const QString& isSeqName, int16_t inSlot, bool& obError);
    void mSeqWriteNow(bool& obError);
    int32_t mlSeqCalMicLevel(const QString& isTestName, bool& obError);
    bool mbCaliDue(bool& obError);
    void mShowWhenCalDue(bool& obError);

    // frmVexo_target.cpp: target curve correction
    bool mbTargetExistValidRef2Target(bool& obError);
    void mRef2TargetDo(std::vector<float>& ioafFreq, std::vector<float>& ioafLevel, float ifOffset, bool& obError);
    void mRef2TargetDoRefComp(int16_t inPoints, bool& obError);

    // frmVexo_commands.cpp: commands and the engineer windows
    void cmdEngineer_Click();
    void cmdSupervisor_Click();
    void mnuWindowSequence_Click();
    void mnuWindowTest_Click();
    void mnuWindowSystem_Click();
    void mnuWindowCloseAllEngineer_Click();
    void picResponse_DblClick();
    void picPolarity_DblClick();
    void cmdReport_Click();
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void Form_KeyPress(int16_t& KeyAscii);
    void mnuFileTestUnit_Click();
    void mnuFileSelectSequence_Click();
    void mnuFileOperator_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAboutVexo_Click();
    void tmrFlash_Timer();

    // frmVexo_afterunit.cpp: after each unit
    void mSerialiseRefSelect(float ifWorstDev, int16_t inFailSet, bool& obError);
    void mSerialiseRefSelectSerialise(int16_t inFailSet, bool& obError);
    void mSerialiseRefSelectRef(float ifWorstDev, bool& obError);
    void mReadSerial(bool& obError);
    void mLogUnitCurve(int16_t inFailSet, bool& obError);

    // frmVexo_labels.cpp: the label script
    bool mbScriptListRead(bool& obError);

    SingleInstance* mInstance = nullptr;
    bool mbSecondCopy = false;          // another copy runs: this one only ends

    std::vector<bool> mabRespTestPass;  // 0..16, by slot
    // The judging of the last response test: the measured level minus the
    // reference (1..points) and its worst block (layer 0: none over its limit).
    ResponseCurve mafRespDiff;
    float mfWorstDev = 0.0f;
    int16_t mnWorstLyr = 0;
    int16_t mnWorstBlock = 0;
    // The test the worst block belongs to: the Worst button reads its layers
    // after the run, when the test row may be on a later test of the sequence.
    QString msWorstTest;
    // The largest block level of the pass's judged tests over their active
    // layers, also when none is over its limit: the unit's margin.
    float mfLargestDev = 0.0f;
    // The relative curve of each response slot (1..16) of this pass with its test's name.
    struct RespDiffEntry {
        QString sTestName;
        ResponseCurve afDiff;
    };
    std::vector<RespDiffEntry> matypRespDiff = std::vector<RespDiffEntry>(17);
    TestList matypTestList{TestListEntry{}};
    int16_t mnLastRespSlot = 0;
    int16_t mnRespTestCount = 0;
    bool mbNewSeq = false;
    int32_t mlFlashColour = 0;          // the last response test's name colour, kept between flash ticks
    bool mbKeyTestTaken = false;        // the T key ran Test: its character is typed nowhere
    QSet<QString> mMissingTestsWarned;  // sequence and test names already reported
    QString msScriptMissingTold;        // the sequence and label script last said missing
};
