#include "supervisor/frmMTypical.h"
#include "common/ErrorTrap.h"
#include "common/frmAbout.h"
#include "common/modGeneral.h"
#include "platform/os/Settings.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MenuTable.h"
#include "station/frmVexoView.h"
#include "supervisor/TypicalMath.h"
#include <cmath>

namespace {
const char* const kModule = "frmMTypical";

// The stored options: key suffix, button and default, in the order they are read.
struct StoredOption {
    const char* key;
    OptionButton* frmMTypical::*option;
    bool fallback;
};
const StoredOption kOptions[] = {
    {".optSimpleAveraging", &frmMTypical::optSimpleAveraging, true},
    {".optSquaredAveraging", &frmMTypical::optSquaredAveraging, false},
    {".optFourthAveraging", &frmMTypical::optFourthAveraging, false},
    {".optAverageIdeal", &frmMTypical::optAverageIdeal, true},
    {".optEnvelopeIdeal", &frmMTypical::optEnvelopeIdeal, false},
};
const char* const kBatchMinKey = ".txtTypBatchMin";

QString trueFalse(bool iValue) { return iValue ? QStringLiteral("True") : QStringLiteral("False"); }
}

frmMTypical::frmMTypical() : Form(QStringLiteral("frmMTypical")) { mLayout(); }

void frmMTypical::mLayout() {
    setClientSize(4215, 2535);
    setCaption(QStringLiteral("Typical"));
    lblTypBatchMin = new Label(this, QStringLiteral("lblTypBatchMin"), 120, 150, 1335, 255, QStringLiteral("Min Batch Size"));
    txtTypBatchMin = new TextBox(this, QStringLiteral("txtTypBatchMin"), 1560, 120, 555, 285);
    txtTypBatchMin->setMaxLength(3);
    txtTypBatchMin->setToolTipText(
        QStringLiteral("You can use the Arrow or Page keys + Shift and/or CTRL to change the number"));
    updTypBatchMin = new UpDown(this, QStringLiteral("updTypBatchMin"), 2115, 120, 240, 285);
    updTypBatchMin->setToolTipText(QStringLiteral("Click to change the number"));
    updTypBatchMin->setBuddy(txtTypBatchMin);
    updTypBatchMin->setMin(2);
    updTypBatchMin->setMax(999);
    updTypBatchMin->setValue(20);

    fraAveraging = new Frame(this, QStringLiteral("fraAveraging"), 120, 600, 1815, 1215, QStringLiteral("Averaging"));
    optSimpleAveraging = new OptionButton(fraAveraging, QStringLiteral("optSimpleAveraging"), 120, 240, 1575, 255, QStringLiteral("&Simple"));
    optSquaredAveraging = new OptionButton(fraAveraging, QStringLiteral("optSquaredAveraging"), 120, 540, 1575, 255, QStringLiteral("S&quared"));
    optFourthAveraging = new OptionButton(fraAveraging, QStringLiteral("optFourthAveraging"), 120, 840, 1575, 255, QStringLiteral("&Fourth"));
    fraIdeal = new Frame(this, QStringLiteral("fraIdeal"), 2160, 600, 1935, 915, QStringLiteral("Ideal"));
    optAverageIdeal = new OptionButton(fraIdeal, QStringLiteral("optAverageIdeal"), 120, 240, 1695, 255, QStringLiteral("A&verage"));
    optEnvelopeIdeal = new OptionButton(fraIdeal, QStringLiteral("optEnvelopeIdeal"), 120, 540, 1695, 255, QStringLiteral("Envelo&pe"));
    cmdDoTypical = new CommandButton(this, QStringLiteral("cmdDoTypical"), 2160, 1680, 1455, 375, QStringLiteral("Do T&ypical"));

    using R = MenuRow;
    gBuildMenus(this, {
        R::bar(mnuFile, "mnuFile", "&File"),
        R::item(mnuFileExit, "mnuFileExit", "E&xit", "Ctrl+X", [] { unload<frmMTypical>(); }),
        R::bar(mnuHelp, "mnuHelp", "&Help"),
        R::item(mnuHelpHelp, "mnuHelpHelp", "Help", "F1", [this] { mnuHelpHelp_Click(); }),
        R::item(mnuHelpAboutVexo, "mnuHelpAboutVexo", "&About Vexo", "", [this] { mnuHelpAboutVexo_Click(); }),
    });

    // What the window starts with when the stored settings are not read (the region changed).
    txtTypBatchMin->setText(QStringLiteral("20"));
    optSimpleAveraging->setValue(true);
    optAverageIdeal->setValue(true);

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    txtTypBatchMin->Change = [this] { txtTypBatchMin_Change(); };
    mRuleTypBatchMin = {.box = txtTypBatchMin, .module = kModule, .whole = true, .min = [] { return 2.0f; },
                        .max = [] { return 999.0f; }};
    gNumberBoxBind(mRuleTypBatchMin);
    txtTypBatchMin->Validate = [this](bool& Cancel) { txtTypBatchMin_Validate(Cancel); };
    // An option only makes the printed explanation stale: nothing is recomputed until Do Typical.
    for (OptionButton* o : {optSimpleAveraging, optSquaredAveraging, optFourthAveraging, optAverageIdeal, optEnvelopeIdeal})
        o->Click = [this] { mClearPrinted(); };
    cmdDoTypical->Click = [this] { cmdDoTypical_Click(); };
}

