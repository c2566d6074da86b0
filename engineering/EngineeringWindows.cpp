#include "engineering/EngineeringWindows.h"
#include "common/WindowRegistry.h"
#include "engineering/frmMESeq.h"
#include "engineering/frmMESys.h"

void gEngineeringWindowsRegister() {
    gWindowRegister<frmMESeq>(
        WindowKind::SequenceEditor, [](const QString& isSeqName) { form<frmMESeq>().dcboSeq->setText(isSeqName); },
        [] { return form<frmMESeq>().dcboSeq->Text(); });
    gWindowRegister<frmMESys>(WindowKind::SystemWindow);
}
