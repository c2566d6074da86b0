#include "common/frmListAdd.h"
#include "common/ErrorTrap.h"
#include "common/modForm.h"
#include "common/modGeneral.h"
#include "common/modListIncrementalSearch.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"

namespace {
const char* kModule = "frmListAdd";
}

frmListAdd::frmListAdd() : Form(QStringLiteral("frmListAdd")) {
    setClientSize(3495, 3525);
    setKeyPreview(true);
    lstList = new ListBox(this, QStringLiteral("lstList"), 240, 120, 3015, 2010);
    lstList->setToolTipText(QStringLiteral("You can double click"));
    txtList = new TextBox(this, QStringLiteral("txtList"), 240, 2400, 3015, 285);
    txtList->setToolTipText(QStringLiteral("Type in a new name and then click OK or press Enter/Return"));
    cmdOK = new CommandButton(this, QStringLiteral("cmdOK"), 480, 2880, 1095, 375, QStringLiteral("&OK"));
    cmdOK->setToolTipText(QStringLiteral("Click when you've typed in a new name"));
    cmdOK->setEnabled(false);
    cmdCancel = new CommandButton(this, QStringLiteral("cmdCancel"), 1920, 2880, 1095, 375, QStringLiteral("&Cancel"));
    cmdCancel->setToolTipText(QStringLiteral("Click if you don't want to enter a new name"));
    cmdCancel->setCausesValidation(false);

    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    txtList->Change = [this] { txtList_Change(); };
    txtList->KeyPress = [this](int16_t& KeyAscii) { txtList_KeyPress(KeyAscii); };
    lstList->DblClick = [this] { lstList_DblClick(); };
    lstList->KeyPress = [this](int16_t& KeyAscii) { lstList_KeyPress(KeyAscii); };
    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
}

QString frmListAdd::gsAdd(const QStringList& iasList, int16_t inAMax, int16_t inSMax, const QString& isHeader,
                          int16_t& ionListPtr, bool& obError, const QStringList& iasKept) {
    Q_UNUSED(inAMax);
    ErrorTrap trap(kModule, "gsAdd", obError);
    QString name;
    const int32_t upper = static_cast<int32_t>(iasList.size()) - 1;
    if (isLoaded<frmListAdd>()) unload<frmListAdd>();
    frmListAdd& f = form<frmListAdd>();
    bool ready = trap(10, [&] {
        f.setCaption(isHeader);
        f.mKept = iasKept;
        f.txtList->setMaxLength(inSMax);
        f.txtList->setText(QString());
        if (upper > 0) {
            // A pointer outside the list starts with an empty box.
            if (ionListPtr > 0 && ionListPtr <= upper) f.txtList->setText(iasList.at(ionListPtr));
            for (int32_t i = 1; i <= upper; ++i) f.lstList->AddItem(iasList.at(i));
            // The starting text is judged against the whole list, like typed text.
            f.txtList_Change();
        }
        f.txtList->setSelStart(static_cast<int32_t>(f.txtList->Text().size()));
        f.txtList->SetFocusIfAble();
    });
    if (ready) {
        gFormSettingLeftTopGetMove(f, f.Left(), f.Top(), obError);
        ready = !obError;
    }
    if (ready && trap(20, [&] { f.Show(vbModal); })) {
        trap(30, [&] {
            bool bError = false;
            const QString trimmed = f.mbOK ? gsGTrim(f.txtList->Text(), bError) : QString();
            f.txtList->setText(trimmed);
            ionListPtr = trimmed.isEmpty() ? int16_t(-1) : static_cast<int16_t>(f.lstList->ListIndex());
            name = trimmed;
        });
    }
    unload<frmListAdd>();
    return obError ? QString() : name;
}

bool frmListAdd::mbListed(const QString& isName) const {
    bool bError = false;
    for (int32_t i = 0; i < lstList->ListCount(); ++i)
        if (gsGTrim(lstList->List(i), bError).compare(isName, Qt::CaseInsensitive) == 0) return true;
    for (const QString& kept : mKept)
        if (kept.compare(isName, Qt::CaseInsensitive) == 0) return true;
    return false;
}

// Typing selects the nearest entry; OK is offered only for a name not listed
// anywhere, so that no two records end up sharing one name.
void frmListAdd::txtList_Change() {
    bool bError = false;
    ErrorTrap trap(kModule, "txtList_Change", bError);
    trap(10, [&] {
        const QString trimmed = gsGTrim(txtList->Text(), bError);
        const bool named = !trimmed.isEmpty();
        if (lstList->ListCount() > 0 && named) {
            const int16_t nearest = gnListIncrementalSearch(*lstList, trimmed, bError);
            if (nearest >= 0) lstList->setListIndex(nearest);
        }
        cmdOK->setEnabled(named && !mbListed(trimmed));
    });
}

void frmListAdd::txtList_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii != vbKeyReturn) return;
    if (!cmdOK->SetFocusIfAble()) cmdCancel->SetFocusIfAble();
}

void frmListAdd::lstList_DblClick() {
    if (lstList->ListIndex() < 0) return;
    txtList->setText(lstList->Text());
    txtList->SetFocusIfAble();
}

void frmListAdd::lstList_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == vbKeyReturn) lstList_DblClick();
}

void frmListAdd::cmdOK_Click() {
    mbOK = true;
    Hide();
}

void frmListAdd::cmdCancel_Click() {
    txtList->setText(QString());
    Hide();
}

void frmListAdd::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode != vbKeyEscape) return;
    KeyCode = 0;
    cmdCancel_Click();
}

void frmListAdd::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    bool bError = false;
    gFormSettingLeftTopSave(Name(), Left(), Top(), bError);
}
