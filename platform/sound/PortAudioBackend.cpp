#include "platform/sound/PortAudioBackend.h"
#include "platform/sound/AlsaMixer.h"
#include "platform/sound/DeviceFormats.h"
#include "platform/sound/LatencyLadder.h"
#include "platform/sound/LibraryThread.h"
#include "platform/sound/RateConverter.h"
#include "platform/sound/StreamShapes.h"
#include "platform/sound/ToneCheck.h"
#include "platform/sound/WaveEngine.h"
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <linux/futex.h>
#include <portaudio.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace sound {
namespace {
constexpr int kMaxFrames = 4096;

// Seconds on the steady clock, for the latency step's quiet stretches.
double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
// Left to the host: a fixed size makes some (the PulseAudio plugin) take
// seconds to deliver a duplex stream's first block.
constexpr unsigned long kFramesPerBuffer = paFramesPerBufferUnspecified;
// Some hosts hold a duplex stream's first blocks back for two seconds.
constexpr auto kCallbackDeadline = std::chrono::seconds(5);
// The host's own round-trip figure is read from the blocks' times, as the
// least figure of each quarter second (a host may date a short block a whole
// block late). It is steady when eight such figures in a row (two seconds) lie
// within two milliseconds of each other: the PulseAudio plugin reports figures
// far too large for up to a second or two after the start, and lets its figure
// wander by a millisecond or so while the stream runs. It is never used to
// align a recording (it can be a whole server block off, for as long as the
// stream runs); a steady figure only says the host has settled, and a figure
// that jumps says its buffering changed.
constexpr double kTimingWindowSeconds = 0.25;
constexpr int kSteadyWindows = 8;
constexpr double kSteadyTolerance = 0.002;
// A change between two windows' figures larger than this (seconds, or this
// share of the figure on a long loop, where the figures wander more) is a
// jump; a whole server block is always one.
constexpr double kJumpTolerance = 0.020;
constexpr double kJumpShare = 0.03;
// No loop (filter sinks, network audio, Bluetooth) is longer than this.
constexpr double kMaxLoopSeconds = 2.0;
// How long a card's first open waits for the host to settle.
constexpr auto kSettleDeadline = std::chrono::seconds(4);
// The loop delay is measured with one sample of this height played into
// silence and found in what comes back; what is recorded before it must stay
// below a quarter of its height.
constexpr float kMarkerHeight = 0.5f;
constexpr float kMarkerLeast = 0.002f;
constexpr double kMarkerTail = 0.05;
constexpr int kMarkerAttempts = 3;

MMRESULT fromPa(PaError iError) {
    switch (iError) {
    case paNoError: return MMSYSERR_NOERROR;
    case paInvalidSampleRate:
    case paInvalidChannelCount:
    case paSampleFormatNotSupported: return WAVERR_BADFORMAT;
    case paDeviceUnavailable: return MMSYSERR_ALLOCATED;
    case paInsufficientMemory: return MMSYSERR_NOMEM;
    case paInvalidDevice: return MMSYSERR_BADDEVICEID;
    default: return MMSYSERR_ERROR;
    }
}

QString noAnswerText() { return QStringLiteral("The sound device does not answer."); }

// PortAudio's calls, one at a time (it is not thread-safe).
LibraryThread& library() {
    static auto* t = new LibraryThread;
    return *t;
}

// The mixers' calls. Each mixer is a connection of its own: one stuck for
// good (the server's control plugin can wait forever for a reply lost while
// the server was stopped) is left to its thread, and the next call gets a
// fresh one.
LibraryThread& mixerThread() {
    static std::atomic<LibraryThread*> t{new LibraryThread};
    static std::atomic<std::chrono::steady_clock::rep> stuckSince{0};
    LibraryThread* current = t.load();
    if (!current->stuck()) {
        stuckSince = 0;
        return *current;
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    if (stuckSince == 0) stuckSince = now;
    if (now - stuckSince < std::chrono::duration_cast<std::chrono::steady_clock::duration>(LibraryThread::kDeadline).count())
        return *current;
    stuckSince = 0;
    t.store(new LibraryThread);
    return *t.load();
}

QString untrustedTimingText() {
    return QStringLiteral("The sound device's timing cannot be trusted: the recording could not be aligned to the signal.");
}

int cardNumber(const QString& iName) {
    static const QRegularExpression hw(QStringLiteral("\\(hw:(\\d+),\\d+\\)"));
    const QRegularExpressionMatch m = hw.match(iName);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}
}

struct PortAudioBackend::Device {
    int pa = -1;
    QString name;
    int maxIn = 0;
    int maxOut = 0;
    int hostType = 0;
    bool probed = false;
    uint32_t formats = 0;
};

struct PortAudioBackend::Card {
    int pa = -1;
    PaStream* stream = nullptr;
    std::unique_ptr<DuplexCore> core;
    double rate = 0;
    int outChannels = 0;
    int inChannels = 0;
    std::vector<float> inMono = std::vector<float>(kMaxFrames);
    std::vector<float> outMono = std::vector<float>(kMaxFrames);
    int64_t counter = 0;
    double outLatency = 0;   // frames, from the stream's own figures
    // Frames from a sample played to its return: measured with the marker.
    std::atomic<double> loopDelay{0};
    bool delayKnown = false;
    // A recording of a tone held something else at its start: the delay is
    // measured again as soon as nothing plays.
    bool delayDoubted = false;
    bool loopSilent = false;                 // see silenceOfASilentLoop
    double outRate = 0;                      // the open output's and input's sample rates
    double inRate = 0;
    // Counts the host's timing jumps and lost blocks; alignment holds while
    // it reads what it read when the delay was measured.
    std::atomic<uint32_t> timingEpoch{0};
    std::atomic<int> lostBlocks{0};          // after the stream's first half second
    uint32_t delayEpoch = 0;
    bool alignedRecording = false;
    bool refusedBefore = false;              // the last aligned recording was refused
    bool outIdle = true;                     // the output open but nothing written since its reset
    // The marker: the callback plays it at probeFrame and keeps the input from there.
    std::vector<float> probe;
    std::atomic<int> probeState{0};   // 0 off, 1 wanted (UI), 2 capturing (callback)
    std::atomic<int> probeFilled{0};
    int64_t probeFrame = 0;
    // The callback's round-trip reading.
    std::atomic<double> hostRoundTrip{0};
    double timingRef = -1;
    double deviant = -1;                     // a figure off the reference, not yet confirmed
    std::atomic<bool> timingDoubtful{false};
    std::atomic<bool> timingRefReset{false};
    int64_t windowEnd = 0;
    double windowLeast = std::numeric_limits<double>::infinity();
    std::array<double, kSteadyWindows> windowFigures{};
    int windowCount = 0;
    int windowsWithout = 0;
    std::atomic<bool> timingSteady{false};
    std::unique_ptr<RateConverter> outConverter;
    std::unique_ptr<RateConverter> inConverter;
    HWAVEOUT out = 0;
    HWAVEIN in = 0;
    // Counts the blocks the callback has processed; a thread waiting for the
    // next one sleeps on it (see waitForBlock), and the callback wakes it.
    std::atomic<uint32_t> blocks{0};
    std::atomic<int> blockWaiters{0};
    // The stream's lost blocks as last answered, and its quiet stretch since.
    StreamLossWatch lossWatch;
};

namespace {
// A silent loop (its marker came back as nothing over the whole window: a dead
// unit, an output that reaches nothing) gives a steady tone's recording back as
// nothing (no sample as high as the least marker found): that silence is read
// wherever it began, so that a dead unit fails. All else is refused as before.
bool silenceOfASilentLoop(const PortAudioBackend::Card& iCard) {
    if (!iCard.loopSilent || iCard.delayKnown || !iCard.alignedRecording) return false;
    const DuplexCore::StartedRecording started = iCard.core->inStarted();
    if (started.outHeader == 0 || started.firstInHeader == 0) return false;
    uint32_t played = 0, recorded = 0;
    const int16_t* tone = iCard.core->outSamples(started.outHeader, played);
    if (tonecheck::pureToneAngle(tone, played) < 0) return false;
    const int16_t* recording = iCard.core->inSamples(started.firstInHeader, recorded);
    const int least = int(std::ceil(kMarkerLeast * 32768));
    return recording && recorded > 0 &&
           std::none_of(recording, recording + recorded, [least](int16_t iS) { return std::abs(int(iS)) >= least; });
}

// A window's host figure against the one before: a change that holds for two
// windows is a jump; one window off alone is not (the server rewinds what it
// buffered now and then, and a figure taken across a rewind is no delay).
void noteHostFigure(PortAudioBackend::Card& c, double iFigure) {
    const double tolerance = std::max(kJumpTolerance * c.rate, kJumpShare * std::abs(c.timingRef));
    if (c.timingRefReset.exchange(false, std::memory_order_acq_rel)) {
        c.timingRef = iFigure;
        c.deviant = -1;
    } else if (c.timingRef < 0) {
        return;
    } else if (std::abs(iFigure - c.timingRef) <= tolerance) {
        c.timingRef = iFigure;
        c.deviant = -1;
    } else if (c.deviant >= 0 && std::abs(iFigure - c.deviant) <= tolerance) {
        c.timingEpoch.fetch_add(1, std::memory_order_acq_rel);
        c.timingRef = iFigure;
        c.deviant = -1;
    } else {
        c.deviant = iFigure;
    }
    c.timingDoubtful.store(c.deviant >= 0, std::memory_order_release);
}

// One block's round trip, and the end of a window of them.
void noteRoundTrip(PortAudioBackend::Card& c, const PaStreamCallbackTimeInfo* iTime, bool iUse) {
    if (c.counter >= c.windowEnd) {
        const double least = c.windowLeast;
        if (least <= kMaxLoopSeconds * c.rate) {
            c.windowFigures[size_t(c.windowCount % kSteadyWindows)] = least;
            ++c.windowCount;
            c.hostRoundTrip = least;
            noteHostFigure(c, least);
            if (c.windowCount >= kSteadyWindows) {
                const auto [lo, hi] = std::minmax_element(c.windowFigures.begin(), c.windowFigures.end());
                if (*hi - *lo <= kSteadyTolerance * c.rate) c.timingSteady.store(true, std::memory_order_release);
            }
        } else {
            c.windowCount = 0;   // a figure that cannot be right, or none: start again
        }
        // A host that gives no times at all leaves nothing to wait for.
        c.windowsWithout = std::isfinite(least) ? 0 : c.windowsWithout + 1;
        if (c.windowsWithout >= 2 * kSteadyWindows) c.timingSteady.store(true, std::memory_order_release);
        c.windowLeast = std::numeric_limits<double>::infinity();
        c.windowEnd = c.counter + std::llround(kTimingWindowSeconds * c.rate);
    }
    if (iUse && iTime && iTime->currentTime > 0 && iTime->inputBufferAdcTime > 0 &&
        iTime->inputBufferAdcTime < iTime->currentTime && iTime->outputBufferDacTime > iTime->currentTime) {
        const double r = (iTime->outputBufferDacTime - iTime->inputBufferAdcTime) * c.rate;
        c.windowLeast = std::min(c.windowLeast, r);
    }
}

// The marker: played as the first frame of a block, the input kept from that
// block on, so that where it comes back is the loop delay in frames.
void probeStep(PortAudioBackend::Card& c, const float* iIn, float* oOut, unsigned long iFrames, int64_t iBlockStart) {
    int state = c.probeState.load(std::memory_order_acquire);
    if (state == 0 || !iIn || !oOut) return;
    if (state == 1) {
        c.probeFrame = iBlockStart;
        c.probeFilled.store(0, std::memory_order_release);
        for (int ch = 0; ch < c.outChannels; ++ch) oOut[ch] = kMarkerHeight;
        c.probeState.store(2, std::memory_order_release);
    }
    const int64_t from = iBlockStart - c.probeFrame;
    const int64_t room = int64_t(c.probe.size()) - from;
    const int64_t n = std::min<int64_t>(int64_t(iFrames), room);
    for (int64_t i = 0; i < n; ++i) c.probe[size_t(from + i)] = iIn[i * c.inChannels];
    if (n > 0) c.probeFilled.store(int(from + n), std::memory_order_release);
}

// The device callback: moves samples through the card's preallocated buffers.
int streamCallback(const void* iInput, void* oOutput, unsigned long iFrames, const PaStreamCallbackTimeInfo* iTime,
                   PaStreamCallbackFlags iStatus, void* iCard) {
    auto& c = *static_cast<PortAudioBackend::Card*>(iCard);
    // Samples lost on either side spoil a recording under way: its stop says so.
    if (iStatus & (paInputOverflow | paInputUnderflow | paOutputUnderflow)) c.core->noteStreamGap();
    // A block lost or made up on either side moves the input against the output.
    if (iStatus & (paInputUnderflow | paInputOverflow | paOutputUnderflow | paOutputOverflow)) {
        c.timingEpoch.fetch_add(1, std::memory_order_acq_rel);
        // (The first blocks of a stream are primed, and flagged, by some hosts.)
        if (double(c.counter) >= c.rate / 2) c.lostBlocks.fetch_add(1, std::memory_order_acq_rel);
    }
    const int64_t blockStart = c.counter;
    const auto* in = static_cast<const float*>(iInput);
    auto* out = static_cast<float*>(oOutput);
    double latency = c.outLatency;
    // The block's own output time where the host gives one, else the stream's
    // stated latency; the first half second is taken at the stated figure, as
    // some hosts date their first blocks wrongly.
    const bool started = double(c.counter) >= c.rate / 2;
    if (started && iTime && iTime->currentTime > 0 && iTime->outputBufferDacTime > iTime->currentTime) {
        const double l = (iTime->outputBufferDacTime - iTime->currentTime) * c.rate;
        if (l < 2 * c.rate) latency = l;
    }
    noteRoundTrip(c, iTime, started && in);
    const double roundTrip = c.loopDelay.load(std::memory_order_acquire);
    unsigned long done = 0;
    while (done < iFrames) {
        const int n = int(std::min<unsigned long>(iFrames - done, kMaxFrames));
        if (in)
            for (int i = 0; i < n; ++i) c.inMono[i] = in[(done + i) * c.inChannels];
        c.core->process(in ? c.inMono.data() : nullptr, out ? c.outMono.data() : nullptr, n, c.counter, roundTrip,
                        c.counter - std::llround(latency));
        if (out)
            for (int i = 0; i < n; ++i)
                for (int ch = 0; ch < c.outChannels; ++ch) out[(done + i) * c.outChannels + ch] = c.outMono[i];
        c.counter += n;
        done += n;
    }
    probeStep(c, in, out, iFrames, blockStart);
    // A wake-up costs a system call, and only when a thread waits.
    c.blocks.fetch_add(1, std::memory_order_seq_cst);
    if (c.blockWaiters.load(std::memory_order_seq_cst) > 0)
        syscall(SYS_futex, reinterpret_cast<uint32_t*>(&c.blocks), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
    return paContinue;
}
}

// The library's start-up, which a stalled sound server can hold up for as
// long as it stays stalled (the host connects to it).
struct PortAudioBackend::InitState {
    std::atomic<int> state{0};          // 0 running, 1 done, 2 failed
    PaError error = paNoError;
};

PortAudioBackend::PortAudioBackend() : mInit(std::make_shared<InitState>()) {
    // Never start a JACK server just to list devices.
    setenv("JACK_NO_START_SERVER", "1", 0);
    AlsaMixer::quietLibrary();
    // The JACK client library reports a missing JACK server on standard error
    // while PortAudio looks for one; that is no error of ours.
    std::fflush(stderr);
    const int savedStderr = dup(STDERR_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    if (savedStderr >= 0 && devNull >= 0) dup2(devNull, STDERR_FILENO);
    std::shared_ptr<InitState> init = mInit;
    const bool answered = library().run([init] {
        init->error = Pa_Initialize();
        init->state.store(init->error == paNoError ? 1 : 2, std::memory_order_release);
    });
    if (savedStderr >= 0) {
        dup2(savedStderr, STDERR_FILENO);
        close(savedStderr);
    }
    if (devNull >= 0) close(devNull);
    if (!answered) {
        mDetail = noAnswerText();
        return;
    }
    started();
}

// The devices, once the library has started (also when it answers late: the
// card is absent until then).
bool PortAudioBackend::started() {
    if (mInitialised) return true;
    const int state = mInit->state.load(std::memory_order_acquire);
    if (state == 0 || library().stuck()) return false;
    if (state == 2) {
        mDetail = QString::fromUtf8(Pa_GetErrorText(mInit->error));
        return false;
    }
    mInitialised = true;
    const int count = Pa_GetDeviceCount();
    auto add = [&](std::vector<std::unique_ptr<Device>>& oList, int iPa) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(iPa);
        if (!info) return;
        auto d = std::make_unique<Device>();
        d->pa = iPa;
        d->name = QString::fromUtf8(info->name);
        d->maxIn = info->maxInputChannels;
        d->maxOut = info->maxOutputChannels;
        const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
        d->hostType = host ? int(host->type) : 0;
        oList.push_back(std::move(d));
    };
    const int defOut = Pa_GetDefaultOutputDevice();
    const int defIn = Pa_GetDefaultInputDevice();
    if (defOut >= 0) add(mOutputs, defOut);
    if (defIn >= 0) add(mInputs, defIn);
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!info) continue;
        if (info->maxOutputChannels > 0 && i != defOut) add(mOutputs, i);
        if (info->maxInputChannels > 0 && i != defIn) add(mInputs, i);
    }
    return true;
}

