#include "audio/modMixer.h"
#include "audio/modWaveInOutDevices.h"
#include "common/ErrorTrap.h"
#include "common/modErrorHandler.h"
#include "common/modGeneral.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include <vector>

int32_t glMixerOutWaveVolumeStep = 0;
int32_t glMixerInMicVolumeStep = 0;
QString gsAboutWaveMixerInfoLong;

namespace {
const char* kModule = "modMixer";
const QString kCrLf = QStringLiteral("\r\n");
const QString kSep = QStringLiteral(" \t ");

// Control slots from 1 in listing order; slot 0 holds no control, so a
// control the mixer lacks is the empty record of slot 0. The tables grow with
// the listing and every index is checked.
int16_t mnMixerCtrlCount = 0;
std::vector<MixerControlDetails> matypMixerDetails(1);
std::vector<int32_t> malMixerValue(1, 0);          // the one value of each slot
std::vector<int32_t> malMixerCtrlStartValue(1, -1);
// The record-source list: the last list control met.
std::vector<int32_t> malMixerList;
std::vector<MixerListText> matypMixerListText;
std::vector<bool> manMixerListStart;

int16_t mnMixerCtrlOutMasterVolume = 0;
int16_t mnMixerCtrlOutMasterMute = 0;
int16_t mnMixerCtrlOutWaveVolume = 0;
int16_t mnMixerCtrlOutWaveMute = 0;
int16_t mnMixerCtrlInMicVolume = 0;
int16_t mnMixerCtrlInSelect = 0;
int16_t mnMixerItemInMic = -1;                      // -1: the list has no microphone item
uint32_t mnMixerDevice = 0;

void mMixerReset() {
    mnMixerCtrlCount = 0;
    matypMixerDetails.assign(1, MixerControlDetails());
    malMixerValue.assign(1, 0);
    malMixerCtrlStartValue.assign(1, -1);
    malMixerList.clear();
    matypMixerListText.clear();
    manMixerListStart.clear();
    mnMixerCtrlOutMasterVolume = mnMixerCtrlOutMasterMute = 0;
    mnMixerCtrlOutWaveVolume = mnMixerCtrlOutWaveMute = 0;
    mnMixerCtrlInMicVolume = mnMixerCtrlInSelect = 0;
    mnMixerItemInMic = -1;
    glMixerOutWaveVolumeStep = glMixerInMicVolumeStep = 0;
    mnMixerDevice = 0;
}

void mCheckSlot(int inSlot) {
    if (inSlot < 0 || size_t(inSlot) >= matypMixerDetails.size()) vbRaise(vberr::kSubscriptOutOfRange);
}

// Points a slot's details record at its value buffer: the list for the
// record-source list, else the slot's value.
MixerControlDetails& mBindDetails(int inSlot) {
    mCheckSlot(inSlot);
    MixerControlDetails& d = matypMixerDetails[size_t(inSlot)];
    if (inSlot != 0 && inSlot == mnMixerCtrlInSelect) {
        d.paDetails = malMixerList.data();
        d.nDetails = malMixerList.size();
    } else {
        d.paDetails = &malMixerValue[size_t(inSlot)];
        d.nDetails = 1;
    }
    return d;
}

[[noreturn]] void mRaiseMixer(MMRESULT ilError) { vbRaise(vberr::kUserBase, msGetMixerError(ilError)); }

// Opens the mixer for one operation and closes it after, whatever happened.
class MixerSession {
public:
    MixerSession() { mResult = mixerOpen(mHandle, mnMixerDevice); }
    ~MixerSession() {
        if (mResult == MMSYSERR_NOERROR) mixerClose(mHandle);
    }
    MMRESULT result() const { return mResult; }
    HMIXER handle() const { return mHandle; }

private:
    HMIXER mHandle = 0;
    MMRESULT mResult = MMSYSERR_NOERROR;
};

MMRESULT mlGetControlValue(HMIXER ihMixer, int inSlot, int32_t& olValue) {
    MixerControlDetails& d = mBindDetails(inSlot);
    const MMRESULT r = mixerGetControlDetails(ihMixer, d);
    olValue = malMixerValue[size_t(inSlot)];
    return r;
}

int32_t mlGetOne(const char* isRoutine, int16_t inSlot, bool& obError) {
    ErrorTrap trap(kModule, isRoutine, obError);
    int32_t value = 0;
    trap(10, [&] {
        MixerSession s;
        MMRESULT r = s.result();
        if (r == MMSYSERR_NOERROR) r = mlGetControlValue(s.handle(), inSlot, value);
        if (r != MMSYSERR_NOERROR) mRaiseMixer(r);
    });
    return value;
}

void mMixerSetControl(int16_t inCtrlPtr, int32_t ilValue, bool& obError) {
    ErrorTrap trap(kModule, "mMixerSetControl", obError);
    trap(10, [&] {
        gsErrorContext = gsErrorContext + kCrLf + QStringLiteral("mMixerSetControl  ilValue ") + CStr(ilValue) +
                         QStringLiteral("  inCtrlPtr ") + CStr(inCtrlPtr);
        mCheckSlot(inCtrlPtr);
        MixerSession s;
        MMRESULT r = s.result();
        if (r == MMSYSERR_NOERROR) {
            if (ilValue != -1) malMixerValue[size_t(inCtrlPtr)] = ilValue;
            r = mixerSetControlDetails(s.handle(), mBindDetails(inCtrlPtr));
        }
        if (r != MMSYSERR_NOERROR) mRaiseMixer(r);
    });
}

// What a line is to the station, by its destination and its own kind.
QString msLineKind(const MixerLine& iDest, const MixerLine* iSource) {
    if (iDest.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) {
        if (!iSource) return QStringLiteral("Out");
        if (iSource->dwComponentType == MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT) return QStringLiteral("OutWave");
        return {};
    }
    if (iDest.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN) {
        if (!iSource) return QStringLiteral("In");
        switch (iSource->dwComponentType) {
        case MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE: return QStringLiteral("InMic");
        case MIXERLINE_COMPONENTTYPE_SRC_LINE: return QStringLiteral("InLine");
        case MIXERLINE_COMPONENTTYPE_SRC_ANALOG:
            return iSource->szShortName.contains(QStringLiteral("What U Hear")) ? QStringLiteral("InWhatUHear")
                                                                                : QStringLiteral("InAnalog");
        default: return {};
        }
    }
    return {};
}

QString msName(const QString& isText) {
    const qsizetype nul = isText.indexOf(QChar(0));
    return nul < 0 ? isText : isText.left(nul);
}

void mSetControlPtrsEtc(int16_t inSlot, const QString& isKind, const MixerControl& iControl) {
    const bool volume = iControl.dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME;
    const bool mute = iControl.dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE;
    if (isKind == QStringLiteral("Out")) {
        if (volume) mnMixerCtrlOutMasterVolume = inSlot;
        if (mute) mnMixerCtrlOutMasterMute = inSlot;
    } else if (isKind == QStringLiteral("OutWave")) {
        if (volume) {
            mnMixerCtrlOutWaveVolume = inSlot;
            glMixerOutWaveVolumeStep = static_cast<int32_t>(iControl.cSteps);
        }
        if (mute) mnMixerCtrlOutWaveMute = inSlot;
    } else if (isKind == QStringLiteral("InMic") && volume) {
        mnMixerCtrlInMicVolume = inSlot;
        glMixerInMicVolumeStep = static_cast<int32_t>(iControl.cSteps);
    }
}

// Fills the slot's record and reads its start value (-1 for the list and meters).
MMRESULT mlControlGetValueStore(HMIXER ihMixer, int16_t inSlot, const MixerControl& iControl, const QString& isKind,
                                int32_t& olValue) {
    MixerControlDetails& d = matypMixerDetails[size_t(inSlot)];
    d = MixerControlDetails();
    d.dwControlID = iControl.dwControlID;
    d.cChannels = 1;
    d.cMultipleItems = iControl.cMultipleItems;
    olValue = -1;
    const uint32_t type = iControl.dwControlType;
    if (type == MIXERCONTROL_CONTROLTYPE_MUX || type == MIXERCONTROL_CONTROLTYPE_MIXER) {
        std::vector<MixerListText> items;
        MMRESULT r = mixerGetControlDetailsListText(ihMixer, d, items);
        if (r != MMSYSERR_NOERROR) return r;
        // The last list met is the record-source list, with its own microphone item.
        mnMixerCtrlInSelect = inSlot;
        mnMixerItemInMic = -1;
        matypMixerListText = items;
        malMixerList.assign(items.size(), 0);
        manMixerListStart.assign(items.size(), false);
        r = mixerGetControlDetails(ihMixer, mBindDetails(inSlot));
        if (r != MMSYSERR_NOERROR) return r;
        for (size_t i = 0; i < items.size(); ++i) {
            gsErrorContext = QStringLiteral("nItem ") + CStr(int32_t(i)) + QStringLiteral(" itypControl.cMultipleItems ") +
                             CStr(int32_t(iControl.cMultipleItems));
            manMixerListStart[i] = malMixerList[i] != 0;
            if (items[i].dwParam2 == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE) mnMixerItemInMic = int16_t(i);
        }
    } else if (type != MIXERCONTROL_CONTROLTYPE_PEAKMETER) {
        const MMRESULT r = mlGetControlValue(ihMixer, inSlot, olValue);
        if (r != MMSYSERR_NOERROR) return r;
        mSetControlPtrsEtc(inSlot, isKind, iControl);
    }
    malMixerCtrlStartValue[size_t(inSlot)] = olValue;
    return MMSYSERR_NOERROR;
}

QString msControlLongInfo(int inNumber, const MixerControl& iControl, int32_t ilValue, const QString& isIndent) {
    return isIndent + QStringLiteral("(") + CStr(int32_t(inNumber)) + QStringLiteral(") CONTROL:  ") +
           msName(iControl.szName) + kCrLf + isIndent + QStringLiteral("Type:  ") +
           msGetControlType(iControl.dwControlType) + kCrLf + isIndent + QStringLiteral("Control flag:  ") +
           msGetControlFlag(iControl.fdwControl) + kSep + QStringLiteral("Multiple items:  ") +
           QString::number(iControl.cMultipleItems) + kSep + QStringLiteral("Control ID:  ") +
           QString::number(iControl.dwControlID) + kSep + QStringLiteral("Bounds. Min: ") +
           QString::number(iControl.lMinimum) + QStringLiteral("  Max: ") + QString::number(iControl.lMaximum) + kSep +
           QStringLiteral("Current: ") + QString::number(ilValue) + kCrLf +
           (iControl.szGainLaw.isEmpty() ? QString() : isIndent + QStringLiteral("Volume:  ") + iControl.szGainLaw + kCrLf);
}

// Reads a line's controls, gives each the next slot, and returns their list.
MMRESULT msGetLineControls(HMIXER ihMixer, const MixerLine& iLine, const QString& isKind, const QString& isIndent,
                           QString& osText) {
    std::vector<MixerControl> controls;
    const MMRESULT r = mixerGetLineControls(ihMixer, iLine.dwLineID, controls);
    if (r != MMSYSERR_NOERROR) return r;
    for (size_t c = 0; c < controls.size(); ++c) {
        const int16_t slot = checkedInt(int64_t(mnMixerCtrlCount) + 1);
        mnMixerCtrlCount = slot;
        matypMixerDetails.resize(size_t(slot) + 1);
        malMixerValue.resize(size_t(slot) + 1, 0);
        malMixerCtrlStartValue.resize(size_t(slot) + 1, -1);
        int32_t value = -1;
        const MMRESULT rc = mlControlGetValueStore(ihMixer, slot, controls[c], isKind, value);
        if (rc != MMSYSERR_NOERROR) return rc;
        osText += msControlLongInfo(int(c) + 1, controls[c], value, isIndent);
    }
    if (!controls.empty()) osText += kCrLf;
    return MMSYSERR_NOERROR;
}

QString msLineFields(const MixerLine& iLine, bool ibSource) {
    const QString indent = ibSource ? QStringLiteral("\t") : QString();
    return indent + (ibSource ? QStringLiteral("SOURCE: ") : QStringLiteral("DESTINATION: ")) + msName(iLine.szName) +
           QStringLiteral("  (") + msName(iLine.szShortName) + QStringLiteral(")") + kCrLf + indent +
           QString(ibSource ? 30 : 60, QLatin1Char('*')) + kCrLf + indent +
           (ibSource ? QStringLiteral("Source Line ID: ") : QStringLiteral("Line ID: ")) +
           QString::number(iLine.dwLineID, 16).toUpper() + kSep + QStringLiteral("Component type: ") +
           msGetComponentType(iLine.dwComponentType) + kCrLf + indent + QStringLiteral("Line Flag: ") +
           msGetLineFlag(iLine.fdwLine) + kSep + QStringLiteral("Source connection count: ") +
           QString::number(iLine.cConnections) + kSep + QStringLiteral("Channel count: ") +
           QString::number(iLine.cChannels) + kSep + QStringLiteral("Control count: ") +
           QString::number(iLine.cControls) + kCrLf + indent + QStringLiteral("Target media: ") +
           msName(iLine.Target.szPname) + kSep + QStringLiteral("Type: ") + msGetTargetType(iLine.Target.dwType) +
           kCrLf + kCrLf;
}

MMRESULT msDLineLongInfoGetControls(HMIXER ihMixer, const MixerLine& iDest, QString& osText) {
    QString controls;
    const MMRESULT r = msGetLineControls(ihMixer, iDest, msLineKind(iDest, nullptr), QString(), controls);
    osText += msLineFields(iDest, false) + controls;
    return r;
}

MMRESULT msGetDLineSLineCtrls(HMIXER ihMixer, const MixerLine& iDest, const MixerLine& iSource, QString& osText) {
    QString controls;
    const MMRESULT r = msGetLineControls(ihMixer, iSource, msLineKind(iDest, &iSource), QStringLiteral("\t"), controls);
    osText += msLineFields(iSource, true) + controls;
    return r;
}
}

