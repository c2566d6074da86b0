#include "common/frmPassword.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"
#include "platform/ui/MsgBox.h"

namespace {
const char* kModule = "frmPassword";
}

frmPassword::frmPassword() : Form(QStringLiteral("frmPassword")) {
    setClientSize(3000, 1725);
    setKeyPreview(true);
    // Ends where the box below begins (375 high it would cover its top pixel row).
    lblPleaseEnter = new Label(this, QStringLiteral("lblPleaseEnter"), 360, 240, 2295, 360,
                               QStringLiteral("Please enter the password ..."));
    txtPassword = new TextBox(this, QStringLiteral("txtPassword"), 360, 600, 2295, 285);
    txtPassword->setPasswordChar(QStringLiteral("*"));
    txtPassword->setToolTipText(QStringLiteral("Type in the password and then click OK or press Enter/Return"));
    cmdOK = new CommandButton(this, QStringLiteral("cmdOK"), 360, 1080, 975, 375, QStringLiteral("&OK"));
    cmdOK->setToolTipText(QStringLiteral("Click when you've typed in the password"));
    cmdCancel = new CommandButton(this, QStringLiteral("cmdCancel"), 1680, 1080, 975, 375, QStringLiteral("&Cancel"));
    cmdCancel->setToolTipText(QStringLiteral("Click if you don't want to enter the password"));
    cmdCancel->setCausesValidation(false);

    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
    txtPassword->KeyPress = [this](int16_t& KeyAscii) { txtPassword_KeyPress(KeyAscii); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
}

bool frmPassword::gbPassword(const QString& isPassword, const QString& isHeader, bool& obError) {
    const QString stored = gsGTrim(isPassword, obError);
    // A flagged error refuses: a guard that fails must not open what it guards.
    if (obError) return false;
    if (stored.isEmpty()) return true;

    ErrorTrap trap(kModule, "gbPassword", obError);
    bool granted = false;
    QString typed;
    if (isLoaded<frmPassword>()) unload<frmPassword>();
    if (trap(10, [&] {
            frmPassword& f = form<frmPassword>();
            f.setCaption(isHeader);
            f.Show(vbModal);
            typed = f.msPassword;
        })) {
        trap(20, [&] {
            if (typed.isEmpty()) return;
            granted = typed.toUpper() == stored.toUpper();
            if (!granted) gMsgBox(QStringLiteral("Invalid Password!"), vbExclamation, isHeader);
        });
    }
    unload<frmPassword>();
    return granted && !obError;
}

void frmPassword::cmdOK_Click() {
    msPassword = txtPassword->Text();
    UnloadMe();
}

void frmPassword::cmdCancel_Click() { UnloadMe(); }

// Enter accepts wherever the focus is (also on Cancel), once: the key goes no further.
void frmPassword::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode == vbKeyReturn) {
        KeyCode = 0;
        cmdOK_Click();
    } else if (KeyCode == vbKeyEscape) {
        KeyCode = 0;
        cmdCancel_Click();
    }
}

void frmPassword::txtPassword_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == vbKeyReturn) cmdOK->SetFocusIfAble();
}
