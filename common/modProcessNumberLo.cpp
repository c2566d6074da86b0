#include "common/modProcessNumberLo.h"
#include "common/ErrorTrap.h"
#include "common/modLog10.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"

float gfPN20Lg10(float ifValue, bool& obError) {
    ErrorTrap trap("modProcessNumberLo", "gfPN20Lg10", obError);
    const float log = gfLog10(ifValue, obError);
    if (obError) return 0.0f;
    float level = 0.0f;
    trap(10, [&] { level = CSng(20.0 * log); });
    return level;
}

float gfPnStraightLine(float ifX1, float ifY1, float ifX2, float ifY2, float ifV, bool ibInverse, bool& obError) {
    if (ifX1 > ifX2) {
        gMsgBox(QStringLiteral("ifX1 (") + CStr(ifX1) + QStringLiteral(") > ifX2 (") + CStr(ifX2) + QStringLiteral(")"),
                vbExclamation, QStringLiteral("modProcessNumberLo.gfPnStraightLine"));
        obError = true;
        return ifX1;
    }
    if (ifX1 == ifX2 || ifY1 == ifY2) return ibInverse ? ifX2 : ifY2;
    ErrorTrap trap("modProcessNumberLo", "gfPnStraightLine", obError);
    float result = 0.0f;
    trap(10, [&] {
        const double m = (static_cast<double>(ifY2) - ifY1) / (static_cast<double>(ifX2) - ifX1);
        const double c = ifY1 - ifX1 * m;
        result = CSng(ibInverse ? (ifV - c) / m : m * ifV + c);
    });
    return result;
}
