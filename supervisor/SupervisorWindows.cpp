#include "supervisor/SupervisorWindows.h"
#include "common/WindowRegistry.h"
#include "supervisor/frmMPairMatch.h"
#include "supervisor/frmMSupervisor.h"
#include "supervisor/frmMTypical.h"

void gSupervisorWindowsRegister() {
    gWindowRegister<frmMSupervisor>(WindowKind::Supervisor);
    gWindowRegister<frmMPairMatch>(WindowKind::PairMatch);
    gWindowRegister<frmMTypical>(WindowKind::Typical);
}
