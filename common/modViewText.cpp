#include "common/modViewText.h"
#include "common/ErrorTrap.h"
#include "common/frmListGet.h"
#include "common/modFile.h"
#include <QStringList>

void gViewText(const QString& isFile, const QString& isCaption, bool& obError) {
    ErrorTrap trap("modViewText", "gViewText", obError);
    QStringList lines;
    QString title;
    if (!trap(10, [&] { gFileReadDotArray(isFile, true, lines, title); })) return;
    int32_t first = 1;
    frmListGet::gsListGet(lines, isCaption, false, first, obError);
}
