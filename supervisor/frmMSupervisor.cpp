#include "supervisor/frmMSupervisor.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/frmAbout.h"
#include "common/modForm.h"
#include "common/modGeneral.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MenuTable.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"
#include "supervisor/frmMPairMatch.h"
#include "supervisor/frmMTypical.h"

namespace {
const char* const kModule = "frmMSupervisor";
const char* const kLevels[] = {"Expert", "Intermediate", "Starter"};
}

frmMSupervisor::frmMSupervisor() : Form(QStringLiteral("frmMSupervisor")) { mLayout(); }

void frmMSupervisor::mLayout() {
    setClientSize(4335, 2415);
    setCaption(QStringLiteral("Supervisor"));
    dcboOperator = new DataCombo(this, QStringLiteral("dcboOperator"), 120, 120, 2400, 315);
    dcboOperator->setRowSource(&dtaOperator);
    dcboOperator->setListField(QStringLiteral("Operator"));
    dcboOperator->setToolTipText(QStringLiteral("Select Operator (Ctrl+O)"));
    lblData = new Label(this, QStringLiteral("lblData"), 2640, 150, 1575, 255);
    lblData->setDataSource(&dtaOperator);
    lblData->setDataField(QStringLiteral("Operator"));
    fraUserLevel = new Frame(this, QStringLiteral("fraUserLevel"), 120, 600, 2400, 1215, QStringLiteral("User Level"));
    const char* const captions[] = {"&Expert", "&Intermediate", "&Starter"};
    for (int16_t i = 0; i < 3; ++i) {
        optUserLevel.add(i, new OptionButton(fraUserLevel, QStringLiteral("optUserLevel"), 120, 240 + 300 * i, 2100, 255,
                                             QString::fromLatin1(captions[i])));
        optUserLevel(i).Click = [this, i] { optUserLevel_Click(i); };
    }

    using R = MenuRow;
    gBuildMenus(this, {
        R::bar(mnuFile, "mnuFile", "&File"),
        R::item(mnuFileSelect, "mnuFileSelect", "Select", "Ctrl+O", [this] { mnuFileSelect_Click(); }),
        R::separator("mnuFileSep1"),
        R::item(mnuFileNew, "mnuFileNew", "New", "Ctrl+N", [this] { mnuFileNew_Click(); }),
        R::item(mnuFileDelete, "mnuFileDelete", "&Delete", "Ctrl+D", [this] { mnuFileDelete_Click(); }),
        R::item(mnuFileSave, "mnuFileSave", "&Save", "Ctrl+S", [this] { mnuFileSave_Click(); }),
        R::item(mnuFileSaveAs, "mnuFileSaveAs", "Save &As", "Ctrl+A", [this] { mnuFileSaveAs_Click(); }),
        R::separator("mnuFileSep2"),
        R::item(mnuFileReset, "mnuFileReset", "Reset", "Ctrl+R", [this] { mnuFileReset_Click(); }),
        R::separator("mnuFileSep3"),
        R::item(mnuFilePrin, "mnuFilePrin", "&Print", "Ctrl+P").disabled(),
        R::separator("mnuFileSep4"),
        R::item(mnuFileExit, "mnuFileExit", "E&xit", "Ctrl+X", [this] { mnuFileExit_Click(); }),
        R::bar(mnuPairTyp, "mnuPairTyp", "&PairTyp"),
        // Nothing enables pair matching from here.
        R::item(mnuPairTypPairMatch, "mnuPairTypPairMatch", "&Pair Match", "", [this] { mnuPairTypPairMatch_Click(); })
            .disabled(),
        R::separator("mnuPairTypSep1"),
        R::item(mnuPairTypTypical, "mnuPairTypTypical", "Typical", "", [this] { mnuPairTypTypical_Click(); }),
        R::bar(mnuHelp, "mnuHelp", "&Help"),
        R::item(mnuHelpHelp, "mnuHelpHelp", "Help", "F1", [this] { mnuHelpHelp_Click(); }),
        R::item(mnuHelpAboutVexo, "mnuHelpAboutVexo", "&About Vexo", "", [this] { mnuHelpAboutVexo_Click(); }),
    });

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    dtaOperator.onReposition = [this] { dtaOperator_Reposition(); };
    dtaOperator.onValidate = [this](int& Action, bool& Save) { dtaOperator_Validate(Action, Save); };
    dtaOperator.onError = [this](const VbError& iError, int& Response) { dtaOperator_Error(iError, Response); };
    dcboOperator->Click = [this] { dcboOperator_Click(); };
}

bool frmMSupervisor::mbHasCurrent() {
    Recordset& rs = dtaOperator.Recordset();
    return rs.isOpen() && rs.AbsolutePosition() >= 0;
}

