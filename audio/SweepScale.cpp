#include "audio/SweepScale.h"
#include "common/DecimalLog.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <cmath>

namespace sweepscale {

float step(double iLo, double iHi, int16_t iPoints) {
    if (iLo == 0.0) vbRaise(vberr::kDivisionByZero);
    const float decades = decimalLog(CSng(iHi / iLo));
    if (iPoints == 1) vbRaise(vberr::kDivisionByZero);
    return CSng(decades / static_cast<double>(iPoints - 1));
}

double at(double iLo, float iStep, int16_t iPoint) {
    return std::pow(10.0, static_cast<double>(iStep) * (iPoint - 1)) * iLo;
}

float frequency(int32_t iLo, int32_t iHi, int16_t iPoints, int16_t iPoint) {
    return CSng(at(iLo, step(iLo, iHi, iPoints), iPoint));
}

int32_t toneHz(int32_t iLo, float iStep, int16_t iPoint) {
    return CLng(Int(at(iLo, iStep, iPoint) + 0.5));
}

int16_t nearestPoint(int32_t iLo, int32_t iHi, int16_t iPoints, int32_t iFrequency) {
    const float inc = step(iLo, iHi, iPoints);
    const float decades = decimalLog(CSng(static_cast<double>(iFrequency) / iLo));
    if (inc == 0.0f) vbRaise(vberr::kDivisionByZero);
    // Single-precision quotient, as the stored layer points were made with.
    return CInt(decades / inc + 1.0f);
}

LayerBands layerBands(int32_t iLo, int32_t iHi, int16_t iPoints, const ResponseLayer& iLayer) {
    const auto point = [&](int32_t f) { return nearestPoint(iLo, iHi, iPoints, f); };
    LayerBands bands;
    bands.band1.first = point(iLayer.fLo);
    if (iLayer.hasHole()) {
        bands.band1.last = point(iLayer.fMLo);
        bands.band2 = PointRange{point(iLayer.fMHi), point(iLayer.fHi)};
    } else {
        bands.band1.last = point(iLayer.fHi);
    }
    return bands;
}

PointRange blockStarts(const PointRange& iBand, int16_t iBlock) {
    if (iBlock < 1) vbRaise(vberr::kInvalidCall);
    return PointRange{iBand.first, checkedInt(static_cast<long long>(iBand.last) - iBlock + 1)};
}

}
