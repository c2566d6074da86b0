#include "platform/os/AppInfo.h"
#include "VersionInfo.h"
#include "platform/os/ShownValue.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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

namespace {
// What stops the station keeping its files in a folder: it must create, write
// and remove a file there (a folder may pass a permission check and still
// refuse all three, as /proc does for root or a folder one may write but not
// enter). Empty when the folder takes a file.
QString folderRefusal(const QString& iFolder) {
    // A name no file has: a check file left by a start killed midway (whose
    // process id a later start may get again) is no reason to refuse the folder.
    QFile probe;
    for (int attempt = 0;; ++attempt) {
        probe.setFileName(QDir(iFolder).filePath(QStringLiteral(".vexo-folder-check-%1-%2")
                                                     .arg(QCoreApplication::applicationPid())
                                                     .arg(QRandomGenerator::global()->generate(), 8, 16,
                                                          QLatin1Char('0'))));
        if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) break;
        if (!probe.exists() || attempt == 100)
            return QStringLiteral("creating a file in it failed (") + probe.errorString() + QLatin1Char(')');
    }
    const bool written = probe.write("Vexo\r\n", 6) == 6;
    const QString writeError = probe.errorString();
    probe.close();
    const bool removed = probe.remove();
    if (!written) return QStringLiteral("writing a file in it failed (") + writeError + QLatin1Char(')');
    if (!removed) return QStringLiteral("removing a file from it failed (") + probe.errorString() + QLatin1Char(')');
    return {};
}
}

bool programFolderValid(QString& oMessage) {
    static const QString kWhatToDo =
        QStringLiteral(" Its database files and log live there: set VEXO_HOME to a folder you can write.");
    const QString home = qEnvironmentVariable("VEXO_HOME");
    const QString folder = programFolder();
    if (!home.isEmpty() && !QFileInfo(home).isDir()) {
        oMessage = QStringLiteral("VEXO_HOME ") + shownValue(home) +
                   QStringLiteral(" names no folder: the station folder must exist.");
        return false;
    }
    const QString refusal = folderRefusal(folder);
    if (refusal.isEmpty()) return true;
    const QString which = home.isEmpty() ? QStringLiteral("The program's folder ") + shownValue(folder) +
                                               QStringLiteral(" (the station folder while VEXO_HOME is unset)")
                                         : QStringLiteral("VEXO_HOME ") + shownValue(home);
    oMessage = which + QStringLiteral(" is a folder the station cannot use: ") + refusal + QLatin1Char('.') + kWhatToDo;
    return false;
}

QString programPath(const QString& iName) {
    QString n = iName;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(n)) return n;
    return QDir(programFolder()).filePath(n);
}
}
