// The ALSA mixer seen as the station's lines and controls, from element
// descriptions recorded on real cards and sound servers.
#include <cmath>
#include "platform/sound/AlsaMixerMap.h"
#include <gtest/gtest.h>

using namespace sound;

namespace {
AlsaElementDesc playback(const QString& iName, long iMin, long iMax, bool iSwitch = true) {
    AlsaElementDesc e;
    e.name = iName;
    e.hasPlaybackVolume = true;
    e.hasPlaybackSwitch = iSwitch;
    e.playbackMin = iMin;
    e.playbackMax = iMax;
    return e;
}

AlsaElementDesc capture(const QString& iName, long iMin, long iMax, bool iSwitch = true) {
    AlsaElementDesc e;
    e.name = iName;
    e.hasCaptureVolume = true;
    e.hasCaptureSwitch = iSwitch;
    e.captureMin = iMin;
    e.captureMax = iMax;
    return e;
}

AlsaElementDesc captureEnum(const QString& iName, const QStringList& iItems) {
    AlsaElementDesc e;
    e.name = iName;
    e.isCaptureEnum = true;
    e.enumItems = iItems;
    return e;
}

// A PulseAudio or PipeWire server through the ALSA plugin.
std::vector<AlsaElementDesc> soundServer() { return {playback("Master", 0, 65536), capture("Capture", 0, 65536)}; }

// An HDA codec with a capture-source selector.
std::vector<AlsaElementDesc> hdaCodec() {
    AlsaElementDesc automute;
    automute.name = QStringLiteral("Auto-Mute Mode");
    return {playback("Master", 0, 87),       playback("Headphone", 0, 87), playback("PCM", 0, 255, false),
            playback("Front Mic", 0, 31),    capture("Capture", 0, 63),    captureEnum("Input Source", {"Front Mic", "Rear Mic", "Line", "CD", "Stereo Mix"}),
            automute,                        capture("Mic Boost", 0, 3, false)};
}

const MixerControlModel* byRole(MixerModel& m, MixerRole r) { return m.controlByRole(r); }
}

