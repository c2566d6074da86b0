// The calibration interval, limit and file boxes: key filtering and stepping,
// the range check on leaving, and browsing for the sequence's files.
#include "common/ErrorTrap.h"
#include "common/modFileName.h"
#include "common/modKeyDown.h"
#include "common/modKeyMouseIncrement.h"
#include "common/modKeyPressAscii.h"
#include "common/modTextBoxError.h"
#include "engineering/SeqCaliTime.h"
#include "engineering/frmMESeq.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/Validation.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include <cmath>

namespace {
const char* const kModule = "frmMESeq";
const QString kTwoDigits = QStringLiteral("00");
}

void frmMESeq::mBindBoxes() {
    mBoxCaliDays = {txtCaliDays, true, 99.0f, 1.0f, QString(), QStringLiteral("days"), QString(), true};
    mBoxCaliHours = {txtCaliHours, true, 23.0f, 1.0f, QString(), QStringLiteral("hours"), QString(), false};
    mBoxCaliMins = {txtCaliMins, true, 59.0f, 1.0f, QString(), QStringLiteral("minutes"), QString(), false};
    mBoxRefLim = {txtRefLim, false, 9.9f, 0.1f, QStringLiteral("0.0"), QStringLiteral("dB"), QStringLiteral("0.0"), true};
    mBoxSelLim = {txtSelLim, false, 9.9f, 0.1f, QStringLiteral("0.0"), QStringLiteral("dB"), QStringLiteral("0.0"), false};
    for (const NumberBox* rule : {&mBoxCaliDays, &mBoxCaliHours, &mBoxCaliMins, &mBoxRefLim, &mBoxSelLim}) {
        rule->box->KeyDown = [this, rule](int16_t& KeyCode, int16_t Shift) { mNumberKeyDown(*rule, KeyCode, Shift); };
        rule->box->KeyPress = [this, rule](int16_t& KeyAscii) { mNumberKeyPress(*rule, KeyAscii); };
        rule->box->KeyUp = [this](int16_t&, int16_t) { mNumberKeyUp(); };
        rule->box->Validate = [this, rule](bool& Cancel) { mNumberValidate(*rule, Cancel); };
    }
    mBoxTarget = {txtTarget, QStringLiteral("Target file for "),
                  QStringLiteral("All Files (*.*)|*.*|Dat Files (*.Dat)|*.Dat"), QStringLiteral("\\TARGETS"), &msTargetDir};
    mBoxPrompt = {txtPrompt, QStringLiteral("Prompt file for "),
                  QStringLiteral("All Files (*.*)|*.*|Text Files (*.Txt)|*.Txt"), QStringLiteral("\\Prompts"), &msPromptDir};
    mBoxScript = {txtScript, QStringLiteral("Script file for "),
                  QStringLiteral("Script Files (*.Scr)|*.Scr|All Files (*.*)|*.*|Text Files (*.Txt)|*.Txt"),
                  QStringLiteral("\\Scripts"), &msScriptDir};
    for (const FileBox* rule : {&mBoxTarget, &mBoxPrompt, &mBoxScript})
        rule->box->DblClick = [this, rule] { mFileDblClick(*rule); };
}

void frmMESeq::mNumberKeyDown(const NumberBox& iRule, int16_t& KeyCode, int16_t Shift) {
    bool bError = false;
    const QByteArray routine = (iRule.box->Name() + QStringLiteral("_KeyDown")).toLatin1();
    ErrorTrap trap(kModule, routine.constData(), bError);
    const QString text = gsKeyDown(KeyCode, Shift, iRule.box->Text(), iRule.max, 0.0f, iRule.step, iRule.keyFormat, bError);
    if (bError) return;
    // Written back only when it differs, so the caret stays where the engineer put it.
    trap(10, [&] {
        if (text != iRule.box->Text()) iRule.box->setText(text);
        if (iRule.resetOnAnyKey) mnuFileReset->setEnabled(true);
    });
}

void frmMESeq::mNumberKeyPress(const NumberBox& iRule, int16_t& KeyAscii) {
    bool bError = false;
    const QByteArray routine = (iRule.box->Name() + QStringLiteral("_KeyPress")).toLatin1();
    ErrorTrap trap(kModule, routine.constData(), bError);
    trap(10, [&] {
        KeyAscii = iRule.whole ? gnKeyPressAsciiInteger(KeyAscii, 0, bError)
                               : gnKeyPressAsciiReal(KeyAscii, iRule.box->Text(), 0.0f, bError);
    });
    if (bError) KeyAscii = 0;
}

void frmMESeq::mNumberKeyUp() { gbKeyMouseIncrementActive = false; }

void frmMESeq::mNumberValidate(const NumberBox& iRule, bool& Cancel) {
    bool bError = false;
    const QByteArray routine = (iRule.box->Name() + QStringLiteral("_Validate")).toLatin1();
    ErrorTrap trap(kModule, routine.constData(), bError);
    // An empty box is 0, which every box takes.
    if (iRule.box->Text().trimmed().isEmpty()) {
        trap(10, [&] { iRule.box->setText(iRule.whole ? kTwoDigits : QStringLiteral("0")); });
        return;
    }
    Cancel = gbTextBoxError(iRule.max, 0.0f, false, iRule.units, iRule.checkFormat, *iRule.box, bError);
    if (Cancel || bError || !iRule.whole) return;
    trap(20, [&] {
        const double whole = std::nearbyint(Val(iRule.box->Text()));
        const QString shown = Format(whole, kTwoDigits);
        if (shown != iRule.box->Text()) iRule.box->setText(shown);
    });
}

void frmMESeq::mFileDblClick(const FileBox& iRule) {
    bool bError = false;
    const QByteArray routine = (iRule.box->Name() + QStringLiteral("_DblClick")).toLatin1();
    ErrorTrap trap(kModule, routine.constData(), bError);
    if (!trap(10, [&] {
            dlgCommon->setDialogTitle(iRule.title + dcboSeq->Text());
            dlgCommon->setFlags(4);
            dlgCommon->setFilter(iRule.filter);
            dlgCommon->setFilterIndex(1);
            dlgCommon->setFileName(iRule.box->Text());
            dlgCommon->setInitDir(iRule.folder->isEmpty() ? appinfo::programFolder() + iRule.defaultFolder
                                                          : *iRule.folder);
            dlgCommon->setFlags(0x100C);
        }))
        return;
    if (!trap(20, [&] { dlgCommon->ShowOpen(); })) return;
    const QString folder = gsFileSpecPath(dlgCommon->FileName(), bError);
    if (bError) return;
    trap(30, [&] {
        *iRule.folder = folder;
        iRule.box->setText(dlgCommon->FileName());
    });
}

bool frmMESeq::mbFocusedBoxAccepts() { return Validation::allowFocusMove(*this, nullptr); }
