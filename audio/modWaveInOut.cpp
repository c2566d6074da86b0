#include "audio/modWaveInOut.h"
#include "audio/SweepScale.h"
#include "audio/modWaveInOutDevices.h"
#include "common/ErrorTrap.h"
#include "common/modErrorHandler.h"
#include "common/modLog10.h"
#include "common/modVarSystemParams.h"
#include "platform/os/Clock.h"
#include "platform/os/TerminationSignals.h"
#include "platform/sound/WaveEngine.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include <algorithm>
#include <cmath>

int32_t glWaveSampleRate = 0;
HWAVEOUT glWaveOutHandle = 0;
HWAVEIN glWaveInHandle = 0;
bool gbWaveInLostSamples = false;

namespace {
const char* kModule = "modWaveInOut";
constexpr float k2Pi = 6.2831855f;
constexpr float kLoopEndTolerance = 0.005f;
constexpr float kLowestFrequency = 10.0f;
constexpr float kSweepRateFactor = 80.0f;
constexpr int kHeaders = 2;
// Input latency is not reported by the devices; no card is opened with more
// than this, so a recording's deadline allows it.
constexpr int64_t kInputLatencyAllowanceMs = 1000;
constexpr int64_t kRecordingGraceMs = 2000;
// A poll waits for the device's next block at most this long: the windows
// stay responsive, and a device that stopped is noticed.
constexpr int kDeviceWaitMs = 20;

// ---- signal settings (they persist from one signal to the next)
QString msWaveOutShape;
float mfWaveOutFreq1 = 0.0f;
float mfWaveOutFreq2 = 0.0f;
float mfWaveOutSweepSeconds = 0.0f;
bool mbWaveOutSweepLog = false;
bool mbWaveOutSweepUpDown = false;
int16_t mnWaveOutSweepSteps = 0;
float mfWaveOutBurstCycles = 0.0f;
int16_t mnWaveOutBurstPeriodMs = 0;
int32_t mlWaveOutVolume = 0;
std::vector<int16_t> manWaveOutSamples;   // the made signal, 0 To its last sample

// ---- devices
int16_t mnWaveOutBufferPtr = 0;   // the header holding the signal now playing (0: none yet)
WaveFormatEx mtypWaveOutFormat;
WaveFormatEx mtypWaveInFormat;
bool mbWaveInRecording = false;   // a recording poll runs window events
bool mbWaveInLossQuiet = false;
// Set when the user answered Retry at a recording that timed out or was refused.
bool mbWaveInRecordAgain = false;
// A finished recording's input is closed at the next switch, after the new
// signal is written: closing waits for the device, and so it overlaps the
// previous signal's last pass instead of adding to every point.
bool mbWaveInClosePending = false;

int32_t mlUBound(const std::vector<int16_t>& iaArray) {
    return iaArray.empty() ? 0 : static_cast<int32_t>(iaArray.size() - 1);
}

[[noreturn]] void mRaiseOut(MMRESULT ilCode, bool& obError) {
    vbRaise(vberr::kUserBase, msWaveOutGetErrorText(ilCode, obError));
}
[[noreturn]] void mRaiseIn(MMRESULT ilCode, bool& obError) {
    vbRaise(vberr::kUserBase, msWaveInGetErrorText(ilCode, obError));
}

// The devices and signal are single instances: a measurement started from a
// window event while a recording is being polled is refused, whatever the
// answer to the error box.
bool mbRefusedWhileRecording(const char* isRoutine, bool& obError) {
    if (!mbWaveInRecording) return false;
    ErrorTrap trap(kModule, isRoutine, obError);
    trap(5, [] { vbRaise(vberr::kUserBase, QStringLiteral("A measurement is already running")); });
    obError = true;
    return true;
}

// ------------------------------------------------------------------ synthesis

// To the nearest whole number, halves to the even one, for |x| < 2^51: adding
// and taking away 1.5 x 2^52 leaves no fraction under the default rounding.
// (A library call that keeps the floating-point state costs more than the sine.)
inline double mdRoundHalfEven(double x) {
    constexpr double kShift = 6755399441055744.0;
    volatile double shifted = x + kShift;
    return shifted - kShift;
}

// Samples at one frequency into oanOut[ilFirst..ilLast] (nothing is written
// when oanOut is null: the dry run that finds a signal's length). The phase
// advances before each sample and carries on in ioPhase.
void mWaveOutMakeOneFrequency(float ifFreq, int32_t ilRate, int32_t ilFirst, int32_t ilLast, float& ioPhase,
                              int16_t* oanOut, int32_t ilUBound) {
    const float s = CSng(static_cast<double>(ilRate) / ifFreq);
    const float d = k2Pi / s;
    if (oanOut && ilLast > ilUBound) vbRaise(vberr::kSubscriptOutOfRange);
    float phase = ioPhase;
    const double a = mlWaveOutVolume;
    for (int32_t i = ilFirst; i <= ilLast; ++i) {
        phase += d;
        if (phase > k2Pi) phase -= k2Pi;
        if (!oanOut) continue;
        const double v = mdRoundHalfEven(a * std::sin(static_cast<double>(phase)));
        if (v > 32767.0 || v < -32768.0) vbRaise(vberr::kOverflow);
        oanOut[i] = static_cast<int16_t>(v);
    }
    ioPhase = phase;
}

// The smallest number of samples, at or one above a whole number of cycles,
// whose phase lies within the tolerance of a whole number of cycles: the
// buffer then loops without a jump. Judged in single precision.
int32_t mlPtrEndInTolerance(int32_t ilRate, float ifFreq, float ifTolerance) {
    const float s = CSng(static_cast<double>(ilRate) / ifFreq);
    const float d = k2Pi / s;
    for (int16_t c = 1;; c = checkedInt(static_cast<long long>(c) + 1)) {
        const float k = std::floor(static_cast<float>(c) * s);
        const float cycles = static_cast<float>(c) * k2Pi;
        if (std::fabs(k * d - cycles) < ifTolerance) return CLng(k);
        if (std::fabs((k + 1.0f) * d - cycles) < ifTolerance) return CLng(k + 1.0f);
    }
}

// The end of a segment moved to the next whole cycle beyond its nominal end.
int32_t mlPtrEndNearest(float ifFreq, int32_t ilRate, int32_t ilStart, int32_t ilEnd, float ifPhase) {
    const float d = k2Pi / CSng(static_cast<double>(ilRate) / ifFreq);
    const double atEnd = ifPhase + static_cast<double>(d) * (static_cast<double>(ilEnd) - ilStart + 1);
    const double target = k2Pi * (Int(atEnd / k2Pi) + 1.0);
    return CLng((target - ifPhase) / d + ilStart - 1);
}

struct SweepPlan {
    float f1 = 0, f2 = 0, inc = 0, p = 0;
    int16_t n = 0;
    bool log = false;
};

// One leg of n - 1 steps from ilStart, upward (step indices 0 to n - 2) or
// downward (n - 2 to 0); each step fills p + 1 samples. Returns the last index.
int32_t mlWaveOutMakeOneSweep(const SweepPlan& iPlan, bool ibUp, int32_t ilStart, int32_t ilRate, float& ioPhase,
                              int16_t* oanOut, int32_t ilUBound) {
    int32_t start = ilStart;
    int32_t end = ilStart - 1;
    for (int k = 1; k <= iPlan.n - 1; ++k) {
        const int j = ibUp ? k - 1 : iPlan.n - 1 - k;
        const float f = iPlan.log ? CSng(sweepscale::at(iPlan.f1, iPlan.inc, static_cast<int16_t>(j + 1)))
                                  : iPlan.f1 + iPlan.inc * static_cast<float>(j);
        end = CLng(static_cast<double>(iPlan.p) + start);
        mWaveOutMakeOneFrequency(f, ilRate, start, end, ioPhase, oanOut, ilUBound);
        start = end + 1;
    }
    return end;
}

// The whole sweep from index 1: the up leg, the return leg when asked, and the
// closing segment ending on a whole cycle. Returns the last index.
int32_t mlWaveOutMakeSweep(int32_t ilRate, int16_t* oanOut, int32_t ilUBound, bool& obError) {
    SweepPlan plan;
    plan.f1 = mfWaveOutFreq1;
    plan.f2 = mfWaveOutFreq2;
    plan.n = mnWaveOutSweepSteps;
    plan.log = mbWaveOutSweepLog;
    if (plan.log) {
        if (plan.n - 1 == 0) vbRaise(vberr::kDivisionByZero);
        // A ratio of 0 or below gets gfLog10's message.
        if (!(plan.f2 / plan.f1 > 0.0f)) {
            gfLog10(plan.f2 / plan.f1, obError);
            vbRaise(vberr::kInvalidCall);
        }
        plan.inc = sweepscale::step(plan.f1, plan.f2, plan.n);
    } else {
        // Hertz per step: divided by n, not n - 1.
        if (plan.n == 0) vbRaise(vberr::kDivisionByZero);
        plan.inc = (plan.f2 - plan.f1) / static_cast<float>(plan.n);
    }
    plan.p = CSng(static_cast<double>(mfWaveOutSweepSeconds) * ilRate / plan.n);
    float phase = 0.0f;
    int32_t last = mlWaveOutMakeOneSweep(plan, true, 1, ilRate, phase, oanOut, ilUBound);
    if (mbWaveOutSweepUpDown) last = mlWaveOutMakeOneSweep(plan, false, last + 1, ilRate, phase, oanOut, ilUBound);
    const int32_t start = last + 1;
    const int32_t nominalEnd = CLng(static_cast<double>(plan.p) + start);
    // The increment is added to the start frequency as a number, also for a
    // logarithmic sweep.
    const float f = mbWaveOutSweepUpDown ? plan.f1 + plan.inc : plan.f2;
    const int32_t end = mlPtrEndNearest(f, ilRate, start, nominalEnd, phase);
    mWaveOutMakeOneFrequency(f, ilRate, start, end, phase, oanOut, ilUBound);
    return end;
}

// Library code elsewhere in the program (drawing, the event loop) can leave
// the upper halves of the AVX registers in use; the processor then makes
// every SSE instruction wait on them, and the sine of a long signal takes ten
// times as long. Clearing them before making a signal costs nothing.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx"))) void mClearUpperAvxState() { __builtin_ia32_vzeroupper(); }
void mSettleVectorUnit() {
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) mClearUpperAvxState();
}
#else
void mSettleVectorUnit() {}
#endif

