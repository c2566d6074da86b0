#include "supervisor/frmMTypical.h"
#include "common/ErrorTrap.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"

namespace {
const char* const kModule = "frmMTypical";
}

frmMTypical::frmMTypical() : Form(QStringLiteral("frmMTypical")) {
    setClientSize(6000, 4000);
    setCaption(QStringLiteral("Typical"));
    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
}

void frmMTypical::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    trap(10, [&] {
        if (isLoaded<frmVexo>()) form<frmVexo>().gbTraboMTypicalLoaded = true;
    });
}

void frmMTypical::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    // At shutdown the main window may be gone already; it is not made again for this.
    if (!isLoaded<frmVexo>()) return;
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    trap(10, [&] { form<frmVexo>().gbTraboMTypicalLoaded = false; });
}
