#include "supervisor/PairMatchMath.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
// Remaining places 1..R of the batch as a point-by-place table, so that one
// point of every candidate is compared in a single pass: rows[p][k] is the
// level at point p of the unit in remaining place k. Each place's sum still
// runs in point order, so the figures are those of a place-by-place loop.
class RemainingTable {
public:
    RemainingTable(const CurveLevels& iafCurve, int iPoints, int iBatchSize)
        : mPoints(iPoints), mStride(static_cast<size_t>(iBatchSize) + 2),
          mLevels(static_cast<size_t>(std::max(iPoints, 0)) * mStride, 0.0f) {
        for (int k = 1; k <= iBatchSize; ++k)
            for (int p = 1; p <= iPoints; ++p) row(p)[k] = iafCurve(p, k);
    }
    float* row(int iPoint) { return mLevels.data() + static_cast<size_t>(iPoint - 1) * mStride; }

    // The same walk as the remaining list's: places 2..R except iSkip move down
    // to the next free place from 1.
    void compact(int iR, int iSkip) {
        const bool skips = iSkip >= 2 && iSkip <= iR;
        for (int p = 1; p <= mPoints; ++p) {
            float* r = row(p);
            if (!skips) {
                std::memmove(r + 1, r + 2, sizeof(float) * static_cast<size_t>(std::max(iR - 1, 0)));
                continue;
            }
            std::memmove(r + 1, r + 2, sizeof(float) * static_cast<size_t>(iSkip - 2));
            std::memmove(r + iSkip - 1, r + iSkip + 1, sizeof(float) * static_cast<size_t>(iR - iSkip));
        }
    }

private:
    int mPoints;
    size_t mStride;
    std::vector<float> mLevels;
};

// One point of every candidate against the first unit (place 1): each place's
// sum grows in point order, and its worst is replaced only by a larger difference.
void accumulatePoint(const float* __restrict iLevels, int iR, float* __restrict ioSum, float* __restrict ioWorst) {
    const float first = iLevels[1];
    const size_t n = iR >= 2 ? static_cast<size_t>(iR) - 1 : 0;
    const float* __restrict levels = iLevels + 2;
    float* __restrict sum = ioSum + 2;
    float* __restrict worst = ioWorst + 2;
    // Four places at a time; every lane is a place of its own, so no sum is regrouped.
    using Lanes = float __attribute__((vector_size(16)));
    using Bits = int32_t __attribute__((vector_size(16)));
    const Lanes firsts = {first, first, first, first};
    const Bits magnitude = {0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff};
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        Lanes x, s, w;
        std::memcpy(&x, levels + i, sizeof x);
        std::memcpy(&s, sum + i, sizeof s);
        std::memcpy(&w, worst + i, sizeof w);
        const Lanes d = reinterpret_cast<Lanes>(reinterpret_cast<Bits>(firsts - x) & magnitude);
        s += d;
        w = w < d ? d : w;
        std::memcpy(sum + i, &s, sizeof s);
        std::memcpy(worst + i, &w, sizeof w);
    }
    for (; i < n; ++i) {
        const float d = std::fabs(first - levels[i]);
        sum[i] += d;
        worst[i] = worst[i] < d ? d : worst[i];
    }
}
}

PairMatchResult pairMatchRun(const CurveLevels& iafCurve, const std::vector<int32_t>& iaSerial, int16_t inPoints,
                             int32_t ilBatchSize, int32_t ilBatchEnd, float ifAveLim, float ifWorstLim) {
    const int32_t units = iaSerial.empty() ? 0 : static_cast<int32_t>(iaSerial.size()) - 1;
    if (ilBatchSize < 2 || ilBatchSize > units || ilBatchSize > iafCurve.curves || ilBatchSize > 32767 ||
        inPoints < 0 || inPoints > 100)
        vbRaise(vberr::kSubscriptOutOfRange);
    const int n = ilBatchSize;
    const int points = inPoints;
    PairMatchResult result;
    result.matched.assign(static_cast<size_t>(n) + 1, false);

    // Entries 1..R are the units not yet taken; entry N + 1 is the spare that a
    // failed cycle's compaction reads one past R.
    std::vector<int16_t> remaining(static_cast<size_t>(n) + 2, 0);
    for (int k = 1; k <= n; ++k) remaining[static_cast<size_t>(k)] = static_cast<int16_t>(k);
    std::vector<float> sum(static_cast<size_t>(n) + 2, 0.0f);
    std::vector<float> worst(static_cast<size_t>(n) + 2, 0.0f);
    RemainingTable table(iafCurve, points, n);
    const float count = static_cast<float>(points);

    int r = n;
    do {
        std::fill(sum.begin(), sum.begin() + r + 1, 0.0f);
        std::fill(worst.begin(), worst.begin() + r + 1, 0.0f);
        for (int p = 1; p <= points; ++p) accumulatePoint(table.row(p), r, sum.data(), worst.data());
        float bestAverage = 1000000.0f;
        int best = 0;
        for (int k = 2; k <= r; ++k) {
            const float average = sum[static_cast<size_t>(k)] / count;
            if (average < bestAverage) {
                bestAverage = average;
                best = k;
            }
        }
        PairMatchCycle cycle;
        cycle.firstUnit = remaining[1];
        cycle.firstSerial = iaSerial[static_cast<size_t>(cycle.firstUnit)];
        cycle.average = bestAverage;
        cycle.worst = worst[static_cast<size_t>(best)];
        // A cycle without a candidate cannot pass, whatever the limits.
        const bool failed = best == 0 || ifAveLim < bestAverage || ifWorstLim < cycle.worst;
        if (failed) {
            ++r;
            best = 1;
        } else {
            cycle.partnerUnit = remaining[static_cast<size_t>(best)];
            cycle.partnerSerial = iaSerial[static_cast<size_t>(cycle.partnerUnit)];
            result.matched[static_cast<size_t>(cycle.firstUnit)] = true;
            result.matched[static_cast<size_t>(cycle.partnerUnit)] = true;
            ++result.pairs;
        }
        result.cycles.push_back(cycle);
        int to = 1;
        for (int k = 2; k <= r; ++k)
            if (k != best) remaining[static_cast<size_t>(to++)] = remaining[static_cast<size_t>(k)];
        table.compact(r, best);
        r -= 2;
    } while (ilBatchEnd <= r - 2 && r >= 2);
    return result;
}

int32_t leadingWholeNumber(const QString& isText) {
    const double v = roundHalfEven(ValUser(isText));
    return static_cast<int32_t>(std::clamp(v, double(std::numeric_limits<int32_t>::min()),
                                           double(std::numeric_limits<int32_t>::max())));
}

QString pairsMatchedText(int32_t ilPairs) {
    return QString::number(ilPairs) + (ilPairs == 1 ? QStringLiteral(" pair") : QStringLiteral(" pairs")) +
           QStringLiteral(" matched");
}
