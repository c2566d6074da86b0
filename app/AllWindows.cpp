#include "app/AllWindows.h"
#include "engineering/EngineeringWindows.h"
#include "station/StationWindows.h"
#include "supervisor/SupervisorWindows.h"
#include "test_editor/TestEditorWindows.h"

void gAllWindowsRegister() {
    gStationWindowsRegister();
    gEngineeringWindowsRegister();
    gTestEditorWindowsRegister();
    gSupervisorWindowsRegister();
}
