#pragma once

// Enters the sequence editor and the system window in the window registry.
void gEngineeringWindowsRegister();