PortAudioBackend::~PortAudioBackend() {
    for (auto& [h, m] : mMixers)
        if (m.mixer) mixerThread().post([m = std::move(m.mixer)]() mutable { m.reset(); });
    mMixers.clear();
    for (auto it = mCards.begin(); it != mCards.end();) {
        const int pa = it->first;
        ++it;
        closeCard(pa);
    }
    if (mInitialised) {
        library().run([] { Pa_Terminate(); });
    } else {
        // Started after all, once the server answered: undone.
        library().post([init = mInit] {
            if (init->state.load(std::memory_order_acquire) == 1) Pa_Terminate();
            init->state.store(2, std::memory_order_release);
        });
    }
}

MMRESULT PortAudioBackend::fail(MMRESULT iCode, const QString& iDetail) {
    mDetail = iDetail;
    return iCode;
}

// -------------------------------------------------------------------- devices

uint32_t PortAudioBackend::waveOutGetNumDevs() { return started() ? uint32_t(mOutputs.size()) : 0; }
uint32_t PortAudioBackend::waveInGetNumDevs() { return started() ? uint32_t(mInputs.size()) : 0; }

MMRESULT PortAudioBackend::waveOutGetDevCaps(uint32_t iDevice, WaveOutCaps& oCaps) {
    if (iDevice >= mOutputs.size()) return MMSYSERR_BADDEVICEID;
    Device& d = *mOutputs[iDevice];
    if (!d.probed) {
        auto formats = std::make_shared<uint32_t>(0);
        if (!library().run([formats, pa = d.pa, n = d.maxOut] { *formats = probeFormats(pa, n, false); }, {},
                           LibraryThread::Refused::Dropped))
            return fail(MMSYSERR_ERROR, noAnswerText());
        d.formats = *formats;
        d.probed = true;
    }
    oCaps = WaveOutCaps();
    oCaps.wMid = uint16_t(d.hostType);
    oCaps.wPid = uint16_t(cardNumber(d.name));
    oCaps.vDriverVersion = uint32_t(Pa_GetVersion());
    oCaps.szPname = d.name;
    oCaps.dwFormats = d.formats;
    oCaps.wChannels = uint16_t(std::min(2, d.maxOut));
    // Positions come from the stream's own timing.
    oCaps.dwSupport = WAVECAPS_SAMPLEACCURATE;
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::waveInGetDevCaps(uint32_t iDevice, WaveInCaps& oCaps) {
    if (iDevice >= mInputs.size()) return MMSYSERR_BADDEVICEID;
    Device& d = *mInputs[iDevice];
    if (!d.probed) {
        auto formats = std::make_shared<uint32_t>(0);
        if (!library().run([formats, pa = d.pa, n = d.maxIn] { *formats = probeFormats(pa, n, true); }, {},
                           LibraryThread::Refused::Dropped))
            return fail(MMSYSERR_ERROR, noAnswerText());
        d.formats = *formats;
        d.probed = true;
    }
    oCaps = WaveInCaps();
    oCaps.wMid = uint16_t(d.hostType);
    oCaps.wPid = uint16_t(cardNumber(d.name));
    oCaps.vDriverVersion = uint32_t(Pa_GetVersion());
    oCaps.szPname = d.name;
    oCaps.dwFormats = d.formats;
    oCaps.wChannels = uint16_t(std::min(2, d.maxIn));
    return MMSYSERR_NOERROR;
}

// ---------------------------------------------------------------------- cards

namespace {
// Stops and closes a card's stream; runs on the library thread.
void stopStream(PortAudioBackend::Card& c) {
    if (!c.stream) return;
    Pa_AbortStream(c.stream);
    Pa_CloseStream(c.stream);
    c.stream = nullptr;
}

// What became of one shape's stream.
struct StreamOpening {
    PaError error = paNoError;
    bool supported = false;     // the host takes the shape
    bool startFailed = false;   // opened, but it would not start
};

// Checks, opens and starts the card's stream there, at the card's rate and
// channels; a stream that opens after the station gave up on it is closed
// there too. False when the library does not answer.
bool tryShape(const std::shared_ptr<PortAudioBackend::Card>& iCard, const PaStreamParameters& iOut,
              const PaStreamParameters& iIn, StreamOpening& oOpening) {
    auto opening = std::make_shared<StreamOpening>();
    const bool answered = library().run(
        [card = iCard, opening, ip = iIn, op = iOut, in = iCard->inChannels > 0, out = iCard->outChannels > 0,
         rate = iCard->rate]() mutable {
            PaStreamParameters* pin = in ? &ip : nullptr;
            PaStreamParameters* pout = out ? &op : nullptr;
            opening->error = Pa_IsFormatSupported(pin, pout, rate);
            if (opening->error != paFormatIsSupported) return;
            opening->supported = true;
            PaStream* stream = nullptr;
            opening->error =
                Pa_OpenStream(&stream, pin, pout, rate, kFramesPerBuffer, paNoFlag, &streamCallback, card.get());
            if (opening->error != paNoError) return;
            if (const PaStreamInfo* si = Pa_GetStreamInfo(stream)) {
                card->outLatency = si->outputLatency * rate;
                card->loopDelay.store((si->outputLatency + si->inputLatency) * rate);
            }
            opening->error = Pa_StartStream(stream);
            if (opening->error != paNoError) {
                Pa_CloseStream(stream);
                opening->startFailed = true;
                return;
            }
            card->stream = stream;
        },
        [card = iCard] { stopStream(*card); }, LibraryThread::Refused::Dropped);
    if (answered) oOpening = *opening;
    return answered;
}

// A duplex stream waits until the host has settled (or the deadline has
// passed): its lost blocks are judged, and the marker measures its loop, from
// then on.
void waitUntilSettled(PortAudioBackend::Card& ioCard) {
    ioCard.probe.assign(size_t(std::lround((kMaxLoopSeconds + 2 * kMarkerTail) * ioCard.rate)), 0.0f);
    const auto deadline = std::chrono::steady_clock::now() + kSettleDeadline;
    while (!ioCard.timingSteady.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

bool duplex(const PortAudioBackend::Card& iCard) { return iCard.outChannels > 0 && iCard.inChannels > 0; }
}

MMRESULT PortAudioBackend::openCard(int iPaDevice, double iWantedRate, bool iForOutput, Card*& oCard) {
    oCard = nullptr;
    std::shared_ptr<Card> card;
    // A duplex stream that loses blocks once settled has too low a latency
    // for this host: it is opened again one step up, so a card opens at most
    // once per step.
    for (size_t attempt = 1;; ++attempt) {
        if (const MMRESULT r = openStream(iPaDevice, iWantedRate, iForOutput, card)) return r;
        if (!duplex(*card)) break;
        waitUntilSettled(*card);
        const bool lost = card->lostBlocks.load(std::memory_order_acquire) > 0;
        if (!lost || attempt == LatencyLadder::kSteps.size() || !ladder(iPaDevice).lost()) break;
        library().run([card] { stopStream(*card); });
    }
    // A recording aligned to a signal needs the true loop delay.
    if (duplex(*card)) measureLoop(*card, false);
    card->lossWatch.opened(steadySeconds());
    oCard = card.get();
    mCards[iPaDevice] = std::move(card);
    return MMSYSERR_NOERROR;
}

// Opens and starts the card's stream at its current latency step, in the
// first shape (see StreamShapes) the host takes and opens.
MMRESULT PortAudioBackend::openStream(int iPaDevice, double iWantedRate, bool iForOutput, std::shared_ptr<Card>& oCard) {
    oCard.reset();
    const PaDeviceInfo* info = Pa_GetDeviceInfo(iPaDevice);
    if (!info) return MMSYSERR_BADDEVICEID;
    if ((iForOutput && info->maxOutputChannels <= 0) || (!iForOutput && info->maxInputChannels <= 0))
        return MMSYSERR_BADDEVICEID;
    PaStreamParameters op{}, ip{};
    op.device = ip.device = iPaDevice;
    op.sampleFormat = ip.sampleFormat = paFloat32;
    // The latency step (see LatencyLadder); the last is the host's own generous figure.
    const LatencyLadder& steps = ladder(iPaDevice);
    op.suggestedLatency = steps.top() ? std::max(info->defaultHighOutputLatency, steps.seconds()) : steps.seconds();
    ip.suggestedLatency = steps.top() ? std::max(info->defaultHighInputLatency, steps.seconds()) : steps.seconds();

    PaError last = paInvalidSampleRate;
    bool lastSupported = true;
    for (const StreamShape& s : streamShapes(iWantedRate, info->defaultSampleRate, info->maxOutputChannels,
                                             info->maxInputChannels, iForOutput)) {
        // An output alone is tried again only where the host took it but did not open it.
        if (s.again && !lastSupported) continue;
        op.channelCount = s.outChannels;
        ip.channelCount = s.inChannels;
        auto card = std::make_shared<Card>();
        card->pa = iPaDevice;
        card->rate = s.rate;
        card->outChannels = s.outChannels;
        card->inChannels = s.inChannels;
        card->core = std::make_unique<DuplexCore>(s.rate);
        StreamOpening opening;
        if (!tryShape(card, op, ip, opening)) return fail(MMSYSERR_ERROR, noAnswerText());
        last = opening.error;
        lastSupported = opening.supported;
        if (opening.startFailed) return fail(fromPa(last), QString::fromUtf8(Pa_GetErrorText(last)));
        if (last != paNoError) continue;
        oCard = std::move(card);
        return MMSYSERR_NOERROR;
    }
    return fail(fromPa(last) == MMSYSERR_NOERROR ? WAVERR_BADFORMAT : fromPa(last),
                QString::fromUtf8(Pa_GetErrorText(last)));
}

void PortAudioBackend::releaseIdleCards() {
    for (auto it = mCards.begin(); it != mCards.end();) {
        Card& c = *it->second;
        ++it;
        if (!c.out && !c.in) closeCard(c.pa);
    }
}

bool PortAudioBackend::usable(const Card& iCard) {
    return iCard.stream && Pa_IsStreamActive(iCard.stream) == 1;
}

double PortAudioBackend::loopSeconds() const {
    for (const auto& [pa, c] : mCards)
        if (c->delayKnown && c->rate > 0) return c->loopDelay.load() / c->rate;
    return 0;
}

double PortAudioBackend::latencySeconds() const {
    for (const auto& [pa, c] : mCards)
        if (c->stream) return ladder(pa).seconds();
    return 0;
}

// The latency step of a card, for as long as the station runs.
LatencyLadder& PortAudioBackend::ladder(int iPaDevice) {
    static std::map<int, LatencyLadder> steps;
    return steps[iPaDevice];
}

// Stops and closes the card's stream there; the call (if given up on) keeps
// the card, which its callback uses, until the stream is closed.
bool PortAudioBackend::closeCard(int iPaDevice) {
    auto it = mCards.find(iPaDevice);
    if (it == mCards.end()) return true;
    std::shared_ptr<Card> card = std::move(it->second);
    mCards.erase(it);
    if (!card->stream) return true;
    return library().run([card] { stopStream(*card); });
}

// Plays the marker into the idle loop and finds it in what comes back. The
// delay is known from then on, until the host's timing jumps or a block is
// lost; a marker not found (the loop silent or noisy) leaves it unknown, and
// aligned recordings are then refused.
bool PortAudioBackend::measureLoop(Card& ioCard, bool iAfterSound) {
    // A block lost while the marker was out, or a marker drowned in what
    // played before, is tried again a few times.
    for (int attempt = 0; attempt < kMarkerAttempts; ++attempt) {
        const int found = measureLoopOnce(ioCard, iAfterSound || attempt > 0);
        if (found != 0) return found > 0;
    }
    return false;
}

// 1: measured; 0: worth another try; -1: nothing came back.
int PortAudioBackend::measureLoopOnce(Card& ioCard, bool iAfterSound) {
    ioCard.delayKnown = ioCard.loopSilent = false;
    if (!usable(ioCard) || ioCard.probe.empty()) return -1;
    // What played last must come back first, or it hides the marker.
    if (iAfterSound) {
        const double loop = std::max(ioCard.loopDelay.load(), ioCard.hostRoundTrip.load());
        std::this_thread::sleep_for(std::chrono::milliseconds(
            std::lround(1000 * (std::min(2 * loop / ioCard.rate, kMaxLoopSeconds) + kMarkerTail))));
    }
    const uint32_t epoch = ioCard.timingEpoch.load(std::memory_order_acquire);
    ioCard.probeState.store(1, std::memory_order_release);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(
                                                                  std::lround(1000 * (kMaxLoopSeconds + 1.0)));
    const int tail = int(std::lround(kMarkerTail * ioCard.rate));
    int onset = -1;
    float peak = 0;
    int peakAt = -1;
    int scanned = 0;
    bool done = false;
    while (!done && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (ioCard.probeState.load(std::memory_order_acquire) != 2) continue;
        const int filled = ioCard.probeFilled.load(std::memory_order_acquire);
        for (; scanned < filled; ++scanned) {
            const float a = std::abs(ioCard.probe[size_t(scanned)]);
            if (a > peak) {
                peak = a;
                peakAt = scanned;
            }
        }
        done = filled >= int(ioCard.probe.size()) || (peak >= kMarkerLeast && filled >= peakAt + tail);
    }
    ioCard.probeState.store(0, std::memory_order_release);
    if (peak >= kMarkerLeast) {
        // The first sample of half the peak's height: a filter or a rate
        // converter in the loop spreads the marker, and its start is the delay.
        onset = peakAt;
        while (onset > 0 && std::abs(ioCard.probe[size_t(onset - 1)]) >= peak / 2) --onset;
        for (int i = 0; i < onset && onset >= 0; ++i)
            if (std::abs(ioCard.probe[size_t(i)]) > peak / 4) onset = -1;
    }
    if (peak < kMarkerLeast) {
        // Silent, when the window heard all of the loop the host reports.
        ioCard.loopSilent = scanned >= int(ioCard.probe.size()) && ioCard.hostRoundTrip.load() < kMaxLoopSeconds * ioCard.rate;
        return -1;
    }
    if (onset < 0 || ioCard.timingEpoch.load(std::memory_order_acquire) != epoch) return 0;
    ioCard.loopDelay.store(double(onset), std::memory_order_release);
    ioCard.timingRefReset.store(true, std::memory_order_release);
    ioCard.delayEpoch = epoch;
    ioCard.delayKnown = true;
    ioCard.delayDoubted = false;
    return 1;
}

bool PortAudioBackend::alignmentHolds(const Card& iCard) {
    return iCard.delayKnown && iCard.timingEpoch.load(std::memory_order_acquire) == iCard.delayEpoch;
}

// The moment nothing plays is the one to measure a delay that no longer
// holds, or that a recording made doubtful.
bool PortAudioBackend::delayInDoubt(const Card& iCard) { return !alignmentHolds(iCard) || iCard.delayDoubted; }

// The host's timing figures are too rough to see a loop that grew by a few
// milliseconds, which a recording started with its tone would take in as the
// tone before (and one started later, while the tone plays, as well). So a
// recording made while a steady tone played is held against that tone:
// anything else in it after the unit's settling refuses it. (A recording of
// anything but a steady tone passes as it is.)
bool PortAudioBackend::recordingHoldsItsTone(const Card& iCard) {
    const DuplexCore::StartedRecording started = iCard.core->inStarted();
    if (started.outHeader == 0 || started.firstInHeader == 0 || iCard.outRate <= 0 || iCard.inRate <= 0) return true;
    // Still playing when the recording ended, so it played all through it.
    WaveHdr header;
    if (iCard.core->outHeader(started.outHeader, header) != MMSYSERR_NOERROR || !(header.dwFlags & WHDR_INQUEUE))
        return true;
    uint32_t played = 0;
    const int16_t* tone = iCard.core->outSamples(started.outHeader, played);
    const double angle = tonecheck::pureToneAngle(tone, played);
    if (angle < 0) return true;
    uint32_t recorded = 0;
    const int16_t* recording = iCard.core->inSamples(started.firstInHeader, recorded);
    const tonecheck::Verdict v =
        tonecheck::checkToneRecording(recording, recorded, angle * iCard.outRate / iCard.inRate, iCard.inRate);
    return v.clean;
}

// Why an aligned recording is refused. A loop delay that changed under it
// means samples were lost or made up between output and input: the station
// measures such a recording again (the loop is measured again first where
// nothing plays then). A second refusal in a row, or a delay never measured,
// is the timing the station cannot trust.
QString PortAudioBackend::refusalText(const Card& iCard) {
    return iCard.delayKnown && !iCard.refusedBefore ? lostSamplesText() : untrustedTimingText();
}

bool PortAudioBackend::firstHeaderFull(const Card& iCard) {
    const int first = iCard.core->inStarted().firstInHeader;
    WaveHdr header;
    return first > 0 && iCard.core->inHeader(first, header) == MMSYSERR_NOERROR && header.dwBufferLength > 0 &&
           header.dwBytesRecorded >= header.dwBufferLength;
}

bool PortAudioBackend::alignedRecordingHolds(Card& iCard) {
    if (!iCard.alignedRecording || silenceOfASilentLoop(iCard)) return true;
    // A figure off by itself may be the start of a jump: the next window tells.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::lround(3000 * kTimingWindowSeconds));
    while (iCard.timingDoubtful.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return alignmentHolds(iCard);
}

// Sleeps until the callback has processed its next block, or iMaxMs: a poll
// of what the callback does then wakes when there can be news, not every
// millisecond (a few per block cost the user-interface thread more than the
// measurement's own arithmetic).
void PortAudioBackend::waitForBlock(Card& iCard, int iMaxMs) {
    static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));
    iCard.blockWaiters.fetch_add(1, std::memory_order_seq_cst);
    const uint32_t seen = iCard.blocks.load(std::memory_order_seq_cst);
    const timespec limit{iMaxMs / 1000, long(iMaxMs % 1000) * 1000000L};
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&iCard.blocks), FUTEX_WAIT_PRIVATE, seen, &limit, nullptr, 0);
    iCard.blockWaiters.fetch_sub(1, std::memory_order_seq_cst);
}

