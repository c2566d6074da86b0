#pragma once
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/ControlArray.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UpDown.h"
#include <QStringList>

// A small window written on the window layer, as docs/windows.md describes:
// a name that may not be left empty, a count with an up-down, a unit, a check
// box, two option buttons in a frame, OK and Cancel, a File menu with
// shortcuts, and key preview (Esc cancels, F2 clears the name). Names are
// typed in capitals. It notes the
// handlers it ran in `events`, so tests can see what ran and in which order.
class frmExample : public Form {
public:
    frmExample();

    Label* lblName = nullptr;
    TextBox* txtName = nullptr;
    Label* lblCount = nullptr;
    TextBox* txtCount = nullptr;
    UpDown* updCount = nullptr;
    ComboBox* cboUnit = nullptr;
    CheckBox* chkLog = nullptr;
    Frame* fraSide = nullptr;
    ControlArray<OptionButton> optSide;
    CommandButton* cmdOK = nullptr;
    CommandButton* cmdCancel = nullptr;
    Menu* mnuFile = nullptr;
    Menu* mnuFileSave = nullptr;
    Menu* mnuFileSelectAll = nullptr;
    Menu* mnuFileSep = nullptr;
    Menu* mnuFileExit = nullptr;

    // What the window hands back after it closes.
    bool mbOK = false;
    QString msName;
    bool mbDirty = false;
    QStringList events;

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void txtName_Change();
    void txtName_Validate(bool& Cancel);
    void txtName_KeyPress(int16_t& KeyAscii);
    void txtCount_KeyPress(int16_t& KeyAscii);
    void cmdOK_Click();
    void cmdCancel_Click();
    void optSide_Click(int16_t Index);
    void mnuFileSave_Click();
};
