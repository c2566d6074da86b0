#include "common/modKeyDown.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "common/modKeyMouseIncrement.h"
#include "platform/ui/Beep.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"

namespace {
const char* kModule = "modKeyDown";
constexpr int16_t kPageUp = 33;
constexpr int16_t kPageDown = 34;
constexpr int16_t kEnd = 35;
constexpr int16_t kHome = 36;
constexpr int16_t kUp = 38;
constexpr int16_t kDown = 40;
}

bool gbKeyDownValid(int16_t inKeyCode, int16_t inShift, bool& obCtrl, bool& obDown, bool& obUp, bool& obShift,
                    bool& obError) {
    Q_UNUSED(obError);
    obUp = inKeyCode == kUp || inKeyCode == kPageUp;
    obDown = inKeyCode == kDown || inKeyCode == kPageDown;
    obCtrl = (inShift & 2) != 0;
    obShift = (inShift & 1) != 0;
    if (obUp || obDown) return true;
    return (inKeyCode == kHome || inKeyCode == kEnd) && (obCtrl || obShift);
}

QString gsKeyDown(int16_t inKeyCode, int16_t inShift, const QString& isText, float ifMax, float ifMin, float ifStep,
                  const QString& isFormat, bool& obError) {
    ErrorTrap trap(kModule, "gsKeyDown", obError);
    bool ctrl = false, down = false, up = false, shift = false;
    if (!gbKeyDownValid(inKeyCode, inShift, ctrl, down, up, shift, obError) || obError) return isText;

    QString out = isText;
    bool valid = false;
    if (!trap(10, [&] { valid = gbGTextValidSingle(isText, obError); })) return isText;
    if (!valid) {
        trap(20, [&] {
            if (inKeyCode == kEnd || inKeyCode == kUp || inKeyCode == kPageUp) out = CStr(ifMin);
            else out = CStr(ifMax);
        });
        return out;
    }

    float increment = gfKeyMouseIncrement(ifMax, ifMin, ifStep, obError);
    if (obError) return isText;
    trap(30, [&] {
        if (shift) increment *= 10.0f;
        if (ctrl) increment *= 100.0f;
        if (inKeyCode == kPageUp || inKeyCode == kPageDown) increment *= 10.0f;
        float v = CSng(Variant(isText));
        if (((inKeyCode == kEnd || down) && v == ifMin) || ((inKeyCode == kHome || up) && v == ifMax)) {
            vbBeep();
        } else if (inKeyCode == kHome) {
            v = ifMax;
        } else if (inKeyCode == kEnd) {
            v = ifMin;
        } else if (up) {
            v = v + increment;
        } else {
            v = v - increment;
        }
        if (v < ifMin) v = ifMin;
        if (v > ifMax) v = ifMax;
        out = Format(v, isFormat);
    });
    return out;
}
