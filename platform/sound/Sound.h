#pragma once
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

// The sound platform: wave output, wave input and the mixer, in the shape the
// station's audio routines use them: devices numbered from 0 per direction,
// result codes with error texts, two or more headers per open device loaded by
// copy and played with loop flags and a loop count, done flags and recorded
// byte counts that are polled, and a mixer of destination and source lines with
// typed controls. Two backends serve it: PortAudio with the ALSA mixer for real
// cards, and the simulated test jig (VEXO_SOUND=jig). Every call is made from
// the user-interface thread; waits go through the one clock (platform/os/Clock).

using MMRESULT = uint32_t;
using HWAVEOUT = int32_t;   // 0 is never a valid handle
using HWAVEIN = int32_t;
using HMIXER = int32_t;

// Result codes.
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_BADERRNUM = 9;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;
constexpr MMRESULT MIXERR_INVALLINE = 1024;
constexpr MMRESULT MIXERR_INVALCONTROL = 1025;
constexpr MMRESULT MIXERR_INVALVALUE = 1026;

// ---------------------------------------------------------------- wave devices

// Format bits of a device: 11025, 22050 and 44100 Hz, each mono/stereo 8/16-bit.
constexpr uint32_t WAVE_FORMAT_1M08 = 0x0001, WAVE_FORMAT_1S08 = 0x0002, WAVE_FORMAT_1M16 = 0x0004,
                   WAVE_FORMAT_1S16 = 0x0008, WAVE_FORMAT_2M08 = 0x0010, WAVE_FORMAT_2S08 = 0x0020,
                   WAVE_FORMAT_2M16 = 0x0040, WAVE_FORMAT_2S16 = 0x0080, WAVE_FORMAT_4M08 = 0x0100,
                   WAVE_FORMAT_4S08 = 0x0200, WAVE_FORMAT_4M16 = 0x0400, WAVE_FORMAT_4S16 = 0x0800;
// Support bits of an output device.
constexpr uint32_t WAVECAPS_PITCH = 0x0001, WAVECAPS_PLAYBACKRATE = 0x0002, WAVECAPS_VOLUME = 0x0004,
                   WAVECAPS_LRVOLUME = 0x0008, WAVECAPS_SYNC = 0x0010, WAVECAPS_SAMPLEACCURATE = 0x0020;

struct WaveOutCaps {
    uint16_t wMid = 0;           // manufacturer ID
    uint16_t wPid = 0;           // product ID
    uint32_t vDriverVersion = 0;
    QString szPname;             // may hold a NUL; the name is the text before it
    uint32_t dwFormats = 0;
    uint16_t wChannels = 0;
    uint32_t dwSupport = 0;
};

struct WaveInCaps {
    uint16_t wMid = 0;
    uint16_t wPid = 0;
    uint32_t vDriverVersion = 0;
    QString szPname;
    uint32_t dwFormats = 0;
    uint16_t wChannels = 0;
};

// The PCM format a device is opened with.
constexpr uint16_t WAVE_FORMAT_PCM = 1;
struct WaveFormatEx {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;
};

// Header flags.
constexpr uint32_t WHDR_DONE = 0x01, WHDR_PREPARED = 0x02, WHDR_BEGINLOOP = 0x04, WHDR_ENDLOOP = 0x08,
                   WHDR_INQUEUE = 0x10;
// A loop count this large plays until the loop is broken or the device reset.
constexpr uint32_t kWaveLoopForever = 2000000000u;
// Header numbers of an open device run from 1 to this.
constexpr int kWaveMaxHeaders = 8;

// What the station sees of one header of an open device. The buffer belongs to
// the device: it is allocated by prepare and filled (output) or read (input) by copy.
struct WaveHdr {
    uint32_t dwBufferLength = 0;   // bytes: the allocation after prepare, the loaded count after a load
    uint32_t dwBytesRecorded = 0;  // input: bytes recorded so far
    uint32_t dwFlags = 0;
    uint32_t dwLoops = 0;
};

