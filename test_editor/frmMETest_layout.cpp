#include "test_editor/frmMETest.h"

namespace {
const QString kNumberTip = QStringLiteral("You can use the Arrow or Page keys + Shift and/or CTRL to change the number");
const QString kSpinnerTip = QStringLiteral("Click to change the number");
}

// Every control and menu in twips and the hook-up of their handlers.
void frmMETest::mLayout() {
    setClientSize(4200, 5220);
    setCaption(QStringLiteral("Test Maintenance"));
    dtaTest.setRecordSource(QStringLiteral("vexo_tst"));

    dcboTest = new DataCombo(this, QStringLiteral("dcboTest"), 120, 120, 2655, 315);
    dcboTest->setToolTipText(QStringLiteral("Select Test (Ctrl+M)"));
    dcboTest->setRowSource(&dtaTest);
    dcboTest->setListField(QStringLiteral("Test_Name"));
    lblTestName = new Label(this, QStringLiteral("lblTestName"), 2880, 150, 1200, 255);
    lblTestName->setDataSource(&dtaTest);
    lblTestName->setDataField(QStringLiteral("Test_Name"));
    lblTestName->setVisible(false);

    auto numberBox = [this](Label*& oLabel, TextBox*& oBox, const QString& iName, const QString& iCaption,
                            const QString& iField, int32_t iTop) {
        oLabel = new Label(this, QStringLiteral("lbl") + iName, 120, iTop + 30, 1500, 255, iCaption);
        oBox = new TextBox(this, QStringLiteral("txt") + iName, 1680, iTop, 900, 285);
        oBox->setToolTipText(kNumberTip);
        oBox->setDataSource(&dtaTest);
        oBox->setDataField(iField);
        oLabel->setAccessTarget(oBox);
    };
    auto upDown = [](UpDown*& oUpDown, TextBox* iBox, const QString& iName, int32_t iTop, int32_t iMin, int32_t iMax) {
        oUpDown = new UpDown(iBox->form(), iName, 2580, iTop, 240, 285);
        oUpDown->setToolTipText(kSpinnerTip);
        oUpDown->setBuddy(iBox);
        oUpDown->setMin(iMin);
        oUpDown->setMax(iMax);
        oUpDown->setIncrement(1);
        oUpDown->setValue(iMin);
    };
    numberBox(lblFLo, txtFLo, QStringLiteral("FLo"), QStringLiteral("&Low (Hz)"), QStringLiteral("fLo_Hz"), 600);
    upDown(updFLo, txtFLo, QStringLiteral("updFLo"), 600, 20, 10000);
    numberBox(lblFHi, txtFHi, QStringLiteral("FHi"), QStringLiteral("&High (Hz)"), QStringLiteral("fHi_Hz"), 960);
    upDown(updFHi, txtFHi, QStringLiteral("updFHi"), 960, 40, 20000);
    numberBox(lblPoint, txtPoint, QStringLiteral("Point"), QStringLiteral("&Point"), QStringLiteral("Swp_Point"), 1320);
    upDown(updPoint, txtPoint, QStringLiteral("updPoint"), 1320, 20, 100);
    numberBox(lblDuration, txtDuration, QStringLiteral("Duration"), QStringLiteral("&Duration (s)"), QStringLiteral("SwpDur_s"), 1680);
    numberBox(lblDelay, txtDelay, QStringLiteral("Delay"), QStringLiteral("Dela&y (s)"), QStringLiteral("Delay_s"), 2040);
    numberBox(lblDriveV, txtDriveV, QStringLiteral("DriveV"), QStringLiteral("Drive (&V)"), QStringLiteral("Drive_V"), 2400);
    chkActive = new CheckBox(this, QStringLiteral("chkActive"), 2880, 2400, 1200, 285, QStringLiteral("&Active"));
    chkActive->setToolTipText(QStringLiteral("Active or Passive"));
    chkActive->setDataSource(&dtaTest);
    chkActive->setDataField(QStringLiteral("Active_Flag"));

    lblSweepType = new Label(this, QStringLiteral("lblSweepType"), 120, 2790, 1500, 255, QStringLiteral("Sweep &Type"));
    cboSweepType = new ComboBox(this, QStringLiteral("cboSweepType"), 1680, 2760, 1800, 315, vbComboDropdownList);
    for (const char* t : {"No Sweep", "Log Up", "Log Down", "Log Up Down", "Log Down Up", "Lin Up", "Lin Down",
                          "Lin Up Down", "Lin Down Up"})
        cboSweepType->AddItem(QString::fromLatin1(t));
    lblSweepType->setAccessTarget(cboSweepType);

    chkOpDecide = new CheckBox(this, QStringLiteral("chkOpDecide"), 120, 3180, 2200, 285, QStringLiteral("&Operator Decision"));
    chkOpDecide->setToolTipText(QStringLiteral("Operator decides Pass/Fail"));
    chkOpDecide->setDataSource(&dtaTest);
    chkOpDecide->setDataField(QStringLiteral("Op_Decide"));
    fraOpDecide = new Frame(this, QStringLiteral("fraOpDecide"), 120, 3480, 2700, 600);
    optOpDecideNo = new OptionButton(fraOpDecide, QStringLiteral("optOpDecideNo"), 120, 240, 1000, 255, QStringLiteral("&No"));
    optOpDecideNo->setToolTipText(QStringLiteral("Pass on 'No' from operator"));
    optOpDecideYes = new OptionButton(fraOpDecide, QStringLiteral("optOpDecideYes"), 1320, 240, 1000, 255, QStringLiteral("&Yes"));
    optOpDecideYes->setToolTipText(QStringLiteral("Pass on 'Yes' from operator"));
    chkFailExit = new CheckBox(this, QStringLiteral("chkFailExit"), 120, 4170, 2200, 285, QStringLiteral("Fa&il Exit"));
    chkFailExit->setToolTipText(QStringLiteral("End test sequence if the test is failed"));
    chkFailExit->setDataSource(&dtaTest);
    chkFailExit->setDataField(QStringLiteral("Exit_Flag"));

    cmdRun = new CommandButton(this, QStringLiteral("cmdRun"), 120, 4620, 1200, 375, QStringLiteral("R&un"));
    cmdReRun = new CommandButton(this, QStringLiteral("cmdReRun"), 1440, 4620, 1200, 375, QStringLiteral("R&e-Run"));
    cmdRun->setToolTipText(QStringLiteral("Run Test"));
    cmdReRun->setToolTipText(QStringLiteral("Run a 'fresh' Test"));
    cmdReRun->setVisible(false);

    mBuildMenus(this, "&Vexo");

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    dtaTest.onValidate = [this](int& Action, bool& Save) { dtaTest_Validate(Action, Save); };
    dtaTest.onReposition = [this] { dtaTest_Reposition(); };
    dcboTest->Change = [this] { dcboTest_Change(); };
    dcboTest->Click = [this] { dcboTest_Change(); };
    dcboTest->KeyDown = [this](int16_t& KeyCode, int16_t Shift) { dcboTest_KeyDown(KeyCode, Shift); };
    mBindNumberBoxes();
    txtFLo->Change = [this] { txtFLo_Change(); };
    txtFHi->Change = [this] { txtFHi_Change(); };
    txtPoint->Change = [this] { txtPoint_Change(); };
    txtDuration->Change = [this] { txtDuration_Change(); };
    txtDelay->Change = [this] { txtDelay_Change(); };
    txtDriveV->Change = [this] { txtDriveV_Change(); };
    chkActive->Click = [this] { chkActive_Click(); };
    updPoint->DownClick = [this] { updPoint_DownClick(); };
    updPoint->UpClick = [this] { updPoint_UpClick(); };
    cboSweepType->Click = [this] { cboSweepType_Click(); };
    cboSweepType->KeyPress = [this](int16_t& KeyAscii) { cboSweepType_KeyPress(KeyAscii); };
    chkOpDecide->Click = [this] { chkOpDecide_Click(); };
    optOpDecideNo->Click = [this] { optOpDecideNo_Click(); };
    optOpDecideYes->Click = [this] { optOpDecideYes_Click(); };
    chkFailExit->Click = [this] { chkFailExit_Click(); };
    mnuFileSelect->Click = [this] { mnuFileSelect_Click(); };
    mnuFileNew->Click = [this] { mnuFileNew_Click(); };
    mnuFileDelete->Click = [this] { mnuFileDelete_Click(); };
    mnuFileSave->Click = [this] { mnuFileSave_Click(); };
    mnuFileSaveAs->Click = [this] { mnuFileSaveAs_Click(); };
    mnuFileReset->Click = [this] { mnuFileReset_Click(); };
    mnuFilePrint->Click = [this] { mnuFilePrint_Click(); };
    mnuFileRun->Click = [this] { cmdRun_Click(); };
    mnuFileExit->Click = [this] { UnloadMe(); };
    cmdRun->Click = [this] { cmdRun_Click(); };
    cmdReRun->Click = [this] { cmdReRun_Click(); };
    mnuWindowVexo->Click = [this] { mnuWindowVexo_Click(); };
    mnuWindowSequence->Click = [this] { mnuWindowSequence_Click(); };
    mnuWindowSystem->Click = [this] { mnuWindowSystem_Click(); };
    mnuWindowOtherTest->Click = [this] { mnuWindowOtherTest_Click(); };
    mnuWindowCloseAllEngineer->Click = [this] { mnuWindowCloseAllEngineer_Click(); };
    mnuHelpHelp->Click = [this] { mnuHelpHelp_Click(); };
    mnuHelpAboutVexo->Click = [this] { mnuHelpAboutVexo_Click(); };
}
