#pragma once
#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/TextBox.h"
#include "test_editor/METestTypeForm.h"
#include "test_editor/frmMETest.h"

// The outside distortion test's window: the test set's measurement mode (kept
// by the window only), the high limit in percent, and the try-out's lines.
class frmMETestExtDistortion : public METestTypeForm {
public:
    frmMETestExtDistortion();
    // The limit box's range check before the editor saves or starts a new test.
    void gMETestExtDistortionTxtLimHiValidate(bool& obCancel, bool& obError);

    ComboBox* cboExtDist = nullptr;
    Label* lblLimHi = nullptr;
    TextBox* txtLimHi = nullptr;
    ListBox* lstMeasure = nullptr;

protected:
    bool& loadedFlag(frmMETest& ioEditor) override { return ioEditor.gbMETestExtDistortionLoaded; }
    bool mbExitClosesEditor() const override { return true; }
    bool mbPrintFollowsPrinter() const override { return true; }
    void mCheckBeforeWrite(bool& ioCancel, bool& obError) override { gMETestExtDistortionTxtLimHiValidate(ioCancel, obError); }

private:
    void txtLimHi_Validate(bool& Cancel);
};
