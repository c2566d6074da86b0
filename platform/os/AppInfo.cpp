#include "platform/os/AppInfo.h"
#include "VersionInfo.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace appinfo {
QString title() { return QString::fromLatin1(versioninfo::kTitle); }
QString exeName() { return QString::fromLatin1(versioninfo::kExeName); }
QString productName() { return QString::fromLatin1(versioninfo::kProductName); }
QString companyName() { return QString::fromLatin1(versioninfo::kCompanyName); }
QString legalCopyright() { return QString::fromUtf8(versioninfo::kLegalCopyright); }
QString comments() { return QString::fromUtf8(versioninfo::kComments); }
int versionMajor() { return versioninfo::kMajor; }
int versionMinor() { return versioninfo::kMinor; }
int versionRevision() { return versioninfo::kRevision; }

QString programFolder() {
    const QByteArray home = qgetenv("VEXO_HOME");
    if (!home.isEmpty()) return QDir(QString::fromLocal8Bit(home)).absolutePath();
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

bool programFolderValid(QString& oMessage) {
    const QString home = qEnvironmentVariable("VEXO_HOME");
    if (home.isEmpty()) return true;
    const QFileInfo folder(home);
    if (!folder.isDir())
        oMessage = QStringLiteral("VEXO_HOME \"") + home +
                   QStringLiteral("\" names no folder: the station folder must exist.");
    else if (!folder.isWritable())
        oMessage = QStringLiteral("VEXO_HOME \"") + home +
                   QStringLiteral("\" is a folder the station cannot write to: its database files and log live there.");
    else
        return true;
    return false;
}

QString programPath(const QString& iName) {
    QString n = iName;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(n)) return n;
    return QDir(programFolder()).filePath(n);
}
}
