#pragma once
#include <QString>

// Shows a dot-comment text file (a sequence's prompt file) in the list dialog,
// captioned isCaption: its lines with blank lines kept, without its title line,
// the first line preselected and no Cancel button. The choice is not used.
void gViewText(const QString& isFile, const QString& isCaption, bool& obError);
