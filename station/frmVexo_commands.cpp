// The window's commands, the engineer log-in and the re-enabling after an
// engineer window closes.
#include "common/ErrorTrap.h"
#include "common/frmPassword.h"
#include "common/modForm.h"
#include "common/modMVarious.h"
#include "common/modVarSystemParams.h"
#include "engineering/frmMESeq.h"
#include "engineering/frmMESys.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include "station/modProductionReport.h"
#include "supervisor/frmMSupervisor.h"
#include "test_editor/frmMETest.h"

namespace {
const char* const kModule = "frmVexo";
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
    frmMESeq& seq = form<frmMESeq>();
    gFormShowRestore(seq, bError);
    if (bError) return;
    ErrorTrap trap(kModule, "cmdEngineer_Click", bError);
    if (!trap(30, [&] { seq.dcboSeq->setText(dcboSeq->Text()); })) return;
    trap(40, [&] {
        if (seq.isVisible() && seq.isEnabled()) {
            seq.activateWindow();
            seq.raise();
        }
    });
}

// The supervisor's tools behind the supervisor password; production mode stays as it is.
void frmVexo::cmdSupervisor_Click() {
    bool bError = false;
    const bool bGranted = frmPassword::gbPassword(gsPasswordSuper, QStringLiteral("Supervisor"), bError);
    if (!bGranted || bError) return;
    ErrorTrap trap(kModule, "cmdSupervisor_Click", bError);
    trap(10, [&] { form<frmMSupervisor>().Show(vbModal); });
}

void frmVexo::mnuWindowSequence_Click() {
    bool bError = false;
    gVarEngineerOpen<frmMESeq>(bError);
}

void frmVexo::mnuWindowTest_Click() {
    bool bError = false;
    gVarEngineerOpen<frmMETest>(bError);
}

void frmVexo::mnuWindowSystem_Click() {
    bool bError = false;
    gVarEngineerOpen<frmMESys>(bError);
}

void frmVexo::mnuWindowCloseAllEngineer_Click() {
    bool bError = false;
    gVarEngineerUnloadAll(bError);
}

void frmVexo::picResponse_DblClick() { mnuWindowTest_Click(); }

void frmVexo::picPolarity_DblClick() { mnuWindowTest_Click(); }
