#include "platform/sound/WaveEngine.h"
#include "platform/sound/RateConverter.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace sound {
namespace {
constexpr int kRenderChunk = 1024;
constexpr uint32_t kLoopBits = WHDR_BEGINLOOP | WHDR_ENDLOOP;

bool validHeader(int iHeader) { return iHeader >= 1 && iHeader <= kWaveMaxHeaders; }

void markDone(WaveHeaderSlot& ioSlot) {
    ioSlot.flags.fetch_or(WHDR_DONE, std::memory_order_release);
    ioSlot.flags.fetch_and(~WHDR_INQUEUE, std::memory_order_release);
}
}

bool validWaveFormat(const WaveFormatEx& iFormat) {
    if (iFormat.wFormatTag != WAVE_FORMAT_PCM || iFormat.nChannels != 1) return false;
    if (iFormat.wBitsPerSample != 8 && iFormat.wBitsPerSample != 16) return false;
    if (iFormat.nSamplesPerSec < 1000 || iFormat.nSamplesPerSec > 384000) return false;
    const uint32_t align = iFormat.nChannels * iFormat.wBitsPerSample / 8;
    return iFormat.nBlockAlign == align && iFormat.nAvgBytesPerSec == iFormat.nSamplesPerSec * align;
}

QString lateStartText() {
    return QStringLiteral("The recording started late: the beginning of the signal was not recorded.");
}

QString lostSamplesText() { return QStringLiteral("The recording lost samples"); }

QString outputIdleText() { return QStringLiteral("The output was not playing during the recording"); }

QString DuplexCore::inStopFault() const {
    if (mStartedLate.load(std::memory_order_acquire)) return lateStartText();
    if (mLostSamples.load(std::memory_order_acquire)) return lostSamplesText();
    if (mOutputIdle.load(std::memory_order_acquire)) return outputIdleText();
    return {};
}

void DuplexCore::clearStopFaults() {
    mFirstInHeader.store(0, std::memory_order_release);
    mStartedLate.store(false, std::memory_order_release);
    mLostSamples.store(false, std::memory_order_release);
    mOutputIdle.store(false, std::memory_order_release);
}

DuplexCore::DuplexCore(double iDeviceRate)
    : mDeviceRate(iDeviceRate), mRenderBuf(kRenderChunk), mCaptureBuf(kRenderChunk) {}

DuplexCore::~DuplexCore() = default;

int16_t DuplexCore::toSample(float iValue) {
    const float scaled = iValue * 32768.0f;
    if (!(scaled > -32768.0f)) return -32768;   // also NaN
    if (scaled >= 32767.0f) return 32767;
    return static_cast<int16_t>(std::lrint(scaled));
}

bool DuplexCore::post(EngineCommand iCommand, uint64_t& oTicket) {
    iCommand.ticket = mPosted + 1;
    if (!mRing.push(iCommand)) return false;
    oTicket = ++mPosted;
    return true;
}

// ------------------------------------------------------------ output, UI side

uint64_t DuplexCore::outOpen(int iBytesPerSample, double iRate, RateConverter* iConverter) {
    outRelease();
    mOutBytesPerSample = iBytesPerSample;
    mLastWritten = 0;
    mLastWrittenArmed = false;
    EngineCommand c;
    c.kind = EngineCommand::OutOpen;
    c.converter = iConverter;
    c.rate = iRate;
    uint64_t t = 0;
    post(c, t);
    return t;
}

uint64_t DuplexCore::outClose() {
    EngineCommand c;
    c.kind = EngineCommand::OutClose;
    uint64_t t = 0;
    post(c, t);
    mLastWritten = 0;
    return t;
}

// The output buffers stay allocated from one open to the next: a sound output
// opened per measurement would otherwise allocate and clear megabytes each time.
void DuplexCore::outRelease() {
    for (auto& slot : mOutHdr) {
        slot.capacityBytes = slot.lengthBytes = 0;
        slot.flags.store(0);
    }
}

