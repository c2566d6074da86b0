#include "platform/sound/ToneCheck.h"
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace sound::tonecheck {
namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;
// A played tone is steady when a sine fits it to this share of its power
// (16-bit rounding of a tone 50 dB under full scale stays well inside).
constexpr double kToneMisfit = 1e-4;
// ... and its loop joins without a phase step larger than this (radians).
constexpr double kLoopJoin = 0.02;
// A stretch of the recording misfits above both of these.
constexpr double kFloorFactor = 16;                    // 4 x the floor's amplitude
constexpr double kToneShare = 0.0025118864315095794;   // -26 dB
constexpr size_t kStretches = 16;
constexpr size_t kLeastStretch = 32;

// y[n] ~ a cos(wn) + b sin(wn) + c over [iFrom, iTo), n counted from iFrom.
struct Fit {
    double a = 0, b = 0, c = 0;
    bool ok = false;
    double at(double iN, double iAngle) const { return a * std::cos(iAngle * iN) + b * std::sin(iAngle * iN) + c; }
};

Fit fitTone(const int16_t* iY, size_t iFrom, size_t iTo, double iAngle, bool iOffset) {
    // Normal equations of the least-squares fit, solved by elimination.
    std::array<std::array<double, 4>, 3> m{};
    for (size_t n = iFrom; n < iTo; ++n) {
        const double t = double(n - iFrom);
        const std::array<double, 3> v = {std::cos(iAngle * t), std::sin(iAngle * t), iOffset ? 1.0 : 0.0};
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; k < 3; ++k) m[r][k] += v[r] * v[k];
            m[r][3] += v[r] * iY[n];
        }
    }
    const int unknowns = iOffset ? 3 : 2;
    for (int p = 0; p < unknowns; ++p) {
        int best = p;
        for (int r = p + 1; r < unknowns; ++r)
            if (std::abs(m[r][p]) > std::abs(m[best][p])) best = r;
        std::swap(m[p], m[best]);
        if (std::abs(m[p][p]) < 1e-9 * double(iTo - iFrom)) return {};
        for (int r = 0; r < unknowns; ++r) {
            if (r == p) continue;
            const double f = m[r][p] / m[p][p];
            for (int k = p; k < 4; ++k) m[r][k] -= f * m[p][k];
        }
    }
    Fit f;
    f.a = m[0][3] / m[0][0];
    f.b = m[1][3] / m[1][1];
    f.c = iOffset ? m[2][3] / m[2][2] : 0.0;
    f.ok = std::isfinite(f.a) && std::isfinite(f.b) && std::isfinite(f.c);
    return f;
}

double misfitPower(const int16_t* iY, size_t iFrom, size_t iTo, const Fit& iFit, size_t iOrigin, double iAngle) {
    double sum = 0;
    for (size_t n = iFrom; n < iTo; ++n) {
        const double e = iY[n] - iFit.at(double(n) - double(iOrigin), iAngle);
        sum += e * e;
    }
    return iTo > iFrom ? sum / double(iTo - iFrom) : 0.0;
}

// A sine obeys x[n] + x[n-2] = 2 cos(w) x[n-1]: the least-squares factor
// over [iFrom, iTo) (less its mean) gives w; -1 when there is none.
double recurrenceAngle(const int16_t* iX, size_t iFrom, size_t iTo) {
    if (iTo < iFrom + 3) return -1;
    double mean = 0;
    for (size_t n = iFrom; n < iTo; ++n) mean += iX[n];
    mean /= double(iTo - iFrom);
    double num = 0, den = 0;
    for (size_t n = iFrom + 2; n < iTo; ++n) {
        const double a = iX[n] - mean, b = iX[n - 1] - mean, c = iX[n - 2] - mean;
        num += (a + c) * b;
        den += b * b;
    }
    if (den <= 0) return -1;
    const double c = num / den / 2;
    return c > -1 && c < 1 ? std::acos(c) : -1;
}
}

