#pragma once
#include <QString>

// Hands one plain-text message to the system's sendmail interface ("sendmail -t").
// The program is VEXO_SENDMAIL when set, else /usr/sbin/sendmail, else the first
// sendmail on the PATH. False (with a reason) when there is none, it fails, or
// it does not finish in time.
bool sendMailMessage(const QString& iTo, const QString& iSubject, const QString& iBody, QString& oReason);

// The RFC 5322 text handed over (exposed for tests).
QByteArray composeMailMessage(const QString& iTo, const QString& iSubject, const QString& iBody);
