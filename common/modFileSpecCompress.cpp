#include "common/modFileSpecCompress.h"
#include "common/ErrorTrap.h"
#include "common/modFileSpecFile.h"
#include "platform/vb/Strings.h"

namespace {
// The path without its drive letter and colon.
QString msFileSpecStripDrive(const QString& isPath) {
    return isPath.size() >= 2 && isPath.at(1) == QLatin1Char(':') ? isPath.mid(2) : isPath;
}
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
