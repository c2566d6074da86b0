// The calibration interval, limit and file boxes: key filtering and stepping,
// the range check on leaving, and browsing for the sequence's files.
#include "common/ErrorTrap.h"
#include "common/modFileName.h"
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
    auto fromZero = [](NumberBoxRule iRule, float iMax) {
        iRule.module = kModule;
        iRule.min = [] { return 0.0f; };
        iRule.max = [iMax] { return iMax; };
        iRule.trapNamedByBox = true;
        return iRule;
    };
    auto tenths = [] { return 0.1f; };
    auto tenthsFormat = [] { return QStringLiteral("0.0"); };
    mBoxCaliDays = fromZero({.box = txtCaliDays, .whole = true, .units = QStringLiteral("days")}, 99.0f);
    mBoxCaliHours = fromZero({.box = txtCaliHours, .whole = true, .units = QStringLiteral("hours")}, 23.0f);
    mBoxCaliMins = fromZero({.box = txtCaliMins, .whole = true, .units = QStringLiteral("minutes")}, 59.0f);
    mBoxRefLim = fromZero({.box = txtRefLim, .step = tenths, .keyFormat = tenthsFormat, .units = QStringLiteral("dB"),
                           .checkFormat = QStringLiteral("0.0")},
                          9.9f);
    mBoxSelLim = fromZero({.box = txtSelLim, .step = tenths, .keyFormat = tenthsFormat, .units = QStringLiteral("dB"),
                           .checkFormat = QStringLiteral("0.0")},
                          9.9f);
    for (const NumberBoxRule* rule : {&mBoxCaliDays, &mBoxCaliHours, &mBoxCaliMins, &mBoxRefLim, &mBoxSelLim}) {
        gNumberBoxBind(*rule);
        rule->box->Validate = [this, rule](bool& Cancel) { mNumberValidate(*rule, Cancel); };
    }
    // A key in the days or the reference limit offers Reset, whether or not it
    // changes the text.
    for (const NumberBoxRule* rule : {&mBoxCaliDays, &mBoxRefLim})
        rule->box->KeyDown = [this, rule](int16_t& KeyCode, int16_t Shift) {
            if (gbNumberBoxKeyDown(*rule, KeyCode, Shift)) mnuFileReset->setEnabled(true);
        };
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

void frmMESeq::mNumberValidate(const NumberBoxRule& iRule, bool& Cancel) {
    bool bError = false;
    const QByteArray routine = (iRule.box->Name() + QStringLiteral("_Validate")).toLatin1();
    ErrorTrap trap(kModule, routine.constData(), bError);
    // An empty box is 0, which every box takes.
    if (iRule.box->Text().trimmed().isEmpty()) {
        trap(10, [&] { iRule.box->setText(iRule.whole ? kTwoDigits : QStringLiteral("0")); });
        return;
    }
    Cancel = gbNumberBoxInvalid(iRule, bError);
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
