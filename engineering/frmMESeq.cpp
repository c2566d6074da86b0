#include "engineering/frmMESeq.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/WindowRegistry.h"
#include "common/frmAbout.h"
#include "common/modForm.h"
#include "common/modFormPrintBylineEndDoc.h"
#include "common/modGeneral.h"
#include "common/modMVarious.h"
#include "engineering/frmMESys.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"
#include "platform/ui/MenuTable.h"
#include "platform/ui/Printer.h"
#include "station/frmVexoView.h"

namespace {
const char* const kModule = "frmMESeq";
const QString kBrowseTip = QStringLiteral("Double click to browse");
}

frmMESeq::frmMESeq() : Form(QStringLiteral("frmMESeq")) { mLayout(); }

// Every control and menu in twips and the hook-up of their handlers.
void frmMESeq::mLayout() {
    setClientSize(7815, 5400);
    setCaption(QStringLiteral("Sequence Maintenance"));

    dcboSeq = new DataCombo(this, QStringLiteral("dcboSeq"), 120, 120, 3375, 315, vbComboDropdownList);
    dcboSeq->setRowSource(&dtaSeq);
    dcboSeq->setListField(QStringLiteral("Seq_Name"));
    dcboSeq->setToolTipText(QStringLiteral("Select Sequence (Ctrl+M)"));
    lblLabel1 = new Label(this, QStringLiteral("lblLabel1"), 3720, 150, 3900, 255);
    lblLabel1->setDataSource(&dtaSeq);
    lblLabel1->setDataField(QStringLiteral("Seq_Name"));

    lstTest = new ListBox(this, QStringLiteral("lstTest"), 120, 600, 2400, 3960);
    lstTest->setToolTipText(QStringLiteral("Sequence test list"));
    cmdTestAdd = new CommandButton(this, QStringLiteral("cmdTestAdd"), 2640, 600, 975, 375, QStringLiteral("&Add"));
    cmdTestAdd->setToolTipText(QStringLiteral("Add test to the sequence list"));
    cmdTestDel = new CommandButton(this, QStringLiteral("cmdTestDel"), 2640, 1080, 975, 375, QStringLiteral("De&lete"));
    cmdTestDel->setToolTipText(QStringLiteral("Delete the selected test from the sequence list"));
    cmdTestUp = new CommandButton(this, QStringLiteral("cmdTestUp"), 2640, 1560, 975, 375, QStringLiteral("&Up"));
    cmdTestUp->setToolTipText(QStringLiteral("Move the selected test up the sequence list"));
    cmdTestDown = new CommandButton(this, QStringLiteral("cmdTestDown"), 2640, 2040, 975, 375, QStringLiteral("Do&wn"));
    cmdTestDown->setToolTipText(QStringLiteral("Move the selected test down the sequence list"));

    lblCaliTime = new Label(this, QStringLiteral("lblCaliTime"), 3840, 630, 1800, 255, QStringLiteral("Cali Time (&d:h:m)"));
    txtCaliDays = new TextBox(this, QStringLiteral("txtCaliDays"), 5760, 600, 555, 285);
    txtCaliDays->setToolTipText(QStringLiteral("Calibration time (days)"));
    txtCaliHours = new TextBox(this, QStringLiteral("txtCaliHours"), 6360, 600, 555, 285);
    txtCaliHours->setToolTipText(QStringLiteral("Calibration time (hours)"));
    txtCaliMins = new TextBox(this, QStringLiteral("txtCaliMins"), 6960, 600, 555, 285);
    txtCaliMins->setToolTipText(QStringLiteral("Calibration time (minutes)"));

    lblRefLim = new Label(this, QStringLiteral("lblRefLim"), 3840, 1050, 1800, 255, QStringLiteral("&Ref Search (dB)"));
    txtRefLim = new TextBox(this, QStringLiteral("txtRefLim"), 5760, 1020, 555, 285);
    txtRefLim->setToolTipText(QStringLiteral("Reference search starting limit (dB)"));
    lblSelLim = new Label(this, QStringLiteral("lblSelLim"), 3840, 1470, 1800, 255, QStringLiteral("Sele&ction (dB) "));
    txtSelLim = new TextBox(this, QStringLiteral("txtSelLim"), 5760, 1440, 555, 285);
    txtSelLim->setToolTipText(QStringLiteral("Selection limit (dB)"));

    lblDiscLog = new Label(this, QStringLiteral("lblDiscLog"), 3840, 1890, 1800, 255, QStringLiteral("Disc Lo&g"));
    cboDiscLog = new ComboBox(this, QStringLiteral("cboDiscLog"), 5760, 1860, 1095, 315, vbComboDropdownList);
    lblSerialise = new Label(this, QStringLiteral("lblSerialise"), 3840, 2310, 1800, 255, QStringLiteral("&Serialise"));
    cboSerialise = new ComboBox(this, QStringLiteral("cboSerialise"), 5760, 2280, 1095, 315, vbComboDropdownList);
    for (ComboBox* box : {cboDiscLog, cboSerialise}) {
        box->AddItem(QStringLiteral("None"));
        box->AddItem(QStringLiteral("Pass"));
    }

    lblTarget = new Label(this, QStringLiteral("lblTarget"), 120, 4680, 1200, 255, QStringLiteral("&Target File "));
    txtTarget = new TextBox(this, QStringLiteral("txtTarget"), 1320, 4650, 6375, 285);
    lblPrompt = new Label(this, QStringLiteral("lblPrompt"), 3840, 2910, 1200, 255, QStringLiteral("Pr&ompt File "));
    txtPrompt = new TextBox(this, QStringLiteral("txtPrompt"), 3840, 3180, 3855, 285);
    lblScript = new Label(this, QStringLiteral("lblScript"), 3840, 3600, 1200, 255, QStringLiteral("Scr&ipt File "));
    txtScript = new TextBox(this, QStringLiteral("txtScript"), 3840, 3870, 3855, 285);

    // The boxes the data control keeps: the limits, the files and the two choices.
    const QList<QPair<BoundControl*, const char*>> bound{
        {txtRefLim, "Ref_Lim"},       {txtSelLim, "Sel_Lim"},       {txtTarget, "Target_File"},
        {txtPrompt, "Prompt_File"},   {txtScript, "Script_File"},   {cboDiscLog, "Log_Disc"},
        {cboSerialise, "Serial_Flag"}};
    for (const auto& [control, field] : bound) {
        control->setDataSource(&dtaSeq);
        control->setDataField(QString::fromLatin1(field));
    }
    for (TextBox* box : {txtTarget, txtPrompt, txtScript}) box->setToolTipText(kBrowseTip);
    dlgCommon = new CommonDialog(this, QStringLiteral("dlgCommon"));

    using R = MenuRow;
    gBuildMenus(this, {
        R::bar(mnuFile, "mnuFile", "&File"),
        R::item(mnuFileSelect, "mnuFileSelect", "Select", "Ctrl+M", [this] { mnuFileSelect_Click(); }),
        R::separator("mnuFileSep1"),
        R::item(mnuFileNew, "mnuFileNew", "&New", "Ctrl+N", [this] { mnuFileNew_Click(); }),
        R::item(mnuFileDelete, "mnuFileDelete", "&Delete", "Ctrl+D", [this] { mnuFileDelete_Click(); }),
        R::item(mnuFileSave, "mnuFileSave", "&Save", "Ctrl+S", [this] { mnuFileSave_Click(); }),
        R::item(mnuFileSaveAs, "mnuFileSaveAs", "Save &As", "Ctrl+A", [this] { mnuFileSaveAs_Click(); }),
        R::separator("mnuFileSep2"),
        R::item(mnuFileReset, "mnuFileReset", "R&eset", "Ctrl+R", [this] { mnuFileReset_Click(); }).disabled(),
        R::separator("mnuFileSep3"),
        R::item(mnuFilePrint, "mnuFilePrint", "&Print", "Ctrl+P", [this] { mnuFilePrint_Click(); }),
        R::separator("mnuFileSep4"),
        R::item(mnuFileDeleteUnusedTests, "mnuFileDeleteUnusedTests", "Delete &Unused Tests", "Ctrl+U",
                [this] { mnuFileDeleteUnusedTests_Click(); }),
        R::separator("mnuFileSep5"),
        R::item(mnuFileExit, "mnuFileExit", "E&xit", "", [this] { mnuFileExit_Click(); }),
        R::bar(mnuPairTyp, "mnuPairTyp", "&PairTyp"),
        // Nothing enables pair matching from here.
        R::item(mnuPairTypPairMatch, "mnuPairTypPairMatch", "&Pair Match").disabled(),
        R::separator("mnuPairTypSep1"),
        R::item(mnuPairTypMakeTypical, "mnuPairTypMakeTypical", "Make Typical", "",
                [this] { mnuPairTypMakeTypical_Click(); }),
        R::item(mnuPairTypDoTypical, "mnuPairTypDoTypical", "Do Typical", "", [this] { mnuPairTypDoTypical_Click(); }),
        R::bar(mnuWindow, "mnuWindow", "&Window"),
        R::item(mnuWindowVexo, "mnuWindowVexo", "&Vexo", "Ctrl+W", [this] { mnuWVexo_Click(); }),
        R::item(mnuWindowTest, "mnuWindowTest", "T&est", "Ctrl+E", [this] { mnuWindowTest_Click(); }),
        R::item(mnuWindowSystem, "mnuWindowSystem", "S&ystem", "Ctrl+Y", [this] { mnuWindowSystem_Click(); }),
        R::separator("mnuWindowSep1"),
        R::item(mnuWindowCloseAllEngineer, "mnuWindowCloseAllEngineer", "Close All En&gineer", "Ctrl+G",
                [this] { mnuWindowCloseAllEngineer_Click(); }),
        R::bar(mnuHelp, "mnuHelp", "&Help"),
        R::item(mnuHelpHelp, "mnuHelpHelp", "Help", "F1", [this] { mnuHelpHelp_Click(); }),
        R::item(mnuHelpAboutVexo, "mnuHelpAboutVexo", "&About Vexo", "", [this] { mnuHelpAboutVexo_Click(); }),
    });

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    dtaSeq.onReposition = [this] { dtaSeq_Reposition(); };
    dtaSeq.onValidate = [this](int& Action, bool& Save) { dtaSeq_Validate(Action, Save); };
    // A pick raises Click, a text set in code Change: the selection rule runs on either.
    dcboSeq->Click = [this] { dcboSeq_Change(); };
    dcboSeq->Change = [this] { dcboSeq_Change(); };
    dcboSeq->KeyDown = [this](int16_t& KeyCode, int16_t Shift) { dcboSeq_KeyDown(KeyCode, Shift); };
    cboDiscLog->Click = [this] { cboDiscLog_Change(); };
    cboDiscLog->Change = [this] { cboDiscLog_Change(); };
    cboSerialise->Click = [this] { cboSerialise_Change(); };
    cboSerialise->Change = [this] { cboSerialise_Change(); };
    for (TextBox* box : {txtCaliDays, txtCaliHours, txtCaliMins}) box->Change = [this] { txtCali_Change(); };
    txtSelLim->Change = [this] { txtSelLim_Change(); };
    for (TextBox* box : {txtTarget, txtPrompt, txtScript}) box->Change = [this] { txtFile_Change(); };
    lstTest->Click = [this] { lstTest_Click(); };
    lstTest->DblClick = [this] { lstTest_DblClick(); };
    lstTest->KeyDown = [this](int16_t& KeyCode, int16_t Shift) { lstTest_KeyDown(KeyCode, Shift); };
    lstTest->KeyPress = [this](int16_t& KeyAscii) { lstTest_KeyPress(KeyAscii); };
    cmdTestAdd->Click = [this] { cmdTestAdd_Click(); };
    cmdTestDel->Click = [this] { cmdTestDel_Click(); };
    cmdTestUp->Click = [this] { cmdTestUp_Click(); };
    cmdTestDown->Click = [this] { cmdTestDown_Click(); };
    mBindBoxes();
}

