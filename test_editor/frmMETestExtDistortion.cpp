#include "test_editor/frmMETestExtDistortion.h"
#include "common/ErrorTrap.h"
#include "common/modKeyDown.h"
#include "common/modKeyMouseIncrement.h"
#include "common/modKeyPressAscii.h"
#include "common/modMVarious.h"
#include "common/modTextBoxError.h"
#include "platform/data/Recordset.h"
#include "platform/vb/Conversions.h"
#include "test_editor/TestFieldRules.h"

namespace {
const QString kFormat = QStringLiteral("0.00");
}

frmMETestExtDistortion::frmMETestExtDistortion()
    : METestTypeForm(QStringLiteral("frmMETestExtDistortion"), QStringLiteral("Ext Distortion")) {
    cboExtDist = new ComboBox(this, QStringLiteral("cboExtDist"), 120, 120, 3600, 315, vbComboDropdownList);
    cboExtDist->setToolTipText(QStringLiteral("Select Ext Distortion test"));
    for (const QString& m : testfields::extDistortionModes()) cboExtDist->AddItem(m);
    lblLimHi = new Label(this, QStringLiteral("lblLimHi"), 120, 600, 1600, 255, QStringLiteral("&High Limit (%)"));
    txtLimHi = new TextBox(this, QStringLiteral("txtLimHi"), 1800, 570, 800, 285);
    txtLimHi->setToolTipText(QStringLiteral("You can use the Arrow or Page keys + Shift and/or CTRL to change the number"));
    txtLimHi->setDataSource(&dtaTest);
    txtLimHi->setDataField(QStringLiteral("fHi_Lim"));
    lblLimHi->setAccessTarget(txtLimHi);
    lstMeasure = new ListBox(this, QStringLiteral("lstMeasure"), 120, 1000, 3000, 1500);
    lstMeasure->setToolTipText(QStringLiteral("Displays Ext Distortion test results"));

    // The chosen mode only marks the edit: it belongs to the window, not the record.
    cboExtDist->Click = [this] {
        bool bError = false;
        gVarSetResetEnabledTrue(*this, bError);
    };
    txtLimHi->Change = [this] {
        if (gbMETestSecondaryDontProcess) return;
        bool bError = false;
        gVarSetResetEnabledTrue(*this, bError);
    };
    txtLimHi->KeyDown = [this](int16_t& KeyCode, int16_t Shift) {
        bool bError = false;
        const QString text = gsKeyDown(KeyCode, Shift, txtLimHi->Text(), testfields::kDistLimMax,
                                       testfields::kDistLimMin, 0.01f, kFormat, bError);
        if (!bError && text != txtLimHi->Text()) txtLimHi->setText(text);
    };
    txtLimHi->KeyPress = [this](int16_t& KeyAscii) {
        bool bError = false;
        KeyAscii = gnKeyPressAsciiReal(KeyAscii, txtLimHi->Text(), testfields::kDistLimMin, bError);
        if (bError) KeyAscii = 0;
    };
    txtLimHi->KeyUp = [](int16_t&, int16_t) { gbKeyMouseIncrementActive = false; };
    txtLimHi->Validate = [this](bool& Cancel) { txtLimHi_Validate(Cancel); };
}

void frmMETestExtDistortion::gMETestExtDistortionTxtLimHiValidate(bool& obCancel, bool& obError) {
    Q_UNUSED(obError);
    // An accepted value stays as shown: checking before a save or a move is no edit.
    double v = 0.0;
    if (parseLocaleNumber(txtLimHi->Text(), v) && float(v) >= testfields::kDistLimMin && float(v) <= testfields::kDistLimMax) {
        obCancel = false;
        return;
    }
    txtLimHi_Validate(obCancel);
}

void frmMETestExtDistortion::txtLimHi_Validate(bool& Cancel) {
    bool bError = false;
    // Zero is not refused on its own: it lies below the range and gets the range message.
    Cancel = gbTextBoxError(testfields::kDistLimMax, testfields::kDistLimMin, false, QStringLiteral("%"), kFormat,
                            *txtLimHi, bError);
}

