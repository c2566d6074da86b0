#include "common/frmMultiLineText.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"

frmMultiLineText::frmMultiLineText() : Form(QStringLiteral("frmMultiLineText")) {
    setClientSize(4125, 3060);
    setKeyPreview(true);
    txtMultiLineText = new TextBox(this, QStringLiteral("txtMultiLineText"), 240, 120, 3615, 2055, true);
    cmdOK = new CommandButton(this, QStringLiteral("cmdOK"), 1200, 2400, 1125, 345, QStringLiteral("&OK"));
    cmdCancel = new CommandButton(this, QStringLiteral("cmdCancel"), 2520, 2400, 1125, 345, QStringLiteral("&Cancel"));
    cmdCancel->setCausesValidation(false);

    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
}

QString frmMultiLineText::gsMultiLineText(const QString& isHeader, bool& obError) {
    ErrorTrap trap("frmMultiLineText", "gsMultiLineText", obError);
    QString text;
    if (isLoaded<frmMultiLineText>()) unload<frmMultiLineText>();
    frmMultiLineText& f = form<frmMultiLineText>();
    if (trap(10, [&] {
            f.setCaption(isHeader);
            f.Show(vbModal);
        })) {
        // A display that ended without OK (the program ending) keeps nothing either.
        if (!f.Unloaded()) f.UnloadMe();
        trap(20, [&] { text = gsGTrim(f.msText, obError); });
    }
    unload<frmMultiLineText>();
    return obError ? QString() : text;
}

void frmMultiLineText::cmdOK_Click() {
    mbOK = true;
    UnloadMe();
}

void frmMultiLineText::cmdCancel_Click() { UnloadMe(); }

void frmMultiLineText::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode != vbKeyEscape) return;
    KeyCode = 0;
    cmdCancel_Click();
}

// Cancel, Esc and the close box all come here without OK: the text is dropped,
// so an abandoned message is never sent.
void frmMultiLineText::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    msText = mbOK ? txtMultiLineText->Text() : QString();
}
