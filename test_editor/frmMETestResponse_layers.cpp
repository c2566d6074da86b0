// The layer rules applied through the window's controls: lists, nudges,
// snapping, the controls shown, drawing and the flash of the edited layer.
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/modControlCbo.h"
#include "common/modGeneral.h"
#include "common/modMVarious.h"
#include "common/modTextBoxError.h"
#include "platform/ui/Color.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PictureBox.h"
#include "platform/vb/Conversions.h"
#include "test_editor/frmMETestResponse.h"
#include <cmath>

namespace {
const char* const kModule = "frmMETestResponse";

int32_t rounded(double iValue) { return static_cast<int32_t>(std::nearbyint(iValue)); }

// Raises the window's suppression flag for one step and lowers it after,
// whatever it was before (the lists' add step works so).
struct PlainSuppress {
    PlainSuppress() { gbMETestSecondaryDontProcess = true; }
    ~PlainSuppress() { gbMETestSecondaryDontProcess = false; }
};
}

// ---- helpers over the editor's sweep


LayerRules frmMETestResponse::mRules(bool& obError) {
    frmMETest& t = form<frmMETest>();
    int32_t lo = 0, hi = 0;
    int16_t n = 0;
    ErrorTrap trap(kModule, "mRules", obError);
    trap(10, [&] {
        lo = rounded(ValUser(t.txtFLo->Text()));
        hi = rounded(ValUser(t.txtFHi->Text()));
        n = static_cast<int16_t>(rounded(ValUser(t.txtPoint->Text())));
    });
    return LayerRules(lo, hi, n);
}

int16_t frmMETestResponse::mnPt(const ComboBox& iCbo, bool& obError) {
    return form<frmMETest>().gnMETestFreq2Point(rounded(ValUser(iCbo.Text())), obError);
}

int32_t frmMETestResponse::mlFreq(int16_t inPoint, bool& obError) {
    return form<frmMETest>().glMETestPoint2Freq(inPoint, obError);
}

int32_t frmMETestResponse::mlBlock(int16_t inIndex) { return rounded(ValUser(txtLyrBlock(inIndex).Text())); }

void frmMETestResponse::mSetFirst(ComboBox& ioCbo, const QString& isText) {
    ioCbo.AddItem(isText, 0);
    ioCbo.setListIndex(0);
}

void frmMETestResponse::mSelectNearest(ComboBox& ioCbo, const QString& isText, bool& obError) {
    const int16_t i = gnCtrlCboFindStringNearestValue(ioCbo, isText, obError);
    if (!obError && i >= 0) ioCbo.setListIndex(i);
}

// ---- public operations

void frmMETestResponse::gMETestResponseUpdateLayersHeight(bool& obError) {
    gMETestUpdateLayersResponse(obError);
    for (int16_t k = 0; k < 6 && !obError; ++k) mShowLayerCtrls(k, obError);
    if (obError) return;
    ErrorTrap trap(kModule, "gMETestResponseUpdateLayersHeight", obError);
    trap(10, [&] {
        if (WindowState() == vbNormal) setHeight(form<frmMETest>().chkOpDecide->Value() == 0 ? 6540 : 3840);
    });
}

void frmMETestResponse::gMETestResponseCheckHoleVisible(int16_t inIndex, int32_t& olLyrFMLo, int32_t& olLyrFMHi,
                                                        bool& obError) {
    ErrorTrap trap(kModule, "gMETestResponseCheckHoleVisible", obError);
    trap(10, [&] {
        ComboBox& mlo = cboLyrFMLo(inIndex);
        ComboBox& mhi = cboLyrFMHi(inIndex);
        olLyrFMLo = mlo.Visible() ? rounded(ValUser(mlo.Text())) : 0;
        olLyrFMHi = mhi.Visible() ? rounded(ValUser(mhi.Text())) : 0;
        if (olLyrFMHi == 0) olLyrFMLo = 0;
    });
}

