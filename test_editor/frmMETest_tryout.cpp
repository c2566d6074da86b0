// Trying the edited test out on a unit: the values on screen, saved or not,
// are measured and the result shown in the test's window; nothing is stored.
#include "test_editor/frmMETest.h"
#include "audio/modMSine.h"
#include "audio/modResponseSub.h"
#include "audio/modWavePolarityHi.h"
#include "audio/modWavePolarityTIP.h"
#include "audio/modWaveResponse.h"
#include "common/ErrorTrap.h"
#include "common/frmPrompt.h"
#include "common/modMVarious.h"
#include "station/modMSub.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/InputLock.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "test_editor/TestFieldRules.h"
#include "test_editor/frmMETestExtDistortion.h"
#include "test_editor/frmMETestPolarity.h"
#include "test_editor/frmMETestResponse.h"
#include "test_editor/frmMETestSine.h"
#include <QApplication>

namespace {
const char* const kModule = "frmMETest";
constexpr int32_t kCurveColour = 0xFFFFFF;
constexpr int32_t kMarkerColour = 0xFF0000;   // blue: the editor decides nothing

// The response window's layer flashing waits while a sweep measures.
class FlashSuspended {
public:
    explicit FlashSuspended(frmMETestResponse& ioWindow) : mTimer(ioWindow.tmrFlashLayer), mWas(mTimer->Enabled()) {
        mTimer->setEnabled(false);
    }
    ~FlashSuspended() {
        if (mTimer && mWas) mTimer->setEnabled(true);
    }

private:
    QPointer<TimerControl> mTimer;
    bool mWas;
};

// Marks a try-out running for its scope, so that a second one asked for
// meanwhile (from a window the lock does not cover) is turned away.
class Busy {
public:
    explicit Busy(bool& ioFlag) : mFlag(ioFlag) { mFlag = true; }
    ~Busy() { mFlag = false; }

private:
    bool& mFlag;
};
}

void frmMETest::cmdRun_Click() {
    bool bError = false;
    gMETestRun(bError);
    // A refused box keeps the focus it was given back.
    if (!gbTestSaveCancel && cmdRun->Visible() && cmdRun->isEnabled()) cmdRun->SetFocusIfAble();
}

// The boxes' own checks (and the open window's) come first: a refused box
// shows its message, keeps the focus, and nothing plays.
bool frmMETest::mbTryOutRefused(bool& obError) {
    if (!mbHasCurrent()) return true;
    mPrimaryDistortionControlsValidate(obError, true);
    return obError || gbTestSaveCancel;
}

void frmMETest::gMETestRun(bool& obError) {
    if (mbTryOutRunning) {
        vbBeep();
        return;
    }
    if (mbTryOutRefused(obError)) return;
    const Busy busy(mbTryOutRunning);
    // The windows come back on every path, an Abort included.
    struct Unlock {
        frmMETest* editor;
        ~Unlock() {
            bool bError = false;
            editor->mTestFormsEnable(true, bError);
        }
    } unlock{this};
    mTestFormsEnable(false, obError);
    if (obError) return;
    ErrorTrap trap(kModule, "gMETestRun", obError);
    QString name, type;
    float delay = 0.0f, drive = 0.0f;
    if (!trap(20, [&] {
            name = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name")));
            type = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Type")));
            delay = CSng(mdVal(*txtDelay));
            drive = CSng(mdVal(*txtDriveV));
        }))
        return;
    if (type == QLatin1String("Polarity")) {
        if (!trap(30, [&] { gMETestPolarityInitClsEtc(false, obError); })) return;
        if (!obError) mRunPolarity(delay, drive, obError);
        trap(40, [&] { cmdReRun->setVisible(true); });
    } else if (type == QLatin1String("Response")) {
        if (mlRespScale >= 1) {
            trap(50, [&] {
                frmMETestResponse& w = form<frmMETestResponse>();
                const int16_t points = CInt(mdVal(*txtPoint));
                mfCurve.assign(size_t(points) + 1, 0.0f);
                ResponseCurve corrected(size_t(points) + 1, 0.0f);
                const FlashSuspended flash(w);
                gWaveResponse(w, CSng(mdVal(*txtFLo)), CSng(mdVal(*txtFHi)), points, delay, drive,
                              chkActive->Value() == 1, mlRespScale, 0, false, kCurveColour, 0, mfCurve, corrected,
                              obError);
            });
        } else {
            mReRunMeasure(obError);
        }
        trap(60, [&] { cmdReRun->setVisible(true); });
    } else if (type == QLatin1String("Sine")) {
        mRunSine(name, obError);
    } else if (type == QLatin1String("Ext Dist")) {
        mRunDistortion(obError);
    } else {
        trap(70, [&] {
            gMsgBox(QStringLiteral("Test type ") + type + QStringLiteral(" not known."), vbExclamation | vbOKOnly,
                    QStringLiteral("frmMETest.gMETestRun"));
        });
    }
}

