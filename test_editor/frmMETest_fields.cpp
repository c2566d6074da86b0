#include "test_editor/frmMETest.h"
#include "audio/SweepScale.h"
#include "audio/modAudio.h"
#include "audio/modVOut.h"
#include "common/ErrorTrap.h"
#include "common/modUpDownSet.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Locale.h"
#include "platform/vb/VbError.h"
#include "test_editor/TestFieldRules.h"
#include "test_editor/frmMETestExtDistortion.h"
#include "test_editor/frmMETestResponse.h"
#include <cmath>

namespace {
const char* const kModule = "frmMETest";

int32_t wholeOf(double iValue) {
    const double r = std::nearbyint(iValue);
    if (r > 2147483647.0 || r < -2147483648.0) throw VbError(6, QStringLiteral("Overflow"));
    return static_cast<int32_t>(r);
}
int16_t shortOf(double iValue) {
    const double r = std::nearbyint(iValue);
    if (r > 32767.0 || r < -32768.0) throw VbError(6, QStringLiteral("Overflow"));
    return static_cast<int16_t>(r);
}
}

// A box's figure: its leading number, read with the user's decimal character
// (or a full stop), as the binding stores it.
double frmMETest::mdVal(const TextBox& iBox) const { return ValUser(iBox.Text()); }

QString frmMETest::msTestType() {
    Recordset& rs = dtaTest.Recordset();
    if (!rs.isOpen() || rs.AbsolutePosition() < 0) return QString();
    const Variant v = rs.field(QStringLiteral("Test_Type"));
    return v.isNull() ? QString() : CStr(v);
}

// The shown test plays one tone at Low: High bounds nothing. A response test
// always sweeps, whatever its hidden sweep-type list shows.
bool frmMETest::mbSingleTone() {
    return cboSweepType->Text() == QLatin1String("No Sweep") && msTestType() != QLatin1String("Response");
}

void frmMETest::mBindNumberBoxes() {
    auto guarded = [](const std::function<float(bool&)>& iBound, float iFallback) {
        return [iBound, iFallback] {
            bool bError = false;
            const float v = iBound(bError);
            return bError ? iFallback : v;
        };
    };
    // The boxes are bound to the test record: a check's rewrite is no edit.
    auto bound = [this](NumberBoxRule iRule) {
        iRule.module = kModule;
        iRule.dontProcess = &mbDontProcess;
        iRule.refuseEmptyRange = true;
        return iRule;
    };
    mRuleFLo = bound({.box = txtFLo, .whole = true, .min = [] { return float(testfields::kFLoMin); },
                      .max = guarded([this](bool& e) { return float(mlFLoMax(e)); }, float(testfields::kFHiMax)),
                      .units = QStringLiteral("Hz")});
    mRuleFHi = bound({.box = txtFHi, .whole = true,
                      .min = guarded([this](bool& e) { return float(mlFHiMin(e)); }, 40.0f),
                      .max = [] { return float(testfields::kFHiMax); }, .units = QStringLiteral("Hz")});
    mRulePoint = bound({.box = txtPoint, .whole = true, .min = [] { return float(testfields::kPointMin); },
                        .max = [] { return float(testfields::kPointMax); }});
    mRuleDuration = bound({.box = txtDuration, .min = [] { return testfields::kDurationMin; },
                           .max = [] { return testfields::kDurationMax; }, .step = [] { return 0.1f; },
                           .keyFormat = [] { return QStringLiteral("0.0"); }, .units = QStringLiteral("s"),
                           .checkFormat = QStringLiteral("0.0")});
    mRuleDelay = bound({.box = txtDelay, .min = [] { return 0.0f; },
                        .max = [this] { return testfields::delayMax(msTestType()); },
                        .step = [this] { return testfields::delayStep(msTestType()); },
                        .keyFormat = [this] { return testfields::delayFormat(msTestType()); },
                        .units = QStringLiteral("s")});
    mRuleDriveV = bound({.box = txtDriveV, .min = [] { return 0.0f; }, .max = [this] { return mfDriveMax(); },
                         .step = [] { return 0.01f; }, .keyFormat = [] { return QStringLiteral("0.00"); },
                         .units = QStringLiteral("V")});
    for (NumberBoxRule* rule : {&mRuleFLo, &mRuleFHi, &mRulePoint, &mRuleDuration, &mRuleDelay, &mRuleDriveV}) {
        gNumberBoxBind(*rule);
        rule->box->Validate = [rule](bool& Cancel) {
            bool bError = false;
            Cancel = gbNumberBoxInvalid(*rule, bError);
        };
    }
}

