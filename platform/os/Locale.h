#pragma once
#include <QLocale>
#include <QString>

// The two converter sets of the station: the user's locale for every number or
// date shown to or typed by a person, and the invariant C locale for fixed formats.
// Tests inject a user locale; nothing else reads QLocale::system() directly.
namespace userlocale {
QLocale user();
void setUser(const QLocale& iLocale);   // tests and the demo
void resetUser();                       // back to the system's
inline QLocale invariant() { return QLocale::c(); }
QString decimalChar();                  // "." or ","
QString regionCode();                   // the territory code, e.g. "GB"
}
