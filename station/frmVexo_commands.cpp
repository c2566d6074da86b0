// The window's commands, menus and flash timer, the engineer log-in and the
// re-enabling after an engineer window closes.
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/WindowRegistry.h"
#include "common/frmAbout.h"
#include "common/frmPassword.h"
#include "common/modForm.h"
#include "common/modFormPrint.h"
#include "common/modGeneral.h"
#include "common/modMVarious.h"
#include "common/modVarSystemParams.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"
#include "platform/ui/Printer.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"
#include "station/modProductionReport.h"
#include <algorithm>
#include <cmath>

namespace {
const char* const kModule = "frmVexo";
constexpr int16_t vbKeyT = 84;
constexpr int32_t kBlack = 0;
constexpr int32_t kGreen = 65280;
constexpr int32_t kRed = 255;
constexpr int32_t kYellow = 65535;
// Where the window's image goes on the page, as other windows print theirs.
constexpr double kPrintTop = 900;
constexpr double kTwipsPerPixel = 15;
}

bool frmVexo::gbEngineerInit(bool& obError) {
    // An open engineer window means the engineer is logged in already.
    if (gbTraboMESeqLoaded || gbTraboMETestLoaded || gbTraboMESysLoaded) return true;
    const bool bGranted = frmPassword::gbPassword(gsPasswordEng, QStringLiteral("Engineer"), obError);
    if (!bGranted || obError) return false;
    // Each log-in that asked switches between production and engineer mode.
    gMprPauseToggle(obError);
    if (obError) return false;
    ErrorTrap trap(kModule, "gbEngineerInit", obError);
    if (!trap(10, [&] { mnuWindowCloseAllEngineer->setEnabled(true); })) return false;
    return true;
}

void frmVexo::gSupervisorCAEEnableSetFocus(bool& obError) {
    ErrorTrap trap(kModule, "gSupervisorCAEEnableSetFocus", obError);
    trap(10, [&] {
        cmdSupervisor->setEnabled(true);
        mnuWindowCloseAllEngineer->setEnabled(true);
        if (isVisible()) activateWindow();
    });
}

void frmVexo::cmdEngineer_Click() {
    bool bError = false;
    const bool bGranted = gbEngineerInit(bError);
    if (!bGranted || bError) return;
    Form* seq = nullptr;
    ErrorTrap trap(kModule, "cmdEngineer_Click", bError);
    if (!trap(20, [&] { seq = &gWindowForm(WindowKind::SequenceEditor); })) return;
    gFormShowRestore(*seq, bError);
    if (bError) return;
    if (!trap(30, [&] { gWindowSelect(WindowKind::SequenceEditor, dcboSeq->Text()); })) return;
    trap(40, [&] {
        if (seq->isVisible() && seq->isEnabled()) {
            seq->activateWindow();
            seq->raise();
        }
    });
}

// The supervisor's tools behind the supervisor password; production mode stays as it is.
void frmVexo::cmdSupervisor_Click() {
    bool bError = false;
    const bool bGranted = frmPassword::gbPassword(gsPasswordSuper, QStringLiteral("Supervisor"), bError);
    if (!bGranted || bError) return;
    ErrorTrap trap(kModule, "cmdSupervisor_Click", bError);
    trap(10, [&] { gWindowForm(WindowKind::Supervisor).Show(vbModal); });
}

void frmVexo::mnuWindowSequence_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::SequenceEditor, bError);
}

void frmVexo::mnuWindowTest_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::TestEditor, bError);
}

void frmVexo::mnuWindowSystem_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::SystemWindow, bError);
}

void frmVexo::mnuWindowCloseAllEngineer_Click() {
    bool bError = false;
    gVarEngineerUnloadAll(bError);
}

void frmVexo::picResponse_DblClick() { mnuWindowTest_Click(); }

void frmVexo::picPolarity_DblClick() { mnuWindowTest_Click(); }

void frmVexo::cmdReport_Click() {
    bool bError = false;
    QString sSeqName;
    ErrorTrap trap(kModule, "cmdReport_Click", bError);
    if (!trap(10, [&] { sSeqName = SequenceRecord(dtaSeq.Recordset()).Seq_Name(); })) return;
    gMprReport(sSeqName, bError);
}

