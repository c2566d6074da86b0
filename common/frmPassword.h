#pragma once
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"

// The password dialog that guards engineer and supervisor work.
class frmPassword : public Form {
public:
    frmPassword();

    // True when access is granted: the stored password (plain text, trimmed
    // here) is empty, or the typed one equals it without regard to case. A
    // wrong password is told with "Invalid Password!" titled isHeader; Cancel,
    // Esc, the close box and an empty box refuse silently. An error refuses.
    static bool gbPassword(const QString& isPassword, const QString& isHeader, bool& obError);

    Label* lblPleaseEnter = nullptr;
    TextBox* txtPassword = nullptr;
    CommandButton* cmdOK = nullptr;
    CommandButton* cmdCancel = nullptr;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void txtPassword_KeyPress(int16_t& KeyAscii);

    QString msPassword;   // what OK copied from the box; read after the window has closed
};
