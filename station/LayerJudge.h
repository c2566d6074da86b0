#pragma once
#include "common/StationRecords.h"
#include <array>
#include <cstdint>
#include <vector>

// The arithmetic of judging a response against its limit layers. A point's
// deviation from the reference is kept as 4096 x 10^(|dB| / 20); a block is
// the dB level of the mean of its points' deviations, 0 dB when it matches the
// reference exactly. Blocks of a layer start at every point of its band(s)
// (they overlap) and are numbered from 1 through band 1 and on through band 2.
// Points come from the sweep-point scale, so the judge, the graph and the test
// editor agree on them.
namespace layerjudge {

constexpr double kLinearScale = 4096.0;
constexpr int kLayers = 6;
constexpr int kMaxPoints = 100;

// The linear deviation of a point from its deviation in dB.
float linearDeviation(float ifDiffDb);

// The level of the block of iBlock points from iStart: summed in single
// precision, as the stored deviations are.
float blockLevel(const std::vector<float>& iafLinear, int iStart, int iBlock);

// The sweep the layers are judged on.
struct Sweep {
    int32_t lLo = 0;
    int32_t lHi = 0;
    int16_t nPoints = 0;
};

// The block starts of a layer's band 1 and band 2. A layer point outside
// 1..points, more than 100 points, or a band too short for one block raises an
// error naming the layer: nothing of a layer may go unjudged or be read from
// outside the curve.
struct LayerBlocks {
    int16_t band1First = 1;
    int16_t band1Count = 0;
    int16_t band2First = 1;
    int16_t band2Count = 0;
    int count() const { return band1Count + band2Count; }
    // The start point of block k (1..count()).
    int16_t start(int iBlock) const;
};
LayerBlocks layerBlocks(const Sweep& iSweep, const ResponseLayer& iLayer, int iLayerNo);

// Fills oafLevels(1..count) with the layer's block levels and returns the count.
int layerBlockLevels(const Sweep& iSweep, const ResponseLayer& iLayer, int iLayerNo,
                     const std::vector<float>& iafLinear, std::vector<float>& oafLevels);

// The worst block over all layers: the largest strictly positive excess over
// its layer's limit, the lower layer on a tie; layer 0 when none exceeds.
struct Judgement {
    bool bPass = true;
    float fWorstDev = 0.0f;
    int16_t nWorstBlock = 0;
    int16_t nWorstLyr = 0;
    // The largest block level over the active layers, also when no block is
    // over its limit: the unit's margin for the reference and selection checks.
    float fLargestDev = 0.0f;
};

// Whether a block's level fails its layer: more than 0.05 dB over the limit.
bool overLimit(float ifDev, float ifLim);

using Layers = std::array<ResponseLayer, kLayers>;   // layers 1..6 at 0..5
Judgement judge(const Sweep& iSweep, const Layers& iLayers, const std::vector<float>& iafLinear);

}
