#include "common/modKeyMouseIncrement.h"
#include "common/ErrorTrap.h"

bool gbKeyMouseIncrementActive = false;

namespace {
float mfStep = 0.0f;
int32_t mlCount = 0;
}

float gfKeyMouseIncrement(float ifMax, float ifMin, float ifStep, bool& obError) {
    ErrorTrap trap("modKeyMouseIncrement", "gfKeyMouseIncrement", obError);
    trap(10, [&] {
        if (!gbKeyMouseIncrementActive) {
            mlCount = 0;
            mfStep = ifStep;
            gbKeyMouseIncrementActive = true;
            return;
        }
        const float range = ifMax - ifMin;
        if (static_cast<float>(range / 20.0f) > mfStep) {
            ++mlCount;
            // A Single times a Long is worked out in double precision, then kept as a Single.
            mfStep = static_cast<float>(static_cast<double>(mfStep) + static_cast<double>(ifStep) * mlCount);
        }
    });
    return mfStep;
}
