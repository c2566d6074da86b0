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

// Section and key names match without regard to case, as in the registry the
// station's routines were written against: the spelling already stored wins.
QString matching(const QStringList& iStored, const QString& iName) {
    for (const QString& n : iStored)
        if (n.compare(iName, Qt::CaseInsensitive) == 0) return n;
    return iName;
}

QString storedSection(QSettings& s, const QString& iSection) {
    return matching(s.childGroups(), safe(iSection));
}

QString storedKey(QSettings& s, const QString& iSection, const QString& iKey) {
    const QString section = storedSection(s, iSection);
    s.beginGroup(section);
    const QString key = matching(s.childKeys(), safe(iKey));
    s.endGroup();
    return section + QLatin1Char('/') + key;
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
    const QVariant v = s.value(storedKey(s, iSection, iKey));
    if (!v.isValid()) return iDefault;
    // A value with commas may come back as a list from an INI written by hand.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void SaveSetting(const QString& iApp, const QString& iSection, const QString& iKey, const QString& iValue) {
    QSettings s = open(iApp);
    const QString key = storedKey(s, iSection, iKey);
    // A value stored already is not written again: each write is a wait for the disk.
    const QVariant stored = s.value(key);
    if (stored.typeId() == QMetaType::QString && stored.toString() == iValue) return;
    s.setValue(key, iValue);
    s.sync();
}

void DeleteSetting(const QString& iApp, const QString& iSection, const QString& iKey) {
    QSettings s = open(iApp);
    if (iKey.isEmpty()) s.remove(storedSection(s, iSection));
    else s.remove(storedKey(s, iSection, iKey));
    s.sync();
}

QString userSetting(const QString& iKey, const QString& iDefault) {
    return GetSetting(appinfo::companyName(), appinfo::title(), iKey, iDefault);
}
void saveUserSetting(const QString& iKey, const QString& iValue) {
    SaveSetting(appinfo::companyName(), appinfo::title(), iKey, iValue);
}
void deleteUserSetting(const QString& iKey) { DeleteSetting(appinfo::companyName(), appinfo::title(), iKey); }
