#pragma once
#include "platform/sound/Sound.h"
#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

// The heart of both backends: one card's output and input queues and the
// full-duplex block step that moves samples through them. The user-interface
// thread loads headers and posts commands through a lock-free ring; the block
// step (a PortAudio callback, or the jig's simulation) takes the commands,
// renders output and captures input from preallocated buffers only.
//
// Frame numbers count device frames since the card started. Output frames of a
// block are the ones rendered in it; a sound the output converter plays at
// frame f comes back at input frame f + round trip (the two device latencies).
// Output sample indexes count the samples rendered since the output opened; a
// rate converter between them and the card turns index i into frame
// origin frame + (i - origin index) x ratio, the origin moving only where the
// converter starts a new stream (open and reset).
namespace sound {

class RateConverter;

// The formats a card opens with: PCM, mono, 8 or 16 bits, 1,000 Hz and up,
// the block and byte rate figures consistent.
bool validWaveFormat(const WaveFormatEx& iFormat);
// The backends' words for waveInStop's MMSYSERR_ERROR after a late aligned start.
QString lateStartText();
// ... after a recording the stream lost samples from (an overflow or underflow).
QString lostSamplesText();
// ... after a recording taken while the open output did not move.
QString outputIdleText();

// Single producer, single consumer; no locks, no allocation.
template <class T, size_t N>
class SpscRing {
public:
    bool push(const T& iValue) {
        const size_t head = mHead.load(std::memory_order_relaxed);
        const size_t next = (head + 1) % N;
        if (next == mTail.load(std::memory_order_acquire)) return false;
        mBuf[head] = iValue;
        mHead.store(next, std::memory_order_release);
        return true;
    }
    bool pop(T& oValue) {
        const size_t tail = mTail.load(std::memory_order_relaxed);
        if (tail == mHead.load(std::memory_order_acquire)) return false;
        oValue = mBuf[tail];
        mTail.store((tail + 1) % N, std::memory_order_release);
        return true;
    }

private:
    std::array<T, N> mBuf{};
    std::atomic<size_t> mHead{0};
    std::atomic<size_t> mTail{0};
};

// What the block step reports (the jig keeps its event log from these).
class EngineObserver {
public:
    virtual ~EngineObserver() = default;
    virtual void outputStarted(int /*iHeader*/, int64_t /*iIndex*/) {}
    virtual void outputDone(int /*iHeader*/, int64_t /*iLastIndex*/) {}
    virtual void outputRendered(const int16_t* /*iSamples*/, int /*iCount*/, int64_t /*iIndex*/) {}
    virtual void inputStarted(int64_t /*iFrame*/) {}
    virtual void inputFilled(int /*iHeader*/) {}
};

struct WaveHeaderSlot {
    std::vector<int16_t> samples;           // allocated by prepare; an output's is kept for the next
    uint32_t dirtySamples = 0;              // output: samples loaded since the buffer was last all silence
    uint32_t capacityBytes = 0;
    uint32_t lengthBytes = 0;               // output: loaded bytes (UI-owned while not queued)
    uint32_t loopFlags = 0;
    uint32_t loops = 0;
    uint32_t serial = 0;                    // count of writes
    std::atomic<uint32_t> flags{0};
    std::atomic<uint32_t> recordedBytes{0}; // input
};

struct EngineCommand {
    enum Kind : uint8_t { None, OutOpen, OutClose, Write, Break, Reset, InOpen, InClose, AddBuffer, Start, Stop, InReset, InLevel };
    Kind kind = None;
    int8_t header = 0;
    int8_t mode = 0;
    uint32_t serial = 0;
    bool armed = false;                     // Start: the header was written while the input was open
    RateConverter* converter = nullptr;
    double rate = 0;
    uint64_t ticket = 0;
};

class DuplexCore {
public:
    explicit DuplexCore(double iDeviceRate);
    ~DuplexCore();
    DuplexCore(const DuplexCore&) = delete;
    DuplexCore& operator=(const DuplexCore&) = delete;

    double deviceRate() const { return mDeviceRate; }
    void setObserver(EngineObserver* iObserver) { mObserver = iObserver; }
    int64_t outputRendered() const { return mOutRendered; }

