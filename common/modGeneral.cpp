#include "common/modGeneral.h"
#include "common/ErrorTrap.h"
#include "common/modErrorHandler.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Clock.h"
#include "platform/vb/Locale.h"
#include "platform/os/OsVersion.h"
#include "platform/os/Settings.h"
#include "platform/os/Shell.h"
#include "platform/os/TerminationSignals.h"
#include "platform/os/SingleInstance.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/Strings.h"
#include <algorithm>

QString gsOSVersion;
QString gsMainCaption;
QString gsUserRegionCode;
bool gbUserRegionChanged = false;
QString gsProductNameVersion = appinfo::productName() + QLatin1Char(' ') + gsVersion();

namespace {
const char* kModule = "modGeneral";
const QString kCrLf = QStringLiteral("\r\n");
}

void gActivatePrevInstance(bool& obError) {
    ErrorTrap trap(kModule, "gActivatePrevInstance", obError);
    bool found = false;
    if (!trap(10, [&] { found = SingleInstance::activateRunning(); })) return;
    if (!found)
        gMsgBox(QStringLiteral("No previous instance found in gActivatePrevInstance!"), vbExclamation, gsMainCaption);
}

QString gsGGetOSVersion(bool& obError) {
    ErrorTrap trap(kModule, "gsGGetOSVersion", obError);
    QString text;
    trap(10, [&] {
        const OsVersionInfo v = queryOsVersion();
        if (!v.ok) { text = QStringLiteral("Windows version unknown"); return; }
        text = v.platformName + QStringLiteral(" v") + QString::number(v.major) + QLatin1Char('.') +
               QString::number(v.minor) + QStringLiteral(" Build ") + QString::number(v.build) + QLatin1Char(' ') +
               v.extra.section(QChar(0), 0, 0);
    });
    return text;
}

void gGStartUpSetStuff(bool& obError) {
    bool osError = false;
    gsOSVersion = gsGGetOSVersion(osError);
    if (osError) gsOSVersion = QStringLiteral("Windows version unknown");
    gsMainCaption = gsProductNameVersion;
    gbUserRegionChanged = gbGetLocaleInfoUserRegionChanged(obError);
}

QString msGetLocaleInfoUser(int16_t inItem, bool& obError) {
    ErrorTrap trap(kModule, "msGetLocaleInfoUser", obError);
    QString text;
    trap(10, [&] {
        if (inItem == 14) text = userlocale::decimalChar();
        else if (inItem == 5) text = userlocale::regionCode();
        if (text.isEmpty()) vbRaise(vberr::kUserBase, QStringLiteral("Error occurred with GetLocaleInfo"));
    });
    return text;
}

QString gsGetLocaleInfoUserDecimalChar(bool& obError) { return msGetLocaleInfoUser(14, obError); }
QString msGetLocaleInfoUserRegionCode(bool& obError) { return msGetLocaleInfoUser(5, obError); }

bool gbGetLocaleInfoUserRegionChanged(bool& obError) {
    ErrorTrap trap(kModule, "gbGetLocaleInfoUserRegionChanged", obError);
    gsUserRegionCode = msGetLocaleInfoUserRegionCode(obError);
    if (obError) return false;
    bool changed = false;
    trap(20, [&] {
        const QString saved = userSetting(QStringLiteral("UserRegion"));
        if (!saved.isEmpty() && saved != gsUserRegionCode) {
            gMsgBox(QStringLiteral("Your region setting has changed") + kCrLf + kCrLf +
                        QStringLiteral("Resetting start up defaults"),
                    vbExclamation, gsMainCaption);
            changed = true;
        }
    });
    return changed;
}

void gGetLocaleInfoSaveUserRegion(bool& obError) {
    ErrorTrap trap(kModule, "gGetLocaleInfoSaveUserRegion", obError);
    const QString code = msGetLocaleInfoUserRegionCode(obError);
    if (obError) return;
    trap(10, [&] { saveUserSetting(QStringLiteral("UserRegion"), code); });
}

QString gsGCheckUpdateDecimalChar(const QString& isNumber, bool& obError) {
    const QString d = gsGetLocaleInfoUserDecimalChar(obError);
    if (obError) return isNumber;
    const QString other = d != QLatin1String(".") ? QStringLiteral(".") : QStringLiteral(",");
    QString out = isNumber;
    out.replace(other, d);
    return out;
}

QString gsGGetSettingValidNumber(const QString& isKey, float ifDefault, bool& obError) {
    ErrorTrap trap(kModule, "gsGGetSettingValidNumber", obError);
    const QString defaultText = Format(ifDefault, QStringLiteral("General Number"));
    QString text = defaultText;
    if (!trap(10, [&] { text = userSetting(isKey, defaultText); })) return defaultText;
    text = gsGCheckUpdateDecimalChar(text, obError);
    if (obError) return defaultText;
    return gbGTextValidSingle(text, obError) ? text : defaultText;
}

void gGShowHelp(int32_t ilHwnd, bool& obError) {
    Q_UNUSED(ilHwnd);
    ErrorTrap trap(kModule, "gGShowHelp", obError);
    trap(10, [&] {
        const int r = shellOpen(appinfo::programPath(QStringLiteral("Vexo.chm")));
        if (r <= 32)
            vbRaise(vberr::kUserBase, QStringLiteral("Error ") + QString::number(r) +
                                          QStringLiteral(" has occurred with ShellExecute"));
    });
}

void gGPause(int16_t inMilliseconds, bool& obError) {
    ErrorTrap trap(kModule, "gGPause", obError);
    // The 64-bit tick never wraps, so a station that runs for weeks waits as on its first day.
    // In slices, so that a shutdown asked for meanwhile ends the wait.
    trap(10, [&] {
        const int64_t end = vclock::ticks() + inMilliseconds;
        for (int64_t left = inMilliseconds; left > 0; left = end - vclock::ticks()) {
            termination::raiseIfRequested();
            vclock::busyWait(std::min<int64_t>(left, 50));
        }
    });
}

QString gsGStringLeftStrip(const QString& isText, const QString& isChar, bool& obError) {
    Q_UNUSED(obError);
    if (isChar.isEmpty()) return isText;
    QString out = isText;
    while (out.startsWith(isChar.at(0))) out.remove(0, 1);
    return out;
}

QString gsGTrim(const QString& isText, bool& obError) {
    QString out = gsGStringLeftStrip(isText, QString(QChar(0)), obError);
    while (out.endsWith(QChar(0))) out.chop(1);
    return Trim(out);
}

bool gbGLenTrim(const QString& isText, bool& obError) { return !gsGTrim(isText, obError).isEmpty(); }

int16_t gnGAscii(const QString& isText, bool& obError) {
    ErrorTrap trap(kModule, "gnGAscii", obError);
    int16_t code = 0;
    trap(10, [&] { if (!isText.isEmpty()) code = static_cast<int16_t>(Asc(isText)); });
    return code;
}

bool gbGTextValidSingle(const QString& isText, bool& obError) {
    Q_UNUSED(obError);
    try {
        CSng(Variant(isText));
        return true;
    } catch (const VbError&) {
        return false;
    }
}
