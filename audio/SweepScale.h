#pragma once
#include "common/StationRecords.h"
#include <cstdint>

// The sweep-point scale: N points spaced logarithmically from a low to a high
// frequency, numbered 1 to N; point 1 is the low and point N the high
// frequency. The step is log10(hi / lo) / (N - 1) decades as a single, point p
// lies at lo x 10^(step x (p - 1)) worked in double precision. The scale, the
// response measurement, the sweep synthesis, the graph, the judging and the
// test editor's layer rules all take their points from here, so that no two
// of them disagree on a point. Bad input raises the station's run-time error:
// 5 for a ratio of 0 or below, 11 for one point (or a low of 0), 6 on overflow.
namespace sweepscale {

// The step in decades between neighbouring points.
float step(double iLo, double iHi, int16_t iPoints);
// Point p (not limited to 1..N) from the low frequency and the step, in double precision.
double at(double iLo, float iStep, int16_t iPoint);
// The scale's frequency of a point, as a single.
float frequency(int32_t iLo, int32_t iHi, int16_t iPoints, int16_t iPoint);
// The tone a measurement plays for a point: the frequency rounded to whole hertz.
int32_t toneHz(int32_t iLo, float iStep, int16_t iPoint);
// The nearest point of a frequency, halves to the even point; not limited to
// 1..N (below the low frequency gives 0 or less, above the high more than N).
int16_t nearestPoint(int32_t iLo, int32_t iHi, int16_t iPoints, int32_t iFrequency);

// Consecutive points first..last; empty when last < first.
struct PointRange {
    int16_t first = 1;
    int16_t last = 0;
    int count() const { return last >= first ? last - first + 1 : 0; }
    bool operator==(const PointRange&) const = default;
};

// The points a limit layer judges, on the test's scale. Without a hole, one
// band from the point nearest fLo to the point nearest fHi. With a hole, band 1
// runs from the fLo point to the fMLo point and band 2 from the fMHi point to
// the fHi point: both hole-edge points are judged, the points between them are
// not. band2 is empty without a hole.
struct LayerBands {
    PointRange band1;
    PointRange band2;
    bool operator==(const LayerBands&) const = default;
};
LayerBands layerBands(int32_t iLo, int32_t iHi, int16_t iPoints, const ResponseLayer& iLayer);

// The start points of a band's blocks of iBlock points: one block starts at
// every point from the band's first to its last - iBlock + 1 (blocks overlap);
// empty when the block is longer than the band. A block under 1 point raises 5.
PointRange blockStarts(const PointRange& iBand, int16_t iBlock);

}
