#include "engineering/frmMESys.h"
#include "audio/modVOut.h"
#include "common/ErrorTrap.h"
#include "common/WindowRegistry.h"
#include "common/frmAbout.h"
#include "common/modControlCbo.h"
#include "common/modFormPrintBylineEndDoc.h"
#include "common/modGeneral.h"
#include "common/modMVarious.h"
#include "common/modVarSystemParams.h"
#include "engineering/frmMESeq.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MenuTable.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Printer.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"

namespace {
const char* const kModule = "frmMESys";
const QString kMask = QStringLiteral("*");
const QString kStepTip = QStringLiteral("You can use the Arrow or Page keys + Shift and/or CTRL to change the number");
}

frmMESys::frmMESys() : Form(QStringLiteral("frmMESys")) { mLayout(); }

// Every control and menu in twips and the hook-up of their handlers.
void frmMESys::mLayout() {
    setClientSize(6615, 4335);
    setCaption(QStringLiteral("System Maintenance"));

    lblStation = new Label(this, QStringLiteral("lblStation"), 120, 150, 1455, 255, QStringLiteral("St&ation Name"));
    txtStation = new TextBox(this, QStringLiteral("txtStation"), 1680, 120, 1815, 285);
    txtStation->setToolTipText(QStringLiteral("Name to identify the Test Station"));
    txtStation->setMaxLength(12);
    lblPasswords = new Label(this, QStringLiteral("lblPasswords"), 120, 600, 1455, 255, QStringLiteral("Passwords"));
    lblPasswordEng = new Label(this, QStringLiteral("lblPasswordEng"), 240, 930, 1335, 255, QStringLiteral("&Engineer"));
    txtPasswordEng = new TextBox(this, QStringLiteral("txtPasswordEng"), 1680, 900, 1335, 285);
    txtPasswordEng->setToolTipText(QStringLiteral("Enter an Engineer's password"));
    lblPasswordSuper = new Label(this, QStringLiteral("lblPasswordSuper"), 240, 1290, 1335, 255, QStringLiteral("&Supervisor"));
    txtPasswordSuper = new TextBox(this, QStringLiteral("txtPasswordSuper"), 1680, 1260, 1335, 285);
    txtPasswordSuper->setToolTipText(QStringLiteral("Enter a Supervisor's password"));
    for (TextBox* box : {txtPasswordEng, txtPasswordSuper}) {
        box->setMaxLength(8);
        box->setPasswordChar(kMask);
    }
    chkAudioPrompts = new CheckBox(this, QStringLiteral("chkAudioPrompts"), 120, 1740, 1815, 255, QStringLiteral("Audio &Prompts"));
    chkAudioPrompts->setToolTipText(QStringLiteral("Audio Prompts On/Off"));
    chkOpFailCheck = new CheckBox(this, QStringLiteral("chkOpFailCheck"), 120, 2100, 1815, 255, QStringLiteral("Op Fail Chec&k"));
    chkOpFailCheck->setToolTipText(QStringLiteral("Operator Fail Check On/Off"));
    lblOpTimeOut = new Label(this, QStringLiteral("lblOpTimeOut"), 120, 2490, 2055, 255, QStringLiteral("Operator Ti&me Out (mins)"));
    txtOpTimeOut = new TextBox(this, QStringLiteral("txtOpTimeOut"), 2280, 2460, 495, 285);
    txtOpTimeOut->setMaxLength(2);
    lblOpTimeOut->setEnabled(false);
    txtOpTimeOut->setEnabled(false);
    lblDigPort = new Label(this, QStringLiteral("lblDigPort"), 120, 2910, 1335, 255, QStringLiteral("Dig &I/O Port"));
    cboDigPort = new ComboBox(this, QStringLiteral("cboDigPort"), 1680, 2880, 855, 315, vbComboDropdownList);
    cboDigPort->setToolTipText(QStringLiteral("Select a Digital IO board address "));
    for (const char* entry : {"0", "1", "2"}) cboDigPort->AddItem(QString::fromLatin1(entry));
    cboDigPort->setListIndex(-1);   // until the settings choose one
    cmdDigTest = new CommandButton(this, QStringLiteral("cmdDigTest"), 2640, 2850, 1095, 375, QStringLiteral("Test &Dig"));
    cmdDigTest->setToolTipText(QStringLiteral("Test the Digital I/O board"));
    cmdDigTest->setEnabled(false);

    lblVOutSoundboard = new Label(this, QStringLiteral("lblVOutSoundboard"), 3840, 150, 2655, 255, QStringLiteral("Soundboard (Vrms)"));
    txtVOutSoundboard = new TextBox(this, QStringLiteral("txtVOutSoundboard"), 3840, 420, 1215, 285);
    lblVOutAmp = new Label(this, QStringLiteral("lblVOutAmp"), 3840, 1230, 2655, 255, QStringLiteral("Amplifier (Vrms)"));
    txtVOutAmp = new TextBox(this, QStringLiteral("txtVOutAmp"), 3840, 1500, 1215, 285);
    for (TextBox* box : {txtVOutSoundboard, txtVOutAmp}) {
        box->setMaxLength(18);
        box->setToolTipText(kStepTip);
    }
    cmdVOutSoundboardCalibrate = new CommandButton(this, QStringLiteral("cmdVOutSoundboardCalibrate"), 3840, 780, 2655, 375,
                                                   QStringLiteral("Calibrate Soun&dboard"));
    cmdVOutSoundboardCalibrate->setToolTipText(QStringLiteral("Measure the soundboard's output voltage"));
    cmdVOutAmpCalibrate = new CommandButton(this, QStringLiteral("cmdVOutAmpCalibrate"), 3840, 1860, 2655, 375,
                                            QStringLiteral("Calibrate A&mp"));
    cmdVOutAmpCalibrate->setToolTipText(QStringLiteral("Measure the amplifier's output voltage"));
    chkVOutReversedPolarity = new CheckBox(this, QStringLiteral("chkVOutReversedPolarity"), 3840, 2400, 2655, 255,
                                           QStringLiteral("Reversed P&olarity"));
    cmdRecalAllSeqs = new CommandButton(this, QStringLiteral("cmdRecalAllSeqs"), 3840, 2850, 2655, 375,
                                        QStringLiteral(" Re-&cal All Seqs"));
    cmdRecalAllSeqs->setToolTipText(QStringLiteral("Force re-calibration for all Sequences"));

    using R = MenuRow;
    gBuildMenus(this, {
        R::bar(mnuFile, "mnuFile", "&File"),
        R::item(mnuFileSave, "mnuFileSave", "&Save", "Ctrl+S", [this] { mnuFileSave_Click(); }),
        R::separator("mnuFileSep1"),
        R::item(mnuFileReset, "mnuFileReset", "Reset", "Ctrl+R", [this] { mnuFileReset_Click(); }).disabled(),
        R::separator("mnuFileSep2"),
        R::item(mnuFilePrint, "mnuFilePrint", "&Print", "Ctrl+P", [this] { mnuFilePrint_Click(); }),
        R::separator("mnuFileSep3"),
        R::item(mnuFileExit, "mnuFileExit", "E&xit", "Ctrl+X", [this] { mnuFileExit_Click(); }),
        R::bar(mnuWindow, "mnuWindow", "&Window"),
        R::item(mnuWindowVexo, "mnuWindowVexo", "&Vexo", "Ctrl+W", [this] { mnuWindowVexo_Click(); }),
        R::item(mnuWindowSeq, "mnuWindowSeq", "Se&quence", "Ctrl+Q", [this] { mnuWindowSeq_Click(); }),
        R::item(mnuWTest, "mnuWTest", "T&est", "Ctrl+E", [this] { mnuWTest_Click(); }),
        R::separator("mnuWindowSep1"),
        R::item(mnuWindowCloseAllEngineer, "mnuWindowCloseAllEngineer", "Close All En&gineer", "Ctrl+G",
                [this] { mnuWindowCloseAllEngineer_Click(); }),
        R::bar(mnuHelp, "mnuHelp", "&Help"),
        R::item(mnuHelpHelp, "mnuHelpHelp", "Help", "F1", [this] { mnuHelpHelp_Click(); }),
        R::item(mnuHelpAboutVexo, "mnuHelpAboutVexo", "&About Vexo", "", [this] { mnuHelpAboutVexo_Click(); }),
    });

    auto upTo99 = [](NumberBoxRule iRule) {
        iRule.module = kModule;
        iRule.min = [] { return 0.0f; };
        iRule.max = [] { return 99.0f; };
        return iRule;
    };
    mBoxOpTimeOut = upTo99({.box = txtOpTimeOut, .whole = true, .units = QStringLiteral("minutes")});
    mBoxVOutSoundboard = upTo99({.box = txtVOutSoundboard, .step = [] { return 0.01f; }});
    mBoxVOutAmp = upTo99({.box = txtVOutAmp, .step = [] { return 0.01f; }});

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    for (TextBox* box : {txtStation, txtPasswordEng, txtPasswordSuper, txtOpTimeOut, txtVOutSoundboard, txtVOutAmp})
        box->Change = [this] { mMarkChanged(); };
    for (CheckBox* box : {chkAudioPrompts, chkOpFailCheck, chkVOutReversedPolarity}) box->Click = [this] { mMarkChanged(); };
    for (TextBox* box : {txtPasswordEng, txtPasswordSuper}) {
        box->GotFocus = [this, box] { txtPassword_GotFocus(*box); };
        box->LostFocus = [this, box] { txtPassword_LostFocus(*box); };
    }
    for (const NumberBoxRule* rule : {&mBoxOpTimeOut, &mBoxVOutSoundboard, &mBoxVOutAmp}) gNumberBoxBind(*rule);
    // Only the time-out is refused out of range on leaving.
    txtOpTimeOut->Validate = [this](bool& Cancel) { mNumberValidate(mBoxOpTimeOut, Cancel); };
    cmdVOutSoundboardCalibrate->Click = [this] { cmdVOutSoundboardCalibrate_Click(); };
    cmdVOutAmpCalibrate->Click = [this] { cmdVOutAmpCalibrate_Click(); };
    cmdRecalAllSeqs->Click = [this] { cmdRecalAllSeqs_Click(); };
    cmdDigTest->Click = [this] { cmdDigTest_Click(); };
}