void frmMESeq::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    frmVexoView& main = gMainWindow();
    if (!trap(10, [&] { main.gbTraboMESeqLoaded = true; })) return;
    if (!trap(20, [&] { mnuFilePrint->setEnabled(!Printer.DeviceName().isEmpty()); })) return;
    gFormSettingLeftTopGetMove(*this, 1000, 400, bError);
    if (bError) return;
    if (!trap(40, [&] { Show(); })) return;
    if (!trap(50, [&] {
            dtaSeq.setDatabaseName(appinfo::programFolder() + QStringLiteral("\\Vexo_Seq.mdb"));
            dtaSeq.setRecordSource(QStringLiteral("Vexo_seq"));
            dtaCrv.setDatabaseName(appinfo::programFolder() + QStringLiteral("\\Vexo_Crv.mdb"));
            dtaCrv.setRecordSource(QStringLiteral("vexo_crv"));
            dtaCrv.Refresh();
        }))
        return;
    bool bStopped = false;   // an error stopped the load at a sequence
    {
        // Loading moves through the rows without saving them; the first move to
        // the main window's sequence runs the sequence flow.
        FlagHold dontSave(mbDontSave);
        FlagHold dontProcess(mbDontProcess);
        bool bAny = false;
        bStopped = !trap(60, [&] {
            dtaSeq.Refresh();
            dcboSeq->ReFill();
            // A new station has no sequence yet: nothing to move to or show.
            bAny = dtaSeq.Recordset().RecordCount() > 0;
            if (bAny) dtaSeq.Recordset().MoveLast();
            mnuFileDelete->setEnabled(dtaSeq.Recordset().RecordCount() >= 2);
        });
        if (bStopped) {
            // Shown below, once the load's flags are given back.
        } else if (bAny) {
            dontProcess.restore();
            bStopped = !trap(70, [&] {
                dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(main.dcboSeq->Text()));
                if (dtaSeq.Recordset().NoMatch()) dtaSeq.Recordset().MoveFirst();
            });
        } else {
            dontProcess.restore();
            mShowSweepPresent(bError);
            bError = false;
            mShowTestListButtons(bError);
            bError = false;
            trap(75, [&] {
                for (Menu* item : {mnuFileSelect, mnuFileDelete, mnuFileSave, mnuFileSaveAs, mnuFileReset, mnuFilePrint,
                                   mnuPairTyp})
                    item->setEnabled(false);
            });
        }
    }
    if (bStopped) {
        // The sequence the load reached is shown whole, tests and all, or is
        // marked shown in part so that it is never saved over its tests.
        bool bCurrent = false;
        trap(80, [&] { bCurrent = dtaSeq.Recordset().isOpen() && dtaSeq.Recordset().AbsolutePosition() >= 0; });
        if (bCurrent) dtaSeq_Reposition();
        return;
    }
    trap(90, [&] { main.cmdSupervisor->setEnabled(false); });
}