// When a started input takes its first sample.
enum WaveInStartMode : int {
    WAVEIN_START_NOW = 0,
    // The first sample recorded is the one the input converter takes at the
    // moment the last header written to the same card's output starts at the
    // output converter: device latency never shifts a recording made with a signal.
    // When that sample has already been taken: a signal written before the
    // input was opened (one playing for a while) is recorded from now; for one
    // written while the input was open the recording is started late, and
    // waveInStop says so (MMSYSERR_ERROR).
    WAVEIN_START_WITH_OUTPUT = 1,
};

uint32_t waveOutGetNumDevs();
MMRESULT waveOutGetDevCaps(uint32_t iDevice, WaveOutCaps& oCaps);
MMRESULT waveOutGetErrorText(MMRESULT iError, QString& oText);
MMRESULT waveOutOpen(HWAVEOUT& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat);
MMRESULT waveOutPrepareHeader(HWAVEOUT iHandle, int iHeader, uint32_t iBufferBytes);
MMRESULT waveOutLoadHeader(HWAVEOUT iHandle, int iHeader, const void* iData, uint32_t iBytes);
// iLoopFlags: WHDR_BEGINLOOP and/or WHDR_ENDLOOP; iLoops counts the passes of
// the loop the header begins (0 and 1 play once).
MMRESULT waveOutWrite(HWAVEOUT iHandle, int iHeader, uint32_t iLoopFlags, uint32_t iLoops);
MMRESULT waveOutGetHeader(HWAVEOUT iHandle, int iHeader, WaveHdr& oHeader);
// The samples of the headers played since the output was opened: it stands
// still while the output does, and counts no silence between headers.
MMRESULT waveOutGetPosition(HWAVEOUT iHandle, uint64_t& oSamples);
MMRESULT waveOutBreakLoop(HWAVEOUT iHandle);    // the current pass of the loop is the last
MMRESULT waveOutReset(HWAVEOUT iHandle);        // stops at once; every queued header is done
MMRESULT waveOutUnprepareHeader(HWAVEOUT iHandle, int iHeader);
MMRESULT waveOutClose(HWAVEOUT iHandle);        // always releases the device

uint32_t waveInGetNumDevs();
MMRESULT waveInGetDevCaps(uint32_t iDevice, WaveInCaps& oCaps);
MMRESULT waveInGetErrorText(MMRESULT iError, QString& oText);
MMRESULT waveInOpen(HWAVEIN& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat);
MMRESULT waveInPrepareHeader(HWAVEIN iHandle, int iHeader, uint32_t iBufferBytes);
MMRESULT waveInAddBuffer(HWAVEIN iHandle, int iHeader);
MMRESULT waveInStart(HWAVEIN iHandle, WaveInStartMode iMode = WAVEIN_START_NOW);
MMRESULT waveInGetHeader(HWAVEIN iHandle, int iHeader, WaveHdr& oHeader);
// Copies up to iBytes of what the header recorded.
MMRESULT waveInReadHeader(HWAVEIN iHandle, int iHeader, void* oData, uint32_t iBytes);
// MMSYSERR_ERROR when a recording started with the output started late (above).
MMRESULT waveInStop(HWAVEIN iHandle);
MMRESULT waveInReset(HWAVEIN iHandle);
MMRESULT waveInUnprepareHeader(HWAVEIN iHandle, int iHeader);
MMRESULT waveInClose(HWAVEIN iHandle);          // always releases the device

// For a caller polling a header's flags or byte count: waits until the
// device has moved on by a block of samples, or iMaxMs have passed, so that
// the poll wakes once a block rather than once a millisecond. Returns at once
// where nothing moves the headers meanwhile (no device open, or the jig,
// which moves them only while the station waits on its clock).
void waveWaitForDevice(int iMaxMs);

// ---------------------------------------------------------------------- mixer

