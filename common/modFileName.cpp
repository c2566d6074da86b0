#include "common/modFileName.h"
#include "common/ErrorTrap.h"
#include "platform/vb/Strings.h"
#include <algorithm>

namespace {
qsizetype mLastSeparator(const QString& isPath) {
    return std::max(isPath.lastIndexOf(QLatin1Char('\\')), isPath.lastIndexOf(QLatin1Char('/')));
}

// The path without its drive letter and colon.
QString msFileSpecStripDrive(const QString& isPath) {
    return isPath.size() >= 2 && isPath.at(1) == QLatin1Char(':') ? isPath.mid(2) : isPath;
}
}

QString gsFileSpecPath(const QString& isPath, bool& obError) {
    ErrorTrap trap("modFileSpecPath", "gsFileSpecPath", obError);
    QString folder;
    trap(10, [&] { folder = isPath.left(mLastSeparator(isPath) + 1); });
    return folder;
}

QString gsFileSpecFile(const QString& isPath, bool& obError) {
    ErrorTrap trap("modFileSpecFile", "gsFileSpecFile", obError);
    QString file = isPath;
    trap(10, [&] { file = isPath.mid(mLastSeparator(isPath) + 1); });
    return file;
}

QString gsFileSpecCompress(const QString& isPath, int16_t inMaxLen, bool& obError) {
    ErrorTrap trap("modFileSpecCompress", "gsFileSpecCompress", obError);
    if (Len(isPath) <= inMaxLen) return isPath;
    QString shortened = isPath;
    if (!trap(10, [&] { shortened = msFileSpecStripDrive(isPath); })) return isPath;
    if (Len(shortened) <= inMaxLen) return shortened;
    const QString file = gsFileSpecFile(isPath, obError);
    if (obError) return isPath;
    if (Len(file) + 4 > inMaxLen) return file;
    const bool slashes = isPath.lastIndexOf(QLatin1Char('/')) > isPath.lastIndexOf(QLatin1Char('\\'));
    return (slashes ? QStringLiteral(".../") : QStringLiteral("...\\")) + file;
}
