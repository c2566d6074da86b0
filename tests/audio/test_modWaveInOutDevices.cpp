// Choosing the sound card at start-up, on simulated device lists.
#include "audio/modMixer.h"
#include "audio/modWaveInOutDevices.h"
#include "common/modGeneral.h"
#include "tests/support/JigBench.h"
#include "tests/support/StationTest.h"

using namespace jigbench;
using sound::JigConfig;

namespace {
sound::JigOutputDevice outDevice(const QString& iName, uint32_t iFormats = 0x0FFF) {
    sound::JigOutputDevice d;
    d.caps.szPname = iName;
    d.caps.dwFormats = iFormats;
    d.caps.wMid = 1;
    d.caps.wPid = 2;
    return d;
}

sound::JigInputDevice inDevice(const QString& iName, uint32_t iFormats = 0x0FFF) {
    sound::JigInputDevice d;
    d.caps.szPname = iName;
    d.caps.dwFormats = iFormats;
    d.caps.wMid = 1;
    d.caps.wPid = 3;
    return d;
}

class WaveDevices : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gsMainCaption = QStringLiteral("Vexo v1.000");
        gsWaveInOutInfoShort.clear();
        gtypWaveOutCaps = WaveOutCapsRecord();
        gtypWaveInCaps = WaveInCapsRecord();
        glWaveOutDeviceID = glWaveInDeviceID = -1;
    }
    void TearDown() override {
        endOfScript();
        sound::setBackend(nullptr);
        StationTest::TearDown();
    }
    sound::JigBackend& devices(std::vector<sound::JigOutputDevice> iOut, std::vector<sound::JigInputDevice> iIn) {
        JigConfig c = JigConfig::standard();
        c.outputs = std::move(iOut);
        c.inputs = std::move(iIn);
        return installJig(c);
    }
    bool error = false;
};
}

TEST_F(WaveDevices, CapabilityTableComparesTheFlagsAsASignedNumber) {
    struct Row { uint32_t flags; const char* name; int32_t rate; int16_t bits; int16_t channels; bool unrecognised; float top; };
    const Row rows[] = {
        {0x0FFF, "Card", 44100, 16, 2, false, 20000},
        {512, "Card", 44100, 8, 2, false, 20000},
        {513, "Card", 44100, 16, 2, false, 20000},
        {256, "Card", 44100, 8, 1, false, 20000},
        {1024, "Card", 44100, 16, 1, false, 20000},
        {0x00F0, "Card", 22050, 16, 2, false, 10000},
        {16, "Card", 22050, 8, 1, false, 10000},
        {0x000F, "Card", 11025, 16, 2, false, 5000},
        {1, "Card", 11025, 8, 1, false, 5000},
        {0, "Card", 44100, 16, 1, true, 20000},
        {0x80000FFF, "Card", 44100, 16, 1, true, 20000},
        {0, "Creative Audigy 2", 96000, 24, 2, false, 40000},
        {0x0FFF, "Sound Blaster AUDIGY", 44100, 16, 2, false, 20000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " " + std::to_string(r.flags));
        WaveOutCaps caps;
        caps.szPname = QString::fromLatin1(r.name);
        caps.dwFormats = r.flags;
        caps.dwSupport = WAVECAPS_LRVOLUME | WAVECAPS_SYNC;
        mWaveOutGloballyInitCaps(caps, error);
        EXPECT_EQ(gtypWaveOutCaps.lSampleFrequency, r.rate);
        EXPECT_EQ(gtypWaveOutCaps.nBits, r.bits);
        EXPECT_EQ(gtypWaveOutCaps.nChannels, r.channels);
        EXPECT_EQ(gtypWaveOutCaps.bFormatUnrecognised, r.unrecognised);
        EXPECT_EQ(gtypWaveOutCaps.fTopFrequency, r.top);
        EXPECT_TRUE(gtypWaveOutCaps.bLRVolume && gtypWaveOutCaps.bSync);
        EXPECT_FALSE(gtypWaveOutCaps.bVolume || gtypWaveOutCaps.bPitch || gtypWaveOutCaps.bPlaybackRate ||
                     gtypWaveOutCaps.bSampleAccurate);
    }
    WaveInCaps in;
    in.szPname = QStringLiteral("Audigy Record");
    mWaveInGloballyInitCaps(in, error);
    EXPECT_EQ(gtypWaveInCaps.lSampleFrequency, 48000);
    EXPECT_EQ(gtypWaveInCaps.nBits, 16);
    in.szPname = QStringLiteral("Line") + QChar(0) + QStringLiteral("garbage");
    in.dwFormats = 0;
    mWaveInGloballyInitCaps(in, error);
    EXPECT_EQ(gtypWaveInCaps.sDeviceName, "Line");
    EXPECT_TRUE(gtypWaveInCaps.bFormatUnrecognised);
    EXPECT_FALSE(error);
}

