#pragma once

// Holds a window's flag (don't process, don't save, save direct) True for a
// block and gives it its previous value back on every way out, an error
// included, so that no flag stays set after a failed step. restore() gives
// the value back early, for a block whose last step must run with the flag
// down.
class FlagHold {
public:
    explicit FlagHold(bool& ioFlag) : mFlag(ioFlag), mWas(ioFlag) { mFlag = true; }
    ~FlagHold() { restore(); }
    FlagHold(const FlagHold&) = delete;
    FlagHold& operator=(const FlagHold&) = delete;

    void restore() {
        if (mHeld) mFlag = mWas;
        mHeld = false;
    }

private:
    bool& mFlag;
    bool mWas;
    bool mHeld = true;
};
