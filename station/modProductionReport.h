#pragma once
#include <QString>

// modProductionReport: today's production counts and their summary line.
// Production mode is on while the main window's operator combo box shows.

// Reloads today's counts and shows the summary on the main window.
void gMprProdRep(bool& obError);

// The engineer-mode pause: hides the operator combo box (counting stops) and
// opens a pause, or shows it again (counting resumes) and books the open pause.
void gMprPauseToggle(bool& obError);

// Reads today's totals from the production table and starts a new period. A
// missing Vexo_Prod.mdb is reported and changes nothing.
void gMprFileRead(bool& obError);

// Adds the current period's row to the production table and starts the next
// period; with no unit counted for the sequence meanwhile nothing is written.
void gMprFileWrite(bool& obError);

// Counts one tested unit in production mode and shows the summary.
void gMprInc(bool ibFailed, bool& obError);

// Builds the summary line into the main window's lblProdRep.
void gMprSummary(bool& obError);

// The Report button's command.
void gMprReport(const QString& isSeqName, bool& obError);
