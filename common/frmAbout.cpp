#include "common/frmAbout.h"
#include "common/ErrorTrap.h"
#include "common/frmMultiLineText.h"
#include "common/modEMail.h"
#include "common/modGeneral.h"
#include "platform/os/AppInfo.h"
#include "platform/os/MachineSettings.h"
#include "platform/os/Settings.h"
#include "platform/os/Shell.h"
#include "platform/ui/Color.h"
#include "platform/ui/KeyCodes.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Twips.h"
#include "platform/vb/Conversions.h"
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QStyle>

namespace {
const char* kModule = "frmAbout";
const QString kCrLf = QStringLiteral("\r\n");
constexpr int32_t HKEY_LOCAL_MACHINE = static_cast<int32_t>(0x80000002u);
// The bulletin offer asks by itself once, when the count reaches 5; 6 means never again.
constexpr int16_t kFlimboxAsked = 6;
constexpr int16_t kFlimboxAskAt = 5;

const QString kWebSiteShown = QStringLiteral("www.pelmo.example");
const QString kWebSitePage = QStringLiteral("https://www.pelmo.example/vexo");

QFrame* separator(QWidget* iParent, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth) {
    auto* line = new QFrame(iParent);
    line->setObjectName(iName);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(twips::toPixels(iLeft), twips::toPixels(iTop), twips::toPixels(iWidth), 2);
    return line;
}

// A value naming the tool: a path, or a program name looked up on the PATH.
QString executableOf(const QString& iValue) {
    if (!iValue.contains(QLatin1Char('/'))) return QStandardPaths::findExecutable(iValue);
    const QFileInfo f(iValue);
    return f.isFile() ? f.absoluteFilePath() : QString();
}
}

frmAbout::frmAbout() : Form(QStringLiteral("frmAbout")) {
    setClientSize(5700, 3960);
    setKeyPreview(true);

    imgICon = new QLabel(client());
    imgICon->setObjectName(QStringLiteral("imgICon"));
    imgICon->setGeometry(twips::toPixels(240), twips::toPixels(240), twips::toPixels(540), twips::toPixels(540));
    imgICon->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(twips::toPixels(540)));
    imgICon->setScaledContents(true);

    lblNameVersion = new Label(this, QStringLiteral("lblNameVersion"), 1020, 240, 4440, 330, QStringLiteral(""));
    QFont bold = lblNameVersion->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    lblNameVersion->setFont(bold);
    lblCopyright = new Label(this, QStringLiteral("lblCopyright"), 1020, 600, 4440, 255, QStringLiteral(""));
    lblDescription = new Label(this, QStringLiteral("lblDescription"), 1020, 960, 4440, 765, QStringLiteral(""));
    linSeparator1 = separator(client(), QStringLiteral("linSeparator1"), 240, 1860, 5220);
    lblWebLbl = new Label(this, QStringLiteral("lblWebLbl"), 1020, 2010, 720, 255, QStringLiteral("Web:"));
    lblWebSite = new Label(this, QStringLiteral("lblWebSite"), 1800, 2010, 3660, 255, QStringLiteral(""));
    lblEMailLbl = new Label(this, QStringLiteral("lblEMailLbl"), 1020, 2310, 720, 255, QStringLiteral("EMail:"));
    lblEMail = new Label(this, QStringLiteral("lblEMail"), 1800, 2310, 3660, 255, QStringLiteral(""));
    for (Label* link : {lblWebSite, lblEMail}) {
        link->setForeColor(vbcolor::vbBlue);
        link->setCursor(Qt::PointingHandCursor);
    }
    linSeparator2 = separator(client(), QStringLiteral("linSeparator2"), 240, 2700, 5220);
    chkSendBugReports = new CheckBox(this, QStringLiteral("chkSendBugReports"), 240, 2880, 2760, 285,
                                     QStringLiteral("Send &bug reports"));
    cmdFlimbox = new CommandButton(this, QStringLiteral("cmdFlimbox"), 240, 3360, 1215, 375, QStringLiteral("&Flimbox"));
    cmdEMailSoundboardReport = new CommandButton(this, QStringLiteral("cmdEMailSoundboardReport"), 1560, 3360, 2400,
                                                 375, QStringLiteral("&EMail Soundboard Report"));
    cmdSysInfo = new CommandButton(this, QStringLiteral("cmdSysInfo"), 4065, 3360, 1395, 375,
                                   QStringLiteral("&System Info"));

    Load = [this] { Form_Load(); };
    Unload = [this](int16_t& Cancel) { Form_Unload(Cancel); };
    KeyDown = [this](int16_t& KeyCode, int16_t Shift) { Form_KeyDown(KeyCode, Shift); };
    chkSendBugReports->Click = [this] { chkSendBugReports_Click(); };
    cmdEMailSoundboardReport->Click = [this] { cmdEMailSoundboardReport_Click(); };
    cmdFlimbox->Click = [this] { cmdFlimbox_Click(); };
    cmdSysInfo->Click = [this] { cmdSysInfo_Click(); };
    lblEMail->Click = [this] { lblEMail_Click(); };
    lblWebSite->Click = [this] { lblWebSite_Click(); };
}

