#include "common/modLog10.h"
#include "common/DecimalLog.h"
#include "common/ErrorTrap.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"

float gfLog10(float fIn, bool& obError) {
    if (fIn <= 0.0f) {
        gMsgBox(QStringLiteral("fIn(") + CStr(fIn) + QStringLiteral(") <= 0"), vbExclamation,
                QStringLiteral("modLog10.gfLog10"));
        obError = true;
        return 0.0f;
    }
    ErrorTrap trap("modLog10", "gfLog10", obError);
    float result = 0.0f;
    trap(10, [&] { result = decimalLog(fIn); });
    return result;
}
