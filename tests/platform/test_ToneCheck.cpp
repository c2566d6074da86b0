// The check of a recording against the steady tone it was started with: what
// a recording taken too early, or with a gap, looks like next to a clean one,
// through a flat loop, the one-pole low-pass of the test sound server, noise
// and a dead unit.
#include "platform/sound/ToneCheck.h"
#include <gtest/gtest.h>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

using namespace sound::tonecheck;

namespace {
constexpr double kRate = 44100;
constexpr double kPi = std::numbers::pi;

// A header as the station loads it: whole cycles of a sine of iHz at iAmp.
std::vector<int16_t> header(double iHz, double iAmp, int iCycles) {
    const auto n = size_t(std::lround(iCycles * kRate / iHz));
    const double angle = 2 * kPi * iCycles / double(n);
    std::vector<int16_t> s(n);
    for (size_t i = 0; i < n; ++i) s[i] = int16_t(std::lround(iAmp * std::sin(angle * double(i))));
    return s;
}

double angleOf(double iHz) { return 2 * kPi * iHz / kRate; }

// As long as the station records a level: the settling, then the fewest whole
// cycles that make 1,000 samples.
size_t stationLength(double iHz) {
    const double period = kRate / iHz;
    return settleSamples(angleOf(iHz), kRate) + size_t(std::lround(std::ceil(1000 / period) * period));
}

// What the loop gives back: iBefore samples of the previous tone, then the new
// one, phase-continuous at the switch, through a gain, with optional noise.
std::vector<int16_t> switched(double iOldHz, double iNewHz, size_t iBefore, size_t iCount, double iOldAmp,
                              double iNewAmp, double iNoise = 0) {
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, iNoise > 0 ? iNoise : 1);
    std::vector<int16_t> y(iCount);
    for (size_t i = 0; i < iCount; ++i) {
        const double t = double(i) - double(iBefore);
        const double v = t < 0 ? iOldAmp * std::sin(angleOf(iOldHz) * t) : iNewAmp * std::sin(angleOf(iNewHz) * t);
        y[i] = int16_t(std::lround(v + (iNoise > 0 ? noise(rng) : 0)));
    }
    return y;
}

// The unit of the test server: c = 2 - cos(2 pi fc / fs), b = c - sqrt(c^2 - 1),
// y[n] = (1 - b) x[n] + b y[n-1], run over the tone before and the tone after.
std::vector<int16_t> throughLowPass(double iOldHz, double iNewHz, size_t iOldLength, size_t iSkipBefore,
                                    size_t iCount, double iAmp) {
    const double c = 2 - std::cos(2 * kPi * 1000 / kRate);
    const double b = c - std::sqrt(c * c - 1);
    double y = 0;
    std::vector<int16_t> out;
    const size_t total = iOldLength + iCount;
    for (size_t i = 0; i < total; ++i) {
        const double t = double(i) - double(iOldLength);
        const double x = t < 0 ? iAmp * std::sin(angleOf(iOldHz) * t) : iAmp * std::sin(angleOf(iNewHz) * t);
        y = (1 - b) * x + b * y;
        if (i + iSkipBefore >= iOldLength && out.size() < iCount) out.push_back(int16_t(std::lround(y)));
    }
    return out;
}
}