// Component types of lines.
constexpr uint32_t MIXERLINE_COMPONENTTYPE_DST_UNDEFINED = 0, MIXERLINE_COMPONENTTYPE_DST_DIGITAL = 1,
                   MIXERLINE_COMPONENTTYPE_DST_LINE = 2, MIXERLINE_COMPONENTTYPE_DST_MONITOR = 3,
                   MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 4, MIXERLINE_COMPONENTTYPE_DST_HEADPHONES = 5,
                   MIXERLINE_COMPONENTTYPE_DST_TELEPHONE = 6, MIXERLINE_COMPONENTTYPE_DST_WAVEIN = 7,
                   MIXERLINE_COMPONENTTYPE_DST_VOICEIN = 8;
constexpr uint32_t MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED = 0x1000, MIXERLINE_COMPONENTTYPE_SRC_DIGITAL = 0x1001,
                   MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003,
                   MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER = 0x1004,
                   MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005,
                   MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE = 0x1006, MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER = 0x1007,
                   MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008, MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY = 0x1009,
                   MIXERLINE_COMPONENTTYPE_SRC_ANALOG = 0x100A;
// Target types.
constexpr uint32_t MIXERLINE_TARGETTYPE_UNDEFINED = 0, MIXERLINE_TARGETTYPE_WAVEOUT = 1,
                   MIXERLINE_TARGETTYPE_WAVEIN = 2, MIXERLINE_TARGETTYPE_MIDIOUT = 3,
                   MIXERLINE_TARGETTYPE_MIDIIN = 4, MIXERLINE_TARGETTYPE_AUX = 5;
// Line flags.
constexpr uint32_t MIXERLINE_LINEF_ACTIVE = 0x1, MIXERLINE_LINEF_DISCONNECTED = 0x8000,
                   MIXERLINE_LINEF_SOURCE = 0x80000000u;
// Control types.
constexpr uint32_t MIXERCONTROL_CONTROLTYPE_CUSTOM = 0x00000000, MIXERCONTROL_CONTROLTYPE_BOOLEANMETER = 0x10010000,
                   MIXERCONTROL_CONTROLTYPE_SIGNEDMETER = 0x10020000, MIXERCONTROL_CONTROLTYPE_PEAKMETER = 0x10020001,
                   MIXERCONTROL_CONTROLTYPE_UNSIGNEDMETER = 0x10030000, MIXERCONTROL_CONTROLTYPE_BOOLEAN = 0x20010000,
                   MIXERCONTROL_CONTROLTYPE_ONOFF = 0x20010001, MIXERCONTROL_CONTROLTYPE_MUTE = 0x20010002,
                   MIXERCONTROL_CONTROLTYPE_MONO = 0x20010003, MIXERCONTROL_CONTROLTYPE_LOUDNESS = 0x20010004,
                   MIXERCONTROL_CONTROLTYPE_STEREOENH = 0x20010005, MIXERCONTROL_CONTROLTYPE_BASS_BOOST = 0x20012277,
                   MIXERCONTROL_CONTROLTYPE_BUTTON = 0x21010000, MIXERCONTROL_CONTROLTYPE_DECIBELS = 0x30040000,
                   MIXERCONTROL_CONTROLTYPE_SIGNED = 0x30020000, MIXERCONTROL_CONTROLTYPE_UNSIGNED = 0x30030000,
                   MIXERCONTROL_CONTROLTYPE_PERCENT = 0x30050000, MIXERCONTROL_CONTROLTYPE_SLIDER = 0x40020000,
                   MIXERCONTROL_CONTROLTYPE_PAN = 0x40020001, MIXERCONTROL_CONTROLTYPE_QSOUNDPAN = 0x40020002,
                   MIXERCONTROL_CONTROLTYPE_FADER = 0x50030000, MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001,
                   MIXERCONTROL_CONTROLTYPE_BASS = 0x50030002, MIXERCONTROL_CONTROLTYPE_TREBLE = 0x50030003,
                   MIXERCONTROL_CONTROLTYPE_EQUALIZER = 0x50030004,
                   MIXERCONTROL_CONTROLTYPE_SINGLESELECT = 0x70010000, MIXERCONTROL_CONTROLTYPE_MUX = 0x70010001,
                   MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT = 0x71010000, MIXERCONTROL_CONTROLTYPE_MIXER = 0x71010001,
                   MIXERCONTROL_CONTROLTYPE_MICROTIME = 0x60030000, MIXERCONTROL_CONTROLTYPE_MILLITIME = 0x61030000;
