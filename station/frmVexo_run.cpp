// The unit run of the main window: Test, the passes through the sequence, the
// PASS/FAIL label and the re-test question.
#include "audio/modDigitalIO.h"
#include "audio/modWaveInOut.h"
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/modMsgBox.h"
#include "common/modVarLookup.h"
#include "common/modVarSystemParams.h"
#include "common/modViewText.h"
#include "platform/sound/JigUnits.h"
#include "platform/ui/InputLock.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"
#include "station/modProductionReport.h"

namespace {
constexpr const char* kModule = "frmVexo";
constexpr int32_t kGreen = 65280;
constexpr int32_t kRed = 255;

// What every way out of a Test command gives back: the window unlocked, Test
// focused, the flash timer running, the station no longer busy.
class RunWindowRestore {
public:
    RunWindowRestore(frmVexo& ioForm, CommandButton& ioTest, TimerControl& ioFlash)
        : mForm(ioForm), mTest(ioTest), mFlash(ioFlash) {}
    ~RunWindowRestore() {
        inputlock::setLocked(&mForm, false);
        if (mTest.Enabled() && mTest.Visible()) mTest.SetFocusIfAble();
        mFlash.setEnabled(true);
    }
    RunWindowRestore(const RunWindowRestore&) = delete;
    RunWindowRestore& operator=(const RunWindowRestore&) = delete;

private:
    frmVexo& mForm;
    CommandButton& mTest;
    TimerControl& mFlash;
};

// Clears the test-in-progress output once it was set, errors included.
class TestInProgressOutput {
public:
    TestInProgressOutput() = default;
    void set(bool& obError) {
        gDigSetTestInProgress(obError);
        mbSet = !obError;
    }
    ~TestInProgressOutput() {
        if (!mbSet) return;
        bool bError = false;
        gDigSetNotTestInProgress(bError);
    }
    TestInProgressOutput(const TestInProgressOutput&) = delete;
    TestInProgressOutput& operator=(const TestInProgressOutput&) = delete;

private:
    bool mbSet = false;
};
}   // namespace

void frmVexo::cmdTest_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdTest_Click", bError);
    // Keys, clicks and menus of the window are dropped until the command is over;
    // the engineer windows see the station busy.
    const RunInProgress busy;
    {
        const InputLock lock(this);
        const bool bDue = mbCaliDue(bError);
        if (bError) return;
        int16_t nTestNo = 0;
        if (!trap(10, [&] { nTestNo = SequenceRecord(dtaSeq.Recordset()).Test_No(); })) return;
        if (nTestNo == 0) {
            gVarSeqNoTestsMsgBox(dcboSeq->Text(), bError);
            return;
        }
        if (mnRespTestCount != 0 && bDue) {
            cmdCali_Click();
            return;
        }
    }
    const RunWindowRestore restore(*this, *cmdTest, *tmrFlash);
    const InputLock lock(this);
    mMeDisableWorstDisableHide(bError);
    if (bError) return;
    if (mbNewSeq) {
        mNewSeq(bError);
        if (bError) return;
    }
    // On the simulated jig the next unit of its order goes in (a re-test keeps it).
    jigunits::nextUnit();
    TestInProgressOutput tip;
    tip.set(bError);
    if (bError) return;
    mTmrFlashDisable(bError);
    if (bError) return;
    mabRespTestPass.assign(17, false);
    int16_t nFailSet = 0;
    for (;;) {
        mPrepScreenNewTest(bError);
        if (bError) return;
        nFailSet = mnCmdTestDo(bError);
        if (bError) return;
        mPassFailLabelShow(nFailSet == 0, bError);
        if (bError) return;
        if (nFailSet == 0 || !gbOpFailCheck) break;
        const bool bAgain = gbMsgBoxYesNo(QStringLiteral("Re-test this unit?"), QStringLiteral("Re-test"), bError);
        if (bError) return;
        if (!bAgain) break;
    }
    if (nFailSet != 0)
        gDigSetFail(bError);
    else
        gDigSetNotFail(bError);
    if (bError) return;
    mPassFailLabelCentre(bError);
    if (bError) return;
    const int16_t nFirstResp = mnNextRespTest(0, bError);
    if (bError) return;
    if (!trap(20, [&] {
            if (nFailSet == 0 && nFirstResp > 0 && cmdMoreStuff->Caption().contains(QLatin1String("Less"))) {
                cmdWorst->setEnabled(true);
                cmdWorst->setVisible(true);
            }
        }))
        return;
    gMprInc(nFailSet != 0, bError);
    // The counted unit's production row is written before the after-unit steps
    // (serial number, reference, selection, curve, label: a print can take
    // seconds), so that a crash or power cut there cannot lose the count.
    bool bWriteError = false;
    gMprFileWrite(bWriteError);
    bool bAfterUnitError = false;
    if (!bError) mSerialiseRefSelect(mfWorstDev, nFailSet, bAfterUnitError);
}

