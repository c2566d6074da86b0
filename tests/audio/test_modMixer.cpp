// The mixer listed, set, read and restored on the jig's mixer, and the sound
// check of start-up end to end through the jig.
#include "audio/modMixer.h"
#include "audio/modWaveInOutDevices.h"
#include "common/modErrorHandler.h"
#include "common/modGeneral.h"
#include "tests/support/JigBench.h"
#include "tests/support/StationTest.h"

using namespace jigbench;
using sound::JigConfig;
using sound::MixerModel;
using sound::MixerRole;

namespace {
class Mixer : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gsMainCaption = QStringLiteral("Vexo v1.000");
        gsErrorContext.clear();
    }
    void TearDown() override {
        endOfScript();
        sound::setBackend(nullptr);
        StationTest::TearDown();
    }
    // The wave devices found, the summary begun, as start-up leaves them before the mixer.
    void devicesFound() {
        ASSERT_TRUE(gbWaveOutThere(error));
        ASSERT_TRUE(gbWaveInThere(error));
        mInitInfoShort(error);
    }
    std::vector<std::vector<int32_t>> values(const MixerModel& iMixer) {
        std::vector<std::vector<int32_t>> v;
        for (const auto& d : iMixer.destinations) {
            for (const auto& c : d.line.controls) v.push_back(c.values);
            for (const auto& s : d.sources)
                for (const auto& c : s.controls) v.push_back(c.values);
        }
        return v;
    }
    int32_t value(sound::JigBackend& iJig, MixerRole iRole) { return iJig.cardMixer().controlByRole(iRole)->values[0]; }
    bool error = false;
};

QString golden(const char* iText) {
    QString s = QString::fromUtf8(iText);
    s.replace(QLatin1Char('~'), QLatin1Char('\t'));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s;
}
}

