#pragma once
#include "platform/sound/SoundBackend.h"
#include <map>
#include <memory>
#include <vector>

// Real sound cards: PortAudio for wave output and input, the ALSA mixer for
// volumes, mutes and the record source.
//
// Devices per direction list the host's default device first. Opening a
// device's output or input opens one full-duplex stream on that card, so both
// directions share one clock; an input opened while the output of the same
// card is open joins its stream. Closing both directions leaves the stream
// running idle (silence out, input ignored) for the next open: a host's timing
// figures can take seconds to come right after a stream starts, so the first
// open of a card waits (4 s at most) until its round trip reads steady, and
// later ones reuse the stream.
//
// A recording started with its signal is aligned by the loop delay measured on
// the card itself: once settled, the idle stream plays one marker sample and
// finds it in its input. The host's timing figures are only watched: when they
// jump, or a block is lost or made up, the delay is measured again as soon as
// nothing plays (an output reset or open), and an aligned recording made in
// between is refused ("The sound device's timing cannot be trusted ..."), as
// is every aligned recording while no marker came back (a silent or noisy
// loop), but for a silent loop's own silence recorded with a steady tone (a
// dead unit reads silent). The figures are too rough to see a loop that grows
// by a few milliseconds, so every recording made while a steady tone plays is also
// held against that tone (see ToneCheck): one that holds anything else after
// the unit's settling is refused the same way, and the delay is measured
// again as soon as nothing plays. The stream asks for the lowest latency the
// host keeps up with (see LatencyLadder): a point of a measurement waits for
// the loop.
//
// Every call into PortAudio or the ALSA mixer that can block on the device or
// a sound server runs on a library thread (LibraryThread) that the caller gives
// up on after a few seconds: the call fails with "The sound device does not
// answer." and the card is absent until the call has returned.
//
// The stream is closed when another card is opened or
// the backend ends (the station's end). The stream runs at the card's rate (the
// output's rate when the card takes it and it is 44100 Hz or more, else 44100,
// 48000 or the card's default); other rates are converted inside the layer by
// libsamplerate, mono goes to every output channel and the input takes channel
// 0. The mixers are one per output device, in the same order and of the same
// name, each the mixer of that device's card.
namespace sound {

class PortAudioBackend : public Backend {
public:
    PortAudioBackend();
    ~PortAudioBackend() override;

    QString name() const override { return QStringLiteral("PortAudio+ALSA"); }
    bool initialised() const { return mInitialised; }
    QString lastErrorDetail() const override { return mDetail; }
    // For the benchmarks: the loop delay measured on the open card, and the
    // latency its stream asked for, in seconds (0 with no card open).
    double loopSeconds() const;
    double latencySeconds() const;

    uint32_t waveOutGetNumDevs() override;
    MMRESULT waveOutGetDevCaps(uint32_t iDevice, WaveOutCaps& oCaps) override;
    MMRESULT waveOutOpen(HWAVEOUT& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat) override;
    MMRESULT waveOutPrepareHeader(HWAVEOUT iHandle, int iHeader, uint32_t iBytes) override;
    MMRESULT waveOutLoadHeader(HWAVEOUT iHandle, int iHeader, const void* iData, uint32_t iBytes) override;
    MMRESULT waveOutWrite(HWAVEOUT iHandle, int iHeader, uint32_t iLoopFlags, uint32_t iLoops) override;
    MMRESULT waveOutGetHeader(HWAVEOUT iHandle, int iHeader, WaveHdr& oHeader) override;
    MMRESULT waveOutGetPosition(HWAVEOUT iHandle, uint64_t& oSamples) override;
    MMRESULT waveOutBreakLoop(HWAVEOUT iHandle) override;
    MMRESULT waveOutReset(HWAVEOUT iHandle) override;
    MMRESULT waveOutUnprepareHeader(HWAVEOUT iHandle, int iHeader) override;
    MMRESULT waveOutClose(HWAVEOUT iHandle) override;