void frmMETest::cmdReRun_Click() {
    if (mbTryOutRunning) {
        vbBeep();
        return;
    }
    bool bError = false;
    // A refused box keeps the focus it was given back.
    if (mbTryOutRefused(bError)) return;
    {
        const Busy busy(mbTryOutRunning);
        struct Unlock {
            frmMETest* editor;
            ~Unlock() {
                bool e = false;
                editor->mTestFormsEnable(true, e);
            }
        } unlock{this};
        mTestFormsEnable(false, bError);
        if (!bError) mReRunMeasure(bError);
    }
    if (cmdReRun->Visible() && cmdReRun->isEnabled()) cmdReRun->SetFocusIfAble();
}

// A fresh response measurement (the level searched again) or a polarity one on a cleared picture.
void frmMETest::mReRunMeasure(bool& obError) {
    ErrorTrap trap(kModule, "cmdReRun_Click", obError);
    float delay = 0.0f, drive = 0.0f;
    QString type;
    if (!trap(20, [&] {
            delay = CSng(mdVal(*txtDelay));
            drive = CSng(mdVal(*txtDriveV));
            type = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Type")));
        }))
        return;
    if (type == QLatin1String("Response")) {
        trap(30, [&] {
            frmMETestResponse& w = form<frmMETestResponse>();
            const int16_t points = CInt(mdVal(*txtPoint));
            mfCurve.assign(size_t(points) + 1, 0.0f);
            const QString name = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name")));
            const FlashSuspended flash(w);
            mlRespScale = glVarRespScale(w, name, CSng(mdVal(*txtFLo)), CSng(mdVal(*txtFHi)), points, delay, drive,
                                         chkActive->Value() == 1, mfCurve, obError);
        });
        if (!obError) trap(40, [&] { form<frmMETestResponse>().gMETestResponseShowAllValidLayers(obError); });
    } else {
        gMETestPolarityInitClsEtc(true, obError);
        if (!obError) mRunPolarity(delay, drive, obError);
    }
}

void frmMETest::mRunPolarity(float ifDelay, float ifDriveV, bool& obError) {
    if (!isLoaded<frmMETestPolarity>()) return;
    int16_t markerX = 0;
    const bool lowFreq = form<frmMETestPolarity>().chkUnitLF->Value() == 1;
    // The sign is not judged here: only where the deciding sample lay is shown.
    const int16_t sign = gnWavePolarityTIP(lowFreq, ifDelay, ifDriveV, chkActive->Value() == 1, markerX, obError);
    if (!obError && sign != 0) gWavePolarityHiShowDecision(markerX, kMarkerColour, obError);
}

