#include "audio/modWaveInOutDevices.h"
#include "audio/modMixer.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"
#include <cmath>

WaveOutCapsRecord gtypWaveOutCaps;
WaveInCapsRecord gtypWaveInCaps;
int32_t glWaveOutDeviceID = 0;
int32_t glWaveInDeviceID = 0;
QString gsWaveInOutInfoShort;

namespace {
const char* kModule = "modWaveInOut";
const QString kCrLf = QStringLiteral("\r\n");

QString msNameToNul(const QString& isName) {
    const qsizetype nul = isName.indexOf(QChar(0));
    return nul < 0 ? isName : isName.left(nul);
}

bool mbHasModem(const QString& isName) { return UCase(isName).contains(QStringLiteral("MODEM")); }

// Rate, bits and channels from a flags word, compared as a signed number in
// this order (not bit by bit). Returns whether the word was unrecognised.
bool mFormatFromFlags(uint32_t ilFlags, int32_t& olRate, int16_t& onBits, int16_t& onChannels) {
    const int32_t flags = static_cast<int32_t>(ilFlags);
    if (flags >= 256) {
        olRate = 44100;
        onBits = flags > 512 ? 16 : 8;
        onChannels = (flags & 2048) || (flags & 512) ? 2 : 1;
    } else if (flags >= 16) {
        olRate = 22050;
        onBits = flags > 32 ? 16 : 8;
        onChannels = (flags & 128) || (flags & 32) ? 2 : 1;
    } else if (flags < 1) {
        olRate = 44100;
        onBits = 16;
        onChannels = 1;
        return true;
    } else {
        olRate = 11025;
        onBits = flags > 2 ? 16 : 8;
        onChannels = (flags & 8) || (flags & 2) ? 2 : 1;
    }
    return false;
}

// Int(rate x 0.45351475) on the rate as a single: 20000 at 44100, 21768 at 48000.
float mfTopFrequency(int32_t ilRate) {
    if (ilRate > 80000) return 40000.0f;
    volatile float product = static_cast<float>(ilRate) * 0.45351475f;
    return std::floor(static_cast<float>(product));
}

QString msRateLine(int32_t ilRate, int16_t inBits, int16_t inChannels) {
    return CStr(double(ilRate) / 1000.0) + QStringLiteral("kHz  ") + CStr(inBits) + QStringLiteral(" bits  ") +
           CStr(inChannels) + QStringLiteral(" channels");
}

QString msIdLines(int16_t inManufacturer, int16_t inProduct) {
    return QStringLiteral("Manufacturer ID: ") + CStr(inManufacturer) + kCrLf + QStringLiteral("Product ID: ") +
           CStr(inProduct);
}

void mNotFound(const QString& isText) {
    gsWaveInOutInfoShort = isText;
    gMsgBox(isText, vbCritical, gsMainCaption);
}
}

QString msWaveOutGetErrorText(MMRESULT ilError, bool& obError) {
    QString text;
    if (waveOutGetErrorText(ilError, text) != MMSYSERR_NOERROR) {
        obError = true;
        return {};
    }
    return text;
}

QString msWaveInGetErrorText(MMRESULT ilError, bool& obError) {
    QString text;
    if (waveInGetErrorText(ilError, text) != MMSYSERR_NOERROR) {
        obError = true;
        return {};
    }
    return text;
}

void mWaveOutGloballyInitCaps(const WaveOutCaps& itypCaps, bool& obError) {
    ErrorTrap trap(kModule, "mWaveOutGloballyInitCaps", obError);
    trap(10, [&] {
        WaveOutCapsRecord r;
        r.nManufacturerID = static_cast<int16_t>(itypCaps.wMid);
        r.nProductID = static_cast<int16_t>(itypCaps.wPid);
        r.sDeviceName = msNameToNul(itypCaps.szPname);
        // Every field is the device's own: nothing stays from a device tried before.
        if (r.sDeviceName.contains(QStringLiteral("Audigy"))) {
            r.lSampleFrequency = 96000;
            r.nBits = 24;
            r.nChannels = 2;
        } else {
            r.bFormatUnrecognised = mFormatFromFlags(itypCaps.dwFormats, r.lSampleFrequency, r.nBits, r.nChannels);
        }
        r.fTopFrequency = mfTopFrequency(r.lSampleFrequency);
        r.bVolume = itypCaps.dwSupport & WAVECAPS_VOLUME;
        r.bLRVolume = itypCaps.dwSupport & WAVECAPS_LRVOLUME;
        r.bPitch = itypCaps.dwSupport & WAVECAPS_PITCH;
        r.bPlaybackRate = itypCaps.dwSupport & WAVECAPS_PLAYBACKRATE;
        r.bSync = itypCaps.dwSupport & WAVECAPS_SYNC;
        r.bSampleAccurate = itypCaps.dwSupport & WAVECAPS_SAMPLEACCURATE;
        gtypWaveOutCaps = r;
    });
}

