#include "common/ErrorTrap.h"
#include "common/modErrorHandler.h"

int ErrorTrap::handle(long iLine) {
    glErrorResponse = gnErrorHandler(QString::fromLatin1(mModule), QString::fromLatin1(mRoutine), static_cast<int32_t>(iLine));
    Err().Clear();
    return glErrorResponse;
}
