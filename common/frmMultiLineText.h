#pragma once
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/TextBox.h"

// Asks for a free text of several lines (an e-mail to the maker).
class frmMultiLineText : public Form {
public:
    frmMultiLineText();

    // The typed text, trimmed; "" when cancelled (Cancel, Esc, the close box),
    // whatever was typed.
    static QString gsMultiLineText(const QString& isHeader, bool& obError);

    TextBox* txtMultiLineText = nullptr;
    CommandButton* cmdOK = nullptr;
    CommandButton* cmdCancel = nullptr;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void Form_Unload(int16_t& Cancel);

    bool mbOK = false;   // only OK keeps the text
    QString msText;      // the text kept when the window closed
};