void mWaveInGloballyInitCaps(const WaveInCaps& itypCaps, bool& obError) {
    ErrorTrap trap(kModule, "mWaveInGloballyInitCaps", obError);
    trap(10, [&] {
        WaveInCapsRecord r;
        r.nManufacturerID = static_cast<int16_t>(itypCaps.wMid);
        r.nProductID = static_cast<int16_t>(itypCaps.wPid);
        r.sDeviceName = msNameToNul(itypCaps.szPname);
        if (r.sDeviceName.contains(QStringLiteral("Audigy"))) {
            r.lSampleFrequency = 48000;
            r.nBits = 16;
            r.nChannels = 2;
        } else {
            r.bFormatUnrecognised = mFormatFromFlags(itypCaps.dwFormats, r.lSampleFrequency, r.nBits, r.nChannels);
        }
        gtypWaveInCaps = r;
    });
}

bool gbWaveOutThere(bool& obError) {
    ErrorTrap trap(kModule, "gbWaveOutThere", obError);
    uint32_t count = 0;
    if (!trap(10, [&] { count = waveOutGetNumDevs(); })) return false;
    bool found = false;
    for (uint32_t id = 0; id < count && !found; ++id) {
        glWaveOutDeviceID = static_cast<int32_t>(id);
        gtypWaveOutCaps = WaveOutCapsRecord();
        WaveOutCaps caps;
        bool read = false;
        // A device whose capabilities cannot be read is never chosen: Ignore
        // goes on with the next device.
        if (!trap(20, [&] {
                const MMRESULT r = waveOutGetDevCaps(id, caps);
                if (r != MMSYSERR_NOERROR) vbRaise(vberr::kUserBase, msWaveOutGetErrorText(r, obError));
                read = true;
            }))
            return false;
        if (!read) continue;
        mWaveOutGloballyInitCaps(caps, obError);
        if (obError) return false;
        found = !mbHasModem(gtypWaveOutCaps.sDeviceName);
    }
    if (!found) {
        mNotFound(QStringLiteral("Wave output device not found or error"));
        return false;
    }
    return true;
}

bool gbWaveInThere(bool& obError) {
    ErrorTrap trap(kModule, "gbWaveInThere", obError);
    uint32_t count = 0;
    if (!trap(10, [&] { count = waveInGetNumDevs(); })) return false;
    bool found = false;
    for (uint32_t id = 0; id < count && !found; ++id) {
        glWaveInDeviceID = static_cast<int32_t>(id);
        gtypWaveInCaps = WaveInCapsRecord();
        WaveInCaps caps;
        bool read = false;
        if (!trap(20, [&] {
                const MMRESULT r = waveInGetDevCaps(id, caps);
                if (r != MMSYSERR_NOERROR) vbRaise(vberr::kUserBase, msWaveInGetErrorText(r, obError));
                read = true;
            }))
            return false;
        if (!read) continue;
        mWaveInGloballyInitCaps(caps, obError);
        if (obError) return false;
        const QString& name = gtypWaveInCaps.sDeviceName;
        found = (!mbHasModem(name) && name == gtypWaveOutCaps.sDeviceName) ||
                gbInOutRecordPlayback(name, gtypWaveOutCaps.sDeviceName, obError);
        if (obError) return false;
    }
    if (!found) {
        mNotFound(QStringLiteral("Wave input device not found or error"));
        return false;
    }
    return true;
}

