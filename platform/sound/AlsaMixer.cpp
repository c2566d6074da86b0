#include "platform/sound/AlsaMixer.h"
#include <alsa/asoundlib.h>
#include <algorithm>
#include <cstdarg>
#include <mutex>

namespace sound {
namespace {
void silentHandler(const char*, int, const char*, int, const char*, ...) {}

snd_mixer_elem_t* element(snd_mixer_t* iMixer, const MixerControlModel& iControl) {
    snd_mixer_selem_id_t* sid = nullptr;
    snd_mixer_selem_id_alloca(&sid);
    const QByteArray name = iControl.element.toUtf8();
    snd_mixer_selem_id_set_name(sid, name.constData());
    snd_mixer_selem_id_set_index(sid, unsigned(iControl.elementIndex));
    return snd_mixer_find_selem(iMixer, sid);
}

AlsaElementDesc describe(snd_mixer_elem_t* e, bool iServer) {
    AlsaElementDesc d;
    d.name = QString::fromUtf8(snd_mixer_selem_get_name(e));
    d.index = int(snd_mixer_selem_get_index(e));
    d.hasPlaybackVolume = snd_mixer_selem_has_playback_volume(e);
    d.hasPlaybackSwitch = snd_mixer_selem_has_playback_switch(e);
    d.hasCaptureVolume = snd_mixer_selem_has_capture_volume(e);
    d.hasCaptureSwitch = snd_mixer_selem_has_capture_switch(e);
    if (d.hasPlaybackVolume) snd_mixer_selem_get_playback_volume_range(e, &d.playbackMin, &d.playbackMax);
    if (d.hasCaptureVolume) snd_mixer_selem_get_capture_volume_range(e, &d.captureMin, &d.captureMax);
    d.hasPlaybackDb = d.hasPlaybackVolume && snd_mixer_selem_get_playback_dB_range(e, &d.playbackDbMin, &d.playbackDbMax) == 0 &&
                      d.playbackDbMax > d.playbackDbMin;
    d.hasCaptureDb = d.hasCaptureVolume && snd_mixer_selem_get_capture_dB_range(e, &d.captureDbMin, &d.captureDbMax) == 0 &&
                     d.captureDbMax > d.captureDbMin;
    d.serverVolume = iServer;
    if (snd_mixer_selem_is_enumerated(e) && snd_mixer_selem_is_enum_capture(e)) {
        d.isCaptureEnum = true;
        const int n = snd_mixer_selem_get_enum_items(e);
        for (int i = 0; i < n; ++i) {
            char buf[64] = {0};
            if (snd_mixer_selem_get_enum_item_name(e, unsigned(i), sizeof buf - 1, buf) == 0)
                d.enumItems << QString::fromUtf8(buf);
        }
    }
    return d;
}
}

void AlsaMixer::quietLibrary() {
    static const bool once = [] {
        snd_lib_error_set_handler(&silentHandler);
        return true;
    }();
    (void)once;
}

AlsaMixer::AlsaMixer(const QString& iCtlName, const QString& iMixerName) : mCtlName(iCtlName) {
    quietLibrary();
    snd_mixer_t* m = nullptr;
    int rc = snd_mixer_open(&m, 0);
    if (rc == 0) rc = snd_mixer_attach(m, iCtlName.toUtf8().constData());
    if (rc == 0) rc = snd_mixer_selem_register(m, nullptr, nullptr);
    if (rc == 0) rc = snd_mixer_load(m);
    if (rc < 0) {
        mError = QString::fromUtf8(snd_strerror(rc));
        if (m) snd_mixer_close(m);
        mModel = alsaMixerModel(iMixerName, {});
        return;
    }
    mMixer = m;
    // A sound server's control (the PulseAudio or PipeWire plugin) is an
    // external one; a card's own is a kernel one.
    snd_hctl_t* hctl = nullptr;
    const bool server = snd_mixer_get_hctl(m, iCtlName.toUtf8().constData(), &hctl) == 0 && hctl &&
                        snd_ctl_type(snd_hctl_ctl(hctl)) == SND_CTL_TYPE_EXT;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(m); e; e = snd_mixer_elem_next(e))
        if (snd_mixer_selem_is_active(e)) mElements.push_back(describe(e, server));
    mModel = alsaMixerModel(iMixerName, mElements);
}