void frmMTypical::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    if (!trap(10, [&] {
            frmVexoView& main = gMainWindow();
            main.gbTraboMTypicalLoaded = true;
            setCaption(QStringLiteral("Typical"));
            Move(main.Left() - 200, main.Top() + main.Height() - Height() + 200);
        }))
        return;
    mSettingsRead(bError);
    if (!bError) gReadBatchDoTypical(bError);
}

// The stored box and options; their assignments run the change handlers as a user's would.
void frmMTypical::mSettingsRead(bool& obError) {
    ErrorTrap trap(kModule, "mSettingsRead", obError);
    if (gbUserRegionChanged) return;
    const QString stored = gsGGetSettingValidNumber(Name() + QLatin1String(kBatchMinKey), 20.0f, obError);
    if (obError) return;
    trap(10, [&] {
        // A value stored outside 2..999 (the box left by Exit without its check) would empty the run.
        txtTypBatchMin->setText(QString::number(typicalmath::batchMinimum(stored)));
        for (const StoredOption& o : kOptions) {
            const QString value = userSetting(Name() + QLatin1String(o.key), trueFalse(o.fallback));
            (this->*o.option)->setValue(value.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0);
        }
    });
}

void frmMTypical::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    trap(10, [&] {
        saveUserSetting(Name() + QLatin1String(kBatchMinKey), txtTypBatchMin->Text());
        for (const StoredOption& o : kOptions)
            saveUserSetting(Name() + QLatin1String(o.key), trueFalse((this->*o.option)->Value()));
    });
    // At shutdown the main window may be gone already; it is not made again for this.
    if (!gMainWindowLoaded()) return;
    trap(20, [&] { gMainWindow().gbTraboMTypicalLoaded = false; });
}

// The explanation printed on the main window goes; the curves on its graph stay.
void frmMTypical::mClearPrinted() {
    if (!gMainWindowLoaded()) return;
    bool bError = false;
    ErrorTrap trap(kModule, "mClearPrinted", bError);
    trap(10, [&] { formSurface(gMainWindow()).Cls(); });
}

void frmMTypical::txtTypBatchMin_Change() {
    mClearPrinted();
    bool bError = false;
    ErrorTrap trap(kModule, "txtTypBatchMin_Change", bError);
    trap(10, [&] {
        const int32_t n = static_cast<int32_t>(std::lround(txtTypBatchMin->Text().trimmed().toDouble()));
        if (n >= updTypBatchMin->Min() && n <= updTypBatchMin->Max() && updTypBatchMin->Value() != n)
            updTypBatchMin->setValue(n);
    });
}

void frmMTypical::txtTypBatchMin_Validate(bool& Cancel) {
    bool bError = false;
    Cancel = gbNumberBoxInvalid(mRuleTypBatchMin, bError);
}

void frmMTypical::cmdDoTypical_Click() {
    bool bError = false;
    gDoTypical(bError);
}

void frmMTypical::mnuHelpHelp_Click() {
    bool bError = false;
    gGShowHelp(static_cast<int32_t>(winId()), bError);
}

void frmMTypical::mnuHelpAboutVexo_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuHelpAboutVexo_Click", bError);
    trap(10, [&] { form<frmAbout>().Show(vbModal); });
}
