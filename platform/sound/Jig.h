#pragma once
#include "platform/sound/MixerModel.h"
#include "platform/sound/SoundBackend.h"
#include <map>
#include <memory>
#include <vector>

// The simulated test jig: a sound card whose output passes through a model
// amplifier, loudspeaker and microphone back into its input. It runs on the
// station's clock: it simulates up to the clock's present whenever it is asked
// anything, so with the virtual clock it advances only when the station waits
// or polls, and a ten-second sweep costs milliseconds.
//
// The chain, at the card's rate: DAC (full scale = 2.0 V rms for a full-scale
// sine) -> master and wave volume and mute (dB-linear taper) -> amplifier
// (gain 20, optional clipping) -> loudspeaker (sensitivity, polarity, 2nd-order
// high-pass at its resonance, 2nd-order low-pass, peaking filter for cone
// break-up, optional defects) -> distance delay -> microphone -> record source
// (only the microphone item passes) -> microphone volume -> preamp -> ADC with
// seeded noise, optional hum and DC, 16-bit rounding and clipping.
namespace sound {

class DuplexCore;
class RateConverter;

struct UnitModel {
    QString name = QStringLiteral("standard");
    double sensitivityDb = 87.0;   // dB SPL at 1 m for 2.83 V in the pass band
    bool positivePolarity = true;
    double resonanceHz = 80.0;     // 2nd-order high-pass
    double resonanceQ = 0.9;
    double lowPassHz = 8000.0;     // 2nd-order low-pass
    double lowPassQ = 0.707;
    double peakHz = 4000.0;        // cone break-up
    double peakGainDb = 4.0;
    double peakQ = 3.0;
    bool dead = false;             // defect: no sound at all
    double rubBuzz = 0.0;          // defect: cubic distortion, fraction at 1 Pa

    static UnitModel standard();
    static UnitModel peakPlus3dB();        // break-up peak 3 dB higher
    static UnitModel resonanceHigh();      // resonance 20 % high
    static UnitModel reversedPolarity();
    static UnitModel deadUnit();
};

struct JigOutputDevice {
    WaveOutCaps caps;
    MMRESULT capsError = MMSYSERR_NOERROR;   // what asking for its capabilities returns
    bool isCard = true;                      // opens the jig's card; otherwise it cannot be opened
};

struct JigInputDevice {
    WaveInCaps caps;
    MMRESULT capsError = MMSYSERR_NOERROR;
    bool isCard = true;
};

struct JigConfig {
    QString cardName = QStringLiteral("Vexo Test Jig");
    double cardRate = 44100.0;
    std::vector<JigOutputDevice> outputs;   // default: the card
    std::vector<JigInputDevice> inputs;
    std::vector<MixerModel> mixers;         // default: the card's mixer
    int cardMixer = 0;                      // the mixer that drives the chain

    double dacFullScaleVrms = 2.0;
    double volumeRangeDb = 60.0;            // volume 65535 = 0 dB, 1 = -range, 0 = off
    double ampGain = 20.0;
    bool ampClips = false;
    double ampClipVpeak = 40.0;
    UnitModel unit;
    double distanceM = 0.5;
    double speedOfSound = 343.0;
    double micSensitivityVPerPa = 0.0125;
    double preampGainDb = 40.0;
    double adcFullScaleVrms = 1.0;          // input volts rms of a full-scale sine
    double noiseRmsLsb = 2.0;
    uint32_t noiseSeed = 12345;
    double humLsb = 0.0;                    // hum amplitude at the ADC, in steps
    double humHz = 50.0;
    double dcLsb = 0.0;
    bool exactSilence = false;              // the input reads exact digital silence
    int outputLatencyFrames = 441;
    int inputLatencyFrames = 220;
    size_t tapLimit = 4'410'000;            // samples the output tap keeps from each open

