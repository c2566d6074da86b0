#include "platform/sound/Jig.h"
#include "platform/os/Clock.h"
#include "platform/sound/RateConverter.h"
#include "platform/sound/WaveEngine.h"
#include <algorithm>
#include <cmath>
#include <complex>

namespace sound {
namespace {
constexpr int kBlock = 256;
constexpr double kPi = 3.14159265358979323846;
constexpr double kSqrt2 = 1.41421356237309504880;
constexpr double kRefPressure = 20e-6;

double taper(int32_t iVolume, double iRangeDb) {
    if (iVolume <= 0) return 0.0;
    return std::pow(10.0, iRangeDb * (double(iVolume) / 65535.0 - 1.0) / 20.0);
}

// A fixed delay of whole frames.
class Fifo {
public:
    void reset(int iDelay) {
        mBuf.assign(size_t(iDelay) + kBlock + 1, 0.0f);
        mRead = 0;
        mWrite = size_t(iDelay);
    }
    void pass(const float* iIn, float* oOut, int iFrames) {
        for (int i = 0; i < iFrames; ++i) {
            mBuf[mWrite] = iIn[i];
            mWrite = mWrite + 1 == mBuf.size() ? 0 : mWrite + 1;
            oOut[i] = mBuf[mRead];
            mRead = mRead + 1 == mBuf.size() ? 0 : mRead + 1;
        }
    }

private:
    std::vector<float> mBuf;
    size_t mRead = 0;
    size_t mWrite = 0;
};
}

// ---------------------------------------------------------------- unit models

UnitModel UnitModel::standard() { return UnitModel(); }

UnitModel UnitModel::peakPlus3dB() {
    UnitModel u;
    u.name = QStringLiteral("+3 dB peak");
    u.peakGainDb += 3.0;
    return u;
}

UnitModel UnitModel::resonanceHigh() {
    UnitModel u;
    u.name = QStringLiteral("resonance 20 % high");
    u.resonanceHz *= 1.2;
    return u;
}

UnitModel UnitModel::reversedPolarity() {
    UnitModel u;
    u.name = QStringLiteral("reversed polarity");
    u.positivePolarity = false;
    return u;
}

UnitModel UnitModel::deadUnit() {
    UnitModel u;
    u.name = QStringLiteral("dead");
    u.dead = true;
    return u;
}

// ----------------------------------------------------------------- the config

MixerModel JigConfig::standardMixer(const QString& iName) {
    MixerModel m;
    m.caps.wMid = 255;
    m.caps.wPid = 1;
    m.caps.vDriverVersion = 0x0100;
    m.caps.szPname = iName;
    constexpr uint32_t kSteps = 64;

    MixerDestinationModel out;
    out.line = mixerLine(QStringLiteral("Master Volume"), QStringLiteral("Master"),
                         MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_TARGETTYPE_WAVEOUT, iName);
    out.line.controls.push_back(mixerVolumeControl(QStringLiteral("Master Volume"), 50000, kSteps, MixerRole::MasterVolume));
    out.line.controls.push_back(mixerMuteControl(QStringLiteral("Master Mute"), false, MixerRole::MasterMute));
    MixerLineModel wave = mixerLine(QStringLiteral("Wave"), QStringLiteral("Wave"), MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT,
                                    MIXERLINE_TARGETTYPE_WAVEOUT, iName);
    wave.controls.push_back(mixerVolumeControl(QStringLiteral("Wave Volume"), 30000, kSteps, MixerRole::WaveVolume));
    wave.controls.push_back(mixerMuteControl(QStringLiteral("Wave Mute"), true, MixerRole::WaveMute));
    out.sources.push_back(wave);
    MixerLineModel cd = mixerLine(QStringLiteral("CD Audio"), QStringLiteral("CD"), MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC,
                                  MIXERLINE_TARGETTYPE_UNDEFINED, QString());
    cd.controls.push_back(mixerVolumeControl(QStringLiteral("CD Volume"), 40000, kSteps, MixerRole::None));
    cd.controls.push_back(mixerMuteControl(QStringLiteral("CD Mute"), false, MixerRole::None));
    out.sources.push_back(cd);
    // The microphone heard on the speakers: not the record path.
    MixerLineModel micMonitor = mixerLine(QStringLiteral("Microphone"), QStringLiteral("Mic"),
                                          MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, MIXERLINE_TARGETTYPE_UNDEFINED, QString());
    micMonitor.controls.push_back(mixerVolumeControl(QStringLiteral("Mic Volume"), 20000, kSteps, MixerRole::None));
    micMonitor.controls.push_back(mixerMuteControl(QStringLiteral("Mic Mute"), true, MixerRole::None));
    out.sources.push_back(micMonitor);
    m.destinations.push_back(out);

    MixerDestinationModel rec;
    rec.line = mixerLine(QStringLiteral("Recording Control"), QStringLiteral("Recording"),
                         MIXERLINE_COMPONENTTYPE_DST_WAVEIN, MIXERLINE_TARGETTYPE_WAVEIN, iName);
    MixerControlModel mux;
    mux.info.dwControlType = MIXERCONTROL_CONTROLTYPE_MUX;
    mux.info.szName = QStringLiteral("Recording Source");
    mux.info.szShortName = QStringLiteral("Source");
    mux.info.lMinimum = 0;
    mux.info.lMaximum = 1;
    mux.items = {{0, MIXERLINE_COMPONENTTYPE_SRC_LINE, QStringLiteral("Line In")},
                 {0, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, QStringLiteral("Microphone")},
                 {0, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, QStringLiteral("CD Audio")}};
    mux.values = {1, 0, 0};   // Line selected
    mux.role = MixerRole::RecordSelect;
    rec.line.controls.push_back(mux);
    MixerControlModel meter;
    meter.info.dwControlType = MIXERCONTROL_CONTROLTYPE_PEAKMETER;
    meter.info.szName = QStringLiteral("Recording Peak");
    meter.info.szShortName = QStringLiteral("Peak");
    meter.info.lMinimum = -32768;
    meter.info.lMaximum = 32767;
    meter.role = MixerRole::PeakMeter;
    rec.line.controls.push_back(meter);
    MixerLineModel line = mixerLine(QStringLiteral("Line In"), QStringLiteral("Line"), MIXERLINE_COMPONENTTYPE_SRC_LINE,
                                    MIXERLINE_TARGETTYPE_UNDEFINED, QString());
    line.controls.push_back(mixerVolumeControl(QStringLiteral("Line Volume"), 45000, kSteps, MixerRole::None));
    rec.sources.push_back(line);
    MixerLineModel mic = mixerLine(QStringLiteral("Microphone"), QStringLiteral("Mic"),
                                   MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, MIXERLINE_TARGETTYPE_UNDEFINED, QString());
    mic.controls.push_back(mixerVolumeControl(QStringLiteral("Mic Volume"), 20000, kSteps, MixerRole::MicVolume));
    rec.sources.push_back(mic);
    MixerLineModel cdIn = mixerLine(QStringLiteral("CD Audio"), QStringLiteral("CD"), MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC,
                                    MIXERLINE_TARGETTYPE_UNDEFINED, QString());
    cdIn.controls.push_back(mixerVolumeControl(QStringLiteral("CD Volume"), 40000, kSteps, MixerRole::None));
    rec.sources.push_back(cdIn);
    m.destinations.push_back(rec);
    m.finalize();
    return m;
}

JigConfig JigConfig::standard() {
    JigConfig c;
    JigOutputDevice out;
    out.caps.wMid = 255;
    out.caps.wPid = 1;
    out.caps.vDriverVersion = 0x0100;
    out.caps.szPname = c.cardName;
    out.caps.dwFormats = 0x0FFF;
    out.caps.wChannels = 2;
    out.caps.dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME | WAVECAPS_SAMPLEACCURATE;
    c.outputs.push_back(out);
    JigInputDevice in;
    in.caps.wMid = 255;
    in.caps.wPid = 2;
    in.caps.vDriverVersion = 0x0100;
    in.caps.szPname = c.cardName;
    in.caps.dwFormats = 0x0FFF;
    in.caps.wChannels = 2;
    c.inputs.push_back(in);
    c.mixers.push_back(standardMixer(c.cardName));
    return c;
}

// ------------------------------------------------------------------ the chain

class JigBackend::Chain {
public:
    struct Biquad {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double z1 = 0, z2 = 0;
        double run(double x) {
            const double y = b0 * x + z1;
            z1 = b1 * x - a1 * y + z2;
            z2 = b2 * x - a2 * y;
            return y;
        }
        double magnitude(double iW) const {
            const std::complex<double> z1i = std::polar(1.0, -iW), z2i = std::polar(1.0, -2 * iW);
            return std::abs((b0 + b1 * z1i + b2 * z2i) / (1.0 + a1 * z1i + a2 * z2i));
        }
        void set(double ib0, double ib1, double ib2, double ia0, double ia1, double ia2) {
            b0 = ib0 / ia0; b1 = ib1 / ia0; b2 = ib2 / ia0; a1 = ia1 / ia0; a2 = ia2 / ia0;
        }
    };

