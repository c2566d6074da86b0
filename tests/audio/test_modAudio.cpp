// The sweep-point scale both ways, and the level scale of a recording read
// from exactly known input samples.
#include "audio/modAudio.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "common/modGeneral.h"
#include "platform/vb/Conversions.h"
#include "tests/support/JigBench.h"
#include "tests/support/StationTest.h"
#include <cmath>
#include <cstring>

using namespace jigbench;

namespace {
class SweepScale : public StationTest {};
}

TEST_F(SweepScale, RunsFromLowToHighAndBack) {
    bool error = false;
    EXPECT_FLOAT_EQ(gfAudioPoint2Freq(20, 20000, 100, 1, error), 20.0f);
    EXPECT_NEAR(gfAudioPoint2Freq(20, 20000, 100, 100, error), 20000.0f, 0.02f);
    EXPECT_NEAR(gfAudioPoint2Freq(20, 20000, 100, 57, error), 20 * std::pow(10.0, 56 * 3.0 / 99), 0.01);
    EXPECT_EQ(gnAudioFreq2Point(20, 20000, 100, 1000, error), 57);
    EXPECT_EQ(gnAudioFreq2Point(20, 20000, 100, 20, error), 1);
    EXPECT_EQ(gnAudioFreq2Point(20, 20000, 100, 20000, error), 100);
    // Not limited to the scale.
    EXPECT_EQ(gnAudioFreq2Point(20, 20000, 100, 10, error), -9);
    EXPECT_EQ(gnAudioFreq2Point(20, 20000, 100, 40000, error), 110);
    // Half-way in log terms goes to the even point: points 1, 100, 10000.
    EXPECT_EQ(gnAudioFreq2Point(1, 10000, 3, 10, error), 2);
    EXPECT_EQ(gnAudioFreq2Point(1, 10000, 3, 1000, error), 2);
    EXPECT_FALSE(error);
    for (int16_t p = 1; p <= 40; ++p)
        EXPECT_EQ(gnAudioFreq2Point(45, 18000, 40, CLng(gfAudioPoint2Freq(45, 18000, 40, p, error)), error), p);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(SweepScale, PointsOutsideTheScaleAreRefused) {
    bool error = false;
    answer({vbOK});
    EXPECT_EQ(gfAudioPoint2Freq(20, 20000, 100, 0, error), 0.0f);
    EXPECT_TRUE(error);
    error = false;
    answer({vbOK});
    EXPECT_EQ(gfAudioPoint2Freq(20, 20000, 100, 101, error), 0.0f);
    EXPECT_TRUE(error);
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[0].prompt, "inPoint (0) < 1");
    EXPECT_EQ(boxes()[1].prompt, "inPoint (101) > inPoints (100)");
    EXPECT_EQ(boxes()[1].title, "modAudio.gfAudioPoint2Freq");
    // No low frequency: the error flag alone.
    error = false;
    EXPECT_EQ(gnAudioFreq2Point(0, 20000, 100, 1000, error), 0);
    EXPECT_TRUE(error);
    EXPECT_EQ(boxes().size(), 2);
}

namespace {
// The jig's card, but its input delivers the samples a test writes.
class ScriptedInput : public sound::JigBackend {
public:
    std::vector<int16_t> script;   // repeated as long as a recording asks
    MMRESULT waveInReadHeader(HWAVEIN iHandle, int iHeader, void* oData, uint32_t iBytes) override {
        const MMRESULT r = JigBackend::waveInReadHeader(iHandle, iHeader, oData, iBytes);
        if (r == MMSYSERR_NOERROR && iHeader == 1)
            for (uint32_t i = 0; i < iBytes / 2; ++i) static_cast<int16_t*>(oData)[i] = script[i % script.size()];
        return r;
    }
};

class Level : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gsMainCaption = QStringLiteral("Vexo v1.000");
        auto owned = std::make_unique<ScriptedInput>();
        input = owned.get();
        sound::setBackend(std::move(owned));
        ASSERT_TRUE(gbWaveInOutMixerThereInit(error));
    }
    void TearDown() override {
        endOfScript();
        bool e = false;
        gWaveOutClose(true, e);   // the input of the last recording too
        sound::setBackend(nullptr);
        StationTest::TearDown();
    }
    ScriptedInput* input = nullptr;
    bool error = false;
};
}

TEST_F(Level, ZeroDecibelsIsHalfTheSixteenBitSpan) {
    input->script.resize(100);
    for (int i = 0; i < 100; ++i) input->script[size_t(i)] = int16_t(std::lround(32767 * std::sin(2 * M_PI * i / 100)));
    EXPECT_NEAR(gfWaveGetNADCs(1000, error), -3.01, 0.005);

    input->script = {32767, -32767};
    EXPECT_NEAR(gfWaveGetNADCs(1000, error), 0.0, 0.001);

    input->script = {0};
    EXPECT_NEAR(gfWaveGetNADCs(1000, error), 20 * std::log10(2.0 / 65535), 0.001);   // -90.3, not minus infinity
    EXPECT_FALSE(error);
}

TEST_F(Level, SettlingSamplesAreRecordedFirstAndLeftOut) {
    // 220 loud samples, then silence.
    input->script.assign(100000, 0);
    std::fill(input->script.begin(), input->script.begin() + 220, int16_t(20000));
    EXPECT_NEAR(gfWaveGetNADCs(1000, error, 220), -90.3, 0.01);
    EXPECT_GT(gfWaveGetNADCs(1000, error), -20.0);
    EXPECT_FALSE(error);
}
