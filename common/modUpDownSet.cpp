#include "common/modUpDownSet.h"
#include "common/ErrorTrap.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/UpDown.h"

void gUpDownSet(int32_t ilValue, int32_t ilMax, int32_t ilMin, int32_t ilIncrement, UpDown& ioUpDown, bool& obError) {
    ErrorTrap trap("modUpDownSet", "gUpDownSet", obError);
    if (ilValue < ilMin || ilValue > ilMax) {
        QString message = QStringLiteral("Value (") + QString::number(ilValue) + QStringLiteral(") ");
        if (ilValue < ilMin) message += QStringLiteral("< Min (") + QString::number(ilMin) + QLatin1Char(')');
        else message += QStringLiteral("> Max (") + QString::number(ilMax) + QLatin1Char(')');
        trap(10, [&] { gMsgBox(message, vbExclamation, QStringLiteral("modUpDownSet.gUpDownSet")); });
        obError = true;
        return;
    }
    trap(20, [&] {
        ioUpDown.setMin(ilMin);
        ioUpDown.setMax(ilMax);
        if (ioUpDown.Value() != ilValue) ioUpDown.setValue(ilValue);
        if (ioUpDown.Min() != ilMin) ioUpDown.setMin(ilMin);
        ioUpDown.setIncrement(ilIncrement);
    });
}
