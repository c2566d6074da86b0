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

void StreamLossWatch::opened(double iNow) {
    mSeen = 0;
    mQuietSince = iNow;
}

bool StreamLossWatch::reopen(LatencyLadder& ioLadder, int iLostBlocks, double iNow) {
    if (iLostBlocks > mSeen) {
        mSeen = iLostBlocks;
        mQuietSince = iNow;
        return ioLadder.lost();
    }
    if (!ioLadder.mayComeDown(iNow - mQuietSince)) return false;
    ioLadder.comeDown();
    return true;
}

}
