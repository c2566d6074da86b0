#pragma once
#include "platform/ui/CommandButton.h"
#include "platform/ui/ControlArray.h"
#include "platform/ui/Form.h"
#include <QStringList>

// A choice with one button per caption (at most four); the caller learns the
// choice from the accelerator letter of the pressed button.
class frmMultiButton : public Form {
public:
    frmMultiButton();

    // One button for each of iasArray's entries 1 .. upper bound (1 to 4); button
    // inButtonPtr (1-based) has the focus first. The window goes to ionLeft,
    // ionTop (kept on the screen) and gives back where it was left, in twips.
    // The result is the character after the first "&" of the pressed button's
    // caption, as written; "" for a caption without one, and for Esc or the
    // close box. A letter key (with or without Shift) presses its button.
    static QString gsMultiButton(const QStringList& iasArray, int16_t inButtonPtr, const QString& isHeader,
                                 int32_t& ionLeft, int32_t& ionTop, bool& obError);

    ControlArray<CommandButton> cmdCmd;

private:
    static constexpr int16_t kButtons = 4;

    void cmdCmd_Click(int16_t Index);
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    static QString msLetterAfterAmpersand(const QString& isCaption, bool& obError);

    QStringList masLetter;     // 1-based: the upper-cased letter of button i - 1, or ""
    int16_t mnPressed = -1;    // the pressed button's index; -1 while none is
};