    double rate = 44100;
    // Gains, set from the config and the mixer.
    double dacVolts = 0;      // volts at the sound-board output per unit of float sample
    double ampGain = 20;
    bool ampClips = false;
    double ampClip = 40;
    double paPerVolt = 0;     // signed by polarity
    double rubBuzz = 0;
    double micToSample = 0;   // float sample per pascal at the microphone
    double noise = 0;         // float sample rms
    double hum = 0;
    double dc = 0;
    bool silence = false;
    Biquad hp, lp, peak;
    std::vector<double> delay;
    size_t delayPos = 0;
    size_t delayFrames = 0;
    std::vector<float> noiseTable;
    uint32_t rng = 1;
    double humC = 1, humS = 0, humCos = 1, humSin = 0;
    int32_t peakValue = 0;
    std::vector<float> rendered = std::vector<float>(kBlock);   // one block's stages
    std::vector<float> dac = std::vector<float>(kBlock);
    std::vector<float> adc = std::vector<float>(kBlock);
    std::vector<float> captured = std::vector<float>(kBlock);
    Fifo outDelay;   // the output converter's latency
    Fifo inDelay;    // the input converter's latency

    // The voltmeter: sums of squares over blocks of 10 ms, the last second kept.
    struct Meter {
        std::vector<double> blocks;
        size_t next = 0;
        size_t filled = 0;
        double sum = 0;
        size_t count = 0;
        size_t blockLen = 441;
        void reset(size_t iBlockLen) {
            blockLen = std::max<size_t>(1, iBlockLen);
            blocks.assign(100, 0.0);
            next = filled = count = 0;
            sum = 0;
        }
        void close() {
            blocks[next] = sum;
            next = (next + 1) % blocks.size();
            filled = std::min(filled + 1, blocks.size());
            sum = 0;
            count = 0;
        }
        double rms() const {
            double total = 0;
            for (size_t i = 0; i < filled; ++i) total += blocks[i];
            const size_t n = filled * blockLen;
            if (n == 0) return count ? std::sqrt(sum / double(count)) : 0.0;
            return std::sqrt(total / double(n));
        }
    } board, amp;

