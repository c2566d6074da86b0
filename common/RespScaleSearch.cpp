#include "common/RespScaleSearch.h"
#include "platform/vb/Conversions.h"
#include <algorithm>
#include <cmath>

namespace {
constexpr float kSilencePeak = -99.0f;

bool inWindow(float ifPeak) { return ifPeak >= kRespScaleWindowLo && ifPeak <= kRespScaleWindowHi; }
}

int32_t glRespScaleStartVolume(int32_t ilCurrent, int32_t ilSteps) {
    return ilCurrent < ilSteps ? 32767 : ilCurrent;
}

float gfRespScaleTargetLevel(float ifPeak, bool ibFromSilence) {
    if (!ibFromSilence) return kRespScaleMiddle;
    // Peak p at volume v; the amplitude law puts -4 dB at v * 10^((-4 - p) / 20).
    // The line from (0, -99) reaches that volume at the level returned.
    const double ratio = std::pow(10.0, (static_cast<double>(kRespScaleMiddle) - ifPeak) / 20.0);
    return static_cast<float>((static_cast<double>(ifPeak) - kSilencePeak) * ratio + kSilencePeak);
}

int32_t glRespScaleNextVolume(int32_t ilPrevVolume, float ifPrevPeak, int32_t ilVolume, float ifPeak,
                              const RespScaleLineFn& iLine, bool& obError) {
    const float target = gfRespScaleTargetLevel(ifPeak, ilPrevVolume == 0 && ifPrevPeak == kSilencePeak);
    // The line function wants its points in the order of their volumes.
    float w = 0.0f;
    if (ilPrevVolume <= ilVolume) w = iLine(float(ilPrevVolume), ifPrevPeak, float(ilVolume), ifPeak, target, obError);
    else w = iLine(float(ilVolume), ifPeak, float(ilPrevVolume), ifPrevPeak, target, obError);
    if (obError) return ilVolume;
    // A nearly flat line reads far beyond 32 bits (or not at all): clamp first.
    double clamped = std::isnan(w) ? double(ilVolume) : std::clamp(double(w), 0.0, double(kRespScaleVolumeMax));
    int32_t next = static_cast<int32_t>(roundHalfEven(clamped));
    if (ifPeak > kRespScaleWindowLo && std::abs(next - ilVolume) > kRespScaleLoudCap) next = kRespScaleLoudCap;
    return next;
}

RespScaleOutcome respScaleSearch(int32_t ilStart, const RespScaleSweepFn& iSweep, const RespScaleLineFn& iLine) {
    RespScaleOutcome out;
    int32_t v = ilStart;
    int32_t prevVolume = 0;
    float prevPeak = kSilencePeak;
    int32_t lastSwept = -1;   // the volume of the sweep before this one
    for (;;) {
        float peak = 0.0f;
        if (!iSweep(v, peak)) {
            out.volume = v;
            out.end = RespScaleEnd::Error;
            return out;
        }
        ++out.sweeps;
        out.volume = v;
        if (inWindow(peak)) {
            out.end = RespScaleEnd::InWindow;
            return out;
        }
        if (lastSwept == v && (v == 0 || v == kRespScaleVolumeMax)) {
            out.end = RespScaleEnd::AtBound;
            return out;
        }
        if (out.sweeps >= kRespScaleSweepLimit) {
            out.end = RespScaleEnd::SweepLimit;
            return out;
        }
        bool bError = false;
        const int32_t w = glRespScaleNextVolume(prevVolume, prevPeak, v, peak, iLine, bError);
        if (bError) {
            out.end = RespScaleEnd::Error;
            return out;
        }
        // At a bound the second sweep there ends the search; elsewhere the same
        // volume again would give the same peak for ever.
        if (w == v && v != 0 && v != kRespScaleVolumeMax) {
            out.end = RespScaleEnd::NoChange;
            return out;
        }
        prevVolume = v;
        prevPeak = peak;
        lastSwept = v;
        v = w;
    }
}
