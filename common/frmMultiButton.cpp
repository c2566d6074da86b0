#include "common/frmMultiButton.h"
#include "common/ErrorTrap.h"
#include "common/modForm.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"

namespace {
const char* kModule = "frmMultiButton";
}

frmMultiButton::frmMultiButton() : Form(QStringLiteral("frmMultiButton")) {
    setClientSize(6855, 900);
    setKeyPreview(true);
    for (int16_t i = 0; i < kButtons; ++i) {
        cmdCmd.add(i, new CommandButton(this, QStringLiteral("cmdCmd"), 720 + 1440 * i, 240, 1095, 375));
        cmdCmd(i).Click = [this, i] { cmdCmd_Click(i); };
    }
    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
}

QString frmMultiButton::gsMultiButton(const QStringList& iasArray, int16_t inButtonPtr, const QString& isHeader,
                                      int32_t& ionLeft, int32_t& ionTop, bool& obError) {
    const int32_t upper = static_cast<int32_t>(iasArray.size()) - 1;
    if (upper < 1 || upper > kButtons) {
        gMsgBox(QStringLiteral("Faulty input array (iasArray$)"), vbExclamation,
                QStringLiteral("frmMultiButton.gsMultiButton"));
        return QString();
    }
    ErrorTrap trap(kModule, "gsMultiButton", obError);
    QString letter;
    if (isLoaded<frmMultiButton>()) unload<frmMultiButton>();
    frmMultiButton& f = form<frmMultiButton>();
    gbFormMoveOnScreen(f, ionLeft, ionTop, obError);
    bool ready = !obError;
    if (ready) {
        f.masLetter = QStringList(upper + 1);
        for (int16_t i = 1; i <= upper && ready; ++i) {
            ready = trap(10, [&] { f.cmdCmd(i - 1).setCaption(iasArray.at(i)); });
            const QString l = ready ? msLetterAfterAmpersand(iasArray.at(i), obError) : QString();
            ready = ready && !obError;
            if (ready) f.masLetter[i] = l.toUpper();
        }
    }
    if (ready) {
        ready = trap(20, [&] {
            // Each unused button leaves the window narrower by its width.
            for (int16_t i = static_cast<int16_t>(upper); i < kButtons; ++i) {
                f.cmdCmd(i).setVisible(false);
                f.setWidth(f.Width() - f.cmdCmd(i).Width());
            }
            f.setCaption(isHeader);
        });
    }
    if (ready && trap(30, [&] {
            f.Show();
            if (inButtonPtr >= 1 && inButtonPtr <= upper) f.cmdCmd(inButtonPtr - 1).SetFocusIfAble();
            f.Hide();
            f.Show(vbModal);
        })) {
        trap(40, [&] {
            ionLeft = f.Left();
            ionTop = f.Top();
            if (f.mnPressed >= 0) letter = msLetterAfterAmpersand(f.cmdCmd(f.mnPressed).Caption(), obError);
        });
    }
    unload<frmMultiButton>();
    return obError ? QString() : letter;
}

QString frmMultiButton::msLetterAfterAmpersand(const QString& isCaption, bool& obError) {
    ErrorTrap trap(kModule, "msLetterAfterAmpersand", obError);
    QString letter;
    trap(10, [&] {
        const qsizetype at = isCaption.indexOf(QLatin1Char('&'));
        if (at >= 0) letter = isCaption.mid(at + 1, 1);
    });
    return letter;
}

void frmMultiButton::cmdCmd_Click(int16_t Index) {
    mnPressed = Index;
    Hide();
}

// Home and End go to the first and last button; a caption's letter presses its
// button; Esc closes without a choice, like the close box.
void frmMultiButton::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    const int16_t last = static_cast<int16_t>(masLetter.size() - 2);
    if (KeyCode == vbKeyEnd) {
        if (last >= 0) cmdCmd(last).SetFocusIfAble();
    } else if (KeyCode == vbKeyHome) {
        cmdCmd(0).SetFocusIfAble();
    } else if (KeyCode == vbKeyEscape) {
        KeyCode = 0;
        Hide();
    } else {
        const QString typed(QChar(static_cast<char16_t>(KeyCode)));
        for (qsizetype j = 1; j < masLetter.size(); ++j) {
            if (!masLetter.at(j).isEmpty() && masLetter.at(j) == typed) {
                KeyCode = 0;
                mnPressed = static_cast<int16_t>(j - 1);
                Hide();
                return;
            }
        }
    }
}