    void design(const JigConfig& iConfig) {
        rate = iConfig.cardRate;
        const UnitModel& u = iConfig.unit;
        auto coeff = [&](double f, double q, double& c, double& alpha) {
            const double w = 2 * kPi * f / rate;
            c = std::cos(w);
            alpha = std::sin(w) / (2 * q);
        };
        double c = 0, alpha = 0;
        hp = Biquad();
        if (u.resonanceHz > 0 && u.resonanceHz < 0.49 * rate) {
            coeff(u.resonanceHz, u.resonanceQ, c, alpha);
            hp.set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
        }
        lp = Biquad();
        if (u.lowPassHz > 0 && u.lowPassHz < 0.49 * rate) {
            coeff(u.lowPassHz, u.lowPassQ, c, alpha);
            lp.set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
        }
        peak = Biquad();
        if (u.peakHz > 0 && u.peakHz < 0.49 * rate && u.peakGainDb != 0) {
            coeff(u.peakHz, u.peakQ, c, alpha);
            const double a = std::pow(10.0, u.peakGainDb / 40.0);
            peak.set(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a);
        }
        const double paAt1V1m = kRefPressure * std::pow(10.0, u.sensitivityDb / 20.0) / 2.83;
        paPerVolt = u.dead ? 0.0 : paAt1V1m / std::max(0.01, iConfig.distanceM) * (u.positivePolarity ? 1 : -1);
        rubBuzz = u.rubBuzz;
        ampGain = iConfig.ampGain;
        ampClips = iConfig.ampClips;
        ampClip = iConfig.ampClipVpeak;
        delayFrames = size_t(std::lround(iConfig.distanceM / iConfig.speedOfSound * rate));
        delay.assign(delayFrames + 1, 0.0);
        delayPos = 0;
        noise = iConfig.noiseRmsLsb / 32768.0;
        hum = iConfig.humLsb / 32768.0;
        dc = iConfig.dcLsb / 32768.0;
        humCos = std::cos(2 * kPi * iConfig.humHz / rate);
        humSin = std::sin(2 * kPi * iConfig.humHz / rate);
        silence = iConfig.exactSilence;
        board.reset(size_t(rate / 100));
        amp.reset(size_t(rate / 100));
        // A fixed table of normal deviates drawn from the seed; a second
        // generator picks from it, so the noise costs almost nothing.
        uint32_t s = iConfig.noiseSeed ? iConfig.noiseSeed : 1;
        auto next = [&s] { s ^= s << 13; s ^= s >> 17; s ^= s << 5; return s; };
        noiseTable.resize(65536);
        for (size_t i = 0; i < noiseTable.size(); i += 2) {
            const double u1 = (double(next()) + 1.0) / 4294967297.0, u2 = double(next()) / 4294967296.0;
            const double r = std::sqrt(-2.0 * std::log(u1));
            noiseTable[i] = float(r * std::cos(2 * kPi * u2));
            noiseTable[i + 1] = float(r * std::sin(2 * kPi * u2));
        }
        rng = next() | 1u;
    }

    double responseMagnitude(double iFrequency) const {
        const double w = 2 * kPi * iFrequency / rate;
        return hp.magnitude(w) * lp.magnitude(w) * peak.magnitude(w);
    }

