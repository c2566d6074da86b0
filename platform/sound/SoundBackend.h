#pragma once
#include "platform/sound/Sound.h"
#include <memory>

// What a sound backend provides behind the API of Sound.h. The API functions
// forward to the backend chosen on first use: the simulated jig when
// VEXO_SOUND=jig, else PortAudio with the ALSA mixer. There is no silent
// fall-back: without a card the real backend lists no devices.
namespace sound {

class Backend {
public:
    virtual ~Backend() = default;
    virtual QString name() const = 0;

    virtual uint32_t waveOutGetNumDevs() = 0;
    virtual MMRESULT waveOutGetDevCaps(uint32_t iDevice, WaveOutCaps& oCaps) = 0;
    virtual MMRESULT waveOutOpen(HWAVEOUT& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat) = 0;
    virtual MMRESULT waveOutPrepareHeader(HWAVEOUT iHandle, int iHeader, uint32_t iBytes) = 0;
    virtual MMRESULT waveOutLoadHeader(HWAVEOUT iHandle, int iHeader, const void* iData, uint32_t iBytes) = 0;
    virtual MMRESULT waveOutWrite(HWAVEOUT iHandle, int iHeader, uint32_t iLoopFlags, uint32_t iLoops) = 0;
    virtual MMRESULT waveOutGetHeader(HWAVEOUT iHandle, int iHeader, WaveHdr& oHeader) = 0;
    virtual MMRESULT waveOutGetPosition(HWAVEOUT iHandle, uint64_t& oSamples) = 0;
    virtual MMRESULT waveOutBreakLoop(HWAVEOUT iHandle) = 0;
    virtual MMRESULT waveOutReset(HWAVEOUT iHandle) = 0;
    virtual MMRESULT waveOutUnprepareHeader(HWAVEOUT iHandle, int iHeader) = 0;
    virtual MMRESULT waveOutClose(HWAVEOUT iHandle) = 0;

    virtual uint32_t waveInGetNumDevs() = 0;
    virtual MMRESULT waveInGetDevCaps(uint32_t iDevice, WaveInCaps& oCaps) = 0;
    virtual MMRESULT waveInOpen(HWAVEIN& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat) = 0;
    virtual MMRESULT waveInPrepareHeader(HWAVEIN iHandle, int iHeader, uint32_t iBytes) = 0;
    virtual MMRESULT waveInAddBuffer(HWAVEIN iHandle, int iHeader) = 0;
    virtual MMRESULT waveInStart(HWAVEIN iHandle, WaveInStartMode iMode) = 0;
    virtual MMRESULT waveInGetHeader(HWAVEIN iHandle, int iHeader, WaveHdr& oHeader) = 0;
    virtual MMRESULT waveInReadHeader(HWAVEIN iHandle, int iHeader, void* oData, uint32_t iBytes) = 0;
    virtual MMRESULT waveInStop(HWAVEIN iHandle) = 0;
    virtual MMRESULT waveInReset(HWAVEIN iHandle) = 0;
    virtual MMRESULT waveInUnprepareHeader(HWAVEIN iHandle, int iHeader) = 0;
    virtual MMRESULT waveInClose(HWAVEIN iHandle) = 0;

    virtual uint32_t mixerGetNumDevs() = 0;
    virtual MMRESULT mixerGetDevCaps(uint32_t iMixer, MixerCaps& oCaps) = 0;
    virtual MMRESULT mixerOpen(HMIXER& oHandle, uint32_t iMixer) = 0;
    virtual MMRESULT mixerClose(HMIXER iHandle) = 0;
    virtual MMRESULT mixerGetLineInfoDestination(HMIXER iHandle, uint32_t iDestination, MixerLine& oLine) = 0;
    virtual MMRESULT mixerGetLineInfoSource(HMIXER iHandle, uint32_t iDestination, uint32_t iSource,
                                            MixerLine& oLine) = 0;
    virtual MMRESULT mixerGetLineControls(HMIXER iHandle, uint32_t iLineID, std::vector<MixerControl>& oControls) = 0;
    virtual MMRESULT mixerGetControlDetails(HMIXER iHandle, MixerControlDetails& ioDetails) = 0;
    virtual MMRESULT mixerGetControlDetailsListText(HMIXER iHandle, const MixerControlDetails& iDetails,
                                                    std::vector<MixerListText>& oItems) = 0;
    virtual MMRESULT mixerSetControlDetails(HMIXER iHandle, const MixerControlDetails& iDetails) = 0;

    // See waveWaitForDevice (Sound.h).
    virtual void waitForDevice(int /*iMaxMs*/) {}

    // A backend's own words for its last MMSYSERR_ERROR (empty when it has none).
    virtual QString lastErrorDetail() const { return {}; }
};

// The backend in use, chosen on first use.
Backend& backend();
// Replaces the backend (tests, benchmarks); nullptr makes the next use choose again.
void setBackend(std::unique_ptr<Backend> iBackend);
// True when VEXO_SOUND asks for the jig ("jig" in any letter case, spaces
// around it ignored).
bool jigRequested();
// True when VEXO_SOUND is unset, blank or "jig"; otherwise oMessage says what
// it takes.
bool soundChoiceValid(QString& oMessage);

}