MMRESULT DuplexCore::outPrepare(int iHeader, uint32_t iBytes) {
    if (!validHeader(iHeader) || iBytes == 0) return MMSYSERR_INVALPARAM;
    WaveHeaderSlot& slot = mOutHdr[iHeader];
    if (slot.flags.load() & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    const size_t needed = iBytes / mOutBytesPerSample + 1;
    if (slot.samples.size() >= needed) {
        // A kept buffer holds silence again once what was loaded into it is cleared.
        std::fill_n(slot.samples.begin(), std::min<size_t>(slot.dirtySamples, slot.samples.size()), int16_t(0));
    } else {
        try {
            std::vector<int16_t> samples(needed);
            slot.samples.swap(samples);
        } catch (const std::bad_alloc&) {
            return MMSYSERR_NOMEM;
        }
    }
    slot.dirtySamples = 0;
    slot.capacityBytes = slot.lengthBytes = iBytes;
    slot.loops = 0;
    slot.loopFlags = 0;
    slot.flags.store(WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT DuplexCore::outLoad(int iHeader, const void* iData, uint32_t iBytes) {
    if (!validHeader(iHeader)) return MMSYSERR_INVALPARAM;
    WaveHeaderSlot& slot = mOutHdr[iHeader];
    const uint32_t f = slot.flags.load();
    if (!(f & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (f & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    if (iBytes > slot.capacityBytes || (iBytes > 0 && !iData)) return MMSYSERR_INVALPARAM;
    const uint32_t count = iBytes / mOutBytesPerSample;
    if (mOutBytesPerSample == 2) {
        std::memcpy(slot.samples.data(), iData, size_t(count) * 2);
    } else {
        const auto* bytes = static_cast<const uint8_t*>(iData);
        for (uint32_t i = 0; i < count; ++i) slot.samples[i] = static_cast<int16_t>((int(bytes[i]) - 128) * 256);
    }
    slot.dirtySamples = std::max(slot.dirtySamples, count);
    slot.lengthBytes = count * mOutBytesPerSample;
    return MMSYSERR_NOERROR;
}

MMRESULT DuplexCore::outWrite(int iHeader, uint32_t iLoopFlags, uint32_t iLoops, uint64_t& oTicket) {
    if (!validHeader(iHeader)) return MMSYSERR_INVALPARAM;
    if (iLoopFlags & ~kLoopBits) return MMSYSERR_INVALFLAG;
    WaveHeaderSlot& slot = mOutHdr[iHeader];
    const uint32_t f = slot.flags.load();
    if (!(f & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (f & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    slot.loopFlags = iLoopFlags;
    slot.loops = iLoops;
    ++slot.serial;
    slot.flags.store(WHDR_PREPARED | iLoopFlags | WHDR_INQUEUE, std::memory_order_release);
    EngineCommand c;
    c.kind = EngineCommand::Write;
    c.header = static_cast<int8_t>(iHeader);
    c.serial = slot.serial;
    if (!post(c, oTicket)) {
        slot.flags.store(f);
        return MMSYSERR_NOMEM;
    }
    mLastWritten = iHeader;
    mLastWrittenSerial = slot.serial;
    mLastWrittenArmed = mInOpen;
    return MMSYSERR_NOERROR;
}

uint64_t DuplexCore::postKind(EngineCommand::Kind iKind) {
    EngineCommand c;
    c.kind = iKind;
    uint64_t t = 0;
    post(c, t);
    return t;
}

MMRESULT DuplexCore::unprepareSlot(WaveHeaderSlot* iSlots, int iHeader, bool iKeepBuffer) {
    if (!validHeader(iHeader)) return MMSYSERR_INVALPARAM;
    WaveHeaderSlot& slot = iSlots[iHeader];
    const uint32_t f = slot.flags.load();
    if (f & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    if (!iKeepBuffer) std::vector<int16_t>().swap(slot.samples);
    slot.capacityBytes = slot.lengthBytes = 0;
    slot.flags.store(f & ~WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

uint64_t DuplexCore::outBreak() { return postKind(EngineCommand::Break); }

uint64_t DuplexCore::outReset() { return postKind(EngineCommand::Reset); }

MMRESULT DuplexCore::outUnprepare(int iHeader) { return unprepareSlot(mOutHdr.data(), iHeader, true); }

MMRESULT DuplexCore::outHeader(int iHeader, WaveHdr& oHeader) const {
    if (!validHeader(iHeader)) return MMSYSERR_INVALPARAM;
    const WaveHeaderSlot& slot = mOutHdr[iHeader];
    oHeader.dwFlags = slot.flags.load(std::memory_order_acquire);
    oHeader.dwBufferLength = slot.lengthBytes;
    oHeader.dwBytesRecorded = 0;
    oHeader.dwLoops = slot.loops;
    return MMSYSERR_NOERROR;
}

// ------------------------------------------------------------- input, UI side

uint64_t DuplexCore::inOpen(int iBytesPerSample, double iRate, RateConverter* iConverter) {
    inRelease();
    mInBytesPerSample = iBytesPerSample;
    mInOpen = true;
    // A signal written while an earlier input was still open was not set up
    // for this recording: one playing for a while is recorded from now.
    mLastWrittenArmed = false;
    EngineCommand c;
    c.kind = EngineCommand::InOpen;
    c.converter = iConverter;
    c.rate = iRate;
    uint64_t t = 0;
    post(c, t);
    return t;
}

uint64_t DuplexCore::inClose() {
    EngineCommand c;
    c.kind = EngineCommand::InClose;
    uint64_t t = 0;
    post(c, t);
    mInOpen = false;
    return t;
}

void DuplexCore::inRelease() {
    for (auto& slot : mInHdr) {
        std::vector<int16_t>().swap(slot.samples);
        slot.capacityBytes = slot.lengthBytes = 0;
        slot.recordedBytes.store(0);
        slot.flags.store(0);
    }
}

MMRESULT DuplexCore::inPrepare(int iHeader, uint32_t iBytes) {
    if (!validHeader(iHeader) || iBytes == 0) return MMSYSERR_INVALPARAM;
    WaveHeaderSlot& slot = mInHdr[iHeader];
    if (slot.flags.load() & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    try {
        std::vector<int16_t> samples(iBytes / mInBytesPerSample + 1);
        slot.samples.swap(samples);
    } catch (const std::bad_alloc&) {
        return MMSYSERR_NOMEM;
    }
    slot.capacityBytes = slot.lengthBytes = iBytes - iBytes % mInBytesPerSample;
    slot.recordedBytes.store(0);
    slot.flags.store(WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT DuplexCore::inAddBuffer(int iHeader, uint64_t& oTicket) {
    if (!validHeader(iHeader)) return MMSYSERR_INVALPARAM;
    WaveHeaderSlot& slot = mInHdr[iHeader];
    const uint32_t f = slot.flags.load();
    if (!(f & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (f & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    slot.recordedBytes.store(0);
    slot.flags.store(WHDR_PREPARED | WHDR_INQUEUE, std::memory_order_release);
    EngineCommand c;
    c.kind = EngineCommand::AddBuffer;
    c.header = static_cast<int8_t>(iHeader);
    if (!post(c, oTicket)) {
        slot.flags.store(f);
        return MMSYSERR_NOMEM;
    }
    return MMSYSERR_NOERROR;
}

uint64_t DuplexCore::inStart(WaveInStartMode iMode) {
    EngineCommand c;
    c.kind = EngineCommand::Start;
    c.mode = static_cast<int8_t>(iMode);
    c.header = static_cast<int8_t>(iMode == WAVEIN_START_WITH_OUTPUT ? mLastWritten : 0);
    c.serial = mLastWrittenSerial;
    // A signal written while the input was open is one the recording was
    // set up for: missing its start is an error, not a start from now.
    c.armed = iMode == WAVEIN_START_WITH_OUTPUT && mLastWrittenArmed;
    mStartedOutHeader = c.header;
    uint64_t t = 0;
    post(c, t);
    return t;
}

DuplexCore::StartedRecording DuplexCore::inStarted() const {
    StartedRecording r;
    r.outHeader = mStartedOutHeader;
    r.firstInHeader = mFirstInHeader.load(std::memory_order_acquire);
    return r;
}

const int16_t* DuplexCore::outSamples(int iHeader, uint32_t& oCount) const {
    oCount = 0;
    if (!validHeader(iHeader)) return nullptr;
    const WaveHeaderSlot& slot = mOutHdr[iHeader];
    oCount = std::min<uint32_t>(slot.lengthBytes / mOutBytesPerSample, uint32_t(slot.samples.size()));
    return slot.samples.data();
}

const int16_t* DuplexCore::inSamples(int iHeader, uint32_t& oCount) const {
    oCount = 0;
    if (!validHeader(iHeader)) return nullptr;
    const WaveHeaderSlot& slot = mInHdr[iHeader];
    oCount = std::min<uint32_t>(slot.recordedBytes.load(std::memory_order_acquire) / mInBytesPerSample,
                                uint32_t(slot.samples.size()));
    return slot.samples.data();
}

uint64_t DuplexCore::inStop() { return postKind(EngineCommand::Stop); }

uint64_t DuplexCore::inReset() { return postKind(EngineCommand::InReset); }

uint64_t DuplexCore::inLevelSet() { return postKind(EngineCommand::InLevel); }

MMRESULT DuplexCore::inUnprepare(int iHeader) { return unprepareSlot(mInHdr.data(), iHeader, false); }

MMRESULT DuplexCore::inHeader(int iHeader, WaveHdr& oHeader) const {
    if (!validHeader(iHeader)) return MMSYSERR_INVALPARAM;
    const WaveHeaderSlot& slot = mInHdr[iHeader];
    oHeader.dwFlags = slot.flags.load(std::memory_order_acquire);
    oHeader.dwBufferLength = slot.lengthBytes;
    oHeader.dwBytesRecorded = slot.recordedBytes.load(std::memory_order_acquire);
    oHeader.dwLoops = 0;
    return MMSYSERR_NOERROR;
}

MMRESULT DuplexCore::inRead(int iHeader, void* oData, uint32_t iBytes) const {
    if (!validHeader(iHeader)) return MMSYSERR_INVALPARAM;
    const WaveHeaderSlot& slot = mInHdr[iHeader];
    if (!(slot.flags.load() & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (iBytes > 0 && !oData) return MMSYSERR_INVALPARAM;
    const uint32_t bytes = std::min(iBytes, slot.recordedBytes.load(std::memory_order_acquire));
    const uint32_t count = bytes / mInBytesPerSample;
    if (mInBytesPerSample == 2) {
        std::memcpy(oData, slot.samples.data(), size_t(count) * 2);
    } else {
        auto* out = static_cast<uint8_t*>(oData);
        for (uint32_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>((slot.samples[i] >> 8) + 128);
    }
    return MMSYSERR_NOERROR;
}

// ----------------------------------------------------------------- block step

void DuplexCore::applyCommands(int64_t iCounter, double iRoundTrip) {
    EngineCommand c;
    while (mRing.pop(c)) {
        apply(c, iCounter, iRoundTrip);
        mProcessed.store(c.ticket, std::memory_order_release);
    }
}

void DuplexCore::apply(const EngineCommand& iCommand, int64_t iCounter, double iRoundTrip) {
    switch (iCommand.kind) {
    case EngineCommand::OutOpen:
        mOutActive = true;
        mOutConverter = iCommand.converter;
        mOutRatio = mDeviceRate / iCommand.rate;
        mOutFrame0 = iCounter;
        mOutIndex0 = 0;
        mOutRendered = 0;
        mOutPlayed.store(0, std::memory_order_release);
        mQHead = mQCount = mPlay = 0;
        mPos = 0;
        mInLoop = false;
        mBreakBeforeStart = false;
        mPendingCount = 0;
        mStartedSerial.fill(0);
        break;
    case EngineCommand::OutClose:
        mOutActive = false;
        mOutConverter = nullptr;
        mQHead = mQCount = mPlay = 0;
        mPendingCount = 0;
        mInLoop = false;
        break;
    case EngineCommand::Write:
        if (mQCount < int(mQueue.size())) {
            mQueue[(mQHead + mQCount) % mQueue.size()] = iCommand.header;
            mQueuedSerial[iCommand.header] = iCommand.serial;
            ++mQCount;
        }
        break;
    case EngineCommand::Break:
        // A loop that has not begun yet plays one pass.
        if (mInLoop) mLoopsLeft = 1;
        else if (mPlay < mQCount) mBreakBeforeStart = true;
        break;
    case EngineCommand::Reset:
        for (int i = 0; i < mQCount; ++i) markDone(mOutHdr[mQueue[(mQHead + i) % mQueue.size()]]);
        for (int i = 0; i < mPendingCount; ++i) markDone(mOutHdr[mPending[i].header]);
        mQHead = mQCount = mPlay = 0;
        mPendingCount = 0;
        mPos = 0;
        mInLoop = false;
        mBreakBeforeStart = false;
        if (mOutConverter) {
            // The converter drops the samples it had taken ahead of what it
            // played, though they count as rendered: the next sample rendered
            // starts its new stream and leaves it at this block's first frame.
            mOutConverter->reset();
            mOutFrame0 = iCounter;
            mOutIndex0 = mOutRendered;
        }
        break;
    case EngineCommand::InOpen:
        mInActive = true;
        mInConverter = iCommand.converter;
        mInHead = mInCount = 0;
        mStartPending = false;
        mCaptureFrom = -1;
        clearStopFaults();
        break;
    case EngineCommand::InClose:
        mInActive = false;
        mInConverter = nullptr;
        mInHead = mInCount = 0;
        mStartPending = false;
        mCaptureFrom = -1;
        clearStopFaults();
        break;
    case EngineCommand::AddBuffer:
        if (mInCount < int(mInQueue.size())) {
            mInQueue[(mInHead + mInCount) % mInQueue.size()] = iCommand.header;
            ++mInCount;
        }
        break;
    case EngineCommand::Start:
        if (mCaptureFrom < 0) {
            mStartPending = true;
            mStartMode = iCommand.mode;
            mStartHeader = iCommand.header;
            mStartSerial = iCommand.serial;
            mStartArmed = iCommand.armed;
            clearStopFaults();
            resolveStart(iCounter, iRoundTrip);
        }
        break;
    case EngineCommand::Stop:
        mStartPending = false;
        mCaptureFrom = -1;
        inFinishCurrent();
        break;
    case EngineCommand::InReset:
        for (int i = 0; i < mInCount; ++i) markDone(mInHdr[mInQueue[(mInHead + i) % mInQueue.size()]]);
        mInHead = mInCount = 0;
        mStartPending = false;
        mCaptureFrom = -1;
        clearStopFaults();
        break;
    case EngineCommand::InLevel:
        // This block's output is the first to reach the sound server after
        // the level was set there; it comes back a round trip later.
        mLevelFrom = std::llround(double(iCounter) + iRoundTrip);
        break;
    case EngineCommand::None:
        break;
    }
}

void DuplexCore::finishHeader(int iHeader, int64_t iLastIndex) {
    if (mPendingCount < int(mPending.size())) mPending[mPendingCount++] = {iHeader, iLastIndex};
    else markDone(mOutHdr[iHeader]);
}

void DuplexCore::publishDone(int64_t iIndexBefore) {
    int kept = 0;
    for (int i = 0; i < mPendingCount; ++i) {
        if (mPending[i].lastIndex < iIndexBefore) {
            markDone(mOutHdr[mPending[i].header]);
            if (mObserver) mObserver->outputDone(mPending[i].header, mPending[i].lastIndex);
        } else {
            mPending[kept++] = mPending[i];
        }
    }
    mPendingCount = kept;
}

int DuplexCore::renderOutput(int16_t* oSamples, int iCount) {
    const int64_t first = mOutRendered;
    int i = 0;
    if (outputStalled.load(std::memory_order_relaxed)) {
        std::fill(oSamples, oSamples + iCount, int16_t(0));
        mOutRendered += iCount;
        return iCount;
    }
    // Each turn either copies samples or moves past a header end, so the loop
    // ends; a loop whose pass holds no sample at all ends as if broken.
    while (i < iCount) {
        if (mPlay >= mQCount) {
            std::fill(oSamples + i, oSamples + iCount, int16_t(0));
            i = iCount;
            break;
        }
        const int header = mQueue[(mQHead + mPlay) % mQueue.size()];
        WaveHeaderSlot& slot = mOutHdr[header];
        const uint32_t length = slot.lengthBytes / mOutBytesPerSample;
        if (mPos == 0) {
            if (!mInLoop && (slot.loopFlags & WHDR_BEGINLOOP)) {
                mInLoop = true;
                mLoopsLeft = mBreakBeforeStart ? 1 : std::max<uint32_t>(1, slot.loops);
                mBreakBeforeStart = false;
                mLoopPassSamples = 0;
            }
            if (mStartedSerial[header] != mQueuedSerial[header]) {
                mStartedSerial[header] = mQueuedSerial[header];
                mStartIndex[header] = mOutRendered + i;
                if (mObserver) mObserver->outputStarted(header, mOutRendered + i);
            }
        }
        const uint32_t chunk = std::min<uint32_t>(uint32_t(iCount - i), length - std::min(length, mPos));
        if (chunk > 0) {
            std::memcpy(oSamples + i, slot.samples.data() + mPos, size_t(chunk) * 2);
            mPos += chunk;
            i += int(chunk);
            mLoopPassSamples += chunk;
            mOutPlayed.fetch_add(chunk, std::memory_order_release);
        }
        if (mPos < length) continue;
        // The header's end.
        mPos = 0;
        const int64_t last = mOutRendered + i - 1;
        if (mInLoop && (slot.loopFlags & WHDR_ENDLOOP)) {
            const bool endless = mLoopsLeft >= kWaveLoopForever;
            if ((endless || mLoopsLeft > 1) && mLoopPassSamples > 0) {
                if (!endless) --mLoopsLeft;
                mPlay = 0;
                mLoopPassSamples = 0;
            } else {
                for (int k = 0; k <= mPlay; ++k) finishHeader(mQueue[(mQHead + k) % mQueue.size()], last);
                mQHead = (mQHead + mPlay + 1) % int(mQueue.size());
                mQCount -= mPlay + 1;
                mPlay = 0;
                mInLoop = false;
            }
        } else if (mInLoop) {
            ++mPlay;
        } else {
            finishHeader(header, last);
            mQHead = (mQHead + 1) % int(mQueue.size());
            --mQCount;
        }
    }
    mOutRendered += iCount;
    if (mObserver) mObserver->outputRendered(oSamples, iCount, first);
    return iCount;
}

int DuplexCore::renderFloat(float* oSamples, int iCount) {
    int done = 0;
    while (done < iCount) {
        const int n = std::min(iCount - done, int(mRenderBuf.size()));
        renderOutput(mRenderBuf.data(), n);
        for (int k = 0; k < n; ++k) oSamples[done + k] = mRenderBuf[k] * (1.0f / 32768.0f);
        done += n;
    }
    return iCount;
}

double DuplexCore::outFrameOf(int64_t iIndex) const {
    return double(mOutFrame0) + double(iIndex - mOutIndex0) * mOutRatio;
}

void DuplexCore::resolveStart(int64_t iCounter, double iRoundTrip) {
    if (!mStartPending) return;
    if (mStartMode != WAVEIN_START_WITH_OUTPUT || mStartHeader == 0 || !mOutActive) {
        mCaptureFrom = iCounter;
        mCaptureAtOutput = false;
    } else if (mStartedSerial[mStartHeader] == mStartSerial) {
        // A sound played at output frame f is taken at input frame f + the
        // round trip (the real backend opens a card once its figure reads steady).
        mCaptureFrom = std::llround(outFrameOf(mStartIndex[mStartHeader]) + iRoundTrip);
        mCaptureAtOutput = true;
    } else if (!(mOutHdr[mStartHeader].flags.load() & WHDR_INQUEUE)) {
        mCaptureFrom = iCounter;   // the header was reset before it started
        mCaptureAtOutput = false;
    } else {
        return;
    }
    // What came back before the level last set reads at the old level (a
    // polarity test's 60 % in a sine test's reading, say), however long a
    // tone has played; a signal the input was opened for is heard whole.
    if (!mStartArmed) mCaptureFrom = std::max(mCaptureFrom, mLevelFrom);
    mStartPending = false;
    mCaptureBegun = false;
    if (mInConverter) mInConverter->reset();
}

void DuplexCore::captureFloat(const float* iData, int iFrames) {
    while (iFrames > 0 && mInCount > 0) {
        const int header = mInQueue[mInHead];
        WaveHeaderSlot& slot = mInHdr[header];
        const uint32_t capacity = slot.capacityBytes / mInBytesPerSample;
        const uint32_t recorded = slot.recordedBytes.load(std::memory_order_relaxed) / mInBytesPerSample;
        const uint32_t n = std::min<uint32_t>(uint32_t(iFrames), capacity - recorded);
        int16_t* out = slot.samples.data() + recorded;
        for (uint32_t k = 0; k < n; ++k) out[k] = toSample(iData[k]);
        slot.recordedBytes.store((recorded + n) * mInBytesPerSample, std::memory_order_release);
        iData += n;
        iFrames -= int(n);
        if (recorded + n >= capacity) {
            markDone(slot);
            mInHead = (mInHead + 1) % int(mInQueue.size());
            --mInCount;
            if (mObserver) mObserver->inputFilled(header);
        }
    }
}

void DuplexCore::inFinishCurrent() {
    if (mInCount == 0) return;
    WaveHeaderSlot& slot = mInHdr[mInQueue[mInHead]];
    if (slot.recordedBytes.load() == 0) return;
    markDone(slot);
    mInHead = (mInHead + 1) % int(mInQueue.size());
    --mInCount;
}

void DuplexCore::process(const float* iIn, float* iOut, int iFrames, int64_t iCounter, double iRoundTrip,
                         int64_t iDacDoneBefore) {
    processOutput(iOut, iFrames, iCounter, iRoundTrip, iDacDoneBefore);
    processInput(iIn, iFrames, iCounter, iRoundTrip);
}

void DuplexCore::processOutput(float* iOut, int iFrames, int64_t iCounter, double iRoundTrip,
                               int64_t iDacDoneBefore) {
    applyCommands(iCounter, iRoundTrip);
    // A recording made while the open output stands still is no reading of it.
    if (mOutActive && outputStalled.load(std::memory_order_relaxed) && capturing())
        mOutputIdle.store(true, std::memory_order_release);
    if (iOut) {
        if (!mOutActive) std::fill(iOut, iOut + iFrames, 0.0f);
        else if (mOutConverter) mOutConverter->pull(iOut, iFrames);
        else renderFloat(iOut, iFrames);
    }
    if (mOutActive) {
        const double before = double(iDacDoneBefore - mOutFrame0) / mOutRatio + double(mOutIndex0);
        publishDone(static_cast<int64_t>(std::floor(before)));
    }
}

void DuplexCore::processInput(const float* iIn, int iFrames, int64_t iCounter, double iRoundTrip) {
    resolveStart(iCounter, iRoundTrip);
    const bool gap = mStreamGap;
    mStreamGap = false;
    if (!mInActive || mCaptureFrom < 0 || !iIn || inputDead.load(std::memory_order_relaxed)) return;
    int offset = 0;
    if (!mCaptureBegun) {
        if (mCaptureFrom >= iCounter + iFrames) return;
        mCaptureBegun = true;
        mFirstInHeader.store(mInCount > 0 ? mInQueue[mInHead] : 0, std::memory_order_release);
        if (mCaptureFrom >= iCounter) {
            offset = int(mCaptureFrom - iCounter);
        } else if (mCaptureAtOutput && mStartArmed) {
            // The signal's first sample reached the input before the start
            // came: recorded from now, and reported. (One that was playing
            // before the input opened is simply recorded from now.)
            mStartedLate.store(true, std::memory_order_release);
        }
        if (mObserver) mObserver->inputStarted(iCounter + offset);
    }
    // Only a recording still filling its headers loses anything.
    if (gap && mInCount > 0) mLostSamples.store(true, std::memory_order_release);
    const int dropped =
        mInCount > 0 ? std::min(dropInputFrames.load(std::memory_order_relaxed), iFrames - offset) : 0;
    if (dropped > 0) {
        dropInputFrames.fetch_sub(dropped, std::memory_order_relaxed);
        mLostSamples.store(true, std::memory_order_release);
        std::fill(mCaptureBuf.begin(), mCaptureBuf.end(), 0.0f);
        for (int done = 0; done < dropped;) {
            const int n = std::min(dropped - done, int(mCaptureBuf.size()));
            feedInput(mCaptureBuf.data(), n);
            done += n;
        }
    }
    feedInput(iIn + offset + dropped, iFrames - offset - dropped);
}

void DuplexCore::feedInput(const float* iIn, int iFrames) {
    if (iFrames <= 0) return;
    if (mInConverter) mInConverter->push(iIn, iFrames);
    else captureFloat(iIn, iFrames);
}

}
