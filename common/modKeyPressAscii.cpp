#include "common/modKeyPressAscii.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/ui/Beep.h"

namespace {
const char* kModule = "modKeyPressAscii";
constexpr int16_t kBack = 8;
constexpr int16_t kEnter = 13;
constexpr int16_t kMinus = 45;

bool isDigit(int16_t iCode) { return iCode >= 48 && iCode <= 57; }

int16_t refuse() {
    vbBeep();
    return 0;
}
}

int16_t gnKeyPressAsciiInteger(int16_t inKeyAscii, int32_t ilMin, bool& obError) {
    ErrorTrap trap(kModule, "gnKeyPressAsciiInteger", obError);
    int16_t kept = 0;
    trap(10, [&] {
        if (inKeyAscii == kBack || inKeyAscii == kEnter || isDigit(inKeyAscii)) kept = inKeyAscii;
        else if (inKeyAscii == kMinus && ilMin < 0) kept = inKeyAscii;
        else kept = refuse();
    });
    return kept;
}

int16_t gnKeyPressAsciiReal(int16_t inKeyAscii, const QString& isText, float ifMin, bool& obError) {
    ErrorTrap trap(kModule, "gnKeyPressAsciiReal", obError);
    const QString decimal = gsGetLocaleInfoUserDecimalChar(obError);
    if (obError) return 0;
    const int16_t decimalCode = gnGAscii(decimal, obError);
    if (obError) return 0;
    int16_t kept = 0;
    trap(10, [&] {
        if (inKeyAscii != kBack && inKeyAscii != kEnter && inKeyAscii != kMinus && inKeyAscii != decimalCode &&
            !isDigit(inKeyAscii)) {
            kept = refuse();
        } else if (inKeyAscii == decimalCode && isText.contains(decimal)) {
            kept = refuse();
        } else if (inKeyAscii == kMinus && (isText.contains(QLatin1Char('-')) || ifMin >= 0.0f)) {
            kept = refuse();
        } else {
            kept = inKeyAscii;
        }
    });
    return kept;
}