bool frmMETestResponse::gbMETestResponseHolePermitted(int16_t inIndex, bool& obError) {
    const int16_t count = mnLyrBlockMax(inIndex, obError);
    if (obError) return false;
    return LayerRules::holePermitted(count, mlBlock(inIndex));
}

void frmMETestResponse::gMETestUpdateLayersResponse(bool& obError) {
    ErrorTrap trap(kModule, "gMETestUpdateLayersResponse", obError);
    if (!trap(10, [&] { picResponse->Cls(); })) return;
    gVarTraboEngDrawRespGrid(false, obError);
    if (!obError && form<frmMETest>().chkOpDecide->Value() == 0) gMETestResponseShowAllValidLayers(obError);
    // The curve a try-out measured is drawn again over them.
    if (!obError) form<frmMETest>().gMETestUpdateResponse(obError);
}

void frmMETestResponse::gMETestResponseCheckRangeUpdate(bool& obError) {
    gbMETestSecondaryDontProcess = true;
    for (int16_t k = 0; k < 6 && !obError; ++k) {
        ComboBox& lo = cboLyrFLo(k);
        ComboBox& hi = cboLyrFHi(k);
        const QString s1 = msCRUpdateNearestFreq(rounded(ValUser(lo.Text())), false, obError);
        if (obError) break;
        const QString s2 = msCRUpdateNearestFreq(rounded(ValUser(hi.Text())), false, obError);
        if (obError) break;
        // The block is capped by the band as snapped, not as it stood.
        const int16_t c = static_cast<int16_t>(form<frmMETest>().gnMETestFreq2Point(rounded(ValUser(s2)), obError) -
                                               form<frmMETest>().gnMETestFreq2Point(rounded(ValUser(s1)), obError) + 1);
        if (obError) break;
        if (mlBlock(k) > c) txtLyrBlock(k).setText(QString::number(c));
        mSetFirst(lo, s1);
        mSetFirst(hi, s2);
        const QString m1 = msCRUpdateNearestFreq(rounded(ValUser(cboLyrFMLo(k).Text())), true, obError);
        if (obError) break;
        mSetFirst(cboLyrFMLo(k), m1);
        const QString m2 = msCRUpdateNearestFreq(rounded(ValUser(cboLyrFMHi(k).Text())), true, obError);
        if (obError) break;
        mSetFirst(cboLyrFMHi(k), m2);
        // A nudge that rebuilds a list lowers the flag (the add step's own), so
        // the selections after it run their Click handling, which refreshes
        // the editor's bounds for the moved points.
        mLyrFLoCheckNudge(k, obError);
        if (!obError) mLyrFMHiCheckNudge(k, obError);
        if (obError) break;
        const bool on = chkLyrOn(k).Value() == 1;
        const bool permitted = gbMETestResponseHolePermitted(k, obError);
        if (!obError) mShowCboHole(k, permitted && on, obError);
        if (!obError) mHideRefusedHole(k, permitted, obError);
    }
    gbMETestSecondaryDontProcess = false;
    if (!obError) gMETestUpdateLayersResponse(obError);
}

void frmMETestResponse::gMETestResponseShowAllValidLayers(bool& obError) {
    if (form<frmMETest>().chkOpDecide->Value() != 0) return;
    for (int16_t k = 0; k < 6 && !obError; ++k) {
        int32_t mlo = 0, mhi = 0;
        gMETestResponseCheckHoleVisible(k, mlo, mhi, obError);
        if (obError || chkLyrOn(k).Value() != 1) continue;
        mShowCheckRangeErrorCheck(rounded(ValUser(cboLyrFLo(k).Text())), mlo, mhi, rounded(ValUser(cboLyrFHi(k).Text())),
                                  static_cast<float>(ValUser(txtLyrLim(k).Text())), static_cast<int16_t>(k + 1), obError);
    }
}

