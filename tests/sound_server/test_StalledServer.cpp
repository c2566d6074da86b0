// A sound server that stops answering (here stopped with SIGSTOP) never holds
// up the station past a deadline: at start-up the card is absent, during a
// measurement the measurement ends with an error, and once the server runs
// again the card comes back.
#include "audio/modWaveResponse.h"
#include "tests/sound_server/RealStation.h"
#include <chrono>
#include <csignal>
#include <thread>

using namespace realstation;

namespace {
// Stops the test sound server; it runs again when this ends, whatever happened.
class ServerStop {
public:
    ServerStop() : mPid(qEnvironmentVariableIntValue("VEXO_SOUND_SERVER_PID")) {}
    ~ServerStop() { resume(); }
    bool known() const { return mPid > 0; }
    void stop() {
        if (mPid > 0) ::kill(mPid, SIGSTOP);
    }
    void resume() {
        if (mPid > 0) ::kill(mPid, SIGCONT);
    }

private:
    int mPid;
};

double secondsSince(std::chrono::steady_clock::time_point iStart) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - iStart).count();
}

class StalledServer : public RealStation {
protected:
    void SetUp() override {
        StationTest::SetUp();
        if (!qEnvironmentVariable("VEXO_NO_SOUND_SERVER").isEmpty()) GTEST_SKIP() << "no sound server";
        if (!server.known()) GTEST_SKIP() << "the sound server's process id is not known";
        ASSERT_TRUE(serverAnswers()) << "the test sound server does not answer";
    }
    ServerStop server;
};
}

// Started while the server is stopped: no sound card, said within seconds;
// the card is there once the server answers again.
TEST_F(StalledServer, AtStartUpTheCardIsAbsentUntilTheServerAnswers) {
    server.stop();
    const auto start = std::chrono::steady_clock::now();
    vclock::setReal();
    gsMainCaption = QStringLiteral("Vexo v1.000");
    sound::setBackend(std::make_unique<sound::PortAudioBackend>());
    opened = true;
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    answer({vbOK});
    EXPECT_FALSE(gbWaveInOutMixerThereInit(error));
    EXPECT_LT(secondsSince(start), 15.0);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "Wave output device not found or error");

    server.resume();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waveOutGetNumDevs() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_GE(waveOutGetNumDevs(), 1u);
    error = false;
    clearBoxes();
    EXPECT_TRUE(gbWaveInOutMixerThereInit(error)) << shown();
}

// Stopped in the middle of a response: the measurement ends with an error
// within seconds; after the server runs again the next one measures.
TEST_F(StalledServer, MidMeasurementTheMeasurementEndsAndTheNextOneWorks) {
    openStation();
    if (IsSkipped() || HasFatalFailure()) return;
    // The stall ends the measurement with the error handler's boxes, each
    // answered with its default button (and, where it catches the start of
    // play, with the play step's own notice).
    retryErrors({}, 0);
    allowErrors({QStringLiteral("The sound device does not answer")});
    // Where the stall catches a recording: it times out, or its stop finds the
    // samples the stall lost and the signal it cannot be aligned to.
    allowErrors({QStringLiteral("Recording timed out"), QStringLiteral("The recording lost samples"),
                 QStringLiteral("The sound device's timing cannot be trusted")},
                false);
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        server.stop();
    });
    const auto start = std::chrono::steady_clock::now();
    ResponseCurve level(41, 0.0f), corrected(41, 0.0f);
    gWaveResponse(*f, 20, 20000, 40, 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, level, corrected, error);
    stopper.join();
    const double took = secondsSince(start);
    EXPECT_TRUE(error);
    EXPECT_LT(took, 40.0);
    EXPECT_FALSE(boxes().isEmpty());

    server.resume();
    const auto resumed = std::chrono::steady_clock::now();
    ASSERT_TRUE(serverAnswers());
    error = false;
    clearBoxes();
    // The call given up on returns once the server answers, and the card opens
    // afresh at once: the measurements refused meanwhile left nothing queued
    // behind it (the operator tries again and again meanwhile).
    ResponseCurve again(6, 0.0f), again2(6, 0.0f);
    const auto deadline = resumed + std::chrono::seconds(30);
    do {
        error = false;
        clearBoxes();
        gWaveResponse(*f, 500, 5000, 5, 0.1f, 1.0f, true, 65535, 0, false, 0xFFFFFF, 0, again, again2, error);
    } while (error && std::chrono::steady_clock::now() < deadline);
    EXPECT_FALSE(error) << shown();
    const double back = secondsSince(resumed);
    EXPECT_LT(back, 10.0) << "the card came back " << back << " s after the server";
    RecordProperty("seconds_until_the_card_came_back", QString::number(back, 'f', 1).toStdString());
    for (int p = 1; p <= 5; ++p) EXPECT_NEAR(again[size_t(p)], unityLevelDb(), 0.1) << p;
}
