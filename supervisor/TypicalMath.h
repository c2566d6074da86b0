#pragma once
#include "common/modVarCrvFile.h"
#include <QString>
#include <cstdint>
#include <vector>

// The arithmetic of the typical-unit finder, free of windows: the batch's
// ideal curve, each unit's averaged difference from it and the unit closest
// to it. Curves, ideal and differences count from 1 (entry 0 unused).
namespace typicalmath {

enum class Averaging { Simple, Squared, Fourth };

// The box's stored or typed minimum batch size as a whole number from 2 to
// 999; anything else (empty, "0", no number) gives 20.
int32_t batchMinimum(const QString& isText);

// Adds the reference level back to points 1..inPoints of units 1..inUnits:
// the store keeps curves relative to the calibration reference.
void addReference(CurveLevels& ioCurves, int32_t inUnits, int16_t inPoints, const std::vector<float>& iafRef);

// The ideal per point: the batch average, or the middle of the batch's
// envelope. Sums and envelope in single precision, as the levels are stored.
std::vector<float> ideal(const CurveLevels& iCurves, int32_t inUnits, int16_t inPoints, bool ibEnvelope);

// Each unit's mean of |unit - ideal|, its square or its fourth power over the
// points (no root taken): dB, dB squared or dB to the fourth.
std::vector<double> differences(const CurveLevels& iCurves, int32_t inUnits, int16_t inPoints,
                                const std::vector<float>& iafIdeal, Averaging iLaw);

// The unit with the smallest difference strictly below 1,000,000, the lower
// unit on a tie; 0 when none is (NaN levels, or differences that large).
int32_t leastDifference(const std::vector<double>& iadDiff);

}
