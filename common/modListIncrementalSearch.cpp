#include "common/modListIncrementalSearch.h"
#include "common/ErrorTrap.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include <QListWidget>
#include <algorithm>

namespace {
// Case-folded first character's code; -1 for an empty text, which sorts first.
int firstCode(const QString& iUpper) { return iUpper.isEmpty() ? -1 : iUpper.at(0).unicode(); }

int commonStart(const QString& iA, const QString& iB) {
    const int n = static_cast<int>(std::min(iA.size(), iB.size()));
    int i = 0;
    while (i < n && iA.at(i) == iB.at(i)) ++i;
    return i;
}
}

int16_t gnListIncrementalSearch(QListWidget& illstIn, const QString& isTyped, bool& obError) {
    if (illstIn.count() == 0) {
        gMsgBox(QStringLiteral("'illstIn' empty"), vbExclamation,
                QStringLiteral("modListIncrementalSearch.gnListIncrementalSearch"));
        obError = true;
        return -1;
    }
    ErrorTrap trap("modListIncrementalSearch", "gnListIncrementalSearch", obError);
    int16_t best = 0;
    trap(10, [&] {
        const QString typed = isTyped.toUpper();
        const int typedCode = typed.isEmpty() ? -2 : firstCode(typed);   // an empty text matches nothing
        int bestLength = 0;
        int bestIndex = 0;
        for (int i = 0; i < illstIn.count(); ++i) {
            const QString entry = illstIn.item(i)->text().toUpper();
            const int length = commonStart(entry, typed);
            if (length > bestLength) {
                bestLength = length;
                bestIndex = i;
            } else if (bestLength == 0 && firstCode(entry) <= typedCode) {
                bestIndex = i;
            }
        }
        best = checkedInt(bestIndex);
    });
    return best;
}