QString msGetMixerError(MMRESULT ilError) {
    switch (ilError) {
    case 0: return QStringLiteral("No error");
    case 2: return QStringLiteral("Invalid device identifier");
    case 4: return QStringLiteral("Allocated");
    case 5: return QStringLiteral("The uMxId parameter specifies an invalid handle");
    case 6: return QStringLiteral("No mixer device available for uMxId");
    case 7: return QStringLiteral("Unable to allocate resources.");
    case 10: return QStringLiteral("One or more flags are invalid");
    case 11: return QStringLiteral("One or more parameters are invalid.");
    default: return QStringLiteral("Unknown error");
    }
}

QString msGetLineFlag(uint32_t ilFlags) {
    QString s;
    if (ilFlags & MIXERLINE_LINEF_ACTIVE) s += QStringLiteral(" Active");
    if (ilFlags & MIXERLINE_LINEF_DISCONNECTED) s += QStringLiteral(" Disconnected");
    if (ilFlags & MIXERLINE_LINEF_SOURCE) s += QStringLiteral(" Source");
    return s.trimmed();
}

QString msGetControlFlag(uint32_t ilFlags) {
    QString s;
    if (ilFlags & MIXERCONTROL_CONTROLF_UNIFORM) s += QStringLiteral("Uniform");
    if (ilFlags & MIXERCONTROL_CONTROLF_MULTIPLE) s += QStringLiteral(" Multiple");
    if (ilFlags & MIXERCONTROL_CONTROLF_DISABLED) s += QStringLiteral(" Disabled");
    if (s.isEmpty()) return QStringLiteral("None   ");
    return s.trimmed();
}