    // ---- user-interface side. Each posting returns a ticket; processed(t)
    // tells when the block step has taken it.
    // Output: iRate and iBytesPerSample of the samples; iConverter (or nullptr
    // when iRate is the device rate) stays owned by the caller until closed.
    uint64_t outOpen(int iBytesPerSample, double iRate, RateConverter* iConverter);
    uint64_t outClose();
    MMRESULT outPrepare(int iHeader, uint32_t iBytes);
    MMRESULT outLoad(int iHeader, const void* iData, uint32_t iBytes);
    MMRESULT outWrite(int iHeader, uint32_t iLoopFlags, uint32_t iLoops, uint64_t& oTicket);
    uint64_t outBreak();
    uint64_t outReset();
    MMRESULT outUnprepare(int iHeader);
    MMRESULT outHeader(int iHeader, WaveHdr& oHeader) const;
    // Header samples rendered since the output opened.
    uint64_t outPlayed() const { return mOutPlayed.load(std::memory_order_acquire); }

    uint64_t inOpen(int iBytesPerSample, double iRate, RateConverter* iConverter);
    uint64_t inClose();
    MMRESULT inPrepare(int iHeader, uint32_t iBytes);
    MMRESULT inAddBuffer(int iHeader, uint64_t& oTicket);
    uint64_t inStart(WaveInStartMode iMode);
    uint64_t inStop();
    uint64_t inReset();
    // The input's level (the microphone's) was just set: a recording started
    // after this hears nothing that left the output before it.
    uint64_t inLevelSet();
    MMRESULT inUnprepare(int iHeader);
    MMRESULT inHeader(int iHeader, WaveHdr& oHeader) const;
    MMRESULT inRead(int iHeader, void* oData, uint32_t iBytes) const;
    // An aligned start came after its signal had already reached the input
    // (see WAVEIN_START_WITH_OUTPUT): the recording lacks the signal's start.
    // Holds until the input is next started, reset or closed.
    bool inStartedLate() const { return mStartedLate.load(std::memory_order_acquire); }
    // What waveInStop reports of the recording since the input was started:
    // a late start, samples lost, or an output that stood still meanwhile
    // (empty when none). Each holds like a late start.
    QString inStopFault() const;
    // What the recording since the last start began with, for a check of its
    // content: the output header it was started with (0: none) and the input
    // header it began in (0: not begun).
    struct StartedRecording {
        int outHeader = 0;
        int firstInHeader = 0;
    };
    StartedRecording inStarted() const;
    // A header's loaded samples as 16-bit values, whatever the output's width
    // (read-only while it plays).
    const int16_t* outSamples(int iHeader, uint32_t& oCount) const;
    // ... and an input header's recorded samples.
    const int16_t* inSamples(int iHeader, uint32_t& oCount) const;

    bool processed(uint64_t iTicket) const { return mProcessed.load(std::memory_order_acquire) >= iTicket; }
    bool post(EngineCommand iCommand, uint64_t& oTicket);   // false when the ring is full
    // A command that carries nothing but its kind; returns its ticket.
    uint64_t postKind(EngineCommand::Kind iKind);
    // Releases a header's buffer unless it is still queued.
    MMRESULT unprepareSlot(WaveHeaderSlot* iSlots, int iHeader, bool iKeepBuffer);

    // After a close the caller has waited for: frees the headers' buffers.
    void outRelease();
    void inRelease();

    // Fault injection for the jig: the output stops advancing, the input stops
    // delivering, the next input frames taken by a recording are lost (they
    // arrive as silence, flagged as a real stream flags an overflow).
    std::atomic<bool> outputStalled{false};
    std::atomic<bool> inputDead{false};
    std::atomic<int> dropInputFrames{0};

    // Block step: the stream flagged a gap (input overflow or underflow,
    // output underflow) in the block about to be processed.
    void noteStreamGap() { mStreamGap = true; }

    // ---- block step. iIn / iOut are mono device frames (either may be null);
    // iCounter is the frame number of the block's first frame; frames before
    // iDacDoneBefore have left the output converter.
    void process(const float* iIn, float* iOut, int iFrames, int64_t iCounter, double iRoundTrip,
                 int64_t iDacDoneBefore);
    // The same in two halves, for a card that must play a block before it
    // can record it (the jig): output first, then input.
    void processOutput(float* iOut, int iFrames, int64_t iCounter, double iRoundTrip, int64_t iDacDoneBefore);
    void processInput(const float* iIn, int iFrames, int64_t iCounter, double iRoundTrip);
    // Takes the posted commands without moving samples (the jig, and a stopped stream).
    void applyCommands(int64_t iCounter, double iRoundTrip);

