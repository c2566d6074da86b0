#pragma once

// modProductionReport: today's production counts and their summary line.

// Reloads today's counts and shows the summary on the main window.
void gMprProdRep(bool& obError);

// The engineer-mode pause: hides the operator combo box (counting stops) and
// opens a pause, or shows it again (counting resumes) and books the open pause.
void gMprPauseToggle(bool& obError);

// Counts the tested unit in today's production, failed or passed.
void gMprInc(bool ibFailed, bool& obError);
// Writes today's counts to the production report file.
void gMprFileWrite(bool& obError);
