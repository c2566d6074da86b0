// The sweep-point scale as every caller now takes it: the scale's own
// frequencies, the tones the measurement plays, the points of a frequency,
// and the points a limit layer judges, against the scale's arithmetic written
// out on its own.
#include "audio/SweepScale.h"
#include "audio/modAudio.h"
#include "common/modLog10.h"
#include "platform/vb/Conversions.h"
#include "tests/support/StationTest.h"
#include <cmath>

using sweepscale::PointRange;

namespace {
// The scale's arithmetic, written out: the step from the single ratio, its
// logarithm in double precision with the constant 2.3025851, as a single;
// point p at lo x 10^(step x (p - 1)) in double precision.
float writtenOutStep(int32_t iLo, int32_t iHi, int16_t iPoints) {
    const float ratio = float(double(iHi) / iLo);
    const float decades = float(std::log(double(ratio)) / 2.3025851);
    return float(decades / double(iPoints - 1));
}
double writtenOutPoint(int32_t iLo, int32_t iHi, int16_t iPoints, int16_t iPoint) {
    return iLo * std::pow(10.0, double(writtenOutStep(iLo, iHi, iPoints)) * (iPoint - 1));
}

class ScaleTable : public StationTest {};

TEST_F(ScaleTable, EveryPointOfManyShapesIsTheWrittenOutOneForEveryCaller) {
    int shapes = 0;
    for (int32_t lo : {20, 45, 100, 151, 200, 315, 1000})
        for (int32_t hi : {2000, 5000, 12500, 18000, 20000})
            for (int16_t n : {20, 33, 40, 43, 64, 100}) {
                ++shapes;
                const float step = sweepscale::step(lo, hi, n);
                for (int16_t p = 1; p <= n; ++p) {
                    SCOPED_TRACE(QStringLiteral("%1-%2 Hz, %3 points, point %4").arg(lo).arg(hi).arg(n).arg(p).toStdString());
                    const double exact = writtenOutPoint(lo, hi, n, p);
                    bool error = false;
                    // The scale, the graph and the editor.
                    ASSERT_EQ(gfAudioPoint2Freq(lo, hi, n, p, error), float(exact));
                    // The tone the measurement plays for it.
                    ASSERT_EQ(sweepscale::toneHz(lo, step, p), int32_t(std::floor(exact + 0.5)));
                    // A layer stored at the point's whole-hertz frequency finds
                    // the point again wherever neighbours are more than a hertz apart.
                    if (p > 1 && exact - writtenOutPoint(lo, hi, n, int16_t(p - 1)) > 2.0) {
                        ASSERT_EQ(gnAudioFreq2Point(lo, hi, n, CLng(exact), error), p);
                    }
                    ASSERT_FALSE(error);
                }
            }
    EXPECT_EQ(shapes, 210);
    EXPECT_TRUE(boxes().isEmpty());
}

// Worked in single precision the logarithm came out one step lower, and the
// measurement played 6,651 Hz where the scale and the editor say 6,652 Hz.
TEST_F(ScaleTable, TheMeasurementAndTheEditorAgreeOnTheTonesOfAPoint) {
    bool error = false;
    EXPECT_EQ(gfLog10(float(12500.0 / 151.0), error), 1.91793311f);
    const float step = sweepscale::step(151, 12500, 43);
    EXPECT_EQ(sweepscale::toneHz(151, step, 37), 6652);
    EXPECT_EQ(CLng(gfAudioPoint2Freq(151, 12500, 43, 37, error)), 6652);
    EXPECT_EQ(gnAudioFreq2Point(151, 12500, 43, 6652, error), 37);
    EXPECT_FALSE(error);
    // The sweep's own ends.
    EXPECT_EQ(sweepscale::toneHz(151, step, 1), 151);
    EXPECT_EQ(sweepscale::toneHz(151, step, 43), 12500);
}

TEST_F(ScaleTable, BadShapesRaiseTheRunTimeErrors) {
    EXPECT_EQ(errorOf([] { sweepscale::step(20, 20000, 1); }), 11);
    EXPECT_EQ(errorOf([] { sweepscale::step(0, 20000, 40); }), 11);
    EXPECT_EQ(errorOf([] { sweepscale::step(20, -5, 40); }), 5);
    EXPECT_EQ(errorOf([] { sweepscale::nearestPoint(20, 20, 40, 20); }), 11);
    EXPECT_EQ(errorOf([] { sweepscale::nearestPoint(20, 20000, 40, 0); }), 5);
    EXPECT_EQ(errorOf([] { sweepscale::blockStarts(PointRange{1, 10}, 0); }), 5);
}

// 20 Hz to 20 kHz in 100 points: point p lies at 20 x 10^((p - 1) / 33).
int32_t pointHz(int p) { return CLng(writtenOutPoint(20, 20000, 100, int16_t(p))); }

sweepscale::LayerBands bands(int32_t iLo, int32_t iMLo, int32_t iMHi, int32_t iHi) {
    ResponseLayer l;
    l.On = true;
    l.fLo = iLo;
    l.fMLo = iMLo;
    l.fMHi = iMHi;
    l.fHi = iHi;
    return sweepscale::layerBands(20, 20000, 100, l);
}

TEST_F(ScaleTable, ALayerJudgesItsBandsAndBothEdgesOfItsHole) {
    // No hole: one band, blocks starting at each point up to the last that still fits.
    auto b = bands(pointHz(10), 0, 0, pointHz(90));
    EXPECT_EQ(b.band1, (PointRange{10, 90}));
    EXPECT_EQ(b.band2.count(), 0);
    EXPECT_EQ(sweepscale::blockStarts(b.band1, 5), (PointRange{10, 86}));
    EXPECT_EQ(sweepscale::blockStarts(b.band1, 1), (PointRange{10, 90}));
    // Frequencies between points go to the nearest one.
    EXPECT_EQ(bands(pointHz(10) + 1, 0, 0, pointHz(90) - 30).band1, (PointRange{10, 90}));

    // The whole scale: one block of every point, none longer.
    b = bands(20, 0, 0, 20000);
    EXPECT_EQ(b.band1, (PointRange{1, 100}));
    EXPECT_EQ(sweepscale::blockStarts(b.band1, 100), (PointRange{1, 1}));
    EXPECT_EQ(sweepscale::blockStarts(b.band1, 101).count(), 0);

    // A hole from point 40 to point 50: both edge points are judged, block
    // starts of band 1 end at the hole-start point - block + 1.
    b = bands(pointHz(10), pointHz(40), pointHz(50), pointHz(90));
    EXPECT_EQ(b.band1, (PointRange{10, 40}));
    EXPECT_EQ(b.band2, (PointRange{50, 90}));
    EXPECT_EQ(sweepscale::blockStarts(b.band1, 3), (PointRange{10, 38}));
    EXPECT_EQ(sweepscale::blockStarts(b.band2, 3), (PointRange{50, 88}));

    // The lowest hole start, on the band's first point: band 1 is that point alone.
    b = bands(pointHz(10), pointHz(10), pointHz(50), pointHz(90));
    EXPECT_EQ(b.band1, (PointRange{10, 10}));
    EXPECT_EQ(sweepscale::blockStarts(b.band1, 1), (PointRange{10, 10}));
    EXPECT_EQ(sweepscale::blockStarts(b.band1, 2).count(), 0);
    // The highest hole start, just before the band's last point ending the hole on it.
    b = bands(pointHz(10), pointHz(89), pointHz(90), pointHz(90));
    EXPECT_EQ(b.band1, (PointRange{10, 89}));
    EXPECT_EQ(b.band2, (PointRange{90, 90}));
    EXPECT_EQ(sweepscale::blockStarts(b.band2, 2).count(), 0);
    // At the scale's ends.
    b = bands(20, pointHz(2), pointHz(99), 20000);
    EXPECT_EQ(b.band1, (PointRange{1, 2}));
    EXPECT_EQ(b.band2, (PointRange{99, 100}));
}
}