QString msGetComponentType(uint32_t ilType) {
    switch (ilType) {
    case 0: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_FIRST");
    case 1: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_DIGITAL");
    case 2: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_LINE");
    case 3: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_MONITOR");
    case 4: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_SPEAKERS");
    case 5: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_HEADPHONES");
    case 6: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_TELEPHONE");
    case 7: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_WAVEIN");
    case 8: return QStringLiteral("MIXERLINE_COMPONENTTYPE_DST_LAST");
    case 0x1000: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_FIRST");
    case 0x1001: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_DIGITAL");
    case 0x1002: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_LINE");
    case 0x1003: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE");
    case 0x1004: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER");
    case 0x1005: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC");
    case 0x1006: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE");
    case 0x1007: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER");
    case 0x1008: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT");
    case 0x1009: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY");
    case 0x100A: return QStringLiteral("MIXERLINE_COMPONENTTYPE_SRC_ANALOG");
    default: return QStringLiteral("<invalid>");
    }
}

QString msGetTargetType(uint32_t ilType) {
    switch (ilType) {
    case 0: return QStringLiteral("MIXERLINE_TARGETTYPE_UNDEFINED");
    case 1: return QStringLiteral("MIXERLINE_TARGETTYPE_WAVEOUT");
    case 2: return QStringLiteral("MIXERLINE_TARGETTYPE_WAVEIN");
    case 3: return QStringLiteral("MIXERLINE_TARGETTYPE_MIDIOUT");
    case 4: return QStringLiteral("MIXERLINE_TARGETTYPE_MIDIIN");
    case 5: return QStringLiteral("MIXERLINE_TARGETTYPE_AUX");
    default: return QStringLiteral("<invalid>");
    }
}