void frmMESys::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    if (!trap(10, [&] {
            if (gMainWindowLoaded()) gMainWindow().gbTraboMESysLoaded = true;
            setCaption(QStringLiteral("System Maintenance"));
        }))
        return;
    mFillBoxes(bError);
    if (bError) return;
    if (!trap(50, [&] { Show(); })) return;
    mSetUnlinkedDataResetEnabled(false, bError);
}

// The boxes from the settings; File > Reset runs this again.
void frmMESys::mFillBoxes(bool& obError) {
    ErrorTrap trap(kModule, "Form_Load", obError);
    if (!trap(20, [&] {
            txtPasswordEng->setText(gsPasswordEng);
            txtPasswordSuper->setText(gsPasswordSuper);
            txtStation->setText(gsStationName);
            chkAudioPrompts->setValue(gbAudioPrompts ? vbChecked : vbUnchecked);
        }))
        return;
    int16_t index = -1;
    // A port the list does not offer leaves the selection as it is.
    if (gbCtrlCboListFindString(*cboDigPort, CStr(gnDigPort), index, obError) && !obError)
        trap(25, [&] { cboDigPort->setListIndex(index); });
    if (obError) return;
    if (!trap(30, [&] {
            txtVOutAmp->setText(CStr(gfVOutAmp));
            txtVOutSoundboard->setText(CStr(gfVOutSoundboard));
            chkVOutReversedPolarity->setValue(gbVOutPositivePolarity ? vbUnchecked : vbChecked);
            // Calibrating needs the sound card the main window found at start.
            const bool bMain = gMainWindowLoaded();
            const bool bSound = bMain && gMainWindow().cmdTest->isEnabled();
            cmdVOutSoundboardCalibrate->setEnabled(bSound);
            cmdVOutAmpCalibrate->setEnabled(bSound);
            if (bMain) gMainWindow().cmdSupervisor->setEnabled(false);
        }))
        return;
    if (!trap(40, [&] {
            txtOpTimeOut->setText(CStr(gnOpTimeOut));
            chkOpFailCheck->setValue(gbOpFailCheck ? vbChecked : vbUnchecked);
        }))
        return;
    trap(45, [&] { mnuFilePrint->setEnabled(!Printer.DeviceName().isEmpty()); });
}