    void run(const float* iDac, float* oAdc, int iFrames) {
        int32_t pk = 0;
        for (int i = 0; i < iFrames; ++i) {
            const double v = iDac[i] * dacVolts;
            board.sum += v * v;
            double a = v * ampGain;
            if (ampClips) a = std::clamp(a, -ampClip, ampClip);
            amp.sum += a * a;
            if (++board.count == board.blockLen) board.close();
            if (++amp.count == amp.blockLen) amp.close();
            double p = peak.run(lp.run(hp.run(a * paPerVolt)));
            if (rubBuzz != 0) p += rubBuzz * p * p * p;
            delay[delayPos] = p;
            delayPos = delayPos + 1 == delay.size() ? 0 : delayPos + 1;
            const double heard = delay[delayPos];   // the oldest: delayFrames ago
            rng ^= rng << 13;
            rng ^= rng >> 17;
            rng ^= rng << 5;
            double y = heard * micToSample + noise * noiseTable[rng >> 16] + dc;
            if (hum != 0) {
                const double c = humC * humCos - humS * humSin;
                humS = humS * humCos + humC * humSin;
                humC = c;
                y += hum * humS;
            }
            if (silence) y = 0;
            oAdc[i] = float(y);
            const int32_t m = int32_t(std::fabs(y) * 32768.0);
            pk = std::max(pk, m);
        }
        peakValue = std::min(pk, 32767);
    }
};

// --------------------------------------------------------------- the observer

class JigBackend::Observer : public EngineObserver {
public:
    explicit Observer(JigBackend& iJig) : mJig(iJig) {}
    void outputStarted(int iHeader, int64_t) override {
        mJig.logAtFrame(mJig.mFrame, QStringLiteral("output starts header %1").arg(iHeader));
    }
    void outputDone(int iHeader, int64_t) override {
        mJig.logAtFrame(mJig.mFrame, QStringLiteral("output header %1 done").arg(iHeader));
    }
    void outputRendered(const int16_t* iSamples, int iCount, int64_t iIndex) override {
        std::vector<int16_t>& tap = mJig.mTap;
        if (iIndex < int64_t(tap.size()) || tap.size() >= mJig.mConfig.tapLimit) return;
        const size_t n = std::min(size_t(iCount), mJig.mConfig.tapLimit - tap.size());
        tap.insert(tap.end(), iSamples, iSamples + n);
    }
    void inputStarted(int64_t iFrame) override { mJig.logAtFrame(iFrame, QStringLiteral("input starts")); }
    void inputFilled(int iHeader) override {
        mJig.logAtFrame(mJig.mFrame, QStringLiteral("input header %1 full").arg(iHeader));
    }

private:
    JigBackend& mJig;
};

// ---------------------------------------------------------------- the backend

namespace {
JigBackend*& activeJig() {
    static JigBackend* j = nullptr;
    return j;
}
}

JigBackend* JigBackend::active() { return activeJig(); }

JigBackend::JigBackend(JigConfig iConfig)
    : mConfig(std::move(iConfig)), mChain(std::make_unique<Chain>()), mObserver(std::make_unique<Observer>(*this)) {
    mCore = std::make_unique<DuplexCore>(mConfig.cardRate);
    mCore->setObserver(mObserver.get());
    mTick0 = vclock::ticks();
    setConfig(mConfig);
    activeJig() = this;
}

JigBackend::~JigBackend() {
    if (activeJig() == this) activeJig() = nullptr;
}

void JigBackend::setConfig(const JigConfig& iConfig) {
    simulateToNow();
    const bool rateChanged = iConfig.cardRate != mConfig.cardRate && (mOut || mIn);
    mConfig = iConfig;
    if (rateChanged) mConfig.cardRate = mCore->deviceRate();   // a running card keeps its rate
    if (mConfig.cardMixer < 0 || mConfig.cardMixer >= int(mConfig.mixers.size())) mConfig.cardMixer = -1;
    for (MixerModel& m : mConfig.mixers) m.finalize();
    if (!mOut && !mIn && mCore->deviceRate() != mConfig.cardRate) {
        mCore = std::make_unique<DuplexCore>(mConfig.cardRate);
        mCore->setObserver(mObserver.get());
    }
    mChain->design(mConfig);
    mChain->outDelay.reset(std::max(0, mConfig.outputLatencyFrames));
    mChain->inDelay.reset(std::max(0, mConfig.inputLatencyFrames));
    updateGains();
}

void JigBackend::setUnit(const UnitModel& iUnit) {
    JigConfig c = mConfig;
    c.unit = iUnit;
    setConfig(c);
}

MixerModel& JigBackend::cardMixer() {
    static MixerModel none;
    if (mConfig.cardMixer < 0) return none;
    return mConfig.mixers[size_t(mConfig.cardMixer)];
}

void JigBackend::mixerChanged() {
    simulateToNow();
    updateGains();
}

void JigBackend::updateGains() {
    MixerModel* m = mConfig.cardMixer >= 0 ? &mConfig.mixers[size_t(mConfig.cardMixer)] : nullptr;
    auto value = [&](MixerRole iRole, int32_t iDefault) {
        MixerControlModel* c = m ? m->controlByRole(iRole) : nullptr;
        return c && !c->values.empty() ? c->values[0] : iDefault;
    };
    const double range = mConfig.volumeRangeDb;
    const double master = value(MixerRole::MasterMute, 0) ? 0.0 : taper(value(MixerRole::MasterVolume, 65535), range);
    const double wave = value(MixerRole::WaveMute, 0) ? 0.0 : taper(value(MixerRole::WaveVolume, 65535), range);
    double pass = 1.0;
    if (MixerControlModel* select = m ? m->controlByRole(MixerRole::RecordSelect) : nullptr) {
        pass = 0.0;
        for (size_t i = 0; i < select->items.size() && i < select->values.size(); ++i)
            if (select->items[i].dwParam2 == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE && select->values[i] != 0) pass = 1.0;
    }
    const double mic = taper(value(MixerRole::MicVolume, 65535), range);
    const double voltsPerStep = mConfig.dacFullScaleVrms * kSqrt2 / 32767.0;
    mChain->dacVolts = 32768.0 * voltsPerStep * master * wave;
    const double stepsPerVolt = 32767.0 / (mConfig.adcFullScaleVrms * kSqrt2);
    mChain->micToSample = mConfig.micSensitivityVPerPa * pass * mic * std::pow(10.0, mConfig.preampGainDb / 20.0) *
                          stepsPerVolt / 32768.0;
}

double JigBackend::expectedLevelDb(double iFrequencyHz, double iAmplitude) const {
    const double board = std::fabs(iAmplitude) / 32768.0 * mChain->dacVolts;   // volts peak
    const double pressure = board * mChain->ampGain * std::fabs(mChain->paPerVolt) * mChain->responseMagnitude(iFrequencyHz);
    const double peakSteps = pressure * mChain->micToSample * 32768.0;
    if (peakSteps <= 0) return -INFINITY;
    return 20.0 * std::log10(2.0 * (peakSteps / kSqrt2) / 65535.0);
}

double JigBackend::noiseFloorDb() const {
    if (mConfig.exactSilence) return -INFINITY;
    const double ms = mConfig.noiseRmsLsb * mConfig.noiseRmsLsb + 1.0 / 12.0 + mConfig.humLsb * mConfig.humLsb / 2.0 +
                      mConfig.dcLsb * mConfig.dcLsb;
    return 20.0 * std::log10(2.0 * std::sqrt(ms) / 65535.0);
}

double JigBackend::voltmeter(JigPoint iPoint) {
    simulateToNow();
    return iPoint == JigPoint::SoundBoardOutput ? mChain->board.rms() : mChain->amp.rms();
}

// ------------------------------------------------------------------ simulation

double JigBackend::frameToMs(int64_t iFrame) const { return double(mTick0) + double(iFrame) * 1000.0 / mConfig.cardRate; }

void JigBackend::simulateToNow() {
    const int64_t now = vclock::ticks();
    const double rate = mCore->deviceRate();
    if (double(now) < frameToMs(mFrame) - 1.0) mTick0 = now - int64_t(double(mFrame) * 1000.0 / rate);
    const int64_t target = static_cast<int64_t>(std::floor(double(now - mTick0) * rate / 1000.0));
    simulateTo(target);
}

void JigBackend::simulateTo(int64_t iFrame) {
    if (iFrame <= mFrame) return;
    if (!mOut && !mIn) {
        // Closed, the chain still falls silent: a second of it clears its
        // delays, filters and the voltmeter; the rest is skipped.
        const int64_t quietEnd = std::min(iFrame, mClosedAt + static_cast<int64_t>(mConfig.cardRate));
        while (mFrame < quietEnd) runBlock(int(std::min<int64_t>(kBlock, quietEnd - mFrame)));
        mFrame = iFrame;
        return;
    }
    while (mFrame < iFrame) runBlock(int(std::min<int64_t>(kBlock, iFrame - mFrame)));
}

void JigBackend::runBlock(int iFrames) {
    float* rendered = mChain->rendered.data();
    float* dac = mChain->dac.data();
    float* adc = mChain->adc.data();
    float* captured = mChain->captured.data();
    const double roundTrip = mConfig.outputLatencyFrames + mConfig.inputLatencyFrames;
    mCore->processOutput(rendered, iFrames, mFrame, roundTrip, mFrame + iFrames - mConfig.outputLatencyFrames);
    mChain->outDelay.pass(rendered, dac, iFrames);
    mChain->run(dac, adc, iFrames);
    mChain->inDelay.pass(adc, captured, iFrames);
    mCore->processInput(captured, iFrames, mFrame, roundTrip);
    mFrame += iFrames;
}

void JigBackend::settle() {
    mCore->applyCommands(mFrame, mConfig.outputLatencyFrames + mConfig.inputLatencyFrames);
}

// ------------------------------------------------------------- faults and log

void JigBackend::failCall(SoundCall iCall, MMRESULT iCode, int iTimes) { mFaults[iCall] = {iCode, iTimes}; }
void JigBackend::clearFaults() { mFaults.clear(); }

void JigBackend::stallOutput(bool iStalled) {
    simulateToNow();
    mCore->outputStalled = iStalled;
}

void JigBackend::killInput(bool iDead) {
    simulateToNow();
    mCore->inputDead = iDead;
}

void JigBackend::dropInput(int iFrames) {
    simulateToNow();
    mCore->dropInputFrames = iFrames;
}

MMRESULT JigBackend::fault(SoundCall iCall) {
    auto it = mFaults.find(iCall);
    if (it == mFaults.end()) return MMSYSERR_NOERROR;
    const MMRESULT code = it->second.first;
    if (it->second.second > 0 && --it->second.second == 0) mFaults.erase(it);
    mDetail.clear();
    return code;
}

void JigBackend::log(const QString& iWhat) { logAt(double(vclock::ticks()), iWhat); }
void JigBackend::logAtFrame(int64_t iFrame, const QString& iWhat) { logAt(frameToMs(iFrame), iWhat); }

void JigBackend::logAt(double iMs, const QString& iWhat) {
    // A station left running on the jig keeps the recent past only.
    constexpr size_t kKeep = 100000;
    if (mEvents.size() >= kKeep) mEvents.erase(mEvents.begin(), mEvents.begin() + kKeep / 2);
    mEvents.push_back({iMs, iWhat});
}

const std::vector<JigEvent>& JigBackend::events() {
    simulateToNow();
    return mEvents;
}

void JigBackend::clearEvents() { mEvents.clear(); }

const std::vector<int16_t>& JigBackend::outputTap() {
    simulateToNow();
    return mTap;
}

// ------------------------------------------------------------------ wave output

uint32_t JigBackend::waveOutGetNumDevs() { return uint32_t(mConfig.outputs.size()); }

MMRESULT JigBackend::waveOutGetDevCaps(uint32_t iDevice, WaveOutCaps& oCaps) {
    if (const MMRESULT r = fault(SoundCall::WaveOutGetDevCaps)) return r;
    if (iDevice >= mConfig.outputs.size()) return MMSYSERR_BADDEVICEID;
    const JigOutputDevice& d = mConfig.outputs[iDevice];
    if (d.capsError != MMSYSERR_NOERROR) return d.capsError;
    oCaps = d.caps;
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveOutOpen(HWAVEOUT& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat) {
    oHandle = 0;
    if (const MMRESULT r = fault(SoundCall::WaveOutOpen)) return r;
    if (iDevice >= mConfig.outputs.size()) return MMSYSERR_BADDEVICEID;
    if (!mConfig.outputs[iDevice].isCard || !validWaveFormat(iFormat)) return WAVERR_BADFORMAT;
    if (mOut) return MMSYSERR_ALLOCATED;
    simulateToNow();
    const double rate = iFormat.nSamplesPerSec;
    mOutConverter.reset();
    if (rate != mCore->deviceRate()) {
        DuplexCore* core = mCore.get();
        mOutConverter = std::make_unique<RateConverter>(rate, mCore->deviceRate(), ConverterQuality::Fast,
                                                        [core](float* o, int n) { return core->renderFloat(o, n); });
        if (!mOutConverter->ok()) {
            mOutConverter.reset();
            return MMSYSERR_NOMEM;
        }
    }
    mTap.clear();
    mCore->outOpen(iFormat.wBitsPerSample / 8, rate, mOutConverter.get());
    settle();
    mOutRate = rate;
    mOut = mNextHandle++;
    oHandle = mOut;
    log(QStringLiteral("waveOutOpen %1 Hz %2 bit").arg(iFormat.nSamplesPerSec).arg(iFormat.wBitsPerSample));
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveOutPrepareHeader(HWAVEOUT iHandle, int iHeader, uint32_t iBytes) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveOutPrepareHeader)) return r;
    simulateToNow();
    return mCore->outPrepare(iHeader, iBytes);
}

