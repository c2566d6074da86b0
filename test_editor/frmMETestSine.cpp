#include "test_editor/frmMETestSine.h"
#include "common/ErrorTrap.h"
#include "common/modKeyDown.h"
#include "common/modKeyMouseIncrement.h"
#include "common/modKeyPressAscii.h"
#include "common/modMVarious.h"
#include "common/modTextBoxError.h"
#include "platform/data/Recordset.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include "test_editor/TestFieldRules.h"
#include <cmath>

namespace {
const char* const kModule = "frmMETestSine";
const QString kNumberTip = QStringLiteral("You can use the Arrow or Page keys + Shift and/or CTRL to change the number");
const QString kHiFormat = QStringLiteral("0.0");

// The leading number of a text with a full stop, as the key and Change handlers read the other box.
double valOf(const TextBox& iBox) { return Val(iBox.Text()); }

// The other box read as the locale reads numbers; a text it cannot read is a type mismatch.
double localeOf(const TextBox& iBox) {
    double v = 0.0;
    if (!parseLocaleNumber(iBox.Text(), v)) throw VbError(13, QStringLiteral("Type mismatch"));
    return v;
}

int32_t clampedWhole(double iValue) { return static_cast<int32_t>(std::clamp(std::nearbyint(iValue), -1.0e6, 1.0e6)); }
}

frmMETestSine::frmMETestSine() : METestTypeForm(QStringLiteral("frmMETestSine"), QStringLiteral("Sine")) {
    chkPCDecide = new CheckBox(this, QStringLiteral("chkPCDecide"), 120, 120, 1500, 255, QStringLiteral("&Measure"));
    chkPCDecide->setToolTipText(QStringLiteral("Measure On/Off"));
    chkPCDecide->setDataSource(&dtaTest);
    chkPCDecide->setDataField(QStringLiteral("PC_Decide"));

    auto limit = [this](Label*& oLabel, TextBox*& oBox, UpDown*& oUpDown, const QString& iName, const QString& iCaption,
                        const QString& iField, int32_t iTop, int32_t iMin, int32_t iMax) {
        oLabel = new Label(this, QStringLiteral("lbl") + iName, 120, iTop + 30, 1600, 255, iCaption);
        oBox = new TextBox(this, QStringLiteral("txt") + iName, 1800, iTop, 800, 285);
        oBox->setToolTipText(kNumberTip);
        oBox->setDataSource(&dtaTest);
        oBox->setDataField(iField);
        oLabel->setAccessTarget(oBox);
        oUpDown = new UpDown(this, QStringLiteral("upd") + iName, 2600, iTop, 240, 285);
        oUpDown->setToolTipText(QStringLiteral("Click to change the number"));
        oUpDown->setBuddy(oBox);
        oUpDown->setMin(iMin);
        oUpDown->setMax(iMax);
        oUpDown->setIncrement(1);
    };
    limit(lblLimHi, txtLimHi, updLimHi, QStringLiteral("LimHi"), QStringLiteral("&High Limit (dB)"),
          QStringLiteral("fHi_Lim"), 480, testfields::kSineLimLoMin + 1, testfields::kSineLimHiMax);
    limit(lblLimLo, txtLimLo, updLimLo, QStringLiteral("LimLo"), QStringLiteral("&Low Limit (dB)"),
          QStringLiteral("fLo_Lim"), 840, testfields::kSineLimLoMin, testfields::kSineLimHiMax - 1);
    lblPrompt = new Label(this, QStringLiteral("lblPrompt"), 120, 1230, 1600, 255, QStringLiteral("&Prompt"));
    txtPrompt = new TextBox(this, QStringLiteral("txtPrompt"), 1800, 1200, 3900, 285);
    txtPrompt->setToolTipText(QStringLiteral("Prompt to give the operator"));
    txtPrompt->setDataSource(&dtaTest);
    txtPrompt->setDataField(QStringLiteral("Op_Prompt"));
    lblPrompt->setAccessTarget(txtPrompt);
    lstMeasure = new ListBox(this, QStringLiteral("lstMeasure"), 3000, 120, 2700, 1000);
    lstMeasure->setToolTipText(QStringLiteral("Show measured results"));
    lstMeasure->setVisible(false);

    chkPCDecide->Click = [this] { chkPCDecide_Click(); };
    txtLimHi->Change = [this] { txtLimHi_Change(); };
    txtLimLo->Change = [this] { txtLimLo_Change(); };
    txtPrompt->Change = [this] { txtPrompt_Change(); };
    txtLimHi->KeyDown = [this](int16_t& KeyCode, int16_t Shift) { txtLimHi_KeyDown(KeyCode, Shift); };
    txtLimLo->KeyDown = [this](int16_t& KeyCode, int16_t Shift) { txtLimLo_KeyDown(KeyCode, Shift); };
    txtLimHi->KeyPress = [this](int16_t& KeyAscii) { txtLimHi_KeyPress(KeyAscii); };
    txtLimLo->KeyPress = [this](int16_t& KeyAscii) { txtLimLo_KeyPress(KeyAscii); };
    txtLimHi->KeyUp = [](int16_t&, int16_t) { gbKeyMouseIncrementActive = false; };
    txtLimLo->KeyUp = [](int16_t&, int16_t) { gbKeyMouseIncrementActive = false; };
    txtLimHi->Validate = [this](bool& Cancel) { txtLimHi_Validate(Cancel); };
    txtLimLo->Validate = [this](bool& Cancel) { txtLimLo_Validate(Cancel); };
    for (UpDown* u : {updLimHi, updLimLo}) {
        u->DownClick = [u] { if (u->Value() == u->Min()) vbBeep(); };
        u->UpClick = [u] { if (u->Value() == u->Max()) vbBeep(); };
    }
}

