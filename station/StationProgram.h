#pragma once

// The program's life once its application object exists: the main window's load
// starts the station and its unload ends the program, whichever way it unloads
// (File > Exit, its close box, a shutdown of the machine). A shutdown asked for
// while a unit, a calibration or a try-out runs ends that command as Abort at
// an error would, with nothing logged, and the window closes as soon as it is
// free. Returns the exit status.
int runStationProgram();
