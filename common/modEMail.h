#pragma once
#include <QString>

// Sends one report to the maker through the system's mail interface. Reports its
// own failure ("Error occurred sending email"); the caller carries on either way.
void gEMailSend(const QString& isKind, const QString& isSubject, const QString& isBody);

// The maker's address for a kind of report: the per-user setting "EMail" + kind
// when set, else the maker's default address for that kind.
QString gsEMailRecipient(const QString& isKind);
