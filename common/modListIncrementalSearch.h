#pragma once
#include <QString>
#include <cstdint>

class QListWidget;

// The index of the entry that best matches a typed text, without regard to
// case: the first entry with the longest common start. While no entry shares a
// start, an entry whose first character does not sort after the typed one is
// taken, so that in a sorted list the result is where the typed text would
// stand. 0 when nothing qualifies. An empty list is refused with a message,
// the error flag set and -1.
int16_t gnListIncrementalSearch(QListWidget& illstIn, const QString& isTyped, bool& obError);