int16_t frmVexo::mnCmdTestDo(bool& obError) {
    ErrorTrap trap(kModule, "mnCmdTestDo", obError);
    mnWorstLyr = 0;
    // Nothing of an earlier pass may be judged, logged or offered as this unit's.
    mResetRunValues();
    int16_t nTestNo = 0;
    if (!trap(10, [&] { nTestNo = SequenceRecord(dtaSeq.Recordset()).Test_No(); })) return 0;
    int16_t nSlot = 0;
    int16_t nRespNo = 0;
    int16_t nOtherNo = 0;
    int16_t nFailSet = 0;
    int16_t nMeasured = 0;
    bool bPass = false;
    bool bExit = false;
    QString sName;
    Recordset& rsTest = dtaTest.Recordset();
    do {
        ++nSlot;
        sName = gsMSubTestName(nSlot, obError);
        if (!sName.isEmpty() && !obError) {
            QString sType;
            // A slot naming no stored test must not measure the row left by the
            // previous one under this name.
            if (trap(20, [&] {
                    rsTest.FindFirst(QStringLiteral("Test_Name = ?"), Variant(sName));
                    if (rsTest.NoMatch())
                        vbRaise(vberr::kUserBase + 18, QStringLiteral("Test '") + sName + QStringLiteral("' not found"));
                    sType = TestRecord(rsTest).Test_Type();
                })) {
                if (sType == QLatin1String("Response"))
                    ++nRespNo;
                else
                    ++nOtherNo;
                if (sType == QLatin1String("Response")) {
                    // Its own bit alone says how this test went, whatever failed before it.
                    const int16_t nThis = mnRespTest(sName, nSlot, nRespNo, 0, obError);
                    bPass = (nThis & failbit::kResponse) == 0;
                    nFailSet = static_cast<int16_t>(nFailSet | nThis);
                    ++nMeasured;
                } else if (sType == QLatin1String("Polarity")) {
                    bPass = mbPolarity(sName, nOtherNo, obError);
                    if (!bPass) nFailSet = static_cast<int16_t>(nFailSet | failbit::kPolarity);
                    ++nMeasured;
                } else if (sType == QLatin1String("Sine") || sType == QLatin1String("Ext Dist")) {
                    trap(30, [&] { picPolarity->setVisible(true); });
                    if (!obError) {
                        bPass = sType == QLatin1String("Sine") ? mbCmdTestDoSine(sName, obError)
                                                               : mbDistortion(sName, obError);
                        if (!bPass) nFailSet = static_cast<int16_t>(nFailSet | failbit::kSineOrDistortion);
                        ++nMeasured;
                    }
                } else {
                    // A type the station cannot measure would let an untested unit pass.
                    trap(40, [&] {
                        vbRaise(vberr::kUserBase + 18, QStringLiteral("Test '") + sName +
                                                           QStringLiteral("' has an unknown type '") + sType +
                                                           QLatin1Char('\''));
                    });
                }
            }
            int32_t lColour = bPass ? kGreen : kRed;
            if (obError) {
                lColour = kRed;
                ++nOtherNo;
                sName += QStringLiteral(" ERROR!");
            }
            // Response names are written on the response graph by the test itself.
            if (sType != QLatin1String("Response")) {
                bool bShowError = false;
                gMSubPolarityGridTestNameShow(sName, nOtherNo, lColour, bShowError);
                if (bShowError) obError = true;
            }
            if (!obError) trap(50, [&] { bExit = TestRecord(rsTest).Exit_flag(); });
        }
    } while (!(sName.isEmpty() || nSlot == nTestNo || obError || (bExit && !bPass)));
    // A pass that measured nothing has tested nothing: never a PASS.
    if (!obError && nMeasured == 0) {
        trap(60, [&] {
            vbRaise(vberr::kUserBase + 18, QStringLiteral("Sequence '") + dcboSeq->Text() +
                                               QStringLiteral("' tested nothing: slot ") + QString::number(nSlot) +
                                               QStringLiteral(" is blank"));
        });
        ++nOtherNo;
        bool bShowError = false;
        gMSubPolarityGridTestNameShow(QStringLiteral(" ERROR!"), nOtherNo, kRed, bShowError);
    }
    if (obError && nSlot != nTestNo) {
        ++nOtherNo;
        bool bShowError = false;
        gMSubPolarityGridTestNameShow(QStringLiteral("SEQUENCE ABANDONED"), nOtherNo, kRed, bShowError);
    }
    return nFailSet;
}

