#pragma once

// Enters the supervisor's tools, pair matching and the typical unit in the window registry.
void gSupervisorWindowsRegister();