TEST(AlsaMixerMap, SoundServerGivesMasterAndAOneItemMicrophoneList) {
    MixerModel m = alsaMixerModel("default", soundServer());
    EXPECT_EQ(m.caps.szPname, "default");
    ASSERT_EQ(m.caps.cDestinations, 2u);

    const MixerDestinationModel& speakers = m.destinations[0];
    EXPECT_EQ(speakers.line.info.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    EXPECT_EQ(speakers.line.info.dwLineID, 0xFFFF0000u);
    EXPECT_TRUE(speakers.sources.empty()) << "no PCM element, no wave source";
    ASSERT_EQ(speakers.line.controls.size(), 2u);
    const MixerControlModel& volume = speakers.line.controls[0];
    EXPECT_EQ(volume.info.dwControlType, MIXERCONTROL_CONTROLTYPE_VOLUME);
    EXPECT_EQ(volume.binding, AlsaBinding::PlaybackVolume);
    EXPECT_EQ(volume.info.lMaximum, 65535);
    EXPECT_EQ(volume.info.cSteps, 65536u);
    const MixerControlModel& mute = speakers.line.controls[1];
    EXPECT_EQ(mute.info.dwControlType, MIXERCONTROL_CONTROLTYPE_MUTE);
    EXPECT_EQ(mute.binding, AlsaBinding::PlaybackSwitchInverted);

    const MixerDestinationModel& wavein = m.destinations[1];
    EXPECT_EQ(wavein.line.info.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    ASSERT_EQ(wavein.line.controls.size(), 1u);
    const MixerControlModel& list = wavein.line.controls[0];
    EXPECT_EQ(list.info.dwControlType, MIXERCONTROL_CONTROLTYPE_MUX);
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.items[0].szName, "Microphone");
    EXPECT_EQ(list.items[0].dwParam2, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE);
    EXPECT_EQ(list.binding, AlsaBinding::CaptureSwitch);
    ASSERT_EQ(wavein.sources.size(), 1u);
    EXPECT_EQ(list.items[0].dwParam1, wavein.sources[0].info.dwLineID);
    EXPECT_EQ(wavein.sources[0].info.dwComponentType, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE);
    ASSERT_EQ(wavein.sources[0].controls.size(), 1u);
    EXPECT_EQ(wavein.sources[0].controls[0].element, "Capture");
    EXPECT_EQ(wavein.sources[0].controls[0].binding, AlsaBinding::CaptureVolume);

    // Control IDs follow the listing order from 1.
    EXPECT_EQ(volume.info.dwControlID, 1u);
    EXPECT_EQ(mute.info.dwControlID, 2u);
    EXPECT_EQ(list.info.dwControlID, 3u);
    EXPECT_EQ(wavein.sources[0].controls[0].info.dwControlID, 4u);
}

TEST(AlsaMixerMap, CodecWithASourceSelector) {
    MixerModel m = alsaMixerModel("HDA Intel PCH: ALC892 Analog (hw:0,0)", hdaCodec());
    ASSERT_EQ(m.destinations.size(), 2u);
    ASSERT_EQ(m.destinations[0].sources.size(), 1u);
    const MixerLineModel& wave = m.destinations[0].sources[0];
    EXPECT_EQ(wave.info.dwComponentType, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT);
    EXPECT_EQ(wave.info.dwLineID, 0x00000000u);
    ASSERT_EQ(wave.controls.size(), 1u) << "PCM has no switch: no wave mute";
    EXPECT_EQ(wave.controls[0].role, MixerRole::WaveVolume);
    EXPECT_EQ(wave.controls[0].info.cSteps, 255u);
    EXPECT_EQ(byRole(m, MixerRole::MasterVolume)->elementMax, 87);

    const MixerControlModel* list = byRole(m, MixerRole::RecordSelect);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->binding, AlsaBinding::CaptureEnum);
    ASSERT_EQ(list->items.size(), 5u);
    const uint32_t expected[] = {MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE,
                                 MIXERLINE_COMPONENTTYPE_SRC_LINE, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC,
                                 MIXERLINE_COMPONENTTYPE_SRC_ANALOG};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(list->items[i].dwParam2, expected[i]) << list->items[i].szName.toStdString();
    EXPECT_EQ(list->info.cMultipleItems, 5u);
    // "Capture" is the microphone volume when there is no "Mic" capture volume.
    EXPECT_EQ(byRole(m, MixerRole::MicVolume)->element, "Capture");
    EXPECT_EQ(byRole(m, MixerRole::MicVolume)->info.cSteps, 63u);
    // Neither element gives a dB scale here: the report says they are set raw.
    EXPECT_EQ(byRole(m, MixerRole::MicVolume)->info.szGainLaw, "set raw: the card gives no dB scale, so its gain is not known");
    EXPECT_TRUE(list->info.szGainLaw.isEmpty());
}

TEST(AlsaMixerMap, MicrophoneOnlyCard) {
    std::vector<AlsaElementDesc> usbMic = {capture("Mic", 0, 16)};
    MixerModel m = alsaMixerModel("USB Microphone", usbMic);
    ASSERT_EQ(m.destinations.size(), 1u);
    EXPECT_EQ(m.destinations[0].line.info.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);
    EXPECT_EQ(byRole(m, MixerRole::MicVolume)->element, "Mic");
    EXPECT_EQ(byRole(m, MixerRole::RecordSelect)->element, "Mic");
    EXPECT_EQ(byRole(m, MixerRole::MasterVolume), nullptr);

    MixerModel none = alsaMixerModel("HDMI", {});
    EXPECT_EQ(none.caps.cDestinations, 0u);
}

TEST(AlsaMixerMap, VolumesScaleBothWaysWithoutLoss) {
    EXPECT_EQ(mixerToAlsaVolume(0, 0, 87), 0);
    EXPECT_EQ(mixerToAlsaVolume(65535, 0, 87), 87);
    EXPECT_EQ(alsaToMixerVolume(87, 0, 87), 65535);
    EXPECT_EQ(alsaToMixerVolume(-6000, -6000, 0), 0);
    EXPECT_EQ(mixerToAlsaVolume(65535, -6000, 0), 0);
    for (const auto& [lo, hi] : {std::pair<long, long>{0, 87}, {0, 255}, {-6000, 0}, {0, 65535}, {3, 4}})
        for (long a = lo; a <= hi; ++a)
            ASSERT_EQ(mixerToAlsaVolume(alsaToMixerVolume(a, lo, hi), lo, hi), a) << lo << ".." << hi;
    for (int32_t v = 0; v <= 65535; ++v) ASSERT_EQ(alsaToMixerVolume(mixerToAlsaVolume(v, 0, 65536), 0, 65536), v);
    // Out-of-range values are held to the range.
    EXPECT_EQ(mixerToAlsaVolume(70000, 0, 87), 87);
    EXPECT_EQ(alsaToMixerVolume(100, 0, 87), 65535);
}

