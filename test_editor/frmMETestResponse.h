#pragma once
#include "audio/modResponseSub.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ControlArray.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/UpDown.h"
#include "test_editor/LayerRules.h"
#include "test_editor/METestTypeForm.h"
#include "test_editor/TestFieldRules.h"
#include "test_editor/frmMETest.h"

// The response test's window: its six limit layers, kept valid on the test's
// sweep points, drawn on picResponse with the edited layer flashing; the
// try-out sweeps are drawn on the same picture.
class frmMETestResponse : public METestTypeForm, public ResponseWindow {
public:
    frmMETestResponse();
    DrawSurface& windowSurface() override;

    // ---- public operations, for the test editor (frmMETestResponse_layers.cpp)
    void gMETestResponseUpdateLayersHeight(bool& obError);
    void gMETestResponseCheckHoleVisible(int16_t inIndex, int32_t& olLyrFMLo, int32_t& olLyrFMHi, bool& obError);
    bool gbMETestResponseHolePermitted(int16_t inIndex, bool& obError);
    void gMETestUpdateLayersResponse(bool& obError);
    void gMETestResponseCheckRangeUpdate(bool& obError);
    void gMETestResponseShowAllValidLayers(bool& obError);
    // The block and limit of every layer that is on, checked as leaving their
    // boxes would, before the test is written while the program judges; stops
    // at the first refusal (its message shown, the focus in that box).
    void gMETestResponseLayersValidate(bool& ioCancel, bool& obError);

    // The six layers' bands as the layer boxes show them.
    QList<testfields::LayerBand> layerBands();

    // ---- controls (index 0..5 = layer 1..6)
    ControlArray<CheckBox> chkLyrOn;
    ControlArray<ComboBox> cboLyrFLo;
    ControlArray<ComboBox> cboLyrFMLo;
    ControlArray<ComboBox> cboLyrFMHi;
    ControlArray<ComboBox> cboLyrFHi;
    ControlArray<TextBox> txtLyrBlock;
    ControlArray<UpDown> updLyrBlock;
    ControlArray<TextBox> txtLyrLim;
    ControlArray<Label> lblLyrHeading;
    TimerControl* tmrFlashLayer = nullptr;

protected:
    bool& loadedFlag(frmMETest& ioEditor) override { return ioEditor.gbMETestResponseLoaded; }
    void mRepositioned() override;
    void mAfterSave() override;
    void mCheckBeforeWrite(bool& ioCancel, bool& obError) override { gMETestResponseLayersValidate(ioCancel, obError); }

private:
    // frmMETestResponse.cpp: layout and handlers
    void mLayout();
    void cboLyr_KeyPress(int16_t& KeyAscii);
    void cboLyr_KeyDown(ComboBox& ioCbo, int16_t& KeyCode);
    void cboLyrFLo_Click(int16_t Index);
    void cboLyrFHi_Click(int16_t Index);
    void cboLyrFMLo_Click(int16_t Index);
    void cboLyrFMHi_Click(int16_t Index);
    void cboLyrFLo_GotFocus(int16_t Index);
    void cboLyrFHi_GotFocus(int16_t Index);
    void cboLyrFMLo_GotFocus(int16_t Index);
    void cboLyrFMHi_GotFocus(int16_t Index);
    void cboLyrFMHi_LostFocus(int16_t Index);
    void txtLyrBlock_KeyDown(int16_t Index, int16_t& KeyCode, int16_t Shift);
    void txtLyrBlock_Validate(int16_t Index, bool& Cancel);
    void txtLyrBlock_Change(int16_t Index);
    void txtLyrLim_KeyDown(int16_t Index, int16_t& KeyCode, int16_t Shift);
    void txtLyrLim_Validate(int16_t Index, bool& Cancel);
    void txtLyrLim_Change(int16_t Index);
    void chkLyrOn_Click(int16_t Index);
    void tmrFlashLayer_Timer();

    // frmMETestResponse_layers.cpp: the rules applied through the controls
    int16_t mnLyrBlockMax(int16_t inIndex, bool& obError);
    void mShowLayerCtrls(int16_t inIndex, bool& obError);
    void mShowCboHole(int16_t inIndex, bool ibShow, bool& obError);
    void mHideRefusedHole(int16_t inIndex, bool ibPermitted, bool& obError);
    void mHideCheckBoxIfOneActiveLyr(bool& obError);
    void mNudgeHoleUp(int16_t inIndex, bool& obError);
    void mNudgeFMHiUp(int16_t inIndex, bool& obError);
    void mNudgeHoleDown(int16_t inIndex, bool& obError);
    void mNudgeFMLoDown(int16_t inIndex, bool& obError);
    void mLyrFLoCheckNudge(int16_t inIndex, bool& obError);
    void mLyrFMHiCheckNudge(int16_t inIndex, bool& obError);
    void mLyrFListInit(bool ibWithZero, int16_t inHighest, int16_t inLowest, ComboBox& ioCbo, bool& obError);
    void mLyrFListInitAdd(const QString& isFreq, int16_t inPos, ComboBox& ioCbo);
    void mLyrFMLoListRead(int16_t inIndex, bool& obError);
    void mLyrFMHiListRead(int16_t inIndex, bool& obError);
    void mLyrFHoleListRead(int16_t inIndex, bool ibStart, bool& obError);
    void mLyrFLoListRead(int16_t inIndex, bool& obError);
    void mLyrFHiListRead(int16_t inIndex, bool& obError);
    QString msCRUpdateNearestFreq(int32_t ilFreq, bool ibZeroAllowed, bool& obError);
    void mFlashOn(int16_t inIndex);
    void mFlashOff();
    void mShowCheckRangeErrorCheck(int32_t ilFLo, int32_t ilFMLo, int32_t ilFMHi, int32_t ilFHi, float ifLim,
                                   int16_t inLayer, bool& obError);
    void mUpdateLyrRefreshSetReset(bool& obError);
    // Helpers over the editor's sweep.
    LayerRules mRules(bool& obError);
    int16_t mnPt(const ComboBox& iCbo, bool& obError);
    int32_t mlFreq(int16_t inPoint, bool& obError);
    int32_t mlBlock(int16_t inIndex);
    // Selects the entry with a frequency's text, inserted as the list's first entry.
    void mSetFirst(ComboBox& ioCbo, const QString& isText);
    void mSelectNearest(ComboBox& ioCbo, const QString& isText, bool& obError);

    int16_t mnLyrFlash = 0;
};