// The T key, with or without Shift, Ctrl or Alt, is the Test button. Only while
// the button is enabled: after a failed sound check there is no device to test on.
void frmVexo::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    bool bError = false;
    mbKeyTestTaken = false;
    ErrorTrap trap(kModule, "Form_KeyDown", bError);
    trap(10, [&] {
        if (KeyCode != vbKeyT || !cmdTest->Enabled()) return;
        // The key is the command's: its letter typed into the operator box would
        // change the name every later label and count carries.
        KeyCode = 0;
        mbKeyTestTaken = true;
        cmdTest_Click();
    });
}

void frmVexo::Form_KeyPress(int16_t& KeyAscii) {
    if (!mbKeyTestTaken) return;
    mbKeyTestTaken = false;
    // t, T, or Ctrl+T's control character.
    if (KeyAscii == 't' || KeyAscii == 'T' || KeyAscii == 20) KeyAscii = 0;
}

void frmVexo::mnuFileTestUnit_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileTestUnit_Click", bError);
    trap(10, [&] {
        if (cmdTest->Enabled()) cmdTest_Click();
    });
}

void frmVexo::mnuFileSelectSequence_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileSelectSequence_Click", bError);
    trap(10, [&] {
        if (dcboSeq->Visible() && dcboSeq->Enabled()) dcboSeq->SetFocusIfAble();
    });
}

void frmVexo::mnuFileOperator_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileOperator_Click", bError);
    trap(10, [&] {
        if (dcboOperator->Visible() && dcboOperator->Enabled()) dcboOperator->SetFocusIfAble();
    });
}

// The window's image as it stands, then the byline; nothing is printed when the
// picture cannot be made.
void frmVexo::mnuFilePrint_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFilePrint_Click", bError);
    int16_t nLowest = 0;
    if (!trap(10, [&] {
            const QImage image = grab().toImage();
            const QSizeF size = image.deviceIndependentSize() * kTwipsPerPixel;
            // A window wider than the page is scaled down to the page's width.
            const double scale = std::min(1.0, Printer.ScaleWidth() / size.width());
            Printer.PaintPicture(image, 0, kPrintTop, size.width() * scale, size.height() * scale);
            nLowest = static_cast<int16_t>(std::ceil(kPrintTop + size.height() * scale));
        })) {
        Printer.KillDoc();
        return;
    }
    gFormPrintBylineEndDoc(nLowest, bError);
}

void frmVexo::mnuFileExit_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileExit_Click", bError);
    trap(10, [&] { unload<frmVexo>(); });
}

void frmVexo::mnuHelpHelp_Click() {
    bool bError = false;
    gGShowHelp(static_cast<int32_t>(winId()), bError);
}

void frmVexo::mnuHelpAboutVexo_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuHelpAboutVexo_Click", bError);
    trap(10, [&] { form<frmAbout>().Show(vbModal); });
}

// Every half second while a warning or a result is shown: the FAIL label and a
// warning on the card label blink, and with several response tests the last
// one's name blinks between its result colour and black.
void frmVexo::tmrFlash_Timer() {
    bool bError = false;
    ErrorTrap trap(kModule, "tmrFlash_Timer", bError);
    if (!trap(10, [&] {
            if (lblPassFail->Caption() == QLatin1String("FAIL")) lblPassFail->setVisible(!lblPassFail->Visible());
        }))
        return;
    if (!trap(20, [&] {
            const int32_t c = lblCard->ForeColor();
            if (c == kYellow || c == kRed) lblCard->setVisible(!lblCard->Visible());
        }))
        return;
    bool bShowName = false;
    if (!trap(30, [&] {
            bShowName = picResponse->Visible() && mnRespTestCount > 1;
            if (!bShowName) return;
            if (mlFlashColour == kBlack) {
                const bool bPass = mnLastRespSlot >= 0 && mnLastRespSlot < static_cast<int16_t>(mabRespTestPass.size()) &&
                                   mabRespTestPass[mnLastRespSlot];
                mlFlashColour = bPass ? kGreen : kRed;
            } else {
                mlFlashColour = kBlack;
            }
        }))
        return;
    if (!bShowName) return;
    const QString sName = gsMSubTestName(mnLastRespSlot, bError);
    if (bError) return;
    gResponseSubShowTestName(*this, sName, mnRespTestCount, mlFlashColour, bError);
}
