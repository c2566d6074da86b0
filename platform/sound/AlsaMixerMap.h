#pragma once
#include "platform/sound/MixerModel.h"
#include <QStringList>
#include <vector>

// How a card's ALSA simple-mixer elements appear as the station's mixer lines
// and controls. Pure functions of the element descriptions, so that any card's
// mixer can be checked from a recorded description:
//   destination 0, speakers: "Master" (volume; mute = not its playback switch),
//     with "PCM" as its wave-output source when the card has one;
//   destination 1, wave in: the record-source list (the capture-source enum,
//     items typed by name; or, on a card with a single capture source, one
//     item "Microphone" that follows the capture switch), and a microphone
//     source whose volume is "Mic" or else "Capture" capture volume.
// Volumes run 0..65535 and are scaled to the element's range.
namespace sound {

struct AlsaElementDesc {
    QString name;
    int index = 0;
    bool hasPlaybackVolume = false;
    bool hasPlaybackSwitch = false;
    bool hasCaptureVolume = false;
    bool hasCaptureSwitch = false;
    long playbackMin = 0;
    long playbackMax = 0;
    long captureMin = 0;
    long captureMax = 0;
    bool isCaptureEnum = false;
    QStringList enumItems;
    // The element's dB scale in hundredths of a dB, where the card gives one.
    bool hasPlaybackDb = false;
    bool hasCaptureDb = false;
    long playbackDbMin = 0;
    long playbackDbMax = 0;
    long captureDbMin = 0;
    long captureDbMax = 0;
    // The control is a sound server's own (its volumes follow the cubic law).
    bool serverVolume = false;
};

MixerModel alsaMixerModel(const QString& iMixerName, const std::vector<AlsaElementDesc>& iElements);

// The component type of a record-source item: Mic, Line, CD, else analog.
uint32_t alsaSourceType(const QString& iItemName);

// 0..65535 to and from an element's range. Nothing is lost in the narrower
// direction: from an element value to 0..65535 and back gives the same value
// when the range has at most 65535 steps, and the other way round otherwise.
int32_t alsaToMixerVolume(long iValue, long iMin, long iMax);
long mixerToAlsaVolume(int32_t iValue, long iMin, long iMax);

// What a volume on the station's 0..65535 scale means on every card: that
// fraction of full scale in amplitude (39321 is -4.4 dB, 0 is silence). It is
// set through the element's dB scale where the card gives one, through the
// cubic law of a sound server's own volume (amplitude = (raw/max)^3), and
// scaled straight to the raw range where nothing is known.
enum class VolumeLaw { Raw, Decibel, Cubic };
VolumeLaw alsaVolumeLaw(bool iHasDb, bool iServerVolume);
// The law in the sound-card report's words.
QString volumeLawText(VolumeLaw iLaw);
// The gain of a station volume in dB (-inf for 0).
double mixerVolumeGainDb(int32_t iValue);
// Through a dB scale of iDbMin..iDbMax (hundredths of a dB; iDbMax is full
// scale): the level to set, iDbMin for 0; and back.
long mixerToAlsaDb(int32_t iValue, long iDbMin, long iDbMax);
int32_t alsaDbToMixer(long iDb, long iDbMin, long iDbMax);
// Through the cubic law over the raw range iMin..iMax; and back.
long mixerToCubicVolume(int32_t iValue, long iMin, long iMax);
int32_t cubicVolumeToMixer(long iValue, long iMin, long iMax);

// The ALSA control name of a PortAudio device: "hw:N" for "... (hw:N,M)",
// otherwise the device's own name ("default", "pulse").
QString alsaCtlNameForDevice(const QString& iDeviceName);

}
