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
// The locale's short date form with a four-digit year, as the station's
// platform showed short dates ("07.12.2026", "12/7/2026"); Qt's locale data
// gives two digits for many locales.
QString shortDateFormat(const QLocale& iLocale);
}