TEST_F(WaveDevices, ModemFirstIsPassedOverAndLeavesNoFlagBehind) {
    devices({outDevice("Lucent Win Modem", 0), outDevice("Vexo Test Jig")},
            {inDevice("Lucent Win Modem", 0), inDevice("Vexo Test Jig")});
    EXPECT_TRUE(gbWaveOutThere(error));
    EXPECT_TRUE(gbWaveInThere(error));
    EXPECT_EQ(glWaveOutDeviceID, 1);
    EXPECT_EQ(glWaveInDeviceID, 1);
    EXPECT_EQ(gtypWaveOutCaps.sDeviceName, "Vexo Test Jig");
    // The modem's unrecognised format says nothing about the card chosen.
    EXPECT_FALSE(gtypWaveOutCaps.bFormatUnrecognised);
    EXPECT_FALSE(gtypWaveInCaps.bFormatUnrecognised);
    mInitInfoShort(error);
    EXPECT_FALSE(gsWaveInOutInfoShort.contains("unrecognised"));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(WaveDevices, InputNameMatching) {
    EXPECT_TRUE(gbInOutRecordPlayback("Acme Wave In", "Acme Wave Out", error));
    EXPECT_TRUE(gbInOutRecordPlayback("Acme Record", "Acme Playback", error));
    EXPECT_TRUE(gbInOutRecordPlayback("acme wave in", "ACME WAVE OUT", error));
    EXPECT_TRUE(gbInOutRecordPlayback("Modem In", "Modem Out", error)) << "this branch does not look for MODEM";
    EXPECT_FALSE(gbInOutRecordPlayback("Acme Record", "Other Playback", error));
    // IN goes first: "POINT" loses its IN before OUT is looked for.
    EXPECT_TRUE(gbInOutRecordPlayback("Point Record", "Pot Playback", error));

    struct Case { const char* out; std::vector<const char*> in; int chosen; };
    const Case cases[] = {
        {"Acme Wave Out", {"Other In", "Acme Wave In"}, 1},
        {"Acme Playback", {"Acme Record"}, 0},
        {"Acme", {"Modem", "Acme"}, 1},
        {"Acme", {"acme"}, 0},   // the relaxed comparison ignores case
        {"Acme Playback", {"Other Record"}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        std::vector<sound::JigInputDevice> ins;
        for (const char* n : c.in) ins.push_back(inDevice(n));
        devices({outDevice(c.out)}, ins);
        clearBoxes();
        if (c.chosen < 0) answer({vbOK});
        ASSERT_TRUE(gbWaveOutThere(error));
        EXPECT_EQ(gbWaveInThere(error), c.chosen >= 0);
        if (c.chosen >= 0) {
            EXPECT_EQ(glWaveInDeviceID, c.chosen);
        } else {
            ASSERT_EQ(boxes().size(), 1);
            EXPECT_EQ(boxes()[0].prompt, "Wave input device not found or error");
            EXPECT_EQ(gsWaveInOutInfoShort, "Wave input device not found or error");
        }
    }
}

TEST_F(WaveDevices, NoDevicesAtAll) {
    sound::JigBackend& jig = devices({}, {inDevice("Vexo Test Jig")});
    jig.failCall(sound::SoundCall::WaveInGetDevCaps, MMSYSERR_ERROR, -1);   // would show if the input were searched
    answer({vbOK});
    EXPECT_FALSE(gbWaveInOutMixerThereInit(error));
    EXPECT_FALSE(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Wave output device not found or error");
    EXPECT_EQ(boxes()[0].icon, vbCritical);
    EXPECT_EQ(boxes()[0].title, "Vexo v1.000");
    EXPECT_EQ(gsWaveInOutInfoShort, "Wave output device not found or error");
}

TEST_F(WaveDevices, EightBitCardIsRefusedButStaysChosen) {
    // 11025 Hz 8-bit stereo only. (1M08 | 1S08 would read as 16-bit: the word is
    // compared as a number, 3 > 2.)
    devices({outDevice("Old Card", WAVE_FORMAT_1S08)}, {inDevice("Old Card", WAVE_FORMAT_1M08)});
    answer({vbOK});
    EXPECT_FALSE(gbWaveInOutMixerThereInit(error));
    EXPECT_FALSE(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Vexo v1.000 needs a 16 bit sound board or better");
    EXPECT_EQ(boxes()[0].icon, vbCritical);
    EXPECT_EQ(glWaveOutDeviceID, 0);
    EXPECT_EQ(gtypWaveOutCaps.nBits, 8);
    EXPECT_EQ(gtypWaveOutCaps.lSampleFrequency, 11025);
}

TEST_F(WaveDevices, FailedCapabilityQueryNeverChoosesThatDevice) {
    sound::JigOutputDevice broken = outDevice("Broken Card");
    broken.capsError = MMSYSERR_NODRIVER;
    devices({broken, outDevice("Vexo Test Jig")}, {inDevice("Vexo Test Jig")});

    answer({vbIgnore});
    EXPECT_TRUE(gbWaveOutThere(error));
    EXPECT_FALSE(error);
    EXPECT_EQ(glWaveOutDeviceID, 1);
    EXPECT_EQ(gtypWaveOutCaps.sDeviceName, "Vexo Test Jig");
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].title, "Error!");
    EXPECT_TRUE(boxes()[0].prompt.startsWith("Source: modWaveInOut.gbWaveOutThere.20"));
    EXPECT_TRUE(boxes()[0].prompt.endsWith("There is no sound driver for this device."));

    // Only the broken device: Ignore finds nothing; Abort ends without a second message.
    devices({broken}, {inDevice("Vexo Test Jig")});
    clearBoxes();
    answer({vbIgnore, vbOK});
    EXPECT_FALSE(gbWaveOutThere(error));
    EXPECT_EQ(gtypWaveOutCaps.sDeviceName, "");
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[1].prompt, "Wave output device not found or error");

    clearBoxes();
    answer({vbAbort, vbNo});
    EXPECT_FALSE(gbWaveOutThere(error));
    EXPECT_TRUE(error);
    for (const MsgBoxCall& b : boxes()) EXPECT_NE(b.prompt, "Wave output device not found or error");
}

TEST_F(WaveDevices, SummaryText) {
    installJig();
    ASSERT_TRUE(gbWaveOutThere(error));
    ASSERT_TRUE(gbWaveInThere(error));
    mInitInfoShort(error);
    EXPECT_EQ(gsWaveInOutInfoShort,
              "WAVEOUT\r\n"
              "Vexo Test Jig\r\n"
              "44.1kHz  16 bits  2 channels\r\n"
              "Supports: \r\n"
              "  volume control\r\n"
              "  separate L&R volume control\r\n"
              "  sample accurate positional info\r\n"
              "Manufacturer ID: 255\r\n"
              "Product ID: 1\r\n"
              "\r\n"
              "WAVEIN\r\n"
              "Vexo Test Jig\r\n"
              "44.1kHz  16 bits  2 channels\r\n"
              "Manufacturer ID: 255\r\n"
              "Product ID: 2");

    // The user's number form, the unrecognised line, and a missing input.
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    gtypWaveOutCaps.bFormatUnrecognised = true;
    gtypWaveOutCaps.bVolume = gtypWaveOutCaps.bLRVolume = gtypWaveOutCaps.bSampleAccurate = false;
    gtypWaveOutCaps.lSampleFrequency = 22050;
    gtypWaveInCaps = WaveInCapsRecord();
    mInitInfoShort(error);
    EXPECT_EQ(gsWaveInOutInfoShort,
              "WAVEOUT\r\n"
              "Vexo Test Jig\r\n"
              "Sound board format unrecognised\r\n"
              "22,05kHz  16 bits  2 channels\r\n"
              "Manufacturer ID: 255\r\n"
              "Product ID: 1\r\n"
              "\r\n"
              "WAVEIN\r\n"
              "Not found");
    EXPECT_FALSE(error);
}

TEST_F(WaveDevices, FormatDescriptor) {
    WaveFormatEx f;
    mWaveIOSetFormatEx(8000, 16, f, error);
    EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, 8000u);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.nBlockAlign, 2);
    EXPECT_EQ(f.nAvgBytesPerSec, 16000u);
    EXPECT_EQ(f.cbSize, 0);
    mWaveIOSetFormatEx(44100, 8, f, error);
    EXPECT_EQ(f.nBlockAlign, 1);
    EXPECT_EQ(f.nAvgBytesPerSec, 44100u);
    EXPECT_FALSE(error);
}

TEST_F(WaveDevices, TheJigOnlyWhenAskedFor) {
    qputenv("VEXO_SOUND", "jig");
    sound::setBackend(nullptr);
    EXPECT_EQ(sound::backend().name(), "jig");
    qunsetenv("VEXO_SOUND");
    sound::setBackend(nullptr);
    EXPECT_EQ(sound::backend().name(), "PortAudio+ALSA");
    if (waveOutGetNumDevs() > 0) GTEST_SKIP() << "this machine has a sound device";
    // No card: the station says so, it never falls back to the jig.
    answer({vbOK});
    EXPECT_FALSE(gbWaveInOutMixerThereInit(error));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Wave output device not found or error");
}