MMRESULT JigBackend::waveOutLoadHeader(HWAVEOUT iHandle, int iHeader, const void* iData, uint32_t iBytes) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveOutLoadHeader)) return r;
    simulateToNow();
    return mCore->outLoad(iHeader, iData, iBytes);
}

MMRESULT JigBackend::waveOutWrite(HWAVEOUT iHandle, int iHeader, uint32_t iLoopFlags, uint32_t iLoops) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveOutWrite)) return r;
    simulateToNow();
    uint64_t ticket = 0;
    const MMRESULT r = mCore->outWrite(iHeader, iLoopFlags, iLoops, ticket);
    if (r != MMSYSERR_NOERROR) return r;
    settle();
    WaveHdr h;
    mCore->outHeader(iHeader, h);
    log(QStringLiteral("waveOutWrite %1: %2 bytes, loops %3").arg(iHeader).arg(h.dwBufferLength).arg(iLoops));
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveOutGetHeader(HWAVEOUT iHandle, int iHeader, WaveHdr& oHeader) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveOutGetHeader)) return r;
    simulateToNow();
    return mCore->outHeader(iHeader, oHeader);
}

MMRESULT JigBackend::waveOutGetPosition(HWAVEOUT iHandle, uint64_t& oSamples) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    simulateToNow();
    oSamples = mCore->outPlayed();
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveOutBreakLoop(HWAVEOUT iHandle) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveOutBreakLoop)) return r;
    simulateToNow();
    mCore->outBreak();
    settle();
    log(QStringLiteral("waveOutBreakLoop"));
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveOutReset(HWAVEOUT iHandle) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveOutReset)) return r;
    simulateToNow();
    mCore->outReset();
    settle();
    log(QStringLiteral("waveOutReset"));
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveOutUnprepareHeader(HWAVEOUT iHandle, int iHeader) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveOutUnprepareHeader)) return r;
    simulateToNow();
    return mCore->outUnprepare(iHeader);
}

