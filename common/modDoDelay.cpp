#include "common/modDoDelay.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/vb/Conversions.h"

void gDoDelay(float ifSeconds, bool& obError) {
    ErrorTrap trap("modDoDelay", "gDoDelay", obError);
    int16_t milliseconds = 0;
    if (!trap(10, [&] { milliseconds = CInt(ifSeconds * 1000.0f); })) return;
    if (milliseconds > 0) gGPause(milliseconds, obError);
}
