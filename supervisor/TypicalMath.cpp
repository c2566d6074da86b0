#include "supervisor/TypicalMath.h"
#include <algorithm>
#include <cmath>

namespace typicalmath {

int32_t batchMinimum(const QString& isText) {
    bool ok = false;
    const int32_t n = isText.trimmed().toInt(&ok);
    return ok && n >= 2 && n <= 999 ? n : 20;
}

void addReference(CurveLevels& ioCurves, int32_t inUnits, int16_t inPoints, const std::vector<float>& iafRef) {
    const int points = std::min<int>(inPoints, static_cast<int>(iafRef.size()) - 1);
    for (int32_t i = 1; i <= inUnits; ++i)
        for (int p = 1; p <= points; ++p) ioCurves(p, i) += iafRef[static_cast<size_t>(p)];
}

std::vector<float> ideal(const CurveLevels& iCurves, int32_t inUnits, int16_t inPoints, bool ibEnvelope) {
    std::vector<float> afMax(101, -1000.0f), afMin(101, 1000.0f), afIdeal(101, 0.0f);
    for (int32_t i = 1; i <= inUnits; ++i) {
        for (int p = 1; p <= inPoints; ++p) {
            const float level = iCurves(p, i);
            afMax[p] = std::max(afMax[p], level);
            afMin[p] = std::min(afMin[p], level);
            afIdeal[p] += level;
        }
    }
    for (int p = 1; p <= inPoints; ++p) {
        if (ibEnvelope) afIdeal[p] = (afMax[p] - afMin[p]) / 2.0f + afMin[p];
        else afIdeal[p] = afIdeal[p] / static_cast<float>(inUnits);
    }
    return afIdeal;
}

std::vector<double> differences(const CurveLevels& iCurves, int32_t inUnits, int16_t inPoints,
                                const std::vector<float>& iafIdeal, Averaging iLaw) {
    std::vector<double> adDiff(static_cast<size_t>(std::max(inUnits, 0)) + 1, 0.0);
    for (int32_t i = 1; i <= inUnits; ++i) {
        double sum = 0.0;
        for (int p = 1; p <= inPoints; ++p) {
            double d = static_cast<double>(std::fabs(iCurves(p, i) - iafIdeal[p]));
            if (iLaw != Averaging::Simple) d *= d;
            if (iLaw == Averaging::Fourth) d *= d;
            sum += d;
        }
        adDiff[static_cast<size_t>(i)] = sum / inPoints;
    }
    return adDiff;
}

int32_t leastDifference(const std::vector<double>& iadDiff) {
    double least = 1000000.0;
    int32_t k = 0;
    for (size_t i = 1; i < iadDiff.size(); ++i) {
        if (iadDiff[i] < least) {
            least = iadDiff[i];
            k = static_cast<int32_t>(i);
        }
    }
    return k;
}

}