AlsaMixer::~AlsaMixer() {
    if (mMixer) snd_mixer_close(mMixer);
}

const AlsaElementDesc* AlsaMixer::desc(const MixerControlModel& iControl) const {
    for (const AlsaElementDesc& d : mElements)
        if (d.name == iControl.element && d.index == iControl.elementIndex) return &d;
    return nullptr;
}

std::map<QString, std::map<long, int32_t>>& AlsaMixer::known() {
    static std::map<QString, std::map<long, int32_t>> k;
    return k;
}

std::mutex& AlsaMixer::knownMutex() {
    static std::mutex m;
    return m;
}

QString AlsaMixer::knownKey(const MixerControlModel& iControl) const {
    return mCtlName + QLatin1Char('/') + iControl.element + QLatin1Char(',') + QString::number(iControl.elementIndex) +
           (iControl.binding == AlsaBinding::PlaybackVolume ? QStringLiteral(",p") : QStringLiteral(",c"));
}

VolumeLaw AlsaMixer::law(const MixerControlModel& iControl) const {
    const AlsaElementDesc* d = desc(iControl);
    if (!d) return VolumeLaw::Raw;
    const bool playback = iControl.binding == AlsaBinding::PlaybackVolume;
    return alsaVolumeLaw(playback ? d->hasPlaybackDb : d->hasCaptureDb, d->serverVolume);
}

int32_t AlsaMixer::toMixer(snd_mixer_elem_t* e, const MixerControlModel& iControl, long iRaw, bool iPlayback) const {
    const AlsaElementDesc* d = desc(iControl);
    switch (law(iControl)) {
    case VolumeLaw::Decibel: {
        long db = 0;
        const int rc = iPlayback ? snd_mixer_selem_ask_playback_vol_dB(e, iRaw, &db) : snd_mixer_selem_ask_capture_vol_dB(e, iRaw, &db);
        if (rc == 0 && iRaw > iControl.elementMin)
            return alsaDbToMixer(db, iPlayback ? d->playbackDbMin : d->captureDbMin, iPlayback ? d->playbackDbMax : d->captureDbMax);
        if (iRaw <= iControl.elementMin) return 0;
        break;
    }
    case VolumeLaw::Cubic: return cubicVolumeToMixer(iRaw, iControl.elementMin, iControl.elementMax);
    case VolumeLaw::Raw: break;
    }
    return alsaToMixerVolume(iRaw, iControl.elementMin, iControl.elementMax);
}

long AlsaMixer::toRaw(snd_mixer_elem_t* e, const MixerControlModel& iControl, int32_t iValue, bool iPlayback) const {
    const AlsaElementDesc* d = desc(iControl);
    switch (law(iControl)) {
    case VolumeLaw::Decibel: {
        if (iValue <= 0) return iControl.elementMin;
        const long db = mixerToAlsaDb(iValue, iPlayback ? d->playbackDbMin : d->captureDbMin,
                                      iPlayback ? d->playbackDbMax : d->captureDbMax);
        long raw = 0;
        // The step nearest below the level: never louder than asked.
        const int rc = iPlayback ? snd_mixer_selem_ask_playback_dB_vol(e, db, -1, &raw)
                                 : snd_mixer_selem_ask_capture_dB_vol(e, db, -1, &raw);
        if (rc == 0) return raw;
        break;
    }
    case VolumeLaw::Cubic: return mixerToCubicVolume(iValue, iControl.elementMin, iControl.elementMax);
    case VolumeLaw::Raw: break;
    }
    return mixerToAlsaVolume(iValue, iControl.elementMin, iControl.elementMax);
}