    // The card as one output, one input and its mixer (deliberately left
    // wrong: wave muted at 30000, Line selected as the record source).
    static JigConfig standard();
    static MixerModel standardMixer(const QString& iName);
};

// Every sound call, for fault injection.
enum class SoundCall {
    WaveOutGetDevCaps, WaveOutOpen, WaveOutPrepareHeader, WaveOutLoadHeader, WaveOutWrite, WaveOutGetHeader,
    WaveOutBreakLoop, WaveOutReset, WaveOutUnprepareHeader, WaveOutClose,
    WaveInGetDevCaps, WaveInOpen, WaveInPrepareHeader, WaveInAddBuffer, WaveInStart, WaveInGetHeader,
    WaveInReadHeader, WaveInStop, WaveInReset, WaveInUnprepareHeader, WaveInClose,
    MixerGetDevCaps, MixerOpen, MixerClose, MixerGetLineInfo, MixerGetLineControls, MixerGetControlDetails,
    MixerGetListText, MixerSetControlDetails,
};

struct JigEvent {
    double ms = 0;      // the clock's tick count when it happened
    QString what;
};

enum class JigPoint { SoundBoardOutput, AmplifierOutput };

class JigBackend : public Backend {
public:
    explicit JigBackend(JigConfig iConfig = JigConfig::standard());
    ~JigBackend() override;

    // The jig that exists (the backend in use under VEXO_SOUND=jig), else nullptr.
    static JigBackend* active();

    // ---- test bench
    const JigConfig& config() const { return mConfig; }
    // Changes the model (not the devices' open state); the chain follows at once.
    void setConfig(const JigConfig& iConfig);
    void setUnit(const UnitModel& iUnit);
    MixerModel& cardMixer();
    // After a test changed the card mixer's values directly.
    void mixerChanged();
    // A call fails with iCode the next iTimes times (-1: always).
    void failCall(SoundCall iCall, MMRESULT iCode, int iTimes = 1);
    void clearFaults();
    void stallOutput(bool iStalled);
    void killInput(bool iDead);
    // The next iFrames input frames a recording takes are lost: silence,
    // flagged as a real stream flags an overflow.
    void dropInput(int iFrames);

    const std::vector<JigEvent>& events();
    void clearEvents();
    // The samples the output played since it was last opened, at its rate.
    const std::vector<int16_t>& outputTap();
    double outputTapRate() const { return mOutRate; }
    // Rms voltage over the last second (or what there is of it).
    double voltmeter(JigPoint iPoint);
    // The level a tone of this frequency and amplitude (16-bit peak) played
    // now would record at, in dB of the station's level scale (0 dB = an rms
    // of half the 16-bit span), from the model's transfer functions.
    double expectedLevelDb(double iFrequencyHz, double iAmplitude) const;
    // The level of the input's noise, hum and DC alone, on the same scale.
    double noiseFloorDb() const;
    // Brings the simulation up to the clock's present.
    void simulateToNow();

    // ---- Backend
    QString name() const override { return QStringLiteral("jig"); }
    QString lastErrorDetail() const override { return mDetail; }
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

private:
    class Chain;
    class Observer;
    friend class Observer;
    MMRESULT fault(SoundCall iCall);
    void log(const QString& iWhat);
    void logAtFrame(int64_t iFrame, const QString& iWhat);
    void logAt(double iMs, const QString& iWhat);
    void simulateTo(int64_t iFrame);
    void runBlock(int iFrames);
    void settle();                       // applies posted commands now
    MixerModel* mixerOf(HMIXER iHandle);
    void updateGains();
    double frameToMs(int64_t iFrame) const;

    JigConfig mConfig;
    std::unique_ptr<Chain> mChain;
    std::unique_ptr<DuplexCore> mCore;
    std::unique_ptr<Observer> mObserver;
    std::unique_ptr<RateConverter> mOutConverter;
    std::unique_ptr<RateConverter> mInConverter;
    std::map<SoundCall, std::pair<MMRESULT, int>> mFaults;
    std::vector<JigEvent> mEvents;
    std::vector<int16_t> mTap;
    QString mDetail;

    int64_t mTick0 = 0;          // the clock's tick at frame 0
    int64_t mFrame = 0;          // frames simulated
    int64_t mClosedAt = 0;       // the frame both devices were last closed at
    HWAVEOUT mOut = 0;
    HWAVEIN mIn = 0;
    int32_t mNextHandle = 1;
    double mOutRate = 0;
    std::map<HMIXER, uint32_t> mMixers;
};

}
