#include "engineering/frmMESeq.h"
#include "common/ErrorTrap.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"

namespace {
const char* const kModule = "frmMESeq";
}

frmMESeq::frmMESeq() : Form(QStringLiteral("frmMESeq")) {
    setClientSize(6000, 4000);
    setCaption(QStringLiteral("Sequence"));
    dcboSeq = new DataCombo(this, QStringLiteral("dcboSeq"), 240, 240, 3325, 315);
    dcboSeq->setRowSource(&dtaSeq);
    dcboSeq->setListField(QStringLiteral("Seq_Name"));
    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
}

void frmMESeq::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    if (!trap(10, [&] {
            if (!isLoaded<frmVexo>()) return;
            frmVexo& main = form<frmVexo>();
            main.gbTraboMESeqLoaded = true;
            main.cmdSupervisor->setEnabled(false);
        }))
        return;
    trap(20, [&] {
        dtaSeq.setDatabaseName(appinfo::programFolder() + QStringLiteral("\\Vexo_Seq.mdb"));
        dtaSeq.setRecordSource(QStringLiteral("vexo_seq"));
        dtaSeq.Refresh();
        dcboSeq->ReFill();
    });
}

void frmMESeq::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    if (!isLoaded<frmVexo>()) return;
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    trap(10, [&] {
        frmVexo& main = form<frmVexo>();
        main.gbTraboMESeqLoaded = false;
        bool bEnableError = false;
        main.gSupervisorCAEEnableSetFocus(bEnableError);
    });
}
