// Measurements through the test sound server's known units: what the station
// reads is held against each unit's response worked out from its difference
// equation, not against another reading of the station.
#include "audio/modMSine.h"
#include "audio/modWavePolarityHi.h"
#include "audio/modWavePolarityTIP.h"
#include "audio/modWaveResponse.h"
#include "tests/sound_server/RealStation.h"
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <complex>
#include <numbers>
#include <thread>
#include <unistd.h>

using namespace realstation;

namespace {
constexpr double kServerRate = 44100;

// The one-pole low-pass of the unit: c = 2 - cos(2 pi fc / fs),
// b = c - sqrt(c^2 - 1), H(z) = (1 - b) / (1 - b z^-1).
double lowPassDb(double iFreq, double iCutoff) {
    const double c = 2 - std::cos(2 * std::numbers::pi * iCutoff / kServerRate);
    const double b = c - std::sqrt(c * c - 1);
    const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * iFreq / kServerRate);
    return 20 * std::log10(std::abs((1 - b) / (1.0 - b * z1)));
}

// A sweep's point frequencies as the station plays them: a log scale, whole hertz.
double pointFreq(double iStart, double iEnd, int iPoints, int iPoint) {
    const float inc = float(std::log10(iEnd / iStart) / (iPoints - 1));
    return std::floor(iStart * std::pow(10.0, double(inc * float(iPoint - 1))) + 0.5);
}

class KnownUnit : public RealStation {};

}

// Through the 1 kHz low-pass, at 40 and at 100 points: a reading taken a block
// early or late reads the tone of another point, which the slope shows.
TEST_F(KnownUnit, TheLowPassReadsItsResponseAtEveryPoint) {
    openStation(QStringLiteral("vexo_lowpass"));
    if (IsSkipped() || HasFatalFailure()) return;
    for (int points : {40, 100}) {
        SCOPED_TRACE(std::to_string(points) + " points");
        ResponseCurve level(size_t(points) + 1, 0.0f), corrected(size_t(points) + 1, 0.0f);
        // The filter sink's own buffering grows now and then under load: a
        // point read across such a change is refused, measured again once, and
        // when that is refused too the station says so and the operator's
        // Retry records it again.
        gWaveResponse(*f, 20, 20000, int16_t(points), 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected,
                      error);
        ASSERT_FALSE(error) << shown();
        double worst = 0;
        QStringList off;
        for (int p = 1; p <= points; ++p) {
            const double f = pointFreq(20, 20000, points, p);
            const double expected = unityLevelDb() + lowPassDb(f, 1000);
            worst = std::max(worst, std::abs(level[size_t(p)] - expected));
            off << QStringLiteral("%1 Hz %2").arg(f).arg(level[size_t(p)] - expected, 0, 'f', 3);
        }
        EXPECT_LE(worst, 0.1) << off.join(", ").toStdString();
        RecordProperty(("lowpass_worst_db_" + std::to_string(points)).c_str(), QString::number(worst, 'f', 3).toStdString());
    }
}

// The gain stage (0.5, -6.02 dB) read by the sine test's level at 1 kHz, at
// the sine test's own record volume (90 % of the scale, -0.92 dB).
TEST_F(KnownUnit, TheGainStageReadsItsLevel) {
    openStation(QStringLiteral("vexo_gain"));
    if (IsSkipped() || HasFatalFailure()) return;
    mSetFreqVOut(1000, 1.0f, true, error);
    ASSERT_FALSE(error);
    const float level = gfSineMeasureOne(1000, 0.2f, 1.0f, true, error);
    ASSERT_FALSE(error) << shown();
    const double expected = unityLevelDb() + 20 * std::log10(0.5) + 20 * std::log10(58982 / 65535.0);
    EXPECT_NEAR(level, expected, 0.1);
    RecordProperty("gain_level_error_db", QString::number(level - expected, 'f', 3).toStdString());
}

