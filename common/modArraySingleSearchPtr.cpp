#include "common/modArraySingleSearchPtr.h"
#include "common/ErrorTrap.h"
#include "platform/ui/MsgBox.h"

int32_t glArraySingleSearchPtr(const std::vector<float>& iafIn, int32_t ilLBound, int32_t ilEnd, float ifValue,
                               bool ibTopDown, int16_t inMatchCode, bool& obError) {
    if (inMatchCode < -1 || inMatchCode > 1) {
        gMsgBox(QStringLiteral("inMatchCode (") + QString::number(inMatchCode) +
                    QStringLiteral(") out of range (-1, 0, +1)"),
                vbExclamation, QStringLiteral("modArraySingleSearchPtr.glArrayNumberSearch"));
        return -1;
    }
    ErrorTrap trap("modArraySingleSearchPtr", "glArraySingleSearchPtr", obError);
    int32_t found = -1;
    trap(10, [&] {
        const int64_t upper = static_cast<int64_t>(iafIn.size()) - 1;
        const auto at = [&](int64_t i) {
            if (i < 0 || i > upper) vbRaise(vberr::kSubscriptOutOfRange);
            return iafIn[static_cast<size_t>(i)];
        };
        const auto matches = [&](float v) {
            return inMatchCode < 0 ? v <= ifValue : inMatchCode > 0 ? v >= ifValue : v == ifValue;
        };
        if (!ibTopDown) {
            if (ilEnd <= ilLBound) return;
            for (int64_t i = ilLBound; i <= ilEnd; ++i)
                if (matches(at(i))) { found = static_cast<int32_t>(i); return; }
        } else {
            if (ilEnd < ilLBound || ilEnd >= upper) return;
            for (int64_t i = upper; i >= ilEnd; --i)
                if (matches(at(i))) { found = static_cast<int32_t>(i); return; }
        }
    });
    return found;
}