// Control flags.
constexpr uint32_t MIXERCONTROL_CONTROLF_UNIFORM = 0x1, MIXERCONTROL_CONTROLF_MULTIPLE = 0x2,
                   MIXERCONTROL_CONTROLF_DISABLED = 0x80000000u;

struct MixerCaps {
    uint16_t wMid = 0;
    uint16_t wPid = 0;
    uint32_t vDriverVersion = 0;
    QString szPname;
    uint32_t fdwSupport = 0;
    uint32_t cDestinations = 0;
};

struct MixerLineTarget {
    uint32_t dwType = MIXERLINE_TARGETTYPE_UNDEFINED;
    uint32_t dwDeviceID = 0;
    uint16_t wMid = 0;
    uint16_t wPid = 0;
    uint32_t vDriverVersion = 0;
    QString szPname;
};

struct MixerLine {
    uint32_t dwDestination = 0;
    uint32_t dwSource = 0;
    uint32_t dwLineID = 0;
    uint32_t fdwLine = 0;
    uint32_t dwComponentType = 0;
    uint32_t cChannels = 1;
    uint32_t cConnections = 0;   // sources of a destination
    uint32_t cControls = 0;
    QString szShortName;
    QString szName;
    MixerLineTarget Target;
};

struct MixerControl {
    uint32_t dwControlID = 0;
    uint32_t dwControlType = 0;
    uint32_t fdwControl = 0;
    uint32_t cMultipleItems = 0;   // items of a list control, else 0
    QString szShortName;
    QString szName;
    int32_t lMinimum = 0;
    int32_t lMaximum = 0;
    uint32_t cSteps = 0;
    // A volume's way to the card's gain, for the sound-card report (empty
    // where the volume is that fraction of full scale, as on the jig).
    QString szGainLaw;
};

// One item of a list control: its source line's ID and component type, and name.
struct MixerListText {
    uint32_t dwParam1 = 0;
    uint32_t dwParam2 = 0;
    QString szName;
};

// The values of one control: cChannels values, or one per item of a list
// control (cMultipleItems), in the caller's buffer paDetails of nDetails values.
struct MixerControlDetails {
    uint32_t cbStruct = 24;
    uint32_t dwControlID = 0;
    uint32_t cChannels = 1;
    uint32_t cMultipleItems = 0;
    uint32_t cbDetails = 4;
    int32_t* paDetails = nullptr;
    size_t nDetails = 0;
};

uint32_t mixerGetNumDevs();
MMRESULT mixerGetDevCaps(uint32_t iMixer, MixerCaps& oCaps);
MMRESULT mixerOpen(HMIXER& oHandle, uint32_t iMixer);
MMRESULT mixerClose(HMIXER iHandle);
MMRESULT mixerGetLineInfoDestination(HMIXER iHandle, uint32_t iDestination, MixerLine& oLine);
MMRESULT mixerGetLineInfoSource(HMIXER iHandle, uint32_t iDestination, uint32_t iSource, MixerLine& oLine);
MMRESULT mixerGetLineControls(HMIXER iHandle, uint32_t iLineID, std::vector<MixerControl>& oControls);
MMRESULT mixerGetControlDetails(HMIXER iHandle, MixerControlDetails& ioDetails);
MMRESULT mixerGetControlDetailsListText(HMIXER iHandle, const MixerControlDetails& iDetails,
                                        std::vector<MixerListText>& oItems);
MMRESULT mixerSetControlDetails(HMIXER iHandle, const MixerControlDetails& iDetails);
