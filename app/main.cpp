#include "app/AllWindows.h"
#include "platform/sound/JigUnits.h"
#include "platform/sound/SoundBackend.h"
#include "platform/ui/AppFont.h"
#include "platform/ui/MsgBox.h"
#include "station/StationProgram.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    appfont::install();
    // A unit the simulated jig does not have stops the start at once.
    if (QString sUnknown; sound::jigRequested() && !jigunits::choiceValid(sUnknown)) {
        gMsgBox(sUnknown, vbCritical);
        return 1;
    }
    gAllWindowsRegister();
    return runStationProgram();
}
