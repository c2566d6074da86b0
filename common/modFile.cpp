#include "common/modFile.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/MsgBox.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const char* kModule = "modFile";

// A file that is not there reads as no lines; anything there is read only as a
// regular file within the limit.
QStringList readLines(const QString& isPath, qint64 iLimit, FileBound iOver = FileBound::Refuse) {
    const QString path = appinfo::programPath(isPath);
    if (!QFileInfo::exists(path)) return {};
    return splitTextLines(decodeText(readBoundedFile(path, iLimit, iOver), TextEncoding::Auto));
}

// The next entry of the open file: comments skipped, ".." unescaped.
QString msFileReadLineDot(const QStringList& iLines, qsizetype& ioNext, bool ibBlankAsSpace) {
    QString line;
    bool read = false;
    while (ioNext < iLines.size()) {
        line = iLines.at(ioNext++);
        read = true;
        if (ibBlankAsSpace && line.isEmpty()) line = QStringLiteral(" ");
        if (!(line.startsWith(QLatin1Char('.')) && !line.startsWith(QLatin1String("..")))) break;
    }
    if (!read) return QString();
    if (line.startsWith(QLatin1String(".."))) return line.mid(1);
    if (ioNext >= iLines.size() && line.startsWith(QLatin1Char('.'))) return QString();
    return line;
}
}

int32_t glFileLineCount(const QString& isPath) { return static_cast<int32_t>(readLines(isPath, kTextFileLimit).size()); }

void gFileReadDotArray(const QString& isPath, bool ibBlankAsSpace, QStringList& oasLines, QString& osTitle,
                       qint64 iLimit, FileBound iOver) {
    const QStringList lines = readLines(isPath, iLimit, iOver);
    const qsizetype c = lines.size();
    oasLines = QStringList{QString()};
    if (c == 0) return;
    qsizetype next = 0;
    const QString first = lines.at(next++);
    if (first.startsWith(QLatin1Char('.'))) osTitle = first.mid(1);
    else oasLines << first;
    while (c > 1 && next < c && oasLines.size() - 1 < c) {
        const QString entry = msFileReadLineDot(lines, next, ibBlankAsSpace);
        if (!entry.isEmpty()) oasLines << entry;
    }
}

namespace {
// The first file the folder search finds for the name (letter case and
// wildcards as a search of the folder matches them); empty when none.
QString mFileFound(const QString& isFile) {
    const QFileInfo fi(appinfo::programPath(isFile));
    // Only * and ? are wildcards: "[" and "]" in a name stand for themselves.
    QString pattern;
    for (const QChar c : fi.fileName()) {
        if (c == QLatin1Char('[')) pattern += QStringLiteral("[[]");
        else if (c == QLatin1Char(']')) pattern += QStringLiteral("[]]");
        else pattern += c;
    }
    // Devices and pipes count as there, so that reading one is refused by name
    // rather than taken for a missing file (and a settings file overwritten).
    const QFileInfoList hits = fi.dir().entryInfoList(QStringList{pattern}, QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo& h : hits)
        if (!h.isHidden()) return h.filePath();
    return QString();
}
}

QString gsFileFoundPath(const QString& isFile) {
    const QString found = mFileFound(isFile);
    return found.isEmpty() ? appinfo::programPath(isFile) : found;
}

bool gbFileExists(const QString& isFile, bool& obError) {
    ErrorTrap trap(kModule, "gbFileExists", obError);
    bool found = false;
    trap(10, [&] { found = !mFileFound(isFile).isEmpty(); });
    return found;
}

bool gbFileExistsReportIfNot(const QString& isFile, const QString& isTitle, bool& obError) {
    const bool found = gbFileExists(isFile, obError);
    if (!found && !obError)
        gMsgBox(QStringLiteral("File '") + isFile + QStringLiteral("' does not exist "), vbExclamation, isTitle);
    return found;
}

int16_t gnFileExistsOpen(const QString& isFile, const QString& isTitle, bool& obError, TextEncoding iEncoding) {
    ErrorTrap trap(kModule, "gnFileExistsOpen", obError);
    bool exists = false;
    const bool report = gbGLenTrim(isTitle, obError);
    if (obError) return 0;
    exists = report ? gbFileExistsReportIfNot(isFile, isTitle, obError) : gbFileExists(isFile, obError);
    if (obError || !exists) return 0;
    int16_t fileNumber = 0;
    trap(20, [&] {
        const QString path = mFileFound(isFile);
        fileNumber = static_cast<int16_t>(textFileOpen(path.isEmpty() ? appinfo::programPath(isFile) : path, iEncoding));
    });
    return fileNumber;
}