void frmAbout::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    if (!trap(10, [&] {
            setCaption(QStringLiteral("About ") + appinfo::productName());
            lblNameVersion->setCaption(gsProductNameVersion);
            lblCopyright->setCaption(QStringLiteral("(c) ") + appinfo::legalCopyright());
            lblDescription->setCaption(appinfo::companyName() + QStringLiteral("\nAcoustic test systems\n") +
                                       QStringLiteral("Tel. +44 1632 960000"));
            lblWebSite->setCaption(kWebSiteShown);
            lblEMail->setCaption(gsEMailRecipient(QString()));
        }))
        return;
    trap(20, [&] { chkSendBugReports->setValue(CInt(Variant(userSetting(QStringLiteral("SendBugReports"), QStringLiteral("1"))))); });
}

// The bulletin offer counter: the first four closings only count, the fifth asks
// once, and from then on (or after a Yes at any time) the count stays 6.
void frmAbout::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    int16_t count = 0;
    if (!trap(10, [&] { count = CInt(Variant(userSetting(QStringLiteral("nAboutFlimboxCount"), QStringLiteral("0")))); }))
        return;
    trap(20, [&] {
        if (count < kFlimboxAsked) {
            ++count;
            if (count == kFlimboxAskAt) {
                cmdFlimbox_Click();
                count = kFlimboxAsked;
            }
        }
        saveUserSetting(QStringLiteral("nAboutFlimboxCount"), CStr(count));
    });
}

// Escape closes the window as its close box does.
void frmAbout::Form_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode != vbKeyEscape) return;
    KeyCode = 0;
    close();
}

// The central error handler offers a bug report after Abort only while this is "1".
void frmAbout::chkSendBugReports_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "chkSendBugReports_Click", bError);
    trap(10, [&] { saveUserSetting(QStringLiteral("SendBugReports"), CStr(chkSendBugReports->Value())); });
}

void frmAbout::cmdEMailSoundboardReport_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdEMailSoundboardReport_Click", bError);
    trap(10, [&] { gEMailSend(QStringLiteral("Soundboard"), QStringLiteral("Soundboard Report"), gsAboutWaveMixerInfoLong); });
}

void frmAbout::cmdFlimbox_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdFlimbox_Click", bError);
    int answer = vbNo;
    if (!trap(10, [&] {
            answer = gMsgBox(QStringLiteral("Would you like to subscribe to Pelmo's free Flimbox?") + kCrLf + kCrLf +
                                 QStringLiteral("It's sent by email about once a month."),
                             vbYesNo | vbQuestion, QStringLiteral("Flimbox"));
        }))
        return;
    if (answer != vbYes) return;
    if (!trap(20, [&] {
            gEMailSend(QStringLiteral("Flimbox"), QStringLiteral("Flimbox List"),
                       QStringLiteral("Please add me to the Pelmo Flimbox list.  Thank you."));
        }))
        return;
    trap(30, [&] { saveUserSetting(QStringLiteral("nAboutFlimboxCount"), CStr(kFlimboxAsked)); });
}

void frmAbout::cmdSysInfo_Click() {
    bool bError = false;
    mStartSysInfo(bError);
}

void frmAbout::lblEMail_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "lblEMail_Click", bError);
    const QString text = frmMultiLineText::gsMultiLineText(QStringLiteral("EMail to Pelmo"), bError);
    if (bError || text.isEmpty()) return;
    trap(10, [&] { gEMailSend(QString(), QString(), text); });
}

void frmAbout::lblWebSite_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "lblWebSite_Click", bError);
    trap(10, [&] {
        const int result = shellOpen(kWebSitePage);
        if (result <= 32)
            vbRaise(vberr::kUserBase, QStringLiteral("Error ") + QString::number(result) +
                                          QStringLiteral(" has occurred with ShellExecute"));
    });
}

// The system-information tool is whatever program the machine's settings name:
// the tool's own path first, else the tool in the shared tools folder.
void frmAbout::mStartSysInfo(bool& obError) {
    ErrorTrap trap(kModule, "mStartSysInfo", obError);
    QString value;
    QString tool;
    const bool pathFound = mbRegKeyValueGet(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                            QStringLiteral("PATH"), value, obError);
    if (obError) return;
    if (pathFound && !value.isEmpty()) {
        if (!trap(10, [&] { tool = executableOf(value); })) return;
    } else {
        const bool folderFound = mbRegKeyValueGet(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                                                  QStringLiteral("MSINFO"), value, obError);
        if (obError) return;
        if (folderFound &&
            !trap(20, [&] {
                QString folder = value;
                folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
                const QString file = QDir(folder).filePath(QStringLiteral("MSINFO32.EXE"));
                if (QFileInfo(file).isFile()) tool = QFileInfo(file).absoluteFilePath();
            }))
            return;
    }
    trap(30, [&] {
        if (tool.isEmpty()) {
            gMsgBox(QStringLiteral("System Information Is Unavailable"), vbExclamation, gsMainCaption);
            return;
        }
        // Started on its own: the About window stays open.
        if (!QProcess::startDetached(tool, {})) vbRaise(vberr::kFileNotFound);
    });
}

// One string value of the machine-wide settings store (the local-machine part of
// what the station reads); a missing key or value is not an error.
bool frmAbout::mbRegKeyValueGet(int32_t ilRootKey, const QString& isKeyPath, const QString& isValueName,
                                QString& osValue, bool& obError) {
    ErrorTrap trap(kModule, "mbRegKeyValueGet", obError);
    bool found = false;
    osValue.clear();
    trap(10, [&] {
        if (ilRootKey == HKEY_LOCAL_MACHINE) found = machinesettings::readValue(isKeyPath, isValueName, osValue);
    });
    return found && !obError;
}
