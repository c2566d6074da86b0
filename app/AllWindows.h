#pragma once

// Fills the window registry with every subsystem's windows; called once at
// start, before the main window loads.
void gAllWindowsRegister();