TEST(ToneCheck, APlayedHeaderIsASteadyToneOnlyWhenItIsOne) {
    for (double hz : {20.0, 61.0, 1000.0, 6652.0, 19000.0}) {
        const std::vector<int16_t> h = header(hz, 16384, hz < 100 ? 1 : 20);
        const double a = pureToneAngle(h.data(), h.size());
        ASSERT_GT(a, 0) << hz;
        EXPECT_NEAR(a, 2 * kPi * (hz < 100 ? 1 : 20) / double(h.size()), 1e-6) << hz;
    }
    // A quiet tone still is one; silence, a pulse, a burst with a gap, a sweep
    // and a tone that does not close its loop are not.
    // A tone made for 485 Hz in one cycle of 91 samples plays at 44100 / 91 Hz.
    std::vector<int16_t> one(91);
    for (size_t i = 0; i < one.size(); ++i) one[i] = int16_t(std::lround(16384 * std::sin(angleOf(485) * double(i))));
    EXPECT_NEAR(pureToneAngle(one.data(), one.size()), 2 * kPi / 91, 1e-12);
    const std::vector<int16_t> quiet = header(1000, 300, 20);
    EXPECT_GT(pureToneAngle(quiet.data(), quiet.size()), 0);
    std::vector<int16_t> silence(882, 0);
    EXPECT_LT(pureToneAngle(silence.data(), silence.size()), 0);
    std::vector<int16_t> pulse(4410, 0);
    pulse[0] = 32767;
    EXPECT_LT(pureToneAngle(pulse.data(), pulse.size()), 0);
    std::vector<int16_t> burst = header(1000, 16384, 20);
    burst.resize(burst.size() * 2, 0);
    EXPECT_LT(pureToneAngle(burst.data(), burst.size()), 0);
    std::vector<int16_t> sweep(8820);
    for (size_t i = 0; i < sweep.size(); ++i) sweep[i] = int16_t(16000 * std::sin(2 * kPi * (200 + 0.2 * i) * i / kRate));
    EXPECT_LT(pureToneAngle(sweep.data(), sweep.size()), 0);
    std::vector<int16_t> open(1000);
    for (size_t i = 0; i < open.size(); ++i) open[i] = int16_t(16000 * std::sin(angleOf(1010) * double(i)));
    EXPECT_LT(pureToneAngle(open.data(), open.size()), 0);
}

// A recording that starts where its tone came back passes, whatever the
// unit does to the tone's height and phase; one that starts early enough to
// take in the tone before, after the settling, is refused.
TEST(ToneCheck, ARecordingThatTakesInTheToneBeforeIsRefused) {
    struct Case { double oldHz, newHz; size_t before; bool clean; };
    const Case cases[] = {
        {1000, 1072, 0, true},       // aligned
        {1000, 1072, 150, true},     // inside the 5 ms settling
        {1000, 1072, 441, false},    // 10 ms early
        {1000, 1072, 2048, false},   // a whole server block early
        {1000, 1072, 8000, false},   // nothing but the tone before
        {5000, 5360, 600, false},
        {20, 21, 0, true},
        {20, 21, 2048, true},        // inside two cycles at 20 Hz
        {20, 21, 6000, false},
        {19, 20, 0, true},           // a cycle of an odd number of samples
        {19, 20, 6000, false},
        {100, 107, 1200, false},
    };
    for (const Case& c : cases) {
        const size_t count = stationLength(c.newHz);
        const std::vector<int16_t> y = switched(c.oldHz, c.newHz, c.before, count, 9000, 10000);
        const Verdict v = checkToneRecording(y.data(), y.size(), angleOf(c.newHz), kRate);
        EXPECT_TRUE(v.checked) << c.newHz << " Hz, " << c.before;
        EXPECT_EQ(v.clean, c.clean) << c.newHz << " Hz, " << c.before << " early: " << v.worstDb << " dB";
    }
}

// Through the low-pass the tone before comes back lower or higher than the
// new one and shifted in phase: an aligned recording still passes (the
// filter's own settling is over within the 5 ms), an early one does not.
TEST(ToneCheck, TheLowPassUnitPassesAlignedAndIsCaughtEarly) {
    for (auto [oldHz, newHz] : {std::pair{933.0, 1000.0}, {2800.0, 3000.0}, {18660.0, 20000.0}, {60.0, 64.0}, {18.7, 20.0}}) {
        const size_t count = stationLength(newHz);
        const std::vector<int16_t> aligned = throughLowPass(oldHz, newHz, 20000, 0, count, 16000);
        const Verdict ok = checkToneRecording(aligned.data(), aligned.size(), angleOf(newHz), kRate);
        EXPECT_TRUE(ok.checked && ok.clean) << newHz << " Hz: " << ok.worstDb << " dB";
        const size_t early = settleSamples(angleOf(newHz), kRate) + 400;
        const std::vector<int16_t> shifted = throughLowPass(oldHz, newHz, 20000, early, count, 16000);
        const Verdict bad = checkToneRecording(shifted.data(), shifted.size(), angleOf(newHz), kRate);
        EXPECT_FALSE(bad.clean) << newHz << " Hz: " << bad.worstDb << " dB";
    }
}

