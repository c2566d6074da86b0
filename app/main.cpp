#include "app/AllWindows.h"
#include "platform/os/AppInfo.h"
#include "platform/sound/JigUnits.h"
#include "platform/sound/SoundBackend.h"
#include "platform/ui/AppFont.h"
#include "station/StationProgram.h"
#include <QApplication>
#include <QStringList>
#include <cstdio>

namespace {
// What in the environment stops the start: a station folder it cannot use, a
// sound or jig unit it does not have.
QStringList environmentRefusals() {
    QStringList out;
    QString s;
    if (!appinfo::programFolderValid(s)) out << s;
    if (!sound::soundChoiceValid(s)) out << s;
    else if (sound::jigRequested() && !jigunits::choiceValid(s)) out << s;
    return out;
}
}

int main(int argc, char** argv) {
    // Said on standard error and ended at once, before any window: under
    // xvfb-run nobody could see or answer a box.
    if (const QStringList refusals = environmentRefusals(); !refusals.isEmpty()) {
        for (const QString& r : refusals) std::fprintf(stderr, "Vexo: %s\n", qPrintable(r));
        return 1;
    }
    QApplication app(argc, argv);
    appfont::install();
    gAllWindowsRegister();
    return runStationProgram();
}
