#pragma once
#include <QString>

// The folder part of a path up to and including its last separator; empty when
// it has none. Both "\" (paths as stored by the station) and "/" separate folders.
QString gsFileSpecPath(const QString& isPath, bool& obError);
