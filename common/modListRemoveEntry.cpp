#include "common/modListRemoveEntry.h"
#include "common/ErrorTrap.h"
#include "platform/ui/ListBox.h"
#include <QListWidget>

void gListRemoveEntry(const QString& isEntry, QListWidget& iolstIn, bool& obError) {
    ErrorTrap trap("modListRemoveEntry", "gListRemoveEntry", obError);
    int removed = -1;
    if (!trap(10, [&] {
            removed = -1;
            for (int i = 0; i < iolstIn.count(); ++i)
                if (iolstIn.item(i)->text() == isEntry) { removed = i; break; }
        }))
        return;
    // Removing some other entry for a name that is not there would lose that entry.
    if (removed < 0) return;
    // The station's own list raises Click once, with the final choice: the
    // entry after the removed one is never chosen on the way.
    if (auto* box = dynamic_cast<ListBox*>(&iolstIn)) {
        if (!trap(20, [&] { box->RemoveItem(removed); })) return;
        trap(30, [&] {
            if (box->ListCount() > 0) box->setListIndex(removed > 0 ? removed - 1 : 0);
        });
        return;
    }
    if (!trap(20, [&] { delete iolstIn.takeItem(removed); })) return;
    trap(30, [&] {
        if (iolstIn.count() > 0) iolstIn.setCurrentRow(removed > 0 ? removed - 1 : 0);
    });
}
