#pragma once
#include "platform/sound/Sound.h"
#include <QString>
#include <cstdint>

// modMixer: the sound card's mixer in a known state. Lists the mixer once at
// start-up, giving every control a slot in listing order and remembering its
// value, offers the few set and get operations the measurements need, puts
// every control back at shutdown, and writes the mixer's report.
//
// The mixer used is the one whose name is the chosen wave output's (its card);
// when none has that name, mixer 0.

extern int32_t glMixerOutWaveVolumeStep;   // steps of the wave-output volume control
extern int32_t glMixerInMicVolumeStep;     // steps of the microphone record volume control
// The About window's long sound-card and mixer report (written here at start-up).
extern QString gsAboutWaveMixerInfoLong;

bool gbMixerThere(bool& obError);
void gMixerRestore(bool& obError);
void gMixerOutMasterSetVolume(int32_t ilVolume, bool& obError);
int32_t glMixerOutMasterGetVolume(bool& obError);
void gMixerOutMasterSetMute(bool ibMute, bool& obError);
void gMixerOutWaveSetVolume(int32_t ilVolume, bool& obError);
void gMixerOutWaveSetMute(bool ibMute, bool& obError);
// True when the card's output has a wave line of its own (a sound server's
// mixer has only the master).
bool gbMixerOutWaveThere();
void gMixerInMicSetVolume(int32_t ilVolume, bool& obError);
int32_t glMixerInMicGetVolume(bool& obError);
// Makes the microphone the only record source; a mixer without a microphone
// item raises "No microphone record source".
void gMixerInMasterSelectMic(bool& obError);

// The texts of the mixer's codes, as the reports show them.
QString msGetMixerError(MMRESULT ilError);
QString msGetLineFlag(uint32_t ilFlags);
QString msGetComponentType(uint32_t ilType);
QString msGetTargetType(uint32_t ilType);
QString msGetControlType(uint32_t ilType);
QString msGetControlFlag(uint32_t ilFlags);
