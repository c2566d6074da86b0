#include "test_editor/LayerRules.h"
#include "audio/SweepScale.h"
#include <cmath>
#include <cstdlib>

LayerRules::LayerRules(int32_t ilLo, int32_t ilHi, int16_t inPoints) : mlLo(ilLo), mlHi(ilHi), mnPoints(inPoints) {}

int16_t LayerRules::point(int32_t ilFreq) const { return sweepscale::nearestPoint(mlLo, mlHi, mnPoints, ilFreq); }

bool LayerRules::freq(int16_t inPoint, int32_t& olFreq) const {
    olFreq = 0;
    if (inPoint < 1 || inPoint > mnPoints) return false;
    // Whole hertz as the editor's conversion gives them (halves to even).
    olFreq = static_cast<int32_t>(std::nearbyint(sweepscale::frequency(mlLo, mlHi, mnPoints, inPoint)));
    return true;
}

LayerRules::List LayerRules::bandStartList(int16_t inPtHi, int32_t ilBlock) const {
    return {false, static_cast<int16_t>(inPtHi - ilBlock + 1), 1};
}

LayerRules::List LayerRules::bandEndList(int16_t inPtLo, int32_t ilBlock) const {
    return {false, mnPoints, static_cast<int16_t>(inPtLo + ilBlock - 1)};
}

LayerRules::List LayerRules::holeStartList(int16_t inPtLo, int16_t inPtHi, int32_t ilBlock) const {
    return {true, static_cast<int16_t>(inPtHi - ilBlock), static_cast<int16_t>(inPtLo + ilBlock - 1)};
}

LayerRules::List LayerRules::holeEndList(int16_t inPtLo, int16_t inPtHi, int32_t ilBlock) const {
    return {true, static_cast<int16_t>(inPtHi - ilBlock + 1), static_cast<int16_t>(inPtLo + ilBlock)};
}

bool LayerRules::entries(const List& iList, QStringList& oaEntries) const {
    oaEntries.clear();
    if (iList.withZero) oaEntries << QStringLiteral("0");
    for (int16_t p = iList.highest; p >= iList.lowest; --p) {
        int32_t f = 0;
        if (!freq(p, f)) return false;
        oaEntries << QString::number(f);
    }
    return true;
}

bool LayerRules::snap(int32_t ilFreq, int32_t& olSnapped) const {
    olSnapped = 0;
    if (ilFreq == 0) return true;
    const int32_t f = ilFreq < mlLo ? mlLo : (ilFreq > mlHi ? mlHi : ilFreq);
    const int16_t p = point(f);
    int32_t f1 = 0;
    if (!freq(p, f1)) return false;
    if (p == mnPoints) {
        olSnapped = f1;
        return true;
    }
    int32_t f2 = 0;
    if (!freq(static_cast<int16_t>(p + 1), f2)) return false;
    int32_t pick = std::abs(f2 - f) < std::abs(f1 - f) ? f2 : f1;
    if (pick < mlLo) pick = mlLo;
    if (pick > mlHi) pick = mlHi;
    olSnapped = pick;
    return true;
}
