#pragma once

// modMVarious: management of the engineer and supervisor windows.

// Closes the open engineer windows and the typical-unit and pair-matching
// windows; sets the error flag when one of them stays open.
void gVarEngineerUnloadAll(bool& obError);