void mRefuseLength(int64_t ilLast) {
    if (ilLast > kWaveOutMaxSamples || ilLast < 0) vbRaise(vberr::kSubscriptOutOfRange);
}

// ------------------------------------------------------------------ devices

void mWaveOutOpenPrepare(bool& obError) {
    ErrorTrap trap(kModule, "mWaveOutOpenPrepare", obError);
    if (!trap(10, [&] {
            HWAVEOUT h = 0;
            const MMRESULT r = waveOutOpen(h, static_cast<uint32_t>(glWaveOutDeviceID), mtypWaveOutFormat);
            if (r != MMSYSERR_NOERROR) mRaiseOut(r, obError);
            glWaveOutHandle = h;
        }) ||
        glWaveOutHandle == 0) {
        obError = true;
        return;
    }
    trap(20, [&] {
        for (int hdr = 1; hdr <= kHeaders; ++hdr) {
            const MMRESULT r = waveOutPrepareHeader(glWaveOutHandle, hdr, kWaveOutBufferBytes);
            if (r != MMSYSERR_NOERROR) {
                // A device that cannot take its buffers is released at once.
                waveOutClose(glWaveOutHandle);
                glWaveOutHandle = 0;
                mRaiseOut(r, obError);
            }
        }
    });
    if (glWaveOutHandle == 0) obError = true;
}

