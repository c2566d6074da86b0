#pragma once
#include "platform/sound/Sound.h"
#include <QString>
#include <cstdint>

// modWaveInOut, sound-card discovery: chooses the wave output and the matching
// input at start-up, turns their capability records into the format values the
// audio engine uses, builds the card summary and the PCM format descriptors.
// The playback and recording routines of modWaveInOut build on these.

struct WaveOutCapsRecord {
    int16_t nManufacturerID = 0;
    int16_t nProductID = 0;
    QString sDeviceName;
    bool bFormatUnrecognised = false;   // the flags word of the chosen device was below 1
    int32_t lSampleFrequency = 0;
    float fTopFrequency = 0;            // highest test frequency the output may play
    int16_t nBits = 0;
    int16_t nChannels = 0;
    bool bVolume = false;
    bool bLRVolume = false;
    bool bPitch = false;
    bool bPlaybackRate = false;
    bool bSync = false;                 // blocking synchronous driver
    bool bSampleAccurate = false;
};

struct WaveInCapsRecord {
    int16_t nManufacturerID = 0;
    int16_t nProductID = 0;
    QString sDeviceName;
    bool bFormatUnrecognised = false;
    int32_t lSampleFrequency = 0;
    int16_t nBits = 0;
    int16_t nChannels = 0;
};

extern WaveOutCapsRecord gtypWaveOutCaps;
extern WaveInCapsRecord gtypWaveInCaps;
extern int32_t glWaveOutDeviceID;     // the chosen devices, from 0
extern int32_t glWaveInDeviceID;
extern QString gsWaveInOutInfoShort;  // the card summary (the mixer appends its lines)

// The start-up check: output, input and mixer found, output at least 16-bit,
// master and wave unmuted and the wave volume at full.
bool gbWaveInOutMixerThereInit(bool& obError);
bool gbWaveOutThere(bool& obError);
bool gbWaveInThere(bool& obError);   // after gbWaveOutThere
bool gbInOutRecordPlayback(const QString& isInName, const QString& isOutName, bool& obError);
void mWaveOutGloballyInitCaps(const WaveOutCaps& itypCaps, bool& obError);
void mWaveInGloballyInitCaps(const WaveInCaps& itypCaps, bool& obError);
void mInitInfoShort(bool& obError);
void mWaveIOSetFormatEx(int32_t ilRate, int16_t inBits, WaveFormatEx& otypFormat, bool& obError);

// The device's text for an error code; empty, with the error flag set, when
// there is none.
QString msWaveOutGetErrorText(MMRESULT ilError, bool& obError);
QString msWaveInGetErrorText(MMRESULT ilError, bool& obError);