float frmMETest::mfDriveMax() {
    return testfields::driveMax(chkActive->Value() == 1, gfVOutSoundboard, gfVOutAmp, kVOutSoundboardFallback,
                                kVOutAmpFallback);
}

int32_t frmMETest::glMETestPoint2Freq(int16_t inPoint, bool& obError) {
    int32_t lo = 0, hi = 0;
    int16_t n = 0;
    ErrorTrap trap(kModule, "glMETestPoint2Freq", obError);
    if (!trap(10, [&] {
            lo = wholeOf(mdVal(*txtFLo));
            hi = wholeOf(mdVal(*txtFHi));
            n = shortOf(mdVal(*txtPoint));
        }))
        return 0;
    // The station's own conversion, which names a point outside 1..N.
    const float f = gfAudioPoint2Freq(lo, hi, n, inPoint, obError);
    int32_t whole = 0;
    if (!obError) trap(20, [&] { whole = wholeOf(f); });
    return obError ? 0 : whole;
}

int16_t frmMETest::gnMETestFreq2Point(int32_t ilFreq, bool& obError) {
    int16_t p = 0;
    ErrorTrap trap(kModule, "gnMETestFreq2Point", obError);
    trap(10, [&] {
        const int16_t lo = shortOf(mdVal(*txtFLo));
        const int16_t hi = shortOf(mdVal(*txtFHi));
        const int16_t n = shortOf(mdVal(*txtPoint));
        p = sweepscale::nearestPoint(lo, hi, n, ilFreq);
    });
    return p;
}

int32_t frmMETest::mlFHiMin(bool& obError) {
    int32_t m = 0;
    ErrorTrap trap(kModule, "mlFHiMin", obError);
    trap(10, [&] {
        const bool bound = chkOpDecide->Value() == 0 && msTestType() == QLatin1String("Response") && isLoaded<frmMETestResponse>();
        m = testfields::fHiMin(wholeOf(mdVal(*txtFLo)), bound,
                               bound ? form<frmMETestResponse>().layerBands() : QList<testfields::LayerBand>());
    });
    return m;
}

int32_t frmMETest::mlFLoMax(bool& obError) {
    int32_t m = 0;
    ErrorTrap trap(kModule, "mlFLoMax", obError);
    if (!trap(10, [&] {
            if (wholeOf(mdVal(*txtFHi)) < 40) txtFHi->setText(QStringLiteral("40"));
        }))
        return m;
    trap(20, [&] {
        const bool window = msTestType() == QLatin1String("Response") && isLoaded<frmMETestResponse>();
        m = testfields::fLoMax(wholeOf(mdVal(*txtFHi)), window, mbSingleTone(),
                               chkOpDecide->Value() != 0,
                               window ? form<frmMETestResponse>().layerBands() : QList<testfields::LayerBand>());
    });
    return m;
}

float frmMETest::mfDelayMax(bool& obError) {
    Q_UNUSED(obError);
    return testfields::delayMax(msTestType());
}

QString frmMETest::msDelayFormat(bool& obError) {
    Q_UNUSED(obError);
    return testfields::delayFormat(msTestType());
}

QString frmMETest::msDriveVListInitPtr(float ifDriveV, bool& obError) {
    Q_UNUSED(obError);
    return testfields::driveText(ifDriveV, userlocale::decimalChar());
}

void frmMETest::mUpdFLoRange(bool& obError) {
    const int32_t max = mlFLoMax(obError);
    if (obError) return;
    ErrorTrap trap(kModule, "gMETestUpdFLoSet", obError);
    int32_t value = 0;
    if (!trap(10, [&] { value = wholeOf(mdVal(*txtFLo)); })) return;
    gUpDownSet(value, max, updFLo->Min(), 1, *updFLo, obError);
}

