#include "test_editor/frmMETestPolarity.h"
#include "common/modMVarious.h"
#include "platform/ui/FormRegistry.h"

frmMETestPolarity::frmMETestPolarity() : METestTypeForm(QStringLiteral("frmMETestPolarity"), QStringLiteral("Polarity")) {
    picPolarity = new PictureBox(this, QStringLiteral("picPolarity"), 300, 100, 3325, 2550);
    picPolarity->setGraphPaper();
    chkUnitLF = new CheckBox(this, QStringLiteral("chkUnitLF"), 3800, 300, 2000, 255, QStringLiteral("Test &Unit LF"));
    chkUnitLF->setToolTipText(QStringLiteral("Select if test unit Woofer or System"));
    chkUnitLF->setDataSource(&dtaTest);
    chkUnitLF->setDataField(QStringLiteral("Pulse_LF"));
    chkPassNeg = new CheckBox(this, QStringLiteral("chkPassNeg"), 3800, 700, 2000, 255, QStringLiteral("Pass on Negati&ve"));
    chkPassNeg->setDataSource(&dtaTest);
    chkPassNeg->setDataField(QStringLiteral("P_Neg_Flag"));
    // This window names the test in its File commands.
    mnuFileDelete->setCaption(QStringLiteral("&Delete Test"));
    mnuFileSave->setCaption(QStringLiteral("&Save Test"));
    mnuFileSaveAs->setCaption(QStringLiteral("Save Test &As"));
    // Both run on every change of their box, also when a record is shown.
    chkUnitLF->Click = [this] { chkUnitLF_Click(); };
    chkPassNeg->Click = [this] { chkPassNeg_Click(); };
}


void frmMETestPolarity::chkUnitLF_Click() {
    bool bError = false;
    gVarSetResetEnabledTrue(*this, bError);
    // A trace measured with the other pulse no longer applies.
    if (!bError && isLoaded<frmMETest>()) form<frmMETest>().gMETestPolarityInitClsEtc(true, bError);
}

void frmMETestPolarity::chkPassNeg_Click() {
    bool bError = false;
    gVarSetResetEnabledTrue(*this, bError);
}