MMRESULT JigBackend::waveOutClose(HWAVEOUT iHandle) {
    if (!iHandle || iHandle != mOut) return MMSYSERR_INVALHANDLE;
    const MMRESULT r = fault(SoundCall::WaveOutClose);
    // Released whatever happened before.
    simulateToNow();
    mCore->outReset();
    mCore->outClose();
    settle();
    mCore->outRelease();
    mOutConverter.reset();
    mOut = 0;
    if (!mIn) mClosedAt = mFrame;
    log(QStringLiteral("waveOutClose"));
    return r;
}

// ------------------------------------------------------------------- wave input

uint32_t JigBackend::waveInGetNumDevs() { return uint32_t(mConfig.inputs.size()); }

MMRESULT JigBackend::waveInGetDevCaps(uint32_t iDevice, WaveInCaps& oCaps) {
    if (const MMRESULT r = fault(SoundCall::WaveInGetDevCaps)) return r;
    if (iDevice >= mConfig.inputs.size()) return MMSYSERR_BADDEVICEID;
    const JigInputDevice& d = mConfig.inputs[iDevice];
    if (d.capsError != MMSYSERR_NOERROR) return d.capsError;
    oCaps = d.caps;
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveInOpen(HWAVEIN& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat) {
    oHandle = 0;
    if (const MMRESULT r = fault(SoundCall::WaveInOpen)) return r;
    if (iDevice >= mConfig.inputs.size()) return MMSYSERR_BADDEVICEID;
    if (!mConfig.inputs[iDevice].isCard || !validWaveFormat(iFormat)) return WAVERR_BADFORMAT;
    if (mIn) return MMSYSERR_ALLOCATED;
    simulateToNow();
    const double rate = iFormat.nSamplesPerSec;
    mInConverter.reset();
    if (rate != mCore->deviceRate()) {
        DuplexCore* core = mCore.get();
        mInConverter = std::make_unique<RateConverter>(mCore->deviceRate(), rate, ConverterQuality::Fast,
                                                       [core](const float* d, int n) { core->captureFloat(d, n); });
        if (!mInConverter->ok()) {
            mInConverter.reset();
            return MMSYSERR_NOMEM;
        }
    }
    mCore->inOpen(iFormat.wBitsPerSample / 8, rate, mInConverter.get());
    settle();
    mIn = mNextHandle++;
    oHandle = mIn;
    log(QStringLiteral("waveInOpen %1 Hz %2 bit").arg(iFormat.nSamplesPerSec).arg(iFormat.wBitsPerSample));
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveInPrepareHeader(HWAVEIN iHandle, int iHeader, uint32_t iBytes) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveInPrepareHeader)) return r;
    simulateToNow();
    return mCore->inPrepare(iHeader, iBytes);
}

