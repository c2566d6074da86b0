#include "engineering/frmMESys.h"
#include "common/ErrorTrap.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"

namespace {
const char* const kModule = "frmMESys";
}

frmMESys::frmMESys() : Form(QStringLiteral("frmMESys")) {
    setClientSize(6000, 4000);
    setCaption(QStringLiteral("System"));
    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
}

void frmMESys::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    trap(10, [&] {
        if (!isLoaded<frmVexo>()) return;
        frmVexo& main = form<frmVexo>();
        main.gbTraboMESysLoaded = true;
        main.cmdSupervisor->setEnabled(false);
    });
}

void frmMESys::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    if (!isLoaded<frmVexo>()) return;
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    trap(10, [&] {
        frmVexo& main = form<frmVexo>();
        main.gbTraboMESysLoaded = false;
        bool bEnableError = false;
        main.gSupervisorCAEEnableSetFocus(bEnableError);
    });
}