void frmMETestResponse::gMETestResponseLayersValidate(bool& ioCancel, bool& obError) {
    if (ioCancel || form<frmMETest>().chkOpDecide->Value() != 0) return;
    // An accepted value rewritten in its format is no edit.
    FlagHold quiet(gbMETestSecondaryDontProcess);
    for (int16_t k = 0; k < 6 && !obError && !ioCancel; ++k) {
        if (chkLyrOn(k).Value() != 1) continue;
        const int16_t max = mnLyrBlockMax(k, obError);
        if (obError) return;
        // Checked as leaving the box would; an accepted value keeps its text.
        auto refused = [&](TextBox& ioBox, float iMax, float iMin, const QString& iUnit, const QString& iFormat) {
            const QString was = ioBox.Text();
            const bool edited = ioBox.DataChanged();
            const bool r = gbTextBoxError(iMax, iMin, true, iUnit, iFormat, ioBox, obError);
            if (!r && ioBox.Text() != was) ioBox.setText(was);
            if (!r) ioBox.setDataChanged(edited);
            return r;
        };
        ioCancel = refused(txtLyrBlock(k), max, 1, QStringLiteral("Block"), QString());
        if (ioCancel || obError) return;
        ioCancel = refused(txtLyrLim(k), 9.9f, 0.1f, QStringLiteral("dB"), QStringLiteral("0.0"));
    }
}

QList<testfields::LayerBand> frmMETestResponse::layerBands() {
    QList<testfields::LayerBand> out;
    for (int16_t k = 0; k < 6; ++k)
        out.append(testfields::LayerBand{chkLyrOn(k).Value() == 1, rounded(ValUser(cboLyrFLo(k).Text())), rounded(ValUser(cboLyrFHi(k).Text()))});
    return out;
}

// ---- private rules

int16_t frmMETestResponse::mnLyrBlockMax(int16_t inIndex, bool& obError) {
    const int16_t lo = mnPt(cboLyrFLo(inIndex), obError);
    const int16_t hi = obError ? 0 : mnPt(cboLyrFHi(inIndex), obError);
    return obError ? 0 : LayerRules::bandCount(lo, hi);
}

void frmMETestResponse::mShowLayerCtrls(int16_t inIndex, bool& obError) {
    ErrorTrap trap(kModule, "mShowLayerCtrls", obError);
    const bool on = chkLyrOn(inIndex).Value() == 1;
    if (!trap(10, [&] {
            for (QWidget* w : std::initializer_list<QWidget*>{&cboLyrFLo(inIndex), &cboLyrFHi(inIndex), &txtLyrBlock(inIndex),
                                                            &updLyrBlock(inIndex), &txtLyrLim(inIndex)})
                w->setVisible(on);
        }))
        return;
    bool permitted = false;
    if (on) permitted = gbMETestResponseHolePermitted(inIndex, obError);
    if (!obError) mShowCboHole(inIndex, on && permitted, obError);
    if (obError) return;
    int32_t colour = vbcolor::vbButtonText;
    if (!on) colour = glResponseSubLayerColour(static_cast<int16_t>(inIndex + 1), obError);
    if (!obError) chkLyrOn(inIndex).setForeColor(colour);
}

void frmMETestResponse::mShowCboHole(int16_t inIndex, bool ibShow, bool& obError) {
    Q_UNUSED(obError);
    cboLyrFMLo(inIndex).setVisible(ibShow);
    cboLyrFMHi(inIndex).setVisible(ibShow && ValUser(cboLyrFMLo(inIndex).Text()) != 0);
}

// A hole the layer no longer permits is not kept stored: hidden by a user's
// change, both hole fields become 0, so the station judges what is shown.
void frmMETestResponse::mHideRefusedHole(int16_t inIndex, bool ibPermitted, bool& obError) {
    if (ibPermitted || chkLyrOn(inIndex).Value() != 1) return;
    ErrorTrap trap(kModule, "mHideRefusedHole", obError);
    trap(10, [&] {
        FlagHold quiet(gbMETestSecondaryDontProcess);
        for (ComboBox* c : {&cboLyrFMLo(inIndex), &cboLyrFMHi(inIndex)})
            if (c->Text() != QLatin1String("0")) c->setText(QStringLiteral("0"));
    });
}