QString msGetControlType(uint32_t ilType) {
    struct Name { uint32_t type; const char* name; };
    static const Name names[] = {
        {MIXERCONTROL_CONTROLTYPE_CUSTOM, "MIXERCONTROL_CONTROLTYPE_CUSTOM"},
        {MIXERCONTROL_CONTROLTYPE_BOOLEANMETER, "MIXERCONTROL_CONTROLTYPE_BOOLEANMETER"},
        {MIXERCONTROL_CONTROLTYPE_SIGNEDMETER, "MIXERCONTROL_CONTROLTYPE_SIGNEDMETER"},
        {MIXERCONTROL_CONTROLTYPE_PEAKMETER, "MIXERCONTROL_CONTROLTYPE_PEAKMETER"},
        {MIXERCONTROL_CONTROLTYPE_UNSIGNEDMETER, "MIXERCONTROL_CONTROLTYPE_UNSIGNEDMETER"},
        {MIXERCONTROL_CONTROLTYPE_BOOLEAN, "MIXERCONTROL_CONTROLTYPE_BOOLEAN"},
        {MIXERCONTROL_CONTROLTYPE_ONOFF, "MIXERCONTROL_CONTROLTYPE_ONOFF"},
        {MIXERCONTROL_CONTROLTYPE_MUTE, "MIXERCONTROL_CONTROLTYPE_MUTE"},
        {MIXERCONTROL_CONTROLTYPE_MONO, "MIXERCONTROL_CONTROLTYPE_MONO"},
        {MIXERCONTROL_CONTROLTYPE_LOUDNESS, "MIXERCONTROL_CONTROLTYPE_LOUDNESS"},
        {MIXERCONTROL_CONTROLTYPE_STEREOENH, "MIXERCONTROL_CONTROLTYPE_STEREOENH"},
        {MIXERCONTROL_CONTROLTYPE_BASS_BOOST, "MIXERCONTROL_CONTROLTYPE_BASS_BOOST"},
        {MIXERCONTROL_CONTROLTYPE_BUTTON, "MIXERCONTROL_CONTROLTYPE_BUTTON"},
        {MIXERCONTROL_CONTROLTYPE_DECIBELS, "MIXERCONTROL_CONTROLTYPE_DECIBELS"},
        {MIXERCONTROL_CONTROLTYPE_SIGNED, "MIXERCONTROL_CONTROLTYPE_SIGNED"},
        {MIXERCONTROL_CONTROLTYPE_UNSIGNED, "MIXERCONTROL_CONTROLTYPE_UNSIGNED"},
        {MIXERCONTROL_CONTROLTYPE_PERCENT, "MIXERCONTROL_CONTROLTYPE_PERCENT"},
        {MIXERCONTROL_CONTROLTYPE_SLIDER, "MIXERCONTROL_CONTROLTYPE_SLIDER"},
        {MIXERCONTROL_CONTROLTYPE_PAN, "MIXERCONTROL_CONTROLTYPE_PAN"},
        {MIXERCONTROL_CONTROLTYPE_QSOUNDPAN, "MIXERCONTROL_CONTROLTYPE_QSOUNDPAN"},
        {MIXERCONTROL_CONTROLTYPE_FADER, "MIXERCONTROL_CONTROLTYPE_FADER"},
        {MIXERCONTROL_CONTROLTYPE_VOLUME, "MIXERCONTROL_CONTROLTYPE_VOLUME"},
        {MIXERCONTROL_CONTROLTYPE_BASS, "MIXERCONTROL_CONTROLTYPE_BASS"},
        {MIXERCONTROL_CONTROLTYPE_TREBLE, "MIXERCONTROL_CONTROLTYPE_TREBLE"},
        {MIXERCONTROL_CONTROLTYPE_EQUALIZER, "MIXERCONTROL_CONTROLTYPE_EQUALIZER"},
        {MIXERCONTROL_CONTROLTYPE_SINGLESELECT, "MIXERCONTROL_CONTROLTYPE_SINGLESELECT"},
        {MIXERCONTROL_CONTROLTYPE_MUX, "MIXERCONTROL_CONTROLTYPE_MUX"},
        {MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT, "MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT"},
        {MIXERCONTROL_CONTROLTYPE_MIXER, "MIXERCONTROL_CONTROLTYPE_MIXER"},
        {MIXERCONTROL_CONTROLTYPE_MICROTIME, "MIXERCONTROL_CONTROLTYPE_MICROTIME"},
        {MIXERCONTROL_CONTROLTYPE_MILLITIME, "MIXERCONTROL_CONTROLTYPE_MILLITIME"},
    };
    for (const Name& n : names)
        if (n.type == ilType) return QString::fromLatin1(n.name);
    return QStringLiteral("<invalid>");
}