MMRESULT JigBackend::waveInAddBuffer(HWAVEIN iHandle, int iHeader) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveInAddBuffer)) return r;
    simulateToNow();
    uint64_t ticket = 0;
    const MMRESULT r = mCore->inAddBuffer(iHeader, ticket);
    if (r == MMSYSERR_NOERROR) settle();
    return r;
}

MMRESULT JigBackend::waveInStart(HWAVEIN iHandle, WaveInStartMode iMode) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveInStart)) return r;
    if (iMode != WAVEIN_START_NOW && iMode != WAVEIN_START_WITH_OUTPUT) return MMSYSERR_INVALFLAG;
    simulateToNow();
    mCore->inStart(iMode);
    settle();
    log(iMode == WAVEIN_START_NOW ? QStringLiteral("waveInStart") : QStringLiteral("waveInStart with the output"));
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveInGetHeader(HWAVEIN iHandle, int iHeader, WaveHdr& oHeader) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveInGetHeader)) return r;
    simulateToNow();
    return mCore->inHeader(iHeader, oHeader);
}

MMRESULT JigBackend::waveInReadHeader(HWAVEIN iHandle, int iHeader, void* oData, uint32_t iBytes) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveInReadHeader)) return r;
    simulateToNow();
    return mCore->inRead(iHeader, oData, iBytes);
}

