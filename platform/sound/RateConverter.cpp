#include "platform/sound/RateConverter.h"
#include <algorithm>
#include <samplerate.h>

namespace sound {
namespace {
constexpr int kChunk = 512;

int converterType(ConverterQuality iQuality) {
    return iQuality == ConverterQuality::Best ? SRC_SINC_BEST_QUALITY : SRC_SINC_FASTEST;
}
}

RateConverter::RateConverter(double iFromRate, double iToRate, ConverterQuality iQuality, Supply iSupply)
    : mRatio(iToRate / iFromRate), mSupply(std::move(iSupply)), mIn(kChunk) {
    int error = 0;
    mState = src_callback_new(&RateConverter::supplyCallback, converterType(iQuality), 1, &error, this);
}

RateConverter::RateConverter(double iFromRate, double iToRate, ConverterQuality iQuality, Sink iSink)
    : mRatio(iToRate / iFromRate), mSink(std::move(iSink)) {
    int error = 0;
    mState = src_new(converterType(iQuality), 1, &error);
    mOut.resize(static_cast<size_t>(kChunk * std::max(1.0, mRatio)) + 64);
}

RateConverter::~RateConverter() {
    if (mState) src_delete(mState);
}

long RateConverter::supplyCallback(void* iSelf, float** oData) {
    auto* self = static_cast<RateConverter*>(iSelf);
    const int n = self->mSupply(self->mIn.data(), kChunk);
    *oData = self->mIn.data();
    return n;
}

void RateConverter::pull(float* oOutput, int iFrames) {
    int done = 0;
    while (done < iFrames) {
        const long got = src_callback_read(mState, mRatio, iFrames - done, oOutput + done);
        if (got <= 0) break;
        done += static_cast<int>(got);
    }
    std::fill(oOutput + done, oOutput + iFrames, 0.0f);
}

void RateConverter::push(const float* iInput, int iFrames) {
    while (iFrames > 0) {
        SRC_DATA d{};
        d.data_in = iInput;
        d.input_frames = std::min(iFrames, kChunk);
        d.data_out = mOut.data();
        d.output_frames = static_cast<long>(mOut.size());
        d.src_ratio = mRatio;
        d.end_of_input = 0;
        if (src_process(mState, &d) != 0) return;
        if (d.output_frames_gen > 0) mSink(mOut.data(), static_cast<int>(d.output_frames_gen));
        if (d.input_frames_used <= 0 && d.output_frames_gen <= 0) return;
        iInput += d.input_frames_used;
        iFrames -= static_cast<int>(d.input_frames_used);
    }
}

void RateConverter::reset() {
    if (mState) src_reset(mState);
}

}