bool gbMixerThere(bool& obError) {
    ErrorTrap trap(kModule, "gbMixerThere", obError);
    mMixerReset();
    gsWaveInOutInfoShort += kCrLf + kCrLf + QStringLiteral("MIXER") + kCrLf;
    uint32_t count = 0;
    if (!trap(10, [&] { count = mixerGetNumDevs(); })) return false;
    if (count == 0) {
        gMsgBox(QStringLiteral("No mixers on this PC"), vbExclamation, gsMainCaption);
        return false;
    }

    // The mixer of the wave output's card: the first whose name is the output's.
    MMRESULT failed = MMSYSERR_NOERROR;
    QString summary = QStringLiteral("Mixer Count: ") + QString::number(count);
    bool matched = false;
    for (uint32_t m = 0; m < count && !matched; ++m) {
        MixerCaps caps;
        failed = mixerGetDevCaps(m, caps);
        if (failed != MMSYSERR_NOERROR) break;
        summary += kCrLf + QStringLiteral("Mixer:  ") + msName(caps.szPname) + QStringLiteral(", Destinations: ") +
                   QString::number(caps.cDestinations);
        if (msName(caps.szPname) == gtypWaveOutCaps.sDeviceName) {
            mnMixerDevice = m;
            matched = true;
        }
    }
    gsWaveInOutInfoShort += summary;
    gsAboutWaveMixerInfoLong = gsWaveInOutInfoShort + kCrLf + QStringLiteral("Info on Mixer ") +
                               QString::number(mnMixerDevice) + QStringLiteral(" follows") + kCrLf;

    if (failed == MMSYSERR_NOERROR) {
        if (!trap(20, [&] {
                MixerCaps caps;
                failed = mixerGetDevCaps(mnMixerDevice, caps);
                if (failed != MMSYSERR_NOERROR) return;
                MixerSession s;
                failed = s.result();
                for (uint32_t d = 0; failed == MMSYSERR_NOERROR && d < caps.cDestinations; ++d) {
                    MixerLine dest;
                    failed = mixerGetLineInfoDestination(s.handle(), d, dest);
                    if (failed == MMSYSERR_NOERROR) failed = msDLineLongInfoGetControls(s.handle(), dest, gsAboutWaveMixerInfoLong);
                    for (uint32_t i = 0; failed == MMSYSERR_NOERROR && i < dest.cConnections; ++i) {
                        MixerLine source;
                        failed = mixerGetLineInfoSource(s.handle(), d, i, source);
                        if (failed == MMSYSERR_NOERROR)
                            failed = msGetDLineSLineCtrls(s.handle(), dest, source, gsAboutWaveMixerInfoLong);
                    }
                }
            }))
            return false;
    }
    if (failed != MMSYSERR_NOERROR && !trap(30, [&] { mRaiseMixer(failed); })) return false;
    return !obError;
}