void frmMETestSine::gMETestSinePromptEnable(bool ibEnable, bool& obError) {
    Q_UNUSED(obError);
    lblPrompt->setEnabled(ibEnable);
    txtPrompt->setEnabled(ibEnable);
}

void frmMETestSine::mMeasureLimitsPromptEnable(bool ibMeasure, bool& obError) {
    for (QWidget* w : std::initializer_list<QWidget*>{lblLimHi, txtLimHi, updLimHi, lblLimLo, txtLimLo, updLimLo})
        w->setEnabled(ibMeasure);
    if (!ibMeasure) lstMeasure->setVisible(false);
    const bool opDecide = isLoaded<frmMETest>() && form<frmMETest>().chkOpDecide->Value() == 1;
    gMETestSinePromptEnable(!ibMeasure && opDecide, obError);
}

void frmMETestSine::chkPCDecide_Click() {
    if (gbMETestSecondaryDontProcess) return;
    bool bError = false;
    ErrorTrap trap(kModule, "chkPCDecide_Click", bError);
    const bool measure = chkPCDecide->Value() == 1;
    if (!trap(10, [&] {
            if (measure && isLoaded<frmMETest>() && form<frmMETest>().chkOpDecide->Value() == 1)
                form<frmMETest>().chkOpDecide->setValue(0);
        }))
        return;
    mMeasureLimitsPromptEnable(measure, bError);
    if (!bError && isLoaded<frmMETest>()) form<frmMETest>().gMETestEnableSweepTypeDuration(!measure, bError);
    if (!bError) gVarSetResetEnabledTrue(*this, bError);
}

// The caption has followed the test name: the groups follow its Measure.
void frmMETestSine::mRepositioned() {
    bool bError = false;
    mMeasureLimitsPromptEnable(chkPCDecide->Value() == 1, bError);
}

void frmMETestSine::mMarkEdit() {
    bool bError = false;
    gVarSetResetEnabledTrue(*this, bError);
}

void frmMETestSine::txtLimHi_Change() {
    updLimLo->setMax(clampedWhole(testfields::sineLimLoMax(valOf(*txtLimHi))));
    mMarkEdit();
}

void frmMETestSine::txtLimLo_Change() {
    updLimHi->setMin(clampedWhole(testfields::sineLimHiMin(valOf(*txtLimLo))));
    mMarkEdit();
}

void frmMETestSine::txtPrompt_Change() { mMarkEdit(); }

