#include "platform/os/Settings.h"
#include "platform/os/AppInfo.h"
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString& overrideFolder() { static QString s; return s; }

// INI keys treat "/" and "\" as group separators; station keys never contain them,
// but a section named after a title might.
QString safe(QString iName) {
    iName.replace(QLatin1Char('/'), QLatin1Char('_'));
    iName.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return iName;
}

QSettings open(const QString& iApp) {
    const QString dir = settingsstore::folder();
    QDir().mkpath(dir);
    return QSettings(QDir(dir).filePath(safe(iApp) + QStringLiteral(".ini")), QSettings::IniFormat);
}
}

namespace settingsstore {
QString folder() {
    if (!overrideFolder().isEmpty()) return overrideFolder();
    const QByteArray env = qgetenv("VEXO_SETTINGS");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
void setFolder(const QString& iFolder) { overrideFolder() = iFolder; }
}

QString GetSetting(const QString& iApp, const QString& iSection, const QString& iKey, const QString& iDefault) {
    QSettings s = open(iApp);
    const QVariant v = s.value(safe(iSection) + QLatin1Char('/') + safe(iKey));
    if (!v.isValid()) return iDefault;
    // A value with commas may come back as a list from an INI written by hand.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void SaveSetting(const QString& iApp, const QString& iSection, const QString& iKey, const QString& iValue) {
    QSettings s = open(iApp);
    s.setValue(safe(iSection) + QLatin1Char('/') + safe(iKey), iValue);
    s.sync();
}

void DeleteSetting(const QString& iApp, const QString& iSection, const QString& iKey) {
    QSettings s = open(iApp);
    if (iKey.isEmpty()) s.remove(safe(iSection));
    else s.remove(safe(iSection) + QLatin1Char('/') + safe(iKey));
    s.sync();
}

QString userSetting(const QString& iKey, const QString& iDefault) {
    return GetSetting(appinfo::companyName(), appinfo::title(), iKey, iDefault);
}
void saveUserSetting(const QString& iKey, const QString& iValue) {
    SaveSetting(appinfo::companyName(), appinfo::title(), iKey, iValue);
}
void deleteUserSetting(const QString& iKey) { DeleteSetting(appinfo::companyName(), appinfo::title(), iKey); }
