#pragma once
#include <functional>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

// Sample-rate conversion of one mono stream through libsamplerate, for a
// device that runs at another rate than the one a signal was made at. Its
// output sample k lies at input time k / ratio: no delay to account for.
// Construct and destroy on the user-interface thread; pull and push allocate
// nothing, so a device callback may call them.
namespace sound {

enum class ConverterQuality { Fast, Best };

class RateConverter {
public:
    // Pull mode: pull() asks iSupply for input as it needs it.
    using Supply = std::function<int(float* oBuffer, int iMaxFrames)>;
    RateConverter(double iFromRate, double iToRate, ConverterQuality iQuality, Supply iSupply);
    // Push mode: push() hands its output to iSink.
    using Sink = std::function<void(const float* iData, int iFrames)>;
    RateConverter(double iFromRate, double iToRate, ConverterQuality iQuality, Sink iSink);
    ~RateConverter();
    RateConverter(const RateConverter&) = delete;
    RateConverter& operator=(const RateConverter&) = delete;

    bool ok() const { return mState != nullptr; }
    double ratio() const { return mRatio; }

    void pull(float* oOutput, int iFrames);
    void push(const float* iInput, int iFrames);
    void reset();   // forget history: the next sample starts a new stream

private:
    static long supplyCallback(void* iSelf, float** oData);
    SRC_STATE* mState = nullptr;
    double mRatio = 1.0;
    Supply mSupply;
    Sink mSink;
    std::vector<float> mIn;
    std::vector<float> mOut;
};

}
