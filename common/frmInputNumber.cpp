#include "common/frmInputNumber.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "common/modKeyDown.h"
#include "common/modKeyMouseIncrement.h"
#include "common/modKeyPressAscii.h"
#include "common/modNumberFormat.h"
#include "common/modTextBoxError.h"
#include "common/modUpDownSet.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"
#include "platform/vb/Conversions.h"

namespace {
const char* kModule = "frmInputNumber";
}

frmInputNumber::frmInputNumber() : Form(QStringLiteral("frmInputNumber")) {
    setClientSize(3360, 1620);
    setKeyPreview(true);
    lblPrompt = new Label(this, QStringLiteral("lblPrompt"), 150, 120, 3060, 285);
    txtNumber = new TextBox(this, QStringLiteral("txtNumber"), 435, 480, 1485, 285);
    txtNumber->setToolTipText(
        QStringLiteral("You can use the Arrow or Page keys + Shift and/or CTRL to change the number"));
    updNumber = new UpDown(this, QStringLiteral("updNumber"), 1920, 480, 195, 285);
    updNumber->setToolTipText(QStringLiteral("Click to change the number"));
    updNumber->setBuddy(txtNumber);
    cmdOK = new CommandButton(this, QStringLiteral("cmdOK"), 353, 960, 1095, 375, QStringLiteral("&OK"));
    cmdOK->setToolTipText(QStringLiteral("Click when you've entered the number"));
    cmdCancel = new CommandButton(this, QStringLiteral("cmdCancel"), 1913, 960, 1095, 375, QStringLiteral("&Cancel"));
    cmdCancel->setToolTipText(QStringLiteral("Click if you don't want to enter a number"));
    cmdCancel->setCausesValidation(false);

    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    txtNumber->KeyDown = [this](int16_t& KeyCode, int16_t Shift) { txtNumber_KeyDown(KeyCode, Shift); };
    txtNumber->KeyPress = [this](int16_t& KeyAscii) { txtNumber_KeyPress(KeyAscii); };
    txtNumber->KeyUp = [this](int16_t& KeyCode, int16_t Shift) { txtNumber_KeyUp(KeyCode, Shift); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
}

QString frmInputNumber::gsInputNumber(const QString& isHeader, const QString& isPrompt, float ifValue, float ifMax,
                                      float ifMin, float ifResolution, bool ibInteger, bool ibAllowCancel,
                                      bool& obError) {
    ErrorTrap trap(kModule, "gsInputNumber", obError);
    QString result;
    if (isLoaded<frmInputNumber>()) unload<frmInputNumber>();
    frmInputNumber& f = form<frmInputNumber>();
    f.mbInteger = ibInteger;
    f.mbAllowCancel = ibAllowCancel;
    f.mfMax = ifMax;
    f.mfMin = ifMin;
    f.mfStep = ifResolution;
    f.msFormat = gsNumberFormat(ifResolution, obError);
    if (!obError) {
        trap(10, [&] {
            f.setCaption(isHeader);
            f.lblPrompt->setCaption(isPrompt);
            f.lblPrompt->setVisible(!isPrompt.isEmpty());
            f.cmdCancel->setVisible(ibAllowCancel);
            f.txtNumber->setText(CStr(ifValue));
        });
    }
    if (!obError) {
        trap(20, [&] {
            f.updNumber->setVisible(ibInteger);
            bool bError = false;
            if (ibInteger && gbGTextValidSingle(f.txtNumber->Text(), bError))
                gUpDownSet(CLng(Variant(f.txtNumber->Text())), CLng(static_cast<double>(ifMax)),
                           CLng(static_cast<double>(ifMin)), 1, *f.updNumber, obError);
        });
    }
    if (!obError && trap(30, [&] { f.Show(vbModal); })) {
        if (f.Unloaded() && f.mbAccepted) trap(40, [&] { result = CStr(f.mfValue); });
    }
    // Not shown, or a display that ended undecided (the program ending): the
    // window goes without a range check.
    if (!f.Unloaded()) f.mbCancelled = true;
    unload<frmInputNumber>();
    return obError ? QString() : result;
}

bool frmInputNumber::mbAccept() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdOK_Click", bError);
    // The range check comes first: an empty or foreign text is told as a range,
    // never converted.
    if (gbTextBoxError(mfMax, mfMin, false, QString(), msFormat, *txtNumber, bError) || bError) return false;
    if (!trap(10, [&] { mfValue = CSng(Variant(txtNumber->Text())); })) return false;
    mbAccepted = true;
    return true;
}

void frmInputNumber::cmdOK_Click() {
    if (mbAccept()) UnloadMe();
}

void frmInputNumber::cmdCancel_Click() {
    mbCancelled = true;
    UnloadMe();
}

// Esc does what the close box does.
void frmInputNumber::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode != vbKeyEscape) return;
    KeyCode = 0;
    if (mbAllowCancel) cmdCancel_Click();
    else cmdOK_Click();
}

// The close box: a Cancel where the dialog offers one; without it (the serial
// number) the box's value is taken exactly as OK takes it, so a closed dialog
// never hands back a value nobody typed.
void frmInputNumber::Form_Unload(int16_t& Cancel) {
    if (mbCancelled || mbAccepted) return;
    if (mbAllowCancel) {
        mbCancelled = true;
        return;
    }
    if (!mbAccept()) Cancel = 1;
}

void frmInputNumber::txtNumber_KeyDown(int16_t& KeyCode, int16_t Shift) {
    bool bError = false;
    const QString text = gsKeyDown(KeyCode, Shift, txtNumber->Text(), mfMax, mfMin, mfStep, msFormat, bError);
    if (!bError && text != txtNumber->Text()) txtNumber->setText(text);
}

void frmInputNumber::txtNumber_KeyPress(int16_t& KeyAscii) {
    bool bError = false;
    ErrorTrap trap(kModule, "txtNumber_KeyPress", bError);
    trap(10, [&] {
        KeyAscii = mbInteger ? gnKeyPressAsciiInteger(KeyAscii, CLng(static_cast<double>(mfMin)), bError)
                             : gnKeyPressAsciiReal(KeyAscii, txtNumber->Text(), mfMin, bError);
    });
    if (bError) KeyAscii = 0;
    if (KeyAscii == vbKeyReturn) {
        KeyAscii = 0;
        cmdOK_Click();
    }
}

void frmInputNumber::txtNumber_KeyUp(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(KeyCode);
    Q_UNUSED(Shift);
    gbKeyMouseIncrementActive = false;
}
