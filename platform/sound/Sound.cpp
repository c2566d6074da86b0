#include "platform/sound/Sound.h"
#include "platform/os/ShownValue.h"
#include "platform/sound/Jig.h"
#include "platform/sound/PortAudioBackend.h"
#include "platform/sound/SoundBackend.h"

namespace sound {
namespace {
std::unique_ptr<Backend>& current() {
    static std::unique_ptr<Backend> b;
    return b;
}

// The texts of the result codes; the devices of both directions share them.
QString resultText(MMRESULT iError) {
    switch (iError) {
    case MMSYSERR_NOERROR: return QStringLiteral("The command was carried out.");
    case MMSYSERR_ERROR: return QStringLiteral("Unspecified error in the sound device.");
    case MMSYSERR_BADDEVICEID: return QStringLiteral("The device number is out of range.");
    case MMSYSERR_NOTENABLED: return QStringLiteral("The sound driver was not enabled.");
    case MMSYSERR_ALLOCATED: return QStringLiteral("The sound device is already in use. Wait until it is free, then try again.");
    case MMSYSERR_INVALHANDLE: return QStringLiteral("The sound device handle is not valid.");
    case MMSYSERR_NODRIVER: return QStringLiteral("There is no sound driver for this device.");
    case MMSYSERR_NOMEM: return QStringLiteral("Not enough memory for the sound buffers.");
    case MMSYSERR_NOTSUPPORTED: return QStringLiteral("The sound device does not support this function.");
    case MMSYSERR_INVALFLAG: return QStringLiteral("An invalid flag was passed to the sound device.");
    case MMSYSERR_INVALPARAM: return QStringLiteral("An invalid parameter was passed to the sound device.");
    case WAVERR_BADFORMAT: return QStringLiteral("The sound device does not support this wave format.");
    case WAVERR_STILLPLAYING: return QStringLiteral("The buffer is still in the device's queue. Reset the device, or wait until it is done.");
    case WAVERR_UNPREPARED: return QStringLiteral("The wave header was not prepared.");
    default: return {};
    }
}

MMRESULT errorText(MMRESULT iError, QString& oText) {
    oText = resultText(iError);
    if (oText.isEmpty()) return MMSYSERR_BADERRNUM;
    if (iError == MMSYSERR_ERROR) {
        const QString detail = backend().lastErrorDetail();
        if (!detail.isEmpty()) oText += QStringLiteral(" ") + detail;
    }
    return MMSYSERR_NOERROR;
}
}

Backend& backend() {
    auto& b = current();
    if (!b) {
        if (jigRequested()) b = std::make_unique<JigBackend>();
        else b = std::make_unique<PortAudioBackend>();
    }
    return *b;
}

void setBackend(std::unique_ptr<Backend> iBackend) { current() = std::move(iBackend); }

namespace {
// Spaces around the name, as quoting in a shell or a unit file leaves them,
// carry no meaning; VEXO_JIG_UNIT's unit is read the same way.
QString soundChoice() { return qEnvironmentVariable("VEXO_SOUND").trimmed(); }
}

bool jigRequested() { return soundChoice().compare(QStringLiteral("jig"), Qt::CaseInsensitive) == 0; }

bool soundChoiceValid(QString& oMessage) {
    if (soundChoice().isEmpty() || jigRequested()) return true;
    oMessage = QStringLiteral("VEXO_SOUND ") + shownValue(qEnvironmentVariable("VEXO_SOUND")) +
               QStringLiteral(" names no sound: \"jig\" is the simulated test jig; "
                              "unset, the real sound card is used.");
    return false;
}
}

using sound::backend;

