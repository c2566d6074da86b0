#include "station/modProductionReport.h"
#include "common/ErrorTrap.h"
#include "platform/os/Clock.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include <QtGlobal>

namespace {
const char* const kModule = "modProductionReport";

double mdPauseStart = 0.0;   // days; 0 while no pause is open
double mdPauseTotal = 0.0;   // days paused in the current period
}

void gMprProdRep(bool& obError) {
    // Filled with the production report.
    Q_UNUSED(obError);
}

void gMprInc(bool ibFailed, bool& obError) {
    // Filled with the production report.
    Q_UNUSED(ibFailed);
    Q_UNUSED(obError);
}

void gMprFileWrite(bool& obError) {
    // Filled with the production report.
    Q_UNUSED(obError);
}

void gMprPauseToggle(bool& obError) {
    ErrorTrap trap(kModule, "gMprPauseToggle", obError);
    trap(10, [&] {
        frmVexo& main = form<frmVexo>();
        if (main.dcboOperator->Visible()) {
            main.dcboOperator->setVisible(false);
            mdPauseStart = vclock::nowDays();
        } else {
            main.dcboOperator->setVisible(true);
            // Without an open pause (a period cleared meanwhile) there is nothing to
            // book: adding now - 0 would book the whole calendar.
            if (mdPauseStart != 0.0) mdPauseTotal += vclock::nowDays() - mdPauseStart;
            mdPauseStart = 0.0;
        }
    });
}
