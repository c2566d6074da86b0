#include "audio/modDigitalIO.h"
#include "common/ErrorTrap.h"
#include "common/modVarSystemParams.h"
#include "platform/os/DigitalPort.h"
#include "platform/ui/MsgBox.h"

bool gbDigThere = false;

namespace {
const char* kModule = "modDigitalIO";
constexpr uint8_t kLineFail = 2;
constexpr uint8_t kLineTestInProgress = 3;

// What the outputs hold. The board is written a whole byte at a time, so the
// byte is kept here: setting one line must not clear the other.
uint8_t mbytOut = 0;
}

void gDigInit(bool& obError) {
    ErrorTrap trap(kModule, "gDigInit", obError);
    if (!trap(10, [&] {
            gbDigThere = gnDigPort != 0 && digitalport::board().isThere(gnDigPort);
            if (gbDigThere) mbytOut = digitalport::board().readOut(gnDigPort);
        }))
        return;
    if (gnDigPort != 0 && !gbDigThere)
        gDigShowErrorMessage(gnDigPort, QStringLiteral("Initialising Digital I/O"), obError);
}

void gDigSetFail(bool& obError) { mDigSetOut(kLineFail, true, obError); }

void gDigSetNotFail(bool& obError) { mDigSetOut(kLineFail, false, obError); }

void gDigSetTestInProgress(bool& obError) {
    mDigSetOut(kLineTestInProgress, true, obError);
    if (obError) gDigShowErrorMessage(gnDigPort, QStringLiteral("gDigSetTestInProgress"), obError);
}

void gDigSetNotTestInProgress(bool& obError) { mDigSetOut(kLineTestInProgress, false, obError); }

bool gbDigTestInProgressSet(bool& obError) {
    if (!gbDigThere) return false;
    const uint8_t byt = mbytDigReadOut(obError);
    return !obError && (byt & (1u << kLineTestInProgress)) != 0;
}

void gDigShowErrorMessage(int16_t inPort, const QString& isTitle, bool& obError) {
    ErrorTrap trap(kModule, "gDigShowErrorMessage", obError);
    trap(10, [&] {
        const QString text = inPort != 0 ? QStringLiteral("Digital I/O not found on port ") + QString::number(inPort)
                                         : QStringLiteral("No address set for Digital I/O board");
        gMsgBox(text, vbExclamation | vbOKOnly, isTitle);
    });
}

void mDigSetOut(uint8_t ibytLine, bool ibSet, bool& obError) {
    if (!gbDigThere) return;
    ErrorTrap trap(kModule, "mDigSetOut", obError);
    uint8_t byt = mbytDigReadOut(obError);
    if (obError) return;
    trap(10, [&] {
        const auto bit = static_cast<uint8_t>(1u << ibytLine);
        byt = ibSet ? static_cast<uint8_t>(byt | bit) : static_cast<uint8_t>(byt & (255u - bit));
        digitalport::board().writeOut(gnDigPort, byt);
        mbytOut = byt;
    });
}

uint8_t mbytDigReadOut(bool& obError) {
    Q_UNUSED(obError);
    return mbytOut;
}
