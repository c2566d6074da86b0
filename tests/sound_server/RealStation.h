#pragma once
// The station on the real backend against the test sound server that
// with-sound-server.sh starts: the null sink's monitor gives back what is
// played, directly or through one of the server's known units (a LADSPA sink
// made the default sink before the card is opened).
#include "audio/modMixer.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "audio/modResponseSub.h"
#include "common/modGeneral.h"
#include "platform/os/Clock.h"
#include "platform/sound/PortAudioBackend.h"
#include "tests/support/GraphWindows.h"
#include "tests/support/StationTest.h"
#include <QProcess>
#include <QThread>
#include <cmath>

namespace realstation {

// Runs pactl against the test server; true when it worked.
inline bool pactl(const QStringList& iArgs) {
    QProcess p;
    p.start(QStringLiteral("pactl"), iArgs);
    return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The station's stream on the test server, "" when it has none: the server's
// one client stream that plays (the units' own streams are its modules).
inline QString stationStream() {
    QProcess p;
    p.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")});
    if (!p.waitForFinished(5000)) return {};
    QString stream;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.contains(QStringLiteral("protocol-native"))) stream = line.section(QLatin1Char('\t'), 0, 0).trimmed();
    return stream;
}

// Moves the station's stream to iSink, as the desktop's sound settings do.
// The station may open its stream afresh meanwhile (one gone between listing
// and moving, or not there for a moment): the move is made on the new one.
inline bool moveStationStream(const QString& iSink) {
    for (int attempt = 1; attempt <= 20; ++attempt) {
        const QString stream = stationStream();
        if (!stream.isEmpty() && pactl({QStringLiteral("move-sink-input"), stream, iSink})) return true;
        QThread::msleep(100);
    }
    return false;
}

// The level the station reads for 1 V of its 2 V full scale through a unity
// loop: a sine of half the span.
inline double unityLevelDb() { return 20 * std::log10(16384 / std::sqrt(2.0) / 32767.5); }


// What a busy machine makes the station refuse, rightly: a recording whose
// timing it cannot trust, one the stream did not fill in time, a device that
// does not answer in time. An operator answers Retry; a case that meets more
// of them than this fails.
inline const QStringList kBusyRefusals = {QStringLiteral("The sound device's timing cannot be trusted"),
                                          QStringLiteral("The recording lost samples"),
                                          QStringLiteral("Recording timed out"),
                                          QStringLiteral("The sound device does not answer")};
constexpr int kBusyRetries = 4;

// Waits up to 30 s for the test server to answer; false when it does not.
inline bool serverAnswers() {
    for (int attempt = 1; attempt <= 60; ++attempt) {
        if (pactl({QStringLiteral("info")})) return true;
        QThread::msleep(500);
    }
    return false;
}

class RealStation : public StationTest {
protected:
    // iUnit: the sink to play into ("" for the plain loop). A case that opens
    // the station again starts it with the error flag clear, as a new
    // measurement does: a flag left by the last one would refuse the card.
    void openStation(const QString& iUnit = {}) {
        error = false;
        const QString reason = qEnvironmentVariable("VEXO_NO_SOUND_SERVER");
        if (!reason.isEmpty()) GTEST_SKIP() << "no sound server: " << reason.toStdString();
        // Each case starts from a server that answers, whatever the one before did to it.
        ASSERT_TRUE(serverAnswers()) << "the test sound server does not answer";
        retryErrors(kBusyRefusals, kBusyRetries);
        if (!iUnit.isEmpty()) {
            if (!qEnvironmentVariable("VEXO_SOUND_UNITS").split(QLatin1Char(' ')).contains(iUnit))
                GTEST_SKIP() << "the test sound server has no " << iUnit.toStdString();
            ASSERT_TRUE(pactl({QStringLiteral("set-default-sink"), iUnit}));
            unitSet = true;
        }
        vclock::setReal();
        gsMainCaption = QStringLiteral("Vexo v1.000");
        sound::setBackend(std::make_unique<sound::PortAudioBackend>());
        opened = true;
        if (waveOutGetNumDevs() == 0 && qEnvironmentVariable("CI") != QLatin1String("true"))
            GTEST_SKIP() << "no sound device (run through tests/support/with-sound-server.sh)";
        ASSERT_TRUE(gbWaveInOutMixerThereInit(error));
        gMixerOutMasterSetMute(false, error);
        gMixerOutMasterSetVolume(65535, error);
        gMixerInMasterSelectMic(error);
        gMixerInMicSetVolume(65535, error);
        ASSERT_FALSE(error);
        gfVOutSoundboard = 2.0f;
        gfVOutAmp = 40.0f;
        gfVOutAmpGain = 20.0f;
        f = std::make_unique<frmGraph>();
        gResponseSubDrawGrid(*f, 600, 200, 4800, 2550, 0, QStringLiteral("(Hz)"), false, error);
    }
    void TearDown() override {
        endOfScript();
        bool e = false;
        if (opened) {
            gWaveOutClose(true, e);
            gMixerRestore(e);
        }
        f.reset();
        sound::setBackend(nullptr);
        if (unitSet) pactl({QStringLiteral("set-default-sink"), QStringLiteral("vexo_null")});
        StationTest::TearDown();
    }
    // The messages shown so far, for a failure's note.
    std::string shown() const {
        QStringList all;
        for (const MsgBoxCall& b : boxes()) all << b.prompt;
        return all.join(QStringLiteral(" | ")).toStdString();
    }
    std::unique_ptr<frmGraph> f;
    bool error = false;
    bool unitSet = false;
    bool opened = false;
};

}