void mWaveOutLoadSetHdr(bool& obError) {
    ErrorTrap trap(kModule, "mWaveOutLoadSetHdr", obError);
    trap(10, [&] {
        const int32_t last = mlUBound(manWaveOutSamples);
        const int32_t bytes = CLng(mtypWaveOutFormat.wBitsPerSample / 8.0 * last);
        const MMRESULT r = waveOutLoadHeader(glWaveOutHandle, mnWaveOutBufferPtr,
                                             bytes > 0 ? manWaveOutSamples.data() + 1 : nullptr,
                                             static_cast<uint32_t>(bytes));
        if (r != MMSYSERR_NOERROR) mRaiseOut(r, obError);
    });
}

// Writes the headers first..last (the station plays one) with the loop flags
// and, when recording, starts the input right after the write, aligned to the
// signal's first sample at the converter.
void gWaveOutPlay(int32_t ilLoops, int16_t inFirst, int16_t inLast, bool ibRecord, bool& obError) {
    for (int16_t hdr = inFirst; hdr <= inLast; ++hdr) {
        uint32_t flags = 0;
        if (hdr == inFirst) flags |= WHDR_BEGINLOOP;
        if (hdr == inLast) flags |= WHDR_ENDLOOP;
        MMRESULT r = waveOutWrite(glWaveOutHandle, hdr, flags, hdr == inFirst ? static_cast<uint32_t>(ilLoops) : 0u);
        QString text;
        if (r != MMSYSERR_NOERROR) {
            text = msWaveOutGetErrorText(r, obError);
        } else if (ibRecord) {
            r = waveInStart(glWaveInHandle, WAVEIN_START_WITH_OUTPUT);
            if (r != MMSYSERR_NOERROR) text = msWaveInGetErrorText(r, obError);
        }
        if (r != MMSYSERR_NOERROR) {
            gMsgBox(text, vbExclamation, QStringLiteral("modWaveInOut.gWaveOutPlay"));
            obError = true;
            return;
        }
    }
}

void gWaveInClose(bool& obError) {
    if (glWaveInHandle == 0) return;
    ErrorTrap trap(kModule, "gWaveInClose", obError);
    // Closing stops and resets the input and releases its buffers, whatever
    // failed before: an input left open would refuse every later measurement.
    // (Stop, reset and unprepare on their own would each wait for the device.)
    const MMRESULT r = waveInClose(glWaveInHandle);
    glWaveInHandle = 0;
    mbWaveInClosePending = false;
    if (r != MMSYSERR_NOERROR) trap(10, [&] { mRaiseIn(r, obError); });
}

// Opens the input with two headers of ilBytes each and queues both.
void gWaveInRecordOpen(int32_t ilRate, int16_t inBits, int32_t ilBytes, bool& obError) {
    ErrorTrap trap(kModule, "gWaveInRecordOpen", obError);
    if (glWaveInHandle != 0) gWaveInClose(obError);
    mWaveIOSetFormatEx(ilRate, inBits, mtypWaveInFormat, obError);
    if (obError) return;
    bool opened = false;
    trap(10, [&] {
        HWAVEIN h = 0;
        const MMRESULT r = waveInOpen(h, static_cast<uint32_t>(glWaveInDeviceID), mtypWaveInFormat);
        if (r != MMSYSERR_NOERROR) mRaiseIn(r, obError);
        glWaveInHandle = h;
        for (int hdr = 1; hdr <= kHeaders; ++hdr) {
            const MMRESULT p = waveInPrepareHeader(glWaveInHandle, hdr, static_cast<uint32_t>(ilBytes));
            if (p != MMSYSERR_NOERROR) mRaiseIn(p, obError);
        }
        for (int hdr = 1; hdr <= kHeaders; ++hdr) {
            const MMRESULT a = waveInAddBuffer(glWaveInHandle, hdr);
            if (a != MMSYSERR_NOERROR) mRaiseIn(a, obError);
        }
        opened = true;
    });
    if (!opened) {
        bool closeError = false;
        gWaveInClose(closeError);
        obError = true;
    }
}