void frmMETestSine::txtLimHi_KeyDown(int16_t& KeyCode, int16_t Shift) {
    bool bError = false;
    const float lowest = float(testfields::sineLimHiMin(valOf(*txtLimLo)));
    const QString text = gsKeyDown(KeyCode, Shift, txtLimHi->Text(), float(testfields::kSineLimHiMax), lowest, 1.0f,
                                   kHiFormat, bError);
    if (!bError && text != txtLimHi->Text()) txtLimHi->setText(text);
}

void frmMETestSine::txtLimLo_KeyDown(int16_t& KeyCode, int16_t Shift) {
    bool bError = false;
    ErrorTrap trap(kModule, "txtLimLo_KeyDown", bError);
    trap(10, [&] {
        const float highest = float(testfields::sineLimLoMax(localeOf(*txtLimHi)));
        const QString text = gsKeyDown(KeyCode, Shift, txtLimLo->Text(), highest, float(testfields::kSineLimLoMin),
                                       1.0f, QString(), bError);
        if (!bError && text != txtLimLo->Text()) txtLimLo->setText(text);
    });
}

void frmMETestSine::txtLimHi_KeyPress(int16_t& KeyAscii) {
    bool bError = false;
    KeyAscii = gnKeyPressAsciiInteger(KeyAscii, clampedWhole(testfields::sineLimHiMin(valOf(*txtLimLo))), bError);
    if (bError) KeyAscii = 0;
}

void frmMETestSine::txtLimLo_KeyPress(int16_t& KeyAscii) {
    bool bError = false;
    KeyAscii = gnKeyPressAsciiInteger(KeyAscii, testfields::kSineLimLoMin, bError);
    if (bError) KeyAscii = 0;
}

void frmMETestSine::txtLimHi_Validate(bool& Cancel) {
    bool bError = false;
    ErrorTrap trap(kModule, "txtLimHi_Validate", bError);
    trap(10, [&] {
        const float lowest = float(testfields::sineLimHiMin(localeOf(*txtLimLo)));
        Cancel = gbTextBoxError(float(testfields::kSineLimHiMax), lowest, false, QStringLiteral("dB"), kHiFormat,
                                *txtLimHi, bError);
    });
    // A low limit that cannot be read leaves no range to accept the high one in.
    if (bError) Cancel = true;
}

void frmMETestSine::txtLimLo_Validate(bool& Cancel) {
    bool bError = false;
    ErrorTrap trap(kModule, "txtLimLo_Validate", bError);
    trap(10, [&] {
        const float highest = float(testfields::sineLimLoMax(localeOf(*txtLimHi)));
        Cancel = gbTextBoxError(highest, float(testfields::kSineLimLoMin), false, QStringLiteral("dB"), QString(),
                                *txtLimLo, bError);
    });
    if (bError) Cancel = true;
}

void frmMETestSine::gMETestSineLimitsValidate(bool& ioCancel, bool& obError) {
    Q_UNUSED(obError);
    if (chkPCDecide->Value() != 1) return;
    // An accepted pair stays as shown: checking before a save or a move is no edit.
    double hi = 0.0, lo = 0.0;
    const bool hiRead = parseLocaleNumber(txtLimHi->Text(), hi);
    const bool loRead = parseLocaleNumber(txtLimLo->Text(), lo);
    const float fHi = float(hi), fLo = float(lo);
    const bool hiAccepted = hiRead && loRead && fHi >= float(testfields::sineLimHiMin(lo)) && fHi <= float(testfields::kSineLimHiMax);
    const bool loAccepted = hiRead && loRead && fLo >= float(testfields::kSineLimLoMin) && fLo <= float(testfields::sineLimLoMax(hi));
    bool cancel = false;
    // A low limit that cannot be read is named by its own range message; checked
    // first, the high limit would find no range to be checked in.
    if (!loRead && hiRead) txtLimLo_Validate(cancel);
    if (!cancel && !hiAccepted) txtLimHi_Validate(cancel);
    if (!cancel && !loAccepted) txtLimLo_Validate(cancel);
    ioCancel = cancel;
}
