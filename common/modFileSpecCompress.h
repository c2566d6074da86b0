#pragma once
#include <QString>
#include <cstdint>

// A path shortened for a label at most inMaxLen characters wide: the path
// itself when it fits; else without its drive when that fits; else "...\"
// and the file name when that fits; else the file name alone. A path written
// with "/" is shortened to ".../" and the file name.
QString gsFileSpecCompress(const QString& isPath, int16_t inMaxLen, bool& obError);