uint32_t waveOutGetNumDevs() { return backend().waveOutGetNumDevs(); }
MMRESULT waveOutGetDevCaps(uint32_t d, WaveOutCaps& c) { return backend().waveOutGetDevCaps(d, c); }
MMRESULT waveOutGetErrorText(MMRESULT e, QString& t) { return sound::errorText(e, t); }
MMRESULT waveOutOpen(HWAVEOUT& h, uint32_t d, const WaveFormatEx& f) { return backend().waveOutOpen(h, d, f); }
MMRESULT waveOutPrepareHeader(HWAVEOUT h, int i, uint32_t b) { return backend().waveOutPrepareHeader(h, i, b); }
MMRESULT waveOutLoadHeader(HWAVEOUT h, int i, const void* p, uint32_t b) { return backend().waveOutLoadHeader(h, i, p, b); }
MMRESULT waveOutWrite(HWAVEOUT h, int i, uint32_t f, uint32_t l) { return backend().waveOutWrite(h, i, f, l); }
MMRESULT waveOutGetHeader(HWAVEOUT h, int i, WaveHdr& o) { return backend().waveOutGetHeader(h, i, o); }
MMRESULT waveOutGetPosition(HWAVEOUT h, uint64_t& o) { return backend().waveOutGetPosition(h, o); }
MMRESULT waveOutBreakLoop(HWAVEOUT h) { return backend().waveOutBreakLoop(h); }
MMRESULT waveOutReset(HWAVEOUT h) { return backend().waveOutReset(h); }
MMRESULT waveOutUnprepareHeader(HWAVEOUT h, int i) { return backend().waveOutUnprepareHeader(h, i); }
MMRESULT waveOutClose(HWAVEOUT h) { return backend().waveOutClose(h); }
void waveWaitForDevice(int iMaxMs) { backend().waitForDevice(iMaxMs); }

uint32_t waveInGetNumDevs() { return backend().waveInGetNumDevs(); }
MMRESULT waveInGetDevCaps(uint32_t d, WaveInCaps& c) { return backend().waveInGetDevCaps(d, c); }
MMRESULT waveInGetErrorText(MMRESULT e, QString& t) { return sound::errorText(e, t); }
MMRESULT waveInOpen(HWAVEIN& h, uint32_t d, const WaveFormatEx& f) { return backend().waveInOpen(h, d, f); }
MMRESULT waveInPrepareHeader(HWAVEIN h, int i, uint32_t b) { return backend().waveInPrepareHeader(h, i, b); }
MMRESULT waveInAddBuffer(HWAVEIN h, int i) { return backend().waveInAddBuffer(h, i); }
MMRESULT waveInStart(HWAVEIN h, WaveInStartMode m) { return backend().waveInStart(h, m); }
MMRESULT waveInGetHeader(HWAVEIN h, int i, WaveHdr& o) { return backend().waveInGetHeader(h, i, o); }
MMRESULT waveInReadHeader(HWAVEIN h, int i, void* p, uint32_t b) { return backend().waveInReadHeader(h, i, p, b); }
MMRESULT waveInStop(HWAVEIN h) { return backend().waveInStop(h); }
MMRESULT waveInReset(HWAVEIN h) { return backend().waveInReset(h); }
MMRESULT waveInUnprepareHeader(HWAVEIN h, int i) { return backend().waveInUnprepareHeader(h, i); }
MMRESULT waveInClose(HWAVEIN h) { return backend().waveInClose(h); }

uint32_t mixerGetNumDevs() { return backend().mixerGetNumDevs(); }
MMRESULT mixerGetDevCaps(uint32_t m, MixerCaps& c) { return backend().mixerGetDevCaps(m, c); }
MMRESULT mixerOpen(HMIXER& h, uint32_t m) { return backend().mixerOpen(h, m); }
MMRESULT mixerClose(HMIXER h) { return backend().mixerClose(h); }
MMRESULT mixerGetLineInfoDestination(HMIXER h, uint32_t d, MixerLine& l) {
    return backend().mixerGetLineInfoDestination(h, d, l);
}
MMRESULT mixerGetLineInfoSource(HMIXER h, uint32_t d, uint32_t s, MixerLine& l) {
    return backend().mixerGetLineInfoSource(h, d, s, l);
}
MMRESULT mixerGetLineControls(HMIXER h, uint32_t id, std::vector<MixerControl>& c) {
    return backend().mixerGetLineControls(h, id, c);
}
MMRESULT mixerGetControlDetails(HMIXER h, MixerControlDetails& d) { return backend().mixerGetControlDetails(h, d); }
MMRESULT mixerGetControlDetailsListText(HMIXER h, const MixerControlDetails& d, std::vector<MixerListText>& i) {
    return backend().mixerGetControlDetailsListText(h, d, i);
}
MMRESULT mixerSetControlDetails(HMIXER h, const MixerControlDetails& d) { return backend().mixerSetControlDetails(h, d); }