void gMixerRestore(bool& obError) {
    for (int16_t slot = 1; slot <= mnMixerCtrlCount; ++slot) {
        const int32_t start = malMixerCtrlStartValue[size_t(slot)];
        if (start < 0) continue;
        mMixerSetControl(slot, start, obError);
        if (obError) return;
    }
    if (mnMixerCtrlInSelect == 0) return;
    for (size_t i = 0; i < malMixerList.size(); ++i) malMixerList[i] = manMixerListStart[i] ? 1 : 0;
    mMixerSetControl(mnMixerCtrlInSelect, -1, obError);
}

void gMixerOutMasterSetVolume(int32_t ilVolume, bool& obError) { mMixerSetControl(mnMixerCtrlOutMasterVolume, ilVolume, obError); }

int32_t glMixerOutMasterGetVolume(bool& obError) {
    return mlGetOne("glMixerOutMasterGetVolume", mnMixerCtrlOutMasterVolume, obError);
}

void gMixerOutMasterSetMute(bool ibMute, bool& obError) { mMixerSetControl(mnMixerCtrlOutMasterMute, ibMute ? 1 : 0, obError); }

void gMixerOutWaveSetVolume(int32_t ilVolume, bool& obError) { mMixerSetControl(mnMixerCtrlOutWaveVolume, ilVolume, obError); }