void frmMESys::mSetUnlinkedDataResetEnabled(bool ibChanged, bool& obError) {
    ErrorTrap trap(kModule, "mSetUnlinkedDataResetEnabled", obError);
    trap(10, [&] {
        mbChanged = ibChanged;
        mnuFileReset->setEnabled(ibChanged);
    });
}

void frmMESys::mMarkChanged() {
    bool bError = false;
    mSetUnlinkedDataResetEnabled(true, bError);
}

void frmMESys::Form_Unload(int16_t& Cancel) {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    if (mbChanged) {
        bool bAskError = false;
        const int32_t answer = glVarSaveDataPrompt(QStringLiteral("Save the changes to the system parameters"),
                                                   QStringLiteral("System Parameters"), bAskError);
        if (!bAskError) {
            if (answer == vbCancel) {
                Cancel = 1;
                return;
            }
            // A Save that failed keeps the window and its edits.
            if (answer == vbYes && !mbSave()) {
                Cancel = 1;
                return;
            }
        }
    }
    // At shutdown the main window may be gone already; it is not made again for this.
    if (!gMainWindowLoaded()) return;
    frmVexoView& main = gMainWindow();
    trap(20, [&] {
        if (main.gbTraboMESeqLoaded) {
            frmMESeq& editor = form<frmMESeq>();
            if (editor.isVisible() && editor.isEnabled()) editor.activateWindow();
        } else if (main.gbTraboMETestLoaded) {
            Form& editor = gWindowForm(WindowKind::TestEditor);
            if (editor.isVisible() && editor.isEnabled()) editor.activateWindow();
        } else {
            bool bEnableError = false;
            main.gSupervisorCAEEnableSetFocus(bEnableError);
        }
    });
    main.gbTraboMESysLoaded = false;
}

