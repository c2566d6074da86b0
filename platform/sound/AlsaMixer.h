#pragma once
#include "platform/sound/AlsaMixerMap.h"
#include <map>
#include <mutex>
#include <memory>

typedef struct _snd_mixer snd_mixer_t;
typedef struct _snd_mixer_elem snd_mixer_elem_t;

// One open ALSA simple mixer presented as the station's mixer model: the
// layout from alsaMixerModel, the values read and written live.
namespace sound {

class AlsaMixer {
public:
    // Opens the control iCtlName ("default", "hw:0"); ok() tells whether it worked.
    AlsaMixer(const QString& iCtlName, const QString& iMixerName);
    ~AlsaMixer();
    AlsaMixer(const AlsaMixer&) = delete;
    AlsaMixer& operator=(const AlsaMixer&) = delete;

    bool ok() const { return mMixer != nullptr; }
    QString error() const { return mError; }
    const MixerModel& model() const { return mModel; }
    const std::vector<AlsaElementDesc>& elements() const { return mElements; }

    MMRESULT get(const MixerControlModel& iControl, int32_t* oValues);
    MMRESULT set(const MixerControlModel& iControl, const std::vector<int32_t>& iValues);

    // Silences the ALSA library's own messages on standard error (once per process).
    static void quietLibrary();

    // How this mixer sets the control's volume.
    VolumeLaw law(const MixerControlModel& iControl) const;

private:
    const AlsaElementDesc* desc(const MixerControlModel& iControl) const;
    QString knownKey(const MixerControlModel& iControl) const;
    int32_t toMixer(snd_mixer_elem_t* e, const MixerControlModel& iControl, long iRaw, bool iPlayback) const;
    long toRaw(snd_mixer_elem_t* e, const MixerControlModel& iControl, int32_t iValue, bool iPlayback) const;

    snd_mixer_t* mMixer = nullptr;
    QString mCtlName;
    // Per volume control of every mixer opened, the raw values set or read
    // and their station values (kept while the station runs, as a mixer is
    // opened afresh for each use).
    static std::map<QString, std::map<long, int32_t>>& known();
    static std::mutex& knownMutex();
    QString mError;
    std::vector<AlsaElementDesc> mElements;
    MixerModel mModel;
};

}