// Polls header 1 until it holds ilBytes, letting window events run, with a
// deadline; then copies the samples into ioanSamples from element 1 (8-bit
// input as 16-bit samples) and closes the input. ilWaitMs is how long the
// recording may wait for its signal to start.
void gWaveInRecordStop(int32_t ilBytes, std::vector<int16_t>& ioanSamples, int64_t ilWaitMs, bool& obError) {
    ErrorTrap trap(kModule, "gWaveInRecordStop", obError);
    gbWaveInLostSamples = false;
    const int bytesPerSample = std::max(1, mtypWaveInFormat.wBitsPerSample / 8);
    const double captureMs = 1000.0 * ilBytes / bytesPerSample / std::max<uint32_t>(1, mtypWaveInFormat.nSamplesPerSec);
    const int64_t deadline = vclock::ticks() + static_cast<int64_t>(std::ceil(captureMs)) + ilWaitMs +
                             kInputLatencyAllowanceMs + kRecordingGraceMs;
    bool full = false;
    bool timedOut = false;
    mbWaveInRecording = true;
    trap(10, [&] {
        for (;;) {
            vclock::poll();
            termination::raiseIfRequested();
            if (glWaveInHandle == 0) return;
            WaveHdr h;
            const MMRESULT r = waveInGetHeader(glWaveInHandle, 1, h);
            if (r != MMSYSERR_NOERROR) mRaiseIn(r, obError);
            if (h.dwBytesRecorded >= static_cast<uint32_t>(ilBytes)) {
                full = true;
                return;
            }
            if (vclock::ticks() > deadline) {
                timedOut = true;
                return;
            }
            waveWaitForDevice(kDeviceWaitMs);
        }
    });
    mbWaveInRecording = false;
    // Retry at a recording that timed out, or that the device refused to stop
    // or to give, makes the recording again (the callers do): stopping or
    // reading this one again could only be refused again, until the loop is
    // measured again. A step's flag is set as it raises, so the Retry that
    // runs it again finds it set.
    mbWaveInRecordAgain = false;
    const auto recordAgain = [](bool ibRefused) {
        if (ibRefused) mbWaveInRecordAgain = true;
        return ibRefused;
    };
    if (timedOut) {
        bool closeError = false;
        gWaveInClose(closeError);
        bool refused = false;
        trap(20, [&] {
            if (recordAgain(refused)) return;
            refused = true;
            vbRaise(vberr::kUserBase, QStringLiteral("Recording timed out"));
        });
        obError = true;
        return;
    }
    if (full) {
        // Every recording is stopped: the stop reports a start too late to
        // catch the signal's beginning, samples the stream lost, and an output
        // that stood still meanwhile. A loss the caller will measure again
        // shows no message.
        bool quietLoss = false;
        bool stopRefused = false;
        trap(30, [&] {
            if (recordAgain(stopRefused)) return;
            const MMRESULT r = waveInStop(glWaveInHandle);
            if (r == MMSYSERR_NOERROR) return;
            bool textError = false;
            const QString text = msWaveInGetErrorText(r, textError);
            if (text.endsWith(sound::lostSamplesText())) {
                gbWaveInLostSamples = true;
                if (mbWaveInLossQuiet) {
                    quietLoss = true;
                    return;
                }
            }
            stopRefused = true;
            vbRaise(vberr::kUserBase, text);
        });
        if (quietLoss || mbWaveInRecordAgain) {
            obError = true;
            bool closeError = false;
            gWaveInClose(quietLoss ? obError : closeError);
            return;
        }
        // Header 1 is full and no longer written (the input goes on into
        // header 2): it is copied, then the input closed.
        bool copied = false;
        bool readRefused = false;
        const auto read = [&](void* oData, uint32_t ilCount) {
            const MMRESULT r = waveInReadHeader(glWaveInHandle, 1, oData, ilCount);
            if (r == MMSYSERR_NOERROR) return;
            readRefused = true;
            mRaiseIn(r, obError);
        };
        trap(40, [&] {
            if (recordAgain(readRefused)) return;
            const int32_t count = mlUBound(ioanSamples);
            if (bytesPerSample == 2) {
                read(ioanSamples.data() + 1, static_cast<uint32_t>(std::min<int64_t>(ilBytes, int64_t(count) * 2)));
            } else {
                // 8-bit input: unsigned bytes with 128 as zero, delivered as 16-bit samples.
                std::vector<uint8_t> raw(static_cast<size_t>(std::min(ilBytes, count)), 128);
                read(raw.data(), static_cast<uint32_t>(raw.size()));
                for (size_t i = 0; i < raw.size(); ++i)
                    ioanSamples[i + 1] = static_cast<int16_t>((static_cast<int>(raw[i]) - 128) * 256);
            }
            copied = true;
        });
        // A recording the device would not give (one it could not align to
        // its signal) leaves the caller's buffer as it was: zeros that would
        // read as a dead unit's silence. Whatever the answer to the box
        // (Ignore is its default), no level is read from it; at Retry it is
        // made again.
        if (!copied) obError = true;
        if (mbWaveInRecordAgain) {
            bool closeError = false;
            gWaveInClose(closeError);
            return;
        }
        if (!obError) {
            mbWaveInClosePending = true;
            return;
        }
    } else {
        obError = true;
    }
    gWaveInClose(obError);
}

