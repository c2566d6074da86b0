#pragma once
#include <QString>
#include <cstdint>

// modDigitalIO: two lines of the production line's digital output board, the
// fail line (line 2, value 4) and the test-in-progress line (line 3, value 8).
// The board's port is the station setting gnDigPort (0 = no board). Without a
// board found the lines are worked out but reach nothing.

extern bool gbDigThere;   // a board was found at the port

// Start-up check: a configured port without a board is reported.
void gDigInit(bool& obError);
void gDigSetFail(bool& obError);
void gDigSetNotFail(bool& obError);
void gDigSetTestInProgress(bool& obError);
void gDigSetNotTestInProgress(bool& obError);
// Whether the test-in-progress line is set; always false without a board, so
// callers that find it clear set and clear it themselves.
bool gbDigTestInProgressSet(bool& obError);
// "Digital I/O not found on port n" (or, for port 0, that no port is set),
// titled isTitle.
void gDigShowErrorMessage(int16_t inPort, const QString& isTitle, bool& obError);
// Sets or clears line ibytLine, keeping the other lines as they are.
void mDigSetOut(uint8_t ibytLine, bool ibSet, bool& obError);
// The byte the station last wrote to the board's outputs.
uint8_t mbytDigReadOut(bool& obError);
