// Engineer-window management and the automatic microphone level. The windows
// it opens and closes are reached through the window registry; the main
// window through its view, and the test editor and response test window
// directly for their own flags and graph.
#include "common/modMVarious.h"
#include "audio/modDigitalIO.h"
#include "audio/modMixer.h"
#include "audio/modResponseSub.h"
#include "audio/modWaveResponse.h"
#include "common/ErrorTrap.h"
#include "common/RespScaleSearch.h"
#include "common/modArraySingleMaxPtr.h"
#include "common/modForm.h"
#include "common/modProcessNumberLo.h"
#include "platform/ui/MsgBox.h"
#include "station/frmVexoView.h"
#include "test_editor/frmMETest.h"
#include "test_editor/frmMETestResponse.h"

bool gbMETestConditionUnloading = false;

namespace {
const char* const kModule = "modMVarious";

// Moves the window's response picture and draws the logarithmic grid on it.
void mDrawRespGrid(ResponseWindow& frm, int16_t inLeft, int16_t inTop, bool& obError) {
    ErrorTrap trap(kModule, "mDrawRespGrid", obError);
    trap(10, [&] {
        bool bError = false;
        gResponseSubDrawGrid(frm, inLeft, inTop, 4800, 2550, 0, QStringLiteral("(Hz)"), false, bError);
        if (bError) obError = true;
    });
}

// Unloads a window when its flag is set; false when it refused to close.
bool unloadWhenOpen(WindowKind iKind, bool ibFlag) {
    if (!ibFlag) return true;
    return gWindowUnload(iKind);
}

// One sweep at the microphone volume: the cleared graph, its grid, the test's
// name and the measured curve.
void mlRespScaleSetUp(ResponseWindow& frm, const QString& isTestName, float fStart, float fEnd, int16_t nPoints,
                      float fDelay, float fVOut, bool bActive, ResponseCurve& afResp, int32_t lMicVol,
                      bool& obError) {
    ErrorTrap trap(kModule, "mlRespScaleSetUp", obError);
    if (!trap(10, [&] { frm.picResponse->Cls(); })) return;
    const Form* window = dynamic_cast<const Form*>(&frm);
    const bool bMain = window && window->Name() == QLatin1String("frmVexo");
    gVarTraboEngDrawRespGrid(bMain, obError);
    if (obError) return;
    gResponseSubShowTestName(frm, isTestName, 1, 0, obError);
    if (obError) return;
    if (!trap(20, [&] { if (afResp.size() < size_t(nPoints) + 1) afResp.resize(size_t(nPoints) + 1, 0.0f); }))
        return;
    ResponseCurve corrected(afResp.size(), 0.0f);
    gWaveResponse(frm, fStart, fEnd, nPoints, fDelay, fVOut, bActive, lMicVol, 0, false, 0xFFFFFF, 0, afResp,
                  corrected, obError);
}

// The volume the search starts from; a volume the control cannot tell from 0 is
// replaced by the middle of the scale.
int32_t mfRespScaleGetSetMicVolume(bool& obError) {
    const int32_t current = glMixerInMicGetVolume(obError);
    if (obError) return 0;
    const int32_t start = glRespScaleStartVolume(current, glMixerInMicVolumeStep);
    if (start != current) gMixerInMicSetVolume(start, obError);
    return start;
}
}

void gVarEngineerOpen(WindowKind iKind, bool& obError) {
    ErrorTrap trap(kModule, "gVarEngineerOpen", obError);
    bool bGranted = false;
    if (!trap(10, [&] { bGranted = gMainWindow().gbEngineerInit(obError); })) return;
    if (!bGranted || obError) return;
    // Made only now, so that a refused log-in leaves every open flag as it was.
    Form* window = nullptr;
    if (!trap(20, [&] { window = &gWindowForm(iKind); })) return;
    // A window that refused its own load is not shown.
    if (!window->Loaded()) return;
    gFormShowRestore(*window, obError);
}

void gVarEngineerUnloadAll(bool& obError) {
    if (!gMainWindowLoaded()) return;
    ErrorTrap trap(kModule, "gVarEngineerUnloadAll", obError);
    frmVexoView& main = gMainWindow();
    // A window whose own question was answered Cancel stays open and stops the
    // command quietly: the user chose that, it is no error to report.
    auto step = [&](long iLine, auto iUnload) {
        bool bClosed = false;
        if (!trap(iLine, [&] { bClosed = iUnload(); })) return false;
        if (!bClosed) obError = true;
        return bClosed;
    };
    if (!step(10, [&] { return unloadWhenOpen(WindowKind::SequenceEditor, main.gbTraboMESeqLoaded); })) return;
    if (!step(20, [&] { return unloadWhenOpen(WindowKind::SystemWindow, main.gbTraboMESysLoaded); })) return;
    if (!step(30, [&] { return unloadWhenOpen(WindowKind::TestEditor, main.gbTraboMETestLoaded); })) return;
    if (!step(40, [&] { return unloadWhenOpen(WindowKind::PairMatch, main.gbTraboMPairMatchLoaded); })) return;
    step(50, [&] { return unloadWhenOpen(WindowKind::Typical, main.gbTraboMTypicalLoaded); });
}