void mWaveInClosePending(bool& obError) {
    if (mbWaveInClosePending) gWaveInClose(obError);
}

// For Retry at a recording that timed out or was refused, which records
// again: the signal of the current header is played again from its start
// after a reset, and a new recording started with it. While nothing plays the
// device measures the loop delay again (a refusal says it may no longer hold),
// and the new recording is aligned to the signal's start. ilLine is the
// caller's step; on an error the input is closed.
void mWaveOutReplayRecord(ErrorTrap& ioTrap, long ilLine, int32_t ilRate, int16_t inBits, int32_t ilBytes,
                          bool& obError) {
    WaveHdr playing;
    if (!ioTrap(ilLine, [&] {
            MMRESULT r = waveOutGetHeader(glWaveOutHandle, mnWaveOutBufferPtr, playing);
            if (r == MMSYSERR_NOERROR) r = waveOutReset(glWaveOutHandle);
            if (r != MMSYSERR_NOERROR) mRaiseOut(r, obError);
        }))
        return;
    gWaveInRecordOpen(ilRate, inBits, ilBytes, obError);
    if (obError) return;
    gWaveOutPlay(static_cast<int32_t>(playing.dwLoops), mnWaveOutBufferPtr, mnWaveOutBufferPtr, true, obError);
    if (obError) {
        bool closeError = false;
        gWaveInClose(closeError);
    }
}

void mWaveOutDoneWait(int16_t inHeader, const char* isRoutine, bool& obError) {
    gsErrorContext = QStringLiteral("mnWaveOutBufferPtr ") + CStr(inHeader);
    if (glWaveOutHandle == 0 || inHeader < 1 || inHeader > kHeaders) return;
    ErrorTrap trap(kModule, isRoutine, obError);
    WaveHdr h;
    if (!trap(10, [&] {
            const MMRESULT r = waveOutGetHeader(glWaveOutHandle, inHeader, h);
            if (r != MMSYSERR_NOERROR) mRaiseOut(r, obError);
        }))
        return;
    // Only a header still queued is waited for. (Judging by length alone
    // would let a signal of over a million samples be reloaded while it still
    // plays, which the device refuses.)
    if (!(h.dwFlags & WHDR_INQUEUE) || (h.dwFlags & WHDR_DONE)) return;
    const int bytesPerSample = mtypWaveOutFormat.wBitsPerSample / 8;
    const double passes = h.dwLoops == kWaveLoopForever ? 5.0 : static_cast<double>(h.dwLoops) + 1.0;
    const double seconds =
        (h.dwBufferLength / (2.0 * bytesPerSample * mtypWaveOutFormat.nSamplesPerSec) + 1.0) * passes;
    const int64_t deadline = static_cast<int64_t>(roundHalfEven(seconds * 1000.0)) + vclock::ticks();
    bool done = false;
    const bool polled = trap(20, [&] {
        for (;;) {
            WaveHdr now;
            const MMRESULT r = waveOutGetHeader(glWaveOutHandle, inHeader, now);
            if (r != MMSYSERR_NOERROR) mRaiseOut(r, obError);
            if (now.dwFlags & WHDR_DONE) {
                done = true;
                return;
            }
            if (vclock::ticks() > deadline) return;
            termination::raiseIfRequested();
            waveWaitForDevice(kDeviceWaitMs);
            vclock::busyWait(1);
        }
    });
    if (polled && !done) {
        gMsgBox(QStringLiteral("Loop still playing"), vbExclamation,
                QStringLiteral("modWaveInOut.") + QLatin1String(isRoutine));
        obError = true;
    }
}

// How long a signal written now may wait before it starts: the rest of the
// pass the other header is playing.
int64_t mlWaveOutQueuedMs() {
    const int16_t other = mnWaveOutBufferPtr == 1 ? 2 : 1;
    WaveHdr h;
    if (glWaveOutHandle == 0 || waveOutGetHeader(glWaveOutHandle, other, h) != MMSYSERR_NOERROR) return 0;
    if (!(h.dwFlags & WHDR_INQUEUE) || (h.dwFlags & WHDR_DONE)) return 0;
    const int bytesPerSample = std::max(1, mtypWaveOutFormat.wBitsPerSample / 8);
    return static_cast<int64_t>(
        std::ceil(1000.0 * h.dwBufferLength / bytesPerSample / std::max<uint32_t>(1, mtypWaveOutFormat.nSamplesPerSec)));
}
}

// ================================================================= signals

void gWaveOutSetShape(const QString& isShape, bool& obError) {
    Q_UNUSED(obError);
    msWaveOutShape = isShape;
}