double pureToneAngle(const int16_t* iSamples, size_t iCount) {
    if (!iSamples || iCount < 16) return -1;
    double power = 0;
    const double angle = recurrenceAngle(iSamples, 0, iCount);
    if (angle < 0) return -1;
    // Whole cycles, or every pass of the loop would step in phase.
    const double cycles = angle * double(iCount) / kTwoPi;
    if (std::abs(cycles - std::round(cycles)) * kTwoPi > kLoopJoin || std::round(cycles) < 1) return -1;
    const Fit f = fitTone(iSamples, 0, iCount, angle, false);
    if (!f.ok) return -1;
    for (size_t n = 0; n < iCount; ++n) power += double(iSamples[n]) * iSamples[n];
    if (power <= 0) return -1;
    if (misfitPower(iSamples, 0, iCount, f, 0, angle) * double(iCount) > kToneMisfit * power) return -1;
    // The loop repeats every iCount samples: what plays is a tone of a whole
    // number of cycles per pass, whatever the samples were made for.
    return kTwoPi * std::round(cycles) / double(iCount);
}

size_t settleSamples(double iAngle, double iRate) {
    const double fiveMs = std::ceil(0.005 * iRate);
    const double twoCycles = iAngle > 0 ? std::ceil(2 * kTwoPi / iAngle) : 0.0;
    return size_t(std::max(fiveMs, twoCycles));
}

Verdict checkToneRecording(const int16_t* iRecording, size_t iCount, double iAngle, double iRate) {
    Verdict v;
    if (!iRecording || !(iAngle > 0 && iAngle < std::numbers::pi)) return v;
    const size_t settle = settleSamples(iAngle, iRate);
    if (iCount <= settle) return v;
    const size_t span = iCount - settle;
    const double period = kTwoPi / iAngle;
    const size_t stretch = std::max(kLeastStretch, span / kStretches);
    if (span < 2 * stretch) return v;
    // The recording's power after the settling: the scale a misfit is held to.
    double heard = 0;
    for (size_t n = settle; n < iCount; ++n) heard += double(iRecording[n]) * iRecording[n];
    heard /= double(span);
    // Nothing but zeros while a tone plays: no input ever is that quiet, so
    // nothing reached it (a stream that filled a gap with silence).
    if (heard <= 0) {
        v.checked = true;
        v.clean = false;
        return v;
    }
    double worst = 0;
    // The tone is fitted to the recording's last half, quarter and eighth in
    // turn, so that what came before it cannot hide in the fit when the tone
    // reached the input late in the recording; and to its first half, quarter
    // and eighth after the settling, so that a change near its end (a gap, a
    // path switched) cannot hide in the fits to the end. A fit needs half a
    // cycle in whole samples (a level's single cycle of 2,205 samples at 20 Hz
    // halves to 1,102). What the fit leaves of its own stretch is the floor:
    // noise and distortion.
    std::vector<std::pair<size_t, size_t>> windows;
    for (size_t part : {size_t(2), size_t(4), size_t(8)}) {
        const size_t length = span / part;
        if (double(length) < std::max(64.0, std::floor(period / 2))) continue;
        windows.emplace_back(iCount - length, iCount);
        windows.emplace_back(settle, settle + length);
    }
    for (const auto& [from, to] : windows) {
        const Fit f = fitTone(iRecording, from, to, iAngle, true);
        if (!f.ok) continue;
        const double floor = misfitPower(iRecording, from, to, f, from, iAngle);
        const double limit = std::max(kFloorFactor * floor, kToneShare * heard);
        double most = 0;
        for (size_t s = settle; s < iCount; s += stretch)
            most = std::max(most, misfitPower(iRecording, s, std::min(iCount, s + stretch), f, from, iAngle));
        v.checked = true;
        if (most > limit) v.clean = false;
        worst = std::max(worst, most);
        // Another tone where the fit lies, which the fit cannot show by
        // itself: its own frequency explains it far better than the tone's.
        // (Noise fits neither.)
        const double other = recurrenceAngle(iRecording, from, to);
        if (other > 0 && std::abs(other - iAngle) > 1e-3 * iAngle) {
            const Fit g = fitTone(iRecording, from, to, other, true);
            if (g.ok && misfitPower(iRecording, from, to, g, from, other) * kFloorFactor < floor &&
                floor > kToneShare * heard)
                v.clean = false;
        }
    }
    if (v.checked) v.worstDb = worst > 0 ? 10 * std::log10(worst / heard) : -999;
    return v;
}

}
