#include "platform/ui/ControlArray.h"
#include "platform/vb/VbError.h"

void controlArrayMissing() { vbRaise(340, QStringLiteral("Control array element does not exist")); }
