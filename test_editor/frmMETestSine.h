#pragma once
#include "platform/ui/CheckBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UpDown.h"
#include "test_editor/METestTypeForm.h"
#include "test_editor/frmMETest.h"

// The sine test's window: whether the station measures the level, the level
// limits it judges by, the prompt the operator is asked otherwise, and the
// levels a measured try-out finds.
class frmMETestSine : public METestTypeForm {
public:
    frmMETestSine();

    // Enables the operator's prompt.
    void gMETestSinePromptEnable(bool ibEnable, bool& obError);
    // The limit boxes' range checks before the editor saves or moves: only
    // while Measure is on (otherwise the limits are unused), high then low,
    // stopping at the first refusal with its message and the focus in the box.
    void gMETestSineLimitsValidate(bool& ioCancel, bool& obError);

    CheckBox* chkPCDecide = nullptr;
    Label* lblLimHi = nullptr;
    TextBox* txtLimHi = nullptr;
    UpDown* updLimHi = nullptr;
    Label* lblLimLo = nullptr;
    TextBox* txtLimLo = nullptr;
    UpDown* updLimLo = nullptr;
    Label* lblPrompt = nullptr;
    TextBox* txtPrompt = nullptr;
    ListBox* lstMeasure = nullptr;

protected:
    bool& loadedFlag(frmMETest& ioEditor) override { return ioEditor.gbMETestSineLoaded; }
    void mRepositioned() override;
    // A measured sine test is not written with limits it cannot judge by,
    // also when this window closes on its own.
    void mCheckBeforeWrite(bool& ioCancel, bool& obError) override { gMETestSineLimitsValidate(ioCancel, obError); }

private:
    void mMeasureLimitsPromptEnable(bool ibMeasure, bool& obError);
    void chkPCDecide_Click();
    void txtLimHi_Change();
    void txtLimLo_Change();
    void txtPrompt_Change();
    void txtLimHi_KeyDown(int16_t& KeyCode, int16_t Shift);
    void txtLimLo_KeyDown(int16_t& KeyCode, int16_t Shift);
    void txtLimHi_KeyPress(int16_t& KeyAscii);
    void txtLimLo_KeyPress(int16_t& KeyAscii);
    void txtLimHi_Validate(bool& Cancel);
    void txtLimLo_Validate(bool& Cancel);
    void mMarkEdit();
};
