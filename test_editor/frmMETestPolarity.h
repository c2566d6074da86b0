#pragma once
#include "platform/ui/CheckBox.h"
#include "platform/ui/PictureBox.h"
#include "test_editor/METestTypeForm.h"
#include "test_editor/frmMETest.h"

// The polarity test's window: the pulse for a woofer or a whole system, which
// polarity passes, and the picture the try-out draws the trace on.
class frmMETestPolarity : public METestTypeForm {
public:
    frmMETestPolarity();
    PictureBox* picPolarity = nullptr;
    CheckBox* chkUnitLF = nullptr;
    CheckBox* chkPassNeg = nullptr;

protected:
    bool& loadedFlag(frmMETest& ioEditor) override { return ioEditor.gbMETestPolarityLoaded; }

private:
    void chkUnitLF_Click();
    void chkPassNeg_Click();
};
