#include "common/modFileSpecFile.h"
#include "common/ErrorTrap.h"
#include <algorithm>

QString gsFileSpecFile(const QString& isPath, bool& obError) {
    ErrorTrap trap("modFileSpecFile", "gsFileSpecFile", obError);
    QString file = isPath;
    trap(10, [&] {
        const qsizetype last = std::max(isPath.lastIndexOf(QLatin1Char('\\')), isPath.lastIndexOf(QLatin1Char('/')));
        file = isPath.mid(last + 1);
    });
    return file;
}
