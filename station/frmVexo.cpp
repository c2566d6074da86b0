#include "station/frmVexo.h"
#include "common/ErrorTrap.h"
#include "common/modDatabaseSchema.h"
#include "common/modGeneral.h"
#include "common/modTimeDate.h"
#include "common/modVarSystemParams.h"
#include "platform/os/AppInfo.h"
#include "platform/os/SingleInstance.h"

frmVexo::frmVexo() : Form(QStringLiteral("frmVexo")) {
    setClientSize(12000, 9000);
    lblTimeDate = new Label(this, QStringLiteral("lblTimeDate"), 9480, 8580, 2400, 300, QStringLiteral(""));
    lblTimeDate->setAlignment(static_cast<int16_t>(1));
    lblSerial = new Label(this, QStringLiteral("lblSerial"), 240, 8580, 4800, 300, QStringLiteral(""));
    dcboSeq = new DataCombo(this, QStringLiteral("dcboSeq"), 240, 240, 3000, 315);
    dcboSeq->setRowSource(&dtaSeq);
    dcboSeq->setListField(QStringLiteral("Seq_Name"));
    dcboOperator = new DataCombo(this, QStringLiteral("dcboOperator"), 3480, 240, 3000, 315);
    dcboOperator->setRowSource(&dtaOperator);
    dcboOperator->setListField(QStringLiteral("Operator"));
    lblSeq = new Label(this, QStringLiteral("lblSeq"), 0, 0, 1500, 255);
    lblSeq->setDataSource(&dtaSeq);
    lblSeq->setDataField(QStringLiteral("Seq_Name"));
    lblSeq->setVisible(false);
    lblTest = new Label(this, QStringLiteral("lblTest"), 0, 0, 1500, 255);
    lblTest->setDataSource(&dtaTest);
    lblTest->setDataField(QStringLiteral("Test_Name"));
    lblTest->setVisible(false);
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
    mFormLoadSetPath(bError);
    if (!bError) mFormLoadDtaRefreshSet(bError);
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

void frmVexo::mFormLoadSetPath(bool& obError) {
    ErrorTrap trap("frmVexo", "mFormLoadSetPath", obError);
    trap(10, [&] {
        gDatabaseSchemaRegister();
        const QString folder = appinfo::programFolder();
        dtaSeq.setDatabaseName(folder + QStringLiteral("\\Vexo_Seq.mdb"));
        dtaSeqCal.setDatabaseName(folder + QStringLiteral("\\Vexo_Seq.mdb"));
        dtaTest.setDatabaseName(folder + QStringLiteral("\\Vexo_Tst.mdb"));
        dtaProdRep.setDatabaseName(folder + QStringLiteral("\\Vexo_Prod.mdb"));
        dtaOperator.setDatabaseName(folder + QStringLiteral("\\Vexo_Op.mdb"));
        dtaCurve.setDatabaseName(folder + QStringLiteral("\\Vexo_Crv.mdb"));
    });
}

void frmVexo::mFormLoadDtaRefreshSet(bool& obError) {
    ErrorTrap trap("frmVexo", "mFormLoadDtaRefreshSet", obError);
    if (!trap(10, [&] { dtaSeq.setRecordSource(QStringLiteral("vexo_seq")); dtaSeq.Refresh(); })) return;
    if (!trap(20, [&] { dtaSeqCal.setRecordSource(QStringLiteral("vexo_seq_cal01")); dtaSeqCal.Refresh(); })) return;
    if (!trap(30, [&] { dtaTest.setRecordSource(QStringLiteral("vexo_tst")); dtaTest.Refresh(); })) return;
    if (!trap(40, [&] { dtaProdRep.setRecordSource(QStringLiteral("vexo_prod")); dtaProdRep.Refresh(); })) return;
    if (!trap(50, [&] { dtaOperator.setRecordSource(QStringLiteral("vexo_op")); dtaOperator.Refresh(); })) return;
    if (!trap(60, [&] { dtaCurve.setRecordSource(QStringLiteral("vexo_crv")); dtaCurve.Refresh(); })) return;
    trap(70, [&] { dcboSeq->ReFill(); dcboOperator->ReFill(); });
}