void gWaveOutSetSineFreq(float ifFreq, bool& obError) {
    gWaveOutSetShape(QStringLiteral("Sine"), obError);
    if (obError) return;
    gWaveOutSetFrequency1SweepBurst(ifFreq, 0.0f, 0.0f, false, false, 0, 0.0f, 0.0f, obError);
}

void gWaveOutSetVolume(int32_t ilVolume, bool& obError) {
    Q_UNUSED(obError);
    mlWaveOutVolume = ilVolume;
}

bool gbWaveOutFrequencyInRange(float ifFreq, bool ibMessage, bool& obError) {
    Q_UNUSED(obError);
    const float top = gtypWaveOutCaps.fTopFrequency;
    if (ifFreq >= kLowestFrequency && ifFreq <= top) return true;
    if (ibMessage)
        gMsgBox(QStringLiteral("Frequency (") + CStr(ifFreq) + QStringLiteral(") out of range (") +
                    CStr(static_cast<int32_t>(kLowestFrequency)) + QStringLiteral("-") + CStr(top) +
                    QStringLiteral(" (Hz))"),
                vbExclamation, QStringLiteral("modWaveInOut.gbWaveOutFrequencyInRange"));
    return false;
}

void gWaveOutSetFrequency1SweepBurst(float ifFreq1, float ifFreq2, float ifSeconds, bool ibLog, bool ibUpDown,
                                     int16_t inSteps, float ifCycles, float ifPeriodSeconds, bool& obError) {
    // Both frequencies are judged before anything is stored: a refused end
    // frequency must not leave a new start with the old end.
    if (!gbWaveOutFrequencyInRange(ifFreq1, true, obError)) return;
    if (ifFreq2 != 0.0f && !gbWaveOutFrequencyInRange(ifFreq2, true, obError)) return;
    ErrorTrap trap(kModule, "gWaveOutSetFrequency1SweepBurst", obError);
    trap(10, [&] {
        const int16_t periodMs = CInt(ifPeriodSeconds * 1000.0f);
        mfWaveOutFreq1 = ifFreq1;
        mfWaveOutFreq2 = ifFreq2;
        mfWaveOutSweepSeconds = ifSeconds;
        mbWaveOutSweepUpDown = ibUpDown;
        mbWaveOutSweepLog = ibLog;
        mnWaveOutSweepSteps = inSteps;
        mfWaveOutBurstCycles = ifCycles;
        mnWaveOutBurstPeriodMs = periodMs;
    });
}

int32_t glWaveOutMake(std::vector<int16_t>& oanSamples, bool& obError) {
    ErrorTrap trap(kModule, "glWaveOutMake", obError);
    int32_t rate = gtypWaveOutCaps.lSampleFrequency;
    if (!trap(10, [&] {
            if (mfWaveOutFreq1 == 0.0f) {
                // Silence of the previous signal's length.
                if (manWaveOutSamples.empty()) manWaveOutSamples.assign(1, 0);
                std::fill(manWaveOutSamples.begin(), manWaveOutSamples.end(), int16_t(0));
                return;
            }
            std::vector<int16_t> made;
            mSettleVectorUnit();
            if (mfWaveOutFreq2 != 0.0f) {
                rate = std::min(CLng(kSweepRateFactor * std::max(mfWaveOutFreq1, mfWaveOutFreq2)),
                                gtypWaveOutCaps.lSampleFrequency);
                // The length first, so that a signal too long is refused before any write.
                const int32_t last = mlWaveOutMakeSweep(rate, nullptr, 0, obError);
                mRefuseLength(last);
                made.assign(static_cast<size_t>(last) + 1, 0);
                mlWaveOutMakeSweep(rate, made.data(), last, obError);
            } else if (mfWaveOutBurstCycles <= 0.0f) {
                const int32_t last = mlPtrEndInTolerance(rate, mfWaveOutFreq1, kLoopEndTolerance);
                mRefuseLength(last);
                made.assign(static_cast<size_t>(last) + 1, 0);
                float phase = 0.0f;
                mWaveOutMakeOneFrequency(mfWaveOutFreq1, rate, 1, last, phase, made.data(), last);
            } else {
                const int32_t tone = CLng(static_cast<double>(mfWaveOutBurstCycles) * rate / mfWaveOutFreq1);
                const int64_t period = static_cast<int64_t>(checkedLong(int64_t(mnWaveOutBurstPeriodMs) * rate)) / 1000;
                mRefuseLength(tone);
                mRefuseLength(period);
                made.assign(static_cast<size_t>(std::max<int64_t>(tone, period)) + 1, 0);
                float phase = 0.0f;
                mWaveOutMakeOneFrequency(mfWaveOutFreq1, rate, 1, tone, phase, made.data(), tone);
                made[static_cast<size_t>(tone)] = 0;
                made.resize(static_cast<size_t>(period) + 1);
            }
            manWaveOutSamples.swap(made);
        }))
        return 0;
    trap(20, [&] { oanSamples = manWaveOutSamples; });
    return rate;
}

void gSoundSiren(float ifFreqFrom, float ifFreqTo, float ifSeconds, bool& obError) {
    if (!gbAudioPrompts) return;
    gWaveOutSetFrequency1SweepBurst(ifFreqFrom, ifFreqTo, ifSeconds, true, false, 255, 0.0f, 0.0f, obError);
}

