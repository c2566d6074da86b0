// The frequency response measured on a real sound server: the null sink's
// monitor gives back what is played, so the response over the whole range is
// flat. Run through tests/support/with-sound-server.sh.
#include "audio/modMixer.h"
#include "audio/modResponseSub.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "audio/modWaveResponse.h"
#include "common/modGeneral.h"
#include "platform/os/Clock.h"
#include "platform/sound/PortAudioBackend.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/Form.h"
#include "platform/ui/PictureBox.h"
#include "tests/support/GraphWindows.h"
#include "tests/support/StationTest.h"
#include <algorithm>

namespace {
class RealResponse : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        const QString reason = qEnvironmentVariable("VEXO_NO_SOUND_SERVER");
        if (!reason.isEmpty()) GTEST_SKIP() << "no sound server: " << reason.toStdString();
        vclock::setReal();
        gsMainCaption = QStringLiteral("Vexo v1.000");
        sound::setBackend(std::make_unique<sound::PortAudioBackend>());
        if (waveOutGetNumDevs() == 0 && qEnvironmentVariable("CI") != QLatin1String("true"))
            GTEST_SKIP() << "no sound device (run through tests/support/with-sound-server.sh)";
        ASSERT_TRUE(gbWaveInOutMixerThereInit(error));
        gMixerOutMasterSetVolume(65535, error);
        gMixerInMasterSelectMic(error);
        ASSERT_FALSE(error);
        gfVOutSoundboard = 2.0f;
        gfVOutAmp = 40.0f;
        f = std::make_unique<frmGraph>();
        gResponseSubDrawGrid(*f, 600, 200, 4800, 2550, 0, QStringLiteral("(Hz)"), false, error);
    }
    void TearDown() override {
        bool e = false;
        gWaveOutClose(true, e);
        gMixerRestore(e);
        f.reset();
        sound::setBackend(nullptr);
        StationTest::TearDown();
    }
    std::unique_ptr<frmGraph> f;
    bool error = false;
};
}

TEST_F(RealResponse, TheLoopbackReadsFlatFromTwentyHertzToTwentyKilohertz) {
    // One run. A block the server drops under load is reported by the
    // recording and its point measured again; only when it dropped at the
    // same point twice (the measurement then stops with the reason) does
    // the whole measurement run again.
    ResponseCurve level(41, 0.0f), corrected(41, 0.0f);
    auto measure = [&] {
        error = false;
        clearBoxes();
        answer({vbAbort, vbNo});
        // 1 V of a 2 V full scale: a sine of half the span, -9.03 dB through a unity loop.
        gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected, error);
    };
    measure();
    if (error && gbWaveInLostSamples) measure();
    QStringList shown;
    for (const MsgBoxCall& b : boxes()) shown << b.prompt;
    ASSERT_FALSE(error) << shown.join("\n").toStdString();
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(glWaveOutHandle, 0);
    const auto [lo, hi] = std::minmax_element(level.begin() + 1, level.end());
    QStringList all;
    for (size_t p = 1; p <= 40; ++p) all << QString::number(level[p], 'f', 2);
    EXPECT_LE(*hi - *lo, 0.5) << all.join(" ").toStdString();
    EXPECT_NEAR(level[20], 20 * std::log10(16384 / std::sqrt(2.0) / 32767.5), 0.5);
}
