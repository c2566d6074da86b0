#include "common/modNumberEngineering.h"
#include "common/ErrorTrap.h"
#include "platform/vb/Conversions.h"

QString gsNumberEngineering(float ifValue, bool& obError) {
    ErrorTrap trap("modNumberEngineering", "gsNumberEngineering", obError);
    QString text;
    trap(10, [&] {
        // Scaled in double, where every power of ten used here is exact.
        const auto scaled = [&](double iFactor, const char* iPrefix) {
            return CStr(CSng(ifValue * iFactor)) + QStringLiteral(" (") + QLatin1String(iPrefix);
        };
        if (ifValue >= 0.01f) text = scaled(1.0, "");
        else if (ifValue >= 1e-5f) text = scaled(1e3, "m");
        else if (ifValue >= 1e-8f) text = scaled(1e6, "u");
        else if (ifValue >= 1e-11f) text = scaled(1e9, "n");
        else text = scaled(1e12, "p");
    });
    return text;
}
