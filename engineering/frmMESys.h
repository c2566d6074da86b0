#pragma once
#include "common/modNumberBox.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/TextBox.h"

// The engineer's window for the station settings every window shares (name,
// passwords, audio prompts, fail check, time-out, digital port) and for the
// drive-voltage calibration of the sound board and the amplifier. It edits
// copies; File > Save stores them in the settings, the settings file and the
// per-user calibration.
class frmMESys : public Form {
public:
    frmMESys();

    Label* lblStation = nullptr;
    TextBox* txtStation = nullptr;
    Label* lblPasswords = nullptr;
    Label* lblPasswordEng = nullptr;
    TextBox* txtPasswordEng = nullptr;
    Label* lblPasswordSuper = nullptr;
    TextBox* txtPasswordSuper = nullptr;
    CheckBox* chkAudioPrompts = nullptr;
    CheckBox* chkOpFailCheck = nullptr;
    Label* lblOpTimeOut = nullptr;
    TextBox* txtOpTimeOut = nullptr;
    Label* lblDigPort = nullptr;
    ComboBox* cboDigPort = nullptr;
    CommandButton* cmdDigTest = nullptr;
    Label* lblVOutSoundboard = nullptr;
    TextBox* txtVOutSoundboard = nullptr;
    Label* lblVOutAmp = nullptr;
    TextBox* txtVOutAmp = nullptr;
    CommandButton* cmdVOutSoundboardCalibrate = nullptr;
    CommandButton* cmdVOutAmpCalibrate = nullptr;
    CheckBox* chkVOutReversedPolarity = nullptr;
    CommandButton* cmdRecalAllSeqs = nullptr;

    Menu* mnuFile = nullptr;
    Menu* mnuFileSave = nullptr;
    Menu* mnuFileReset = nullptr;
    Menu* mnuFilePrint = nullptr;
    Menu* mnuFileExit = nullptr;
    Menu* mnuWindow = nullptr;
    Menu* mnuWindowVexo = nullptr;
    Menu* mnuWindowSeq = nullptr;
    Menu* mnuWTest = nullptr;
    Menu* mnuWindowCloseAllEngineer = nullptr;
    Menu* mnuHelp = nullptr;
    Menu* mnuHelpHelp = nullptr;
    Menu* mnuHelpAboutVexo = nullptr;

private:
    // frmMESys.cpp: the window, loading, closing and the menus
    void mLayout();
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void mFillBoxes(bool& obError);
    void mSetUnlinkedDataResetEnabled(bool ibChanged, bool& obError);
    void mnuFileReset_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuWindowVexo_Click();
    void mnuWindowSeq_Click();
    void mnuWTest_Click();
    void mnuWindowCloseAllEngineer_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAboutVexo_Click();
    void txtPassword_GotFocus(TextBox& ioBox);
    void txtPassword_LostFocus(TextBox& ioBox);
    void mMarkChanged();

    // frmMESys_settings.cpp: saving, the number boxes and the calibration
    void mnuFileSave_Click();
    bool mbSave();
    void mSystemParamsUpdate(bool& obError);
    bool mbVoltageRead(const TextBox& iBox, const QString& isWhat, float& ofValue, bool& obError);
    void cmdVOutSoundboardCalibrate_Click();
    void cmdVOutAmpCalibrate_Click();
    void mCalibrate(bool ibAmp, TextBox& ioBox);
    void cmdRecalAllSeqs_Click();
    void cmdDigTest_Click();
    void mNumberValidate(const NumberBoxRule& iRule, bool& Cancel);
    NumberBoxRule mBoxOpTimeOut, mBoxVOutSoundboard, mBoxVOutAmp;

    bool mbChanged = false;   // an edit since the last load or reset
};