TEST_F(Mixer, ReportsOfTheJigsMixer) {
    installJig();
    devicesFound();
    ASSERT_TRUE(gbMixerThere(error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(gsWaveInOutInfoShort.endsWith(
        golden("Product ID: 2\n\nMIXER\nMixer Count: 1\nMixer:  Vexo Test Jig, Destinations: 2")));
    // "~" stands for a Tab.
    EXPECT_EQ(gsAboutWaveMixerInfoLong, gsWaveInOutInfoShort + golden(R"(
Info on Mixer 0 follows
DESTINATION: Master Volume  (Master)
************************************************************
Line ID: FFFF0000 ~ Component type: MIXERLINE_COMPONENTTYPE_DST_SPEAKERS
Line Flag: Active ~ Source connection count: 3 ~ Channel count: 2 ~ Control count: 2
Target media: Vexo Test Jig ~ Type: MIXERLINE_TARGETTYPE_WAVEOUT

(1) CONTROL:  Master Volume
Type:  MIXERCONTROL_CONTROLTYPE_VOLUME
Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  1 ~ Bounds. Min: 0  Max: 65535 ~ Current: 50000
(2) CONTROL:  Master Mute
Type:  MIXERCONTROL_CONTROLTYPE_MUTE
Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  2 ~ Bounds. Min: 0  Max: 1 ~ Current: 0

~SOURCE: Wave  (Wave)
~******************************
~Source Line ID: 0 ~ Component type: MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT
~Line Flag: Active Source ~ Source connection count: 0 ~ Channel count: 2 ~ Control count: 2
~Target media: Vexo Test Jig ~ Type: MIXERLINE_TARGETTYPE_WAVEOUT

~(1) CONTROL:  Wave Volume
~Type:  MIXERCONTROL_CONTROLTYPE_VOLUME
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  3 ~ Bounds. Min: 0  Max: 65535 ~ Current: 30000
~(2) CONTROL:  Wave Mute
~Type:  MIXERCONTROL_CONTROLTYPE_MUTE
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  4 ~ Bounds. Min: 0  Max: 1 ~ Current: 1

~SOURCE: CD Audio  (CD)
~******************************
~Source Line ID: 10000 ~ Component type: MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC
~Line Flag: Active Source ~ Source connection count: 0 ~ Channel count: 2 ~ Control count: 2
~Target media:  ~ Type: MIXERLINE_TARGETTYPE_UNDEFINED

~(1) CONTROL:  CD Volume
~Type:  MIXERCONTROL_CONTROLTYPE_VOLUME
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  5 ~ Bounds. Min: 0  Max: 65535 ~ Current: 40000
~(2) CONTROL:  CD Mute
~Type:  MIXERCONTROL_CONTROLTYPE_MUTE
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  6 ~ Bounds. Min: 0  Max: 1 ~ Current: 0

~SOURCE: Microphone  (Mic)
~******************************
~Source Line ID: 20000 ~ Component type: MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE
~Line Flag: Active Source ~ Source connection count: 0 ~ Channel count: 2 ~ Control count: 2
~Target media:  ~ Type: MIXERLINE_TARGETTYPE_UNDEFINED

~(1) CONTROL:  Mic Volume
~Type:  MIXERCONTROL_CONTROLTYPE_VOLUME
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  7 ~ Bounds. Min: 0  Max: 65535 ~ Current: 20000
~(2) CONTROL:  Mic Mute
~Type:  MIXERCONTROL_CONTROLTYPE_MUTE
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  8 ~ Bounds. Min: 0  Max: 1 ~ Current: 1

DESTINATION: Recording Control  (Recording)
************************************************************
Line ID: FFFF0001 ~ Component type: MIXERLINE_COMPONENTTYPE_DST_WAVEIN
Line Flag: Active ~ Source connection count: 3 ~ Channel count: 2 ~ Control count: 2
Target media: Vexo Test Jig ~ Type: MIXERLINE_TARGETTYPE_WAVEIN

(1) CONTROL:  Recording Source
Type:  MIXERCONTROL_CONTROLTYPE_MUX
Control flag:  Uniform Multiple ~ Multiple items:  3 ~ Control ID:  9 ~ Bounds. Min: 0  Max: 1 ~ Current: -1
(2) CONTROL:  Recording Peak
Type:  MIXERCONTROL_CONTROLTYPE_PEAKMETER
Control flag:  None    ~ Multiple items:  0 ~ Control ID:  10 ~ Bounds. Min: -32768  Max: 32767 ~ Current: -1

~SOURCE: Line In  (Line)
~******************************
~Source Line ID: 1 ~ Component type: MIXERLINE_COMPONENTTYPE_SRC_LINE
~Line Flag: Active Source ~ Source connection count: 0 ~ Channel count: 2 ~ Control count: 1
~Target media:  ~ Type: MIXERLINE_TARGETTYPE_UNDEFINED

~(1) CONTROL:  Line Volume
~Type:  MIXERCONTROL_CONTROLTYPE_VOLUME
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  11 ~ Bounds. Min: 0  Max: 65535 ~ Current: 45000

~SOURCE: Microphone  (Mic)
~******************************
~Source Line ID: 10001 ~ Component type: MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE
~Line Flag: Active Source ~ Source connection count: 0 ~ Channel count: 2 ~ Control count: 1
~Target media:  ~ Type: MIXERLINE_TARGETTYPE_UNDEFINED

~(1) CONTROL:  Mic Volume
~Type:  MIXERCONTROL_CONTROLTYPE_VOLUME
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  12 ~ Bounds. Min: 0  Max: 65535 ~ Current: 20000

~SOURCE: CD Audio  (CD)
~******************************
~Source Line ID: 20001 ~ Component type: MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC
~Line Flag: Active Source ~ Source connection count: 0 ~ Channel count: 2 ~ Control count: 1
~Target media:  ~ Type: MIXERLINE_TARGETTYPE_UNDEFINED

~(1) CONTROL:  CD Volume
~Type:  MIXERCONTROL_CONTROLTYPE_VOLUME
~Control flag:  Uniform ~ Multiple items:  0 ~ Control ID:  13 ~ Bounds. Min: 0  Max: 65535 ~ Current: 40000

)"));
    EXPECT_EQ(glMixerOutWaveVolumeStep, 64);
    EXPECT_EQ(glMixerInMicVolumeStep, 64);
}

TEST_F(Mixer, CodeTexts) {
    EXPECT_EQ(msGetMixerError(0), "No error");
    EXPECT_EQ(msGetMixerError(5), "The uMxId parameter specifies an invalid handle");
    EXPECT_EQ(msGetMixerError(11), "One or more parameters are invalid.");
    EXPECT_EQ(msGetMixerError(MIXERR_INVALCONTROL), "Unknown error");
    EXPECT_EQ(msGetComponentType(0), "MIXERLINE_COMPONENTTYPE_DST_FIRST");
    EXPECT_EQ(msGetComponentType(8), "MIXERLINE_COMPONENTTYPE_DST_LAST");
    EXPECT_EQ(msGetComponentType(4096), "MIXERLINE_COMPONENTTYPE_SRC_FIRST");
    EXPECT_EQ(msGetComponentType(4099), "MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE");
    EXPECT_EQ(msGetComponentType(9), "<invalid>");
    EXPECT_EQ(msGetTargetType(2), "MIXERLINE_TARGETTYPE_WAVEIN");
    EXPECT_EQ(msGetTargetType(6), "<invalid>");
    EXPECT_EQ(msGetControlType(0x71010001), "MIXERCONTROL_CONTROLTYPE_MIXER");
    EXPECT_EQ(msGetControlType(0x50030005), "<invalid>");
    EXPECT_EQ(msGetLineFlag(0x80008001u), "Active Disconnected Source");
    EXPECT_EQ(msGetLineFlag(0x8000), "Disconnected");
    EXPECT_EQ(msGetLineFlag(0), "");
    EXPECT_EQ(msGetControlFlag(0), "None   ");
    EXPECT_EQ(msGetControlFlag(0x80000002u), "Multiple Disabled");
}

TEST_F(Mixer, StartUpPutsTheCardInAKnownStateAndMeasuresRight) {
    sound::JigBackend& jig = installJig();
    // Before start-up the mixer is as the jig leaves it: Line recorded, wave muted.
    const HWAVEOUT out = startLoop(tone(1000, 1000, 44100, 10), 44100);
    vclock::busyWait(200);
    EXPECT_NEAR(levelDb(record(8820)), jig.noiseFloorDb(), 0.5);

    ASSERT_TRUE(gbWaveInOutMixerThereInit(error));
    EXPECT_FALSE(error);
    gMixerOutMasterSetVolume(65535, error);
    gMixerInMasterSelectMic(error);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(value(jig, MixerRole::MasterMute), 0);
    EXPECT_EQ(value(jig, MixerRole::MasterVolume), 65535);
    EXPECT_EQ(value(jig, MixerRole::WaveMute), 0);
    EXPECT_EQ(value(jig, MixerRole::WaveVolume), 65535);
    EXPECT_EQ(jig.cardMixer().controlByRole(MixerRole::RecordSelect)->values, std::vector<int32_t>({0, 1, 0}));
    // The card label's text is the summary's second line.
    EXPECT_EQ(gsWaveInOutInfoShort.section(QStringLiteral("\r\n"), 1, 1), "Vexo Test Jig");
    EXPECT_TRUE(gsErrorContext.endsWith("\r\nmMixerSetControl  ilValue 65535  inCtrlPtr 1\r\n"
                                        "mMixerSetControl  ilValue -1  inCtrlPtr 9"));

    gMixerInMicSetVolume(58000, error);
    EXPECT_EQ(glMixerInMicGetVolume(error), 58000);
    EXPECT_EQ(glMixerOutMasterGetVolume(error), 65535);
    vclock::busyWait(200);
    EXPECT_NEAR(levelDb(record(8820)), jig.expectedLevelDb(1000, 1000), 0.1);

    // Mute is sent as exactly 1, unmute as 0.
    gMixerOutMasterSetMute(true, error);
    EXPECT_EQ(value(jig, MixerRole::MasterMute), 1);
    vclock::busyWait(100);
    EXPECT_NEAR(levelDb(record(8820)), jig.noiseFloorDb(), 0.5);
    gMixerOutMasterSetMute(false, error);
    EXPECT_EQ(value(jig, MixerRole::MasterMute), 0);
    EXPECT_FALSE(error);
    EXPECT_EQ(waveOutClose(out), MMSYSERR_NOERROR);
}

TEST_F(Mixer, RestoreAfterManyChanges) {
    sound::JigBackend& jig = installJig();
    const auto before = values(jig.cardMixer());
    devicesFound();
    ASSERT_TRUE(gbMixerThere(error));
    gMixerOutMasterSetMute(false, error);
    gMixerOutWaveSetMute(false, error);
    gMixerOutWaveSetVolume(65535, error);
    gMixerOutMasterSetVolume(65535, error);
    gMixerInMasterSelectMic(error);
    for (int i = 0; i < 200; ++i) gMixerInMicSetVolume((i * 7919) % 65536, error);
    gMixerOutMasterSetMute(true, error);
    ASSERT_FALSE(error);
    ASSERT_NE(values(jig.cardMixer()), before);

    gMixerRestore(error);
    EXPECT_FALSE(error);
    EXPECT_EQ(values(jig.cardMixer()), before);
    // The list and the peak meter are not set by value: a meter would refuse it.
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(Mixer, NoMicrophoneItemIsAnErrorNotLine) {
    JigConfig c = JigConfig::standard();
    sound::MixerControlModel& list = c.mixers[0].destinations[1].line.controls[0];
    list.items = {{0, MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line In"}, {0, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, "CD Audio"}};
    list.values = {1, 0};
    sound::JigBackend& jig = installJig(c);
    devicesFound();
    ASSERT_TRUE(gbMixerThere(error));

    answer({vbIgnore});
    gMixerInMasterSelectMic(error);
    EXPECT_FALSE(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Source: modMixer.gMixerInMasterSelectMic.10\r\n\r\nNo microphone record source");
    EXPECT_EQ(boxes()[0].defaultAnswer, vbIgnore);
    EXPECT_EQ(jig.cardMixer().controlByRole(MixerRole::RecordSelect)->values, std::vector<int32_t>({1, 0}));

    answer({vbAbort, vbNo});
    gMixerInMasterSelectMic(error);
    EXPECT_TRUE(error);
}

TEST_F(Mixer, LongListsAndManyControls) {
    JigConfig c = JigConfig::standard();
    MixerModel& m = c.mixers[0];
    sound::MixerControlModel& list = m.destinations[1].line.controls[0];
    list.items.clear();
    for (int i = 0; i < 30; ++i)
        list.items.push_back({0, i == 29 ? MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE : MIXERLINE_COMPONENTTYPE_SRC_ANALOG,
                              QStringLiteral("Input %1").arg(i)});
    list.values.assign(30, 0);
    list.values[20] = 1;
    for (int i = 0; i < 100; ++i)
        m.destinations[0].sources[1].controls.push_back(
            sound::mixerVolumeControl(QStringLiteral("Extra %1").arg(i), 1000 + i, 64, MixerRole::None));
    sound::JigBackend& jig = installJig(c);
    const auto before = values(jig.cardMixer());
    devicesFound();
    ASSERT_TRUE(gbMixerThere(error));
    EXPECT_TRUE(gsAboutWaveMixerInfoLong.contains("\t(102) CONTROL:  Extra 99\r\n"));

    gMixerInMasterSelectMic(error);
    std::vector<int32_t> micOnly(30, 0);
    micOnly[29] = 1;
    EXPECT_EQ(jig.cardMixer().controlByRole(MixerRole::RecordSelect)->values, micOnly);
    for (int i = 0; i < 100; ++i) {
        bool e = false;
        gMixerInMicSetVolume(65535 - i, e);
    }
    gMixerRestore(error);
    EXPECT_FALSE(error);
    EXPECT_EQ(values(jig.cardMixer()), before);
}

TEST_F(Mixer, AMissingControlFailsWhenUsed) {
    JigConfig c = JigConfig::standard();
    c.mixers[0].destinations[0].sources.erase(c.mixers[0].destinations[0].sources.begin());   // no wave line
    installJig(c);
    // A card without a wave line (a sound server's mixer) starts without a word.
    EXPECT_TRUE(gbWaveInOutMixerThereInit(error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_FALSE(gbMixerOutWaveThere());
    EXPECT_EQ(glMixerOutWaveVolumeStep, 0);

    // Asked for all the same, the missing control is an error.
    answer({vbAbort, vbNo});
    gMixerOutWaveSetVolume(1000, error);
    EXPECT_TRUE(error);
    ASSERT_GE(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Source: modMixer.mMixerSetControl.10\r\n\r\nUnknown error");
}

TEST_F(Mixer, NoMixer) {
    JigConfig c = JigConfig::standard();
    c.mixers.clear();
    installJig(c);
    answer({vbOK});
    EXPECT_FALSE(gbWaveInOutMixerThereInit(error));
    EXPECT_FALSE(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "No mixers on this PC");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_EQ(boxes()[0].title, "Vexo v1.000");
    EXPECT_TRUE(gsWaveInOutInfoShort.endsWith("Product ID: 2\r\n\r\nMIXER\r\n"));
}

TEST_F(Mixer, AFailingCallEndsTheListingAndIsRaised) {
    sound::JigBackend& jig = installJig();
    devicesFound();
    const QString summary = gsWaveInOutInfoShort;
    jig.failCall(sound::SoundCall::MixerGetLineControls, MMSYSERR_NOMEM);
    answer({vbIgnore});
    EXPECT_TRUE(gbMixerThere(error)) << "Ignore keeps the result";
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Source: modMixer.gbMixerThere.30\r\n\r\nUnable to allocate resources.");
    EXPECT_TRUE(gsAboutWaveMixerInfoLong.endsWith("Type: MIXERLINE_TARGETTYPE_WAVEOUT\r\n\r\n"));
    EXPECT_FALSE(gsAboutWaveMixerInfoLong.contains("CONTROL"));

    gsWaveInOutInfoShort = summary;
    jig.failCall(sound::SoundCall::MixerGetLineInfo, MMSYSERR_INVALHANDLE);
    answer({vbAbort, vbNo});
    EXPECT_FALSE(gbMixerThere(error));
    EXPECT_TRUE(error);
}

TEST_F(Mixer, TheOutputCardsMixerIsUsed) {
    JigConfig c = JigConfig::standard();
    c.mixers.insert(c.mixers.begin(), JigConfig::standardMixer("Other Card"));
    c.cardMixer = 1;
    sound::JigBackend& jig = installJig(c);
    devicesFound();
    ASSERT_TRUE(gbMixerThere(error));
    EXPECT_TRUE(gsWaveInOutInfoShort.endsWith(
        "Mixer Count: 2\r\nMixer:  Other Card, Destinations: 2\r\nMixer:  Vexo Test Jig, Destinations: 2"));
    EXPECT_TRUE(gsAboutWaveMixerInfoLong.contains("\r\nInfo on Mixer 1 follows\r\n"));
    gMixerOutMasterSetVolume(123, error);
    EXPECT_FALSE(error);
    EXPECT_EQ(jig.config().mixers[1].destinations[0].line.controls[0].values[0], 123);
    EXPECT_EQ(jig.config().mixers[0].destinations[0].line.controls[0].values[0], 50000);
}