// The station's scale is a fraction of full scale in amplitude on every card:
// 39321 (60 %) is -4.4 dB whether the card has a dB scale or the control is a
// sound server's cubic one; raw scaling only where nothing is known.
TEST(AlsaMixerMap, StationVolumesMeanTheSameGainThroughEveryLaw) {
    EXPECT_EQ(alsaVolumeLaw(true, false), VolumeLaw::Decibel);
    EXPECT_EQ(alsaVolumeLaw(true, true), VolumeLaw::Decibel);
    EXPECT_EQ(alsaVolumeLaw(false, true), VolumeLaw::Cubic);
    EXPECT_EQ(alsaVolumeLaw(false, false), VolumeLaw::Raw);
    EXPECT_NEAR(mixerVolumeGainDb(39321), -4.437, 0.001);

    struct DbCase { int32_t value; long dbMin, dbMax, expected; };
    for (const DbCase& c : {DbCase{39321, -6000, 0, -444}, DbCase{39321, -4650, 1200, 756}, DbCase{65535, -6000, 0, 0},
                            DbCase{0, -6000, 0, -6000}, DbCase{100, -3000, 0, -3000}, DbCase{32768, -9999, 0, -602}}) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(mixerToAlsaDb(c.value, c.dbMin, c.dbMax), c.expected);
    }
    EXPECT_EQ(alsaDbToMixer(-444, -6000, 0), 39307);
    EXPECT_EQ(alsaDbToMixer(0, -6000, 0), 65535);
    EXPECT_EQ(alsaDbToMixer(-6000, -6000, 0), 0);

    // The server's control (0..65536, amplitude = (raw / 65536)^3).
    const long raw = mixerToCubicVolume(39321, 0, 65536);
    EXPECT_NEAR(60 * std::log10(raw / 65536.0), -4.437, 0.001);
    EXPECT_EQ(mixerToCubicVolume(65535, 0, 65536), 65536);
    EXPECT_EQ(mixerToCubicVolume(0, 0, 65536), 0);
    for (int32_t v : {1, 655, 13107, 39321, 65534, 65535})
        EXPECT_NEAR(cubicVolumeToMixer(mixerToCubicVolume(v, 0, 65536), 0, 65536), v, 1 + v * 3e-5) << v;
    EXPECT_EQ(cubicVolumeToMixer(65536, 0, 65536), 65535);
}

TEST(AlsaMixerMap, DeviceNamesGiveTheirCardsControl) {
    EXPECT_EQ(alsaCtlNameForDevice("HDA Intel PCH: ALC892 Analog (hw:0,0)"), "hw:0");
    EXPECT_EQ(alsaCtlNameForDevice("USB Audio CODEC: Audio (hw:12,0)"), "hw:12");
    EXPECT_EQ(alsaCtlNameForDevice("default"), "default");
    EXPECT_EQ(alsaCtlNameForDevice("pulse"), "pulse");
}

// A one-source card's capture switch may be off when the station starts; it is
// put back so at shutdown.
TEST(AlsaMixerMap, AOneItemRecordListMayBeOff) {
    MixerModel m = alsaMixerModel("USB Microphone", {capture("Mic", 0, 16)});
    const MixerControlModel* list = byRole(m, MixerRole::RecordSelect);
    ASSERT_NE(list, nullptr);
    int32_t off[1] = {0};
    MixerControlDetails d;
    d.dwControlID = list->info.dwControlID;
    d.cMultipleItems = 1;
    d.paDetails = off;
    d.nDetails = 1;
    const MixerControlModel* c = nullptr;
    std::vector<int32_t> v;
    EXPECT_EQ(m.checkSet(d, c, v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, std::vector<int32_t>{0});
}
