#include "common/frmListGet.h"
#include "common/ErrorTrap.h"
#include "common/modForm.h"
#include "common/modLongestStringPtr.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"
#include "platform/ui/Twips.h"
#include "platform/vb/Conversions.h"

namespace {
const char* kModule = "frmListGet";
}

frmListGet::frmListGet() : Form(QStringLiteral("frmListGet")) {
    setClientSize(3720, 4170);
    setKeyPreview(true);
    lstList = new ListBox(this, QStringLiteral("lstList"), 593, 120, 2535, 2985);
    lstList->setToolTipText(QStringLiteral("You can double click"));
    cmdOK = new CommandButton(this, QStringLiteral("cmdOK"), 600, 3360, 1095, 375, QStringLiteral("&OK"));
    cmdOK->setToolTipText(QStringLiteral("Click when you've selected a name"));
    cmdCancel = new CommandButton(this, QStringLiteral("cmdCancel"), 2040, 3360, 1095, 375, QStringLiteral("&Cancel"));
    cmdCancel->setToolTipText(QStringLiteral("Click if you don't want to select a name"));
    cmdCancel->setCausesValidation(false);

    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    lstList->Click = [this] { lstList_Click(); };
    lstList->DblClick = [this] { lstList_DblClick(); };
    lstList->KeyPress = [this](int16_t& KeyAscii) { lstList_KeyPress(KeyAscii); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
}

QString frmListGet::gsListGet(const QStringList& iasList, const QString& isHeader, bool ibCancel, int32_t& iolPtr,
                              bool& obError) {
    ErrorTrap trap(kModule, "gsListGet", obError);
    QString chosen;
    const int32_t upper = static_cast<int32_t>(iasList.size()) - 1;
    if (isLoaded<frmListGet>()) unload<frmListGet>();
    frmListGet& f = form<frmListGet>();
    bool ready = true;
    if (upper > 0) {
        ready = trap(10, [&] {
            for (int32_t i = 1; i <= upper; ++i) f.lstList->AddItem(iasList.at(i));
            f.lstList->setListIndex(iolPtr >= 1 && iolPtr <= upper ? iolPtr - 1 : 0);
        });
        if (ready) f.mListWidthSet(iasList, obError);
    }
    if (ready && !obError) {
        ready = trap(20, [&] {
            f.setCaption(isHeader);
            f.cmdCancel->setVisible(ibCancel);
        });
    }
    if (ready && !obError) {
        gFormSettingLeftTopGetMove(f, f.Left(), f.Top(), obError);
        if (!obError && trap(30, [&] { f.Show(vbModal); })) {
            trap(40, [&] {
                if (f.mnListIndex >= 0 && f.mnListIndex < upper) {
                    iolPtr = f.mnListIndex + 1;
                    chosen = iasList.at(iolPtr);
                }
            });
        }
    }
    unload<frmListGet>();
    return obError ? QString() : chosen;
}

void frmListGet::mListWidthSet(const QStringList& iasList, bool& obError) {
    const int32_t longest = glLongestStringPtr(iasList, obError);
    if (obError) return;
    ErrorTrap trap(kModule, "mListWidthSet", obError);
    trap(10, [&] {
        const double textWidth = TextWidth(QLatin1Char(' ') + iasList.at(longest) + QLatin1Char(' '));
        const double widest = 0.9 * twips::screenWidth();
        int32_t width = 0;
        if (textWidth > widest) width = CLng(widest);
        else if (textWidth > lstList->Width()) width = CLng(textWidth);
        if (width == 0) return;
        lstList->setWidth(width);
        setWidth(width + 2 * lstList->Left());
    });
}

void frmListGet::cmdOK_Click() {
    mnListIndex = static_cast<int16_t>(lstList->ListIndex());
    UnloadMe();
}

void frmListGet::cmdCancel_Click() {
    mnListIndex = -1;
    UnloadMe();
}

void frmListGet::lstList_Click() { cmdOK->setVisible(true); }

void frmListGet::lstList_DblClick() { cmdOK_Click(); }

void frmListGet::lstList_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == vbKeyReturn) cmdOK->SetFocusIfAble();
}

// Esc cancels, also when the Cancel button is hidden.
void frmListGet::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode != vbKeyEscape) return;
    KeyCode = 0;
    cmdCancel_Click();
}

// Also the close box: nothing has been chosen then unless OK chose it.
void frmListGet::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    bool bError = false;
    gFormSettingLeftTopSave(Name(), Left(), Top(), bError);
}