// The polarity test records at its own record volume (60 % of the scale):
// the pulse must still cross the threshold on a sound server, and its sign
// follow the path. A pulse recording a busy machine refuses (or lets time
// out) is made again at the operator's Retry.
TEST_F(KnownUnit, PolarityIsPositiveOnThePlainLoopAndNegativeThroughTheInverter) {
    for (const auto& [unit, expected] : {std::pair<QString, int16_t>{QString(), 1}, {QStringLiteral("vexo_inverter"), -1}}) {
        SCOPED_TRACE(unit.isEmpty() ? "plain loop" : unit.toStdString());
        openStation(unit);
        if (IsSkipped() || HasFatalFailure()) return;
        frmPolarity pol;
        gWavePolarityHiInitShowDraw(*pol.picPolarity, 3325, 2550, error);
        for (bool low : {true, false}) {
            int16_t marker = -1;
            EXPECT_EQ(gnWavePolarityTIP(low, 0.0f, 2.0f, true, marker, error), expected) << (low ? "low" : "high");
            EXPECT_FALSE(error) << shown();
        }
        bool e = false;
        gWaveOutClose(true, e);
        gMixerRestore(e);
        sound::setBackend(nullptr);
        opened = false;
        if (unitSet) pactl({QStringLiteral("set-default-sink"), QStringLiteral("vexo_null")});
        unitSet = false;
    }
}

// The station stalled for a second mid-measurement (the whole process
// stopped, as on an overloaded machine): the server kept its clock, so the
// loop is seconds longer afterwards. No point is read from the wrong place:
// the point read across the change is measured again, or refused with the
// timing error and recorded again at the operator's Retry, and the response
// reads right at every point.
TEST_F(KnownUnit, AStallMidMeasurementGivesNoWrongLevel) {
    openStation(QStringLiteral("vexo_lowpass"));
    if (IsSkipped() || HasFatalFailure()) return;
    // The card's first open (settling and measuring the loop) is over by then.
    std::thread stall([] {
        std::this_thread::sleep_for(std::chrono::seconds(9));
        QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"),
                                                       QStringLiteral("kill -STOP %1; sleep 1; kill -CONT %1").arg(getpid())});
    });
    ResponseCurve level(21, 0.0f), corrected(21, 0.0f);
    gWaveResponse(*f, 20, 20000, 20, 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected, error);
    stall.join();
    ASSERT_FALSE(error) << shown();
    for (int p = 1; p <= 20; ++p)
        EXPECT_NEAR(level[size_t(p)], unityLevelDb() + lowPassDb(pointFreq(20, 20000, 20, p), 1000), 0.1) << p;
}

