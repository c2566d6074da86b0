#pragma once
#include <QString>

// The machine-wide settings store: what the station reads of the machine's own
// configuration (where the system-information tool is), kept by the machine's
// administrator. One INI file whose sections are key paths and whose keys are
// value names, as they would stand in the local-machine part of a registry:
//
//   [SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   PATH=/usr/bin/hardinfo
//
// Key paths and value names match without regard to case, and "/" reads as "\"
// in key paths. A value may be written in double quotes (kept blanks at its
// ends). Lines starting with ";" or "#" are comments. The store is read-only to
// the station.
namespace machinesettings {
// The file: VEXO_MACHINE_SETTINGS when set (tests), else /etc/vexo/machine.ini.
QString path();

// True with the value when the key path holds the value name; false with an
// empty value when the key or the value is not there (also when there is no
// file at all), which is not an error. A value is at most 1024 characters long;
// a longer one is cut there. A file that is there but cannot be read raises
// "Path/File access error" (75).
bool readValue(const QString& iKeyPath, const QString& iValueName, QString& oValue);
}
