#pragma once
#include <QString>
#include <cstdint>

// The central error handler and the error log.
extern int32_t glErrorResponse;     // the handler's last answer: 3 Abort, 4 Retry, 5 Ignore
extern QString gsErrorContext;      // extra diagnostic lines for every later log entry

// Logs the current error (Err), shows it with Abort, Retry and Ignore, offers a
// bug report after Abort, and returns the answer. The error a shutdown raises
// (termination::kErrorNumber) is answered Abort without any of that. Never throws.
int16_t gnErrorHandler(const QString& iModule, const QString& iRoutine, int32_t iLine);

// Appends a note to the error log without showing anything (what the
// station did instead of failing). Never throws.
void gErrorLogNote(const QString& iText);

// "v" major "." revision with at least three digits: v1.012.
QString gsVersion();

// The error log's path: the program's file name with ".log" in the program folder.
QString errorLogPath();