// Samples lost in the middle of a recording break the tone's phase, and a
// path that changes in the middle changes its level; noise and a dead unit
// are steady, and pass.
TEST(ToneCheck, AGapOrAChangedPathIsRefusedNoiseAndADeadUnitPass) {
    const double hz = 1000;
    const size_t count = 3000;
    std::vector<int16_t> y = switched(hz, hz, 0, count, 10000, 10000);
    std::vector<int16_t> gapped(y.begin(), y.begin() + 700);
    gapped.insert(gapped.end(), y.begin() + 700 + 17, y.end());
    gapped.resize(count, 0);
    const Verdict gap = checkToneRecording(gapped.data(), 2 * 700, angleOf(hz), kRate);
    EXPECT_FALSE(gap.clean) << gap.worstDb;

    const std::vector<int16_t> noisy = switched(hz, hz, 0, count, 1000, 1000, 60);   // -24 dB of noise
    const Verdict n = checkToneRecording(noisy.data(), noisy.size(), angleOf(hz), kRate);
    EXPECT_TRUE(n.checked);
    EXPECT_TRUE(n.clean) << n.worstDb;

    // The path changes in the middle (a stream moved to another output): the
    // tone drops 16 dB, or stops, for the last quarter.
    std::vector<int16_t> dropped = y, stopped = y;
    for (size_t i = count * 3 / 4; i < count; ++i) {
        dropped[i] = int16_t(dropped[i] / 6);
        stopped[i] = 0;
    }
    EXPECT_FALSE(checkToneRecording(dropped.data(), dropped.size(), angleOf(hz), kRate).clean);
    EXPECT_FALSE(checkToneRecording(stopped.data(), stopped.size(), angleOf(hz), kRate).clean);
    // ... or only for the recording's last few per cent, where every fit to
    // its end takes in the change (seen on the test server: a point read
    // 0.26 dB low after the output was switched to the low-pass sink).
    for (const double share : {0.02, 0.06, 0.1, 0.2, 0.4}) {
        for (const double tone : {hz, 9660.0}) {
            const std::vector<int16_t> clean = switched(tone, tone, 0, count, 10000, 10000);
            std::vector<int16_t> dropEnd = clean, stopEnd = clean;
            for (size_t i = count - size_t(share * count); i < count; ++i) {
                dropEnd[i] = int16_t(dropEnd[i] / 9);
                stopEnd[i] = 0;
            }
            EXPECT_TRUE(checkToneRecording(clean.data(), count, angleOf(tone), kRate).clean) << tone;
            EXPECT_FALSE(checkToneRecording(dropEnd.data(), count, angleOf(tone), kRate).clean) << share << " " << tone;
            EXPECT_FALSE(checkToneRecording(stopEnd.data(), count, angleOf(tone), kRate).clean) << share << " " << tone;
        }
    }
    // Nothing at all came back: the stream filled a gap with zeros.
    const std::vector<int16_t> zeros(count, 0);
    EXPECT_FALSE(checkToneRecording(zeros.data(), zeros.size(), angleOf(hz), kRate).clean);

    // Noise 10 dB under the tone and a unit that distorts (3 % third harmonic).
    std::vector<int16_t> rough = switched(hz, hz, 0, count, 1000, 1000, 220);
    for (size_t i = 0; i < rough.size(); ++i) rough[i] = int16_t(rough[i] + std::lround(30 * std::sin(3 * angleOf(hz) * double(i))));
    const Verdict r = checkToneRecording(rough.data(), rough.size(), angleOf(hz), kRate);
    EXPECT_TRUE(r.checked);
    EXPECT_TRUE(r.clean) << r.worstDb;

    std::mt19937 rng(3);
    std::normal_distribution<double> hiss(0, 30);
    std::vector<int16_t> dead(count);
    for (int16_t& s : dead) s = int16_t(std::lround(hiss(rng)));
    EXPECT_TRUE(checkToneRecording(dead.data(), dead.size(), angleOf(hz), kRate).clean);

    // Too short to tell is no refusal.
    EXPECT_FALSE(checkToneRecording(y.data(), 200, angleOf(hz), kRate).checked);
    EXPECT_TRUE(checkToneRecording(y.data(), 200, angleOf(hz), kRate).clean);
}
