#include "common/modControlCbo.h"
#include "common/ErrorTrap.h"
#include "platform/ui/ComboBox.h"
#include "platform/vb/Conversions.h"
#include <cmath>

namespace {
const char* kModule = "modControlCbo";
}

int16_t gnCtrlCboFindStringNearestValue(ComboBox& ioCbo, const QString& isValue, bool& obError) {
    ErrorTrap trap(kModule, "gnCtrlCboFindStringNearestValue", obError);
    int16_t found = -1;
    trap(10, [&] {
        const int32_t count = ioCbo.ListCount();
        if (count == 0) return;
        const float value = CSng(Variant(isValue));
        double best = 0.0;
        for (int32_t i = 0; i < count; ++i) {
            const QString entry = ioCbo.List(i);
            if (entry == isValue) {
                found = CInt(static_cast<double>(i));
                return;
            }
            const double diff = std::fabs(static_cast<double>(CSng(Variant(entry))) - value);
            if (found < 0 || diff < best) {
                best = diff;
                found = CInt(static_cast<double>(i));
            }
        }
    });
    return found;
}

bool gbCtrlCboListFindString(ListControl& ioCtrl, const QString& isFind, int16_t& ionIndex, bool& obError) {
    ErrorTrap trap(kModule, "gbCtrlCboListFindString", obError);
    bool found = false;
    trap(10, [&] {
        const int32_t count = ioCtrl.ListCount();
        if (count == 0) return;
        int32_t i = ionIndex < 0 || ionIndex >= count ? 0 : ionIndex;
        while (ioCtrl.List(i) != isFind && i < count - 1) ++i;
        ionIndex = CInt(static_cast<double>(i));
        found = ioCtrl.List(i) == isFind;
    });
    return found;
}

int16_t gnCtrlCboNudge(int16_t inKeyCode, ComboBox& ioCbo, bool& obError) {
    ErrorTrap trap(kModule, "gnCtrlCboNudge", obError);
    trap(10, [&] {
        const int32_t count = ioCbo.ListCount();
        // An empty list has no entry to go to (choosing entry 0 would be an error).
        if (count == 0) return;
        const int32_t index = ioCbo.ListIndex();
        int32_t next = index;
        switch (inKeyCode) {
        case 36: next = 0; break;                                              // Home
        case 35: next = count - 1; break;                                      // End
        case 33: next = index - 8 < 0 ? 0 : index - 8; break;                  // PageUp
        case 34: next = index + 8 >= count ? count - 1 : index + 8; break;     // PageDown
        case 38:                                                               // Up
        case 39: next = index > 0 ? index - 1 : index; break;                  // Right
        case 40:                                                               // Down
        case 37: next = index < count - 1 ? index + 1 : index; break;          // Left
        default: break;
        }
        if (next != index) ioCbo.setListIndex(next);
    });
    return 0;
}
