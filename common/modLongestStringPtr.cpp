#include "common/modLongestStringPtr.h"
#include "common/ErrorTrap.h"

int32_t glLongestStringPtr(const QStringList& iasText, bool& obError) {
    ErrorTrap trap("modLongestStringPtr", "glLongestStringPtr", obError);
    int32_t longest = 0;
    trap(10, [&] {
        if (iasText.isEmpty()) vbRaise(vberr::kSubscriptOutOfRange);
        for (qsizetype i = 1; i < iasText.size(); ++i)
            if (iasText.at(i).size() > iasText.at(longest).size()) longest = static_cast<int32_t>(i);
    });
    return longest;
}