bool gbInOutRecordPlayback(const QString& isInName, const QString& isOutName, bool& obError) {
    ErrorTrap trap(kModule, "gbInOutRecordPlayback", obError);
    bool same = false;
    trap(10, [&] {
        QString in = UCase(isInName);
        QString out = UCase(isOutName);
        for (const char* word : {"IN", "OUT"}) {
            in.remove(QLatin1String(word));
            out.remove(QLatin1String(word));
        }
        if (in == out) {
            same = true;
            return;
        }
        for (const char* word : {"RECORD", "PLAYBACK"}) {
            in.remove(QLatin1String(word));
            out.remove(QLatin1String(word));
        }
        same = in == out;
    });
    return same;
}

void mInitInfoShort(bool& obError) {
    ErrorTrap trap(kModule, "mInitInfoShort", obError);
    trap(10, [&] {
        const WaveOutCapsRecord& o = gtypWaveOutCaps;
        QString s = QStringLiteral("WAVEOUT") + kCrLf;
        if (o.sDeviceName.isEmpty()) {
            s += QStringLiteral("Not found");
        } else {
            s += o.sDeviceName + kCrLf;
            if (o.bFormatUnrecognised) s += QStringLiteral("Sound board format unrecognised") + kCrLf;
            s += msRateLine(o.lSampleFrequency, o.nBits, o.nChannels) + kCrLf;
            if (o.bVolume || o.bLRVolume || o.bPitch || o.bPlaybackRate || o.bSampleAccurate || o.bSync) {
                s += QStringLiteral("Supports: ") + kCrLf;
                if (o.bVolume) s += QStringLiteral("  volume control") + kCrLf;
                if (o.bLRVolume) s += QStringLiteral("  separate L&R volume control") + kCrLf;
                if (o.bPitch) s += QStringLiteral("  pitch control") + kCrLf;
                if (o.bPlaybackRate) s += QStringLiteral("  playback rate control") + kCrLf;
                if (o.bSampleAccurate) s += QStringLiteral("  sample accurate positional info") + kCrLf;
                if (o.bSync) s += QStringLiteral("  blocking synchronous driver") + kCrLf;
            }
            s += msIdLines(o.nManufacturerID, o.nProductID);
        }
        const WaveInCapsRecord& i = gtypWaveInCaps;
        s += kCrLf + kCrLf + QStringLiteral("WAVEIN") + kCrLf;
        if (i.sDeviceName.isEmpty()) {
            s += QStringLiteral("Not found");
        } else {
            s += i.sDeviceName + kCrLf;
            if (i.bFormatUnrecognised) s += QStringLiteral("Sound board format unrecognised") + kCrLf;
            s += msRateLine(i.lSampleFrequency, i.nBits, i.nChannels) + kCrLf;
            s += msIdLines(i.nManufacturerID, i.nProductID);
        }
        gsWaveInOutInfoShort = s;
    });
}

void mWaveIOSetFormatEx(int32_t ilRate, int16_t inBits, WaveFormatEx& otypFormat, bool& obError) {
    ErrorTrap trap(kModule, "mWaveIOSetFormatEx", obError);
    trap(10, [&] {
        WaveFormatEx f;
        f.wFormatTag = WAVE_FORMAT_PCM;
        f.nChannels = 1;
        f.nSamplesPerSec = static_cast<uint32_t>(ilRate);
        f.wBitsPerSample = static_cast<uint16_t>(inBits);
        f.nBlockAlign = static_cast<uint16_t>(checkedInt(f.nChannels * inBits / 8));
        f.nAvgBytesPerSec = static_cast<uint32_t>(checkedLong(int64_t(ilRate) * f.nBlockAlign));
        f.cbSize = 0;
        otypFormat = f;
    });
}

bool gbWaveInOutMixerThereInit(bool& obError) {
    if (!gbWaveOutThere(obError) || obError) return false;
    if (!gbWaveInThere(obError) || obError) return false;
    mInitInfoShort(obError);
    if (obError) return false;
    if (!gbMixerThere(obError) || obError) return false;
    if (gtypWaveOutCaps.nBits < 16) {
        gMsgBox(gsMainCaption + QStringLiteral(" needs a 16 bit sound board or better"), vbCritical, gsMainCaption);
        return false;
    }
    gMixerOutMasterSetMute(false, obError);
    // A sound server's mixer has the master only: there is no wave line to open
    // up, and an error box on every start would say nothing useful.
    if (!obError && gbMixerOutWaveThere()) {
        gMixerOutWaveSetMute(false, obError);
        if (!obError) gMixerOutWaveSetVolume(65535, obError);
    }
    return !obError;
}
