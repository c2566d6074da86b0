#pragma once
#include "platform/sound/Sound.h"
#include <functional>
#include <vector>

// A mixer as lines and controls, the shape both backends present: the jig
// keeps its values in the model, the ALSA mixer binds each control to a
// simple-mixer element.
namespace sound {

// What a control does on the card (the jig's signal chain reads these).
enum class MixerRole { None, MasterVolume, MasterMute, WaveVolume, WaveMute, RecordSelect, MicVolume, PeakMeter };

// How a control reaches an ALSA simple-mixer element.
enum class AlsaBinding {
    None,
    PlaybackVolume,          // 0..65535 scaled to the element's playback range
    PlaybackSwitchInverted,  // mute = not the playback switch
    CaptureVolume,
    CaptureEnum,             // list: the selected item is the enum item
    CaptureSwitch,           // one-item list: selected = the capture switch is on
};

struct MixerControlModel {
    MixerControl info;                 // dwControlID set by MixerModel::finalize
    std::vector<MixerListText> items;  // list controls: one per item
    std::vector<int32_t> values;       // the value, or one per item (the jig keeps them here)
    MixerRole role = MixerRole::None;
    AlsaBinding binding = AlsaBinding::None;
    QString element;                   // the ALSA element's name and index
    int elementIndex = 0;
    long elementMin = 0;               // the element's range (volumes)
    long elementMax = 0;

    bool isList() const { return info.cMultipleItems > 0; }
    bool setsInput() const {
        return binding == AlsaBinding::CaptureVolume || binding == AlsaBinding::CaptureEnum || binding == AlsaBinding::CaptureSwitch;
    }
    bool isMeter() const { return (info.dwControlType & 0xF0000000u) == 0x10000000u; }
    bool isSwitch() const { return (info.dwControlType & 0xF0000000u) == 0x20000000u; }
};

struct MixerLineModel {
    MixerLine info;
    std::vector<MixerControlModel> controls;
};

struct MixerDestinationModel {
    MixerLineModel line;
    std::vector<MixerLineModel> sources;
};

struct MixerModel {
    MixerCaps caps;
    std::vector<MixerDestinationModel> destinations;

    // Numbers the lines and controls, fills the counts and the list items'
    // source line IDs; call after building or changing the layout.
    void finalize();

    MixerControlModel* control(uint32_t iControlID);
    const MixerControlModel* control(uint32_t iControlID) const;
    MixerControlModel* controlByRole(MixerRole iRole);
    const MixerLineModel* line(uint32_t iLineID) const;

    MMRESULT destinationInfo(uint32_t iDestination, MixerLine& oLine) const;
    MMRESULT sourceInfo(uint32_t iDestination, uint32_t iSource, MixerLine& oLine) const;
    MMRESULT lineControls(uint32_t iLineID, std::vector<MixerControl>& oControls) const;
    MMRESULT listText(const MixerControlDetails& iDetails, std::vector<MixerListText>& oItems) const;

    // Checks a details record against its control and the values against the
    // control's bounds; on success gives the control and the values to set.
    MMRESULT checkGet(const MixerControlDetails& iDetails, const MixerControlModel*& oControl) const;
    MMRESULT checkSet(const MixerControlDetails& iDetails, const MixerControlModel*& oControl,
                      std::vector<int32_t>& oValues) const;
};

// Line IDs as the station's reports show them.
uint32_t mixerDestinationLineID(uint32_t iDestination);
uint32_t mixerSourceLineID(uint32_t iDestination, uint32_t iSource);

// Helpers for building models.
MixerControlModel mixerVolumeControl(const QString& iName, int32_t iValue, uint32_t iSteps, MixerRole iRole);
MixerControlModel mixerMuteControl(const QString& iName, bool iMuted, MixerRole iRole);
MixerLineModel mixerLine(const QString& iName, const QString& iShortName, uint32_t iComponentType,
                         uint32_t iTargetType, const QString& iTargetName);

}