void frmMETest::mUpdFHiRange(bool& obError) {
    const int32_t min = mlFHiMin(obError);
    if (obError) return;
    ErrorTrap trap(kModule, "gMETestUpdFHiSet", obError);
    int32_t value = 0;
    if (!trap(10, [&] { value = wholeOf(mdVal(*txtFHi)); })) return;
    gUpDownSet(value, updFHi->Max(), min, 1, *updFHi, obError);
}

void frmMETest::gMETestUpdFHiSet(bool& obError) {
    if (mbSingleTone()) return;
    mUpdFHiRange(obError);
    if (!obError) mUpdFLoRange(obError);
}

void frmMETest::gMETestUpdFLoSet(bool& obError) {
    mUpdFLoRange(obError);
    if (!obError && !mbSingleTone()) mUpdFHiRange(obError);
}

void frmMETest::mTxtFHiLoPointChanged(bool& obError) {
    if (msTestType() != QLatin1String("Response")) return;
    mZeroMfCurveArray();
    if (isLoaded<frmMETestResponse>()) form<frmMETestResponse>().gMETestResponseCheckRangeUpdate(obError);
    if (obError) return;
    mbForceReCal = true;
    update();
}

void frmMETest::mFHiLoPointChangedSetResetEnabled(bool& obError) {
    mTxtFHiLoPointChanged(obError);
    if (!obError) mSetMnuResetEnabled(true, obError);
}

void frmMETest::txtFLo_Change() {
    if (mbDontProcess) return;
    bool bError = false;
    const int32_t max = mlFLoMax(bError);
    if (bError) return;
    const int32_t v = wholeOf(std::min(mdVal(*txtFLo), 2.0e9));
    if (v < testfields::kFLoMin || v > max) return;
    mFHiLoPointChangedSetResetEnabled(bError);
    if (!bError) gMETestUpdFLoSet(bError);
}

void frmMETest::txtFHi_Change() {
    if (mbDontProcess) return;
    bool bError = false;
    const int32_t min = mlFHiMin(bError);
    if (bError) return;
    const int32_t v = wholeOf(std::min(mdVal(*txtFHi), 2.0e9));
    if (v < min || v > testfields::kFHiMax) return;
    mFHiLoPointChangedSetResetEnabled(bError);
    if (!bError) gMETestUpdFHiSet(bError);
}

void frmMETest::txtPoint_Change() {
    if (mbDontProcess) return;
    const int32_t v = wholeOf(std::min(mdVal(*txtPoint), 2.0e9));
    if (v < testfields::kPointMin || v > testfields::kPointMax) return;
    bool bError = false;
    mFHiLoPointChangedSetResetEnabled(bError);
    if (!bError) gUpDownSet(v, testfields::kPointMax, testfields::kPointMin, 1, *updPoint, bError);
}

void frmMETest::txtDuration_Change() {
    if (mbDontProcess) return;
    bool bError = false;
    mSetMnuResetEnabled(true, bError);
}

void frmMETest::txtDelay_Change() {
    if (mbDontProcess) return;
    if (isLoaded<frmMETestExtDistortion>()) form<frmMETestExtDistortion>().lstMeasure->Clear();
    if (msTestType() == QLatin1String("Response")) mbForceReCal = true;
    bool bError = false;
    mSetMnuResetEnabled(true, bError);
}

void frmMETest::txtDriveV_Change() {
    if (mbDontProcess) return;
    if (isLoaded<frmMETestExtDistortion>()) form<frmMETestExtDistortion>().lstMeasure->Clear();
    bool bError = false;
    mSetUnlinkedDataResetEnabled(true, bError);
    if (!bError && msTestType() == QLatin1String("Response")) mbForceReCal = true;
}

void frmMETest::chkActive_Click() {
    if (mbDontProcess) return;
    if (chkActive->Value() == 1 && mdVal(*txtDriveV) > mfDriveMax()) {
        bool bError = false;
        txtDriveV->setText(msDriveVListInitPtr(mfDriveMax(), bError));
    }
    // The drive moves between board and amplifier: a response test's reference is stale.
    if (msTestType() == QLatin1String("Response")) mbForceReCal = true;
    bool bError = false;
    mSetMnuResetEnabled(true, bError);
}

void frmMETest::updPoint_DownClick() {
    if (updPoint->Value() == updPoint->Min()) vbBeep();
}

void frmMETest::updPoint_UpClick() {
    if (updPoint->Value() == updPoint->Max()) vbBeep();
}