void PortAudioBackend::waitForDevice(int iMaxMs) {
    for (const auto& [pa, c] : mCards)
        if ((c->out || c->in) && c->stream) return waitForBlock(*c, iMaxMs);
}

bool PortAudioBackend::waitFor(Card& iCard, uint64_t iTicket) {
    if (!iCard.stream || Pa_IsStreamActive(iCard.stream) != 1) {
        iCard.core->applyCommands(iCard.counter, iCard.loopDelay.load());
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + kCallbackDeadline;
    while (!iCard.core->processed(iTicket)) {
        if (std::chrono::steady_clock::now() > deadline) {
            // The device stopped calling back: the card is given up (its
            // handles stay until closed) and opened afresh next time.
            const bool answered = closeCard(iCard.pa);
            mDetail = answered ? QStringLiteral("The sound device stopped responding.") : noAnswerText();
            return false;
        }
        waitForBlock(iCard, 5);
    }
    return true;
}

// A handle whose card was given up on (the device stopped answering).
MMRESULT PortAudioBackend::noCard(bool iKnownHandle) {
    return iKnownHandle ? fail(MMSYSERR_ERROR, noAnswerText()) : MMSYSERR_INVALHANDLE;
}

PortAudioBackend::Card* PortAudioBackend::outCard(HWAVEOUT iHandle) {
    auto it = mOutHandles.find(iHandle);
    if (it == mOutHandles.end()) return nullptr;
    auto c = mCards.find(it->second);
    return c == mCards.end() ? nullptr : c->second.get();
}

PortAudioBackend::Card* PortAudioBackend::inCard(HWAVEIN iHandle) {
    auto it = mInHandles.find(iHandle);
    if (it == mInHandles.end()) return nullptr;
    auto c = mCards.find(it->second);
    return c == mCards.end() ? nullptr : c->second.get();
}

// ---------------------------------------------------------------- wave output

MMRESULT PortAudioBackend::waveOutOpen(HWAVEOUT& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat) {
    oHandle = 0;
    if (iDevice >= mOutputs.size()) return MMSYSERR_BADDEVICEID;
    if (!validWaveFormat(iFormat)) return WAVERR_BADFORMAT;
    const int pa = mOutputs[iDevice]->pa;
    Card* card = nullptr;
    if (auto it = mCards.find(pa); it != mCards.end()) {
        card = it->second.get();
        if (card->out || (card->in && card->outChannels == 0)) return MMSYSERR_ALLOCATED;
        // A card kept open that cannot serve (input only, or stopped) is opened afresh.
        if (!card->in && (card->outChannels == 0 || !usable(*card))) {
            closeCard(pa);
            card = nullptr;
        }
        // A card that lost blocks while it was used opens afresh with more
        // latency; one that has run a quiet stretch at a raised step, with less.
        if (card && !card->in &&
            card->lossWatch.reopen(ladder(pa), card->lostBlocks.load(std::memory_order_acquire), steadySeconds())) {
            closeCard(pa);
            card = nullptr;
        }
        // Timing that jumped since the delay was measured: measured again while nothing plays.
        if (card && !card->in && card->inChannels > 0 && delayInDoubt(*card)) measureLoop(*card, true);
    }
    if (!card) {
        releaseIdleCards();
        if (const MMRESULT r = openCard(pa, iFormat.nSamplesPerSec, true, card)) return r;
    }
    const double rate = iFormat.nSamplesPerSec;
    card->outConverter.reset();
    if (rate != card->rate) {
        DuplexCore* core = card->core.get();
        card->outConverter = std::make_unique<RateConverter>(rate, card->rate, ConverterQuality::Best,
                                                             [core](float* o, int n) { return core->renderFloat(o, n); });
        if (!card->outConverter->ok()) {
            card->outConverter.reset();
            if (!card->in) closeCard(pa);
            return MMSYSERR_NOMEM;
        }
    }
    card->core->outOpen(iFormat.wBitsPerSample / 8, rate, card->outConverter.get());
    card->outRate = rate;
    card->outIdle = true;
    card->out = mNextHandle++;
    mOutHandles[card->out] = pa;
    oHandle = card->out;
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::waveOutPrepareHeader(HWAVEOUT iHandle, int iHeader, uint32_t iBytes) {
    Card* c = outCard(iHandle);
    return c ? c->core->outPrepare(iHeader, iBytes) : noCard(mOutHandles.count(iHandle) > 0);
}

MMRESULT PortAudioBackend::waveOutLoadHeader(HWAVEOUT iHandle, int iHeader, const void* iData, uint32_t iBytes) {
    Card* c = outCard(iHandle);
    return c ? c->core->outLoad(iHeader, iData, iBytes) : noCard(mOutHandles.count(iHandle) > 0);
}

MMRESULT PortAudioBackend::waveOutWrite(HWAVEOUT iHandle, int iHeader, uint32_t iLoopFlags, uint32_t iLoops) {
    Card* c = outCard(iHandle);
    if (!c) return noCard(mOutHandles.count(iHandle) > 0);
    uint64_t ticket = 0;
    c->outIdle = false;
    return c->core->outWrite(iHeader, iLoopFlags, iLoops, ticket);
}

MMRESULT PortAudioBackend::waveOutGetHeader(HWAVEOUT iHandle, int iHeader, WaveHdr& oHeader) {
    Card* c = outCard(iHandle);
    return c ? c->core->outHeader(iHeader, oHeader) : noCard(mOutHandles.count(iHandle) > 0);
}

MMRESULT PortAudioBackend::waveOutGetPosition(HWAVEOUT iHandle, uint64_t& oSamples) {
    Card* c = outCard(iHandle);
    if (!c) return MMSYSERR_INVALHANDLE;
    oSamples = c->core->outPlayed();
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::waveOutBreakLoop(HWAVEOUT iHandle) {
    Card* c = outCard(iHandle);
    if (!c) return noCard(mOutHandles.count(iHandle) > 0);
    c->core->outBreak();
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::waveOutReset(HWAVEOUT iHandle) {
    Card* c = outCard(iHandle);
    if (!c) return noCard(mOutHandles.count(iHandle) > 0);
    if (!waitFor(*c, c->core->outReset())) return MMSYSERR_ERROR;
    c->outIdle = true;
    // Nothing plays now: the moment to measure a delay that no longer holds.
    if (!c->in && c->inChannels > 0 && delayInDoubt(*c)) measureLoop(*c, true);
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::waveOutUnprepareHeader(HWAVEOUT iHandle, int iHeader) {
    Card* c = outCard(iHandle);
    return c ? c->core->outUnprepare(iHeader) : noCard(mOutHandles.count(iHandle) > 0);
}

MMRESULT PortAudioBackend::waveOutClose(HWAVEOUT iHandle) {
    Card* c = outCard(iHandle);
    // A card given up on leaves nothing to close.
    if (!c) return mOutHandles.erase(iHandle) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
    // Released whatever happened before.
    c->core->outReset();
    if (!waitFor(*c, c->core->outClose())) {
        mOutHandles.erase(iHandle);
        return MMSYSERR_ERROR;
    }
    c->core->outRelease();
    c->outConverter.reset();
    c->out = 0;
    mOutHandles.erase(iHandle);
    // The stream stays open, idle, for the next open (see the header).
    return MMSYSERR_NOERROR;
}

// ----------------------------------------------------------------- wave input

MMRESULT PortAudioBackend::waveInOpen(HWAVEIN& oHandle, uint32_t iDevice, const WaveFormatEx& iFormat) {
    oHandle = 0;
    if (iDevice >= mInputs.size()) return MMSYSERR_BADDEVICEID;
    if (!validWaveFormat(iFormat)) return WAVERR_BADFORMAT;
    const int pa = mInputs[iDevice]->pa;
    Card* card = nullptr;
    if (auto it = mCards.find(pa); it != mCards.end()) {
        card = it->second.get();
        if (card->in || (card->out && card->inChannels == 0)) return MMSYSERR_ALLOCATED;
        if (!card->out && (card->inChannels == 0 || !usable(*card))) {
            closeCard(pa);
            card = nullptr;
        }
    }
    if (!card) {
        releaseIdleCards();
        if (const MMRESULT r = openCard(pa, iFormat.nSamplesPerSec, false, card)) return r;
    }
    const double rate = iFormat.nSamplesPerSec;
    card->inConverter.reset();
    if (rate != card->rate) {
        DuplexCore* core = card->core.get();
        card->inConverter = std::make_unique<RateConverter>(card->rate, rate, ConverterQuality::Best,
                                                            [core](const float* d, int n) { core->captureFloat(d, n); });
        if (!card->inConverter->ok()) {
            card->inConverter.reset();
            if (!card->out) closeCard(pa);
            return MMSYSERR_NOMEM;
        }
    }
    card->alignedRecording = false;
    // The input opened after the output was reset, before anything new plays.
    if (card->out && card->outIdle && card->outChannels > 0 && delayInDoubt(*card)) measureLoop(*card, true);
    card->core->inOpen(iFormat.wBitsPerSample / 8, rate, card->inConverter.get());
    card->inRate = rate;
    card->in = mNextHandle++;
    mInHandles[card->in] = pa;
    oHandle = card->in;
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::waveInPrepareHeader(HWAVEIN iHandle, int iHeader, uint32_t iBytes) {
    Card* c = inCard(iHandle);
    return c ? c->core->inPrepare(iHeader, iBytes) : noCard(mInHandles.count(iHandle) > 0);
}

MMRESULT PortAudioBackend::waveInAddBuffer(HWAVEIN iHandle, int iHeader) {
    Card* c = inCard(iHandle);
    if (!c) return noCard(mInHandles.count(iHandle) > 0);
    uint64_t ticket = 0;
    return c->core->inAddBuffer(iHeader, ticket);
}

MMRESULT PortAudioBackend::waveInStart(HWAVEIN iHandle, WaveInStartMode iMode) {
    Card* c = inCard(iHandle);
    if (!c) return noCard(mInHandles.count(iHandle) > 0);
    if (iMode != WAVEIN_START_NOW && iMode != WAVEIN_START_WITH_OUTPUT) return MMSYSERR_INVALFLAG;
    c->alignedRecording = iMode == WAVEIN_START_WITH_OUTPUT && c->out;
    c->core->inStart(iMode);
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::waveInGetHeader(HWAVEIN iHandle, int iHeader, WaveHdr& oHeader) {
    Card* c = inCard(iHandle);
    return c ? c->core->inHeader(iHeader, oHeader) : noCard(mInHandles.count(iHandle) > 0);
}

MMRESULT PortAudioBackend::waveInReadHeader(HWAVEIN iHandle, int iHeader, void* oData, uint32_t iBytes) {
    Card* c = inCard(iHandle);
    if (!c) return noCard(mInHandles.count(iHandle) > 0);
    // A recording that may not be where its signal is gives no samples.
    if (!alignedRecordingHolds(*c)) return fail(MMSYSERR_ERROR, untrustedTimingText());
    return c->core->inRead(iHeader, oData, iBytes);
}

MMRESULT PortAudioBackend::waveInStop(HWAVEIN iHandle) {
    Card* c = inCard(iHandle);
    if (!c) return noCard(mInHandles.count(iHandle) > 0);
    // A recording whose first header is full holds all it was made for, and
    // what was lost or started late in it is known by then: the stop is
    // posted but not waited for (a block of the host's on every point). What
    // the stream does after it, into the header queued behind, is nobody's.
    const uint64_t ticket = c->core->inStop();
    if (!firstHeaderFull(*c) && !waitFor(*c, ticket)) return MMSYSERR_ERROR;
    // Lost samples first: the station measures such a point again.
    if (const QString fault = c->core->inStopFault(); !fault.isEmpty()) {
        if (c->alignedRecording) c->refusedBefore = true;
        return fail(MMSYSERR_ERROR, fault);
    }
    if (!alignedRecordingHolds(*c)) {
        const QString text = refusalText(*c);
        c->refusedBefore = true;
        return fail(MMSYSERR_ERROR, text);
    }
    if (c->alignedRecording && !silenceOfASilentLoop(*c) && !recordingHoldsItsTone(*c)) {
        const QString text = refusalText(*c);
        c->refusedBefore = true;
        c->delayDoubted = true;
        return fail(MMSYSERR_ERROR, text);
    }
    if (c->alignedRecording) c->refusedBefore = false;
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::waveInReset(HWAVEIN iHandle) {
    Card* c = inCard(iHandle);
    if (!c) return noCard(mInHandles.count(iHandle) > 0);
    return waitFor(*c, c->core->inReset()) ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

MMRESULT PortAudioBackend::waveInUnprepareHeader(HWAVEIN iHandle, int iHeader) {
    Card* c = inCard(iHandle);
    return c ? c->core->inUnprepare(iHeader) : noCard(mInHandles.count(iHandle) > 0);
}

MMRESULT PortAudioBackend::waveInClose(HWAVEIN iHandle) {
    Card* c = inCard(iHandle);
    if (!c) return mInHandles.erase(iHandle) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
    c->core->inReset();
    if (!waitFor(*c, c->core->inClose())) {
        mInHandles.erase(iHandle);
        return MMSYSERR_ERROR;
    }
    c->core->inRelease();
    c->inConverter.reset();
    c->in = 0;
    mInHandles.erase(iHandle);
    return MMSYSERR_NOERROR;
}

// ---------------------------------------------------------------------- mixer

uint32_t PortAudioBackend::mixerGetNumDevs() { return started() ? uint32_t(mOutputs.size()) : 0; }

MMRESULT PortAudioBackend::mixerGetDevCaps(uint32_t iMixer, MixerCaps& oCaps) {
    if (iMixer >= mOutputs.size()) return MMSYSERR_BADDEVICEID;
    const Device& d = *mOutputs[iMixer];
    auto caps = std::make_shared<MixerCaps>();
    if (!mixerThread().run([caps, ctl = alsaCtlNameForDevice(d.name), name = d.name] { *caps = AlsaMixer(ctl, name).model().caps; }))
        return fail(MMSYSERR_ERROR, noAnswerText());
    oCaps = *caps;
    oCaps.wMid = uint16_t(d.hostType);
    oCaps.wPid = uint16_t(cardNumber(d.name));
    return MMSYSERR_NOERROR;
}

// Opens the ALSA mixer of output device iMixer there.
MMRESULT PortAudioBackend::openMixer(uint32_t iMixer, std::shared_ptr<AlsaMixer>& oMixer) {
    const QString name = mOutputs[iMixer]->name;
    auto made = std::make_shared<std::shared_ptr<AlsaMixer>>();
    if (!mixerThread().run([made, ctl = alsaCtlNameForDevice(name), name] { *made = std::make_shared<AlsaMixer>(ctl, name); }))
        return fail(MMSYSERR_ERROR, noAnswerText());
    std::shared_ptr<AlsaMixer> m = std::move(*made);
    if (!m->ok()) {
        const QString error = m->error();
        mixerThread().post([m = std::move(m)]() mutable { m.reset(); });
        return fail(MMSYSERR_NODRIVER, error);
    }
    oMixer = std::move(m);
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::mixerOpen(HMIXER& oHandle, uint32_t iMixer) {
    oHandle = 0;
    if (iMixer >= mOutputs.size()) return MMSYSERR_BADDEVICEID;
    std::shared_ptr<AlsaMixer> m;
    if (const MMRESULT r = openMixer(iMixer, m)) return r;
    oHandle = mNextHandle++;
    mMixers[oHandle] = {iMixer, std::move(m)};
    return MMSYSERR_NOERROR;
}

MMRESULT PortAudioBackend::mixerClose(HMIXER iHandle) {
    auto it = mMixers.find(iHandle);
    if (it == mMixers.end()) return MMSYSERR_INVALHANDLE;
    // Closed there: closing talks to the server.
    if (it->second.mixer) mixerThread().post([m = std::move(it->second.mixer)]() mutable { m.reset(); });
    mMixers.erase(it);
    return MMSYSERR_NOERROR;
}

// A mixer whose call was given up on is opened afresh (a new connection to
// the server) when it is next used.
AlsaMixer* PortAudioBackend::mixerOf(HMIXER iHandle) {
    auto it = mMixers.find(iHandle);
    if (it == mMixers.end()) return nullptr;
    if (!it->second.mixer && openMixer(it->second.device, it->second.mixer) != MMSYSERR_NOERROR) return nullptr;
    return it->second.mixer.get();
}

MMRESULT PortAudioBackend::noMixer(HMIXER iHandle) {
    return mMixers.count(iHandle) ? fail(MMSYSERR_ERROR, noAnswerText()) : MMSYSERR_INVALHANDLE;
}

MMRESULT PortAudioBackend::mixerGetLineInfoDestination(HMIXER iHandle, uint32_t iDestination, MixerLine& oLine) {
    AlsaMixer* m = mixerOf(iHandle);
    return m ? m->model().destinationInfo(iDestination, oLine) : noMixer(iHandle);
}

MMRESULT PortAudioBackend::mixerGetLineInfoSource(HMIXER iHandle, uint32_t iDestination, uint32_t iSource,
                                                  MixerLine& oLine) {
    AlsaMixer* m = mixerOf(iHandle);
    return m ? m->model().sourceInfo(iDestination, iSource, oLine) : noMixer(iHandle);
}

MMRESULT PortAudioBackend::mixerGetLineControls(HMIXER iHandle, uint32_t iLineID, std::vector<MixerControl>& oControls) {
    AlsaMixer* m = mixerOf(iHandle);
    return m ? m->model().lineControls(iLineID, oControls) : noMixer(iHandle);
}

MMRESULT PortAudioBackend::mixerGetControlDetails(HMIXER iHandle, MixerControlDetails& ioDetails) {
    AlsaMixer* m = mixerOf(iHandle);
    if (!m) return noMixer(iHandle);
    const MixerControlModel* c = nullptr;
    if (const MMRESULT r = m->model().checkGet(ioDetails, c)) return r;
    // As many values as the control gives (see AlsaMixer::get).
    size_t n = 1;
    if (c->binding == AlsaBinding::None) n = c->values.size();
    else if (c->binding == AlsaBinding::CaptureEnum) n = c->info.cMultipleItems;
    auto values = std::make_shared<std::vector<int32_t>>(std::max<size_t>(n, 1));
    auto result = std::make_shared<MMRESULT>(MMSYSERR_NOERROR);
    if (!mixerThread().run([keep = mMixers[iHandle].mixer, c, values, result] { *result = keep->get(*c, values->data()); })) {
        mMixers[iHandle].mixer.reset();
        return fail(MMSYSERR_ERROR, noAnswerText());
    }
    if (*result == MMSYSERR_NOERROR) std::copy_n(values->begin(), n, ioDetails.paDetails);
    return *result;
}

MMRESULT PortAudioBackend::mixerGetControlDetailsListText(HMIXER iHandle, const MixerControlDetails& iDetails,
                                                          std::vector<MixerListText>& oItems) {
    AlsaMixer* m = mixerOf(iHandle);
    return m ? m->model().listText(iDetails, oItems) : noMixer(iHandle);
}

MMRESULT PortAudioBackend::mixerSetControlDetails(HMIXER iHandle, const MixerControlDetails& iDetails) {
    AlsaMixer* m = mixerOf(iHandle);
    if (!m) return noMixer(iHandle);
    const MixerControlModel* c = nullptr;
    std::vector<int32_t> values;
    if (const MMRESULT r = m->model().checkSet(iDetails, c, values)) return r;
    auto result = std::make_shared<MMRESULT>(MMSYSERR_NOERROR);
    if (!mixerThread().run([keep = mMixers[iHandle].mixer, c, values, result] { *result = keep->set(*c, values); })) {
        mMixers[iHandle].mixer.reset();
        return fail(MMSYSERR_ERROR, noAnswerText());
    }
    // The server has the input's new level: the card's recordings start where it is heard.
    if (auto card = mCards.find(mOutputs[mMixers[iHandle].device]->pa); !*result && c->setsInput() && card != mCards.end())
        card->second->core->inLevelSet();
    return *result;
}

}