void gMixerOutWaveSetMute(bool ibMute, bool& obError) { mMixerSetControl(mnMixerCtrlOutWaveMute, ibMute ? 1 : 0, obError); }

bool gbMixerOutWaveThere() { return mnMixerCtrlOutWaveMute != 0 || mnMixerCtrlOutWaveVolume != 0; }

void gMixerInMicSetVolume(int32_t ilVolume, bool& obError) { mMixerSetControl(mnMixerCtrlInMicVolume, ilVolume, obError); }

int32_t glMixerInMicGetVolume(bool& obError) { return mlGetOne("glMixerInMicGetVolume", mnMixerCtrlInMicVolume, obError); }

void gMixerInMasterSelectMic(bool& obError) {
    ErrorTrap trap(kModule, "gMixerInMasterSelectMic", obError);
    bool haveMic = false;
    if (!trap(10, [&] {
            // Without a microphone item nothing is selected: recording Line or
            // CD instead would measure the wrong thing without a word.
            if (mnMixerCtrlInSelect == 0 || mnMixerItemInMic < 0)
                vbRaise(vberr::kUserBase, QStringLiteral("No microphone record source"));
            std::fill(malMixerList.begin(), malMixerList.end(), 0);
            malMixerList.at(size_t(mnMixerItemInMic)) = 1;
            haveMic = true;
        }))
        return;
    if (haveMic) mMixerSetControl(mnMixerCtrlInSelect, -1, obError);
}