MMRESULT JigBackend::waveInStop(HWAVEIN iHandle) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveInStop)) return r;
    simulateToNow();
    mCore->inStop();
    settle();
    log(QStringLiteral("waveInStop"));
    if (const QString fault = mCore->inStopFault(); !fault.isEmpty()) {
        mDetail = fault;
        return MMSYSERR_ERROR;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveInReset(HWAVEIN iHandle) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveInReset)) return r;
    simulateToNow();
    mCore->inReset();
    settle();
    log(QStringLiteral("waveInReset"));
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::waveInUnprepareHeader(HWAVEIN iHandle, int iHeader) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::WaveInUnprepareHeader)) return r;
    simulateToNow();
    return mCore->inUnprepare(iHeader);
}

MMRESULT JigBackend::waveInClose(HWAVEIN iHandle) {
    if (!iHandle || iHandle != mIn) return MMSYSERR_INVALHANDLE;
    const MMRESULT r = fault(SoundCall::WaveInClose);
    simulateToNow();
    mCore->inReset();
    mCore->inClose();
    settle();
    mCore->inRelease();
    mInConverter.reset();
    mIn = 0;
    if (!mOut) mClosedAt = mFrame;
    log(QStringLiteral("waveInClose"));
    return r;
}

// ------------------------------------------------------------------------ mixer

uint32_t JigBackend::mixerGetNumDevs() { return uint32_t(mConfig.mixers.size()); }

MMRESULT JigBackend::mixerGetDevCaps(uint32_t iMixer, MixerCaps& oCaps) {
    if (const MMRESULT r = fault(SoundCall::MixerGetDevCaps)) return r;
    if (iMixer >= mConfig.mixers.size()) return MMSYSERR_BADDEVICEID;
    oCaps = mConfig.mixers[iMixer].caps;
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::mixerOpen(HMIXER& oHandle, uint32_t iMixer) {
    oHandle = 0;
    if (const MMRESULT r = fault(SoundCall::MixerOpen)) return r;
    if (iMixer >= mConfig.mixers.size()) return MMSYSERR_BADDEVICEID;
    oHandle = mNextHandle++;
    mMixers[oHandle] = iMixer;
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::mixerClose(HMIXER iHandle) {
    if (!mMixers.erase(iHandle)) return MMSYSERR_INVALHANDLE;
    return fault(SoundCall::MixerClose);
}

MixerModel* JigBackend::mixerOf(HMIXER iHandle) {
    auto it = mMixers.find(iHandle);
    if (it == mMixers.end() || it->second >= mConfig.mixers.size()) return nullptr;
    return &mConfig.mixers[it->second];
}

MMRESULT JigBackend::mixerGetLineInfoDestination(HMIXER iHandle, uint32_t iDestination, MixerLine& oLine) {
    MixerModel* m = mixerOf(iHandle);
    if (!m) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::MixerGetLineInfo)) return r;
    return m->destinationInfo(iDestination, oLine);
}

MMRESULT JigBackend::mixerGetLineInfoSource(HMIXER iHandle, uint32_t iDestination, uint32_t iSource, MixerLine& oLine) {
    MixerModel* m = mixerOf(iHandle);
    if (!m) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::MixerGetLineInfo)) return r;
    return m->sourceInfo(iDestination, iSource, oLine);
}

MMRESULT JigBackend::mixerGetLineControls(HMIXER iHandle, uint32_t iLineID, std::vector<MixerControl>& oControls) {
    MixerModel* m = mixerOf(iHandle);
    if (!m) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::MixerGetLineControls)) return r;
    return m->lineControls(iLineID, oControls);
}

MMRESULT JigBackend::mixerGetControlDetails(HMIXER iHandle, MixerControlDetails& ioDetails) {
    MixerModel* m = mixerOf(iHandle);
    if (!m) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::MixerGetControlDetails)) return r;
    const MixerControlModel* c = nullptr;
    if (const MMRESULT r = m->checkGet(ioDetails, c)) return r;
    if (c->role == MixerRole::PeakMeter) {
        simulateToNow();
        ioDetails.paDetails[0] = mChain->peakValue;
        return MMSYSERR_NOERROR;
    }
    std::copy(c->values.begin(), c->values.end(), ioDetails.paDetails);
    return MMSYSERR_NOERROR;
}

MMRESULT JigBackend::mixerGetControlDetailsListText(HMIXER iHandle, const MixerControlDetails& iDetails,
                                                    std::vector<MixerListText>& oItems) {
    MixerModel* m = mixerOf(iHandle);
    if (!m) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::MixerGetListText)) return r;
    return m->listText(iDetails, oItems);
}

MMRESULT JigBackend::mixerSetControlDetails(HMIXER iHandle, const MixerControlDetails& iDetails) {
    MixerModel* m = mixerOf(iHandle);
    if (!m) return MMSYSERR_INVALHANDLE;
    if (const MMRESULT r = fault(SoundCall::MixerSetControlDetails)) return r;
    const MixerControlModel* c = nullptr;
    std::vector<int32_t> values;
    if (const MMRESULT r = m->checkSet(iDetails, c, values)) return r;
    simulateToNow();   // what played so far played at the old setting
    m->control(iDetails.dwControlID)->values = values;
    updateGains();
    return MMSYSERR_NOERROR;
}

}