void frmMETestResponse::mHideCheckBoxIfOneActiveLyr(bool& obError) {
    ErrorTrap trap(kModule, "mHideCheckBoxIfOneActiveLyr", obError);
    trap(10, [&] {
        int n = 0;
        int16_t last = 0;
        for (int16_t k = 0; k < 6; ++k)
            if (chkLyrOn(k).Value() != 0) {
                ++n;
                last = k;
            }
        if (n != 1) return;
        chkLyrOn(static_cast<int16_t>((last + 1) % 6)).SetFocusIfAble();
        chkLyrOn(last).setEnabled(false);
    });
}

void frmMETestResponse::mNudgeHoleUp(int16_t inIndex, bool& obError) {
    const int16_t ptLo = mnPt(cboLyrFLo(inIndex), obError);
    if (obError) return;
    const int16_t p = LayerRules::holeUpTarget(ptLo, mlBlock(inIndex));
    const int32_t f = mlFreq(p, obError);
    if (obError) return;
    mSetFirst(cboLyrFMLo(inIndex), QString::number(f));
    const int16_t ptMHi = mnPt(cboLyrFMHi(inIndex), obError);
    if (!obError && ptMHi <= p) mNudgeFMHiUp(inIndex, obError);
}

void frmMETestResponse::mNudgeFMHiUp(int16_t inIndex, bool& obError) {
    const int16_t ptMLo = mnPt(cboLyrFMLo(inIndex), obError);
    if (obError) return;
    const int32_t f = mlFreq(LayerRules::holeEndAbove(ptMLo), obError);
    if (!obError) mSetFirst(cboLyrFMHi(inIndex), QString::number(f));
}

void frmMETestResponse::mNudgeHoleDown(int16_t inIndex, bool& obError) {
    const int16_t ptHi = mnPt(cboLyrFHi(inIndex), obError);
    if (obError) return;
    const int16_t p = LayerRules::holeDownTarget(ptHi, mlBlock(inIndex));
    mLyrFMHiListRead(inIndex, obError);
    const int32_t f = obError ? 0 : mlFreq(p, obError);
    if (!obError) mSelectNearest(cboLyrFMHi(inIndex), QString::number(f), obError);
    const int16_t ptMLo = obError ? 0 : mnPt(cboLyrFMLo(inIndex), obError);
    if (!obError && ptMLo >= p) mNudgeFMLoDown(inIndex, obError);
}

void frmMETestResponse::mNudgeFMLoDown(int16_t inIndex, bool& obError) {
    ComboBox& mhi = cboLyrFMHi(inIndex);
    if (ValUser(mhi.Text()) == 0) {
        cboLyrFMLo(inIndex).setText(QStringLiteral("0"));
        return;
    }
    mLyrFMLoListRead(inIndex, obError);
    const int16_t ptMHi = obError ? 0 : mnPt(mhi, obError);
    const int32_t f = obError ? 0 : mlFreq(LayerRules::holeStartBelow(ptMHi), obError);
    if (!obError) mSelectNearest(cboLyrFMLo(inIndex), QString::number(f), obError);
}

void frmMETestResponse::mLyrFLoCheckNudge(int16_t inIndex, bool& obError) {
    if (ValUser(cboLyrFMLo(inIndex).Text()) == 0) return;
    const int16_t ptLo = mnPt(cboLyrFLo(inIndex), obError);
    const int16_t ptMLo = obError ? 0 : mnPt(cboLyrFMLo(inIndex), obError);
    if (!obError && ValUser(txtLyrBlock(inIndex).Text()) > double(ptMLo - ptLo + 1)) mNudgeHoleUp(inIndex, obError);
}

