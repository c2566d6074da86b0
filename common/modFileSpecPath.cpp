#include "common/modFileSpecPath.h"
#include "common/ErrorTrap.h"
#include <algorithm>

QString gsFileSpecPath(const QString& isPath, bool& obError) {
    ErrorTrap trap("modFileSpecPath", "gsFileSpecPath", obError);
    QString folder;
    trap(10, [&] {
        const qsizetype last = std::max(isPath.lastIndexOf(QLatin1Char('\\')), isPath.lastIndexOf(QLatin1Char('/')));
        folder = isPath.left(last + 1);
    });
    return folder;
}
