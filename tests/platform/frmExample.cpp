#include "tests/platform/frmExample.h"
#include "platform/ui/MsgBox.h"

frmExample::frmExample() : Form(QStringLiteral("frmExample")) {
    setClientSize(4200, 3000);
    setKeyPreview(true);
    mnuFile = new Menu(this, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    mnuFileSave = new Menu(this, QStringLiteral("mnuFileSave"), QStringLiteral("&Save"), mnuFile, QStringLiteral("Ctrl+S"));
    mnuFileSelectAll = new Menu(this, QStringLiteral("mnuFileSelectAll"), QStringLiteral("Save &As"), mnuFile,
                                QStringLiteral("Ctrl+A"));
    mnuFileSep = new Menu(this, QStringLiteral("mnuFileSep"), QStringLiteral("-"), mnuFile);
    mnuFileExit = new Menu(this, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), mnuFile, QStringLiteral("Ctrl+X"));

    lblName = new Label(this, QStringLiteral("lblName"), 240, 240, 1000, 285, QStringLiteral("&Name"));
    txtName = new TextBox(this, QStringLiteral("txtName"), 1320, 240, 2520, 285);
    txtName->setMaxLength(19);
    lblCount = new Label(this, QStringLiteral("lblCount"), 240, 660, 1000, 285, QStringLiteral("C&ount"));
    txtCount = new TextBox(this, QStringLiteral("txtCount"), 1320, 660, 1000, 285);
    updCount = new UpDown(this, QStringLiteral("updCount"), 2320, 660, 240, 285);
    updCount->setMax(99);
    updCount->setBuddy(txtCount);
    cboUnit = new ComboBox(this, QStringLiteral("cboUnit"), 2700, 660, 1140, 315, vbComboDropdownList);
    chkLog = new CheckBox(this, QStringLiteral("chkLog"), 240, 1080, 1800, 285, QStringLiteral("&Log curve"));
    fraSide = new Frame(this, QStringLiteral("fraSide"), 240, 1440, 3600, 720, QStringLiteral("Side"));
    for (int16_t i = 0; i < 2; ++i) {
        optSide.add(i, new OptionButton(fraSide, QStringLiteral("optSide"), 120 + 1680 * i, 300, 1500, 285,
                                        i == 0 ? QStringLiteral("&Left") : QStringLiteral("&Right")));
        optSide(i).Click = [this, i] { optSide_Click(i); };
    }
    cmdOK = new CommandButton(this, QStringLiteral("cmdOK"), 840, 2400, 1095, 375, QStringLiteral("&OK"));
    cmdCancel = new CommandButton(this, QStringLiteral("cmdCancel"), 2280, 2400, 1095, 375, QStringLiteral("&Cancel"));
    cmdCancel->setCausesValidation(false);

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
    txtName->Change = [this] { txtName_Change(); };
    txtName->Validate = [this](bool& Cancel) { txtName_Validate(Cancel); };
    txtName->KeyPress = [this](int16_t& KeyAscii) { txtName_KeyPress(KeyAscii); };
    txtCount->KeyPress = [this](int16_t& KeyAscii) { txtCount_KeyPress(KeyAscii); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
    mnuFileSave->Click = [this] { mnuFileSave_Click(); };
    mnuFileSelectAll->Click = [this] { events << QStringLiteral("mnuFileSelectAll_Click"); };
    mnuFileExit->Click = [this] { UnloadMe(); };
    cboUnit->Click = [this] { events << QStringLiteral("cboUnit_Click ") + cboUnit->Text(); };
    chkLog->Click = [this] { events << QStringLiteral("chkLog_Click ") + QString::number(chkLog->Value()); };
}

void frmExample::Form_Load() {
    events << QStringLiteral("Form_Load");
    cboUnit->AddItem(QStringLiteral("Hz"));
    cboUnit->AddItem(QStringLiteral("kHz"));
    txtName->setText(QStringLiteral("Woofer"));
    txtCount->setText(QStringLiteral("1"));
    updCount->setValue(1);
    mbDirty = false;
}

void frmExample::Form_Unload(int16_t& Cancel) {
    events << QStringLiteral("Form_Unload");
    if (mbDirty && !mbOK && gMsgBox(QStringLiteral("Discard the changes?"), vbYesNo + vbQuestion) == vbNo) Cancel = 1;
}

void frmExample::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode == 27) {          // Esc: Cancel
        KeyCode = 0;
        cmdCancel_Click();
    } else if (KeyCode == 113) {  // F2: a fresh name
        KeyCode = 0;
        txtName->setText(QString());
    }
}

void frmExample::txtName_Change() {
    events << QStringLiteral("txtName_Change ") + txtName->Text();
    mbDirty = true;
}

void frmExample::txtName_Validate(bool& Cancel) {
    events << QStringLiteral("txtName_Validate");
    if (txtName->Text().trimmed().isEmpty()) {
        gMsgBox(QStringLiteral("Please enter a name"), vbExclamation);
        Cancel = true;
    }
}

// Names are kept in capitals.
void frmExample::txtName_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii >= 'a' && KeyAscii <= 'z') KeyAscii = static_cast<int16_t>(KeyAscii - 32);
}

// Digits and Backspace only.
void frmExample::txtCount_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii != 8 && (KeyAscii < '0' || KeyAscii > '9')) KeyAscii = 0;
}

void frmExample::cmdOK_Click() {
    events << QStringLiteral("cmdOK_Click");
    msName = txtName->Text();
    mbOK = true;
    Hide();
}

void frmExample::cmdCancel_Click() {
    events << QStringLiteral("cmdCancel_Click");
    mbOK = false;
    UnloadMe();
}

void frmExample::optSide_Click(int16_t Index) { events << QStringLiteral("optSide_Click ") + QString::number(Index); }

void frmExample::mnuFileSave_Click() {
    events << QStringLiteral("mnuFileSave_Click");
    mbDirty = false;
}
