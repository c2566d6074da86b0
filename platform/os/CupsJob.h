#pragma once
#include <QByteArray>
#include <QString>

// Print jobs handed to the CUPS scheduler through libcups (the server named by
// CUPS_SERVER, else the system's). Every call has a deadline: an unreachable or
// stalled scheduler is a failure, never a hang.
namespace cupsjob {
// Document formats the station sends.
inline constexpr const char* kFormatPdf = "application/pdf";
inline constexpr const char* kFormatRaw = "application/vnd.cups-raw";   // passed to the printer unchanged

// The scheduler's default queue (honouring lpoptions and PRINTER); empty when
// there is none or no scheduler answers, and then oReason (when given) says
// which: the print server cannot be reached, or it has no default printer.
QString defaultQueue(QString* oReason = nullptr);

// Sends the bytes as one job of one document to the queue and returns the
// scheduler's job number. 0, with the scheduler's reason, when the job was not
// accepted; a job refused half-way is cancelled.
int send(const QString& iQueue, const QString& iTitle, const char* iFormat, const QByteArray& iBytes,
         QString& oReason);
}
