#include "test_editor/frmMETestResponse.h"
#include "common/StationRecords.h"
#include "common/ErrorTrap.h"
#include "common/modControlCbo.h"
#include "common/modGeneral.h"
#include "common/modKeyDown.h"
#include "common/modKeyMouseIncrement.h"
#include "common/modKeyPressAscii.h"
#include "common/modMVarious.h"
#include "common/modTextBoxError.h"
#include "common/modUpDownSet.h"
#include "platform/ui/Beep.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include <cmath>

namespace {
const char* const kModule = "frmMETestResponse";
const QString kNumberTip = QStringLiteral("You can use the Arrow or Page keys + Shift and/or CTRL to change the number");
constexpr float kLimMax = 9.9f;
constexpr float kLimMin = 0.1f;
}

frmMETestResponse::frmMETestResponse() : METestTypeForm(QStringLiteral("frmMETestResponse"), QStringLiteral("Response")) {
    mLayout();
}

DrawSurface& frmMETestResponse::windowSurface() { return formSurface(*this); }

// The graph on top; below it a heading row and one row per layer.
void frmMETestResponse::mLayout() {
    setClientSize(6000, 5700);
    picResponse = new PictureBox(this, QStringLiteral("picResponse"), 600, 200, 4800, 2550);
    picResponse->setGraphPaper();
    tmrFlashLayer = new TimerControl(this, QStringLiteral("tmrFlashLayer"), 300, false);
    tmrFlashLayer->Timer = [this] { tmrFlashLayer_Timer(); };

    const int32_t col[] = {720, 1680, 2640, 3600, 4560, 5400};
    const char* headings[] = {"Start (Hz)", "H Lo (Hz)", "H Hi (Hz)", "End (Hz)", "Block", "Lim (dB)"};
    // Each heading as wide as its column (the last to the window's edge), below
    // the graph's frequency numbers, which the window prints one line under it.
    for (int16_t i = 0; i < 6; ++i)
        lblLyrHeading.add(i, new Label(this, QStringLiteral("lblLyrHeading"), col[i], 2985,
                                       (i < 5 ? col[i + 1] : 6000) - col[i], 255, QString::fromLatin1(headings[i])));
    auto combo = [this](ControlArray<ComboBox>& ioArray, const char* iName, int16_t iIndex, int32_t iLeft,
                        int32_t iTop, const char* iTip, const QString& iField) -> ComboBox& {
        ComboBox& c = ioArray.add(iIndex, new ComboBox(this, QString::fromLatin1(iName), iLeft, iTop, 900, 315));
        c.setToolTipText(QString::fromLatin1(iTip));
        c.setDataSource(&dtaTest);
        c.setDataField(iField);
        c.KeyPress = [this](int16_t& KeyAscii) { cboLyr_KeyPress(KeyAscii); };
        c.KeyDown = [this, &c](int16_t& KeyCode, int16_t) { cboLyr_KeyDown(c, KeyCode); };
        return c;
    };
    for (int16_t k = 0; k < 6; ++k) {
        const int32_t top = 3300 + 375 * k;
        CheckBox& on = chkLyrOn.add(k, new CheckBox(this, QStringLiteral("chkLyrOn"), 120, top, 540, 315,
                                                   QStringLiteral("&%1").arg(k + 1)));
        on.setToolTipText(QStringLiteral("Layer On/Off"));
        on.setDataSource(&dtaTest);
        on.setDataField(layerField(k + 1, "On"));
        on.Click = [this, k] { chkLyrOn_Click(k); };

        ComboBox& lo = combo(cboLyrFLo, "cboLyrFLo", k, col[0], top, "Select sweep start frequency", layerField(k + 1, "fLo"));
        ComboBox& mlo = combo(cboLyrFMLo, "cboLyrFMLo", k, col[1], top, "Select hole start frequency", layerField(k + 1, "fMLo"));
        ComboBox& mhi = combo(cboLyrFMHi, "cboLyrFMHi", k, col[2], top, "Select hole end frequency", layerField(k + 1, "fMHi"));
        ComboBox& hi = combo(cboLyrFHi, "cboLyrFHi", k, col[3], top, "Select sweep end frequency", layerField(k + 1, "fHi"));
        lo.Click = [this, k] { cboLyrFLo_Click(k); };
        mlo.Click = [this, k] { cboLyrFMLo_Click(k); };
        mhi.Click = [this, k] { cboLyrFMHi_Click(k); };
        hi.Click = [this, k] { cboLyrFHi_Click(k); };
        lo.GotFocus = [this, k] { cboLyrFLo_GotFocus(k); };
        mlo.GotFocus = [this, k] { cboLyrFMLo_GotFocus(k); };
        mhi.GotFocus = [this, k] { cboLyrFMHi_GotFocus(k); };
        hi.GotFocus = [this, k] { cboLyrFHi_GotFocus(k); };
        for (ComboBox* c : {&lo, &mlo, &mhi, &hi}) c->Validate = [this](bool&) { mFlashOff(); };
        mhi.LostFocus = [this, k] { cboLyrFMHi_LostFocus(k); };

        TextBox& block = txtLyrBlock.add(k, new TextBox(this, QStringLiteral("txtLyrBlock"), col[4], top, 600, 285));
        block.setToolTipText(kNumberTip);
        block.setDataSource(&dtaTest);
        block.setDataField(layerField(k + 1, "Pt#"));
        UpDown& upd = updLyrBlock.add(k, new UpDown(this, QStringLiteral("updLyrBlock"), col[4] + 600, top, 240, 285));
        upd.setToolTipText(QStringLiteral("Click to change the number"));
        upd.setBuddy(&block);
        upd.setMin(1);
        upd.setMax(100);
        upd.DownClick = [&upd] { if (upd.Value() == upd.Min()) vbBeep(); };
        upd.UpClick = [&upd] { if (upd.Value() == upd.Max()) vbBeep(); };
        block.KeyPress = [](int16_t& KeyAscii) {
            bool bError = false;
            KeyAscii = gnKeyPressAsciiInteger(KeyAscii, 1, bError);
        };
        block.KeyDown = [this, k](int16_t& KeyCode, int16_t Shift) { txtLyrBlock_KeyDown(k, KeyCode, Shift); };
        block.KeyUp = [](int16_t&, int16_t) { gbKeyMouseIncrementActive = false; };
        block.GotFocus = [this, k] { mFlashOn(k); };
        block.Validate = [this, k](bool& Cancel) { txtLyrBlock_Validate(k, Cancel); };
        block.Change = [this, k] { txtLyrBlock_Change(k); };

        TextBox& lim = txtLyrLim.add(k, new TextBox(this, QStringLiteral("txtLyrLim"), col[5], top, 540, 285));
        lim.setToolTipText(kNumberTip);
        lim.setDataSource(&dtaTest);
        lim.setDataField(layerField(k + 1, "Lim"));
        lim.KeyPress = [&lim](int16_t& KeyAscii) {
            bool bError = false;
            KeyAscii = gnKeyPressAsciiReal(KeyAscii, lim.Text(), kLimMin, bError);
        };
        lim.KeyDown = [this, k](int16_t& KeyCode, int16_t Shift) { txtLyrLim_KeyDown(k, KeyCode, Shift); };
        lim.KeyUp = [](int16_t&, int16_t) { gbKeyMouseIncrementActive = false; };
        lim.GotFocus = [this, k] { mFlashOn(k); };
        lim.Validate = [this, k](bool& Cancel) { txtLyrLim_Validate(k, Cancel); };
        lim.Change = [this, k] { txtLyrLim_Change(k); };
    }
}