    uint32_t waveInGetNumDevs() override;
    MMRESULT waveInGetDevCaps(uint32_t iDevice, WaveInCaps& oCaps) override;
    MMRESULT waveInOpen(HWAVEIN& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat) override;
    MMRESULT waveInPrepareHeader(HWAVEIN iHandle, int iHeader, uint32_t iBytes) override;
    MMRESULT waveInAddBuffer(HWAVEIN iHandle, int iHeader) override;
    MMRESULT waveInStart(HWAVEIN iHandle, WaveInStartMode iMode) override;
    MMRESULT waveInGetHeader(HWAVEIN iHandle, int iHeader, WaveHdr& oHeader) override;
    MMRESULT waveInReadHeader(HWAVEIN iHandle, int iHeader, void* oData, uint32_t iBytes) override;
    MMRESULT waveInStop(HWAVEIN iHandle) override;
    MMRESULT waveInReset(HWAVEIN iHandle) override;
    MMRESULT waveInUnprepareHeader(HWAVEIN iHandle, int iHeader) override;
    MMRESULT waveInClose(HWAVEIN iHandle) override;
    void waitForDevice(int iMaxMs) override;

    uint32_t mixerGetNumDevs() override;
    MMRESULT mixerGetDevCaps(uint32_t iMixer, MixerCaps& oCaps) override;
    MMRESULT mixerOpen(HMIXER& oHandle, uint32_t iMixer) override;
    MMRESULT mixerClose(HMIXER iHandle) override;
    MMRESULT mixerGetLineInfoDestination(HMIXER iHandle, uint32_t iDestination, MixerLine& oLine) override;
    MMRESULT mixerGetLineInfoSource(HMIXER iHandle, uint32_t iDestination, uint32_t iSource, MixerLine& oLine) override;
    MMRESULT mixerGetLineControls(HMIXER iHandle, uint32_t iLineID, std::vector<MixerControl>& oControls) override;
    MMRESULT mixerGetControlDetails(HMIXER iHandle, MixerControlDetails& ioDetails) override;
    MMRESULT mixerGetControlDetailsListText(HMIXER iHandle, const MixerControlDetails& iDetails,
                                            std::vector<MixerListText>& oItems) override;
    MMRESULT mixerSetControlDetails(HMIXER iHandle, const MixerControlDetails& iDetails) override;

    struct Card;
    struct Device;
    struct InitState;

private:
    Card* outCard(HWAVEOUT iHandle);
    Card* inCard(HWAVEIN iHandle);
    MMRESULT openCard(int iPaDevice, double iWantedRate, bool iForOutput, Card*& oCard);
    MMRESULT openStream(int iPaDevice, double iWantedRate, bool iForOutput, std::shared_ptr<Card>& oCard);
    bool closeCard(int iPaDevice);
    static class LatencyLadder& ladder(int iPaDevice);
    MMRESULT noCard(bool iKnownHandle);
    bool started();
    void releaseIdleCards();
    static bool usable(const Card& iCard);
    bool waitFor(Card& iCard, uint64_t iTicket);
    static void waitForBlock(Card& iCard, int iMaxMs);
    bool measureLoop(Card& ioCard, bool iAfterSound);
    int measureLoopOnce(Card& ioCard, bool iAfterSound);
    static bool alignmentHolds(const Card& iCard);
    static bool delayInDoubt(const Card& iCard);
    static bool recordingHoldsItsTone(const Card& iCard);
    bool alignedRecordingHolds(Card& iCard);
    static bool firstHeaderFull(const Card& iCard);
    static QString refusalText(const Card& iCard);
    MMRESULT fail(MMRESULT iCode, const QString& iDetail);
    class AlsaMixer* mixerOf(HMIXER iHandle);
    MMRESULT openMixer(uint32_t iMixer, std::shared_ptr<class AlsaMixer>& oMixer);
    MMRESULT noMixer(HMIXER iHandle);

    bool mInitialised = false;
    std::shared_ptr<InitState> mInit;
    QString mDetail;
    std::vector<std::unique_ptr<Device>> mOutputs;
    std::vector<std::unique_ptr<Device>> mInputs;
    std::map<int, std::shared_ptr<Card>> mCards;    // by PortAudio device
    std::map<HWAVEOUT, int> mOutHandles;
    std::map<HWAVEIN, int> mInHandles;
    struct OpenMixer {
        uint32_t device = 0;
        std::shared_ptr<class AlsaMixer> mixer;   // null once a call on it was given up on
    };
    std::map<HMIXER, OpenMixer> mMixers;
    int32_t mNextHandle = 1;
};

}
