#include "audio/modWavePolarityTIP.h"
#include "audio/modDigitalIO.h"
#include "audio/modWavePolarityHi.h"

int16_t gnWavePolarityTIP(bool ibLowFreq, float ifDelay, float ifVOut, bool ibActive, int16_t& onMarkerX,
                          bool& obError) {
    const bool bWasSet = gbDigTestInProgressSet(obError);
    const bool bSetHere = !obError && !bWasSet;
    if (bSetHere) gDigSetTestInProgress(obError);
    int16_t nResult = 0;
    if (!obError) nResult = gnWavePolarityHi(ibLowFreq, ifDelay, ifVOut, ibActive, onMarkerX, obError);
    // Cleared after a failed test too: the line set here must not outlive it.
    if (bSetHere) {
        bool bClearError = false;
        gDigSetNotTestInProgress(bClearError);
        if (bClearError) obError = true;
    }
    return obError ? int16_t(0) : nResult;
}
