#pragma once
#include <QString>

class QListWidget;

// Removes the entry equal to isEntry from the list and selects the entry before
// it (the first when it was the first), while the list still has entries.
// A text the list does not hold leaves the list as it is.
void gListRemoveEntry(const QString& isEntry, QListWidget& iolstIn, bool& obError);
