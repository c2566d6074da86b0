#include "station/frmVexo.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "common/modTimeDate.h"
#include "common/modVarSystemParams.h"
#include "platform/os/SingleInstance.h"
#include <QCloseEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

frmVexo::frmVexo() {
    setObjectName(QStringLiteral("frmVexo"));
    lblTimeDate = new QLabel(this);
    lblTimeDate->setObjectName(QStringLiteral("lblTimeDate"));
    tmrClock = new QTimer(this);
    tmrClock->setObjectName(QStringLiteral("tmrClock"));
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(lblTimeDate, 0, Qt::AlignRight);
    resize(800, 600);
    connect(tmrClock, &QTimer::timeout, this, [this] { tmrClock_Timer(); });
}

frmVexo::~frmVexo() { Form_Unload(); }

bool frmVexo::Form_Load() {
    bool bError = false;
    mInstance = new SingleInstance(this);
    if (!mInstance->acquire()) {
        gActivatePrevInstance(bError);
        return false;
    }
    connect(mInstance, &SingleInstance::activateRequested, this, [this] { gBringToFront(); });
    gGStartUpSetStuff(bError);
    setWindowTitle(gsMainCaption);
    bError = false;
    gVarSystemParamsRead(bError);
    bError = false;
    gTimeDateShow(lblTimeDate, tmrClock, bError);
    mLoaded = true;
    return true;
}

void frmVexo::Form_Unload() {
    if (!mLoaded) return;
    mLoaded = false;
    tmrClock->stop();
    bool bError = false;
    gGetLocaleInfoSaveUserRegion(bError);
}

void frmVexo::gBringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void frmVexo::tmrClock_Timer() {
    bool bError = false;
    gTimeDateShow(lblTimeDate, tmrClock, bError);
}