void frmMESeq::Form_Unload(int16_t& Cancel) {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    // A box holding a value it refuses keeps the window open.
    if (!mbFocusedBoxAccepts()) {
        Cancel = 1;
        return;
    }
    // The data control's save question: Cancel keeps the window and its edits.
    bool bClosed = true;
    trap(5, [&] { bClosed = dtaSeq.Unload(); });
    if (!bClosed) {
        Cancel = 1;
        return;
    }
    gFormSettingLeftTopSave(Name(), Left(), Top(), bError);
    bError = false;
    frmVexoView& main = gMainWindow();
    trap(20, [&] {
        if (main.gbTraboMETestLoaded) {
            Form& editor = gWindowForm(WindowKind::TestEditor);
            if (editor.isVisible() && editor.Enabled()) editor.activateWindow();
        } else if (main.gbTraboMESysLoaded) {
            frmMESys& system = form<frmMESys>();
            if (system.isVisible() && system.Enabled()) system.activateWindow();
        } else {
            bool bEnableError = false;
            main.gSupervisorCAEEnableSetFocus(bEnableError);
        }
    });
    main.gbTraboMESeqLoaded = false;
}

// The Delete key acts as File > Delete, and only while that item is enabled,
// so that the last sequence can never be deleted from the keyboard.
void frmMESeq::dcboSeq_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode != vbKeyDelete) return;
    if (mnuFileDelete->Enabled()) mnuFileDelete_Click();
}

void frmMESeq::mnuFileSelect_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileSelect_Click", bError);
    trap(10, [&] { dcboSeq->SetFocusIfAble(); });
}

void frmMESeq::mnuFilePrint_Click() {
    bool bError = false;
    gFormPrintFormBylineEndDoc(*this, bError);
}

void frmMESeq::mnuFileExit_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileExit_Click", bError);
    trap(10, [&] { unload<frmMESeq>(); });
}

void frmMESeq::mnuWVexo_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::Main, bError);
}

void frmMESeq::mnuWindowTest_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::TestEditor, bError);
}

void frmMESeq::mnuWindowSystem_Click() {
    bool bError = false;
    gVarEngineerOpen(WindowKind::SystemWindow, bError);
}

void frmMESeq::mnuWindowCloseAllEngineer_Click() {
    bool bError = false;
    gVarEngineerUnloadAll(bError);
}

void frmMESeq::mnuHelpHelp_Click() {
    bool bError = false;
    gGShowHelp(static_cast<int32_t>(winId()), bError);
}

void frmMESeq::mnuHelpAboutVexo_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuHelpAboutVexo_Click", bError);
    trap(10, [&] { form<frmAbout>().Show(vbModal); });
}
