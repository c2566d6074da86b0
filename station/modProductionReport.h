#pragma once

// modProductionReport: today's production counts and their summary line.

// Reloads today's counts and shows the summary on the main window.
void gMprProdRep(bool& obError);