// ---- frequency boxes: values are only picked from their lists

void frmMETestResponse::cboLyr_KeyPress(int16_t& KeyAscii) {
    KeyAscii = 0;
    vbBeep();
}

void frmMETestResponse::cboLyr_KeyDown(ComboBox& ioCbo, int16_t& KeyCode) {
    bool bError = false;
    const int16_t n = gnCtrlCboNudge(KeyCode, ioCbo, bError);
    if (!bError) KeyCode = n;
}

void frmMETestResponse::cboLyrFLo_GotFocus(int16_t Index) {
    bool bError = false;
    mLyrFLoListRead(Index, bError);
    mFlashOn(Index);
}

void frmMETestResponse::cboLyrFHi_GotFocus(int16_t Index) {
    bool bError = false;
    mLyrFHiListRead(Index, bError);
    mFlashOn(Index);
}

void frmMETestResponse::cboLyrFMLo_GotFocus(int16_t Index) {
    bool bError = false;
    mLyrFMLoListRead(Index, bError);
    mFlashOn(Index);
}

void frmMETestResponse::cboLyrFMHi_GotFocus(int16_t Index) {
    bool bError = false;
    mLyrFMHiListRead(Index, bError);
    mFlashOn(Index);
}

void frmMETestResponse::cboLyrFMHi_LostFocus(int16_t Index) {
    ComboBox& c = cboLyrFMHi(Index);
    if (ValUser(c.Text()) == 0) c.setVisible(false);
}

