#pragma once
#include <QString>

// What the program knows of itself: its title, file name, version record and
// the program folder where all its files live.
namespace appinfo {
QString title();          // the application title ("Vexo")
QString exeName();        // the program's file name without extension
QString productName();
QString companyName();
QString legalCopyright(); // the legal notice, without "(c) "
QString comments();
int versionMajor();
int versionMinor();
int versionRevision();

// The executable's folder, or VEXO_HOME when set (tests and the demo set it).
QString programFolder();
// True when the program folder (VEXO_HOME, or the executable's folder when it
// is unset) is a folder in which the station can create, write and remove a
// file; otherwise oMessage says what failed, why, and what to do.
bool programFolderValid(QString& oMessage);
// A name relative to the program folder (absolute names stay as they are);
// "\" separators of stored names are read as "/".
QString programPath(const QString& iName);
}