// ====================================================== playback and recording

int32_t glWaveOutMakeSetFormatEx(int16_t inBits, std::vector<int16_t>& oanSamples, bool& obError) {
    const int32_t rate = glWaveOutMake(oanSamples, obError);
    if (obError) return 0;
    mWaveIOSetFormatEx(rate, inBits, mtypWaveOutFormat, obError);
    return rate;
}

int32_t glWaveOutOpenPrepMakeUpdate(int32_t ilLoops, std::vector<int16_t>& ioanSamples,
                                    std::vector<int16_t>& ioanRecord, bool& obError) {
    if (mbRefusedWhileRecording("glWaveOutOpenPrepMakeUpdate", obError)) return 0;
    // The device is never opened twice: what is open is closed first.
    if (glWaveOutHandle != 0) gWaveOutClose(true, obError);
    if (obError) return 0;
    const int32_t rate = glWaveOutMakeSetFormatEx(16, ioanSamples, obError);
    if (obError) return 0;
    mWaveOutOpenPrepare(obError);
    if (obError) return rate;
    if (mlUBound(ioanRecord) != 0) {
        ErrorTrap trap(kModule, "glWaveOutOpenPrepMakeUpdate", obError);
        if (!trap(30, [&] {
                const float ratio =
                    CSng(static_cast<double>(gtypWaveInCaps.lSampleFrequency) / mtypWaveOutFormat.nSamplesPerSec);
                const int32_t n = CLng(static_cast<double>(ratio) * mlUBound(ioanSamples));
                ioanRecord.assign(static_cast<size_t>(std::max(n, 0)) + 1, 0);
            }))
            return rate;
    }
    mWaveOutUpdate(ilLoops, true, ioanRecord, obError);
    return rate;
}

void mWaveOutUpdate(int32_t ilLoops, bool ibReset, std::vector<int16_t>& ioanRecord, bool& obError) {
    ErrorTrap trap(kModule, "mWaveOutUpdate", obError);
    mnWaveOutBufferPtr = static_cast<int16_t>(mnWaveOutBufferPtr % 2 + 1);
    // The header now selected played two switches ago: it must be done.
    gWaveOutDone(obError);
    if (obError) return;
    mWaveOutLoadSetHdr(obError);
    if (obError) return;
    const int64_t queuedMs = ibReset ? 0 : mlWaveOutQueuedMs();
    if (!trap(40, [&] {
            const MMRESULT r = waveOutBreakLoop(glWaveOutHandle);
            if (r != MMSYSERR_NOERROR) mRaiseOut(r, obError);
        }))
        return;
    if (ibReset && !trap(50, [&] {
            const MMRESULT r = waveOutReset(glWaveOutHandle);
            if (r != MMSYSERR_NOERROR) mRaiseOut(r, obError);
        }))
        return;
    const int32_t loops = ilLoops < 1 ? static_cast<int32_t>(kWaveLoopForever) : ilLoops;
    const int32_t n = mlUBound(ioanRecord);
    int32_t inBytes = 0;
    if (n != 0) {
        if (!trap(70, [&] { inBytes = CLng(gtypWaveInCaps.nBits / 8.0 * n); })) return;
        gWaveInRecordOpen(gtypWaveInCaps.lSampleFrequency, gtypWaveInCaps.nBits, inBytes, obError);
        if (obError) return;
    }
    gWaveOutPlay(loops, mnWaveOutBufferPtr, mnWaveOutBufferPtr, inBytes >= 1, obError);
    if (n == 0) {
        mWaveInClosePending(obError);
        return;
    }
    if (obError) {
        bool closeError = false;
        gWaveInClose(closeError);
        return;
    }
    gWaveInRecordStop(inBytes, ioanRecord, queuedMs, obError);
    while (mbWaveInRecordAgain) {
        mbWaveInRecordAgain = false;
        obError = false;
        mWaveOutReplayRecord(trap, 80, gtypWaveInCaps.lSampleFrequency, gtypWaveInCaps.nBits, inBytes, obError);
        if (obError) return;
        gWaveInRecordStop(inBytes, ioanRecord, 0, obError);
    }
}

int32_t glWaveOutMakeUpdate(int32_t ilLoops, bool ibReset, std::vector<int16_t>& ioanSamples,
                            std::vector<int16_t>& ioanRecord, bool& obError) {
    if (mbRefusedWhileRecording("glWaveOutMakeUpdate", obError)) return 0;
    const int32_t noted = static_cast<int32_t>(mtypWaveOutFormat.nSamplesPerSec);
    const int32_t rate = glWaveOutMake(ioanSamples, obError);
    if (obError) return 0;
    if (rate != noted || glWaveOutHandle == 0) {
        gWaveOutClose(true, obError);
        if (obError) return rate;
        return glWaveOutOpenPrepMakeUpdate(ilLoops, ioanSamples, ioanRecord, obError);
    }
    mWaveOutUpdate(ilLoops, ibReset, ioanRecord, obError);
    return rate;
}

