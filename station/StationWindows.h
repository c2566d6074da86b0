#pragma once

// Enters the main window in the window registry.
void gStationWindowsRegister();