// The loop grows under the station: the output is switched to the low-pass
// sink in the middle of a measurement (as a user switches outputs in the
// desktop's sound settings), which adds the filter's own buffering to the
// loop, and the station stalls for a second with it (as on an overloaded
// machine). No point may read a tone it was not played, nor a recording that
// spans the switch, nor one the device refused: every point read is the flat
// response or the low-pass one (a refused recording is made again at the
// operator's Retry); a measurement after that reads the low-pass.
TEST_F(KnownUnit, ALoopThatGrowsMidMeasurementGivesNoWrongLevel) {
    openStation();
    if (IsSkipped() || HasFatalFailure()) return;
    ResponseCurve level(21, 0.0f), corrected(21, 0.0f);
    gWaveResponse(*f, 20, 20000, 20, 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected, error);
    ASSERT_FALSE(error) << shown();
    for (int p = 1; p <= 20; ++p) ASSERT_NEAR(level[size_t(p)], unityLevelDb(), 0.1) << "plain loop, point " << p;

    // The move refuses the recordings that span it; the operator's Retry
    // records again once the loop it grew has been measured.
    ASSERT_FALSE(stationStream().isEmpty()) << "the station's stream is not on the server";
    unitSet = true;
    // The output switched as the desktop does it: the default, and the
    // streams playing (a stream the station opens afresh lands there too).
    // It comes once the measurement has read its eighth point, whatever the
    // machine's speed; the stall leaves the rest of the measurement without
    // a loop delay to align by.
    std::fill(level.begin(), level.end(), 0.0f);
    std::atomic<bool> midway{false}, moved{false};
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (level[8] != 0.0f) midway = true;
    });
    watch.start(5);
    std::thread move([&midway, &moved] {
        while (!midway) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"),
                                                       QStringLiteral("kill -STOP %1; sleep 1; kill -CONT %1").arg(getpid())});
        moved = pactl({QStringLiteral("set-default-sink"), QStringLiteral("vexo_lowpass")}) &&
                moveStationStream(QStringLiteral("vexo_lowpass"));
    });

    for (int run = 1; run <= 4; ++run) {
        SCOPED_TRACE("measurement " + std::to_string(run) + (run == 1 ? " with the move" : " after the move"));
        std::fill(level.begin(), level.end(), 0.0f);
        error = false;
        clearBoxes();
        gWaveResponse(*f, 20, 20000, 20, 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected, error);
        if (move.joinable()) {
            midway = true;   // a measurement that ended before its eighth point
            watch.stop();
            move.join();
            ASSERT_TRUE(moved) << "the output could not be switched";
        }
        ASSERT_FALSE(error) << shown();
        bool allLowPass = true;
        for (int p = 1; p <= 20; ++p) {
            const double lowPass = unityLevelDb() + lowPassDb(pointFreq(20, 20000, 20, p), 1000);
            const bool isLowPass = std::abs(level[size_t(p)] - lowPass) <= 0.1;
            allLowPass = allLowPass && isLowPass;
            EXPECT_TRUE(isLowPass || (run == 1 && std::abs(level[size_t(p)] - unityLevelDb()) <= 0.1))
                << "point " << p << " reads " << level[size_t(p)] << " dB: flat " << unityLevelDb() << ", low-pass " << lowPass;
        }
        if (allLowPass) break;
        ASSERT_LT(run, 4) << "no measurement after the move read the low-pass";
    }
}

// The unit dies between measurements (its output muted: nothing comes back).
// A measurement may show the timing error, the operator retrying: the loop
// it knew gives nothing now. The loop is then measured silent, and the dead
// unit reads silent at every point with no box: a unit that fails, not one
// the station refuses for as long as it is in. Alive again, it reads its
// response again.
TEST_F(KnownUnit, ADeadUnitReadsSilentAndALiveOneReadsAgain) {
    openStation();
    if (IsSkipped() || HasFatalFailure()) return;
    ResponseCurve level(21, 0.0f), corrected(21, 0.0f);
    // Up to three measurements, until one runs through without a box.
    auto measure = [&] {
        for (int run = 1; run <= 3; ++run) {
            std::fill(level.begin(), level.end(), 0.0f);
            error = false;
            clearBoxes();
            gWaveResponse(*f, 20, 20000, 20, 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected, error);
            if (!error && boxes().isEmpty()) return;
        }
    };
    measure();
    ASSERT_FALSE(error) << shown();
    for (int p = 1; p <= 20; ++p) ASSERT_NEAR(level[size_t(p)], unityLevelDb(), 0.1) << "live, point " << p;

    gMixerOutMasterSetMute(true, error);
    ASSERT_FALSE(error);
    measure();
    EXPECT_FALSE(error) << shown();
    EXPECT_TRUE(boxes().isEmpty()) << shown();
    for (int p = 1; p <= 20; ++p) EXPECT_LT(level[size_t(p)], -90.0f) << "dead, point " << p;

    gMixerOutMasterSetMute(false, error);
    gMixerOutMasterSetVolume(65535, error);
    ASSERT_FALSE(error);
    measure();
    EXPECT_FALSE(error) << shown();
    for (int p = 1; p <= 20; ++p) EXPECT_NEAR(level[size_t(p)], unityLevelDb(), 0.1) << "alive again, point " << p;
}