void frmMETestResponse::cboLyrFLo_Click(int16_t Index) {
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    const bool permitted = gbMETestResponseHolePermitted(Index, bError);
    if (!bError) mShowCboHole(Index, permitted, bError);
    if (!bError) mHideRefusedHole(Index, permitted, bError);
    if (!bError && ValUser(cboLyrFMLo(Index).Text()) > 0) mLyrFLoCheckNudge(Index, bError);
    if (!bError) form<frmMETest>().gMETestUpdFLoSet(bError);
    if (!bError) mUpdateLyrRefreshSetReset(bError);
}

void frmMETestResponse::cboLyrFHi_Click(int16_t Index) {
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    const bool permitted = gbMETestResponseHolePermitted(Index, bError);
    if (!bError) mShowCboHole(Index, permitted, bError);
    if (!bError) mHideRefusedHole(Index, permitted, bError);
    if (!bError && permitted && ValUser(cboLyrFMLo(Index).Text()) != 0) {
        const int16_t ptHi = mnPt(cboLyrFHi(Index), bError);
        const int16_t ptMHi = bError ? 0 : mnPt(cboLyrFMHi(Index), bError);
        if (!bError && mlBlock(Index) > ptHi - ptMHi + 1) mNudgeHoleDown(Index, bError);
    }
    if (!bError) form<frmMETest>().gMETestUpdFHiSet(bError);
    if (!bError) mUpdateLyrRefreshSetReset(bError);
}

void frmMETestResponse::cboLyrFMLo_Click(int16_t Index) {
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    ErrorTrap trap(kModule, "cboLyrFMLo_Click", bError);
    const int32_t mlo = static_cast<int32_t>(std::nearbyint(ValUser(cboLyrFMLo(Index).Text())));
    const int32_t mhi = static_cast<int32_t>(std::nearbyint(ValUser(cboLyrFMHi(Index).Text())));
    if (mlo != 0 && mlo >= mhi) mNudgeFMHiUp(Index, bError);
    if (!bError && chkLyrOn(Index).Value() == 1) mShowCboHole(Index, true, bError);
    if (!bError) mUpdateLyrRefreshSetReset(bError);
}

void frmMETestResponse::cboLyrFMHi_Click(int16_t Index) {
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    ComboBox& mlo = cboLyrFMLo(Index);
    if (ValUser(mlo.Text()) != 0) {
        mLyrFMHiCheckNudge(Index, bError);
    } else if (cboLyrFMHi(Index).HasFocus()) {
        // No hole start yet: the engineer picks it first.
        if (mlo.SetFocusIfAble()) {
            if (mlo.ListIndex() < 0 && mlo.ListCount() == 0) mLyrFMLoListRead(Index, bError);
            if (!bError && mlo.ListCount() > 0) mlo.setListIndex(0);
        }
    }
    if (!bError) mUpdateLyrRefreshSetReset(bError);
}

// ---- number boxes

void frmMETestResponse::txtLyrBlock_KeyDown(int16_t Index, int16_t& KeyCode, int16_t Shift) {
    bool bError = false;
    const int16_t max = mnLyrBlockMax(Index, bError);
    if (bError) return;
    TextBox& box = txtLyrBlock(Index);
    const QString text = gsKeyDown(KeyCode, Shift, box.Text(), max, 1, 1, QString(), bError);
    if (!bError && text != box.Text()) box.setText(text);
}

void frmMETestResponse::txtLyrBlock_Validate(int16_t Index, bool& Cancel) {
    bool bError = false;
    const int16_t max = mnLyrBlockMax(Index, bError);
    if (bError) return;
    Cancel = gbTextBoxError(max, 1, true, QStringLiteral("Block"), QString(), txtLyrBlock(Index), bError);
    if (!Cancel) mFlashOff();
}

