#pragma once
#include "common/modVarCrvFile.h"
#include <QString>
#include <cstdint>
#include <vector>

// The arithmetic of pair matching, free of windows and data controls.

// One cycle of a run: the first remaining unit and, when the pair passed both
// limits, its partner; the figures are those of the closest candidate, shown
// for a NOT MATCHED cycle too. Units are numbered from 1 as the batch holds them.
struct PairMatchCycle {
    int16_t firstUnit = 0;
    int16_t partnerUnit = 0;   // 0: NOT MATCHED
    int32_t firstSerial = 0;
    int32_t partnerSerial = 0;
    float average = 0.0f;      // best average difference (dB)
    float worst = 0.0f;        // worst difference of the best candidate (dB)
    bool matched() const { return partnerUnit != 0; }
};

struct PairMatchResult {
    std::vector<PairMatchCycle> cycles;
    int16_t pairs = 0;
    // matched[u]: unit u (1..batch size) was paired; element 0 unused.
    std::vector<bool> matched;
};

// Matches the first inBatchSize units of a batch: each cycle takes the first
// remaining unit and the remaining unit whose curve lies closest on average
// (|difference| per point, summed in point order and divided by inPoints, all
// in single precision; the first of equal averages wins). The pair passes when
// the average and the worst point difference are each at most their limit;
// a passed pair leaves the batch, a failed cycle only its first unit. Cycles go
// on while at least ilBatchEnd + 2 units remain (the first always runs) and a
// cycle has a candidate. iaSerial holds the serials of units 1..n (element 0
// unused). A batch size outside 2..n, or more curves than iafCurve holds, is a
// subscript error (9).
PairMatchResult pairMatchRun(const CurveLevels& iafCurve, const std::vector<int32_t>& iaSerial, int16_t inPoints,
                             int32_t ilBatchSize, int32_t ilBatchEnd, float ifAveLim, float ifWorstLim);

// The text's leading number (ValUser: the user's decimal character or ".")
// rounded to a whole number (halves to even) and kept within the 32-bit range.
int32_t leadingWholeNumber(const QString& isText);

// "1 pair matched", "3 pairs matched".
QString pairsMatchedText(int32_t ilPairs);