void frmMETestResponse::mLyrFMHiCheckNudge(int16_t inIndex, bool& obError) {
    if (ValUser(cboLyrFMLo(inIndex).Text()) == 0) return;
    if (rounded(ValUser(cboLyrFMHi(inIndex).Text())) <= rounded(ValUser(cboLyrFMLo(inIndex).Text())))
        mNudgeFMLoDown(inIndex, obError);
}

void frmMETestResponse::mLyrFListInit(bool ibWithZero, int16_t inHighest, int16_t inLowest, ComboBox& ioCbo,
                                      bool& obError) {
    LayerRules rules = mRules(obError);
    if (obError) return;
    QStringList wanted;
    if (!rules.entries({ibWithZero, inHighest, inLowest}, wanted)) {
        // The conversion reports the point outside the sweep.
        for (int16_t p = inHighest; p >= inLowest && !obError; --p) mlFreq(p, obError);
        return;
    }
    ErrorTrap trap(kModule, "mLyrFListInit", obError);
    trap(10, [&] {
        for (int16_t i = 0; i < wanted.size(); ++i) mLyrFListInitAdd(wanted[i], i, ioCbo);
        PlainSuppress quiet;
        while (ioCbo.ListCount() > wanted.size()) ioCbo.RemoveItem(ioCbo.ListCount() - 1);
    });
}

void frmMETestResponse::mLyrFListInitAdd(const QString& isFreq, int16_t inPos, ComboBox& ioCbo) {
    PlainSuppress quiet;
    if (inPos >= ioCbo.ListCount()) ioCbo.AddItem(isFreq);
    else if (ValUser(ioCbo.List(inPos)) != ValUser(isFreq)) ioCbo.AddItem(isFreq, inPos);
}

void frmMETestResponse::mLyrFLoListRead(int16_t inIndex, bool& obError) {
    ComboBox& c = cboLyrFLo(inIndex);
    const QString was = c.Text();
    const int16_t ptHi = mnPt(cboLyrFHi(inIndex), obError);
    if (obError) return;
    const LayerRules::List l = mRules(obError).bandStartList(ptHi, mlBlock(inIndex));
    if (!obError) mLyrFListInit(false, l.highest, l.lowest, c, obError);
    if (!obError) mSelectNearest(c, was, obError);
}

void frmMETestResponse::mLyrFHiListRead(int16_t inIndex, bool& obError) {
    ComboBox& c = cboLyrFHi(inIndex);
    const QString was = c.Text();
    const int16_t ptLo = mnPt(cboLyrFLo(inIndex), obError);
    if (obError) return;
    const LayerRules::List l = mRules(obError).bandEndList(ptLo, mlBlock(inIndex));
    if (!obError) mLyrFListInit(false, l.highest, l.lowest, c, obError);
    if (obError) return;
    int16_t at = 0;
    if (gbCtrlCboListFindString(c, was, at, obError) && !obError) c.setListIndex(at);
    else if (!obError && c.ListCount() > 0) c.setListIndex(0);
}

void frmMETestResponse::mLyrFMLoListRead(int16_t inIndex, bool& obError) { mLyrFHoleListRead(inIndex, true, obError); }

void frmMETestResponse::mLyrFMHiListRead(int16_t inIndex, bool& obError) { mLyrFHoleListRead(inIndex, false, obError); }

// The hole's start (or end) list between the band's ends, keeping the choice
// nearest to the one shown.
void frmMETestResponse::mLyrFHoleListRead(int16_t inIndex, bool ibStart, bool& obError) {
    ComboBox& c = ibStart ? cboLyrFMLo(inIndex) : cboLyrFMHi(inIndex);
    const QString was = c.Text();
    const int16_t ptLo = mnPt(cboLyrFLo(inIndex), obError);
    const int16_t ptHi = obError ? 0 : mnPt(cboLyrFHi(inIndex), obError);
    if (obError) return;
    const LayerRules& rules = mRules(obError);
    if (obError) return;
    const LayerRules::List l = ibStart ? rules.holeStartList(ptLo, ptHi, mlBlock(inIndex))
                                       : rules.holeEndList(ptLo, ptHi, mlBlock(inIndex));
    mLyrFListInit(true, l.highest, l.lowest, c, obError);
    if (!obError) mSelectNearest(c, was, obError);
}