void gVarTraboEngDrawRespGrid(bool ibMainForm, bool& obError) {
    ErrorTrap trap(kModule, "gVarTraboEngDrawRespGrid", obError);
    if (ibMainForm) {
        if (!gMainWindowLoaded()) return;
        frmVexoView& main = gMainWindow();
        mDrawRespGrid(main, 4260, 700, obError);
        if (obError) return;
        trap(10, [&] {
            if (main.cmdMoreStuff->Caption().contains(QLatin1String("Less"))) {
                main.lblRefSearch->setVisible(true);
                main.lblTarget->setVisible(true);
            }
        });
    } else {
        // Drawing never opens the response test window.
        if (!isLoaded<frmMETestResponse>()) return;
        mDrawRespGrid(form<frmMETestResponse>(), 600, 200, obError);
    }
}

int32_t glVarSaveDataPrompt(const QString& isMessage, const QString& isTitle, bool& obError) {
    ErrorTrap trap(kModule, "glVarSaveDataPrompt", obError);
    int32_t answer = 0;
    trap(10, [&] { answer = gMsgBox(isMessage + QLatin1Char('?'), vbYesNoCancel + vbQuestion, isTitle); });
    return answer;
}

void gVarSetResetEnabledTrue(Form& ioWindow, bool& obError) {
    ErrorTrap trap(kModule, "gVarSetResetEnabledTrue", obError);
    if (!trap(10, [&] {
            Menu* reset = ioWindow.menu(QStringLiteral("mnuFileReset"));
            if (!reset) vbRaise(91, QStringLiteral("Object variable or With block variable not set"));
            reset->setEnabled(true);
        }))
        return;
    // The closed editor is not opened to mark it.
    trap(20, [&] {
        if (isLoaded<frmMETest>()) form<frmMETest>().mnuFileReset->setEnabled(true);
    });
}

void gVarConditionFrmMETestUnload(bool& obError) {
    if (!isLoaded<frmMETest>() || form<frmMETest>().gbTest1FormUnloading) return;
    {
        ErrorTrap trap(kModule, "gVarConditionFrmMETestUnload", obError);
        trap(10, [&] {
            gbMETestConditionUnloading = true;
            struct Clear {
                ~Clear() { gbMETestConditionUnloading = false; }
            } clear;
            if (!unload<frmMETest>()) obError = true;
        });
    }
    if (obError)
        gMsgBox(QStringLiteral("Error unloading Form frmMETest"), vbExclamation,
                QStringLiteral("modMVarious.gVarConditionFrmMETestUnload"));
}

int32_t glVarRespScale(ResponseWindow& frm, const QString& isTestName, float fStart, float fEnd, int16_t nPoints,
                       float fDelay, float fVOut, bool bActive, ResponseCurve& afResp, bool& obError) {
    const int32_t start = mfRespScaleGetSetMicVolume(obError);
    if (obError) return start;
    gDigSetTestInProgress(obError);
    if (obError) {
        // A half-done set may have reached the board.
        bool bClearError = false;
        gDigSetNotTestInProgress(bClearError);
        return start;
    }
    ErrorTrap trap(kModule, "glVarRespScale", obError);
    auto sweep = [&](int32_t ilVolume, float& ofPeak) {
        mlRespScaleSetUp(frm, isTestName, fStart, fEnd, nPoints, fDelay, fVOut, bActive, afResp, ilVolume, obError);
        if (obError) return false;
        const int32_t at = glArraySingleMaxPtr(afResp, 1, 1, nPoints, obError);
        if (obError) return false;
        ofPeak = afResp.at(size_t(at));
        return true;
    };
    auto line = [](float x1, float y1, float x2, float y2, float v, bool& oError) {
        return gfPnStraightLine(x1, y1, x2, y2, v, true, oError);
    };
    RespScaleOutcome outcome;
    trap(10, [&] { outcome = respScaleSearch(start, sweep, line); });
    // The output is cleared on every way out, errors included.
    bool bClearError = false;
    gDigSetNotTestInProgress(bClearError);
    if (outcome.end == RespScaleEnd::Error) {
        obError = true;
        return outcome.volume;
    }
    if (bClearError) obError = true;
    // A search that gave up out of range warns as one stopped at the top does.
    gResponseSubShowRange(frm, outcome.gaveUp() ? kRespScaleVolumeMax : outcome.volume, obError);
    return outcome.volume;
}
