#pragma once
#include <QString>

// The part of a path after its last separator ("\" or "/"); the whole text
// when it has none.
QString gsFileSpecFile(const QString& isPath, bool& obError);
