#include "station/LayerJudge.h"
#include "audio/SweepScale.h"
#include "common/DecimalLog.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <cmath>

namespace layerjudge {

namespace {
[[noreturn]] void layerError(int iLayerNo, const QString& isWhat) {
    vbRaise(vberr::kUserBase + 18, QStringLiteral("Layer %1: ").arg(iLayerNo) + isWhat);
}
}

float linearDeviation(float ifDiffDb) {
    return static_cast<float>(std::pow(10.0, std::fabs(static_cast<double>(ifDiffDb)) / 20.0) * kLinearScale);
}

float blockLevel(const std::vector<float>& iafLinear, int iStart, int iBlock) {
    if (iBlock < 1 || iStart < 1 || iStart + iBlock - 1 >= static_cast<int>(iafLinear.size()))
        vbRaise(vberr::kSubscriptOutOfRange);
    float fSum = 0.0f;
    for (int p = iStart; p < iStart + iBlock; ++p) fSum += iafLinear[static_cast<size_t>(p)];
    const float fMean = static_cast<float>(static_cast<double>(fSum) / (iBlock * kLinearScale));
    if (!(fMean > 0.0f)) vbRaise(vberr::kInvalidCall);
    // The station's own 20 log10 (its base-10 logarithm as a single, times 20): a
    // level right at a limit falls as every other level of the station does.
    return CSng(20.0 * static_cast<double>(decimalLog(fMean)));
}

int16_t LayerBlocks::start(int iBlock) const {
    // Past band 1 lies band 2 only where the layer has a hole; a layer without one
    // counts on in its band, so that a block number beyond the layer's count gives
    // a point past the sweep, which the point scale refuses.
    if (band2Count > 0 && iBlock > band1Count) return static_cast<int16_t>(band2First + (iBlock - 1 - band1Count));
    return static_cast<int16_t>(band1First + iBlock - 1);
}

LayerBlocks layerBlocks(const Sweep& iSweep, const ResponseLayer& iLayer, int iLayerNo) {
    if (iSweep.nPoints > kMaxPoints)
        layerError(iLayerNo, QStringLiteral("the test has %1 sweep points, more than %2").arg(iSweep.nPoints).arg(kMaxPoints));
    if (iLayer.Pt < 1) layerError(iLayerNo, QStringLiteral("block size %1 is below 1 point").arg(iLayer.Pt));
    const sweepscale::LayerBands bands = sweepscale::layerBands(iSweep.lLo, iSweep.lHi, iSweep.nPoints, iLayer);
    const auto inRange = [&](const sweepscale::PointRange& r) {
        return r.first >= 1 && r.last <= iSweep.nPoints && r.first <= r.last;
    };
    if (!inRange(bands.band1) || (iLayer.hasHole() && !inRange(bands.band2)))
        layerError(iLayerNo, QStringLiteral("its points lie outside the sweep's 1 to %1").arg(iSweep.nPoints));
    const sweepscale::PointRange s1 = sweepscale::blockStarts(bands.band1, iLayer.Pt);
    LayerBlocks b;
    b.band1First = s1.first;
    b.band1Count = static_cast<int16_t>(s1.count());
    if (b.band1Count == 0)
        layerError(iLayerNo, QStringLiteral("a block of %1 points is wider than its band").arg(iLayer.Pt));
    if (iLayer.hasHole()) {
        const sweepscale::PointRange s2 = sweepscale::blockStarts(bands.band2, iLayer.Pt);
        b.band2First = s2.first;
        b.band2Count = static_cast<int16_t>(s2.count());
        if (b.band2Count == 0)
            layerError(iLayerNo, QStringLiteral("a block of %1 points is wider than its band above the hole").arg(iLayer.Pt));
    }
    return b;
}

int layerBlockLevels(const Sweep& iSweep, const ResponseLayer& iLayer, int iLayerNo,
                     const std::vector<float>& iafLinear, std::vector<float>& oafLevels) {
    const LayerBlocks b = layerBlocks(iSweep, iLayer, iLayerNo);
    if (static_cast<int>(iafLinear.size()) <= iSweep.nPoints) vbRaise(vberr::kSubscriptOutOfRange);
    if (static_cast<int>(oafLevels.size()) <= b.count()) oafLevels.resize(static_cast<size_t>(b.count()) + 1, 0.0f);
    for (int k = 1; k <= b.count(); ++k) oafLevels[static_cast<size_t>(k)] = blockLevel(iafLinear, b.start(k), iLayer.Pt);
    return b.count();
}

bool overLimit(float ifDev, float ifLim) {
    return static_cast<float>(static_cast<double>(ifLim) + 0.04999999) < ifDev;
}

Judgement judge(const Sweep& iSweep, const Layers& iLayers, const std::vector<float>& iafLinear) {
    Judgement j;
    float fLargestExcess = 0.0f;
    bool bAnyLevel = false;
    std::vector<float> afLevels(static_cast<size_t>(std::max<int>(iSweep.nPoints, 0)) + 1, 0.0f);
    for (int n = 1; n <= kLayers; ++n) {
        const ResponseLayer& layer = iLayers[static_cast<size_t>(n - 1)];
        if (!layer.On) continue;
        const int count = layerBlockLevels(iSweep, layer, n, iafLinear, afLevels);
        // The first of equal largest levels.
        int k = 1;
        for (int i = 2; i <= count; ++i)
            if (afLevels[static_cast<size_t>(i)] > afLevels[static_cast<size_t>(k)]) k = i;
        const float fDev = std::fabs(afLevels[static_cast<size_t>(k)]);
        const float fLim = layer.Lim;
        if (!bAnyLevel || fDev > j.fLargestDev) j.fLargestDev = fDev;
        bAnyLevel = true;
        const float fExcess = fDev > fLim ? fDev - fLim : 0.0f;
        if (fExcess > fLargestExcess) {
            fLargestExcess = fExcess;
            j.fWorstDev = fDev;
            j.nWorstBlock = static_cast<int16_t>(k);
            j.nWorstLyr = static_cast<int16_t>(n);
            if (overLimit(fDev, fLim)) j.bPass = false;
        }
    }
    return j;
}

}
