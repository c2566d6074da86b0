#pragma once
#include "platform/sound/AlsaMixerMap.h"
#include <memory>

typedef struct _snd_mixer snd_mixer_t;

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

private:
    snd_mixer_t* mMixer = nullptr;
    QString mError;
    std::vector<AlsaElementDesc> mElements;
    MixerModel mModel;
};

}
