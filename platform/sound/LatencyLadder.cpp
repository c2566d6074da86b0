#include "platform/sound/LatencyLadder.h"
#include <algorithm>

namespace sound {

bool LatencyLadder::lost() {
    if (top()) return false;
    mRepeats = mCameDown ? std::min(mRepeats + 1, 4) : 0;
    mCameDown = false;
    mFloor = mStep;
    ++mStep;
    return true;
}

double LatencyLadder::quietNeeded() const { return kQuietSeconds * double(1 << mRepeats); }

bool LatencyLadder::mayComeDown(double iQuietSeconds) const { return mStep > mFloor && iQuietSeconds >= quietNeeded(); }

void LatencyLadder::comeDown() {
    if (mStep <= mFloor) return;
    --mStep;
    mCameDown = true;
}

}
