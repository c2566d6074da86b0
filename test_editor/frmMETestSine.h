#pragma once
#include "platform/ui/CheckBox.h"
#include "test_editor/METestTypeForm.h"
#include "test_editor/frmMETest.h"

// The sine test's settings window: the measure box the editor's layout reads;
// its other fields come with the sine window.
class frmMETestSine : public METestTypeForm {
public:
    frmMETestSine() : METestTypeForm(QStringLiteral("frmMETestSine"), QStringLiteral("Sine")) {
        chkPCDecide = new CheckBox(this, QStringLiteral("chkPCDecide"), 120, 120, 1500, 255, QStringLiteral("&Measure"));
        chkPCDecide->setDataSource(&dtaTest);
        chkPCDecide->setDataField(QStringLiteral("PC_Decide"));
    }
    CheckBox* chkPCDecide = nullptr;
    // Enables the operator's prompt controls; they come with the window's fields.
    void gMETestSinePromptEnable(bool ibEnable, bool& obError) { Q_UNUSED(ibEnable); Q_UNUSED(obError); }

protected:
    bool& loadedFlag(frmMETest& ioEditor) override { return ioEditor.gbMETestSineLoaded; }
};
