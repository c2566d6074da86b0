#include "supervisor/frmMPairMatch.h"
#include "platform/ui/MenuTable.h"
#include <QFont>

namespace {
const QString kNumberTip = QStringLiteral("You can use the Arrow or Page keys + Shift and/or CTRL to change the number");
const QString kSpinnerTip = QStringLiteral("Click to change the number");
}

// Every control and menu in twips and the hook-up of their handlers.
void frmMPairMatch::mLayout() {
    setClientSize(8175, 5940);
    // A face as narrow as the 2700-twip column of the result lines was measured for.
    setFont(QFont(QStringLiteral("Arial"), 8));

    cboSeq = new ComboBox(this, QStringLiteral("cboSeq"), 120, 120, 3495, 315, vbComboDropdownList);
    cboSeq->setToolTipText(QStringLiteral("Select Sequence (Ctrl+M)"));

    lblBatchSize = new Label(this, QStringLiteral("lblBatchSize"), 120, 630, 1200, 255, QStringLiteral("Batch Size"));
    txtBatchSize = new TextBox(this, QStringLiteral("txtBatchSize"), 1380, 600, 735, 285);
    txtBatchSize->setToolTipText(kNumberTip);
    // The batch read sets it; a typed size could exceed the curves read.
    txtBatchSize->setLocked(true);

    lblBatchStart = new Label(this, QStringLiteral("lblBatchStart"), 2280, 630, 1200, 255, QStringLiteral("&Batch Start"));
    txtBatchStart = new TextBox(this, QStringLiteral("txtBatchStart"), 3540, 600, 600, 285);
    txtBatchStart->setToolTipText(kNumberTip);
    updBatchStart = new UpDown(this, QStringLiteral("updBatchStart"), 4140, 600, 240, 285);
    updBatchStart->setToolTipText(kSpinnerTip);
    updBatchStart->setBuddy(txtBatchStart);
    updBatchStart->setMax(999);
    updBatchStart->setMin(2);
    updBatchStart->setValue(40);

    lblBatchEnd = new Label(this, QStringLiteral("lblBatchEnd"), 4560, 630, 1020, 255, QStringLiteral("Batch &End"));
    txtBatchEnd = new TextBox(this, QStringLiteral("txtBatchEnd"), 5640, 600, 600, 285);
    txtBatchEnd->setToolTipText(kNumberTip);
    txtBatchEnd->setMaxLength(3);
    updBatchEnd = new UpDown(this, QStringLiteral("updBatchEnd"), 6240, 600, 240, 285);
    updBatchEnd->setToolTipText(kSpinnerTip);
    updBatchEnd->setBuddy(txtBatchEnd);
    updBatchEnd->setMin(0);
    updBatchEnd->setMax(38);
    updBatchEnd->setValue(10);

    lblAveLim = new Label(this, QStringLiteral("lblAveLim"), 120, 1050, 1680, 255, QStringLiteral("A&verage Limit (dB)"));
    txtAveLim = new TextBox(this, QStringLiteral("txtAveLim"), 1860, 1020, 600, 285);
    txtAveLim->setToolTipText(kNumberTip);
    txtAveLim->setMaxLength(3);
    lblWorstLim = new Label(this, QStringLiteral("lblWorstLim"), 2760, 1050, 1620, 255, QStringLiteral("&Worst Limit (dB)"));
    txtWorstLim = new TextBox(this, QStringLiteral("txtWorstLim"), 4440, 1020, 600, 285);
    txtWorstLim->setToolTipText(kNumberTip);
    txtWorstLim->setMaxLength(3);

    lstPair = new ListBox(this, QStringLiteral("lstPair"), 120, 1440, 7935, 3900);
    lstPair->setToolTipText(QStringLiteral("Displays the results"));
    lblMatched = new Label(this, QStringLiteral("lblMatched"), 120, 5460, 3000, 255);
    cmdPairMatch = new CommandButton(this, QStringLiteral("cmdPairMatch"), 4560, 5400, 1575, 375, QStringLiteral("&Pair Match"));
    cmdPairMatch->setEnabled(false);
    cmdExit = new CommandButton(this, QStringLiteral("cmdExit"), 6480, 5400, 1575, 375, QStringLiteral("E&xit"));
    cmdExit->setToolTipText(QStringLiteral("Close Window"));

    using R = MenuRow;
    gBuildMenus(this, {
        R::bar(mnuFile, "mnuFile", "&File"),
        R::item(mnuFileSelect, "mnuFileSelect", "Select Sequence", "Ctrl+M", [this] { mnuFileSelect_Click(); }),
        R::separator(mnuFileSep1, "mnuFileSep1"),
        R::item(mnuFileDeleteMatched, "mnuFileDeleteMatched", "&Delete Matched", "Ctrl+D",
                [this] { mnuFileDeleteMatched_Click(); }).disabled(),
        R::item(mnuFileDeleteAll, "mnuFileDeleteAll", "Delete &All", "Ctrl+A", [this] { mnuFileDeleteAll_Click(); })
            .disabled(),
        R::separator(mnuFileSep2, "mnuFileSep2"),
        R::item(mnuFilePrint, "mnuFilePrint", "&Print", "Ctrl+P", [this] { mnuFilePrint_Click(); }).disabled(),
        R::separator(mnuFileSep3, "mnuFileSep3"),
        R::item(mnuFileExit, "mnuFileExit", "E&xit", "Ctrl+X", [this] { cmdExit_Click(); }),
        R::bar(mnuHelp, "mnuHelp", "&Help"),
        R::item(mnuHelpHelp, "mnuHelpHelp", "Help", "F1", [this] { mnuHelpHelp_Click(); }),
        R::item(mnuHelpAbout, "mnuHelpAbout", "&About Vexo", "", [this] { mnuHelpAbout_Click(); }),
    });

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    cboSeq->Click = [this] { cboSeq_Click(); };
    cboSeq->KeyDown = [this](int16_t& KeyCode, int16_t Shift) { cboSeq_KeyDown(KeyCode, Shift); };
    txtBatchSize->Change = [this] { txtBatchSize_Change(); };
    txtBatchStart->Change = [this] { txtBatchStart_Change(); };
    txtBatchEnd->Change = [this] { txtBatchEnd_Change(); };
    txtAveLim->Change = [this] { txtAveLim_Change(); };
    txtWorstLim->Change = [this] { txtWorstLim_Change(); };
    txtBatchStart->Validate = [this](bool& Cancel) { txtBatchStart_Validate(Cancel); };
    txtBatchEnd->Validate = [this](bool& Cancel) { txtBatchEnd_Validate(Cancel); };
    txtAveLim->Validate = [this](bool& Cancel) { txtAveLim_Validate(Cancel); };
    txtWorstLim->Validate = [this](bool& Cancel) { txtWorstLim_Validate(Cancel); };
    cmdPairMatch->Click = [this] { cmdPairMatch_Click(); };
    cmdExit->Click = [this] { cmdExit_Click(); };
}
