#pragma once
// The rules that keep a response test's limit layers valid on its sweep-point
// scale: points and frequencies, the block and hole rules, the four lists a
// layer's frequency boxes offer, the nudge targets and the snapping to a
// changed sweep. The window reads its boxes and passes the figures.
#include <QStringList>
#include <cstdint>

class LayerRules {
public:
    // The test's sweep: low and high frequency in whole hertz and point count N.
    LayerRules(int32_t ilLo, int32_t ilHi, int16_t inPoints);

    // The nearest sweep point of a frequency (may fall outside 1..N).
    int16_t point(int32_t ilFreq) const;
    // The whole-hertz frequency of sweep point p; false (and 0) outside 1..N.
    bool freq(int16_t inPoint, int32_t& olFreq) const;
    int16_t points() const { return mnPoints; }

    // Points of a band, both ends included.
    static int16_t bandCount(int16_t inPtLo, int16_t inPtHi) { return static_cast<int16_t>(inPtHi - inPtLo + 1); }
    // A hole needs more than twice the block in the band.
    static bool holePermitted(int16_t inBandCount, int32_t ilBlock) { return inBandCount > 2 * ilBlock; }

    // What a frequency box offers: "0" first when asked, then the frequencies
    // of the points from the highest down to the lowest.
    struct List {
        bool withZero = false;
        int16_t highest = 0;
        int16_t lowest = 1;
    };
    List bandStartList(int16_t inPtHi, int32_t ilBlock) const;
    List bandEndList(int16_t inPtLo, int32_t ilBlock) const;
    List holeStartList(int16_t inPtLo, int16_t inPtHi, int32_t ilBlock) const;
    List holeEndList(int16_t inPtLo, int16_t inPtHi, int32_t ilBlock) const;
    // The entries as texts; false when a point lies outside 1..N.
    bool entries(const List& iList, QStringList& oaEntries) const;

    // Nudge targets, as sweep points.
    static int16_t holeUpTarget(int16_t inPtLo, int32_t ilBlock) { return static_cast<int16_t>(ilBlock + inPtLo - 1); }
    static int16_t holeEndAbove(int16_t inPtMLo) { return static_cast<int16_t>(inPtMLo + 1); }
    static int16_t holeDownTarget(int16_t inPtHi, int32_t ilBlock) { return static_cast<int16_t>(inPtHi - ilBlock + 1); }
    static int16_t holeStartBelow(int16_t inPtMHi) { return static_cast<int16_t>(inPtMHi - 1); }

    // A frequency snapped to the sweep: clamped to low..high, then the nearer of
    // its point's frequency and the next point's (a tie keeps the lower); 0
    // stays 0. False when the point conversion fails.
    bool snap(int32_t ilFreq, int32_t& olSnapped) const;

private:
    int32_t mlLo;
    int32_t mlHi;
    int16_t mnPoints;
};
