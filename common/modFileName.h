#pragma once
#include <QString>
#include <cstdint>

// Splitting and shortening file paths for display. Both "\" (paths as stored
// by the station) and "/" separate folders.

// The folder part of a path up to and including its last separator; empty when
// it has none.
QString gsFileSpecPath(const QString& isPath, bool& obError);
// The part of a path after its last separator; the whole text when it has none.
QString gsFileSpecFile(const QString& isPath, bool& obError);
// A path shortened for a label at most inMaxLen characters wide: the path
// itself when it fits; else without its drive when that fits; else "...\"
// and the file name when that fits; else the file name alone. A path written
// with "/" is shortened to ".../" and the file name.
QString gsFileSpecCompress(const QString& isPath, int16_t inMaxLen, bool& obError);