MMRESULT AlsaMixer::get(const MixerControlModel& iControl, int32_t* oValues) {
    if (iControl.binding == AlsaBinding::None) {
        for (size_t i = 0; i < iControl.values.size(); ++i) oValues[i] = iControl.isList() ? 1 : iControl.values[i];
        return MMSYSERR_NOERROR;
    }
    if (!mMixer) return MMSYSERR_NODRIVER;
    snd_mixer_handle_events(mMixer);
    snd_mixer_elem_t* e = element(mMixer, iControl);
    if (!e) return MIXERR_INVALCONTROL;
    const auto ch = SND_MIXER_SCHN_FRONT_LEFT;
    long v = 0;
    int sw = 0;
    int rc = 0;
    switch (iControl.binding) {
    case AlsaBinding::PlaybackVolume:
    case AlsaBinding::CaptureVolume: {
        const bool playback = iControl.binding == AlsaBinding::PlaybackVolume;
        rc = playback ? snd_mixer_selem_get_playback_volume(e, ch, &v) : snd_mixer_selem_get_capture_volume(e, ch, &v);
        if (rc < 0) break;
        // A raw value set or read before stands for the station value it
        // came with: what was set reads back as set, what was found is put
        // back as it was found.
        {
            std::lock_guard lock(knownMutex());
            const std::map<long, int32_t>& pairs = known()[knownKey(iControl)];
            if (auto it = pairs.find(v); it != pairs.end()) {
                oValues[0] = it->second;
                break;
            }
        }
        oValues[0] = toMixer(e, iControl, v, playback);
        std::lock_guard lock(knownMutex());
        known()[knownKey(iControl)][v] = oValues[0];
        break;
    }
    case AlsaBinding::PlaybackSwitchInverted:
        rc = snd_mixer_selem_get_playback_switch(e, ch, &sw);
        oValues[0] = sw ? 0 : 1;
        break;
    case AlsaBinding::CaptureSwitch:
        rc = snd_mixer_selem_get_capture_switch(e, ch, &sw);
        oValues[0] = sw ? 1 : 0;
        break;
    case AlsaBinding::CaptureEnum: {
        unsigned item = 0;
        rc = snd_mixer_selem_get_enum_item(e, ch, &item);
        for (uint32_t i = 0; i < iControl.info.cMultipleItems; ++i) oValues[i] = i == item ? 1 : 0;
        break;
    }
    case AlsaBinding::None:
        break;
    }
    return rc < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

MMRESULT AlsaMixer::set(const MixerControlModel& iControl, const std::vector<int32_t>& iValues) {
    if (iControl.binding == AlsaBinding::None) return MMSYSERR_NOERROR;
    if (!mMixer) return MMSYSERR_NODRIVER;
    snd_mixer_elem_t* e = element(mMixer, iControl);
    if (!e) return MIXERR_INVALCONTROL;
    int rc = 0;
    switch (iControl.binding) {
    case AlsaBinding::PlaybackVolume:
    case AlsaBinding::CaptureVolume: {
        const bool playback = iControl.binding == AlsaBinding::PlaybackVolume;
        long raw = 0;
        bool found = false;
        {
            std::lock_guard lock(knownMutex());
            const std::map<long, int32_t>& pairs = known()[knownKey(iControl)];
            auto it = std::find_if(pairs.begin(), pairs.end(), [&](const auto& k) { return k.second == iValues[0]; });
            if ((found = it != pairs.end())) raw = it->first;
        }
        if (!found) raw = toRaw(e, iControl, iValues[0], playback);
        rc = playback ? snd_mixer_selem_set_playback_volume_all(e, raw) : snd_mixer_selem_set_capture_volume_all(e, raw);
        if (rc >= 0) {
            std::lock_guard lock(knownMutex());
            std::map<long, int32_t>& pairs = known()[knownKey(iControl)];
            std::erase_if(pairs, [&](const auto& k) { return k.first == raw || k.second == iValues[0]; });
            pairs[raw] = iValues[0];
        }
        break;
    }
    case AlsaBinding::PlaybackSwitchInverted:
        rc = snd_mixer_selem_set_playback_switch_all(e, iValues[0] ? 0 : 1);
        break;
    case AlsaBinding::CaptureSwitch:
        rc = snd_mixer_selem_set_capture_switch_all(e, iValues[0] ? 1 : 0);
        break;
    case AlsaBinding::CaptureEnum: {
        unsigned item = 0;
        while (item < iValues.size() && iValues[item] == 0) ++item;
        if (item >= iValues.size()) return MIXERR_INVALVALUE;
        for (int ch = 0; ch <= SND_MIXER_SCHN_LAST; ++ch) {
            const int r = snd_mixer_selem_set_enum_item(e, snd_mixer_selem_channel_id_t(ch), item);
            if (ch == 0) rc = r;
            if (r < 0) break;
        }
        break;
    }
    case AlsaBinding::None:
        break;
    }
    return rc < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

}
