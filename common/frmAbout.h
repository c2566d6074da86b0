#pragma once
#include "platform/ui/CheckBox.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include <cstdint>

class QFrame;
class QLabel;

// The long sound-card and mixer description that the About window's report
// sends. Program-level state: the sound check writes it at start-up (it is
// defined with the mixer routines, audio/modMixer), before any About window exists.
extern QString gsAboutWaveMixerInfoLong;

// The About window, opened modally from every Help menu: product, version, legal
// notice and the maker's contacts; the consent to bug-report e-mails; the
// sound-board report; the maker's bulletin (the Flimbox), offered once by itself
// on the fifth closing; the machine's system-information tool.
class frmAbout : public Form {
public:
    frmAbout();

    QLabel* imgICon = nullptr;
    Label* lblNameVersion = nullptr;
    Label* lblCopyright = nullptr;
    Label* lblDescription = nullptr;
    QFrame* linSeparator1 = nullptr;
    Label* lblWebLbl = nullptr;
    Label* lblWebSite = nullptr;
    Label* lblEMailLbl = nullptr;
    Label* lblEMail = nullptr;
    QFrame* linSeparator2 = nullptr;
    CheckBox* chkSendBugReports = nullptr;
    CommandButton* cmdFlimbox = nullptr;
    CommandButton* cmdEMailSoundboardReport = nullptr;
    CommandButton* cmdSysInfo = nullptr;

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void chkSendBugReports_Click();
    void cmdEMailSoundboardReport_Click();
    void cmdFlimbox_Click();
    void cmdSysInfo_Click();
    void lblEMail_Click();
    void lblWebSite_Click();
    void mStartSysInfo(bool& obError);
    bool mbRegKeyValueGet(int32_t ilRootKey, const QString& isKeyPath, const QString& isValueName,
                          QString& osValue, bool& obError);
};