void frmMETest::mRunSine(const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "mRunSine", obError);
    if (!isLoaded<frmMETestSine>()) return;
    QPointer<frmMETestSine> sine = &form<frmMETestSine>();
    // The notice closes on every path.
    struct ClosePrompt {
        ~ClosePrompt() {
            if (isLoaded<frmPrompt>()) unload<frmPrompt>();
        }
    } closePrompt;
    const bool measure = sine->chkPCDecide->Value() == 1;
    gMSubSineShowPrompt(isTestName, cboSweepType->Text(), txtFHi->Text(), txtFLo->Text(), txtDriveV->Text(), measure,
                        obError);
    if (obError) return;
    int runs = 1;
    if (measure) {
        if (!trap(20, [&] {
                sine->lstMeasure->setVisible(true);
                sine->lstMeasure->Clear();
            }))
            return;
        runs = 6;
    }
    for (int i = 1; i <= runs; ++i) {
        if (!sine) return;
        // Read afresh at every run, as the unit run does.
        SineTestSettings s;
        if (!trap(30, [&] {
                s.sTestName = isTestName;
                s.fLo_Hz = CSng(mdVal(*txtFLo));
                s.fHi_Hz = CSng(mdVal(*txtFHi));
                s.Swp_Type = cboSweepType->Text();
                s.Delay_s = CSng(mdVal(*txtDelay));
                s.SwpDur_s = CSng(mdVal(*txtDuration));
                s.Drive_V = CSng(mdVal(*txtDriveV));
                s.Active_Flag = chkActive->Value() == 1;
                s.Op_Decide = chkOpDecide->Value() == 1;
                s.Op_DecideY = optOpDecideYes->Value();
                s.PC_Decide = sine->chkPCDecide->Value() == 1;
                s.Op_Prompt = sine->txtPrompt->Text();
                s.fLo_Lim = CInt(mdVal(*sine->txtLimLo));
                s.fHi_Lim = CInt(mdVal(*sine->txtLimHi));
            }))
            return;
        float level = 0.0f;
        gbSine(s, level, obError);
        if (obError || !sine) return;
        if (measure) {
            if (!trap(40, [&] {
                    sine->lstMeasure->AddItem(testfields::sineResultLine(i, level));
                    sine->lstMeasure->repaint();
                }))
                return;
        }
    }
}

void frmMETest::mRunDistortion(bool& obError) {
    ErrorTrap trap(kModule, "mRunDistortion", obError);
    if (!isLoaded<frmMETestExtDistortion>()) return;
    ListBox& list = *form<frmMETestExtDistortion>().lstMeasure;
    if (!trap(10, [&] {
            list.Clear();
            list.repaint();
        }))
        return;
    // The outside test set is not connected: its reading is 0.
    const float reading = 0.0f;
    for (int i = 1; i <= 6; ++i)
        if (!trap(20, [&] {
                list.AddItem(testfields::distortionResultLine(i, reading));
                list.repaint();
            }))
            return;
}

// During a try-out no station window takes input (the measurement lets
// queued events run): a second run, or closing a window the run reads, waits.
// The run's own questions and notices, opened afterwards, stay usable.
void frmMETest::mTestFormsEnable(bool ibEnable, bool& obError) {
    ErrorTrap trap(kModule, "mTestFormsEnable", obError);
    trap(10, [&] {
        if (ibEnable) {
            for (const QPointer<QWidget>& w : mTryOutLocked)
                if (w) inputlock::setLocked(w, false);
            mTryOutLocked.clear();
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (dynamic_cast<Form*>(w) == nullptr || inputlock::isLocked(w)) continue;
            inputlock::setLocked(w, true);
            mTryOutLocked.emplace_back(w);
        }
    });
}

void frmMETest::gMETestUpdateResponse(bool& obError) {
    if (mfCurve.size() <= 1 || !isLoaded<frmMETestResponse>()) return;
    ErrorTrap trap(kModule, "gMETestUpdateResponse", obError);
    trap(10, [&] {
        gResponseSubPlotSet(form<frmMETestResponse>(), CLng(mdVal(*txtFLo)), CLng(mdVal(*txtFHi)),
                            CInt(mdVal(*txtPoint)), mfCurve, kCurveColour, 0, obError);
    });
}
