#include "platform/sound/AlsaMixer.h"
#include <alsa/asoundlib.h>
#include <cstdarg>

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

AlsaElementDesc describe(snd_mixer_elem_t* e) {
    AlsaElementDesc d;
    d.name = QString::fromUtf8(snd_mixer_selem_get_name(e));
    d.index = int(snd_mixer_selem_get_index(e));
    d.hasPlaybackVolume = snd_mixer_selem_has_playback_volume(e);
    d.hasPlaybackSwitch = snd_mixer_selem_has_playback_switch(e);
    d.hasCaptureVolume = snd_mixer_selem_has_capture_volume(e);
    d.hasCaptureSwitch = snd_mixer_selem_has_capture_switch(e);
    if (d.hasPlaybackVolume) snd_mixer_selem_get_playback_volume_range(e, &d.playbackMin, &d.playbackMax);
    if (d.hasCaptureVolume) snd_mixer_selem_get_capture_volume_range(e, &d.captureMin, &d.captureMax);
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

AlsaMixer::AlsaMixer(const QString& iCtlName, const QString& iMixerName) {
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
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(m); e; e = snd_mixer_elem_next(e))
        if (snd_mixer_selem_is_active(e)) mElements.push_back(describe(e));
    mModel = alsaMixerModel(iMixerName, mElements);
}

AlsaMixer::~AlsaMixer() {
    if (mMixer) snd_mixer_close(mMixer);
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
        rc = snd_mixer_selem_get_playback_volume(e, ch, &v);
        oValues[0] = alsaToMixerVolume(v, iControl.elementMin, iControl.elementMax);
        break;
    case AlsaBinding::CaptureVolume:
        rc = snd_mixer_selem_get_capture_volume(e, ch, &v);
        oValues[0] = alsaToMixerVolume(v, iControl.elementMin, iControl.elementMax);
        break;
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
        rc = snd_mixer_selem_set_playback_volume_all(e, mixerToAlsaVolume(iValues[0], iControl.elementMin, iControl.elementMax));
        break;
    case AlsaBinding::CaptureVolume:
        rc = snd_mixer_selem_set_capture_volume_all(e, mixerToAlsaVolume(iValues[0], iControl.elementMin, iControl.elementMax));
        break;
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
