#pragma once
#include <array>
#include <cstddef>

// The latency a card's stream asks for. A point of a measurement waits for
// the loop, so the lowest latency the host keeps up with is used: a stream
// that loses blocks is opened again one step up. A busy moment passes, so a
// stream that then ran a quiet stretch without losing a block is opened one
// step down again, but never below the step that lost last (the one below it
// lost before). A step that loses again after the stream came down to it
// waits twice as long before the next try, so a host that cannot keep up
// there is not reopened every stretch.
namespace sound {

class LatencyLadder {
public:
    // Seconds, lowest first; the last stands for the host's own generous figure.
    static constexpr std::array<double, 3> kSteps = {0.03, 0.06, 0.1};
    // The quiet stretch before the first try one step down.
    static constexpr double kQuietSeconds = 30.0;

    int step() const { return mStep; }
    double seconds() const { return kSteps[size_t(mStep)]; }
    bool top() const { return mStep + 1 >= int(kSteps.size()); }
    // A stream at the current step lost blocks: true when it goes one step up.
    bool lost();
    // Whether a stream at the current step that has run iQuietSeconds without
    // losing a block is opened one step down now.
    bool mayComeDown(double iQuietSeconds) const;
    void comeDown();
    // The quiet stretch the current step waits for.
    double quietNeeded() const;

private:
    int mStep = 0;
    int mFloor = 0;          // the step that lost last
    bool mCameDown = false;  // the current step was come down to
    int mRepeats = 0;        // losses at a step come down to
};

// What the backend knows of one open stream's lost blocks, and its decision
// when the card is used again: a stream that lost blocks since it was last
// looked at is opened again one step up; at the top step it is kept, and its
// quiet stretch starts again from that loss, so that after a quiet stretch it
// comes down one step as from any other step.
class StreamLossWatch {
public:
    // A stream opened (at the ladder's current step) at iNow seconds.
    void opened(double iNow);
    // The stream has lost iLostBlocks blocks since it opened; true when it is
    // opened again at the ladder's new step.
    bool reopen(LatencyLadder& ioLadder, int iLostBlocks, double iNow);

private:
    int mSeen = 0;          // the lost blocks already answered
    double mQuietSince = 0;  // the stream's open, or its last loss answered
};

}
