#pragma once
#include <QString>

// The operating system's version as the start-up text needs it.
struct OsVersionInfo {
    bool ok = false;
    QString platformName;    // "Linux"
    int major = 0;
    int minor = 0;
    int build = 0;
    QString extra;           // the distribution's name and version
};
OsVersionInfo queryOsVersion();