void frmMSupervisor::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    frmVexoView& main = gMainWindow();
    if (!trap(10, [&] {
            dtaOperator.setDatabaseName(appinfo::programFolder() + QStringLiteral("\\Vexo_Op.mdb"));
            dtaOperator.setRecordSource(QStringLiteral("vexo_op"));
            dtaOperator.Refresh();
            dcboOperator->ReFill();
        }))
        return;
    gFormSettingLeftTopGetMove(*this, main.Left() + 200, main.Top() + main.Height() - Height() - 200, bError);
    bError = false;
    // The window opens on the main window's operator (the first one when the
    // table lacks that name), and the combo names the record shown.
    QString shown;
    trap(30, [&] {
        {
            FlagHold dontProcess(mbDontProcess);
            if (mbHasCurrent())
                dtaOperator.Recordset().FindFirst(QStringLiteral("Operator = ?"), Variant(main.dcboOperator->Text()));
        }
        if (mbHasCurrent()) shown = CStr(dtaOperator.Recordset().field(QStringLiteral("Operator")));
    });
    mComboShow(shown, bError);
    bError = false;
    mDeleteEnable(bError);
}

void frmMSupervisor::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    // A level picked and not yet saved is written as the window closes.
    trap(5, [&] {
        if (dtaOperator.Recordset().isOpen()) dtaOperator.Unload();
    });
    gFormSettingLeftTopSave(Name(), Left(), Top(), bError);
}

void frmMSupervisor::dcboOperator_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "dcboOperator_Click", bError);
    trap(10, [&] {
        if (dcboOperator->ListIndex() < 0 || !mbHasCurrent()) return;
        const RecordBookmark selected = dcboOperator->SelectedItem();
        Recordset& rs = dtaOperator.Recordset();
        if (selected == rs.Bookmark()) return;
        rs.FindFirst(QStringLiteral("Operator = ?"), Variant(dcboOperator->Text()));
        rs.setBookmark(selected);
        dcboOperator->SetFocusIfAble();
    });
}

void frmMSupervisor::dtaOperator_Reposition() {
    bool bError = false;
    ErrorTrap trap(kModule, "dtaOperator_Reposition", bError);
    FlagHold dontProcess(mbDontProcess);
    mbLevelChanged = false;
    trap(10, [&] {
        // Without a current record (an empty table) there is no level to show.
        if (!mbHasCurrent()) return;
        const Variant level = dtaOperator.Recordset().field(QStringLiteral("User_Level"));
        const QString text = level.isNull() ? QString() : CStr(level);
        const int16_t index = text == QLatin1String(kLevels[0]) ? 0 : text == QLatin1String(kLevels[1]) ? 1 : 2;
        optUserLevel(index).setValue(true);
    });
}

// Writes a picked level before the record is left, updated, deleted or closed.
void frmMSupervisor::dtaOperator_Validate(int& Action, bool& Save) {
    Q_UNUSED(Action);
    Q_UNUSED(Save);
    if (mbDontProcess || !mbLevelChanged) return;
    bool bError = false;
    ErrorTrap trap(kModule, "dtaOperator_Validate", bError);
    trap(10, [&] {
        if (!mbHasCurrent()) return;
        Recordset& rs = dtaOperator.Recordset();
        const int16_t index = optUserLevel(0).Value() ? 0 : optUserLevel(1).Value() ? 1 : 2;
        rs.Edit();
        rs.setField(QStringLiteral("User_Level"), Variant(QString::fromLatin1(kLevels[index])));
        dtaOperator.UpdateRecord();
    });
}

void frmMSupervisor::dtaOperator_Error(const VbError& iError, int& Response) {
    gMsgBox(QStringLiteral("Data error event hit err:") + iError.description, vbExclamation,
            QStringLiteral("frmMSupervisor.dtaOperator_Error"));
    Response = vbDataErrContinue;
}

void frmMSupervisor::optUserLevel_Click(int16_t Index) {
    if (mbDontProcess) return;
    bool bError = false;
    ErrorTrap trap(kModule, "optUserLevel_Click", bError);
    trap(10, [&] {
        if (!optUserLevel(Index).Value()) optUserLevel(Index).setValue(true);
        mbLevelChanged = true;
    });
}

void frmMSupervisor::mnuFileSelect_Click() { dcboOperator->SetFocusIfAble(); }

void frmMSupervisor::mnuFileExit_Click() { unload<frmMSupervisor>(); }

void frmMSupervisor::mnuPairTypPairMatch_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuPairTypPairMatch_Click", bError);
    trap(10, [&] { form<frmMPairMatch>().Show(vbModal); });
}

// The finder runs inside its window's load step; its result stays on the main window.
void frmMSupervisor::mnuPairTypTypical_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuPairTypTypical_Click", bError);
    trap(10, [&] {
        mnuPairTypTypical->setEnabled(false);
        form<frmMTypical>();
        unload<frmMTypical>();
    });
    mnuPairTypTypical->setEnabled(true);
}

void frmMSupervisor::mnuHelpHelp_Click() {
    bool bError = false;
    gGShowHelp(static_cast<int32_t>(winId()), bError);
}

void frmMSupervisor::mnuHelpAboutVexo_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuHelpAboutVexo_Click", bError);
    trap(10, [&] { form<frmAbout>().Show(vbModal); });
}