QString frmMETestResponse::msCRUpdateNearestFreq(int32_t ilFreq, bool ibZeroAllowed, bool& obError) {
    if (ilFreq == 0) {
        if (ibZeroAllowed) return QStringLiteral("0");
        gMsgBox(QStringLiteral("Zero not allowed"), vbExclamation | vbOKOnly,
                QStringLiteral("frmMETestResponse.msCRUpdateNearestFreq"));
        obError = true;
        return QString();
    }
    LayerRules rules = mRules(obError);
    if (obError) return QString();
    int32_t snapped = 0;
    if (!rules.snap(ilFreq, snapped)) {
        mlFreq(static_cast<int16_t>(rules.points() + 1), obError);
        return QString();
    }
    return QString::number(snapped);
}

// ---- drawing and flashing

void frmMETestResponse::mShowCheckRangeErrorCheck(int32_t ilFLo, int32_t ilFMLo, int32_t ilFMHi, int32_t ilFHi,
                                                  float ifLim, int16_t inLayer, bool& obError) {
    gResponseSubShowCheckRange(*this, ilFLo, ilFMLo, ilFMHi, ilFHi, ifLim, inLayer, obError);
    if (obError) tmrFlashLayer->setEnabled(false);
}

void frmMETestResponse::mUpdateLyrRefreshSetReset(bool& obError) {
    gMETestUpdateLayersResponse(obError);
    if (obError) return;
    update();
    gVarSetResetEnabledTrue(*this, obError);
}

void frmMETestResponse::mFlashOn(int16_t inIndex) {
    mnLyrFlash = inIndex;
    tmrFlashLayer->setEnabled(true);
}

void frmMETestResponse::mFlashOff() {
    tmrFlashLayer->setEnabled(false);
    bool bError = false;
    const int16_t k = mnLyrFlash;
    // A limit that is no number has nothing to draw.
    if (!gbGTextValidSingle(txtLyrLim(k).Text(), bError) || bError) return;
    if (form<frmMETest>().chkOpDecide->Value() != 0 || chkLyrOn(k).Value() != 1) return;
    int32_t mlo = 0, mhi = 0;
    gMETestResponseCheckHoleVisible(k, mlo, mhi, bError);
    if (!bError)
        mShowCheckRangeErrorCheck(rounded(ValUser(cboLyrFLo(k).Text())), mlo, mhi, rounded(ValUser(cboLyrFHi(k).Text())),
                                  static_cast<float>(ValUser(txtLyrLim(k).Text())), static_cast<int16_t>(k + 1), bError);
}

void frmMETestResponse::tmrFlashLayer_Timer() {
    bool bError = false;
    const int16_t k = mnLyrFlash;
    if (!gbGTextValidSingle(txtLyrLim(k).Text(), bError) || bError) return;
    if (form<frmMETest>().chkOpDecide->Value() != 0 || chkLyrOn(k).Value() != 1) return;
    int32_t mlo = 0, mhi = 0;
    gMETestResponseCheckHoleVisible(k, mlo, mhi, bError);
    if (bError) return;
    // Stopped before anything the drawing may report.
    const bool wasOn = tmrFlashLayer->Enabled();
    tmrFlashLayer->setEnabled(false);
    DrawSurface& s = *picResponse;
    s.setDrawMode(vbXorPen);
    mShowCheckRangeErrorCheck(rounded(ValUser(cboLyrFLo(k).Text())), mlo, mhi, rounded(ValUser(cboLyrFHi(k).Text())),
                              static_cast<float>(ValUser(txtLyrLim(k).Text())), static_cast<int16_t>(k + 1), bError);
    s.setDrawMode(vbCopyPen);
    if (!bError && wasOn) tmrFlashLayer->setEnabled(true);
}