void frmMESys::txtPassword_GotFocus(TextBox& ioBox) { ioBox.setPasswordChar(QString()); }
void frmMESys::txtPassword_LostFocus(TextBox& ioBox) { ioBox.setPasswordChar(kMask); }

void frmMESys::mnuFileReset_Click() {
    bool bError = false;
    mFillBoxes(bError);
    bError = false;
    mSetUnlinkedDataResetEnabled(false, bError);
}

void frmMESys::mnuFilePrint_Click() {
    bool bError = false;
    gFormPrintFormBylineEndDoc(*this, bError);
}

void frmMESys::mnuFileExit_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileExit_Click", bError);
    trap(10, [&] { unload<frmMESys>(); });
}

void frmMESys::mnuWindowVexo_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::Main, bError);
}

void frmMESys::mnuWindowSeq_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::SequenceEditor, bError);
}

void frmMESys::mnuWTest_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::TestEditor, bError);
}

void frmMESys::mnuWindowCloseAllEngineer_Click() {
    bool bError = false;
    gVarEngineerUnloadAll(bError);
}

void frmMESys::mnuHelpHelp_Click() {
    bool bError = false;
    gGShowHelp(static_cast<int32_t>(winId()), bError);
}

void frmMESys::mnuHelpAboutVexo_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuHelpAboutVexo_Click", bError);
    trap(10, [&] { form<frmAbout>().Show(vbModal); });
}
