#include "test_editor/frmMETest.h"
#include "common/ErrorTrap.h"
#include "common/modMVarious.h"
#include "common/modVarLookup.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include "test_editor/frmMETestExtDistortion.h"
#include "test_editor/frmMETestPolarity.h"
#include "test_editor/frmMETestResponse.h"
#include "test_editor/frmMETestSine.h"

namespace {
const char* const kModule = "frmMETest";
}

frmMETest::frmMETest() : Form(QStringLiteral("frmMETest")) {
    setClientSize(6000, 4000);
    setCaption(QStringLiteral("Test"));
    mnuFile = new Menu(this, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    mnuFileReset = new Menu(this, QStringLiteral("mnuFileReset"), QStringLiteral("&Reset"), mnuFile);
    mnuFileReset->setEnabled(false);
    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
}

void frmMETest::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    trap(10, [&] {
        if (!isLoaded<frmVexo>()) return;
        frmVexo& main = form<frmVexo>();
        main.gbTraboMETestLoaded = true;
        main.cmdSupervisor->setEnabled(false);
    });
}

void frmMETest::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    gbTest1FormUnloading = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{gbTest1FormUnloading};
    bool bError = false;
    // Closed by one of its own test-type windows: that window is on its way out already.
    if (!gbMETestConditionUnloading) mTestTypeFormsUnload(bError);
    if (!isLoaded<frmVexo>()) return;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    trap(20, [&] {
        frmVexo& main = form<frmVexo>();
        main.gbTraboMETestLoaded = false;
        bool bEnableError = false;
        main.gSupervisorCAEEnableSetFocus(bEnableError);
    });
}

void frmMETest::mTestTypeFormsUnload(bool& obError) {
    ErrorTrap trap(kModule, "mTestTypeFormsUnload", obError);
    trap(10, [&] {
        if (isLoaded<frmMETestResponse>()) unload<frmMETestResponse>();
        if (isLoaded<frmMETestPolarity>()) unload<frmMETestPolarity>();
        if (isLoaded<frmMETestSine>()) unload<frmMETestSine>();
        if (isLoaded<frmMETestExtDistortion>()) unload<frmMETestExtDistortion>();
    });
}

void frmMETest::gMETestDelete(const QString& isTestName, bool& obError) {
    mTestTypeFormsUnload(obError);
    if (obError) return;
    gVarTestDelete(isTestName, obError);
}