void frmVexo::mPassFailLabelShow(bool ibPass, bool& obError) {
    ErrorTrap trap(kModule, "mPassFailLabelShow", obError);
    if (ibPass) {
        if (!trap(10, [&] {
                lblPassFail->setCaption(QStringLiteral("PASS"));
                lblPassFail->setForeColor(kGreen);
            }))
            return;
        mPassFailLabelCentre(obError);
        if (obError) return;
        trap(20, [&] { lblPassFail->setVisible(true); });
        return;
    }
    if (!trap(30, [&] {
            lblPassFail->setCaption(QStringLiteral("FAIL"));
            lblPassFail->setForeColor(kRed);
            lblPassFail->Move(5800, 3500, lblPassFail->Width(), lblPassFail->Height());
            lblPassFail->setVisible(true);
        }))
        return;
    gSoundSiren(100, 2800, 1, obError);
    if (!obError) gSoundSiren(100, 2800, 1, obError);
}

void frmVexo::mPassFailLabelCentre(bool& obError) {
    ErrorTrap trap(kModule, "mPassFailLabelCentre", obError);
    trap(10, [&] { lblPassFail->Move(2775, 3500, lblPassFail->Width(), lblPassFail->Height()); });
}

void frmVexo::mPrepScreenNewTest(bool& obError) {
    ErrorTrap trap(kModule, "mPrepScreenNewTest", obError);
    trap(10, [&] {
        lblPassFail->setVisible(false);
        formSurface(*this).Cls();
        picPolarity->Cls();
        picResponse->setVisible(false);
        lblRefSearch->setVisible(false);
        lblTarget->setVisible(false);
        Refresh();
    });
}

void frmVexo::mNewSeq(bool& obError) {
    ErrorTrap trap(kModule, "mNewSeq", obError);
    mbNewSeq = false;
    QString sFile;
    if (!trap(10, [&] { sFile = SequenceRecord(dtaSeq.Recordset()).Prompt_File(); })) return;
    while (sFile.endsWith(QLatin1Char(' '))) sFile.chop(1);
    if (sFile.isEmpty()) return;
    gViewText(sFile, QStringLiteral("Prompt File: ") + sFile, obError);
}

void frmVexo::mMeDisableWorstDisableHide(bool& obError) {
    ErrorTrap trap(kModule, "mMeDisableWorstDisableHide", obError);
    trap(10, [&] {
        inputlock::setLocked(this, true);
        cmdWorst->setEnabled(false);
        cmdWorst->setVisible(false);
    });
}

void frmVexo::mTmrFlashDisable(bool& obError) {
    ErrorTrap trap(kModule, "mTmrFlashDisable", obError);
    trap(10, [&] {
        tmrFlash->setEnabled(false);
        lblPassFail->setVisible(false);
        lblCard->setVisible(false);
    });
}
