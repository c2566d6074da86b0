#include "station/StationWindows.h"
#include "common/WindowRegistry.h"
#include "station/frmVexo.h"

void gStationWindowsRegister() { gWindowRegister<frmVexo>(WindowKind::Main); }
