// The frequency response measured on a real sound server: the null sink's
// monitor gives back what is played, so the response over the whole range is
// flat. Run through tests/support/with-sound-server.sh.
#include "audio/modWaveResponse.h"
#include "tests/sound_server/RealStation.h"
#include <algorithm>

namespace {
class RealResponse : public realstation::RealStation {
protected:
    void SetUp() override {
        StationTest::SetUp();
        openStation();
    }
};
}

TEST_F(RealResponse, TheLoopbackReadsFlatFromTwentyHertzToTwentyKilohertz) {
    // A block the server drops or shifts under load is reported by the
    // recording and its point measured again; when that happens at the same
    // point twice the station says so, and the operator's Retry records again.
    ResponseCurve level(41, 0.0f), corrected(41, 0.0f);
    // 1 V of a 2 V full scale: a sine of half the span, -9.03 dB through a unity loop.
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected, error);
    ASSERT_FALSE(error) << shown();
    EXPECT_EQ(glWaveOutHandle, 0);
    const auto [lo, hi] = std::minmax_element(level.begin() + 1, level.end());
    QStringList all;
    for (size_t p = 1; p <= 40; ++p) all << QString::number(level[p], 'f', 2);
    EXPECT_LE(*hi - *lo, 0.5) << all.join(" ").toStdString();
    EXPECT_NEAR(level[20], realstation::unityLevelDb(), 0.5);
}

