#include "platform/sound/AlsaMixerMap.h"
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace sound {
namespace {
const AlsaElementDesc* find(const std::vector<AlsaElementDesc>& iElements, const QString& iName,
                            bool (*iHas)(const AlsaElementDesc&)) {
    for (const AlsaElementDesc& e : iElements)
        if (e.name == iName && e.index == 0 && iHas(e)) return &e;
    return nullptr;
}

bool anyPlayback(const AlsaElementDesc& e) { return e.hasPlaybackVolume || e.hasPlaybackSwitch; }
bool captureVolume(const AlsaElementDesc& e) { return e.hasCaptureVolume; }
bool captureSwitch(const AlsaElementDesc& e) { return e.hasCaptureSwitch; }

MixerControlModel bound(MixerControlModel iControl, AlsaBinding iBinding, const AlsaElementDesc& iElement) {
    iControl.binding = iBinding;
    iControl.element = iElement.name;
    iControl.elementIndex = iElement.index;
    if (iBinding == AlsaBinding::PlaybackVolume) {
        iControl.elementMin = iElement.playbackMin;
        iControl.elementMax = iElement.playbackMax;
    } else if (iBinding == AlsaBinding::CaptureVolume) {
        iControl.elementMin = iElement.captureMin;
        iControl.elementMax = iElement.captureMax;
    }
    if (iBinding == AlsaBinding::PlaybackVolume || iBinding == AlsaBinding::CaptureVolume) {
        const long steps = iControl.elementMax - iControl.elementMin;
        iControl.info.cSteps = steps > 0 ? uint32_t(steps) : 0;
        const bool playback = iBinding == AlsaBinding::PlaybackVolume;
        iControl.info.szGainLaw = volumeLawText(
            alsaVolumeLaw(playback ? iElement.hasPlaybackDb : iElement.hasCaptureDb, iElement.serverVolume));
    }
    return iControl;
}

void addPlaybackControls(MixerLineModel& ioLine, const AlsaElementDesc& iElement, MixerRole iVolume, MixerRole iMute) {
    if (iElement.hasPlaybackVolume)
        ioLine.controls.push_back(bound(mixerVolumeControl(iElement.name + QStringLiteral(" Volume"), 0, 0, iVolume),
                                        AlsaBinding::PlaybackVolume, iElement));
    if (iElement.hasPlaybackSwitch)
        ioLine.controls.push_back(bound(mixerMuteControl(iElement.name + QStringLiteral(" Mute"), false, iMute),
                                        AlsaBinding::PlaybackSwitchInverted, iElement));
}
}

uint32_t alsaSourceType(const QString& iItemName) {
    if (iItemName.contains(QStringLiteral("Mic"), Qt::CaseInsensitive)) return MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    if (iItemName.contains(QStringLiteral("Line"), Qt::CaseInsensitive)) return MIXERLINE_COMPONENTTYPE_SRC_LINE;
    if (iItemName.contains(QStringLiteral("CD"), Qt::CaseSensitive)) return MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    return MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
}

int32_t alsaToMixerVolume(long iValue, long iMin, long iMax) {
    if (iMax <= iMin) return 0;
    const long v = std::clamp(iValue, iMin, iMax);
    return int32_t(std::llround(double(v - iMin) * 65535.0 / double(iMax - iMin)));
}

long mixerToAlsaVolume(int32_t iValue, long iMin, long iMax) {
    if (iMax <= iMin) return iMin;
    const int32_t v = std::clamp(iValue, 0, 65535);
    return iMin + long(std::llround(double(v) * double(iMax - iMin) / 65535.0));
}

VolumeLaw alsaVolumeLaw(bool iHasDb, bool iServerVolume) {
    if (iHasDb) return VolumeLaw::Decibel;
    return iServerVolume ? VolumeLaw::Cubic : VolumeLaw::Raw;
}

QString volumeLawText(VolumeLaw iLaw) {
    switch (iLaw) {
    case VolumeLaw::Decibel: return QStringLiteral("set through the card's dB scale");
    case VolumeLaw::Cubic: return QStringLiteral("set through the sound server's cubic law");
    case VolumeLaw::Raw: break;
    }
    return QStringLiteral("set raw: the card gives no dB scale, so its gain is not known");
}

double mixerVolumeGainDb(int32_t iValue) {
    if (iValue <= 0) return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(double(std::min(iValue, 65535)) / 65535.0);
}

long mixerToAlsaDb(int32_t iValue, long iDbMin, long iDbMax) {
    if (iValue <= 0 || iDbMax <= iDbMin) return iDbMin;
    const double db = double(iDbMax) + 100.0 * mixerVolumeGainDb(iValue);
    return std::clamp(long(std::llround(db)), iDbMin, iDbMax);
}

int32_t alsaDbToMixer(long iDb, long iDbMin, long iDbMax) {
    if (iDb <= iDbMin || iDbMax <= iDbMin) return 0;
    const double fraction = std::pow(10.0, double(std::min(iDb, iDbMax) - iDbMax) / 2000.0);
    return int32_t(std::clamp<long long>(std::llround(65535.0 * fraction), 0, 65535));
}

long mixerToCubicVolume(int32_t iValue, long iMin, long iMax) {
    if (iMax <= iMin || iValue <= 0) return iMin;
    const double fraction = std::cbrt(double(std::min(iValue, 65535)) / 65535.0);
    return iMin + long(std::llround(fraction * double(iMax - iMin)));
}

int32_t cubicVolumeToMixer(long iValue, long iMin, long iMax) {
    if (iMax <= iMin) return 0;
    const double fraction = double(std::clamp(iValue, iMin, iMax) - iMin) / double(iMax - iMin);
    return int32_t(std::llround(65535.0 * fraction * fraction * fraction));
}

QString alsaCtlNameForDevice(const QString& iDeviceName) {
    static const QRegularExpression hw(QStringLiteral("\\(hw:(\\d+),\\d+\\)"));
    const QRegularExpressionMatch m = hw.match(iDeviceName);
    if (m.hasMatch()) return QStringLiteral("hw:") + m.captured(1);
    return iDeviceName;
}

MixerModel alsaMixerModel(const QString& iMixerName, const std::vector<AlsaElementDesc>& iElements) {
    MixerModel model;
    model.caps.szPname = iMixerName;
    model.caps.vDriverVersion = 0x0100;

    const AlsaElementDesc* master = find(iElements, QStringLiteral("Master"), anyPlayback);
    const AlsaElementDesc* pcm = find(iElements, QStringLiteral("PCM"), anyPlayback);
    MixerDestinationModel speakers;
    speakers.line = mixerLine(QStringLiteral("Master"), QStringLiteral("Master"), MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                              MIXERLINE_TARGETTYPE_WAVEOUT, iMixerName);
    if (master) addPlaybackControls(speakers.line, *master, MixerRole::MasterVolume, MixerRole::MasterMute);
    if (pcm) {
        MixerLineModel wave = mixerLine(QStringLiteral("PCM"), QStringLiteral("PCM"), MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT,
                                        MIXERLINE_TARGETTYPE_WAVEOUT, iMixerName);
        addPlaybackControls(wave, *pcm, MixerRole::WaveVolume, MixerRole::WaveMute);
        speakers.sources.push_back(wave);
    }
    if (master || pcm) model.destinations.push_back(speakers);

    const AlsaElementDesc* sourceEnum = nullptr;
    for (const AlsaElementDesc& e : iElements)
        if (e.isCaptureEnum && !e.enumItems.isEmpty()) {
            sourceEnum = &e;
            break;
        }
    const AlsaElementDesc* micVolume = find(iElements, QStringLiteral("Mic"), captureVolume);
    if (!micVolume) micVolume = find(iElements, QStringLiteral("Capture"), captureVolume);
    const AlsaElementDesc* captureOn = find(iElements, QStringLiteral("Capture"), captureSwitch);
    if (!captureOn) captureOn = find(iElements, QStringLiteral("Mic"), captureSwitch);

    if (sourceEnum || micVolume || captureOn) {
        MixerDestinationModel wavein;
        wavein.line = mixerLine(QStringLiteral("Capture"), QStringLiteral("Capture"), MIXERLINE_COMPONENTTYPE_DST_WAVEIN,
                                MIXERLINE_TARGETTYPE_WAVEIN, iMixerName);
        MixerControlModel list;
        list.info.dwControlType = MIXERCONTROL_CONTROLTYPE_MUX;
        list.info.szName = QStringLiteral("Capture Source");
        list.info.szShortName = QStringLiteral("Source");
        list.info.lMinimum = 0;
        list.info.lMaximum = 1;
        list.role = MixerRole::RecordSelect;
        if (sourceEnum) {
            for (const QString& item : sourceEnum->enumItems) list.items.push_back({0, alsaSourceType(item), item});
            list.binding = AlsaBinding::CaptureEnum;
            list.element = sourceEnum->name;
            list.elementIndex = sourceEnum->index;
        } else {
            list.items.push_back({0, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, QStringLiteral("Microphone")});
            if (captureOn) {
                list.binding = AlsaBinding::CaptureSwitch;
                list.element = captureOn->name;
                list.elementIndex = captureOn->index;
            }
        }
        wavein.line.controls.push_back(list);
        MixerLineModel mic = mixerLine(QStringLiteral("Microphone"), QStringLiteral("Mic"),
                                       MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, MIXERLINE_TARGETTYPE_UNDEFINED, QString());
        if (micVolume)
            mic.controls.push_back(bound(mixerVolumeControl(micVolume->name + QStringLiteral(" Volume"), 0, 0,
                                                            MixerRole::MicVolume),
                                         AlsaBinding::CaptureVolume, *micVolume));
        wavein.sources.push_back(mic);
        model.destinations.push_back(wavein);
    }
    model.finalize();
    // The list items name the microphone line of this destination by its ID.
    if (!model.destinations.empty()) {
        MixerDestinationModel& last = model.destinations.back();
        if (last.line.info.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN && !last.sources.empty())
            for (MixerListText& item : last.line.controls.front().items)
                if (item.dwParam2 == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE) item.dwParam1 = last.sources.front().info.dwLineID;
    }
    return model;
}

}
