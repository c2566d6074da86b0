#include "common/DecimalLog.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <cmath>

float decimalLog(double iValue) {
    if (!(iValue > 0.0)) vbRaise(vberr::kInvalidCall);
    return CSng(std::log(iValue) / 2.3025851);
}
