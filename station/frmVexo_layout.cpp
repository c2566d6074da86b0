// The main window's controls and menus in twips, their captions, tips and
// states at load, and the hook-up of their handlers.
#include "station/frmVexo.h"
#include "platform/ui/AppFont.h"
#include "platform/ui/Color.h"

namespace {
const QString kGraphTip = QStringLiteral("Double click to open Engineer Test window");
}

void frmVexo::mLayout() {
    setClientSize(9480, 7500);
    setKeyPreview(true);

    mnuFile = new Menu(this, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    mnuFileTestUnit = new Menu(this, QStringLiteral("mnuFileTestUnit"), QStringLiteral("&Test Unit"), mnuFile, QStringLiteral("Ctrl+T"));
    mnuFileSelectSequence = new Menu(this, QStringLiteral("mnuFileSelectSequence"), QStringLiteral("&Select Sequence"), mnuFile, QStringLiteral("Ctrl+M"));
    mnuFileOperator = new Menu(this, QStringLiteral("mnuFileOperator"), QStringLiteral("&Operator"), mnuFile, QStringLiteral("Ctrl+O"));
    mnuFileHyphen1 = new Menu(this, QStringLiteral("mnuFileHyphen1"), QStringLiteral("-"), mnuFile);
    mnuFilePrint = new Menu(this, QStringLiteral("mnuFilePrint"), QStringLiteral("&Print"), mnuFile, QStringLiteral("Ctrl+P"));
    mnuFileHyphen2 = new Menu(this, QStringLiteral("mnuFileHyphen2"), QStringLiteral("-"), mnuFile);
    mnuFileExit = new Menu(this, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), mnuFile, QStringLiteral("Ctrl+X"));
    mnuWindow = new Menu(this, QStringLiteral("mnuWindow"), QStringLiteral("&Window"));
    mnuWindowSequence = new Menu(this, QStringLiteral("mnuWindowSequence"), QStringLiteral("Se&quence"), mnuWindow, QStringLiteral("Ctrl+Q"));
    mnuWindowTest = new Menu(this, QStringLiteral("mnuWindowTest"), QStringLiteral("T&est"), mnuWindow, QStringLiteral("Ctrl+E"));
    mnuWindowSystem = new Menu(this, QStringLiteral("mnuWindowSystem"), QStringLiteral("S&ystem"), mnuWindow, QStringLiteral("Ctrl+Y"));
    mnuWindowHyphen1 = new Menu(this, QStringLiteral("mnuWindowHyphen1"), QStringLiteral("-"), mnuWindow);
    mnuWindowCloseAllEngineer = new Menu(this, QStringLiteral("mnuWindowCloseAllEngineer"), QStringLiteral("Close All En&gineer"), mnuWindow, QStringLiteral("Ctrl+G"));
    mnuWindowCloseAllEngineer->setEnabled(false);
    mnuHelp = new Menu(this, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    mnuHelpHelp = new Menu(this, QStringLiteral("mnuHelpHelp"), QStringLiteral("Help"), mnuHelp, QStringLiteral("F1"));
    mnuHelpAboutVexo = new Menu(this, QStringLiteral("mnuHelpAboutVexo"), QStringLiteral("&About Vexo"), mnuHelp);

    // Tab order: the two choices first, then the commands.
    dcboSeq = new DataCombo(this, QStringLiteral("dcboSeq"), 360, 240, 3325, 315);
    dcboSeq->setRowSource(&dtaSeq);
    dcboSeq->setListField(QStringLiteral("Seq_Name"));
    dcboSeq->setToolTipText(QStringLiteral("Select Model sequence to test (Ctrl+M)"));
    dcboOperator = new DataCombo(this, QStringLiteral("dcboOperator"), 4260, 240, 2400, 315);
    dcboOperator->setRowSource(&dtaOperator);
    dcboOperator->setListField(QStringLiteral("Operator"));
    dcboOperator->setToolTipText(QStringLiteral("Select Operator name (Ctrl+O)"));
    lblStation = new Label(this, QStringLiteral("lblStation"), 6840, 270, 2400, 255);
    lblStation->setVisible(false);

    picPolarity = new PictureBox(this, QStringLiteral("picPolarity"), 360, 700, 3325, 2550);

    picPolarity->setGraphPaper();
    picPolarity->setToolTipText(kGraphTip);
    picResponse = new PictureBox(this, QStringLiteral("picResponse"), 4260, 700, 4800, 2550);
    picResponse->setGraphPaper();
    picResponse->setToolTipText(kGraphTip);
    // The result, read at arm's length: big and bold on the graphs' black, as
    // wide as the room left of the reference and target labels of the extended view.
    lblPassFail = new Label(this, QStringLiteral("lblPassFail"), 2775, 3500, 1485, 615);
    lblPassFail->setFont(appfont::resultFont());
    lblPassFail->setBackColor(vbcolor::vbGraphPaper);
    lblPassFail->setAlignment(2);
    lblPassFail->setVisible(false);
    // The graph's labels stand below its frequency numbers, which the window
    // prints one text line under the graph.
    lblRefSearch = new Label(this, QStringLiteral("lblRefSearch"), 4260, 3480, 2300, 255);
    lblRefSearch->setVisible(false);
    lblSelection = new Label(this, QStringLiteral("lblSelection"), 6760, 3480, 2300, 255);
    lblTarget = new Label(this, QStringLiteral("lblTarget"), 4260, 3765, 4800, 255);
    lblTarget->setVisible(false);

    cmdTest = new CommandButton(this, QStringLiteral("cmdTest"), 360, 4860, 1500, 495, QStringLiteral("&Test"));
    cmdTest->setToolTipText(QStringLiteral("Run Test Sequence (You can press T)"));
    cmdCali = new CommandButton(this, QStringLiteral("cmdCali"), 2040, 4860, 1500, 495, QStringLiteral("&Calibration"));
    cmdWorst = new CommandButton(this, QStringLiteral("cmdWorst"), 3720, 4860, 1095, 495, QStringLiteral("W&orst"));
    cmdWorst->setToolTipText(QStringLiteral("Show nearest failure in the response"));
    cmdWorst->setVisible(false);
    cmdWorst->setEnabled(false);
    cmdMoreStuff = new CommandButton(this, QStringLiteral("cmdMoreStuff"), 7560, 4860, 1500, 495, QStringLiteral("More St&uff"));
    cmdMoreStuff->setToolTipText(QStringLiteral("Show More Stuff"));
    cmdEngineer = new CommandButton(this, QStringLiteral("cmdEngineer"), 360, 5520, 1500, 375, QStringLiteral("Eng&ineer"));
    cmdEngineer->setVisible(false);
    cmdSupervisor = new CommandButton(this, QStringLiteral("cmdSupervisor"), 2040, 5520, 1500, 375, QStringLiteral("Super&visor"));
    cmdSupervisor->setVisible(false);
    cmdReport = new CommandButton(this, QStringLiteral("cmdReport"), 3720, 5520, 1500, 375, QStringLiteral("&Report"));
    cmdReport->setVisible(false);
    cmdReport->setEnabled(false);

    lblCard = new Label(this, QStringLiteral("lblCard"), 360, 6060, 4800, 255);
    lblCard->setVisible(false);
    lblProdRep = new Label(this, QStringLiteral("lblProdRep"), 360, 6390, 8700, 255);
    lblSerial = new Label(this, QStringLiteral("lblSerial"), 360, 7080, 4800, 300);
    lblTimeDate = new Label(this, QStringLiteral("lblTimeDate"), 6660, 7080, 2400, 300);
    lblTimeDate->setAlignment(1);
    lblSeq = new Label(this, QStringLiteral("lblSeq"), 0, 0, 1500, 255);
    lblSeq->setDataSource(&dtaSeq);
    lblSeq->setDataField(QStringLiteral("Seq_Name"));
    lblTest = new Label(this, QStringLiteral("lblTest"), 0, 0, 1500, 255);
    lblTest->setDataSource(&dtaTest);
    lblTest->setDataField(QStringLiteral("Test_Name"));

    tmrClock = new TimerControl(this, QStringLiteral("tmrClock"), 1, true);
    tmrFlash = new TimerControl(this, QStringLiteral("tmrFlash"), 500, false);

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
    KeyPress = [this](int16_t& KeyAscii) { Form_KeyPress(KeyAscii); };
    tmrClock->Timer = [this] { tmrClock_Timer(); };
    tmrFlash->Timer = [this] { tmrFlash_Timer(); };
    cmdTest->Click = [this] { cmdTest_Click(); };
    cmdReport->Click = [this] { cmdReport_Click(); };
    mnuFileTestUnit->Click = [this] { mnuFileTestUnit_Click(); };
    mnuFileSelectSequence->Click = [this] { mnuFileSelectSequence_Click(); };
    mnuFileOperator->Click = [this] { mnuFileOperator_Click(); };
    mnuFilePrint->Click = [this] { mnuFilePrint_Click(); };
    mnuFileExit->Click = [this] { mnuFileExit_Click(); };
    mnuHelpHelp->Click = [this] { mnuHelpHelp_Click(); };
    mnuHelpAboutVexo->Click = [this] { mnuHelpAboutVexo_Click(); };
    cmdMoreStuff->Click = [this] { cmdMoreStuff_Click(); };
    dcboSeq->Click = [this] { dcboSeq_Click(); };
    dcboSeq->GotFocus = [this] { dcboSeq_GotFocus(); };
    dcboSeq->LostFocus = [this] { dcboSeq_LostFocus(); };
    dcboSeq->DblClick = [this](int16_t Area) { dcboSeq_DblClick(Area); };
    dcboOperator->Click = [this] { dcboOperator_Click(); };
    cmdEngineer->Click = [this] { cmdEngineer_Click(); };
    cmdSupervisor->Click = [this] { cmdSupervisor_Click(); };
    cmdCali->Click = [this] { cmdCali_Click(); };
    cmdWorst->Click = [this] { cmdWorst_Click(); };
    mnuWindowSequence->Click = [this] { mnuWindowSequence_Click(); };
    mnuWindowTest->Click = [this] { mnuWindowTest_Click(); };
    mnuWindowSystem->Click = [this] { mnuWindowSystem_Click(); };
    mnuWindowCloseAllEngineer->Click = [this] { mnuWindowCloseAllEngineer_Click(); };
    picResponse->DblClick = [this] { picResponse_DblClick(); };
    picPolarity->DblClick = [this] { picPolarity_DblClick(); };
    dtaSeq.onReposition = [this] { dtaSeq_Reposition(); };
}