void gWaveOutClose(bool ibReset, bool& obError) {
    if (mbRefusedWhileRecording("gWaveOutClose", obError)) return;
    mWaveInClosePending(obError);
    if (glWaveOutHandle == 0) return;
    ErrorTrap trap(kModule, "gWaveOutClose", obError);
    // Whatever fails, the device is reset, its buffers released and closed: an
    // output left open would refuse every later measurement.
    MMRESULT first = MMSYSERR_NOERROR;
    auto note = [&](MMRESULT r) {
        if (first == MMSYSERR_NOERROR) first = r;
    };
    const MMRESULT broke = waveOutBreakLoop(glWaveOutHandle);
    note(broke);
    if (!ibReset && broke == MMSYSERR_NOERROR) gWaveOutDone(obError);   // the current pass ends
    note(waveOutReset(glWaveOutHandle));
    for (int hdr = 1; hdr <= kHeaders; ++hdr) note(waveOutUnprepareHeader(glWaveOutHandle, hdr));
    note(waveOutClose(glWaveOutHandle));
    glWaveOutHandle = 0;
    if (first != MMSYSERR_NOERROR) trap(10, [&] { mRaiseOut(first, obError); });
}

void gWaveInRecord(int32_t ilRate, int16_t inBits, std::vector<int16_t>& ioanSamples, bool& obError) {
    if (mbRefusedWhileRecording("gWaveInRecord", obError)) return;
    ErrorTrap trap(kModule, "gWaveInRecord", obError);
    int32_t bytes = 0;
    if (!trap(10, [&] { bytes = CLng(inBits / 8.0 * mlUBound(ioanSamples)); })) return;
    if (bytes < 1) return;
    // Retry at a recording that timed out or was refused records again, the
    // signal playing again from its start (what plays, else from now).
    bool again = false;
    for (;;) {
        const bool replay = again && glWaveOutHandle != 0 && mnWaveOutBufferPtr > 0;
        if (replay) {
            mWaveOutReplayRecord(trap, 30, ilRate, inBits, bytes, obError);
            if (obError) return;
        } else {
            gWaveInRecordOpen(ilRate, inBits, bytes, obError);
            if (obError) return;
            // Started with the output: a signal that has just been switched to
            // is recorded from its first sample at the converter, so neither the
            // old signal nor the device latency reaches the recording; a signal
            // playing for a while is recorded from now.
            if (!trap(20, [&] {
                    const MMRESULT r = waveInStart(glWaveInHandle, WAVEIN_START_WITH_OUTPUT);
                    if (r != MMSYSERR_NOERROR) mRaiseIn(r, obError);
                })) {
                bool closeError = false;
                gWaveInClose(closeError);
                return;
            }
        }
        gWaveInRecordStop(bytes, ioanSamples, replay ? 0 : mlWaveOutQueuedMs(), obError);
        if (!mbWaveInRecordAgain) return;
        mbWaveInRecordAgain = false;
        again = true;
        obError = false;
    }
}

void gWaveInSetLossQuiet(bool ibQuiet) { mbWaveInLossQuiet = ibQuiet; }

int64_t glWaveOutPlayed(bool& obError) {
    if (glWaveOutHandle == 0) return 0;
    ErrorTrap trap(kModule, "glWaveOutPlayed", obError);
    uint64_t samples = 0;
    trap(10, [&] {
        const MMRESULT r = waveOutGetPosition(glWaveOutHandle, samples);
        if (r != MMSYSERR_NOERROR) mRaiseOut(r, obError);
    });
    return static_cast<int64_t>(samples);
}

void gWaveOutDone(bool& obError) { mWaveOutDoneWait(mnWaveOutBufferPtr, "gWaveOutDone", obError); }

void gWaveOutPreviousDone(bool& obError) {
    if (mnWaveOutBufferPtr < 1) return;
    mWaveOutDoneWait(static_cast<int16_t>(mnWaveOutBufferPtr % 2 + 1), "gWaveOutPreviousDone", obError);
}

int32_t glWaveOutMakeLoadSetHdr(std::vector<int16_t>& oanSamples, bool& obError) {
    if (mbRefusedWhileRecording("glWaveOutMakeLoadSetHdr", obError)) return 0;
    const int32_t rate = glWaveOutMake(oanSamples, obError);
    if (obError) return 0;
    mWaveOutLoadSetHdr(obError);
    return rate;
}

void gWaveOutChange(const QString& isAction, int32_t ilLoops, bool ibReset, bool ibAdjust,
                    std::vector<int16_t>& oanSamples, std::vector<int16_t>& ioanRecord, bool& obError) {
    Q_UNUSED(ibAdjust);
    oanSamples.assign(1, 0);
    int32_t rate = 0;
    if (isAction == QLatin1String("Make")) rate = glWaveOutMake(oanSamples, obError);
    else if (isAction == QLatin1String("Open")) rate = glWaveOutOpenPrepMakeUpdate(ilLoops, oanSamples, ioanRecord, obError);
    else if (isAction == QLatin1String("SetHdr")) rate = glWaveOutMakeLoadSetHdr(oanSamples, obError);
    else rate = glWaveOutMakeUpdate(ilLoops, ibReset, oanSamples, ioanRecord, obError);
    glWaveSampleRate = rate;
}