void frmMETestResponse::txtLyrLim_KeyDown(int16_t Index, int16_t& KeyCode, int16_t Shift) {
    bool bError = false;
    TextBox& box = txtLyrLim(Index);
    const QString text = gsKeyDown(KeyCode, Shift, box.Text(), kLimMax, kLimMin, 0.1f, QStringLiteral("0.0"), bError);
    if (!bError && text != box.Text()) box.setText(text);
}

void frmMETestResponse::txtLyrLim_Validate(int16_t Index, bool& Cancel) {
    bool bError = false;
    Cancel = gbTextBoxError(kLimMax, kLimMin, true, QStringLiteral("dB"), QStringLiteral("0.0"), txtLyrLim(Index), bError);
    if (!Cancel) mFlashOff();
}

void frmMETestResponse::txtLyrLim_Change(int16_t Index) {
    Q_UNUSED(Index);
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    if (gbGTextValidSingle(txtLyrLim(Index).Text(), bError) && !bError) mUpdateLyrRefreshSetReset(bError);
}

void frmMETestResponse::txtLyrBlock_Change(int16_t Index) {
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    TextBox& box = txtLyrBlock(Index);
    if (!gbGTextValidSingle(box.Text(), bError) || bError) return;
    const int32_t block = static_cast<int32_t>(std::nearbyint(ValUser(box.Text())));
    const bool permitted = gbMETestResponseHolePermitted(Index, bError);
    if (!bError && permitted && ValUser(cboLyrFMLo(Index).Text()) != 0) {
        const int16_t ptLo = mnPt(cboLyrFLo(Index), bError);
        const int16_t ptMLo = bError ? 0 : mnPt(cboLyrFMLo(Index), bError);
        if (!bError && ptMLo - ptLo < block) {
            mNudgeHoleUp(Index, bError);
        } else if (!bError) {
            const int16_t ptHi = mnPt(cboLyrFHi(Index), bError);
            const int16_t ptMHi = bError ? 0 : mnPt(cboLyrFMHi(Index), bError);
            if (!bError && ptHi - ptMHi < block) mNudgeHoleDown(Index, bError);
        }
    }
    if (!bError) mShowCboHole(Index, permitted, bError);
    if (!bError) mHideRefusedHole(Index, permitted, bError);
    if (!bError) mUpdateLyrRefreshSetReset(bError);
    if (bError) return;
    const int16_t max = mnLyrBlockMax(Index, bError);
    if (!bError && block >= 1 && block <= max)
        gUpDownSet(block, max, updLyrBlock(Index).Min(), 1, updLyrBlock(Index), bError);
}

// ---- on/off boxes

void frmMETestResponse::chkLyrOn_Click(int16_t Index) {
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    mShowLayerCtrls(Index, bError);
    if (bError) return;
    if (chkLyrOn(Index).Value() == 0) {
        ErrorTrap trap(kModule, "chkLyrOn_Click", bError);
        const int32_t colour = glResponseSubLayerColour(static_cast<int16_t>(Index + 1), bError);
        if (!bError) chkLyrOn(Index).setForeColor(colour);
        if (!bError) mHideCheckBoxIfOneActiveLyr(bError);
    } else {
        for (int16_t k = 0; k < 6; ++k) chkLyrOn(k).setEnabled(true);
    }
    if (bError) return;
    frmMETest& editor = form<frmMETest>();
    editor.gMETestUpdFHiSet(bError);
    if (!bError) editor.gMETestUpdFLoSet(bError);
    if (!bError) mUpdateLyrRefreshSetReset(bError);
}

// ---- the record and the menus

void frmMETestResponse::mRepositioned() {
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    gVarTraboEngDrawRespGrid(false, bError);
    if (!bError) gMETestResponseUpdateLayersHeight(bError);
    if (!bError) mHideCheckBoxIfOneActiveLyr(bError);
}

// The window may have been replaced by the save: the one loaded now takes the focus.
void frmMETestResponse::mAfterSave() {
    if (!isLoaded<frmMETestResponse>()) return;
    frmMETestResponse& now = form<frmMETestResponse>();
    if (now.isVisible() && now.isEnabled()) now.activateWindow();
}