    // Output samples as floats in -1..1, for an output converter's supply.
    int renderFloat(float* oSamples, int iCount);
    // Input samples at the input's rate, from an input converter's output.
    void captureFloat(const float* iData, int iFrames);
    // A float in -1..1 as a 16-bit sample: rounded, clipped.
    static int16_t toSample(float iValue);

private:
    struct Pending { int header; int64_t lastIndex; };
    void apply(const EngineCommand& iCommand, int64_t iCounter, double iRoundTrip);
    int renderOutput(int16_t* oSamples, int iCount);
    void finishHeader(int iHeader, int64_t iLastIndex);
    void publishDone(int64_t iIndexBefore);
    void resolveStart(int64_t iCounter, double iRoundTrip);
    double outFrameOf(int64_t iIndex) const;
    void inFinishCurrent();
    bool capturing() const { return mInActive && (mStartPending || mCaptureFrom >= 0) && mInCount > 0; }
    void clearStopFaults();
    void feedInput(const float* iIn, int iFrames);

    double mDeviceRate;
    EngineObserver* mObserver = nullptr;
    SpscRing<EngineCommand, 128> mRing;
    uint64_t mPosted = 0;                         // UI side
    std::atomic<uint64_t> mProcessed{0};

    // UI-side state of the two directions.
    int mOutBytesPerSample = 2;
    int mInBytesPerSample = 2;
    std::array<WaveHeaderSlot, kWaveMaxHeaders + 1> mOutHdr;
    std::array<WaveHeaderSlot, kWaveMaxHeaders + 1> mInHdr;
    int mLastWritten = 0;
    uint32_t mLastWrittenSerial = 0;
    bool mLastWrittenArmed = false;
    bool mInOpen = false;
    int mStartedOutHeader = 0;

    // Block-step state.
    bool mOutActive = false;
    RateConverter* mOutConverter = nullptr;
    double mOutRatio = 1.0;                     // device frames per output sample
    int64_t mOutFrame0 = 0;                     // the frame of output sample mOutIndex0
    int64_t mOutIndex0 = 0;
    int64_t mOutRendered = 0;
    std::atomic<uint64_t> mOutPlayed{0};
    std::array<int, 32> mQueue{};
    int mQHead = 0;
    int mQCount = 0;
    int mPlay = 0;                              // position in the queue of the header playing
    uint32_t mPos = 0;                          // sample within it
    bool mInLoop = false;
    bool mBreakBeforeStart = false;
    uint32_t mLoopsLeft = 0;
    int64_t mLoopPassSamples = 0;
    std::array<uint32_t, kWaveMaxHeaders + 1> mStartedSerial{};
    std::array<int64_t, kWaveMaxHeaders + 1> mStartIndex{};
    std::array<uint32_t, kWaveMaxHeaders + 1> mQueuedSerial{};
    std::array<Pending, 32> mPending{};
    int mPendingCount = 0;

    bool mInActive = false;
    RateConverter* mInConverter = nullptr;
    std::array<int, 32> mInQueue{};
    int mInHead = 0;
    int mInCount = 0;
    bool mStartPending = false;
    int mStartMode = 0;
    int mStartHeader = 0;
    uint32_t mStartSerial = 0;
    bool mStartArmed = false;
    int64_t mCaptureFrom = -1;                  // the input frame of the first sample; -1: not capturing
    int64_t mLevelFrom = 0;                     // the first input frame that heard the level last set
    bool mCaptureAtOutput = false;              // aligned to an output header's start
    bool mCaptureBegun = false;
    std::atomic<bool> mStartedLate{false};
    std::atomic<bool> mLostSamples{false};
    std::atomic<bool> mOutputIdle{false};
    std::atomic<int> mFirstInHeader{0};
    bool mStreamGap = false;

    std::vector<int16_t> mRenderBuf;
    std::vector<float> mCaptureBuf;
};

}
