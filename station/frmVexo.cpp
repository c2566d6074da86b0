#include "station/frmVexo.h"
#include "common/modGeneral.h"
#include "common/modTimeDate.h"
#include "common/modVarSystemParams.h"
#include "platform/os/SingleInstance.h"

frmVexo::frmVexo() : Form(QStringLiteral("frmVexo")) {
    setClientSize(12000, 9000);
    lblTimeDate = new Label(this, QStringLiteral("lblTimeDate"), 9480, 8580, 2400, 300, QStringLiteral(""));
    lblTimeDate->setAlignment(static_cast<int16_t>(1));
    tmrClock = new TimerControl(this, QStringLiteral("tmrClock"));
    tmrClock->Timer = [this] { tmrClock_Timer(); };
    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
}

void frmVexo::Form_Load() {
    bool bError = false;
    mInstance = new SingleInstance(this);
    if (!mInstance->acquire()) {
        gActivatePrevInstance(bError);
        EndProgram();
        return;
    }
    connect(mInstance, &SingleInstance::activateRequested, this, [this] { BringToFront(); });
    gGStartUpSetStuff(bError);
    setCaption(gsMainCaption);
    bError = false;
    gVarSystemParamsRead(bError);
    bError = false;
    gTimeDateShow(lblTimeDate, tmrClock, bError);
}

void frmVexo::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    tmrClock->stop();
    bool bError = false;
    gGetLocaleInfoSaveUserRegion(bError);
}

void frmVexo::tmrClock_Timer() {
    bool bError = false;
    gTimeDateShow(lblTimeDate, tmrClock, bError);
}
