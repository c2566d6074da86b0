#include "platform/sound/MixerModel.h"

namespace sound {

uint32_t mixerDestinationLineID(uint32_t iDestination) { return 0xFFFF0000u | (iDestination & 0xFFFFu); }

uint32_t mixerSourceLineID(uint32_t iDestination, uint32_t iSource) {
    return ((iSource & 0xFFFFu) << 16) | (iDestination & 0xFFFFu);
}

void MixerModel::finalize() {
    uint32_t nextControl = 1;
    caps.cDestinations = static_cast<uint32_t>(destinations.size());
    for (uint32_t d = 0; d < destinations.size(); ++d) {
        MixerDestinationModel& dest = destinations[d];
        auto numberLine = [&](MixerLineModel& ioLine, uint32_t iLineID, uint32_t iSource) {
            ioLine.info.dwDestination = d;
            ioLine.info.dwSource = iSource;
            ioLine.info.dwLineID = iLineID;
            ioLine.info.cControls = static_cast<uint32_t>(ioLine.controls.size());
            for (MixerControlModel& c : ioLine.controls) {
                c.info.dwControlID = nextControl++;
                c.info.cMultipleItems = static_cast<uint32_t>(c.items.size());
                if (c.isList()) {
                    c.info.fdwControl |= MIXERCONTROL_CONTROLF_MULTIPLE | MIXERCONTROL_CONTROLF_UNIFORM;
                    c.values.resize(c.items.size(), 0);
                } else if (c.values.empty()) {
                    c.values.assign(1, 0);
                }
            }
        };
        numberLine(dest.line, mixerDestinationLineID(d), 0);
        dest.line.info.cConnections = static_cast<uint32_t>(dest.sources.size());
        dest.line.info.fdwLine &= ~MIXERLINE_LINEF_SOURCE;
        for (uint32_t s = 0; s < dest.sources.size(); ++s) {
            numberLine(dest.sources[s], mixerSourceLineID(d, s), s);
            dest.sources[s].info.fdwLine |= MIXERLINE_LINEF_SOURCE;
            dest.sources[s].info.cConnections = 0;
        }
        // List items name their source line by ID; an item whose type matches
        // a source line of this destination takes that line's ID.
        auto fixItems = [&](MixerLineModel& ioLine) {
            for (MixerControlModel& c : ioLine.controls)
                for (MixerListText& item : c.items)
                    for (const MixerLineModel& src : dest.sources)
                        if (src.info.dwComponentType == item.dwParam2 && src.info.szName == item.szName)
                            item.dwParam1 = src.info.dwLineID;
        };
        fixItems(dest.line);
        for (MixerLineModel& src : dest.sources) fixItems(src);
    }
}

MixerControlModel* MixerModel::control(uint32_t iControlID) {
    return const_cast<MixerControlModel*>(static_cast<const MixerModel*>(this)->control(iControlID));
}

const MixerControlModel* MixerModel::control(uint32_t iControlID) const {
    if (iControlID == 0) return nullptr;
    for (const MixerDestinationModel& dest : destinations) {
        for (const MixerControlModel& c : dest.line.controls)
            if (c.info.dwControlID == iControlID) return &c;
        for (const MixerLineModel& src : dest.sources)
            for (const MixerControlModel& c : src.controls)
                if (c.info.dwControlID == iControlID) return &c;
    }
    return nullptr;
}

MixerControlModel* MixerModel::controlByRole(MixerRole iRole) {
    for (MixerDestinationModel& dest : destinations) {
        for (MixerControlModel& c : dest.line.controls)
            if (c.role == iRole) return &c;
        for (MixerLineModel& src : dest.sources)
            for (MixerControlModel& c : src.controls)
                if (c.role == iRole) return &c;
    }
    return nullptr;
}

const MixerLineModel* MixerModel::line(uint32_t iLineID) const {
    for (const MixerDestinationModel& dest : destinations) {
        if (dest.line.info.dwLineID == iLineID) return &dest.line;
        for (const MixerLineModel& src : dest.sources)
            if (src.info.dwLineID == iLineID) return &src;
    }
    return nullptr;
}

MMRESULT MixerModel::destinationInfo(uint32_t iDestination, MixerLine& oLine) const {
    if (iDestination >= destinations.size()) return MIXERR_INVALLINE;
    oLine = destinations[iDestination].line.info;
    return MMSYSERR_NOERROR;
}

MMRESULT MixerModel::sourceInfo(uint32_t iDestination, uint32_t iSource, MixerLine& oLine) const {
    if (iDestination >= destinations.size()) return MIXERR_INVALLINE;
    const MixerDestinationModel& dest = destinations[iDestination];
    if (iSource >= dest.sources.size()) return MIXERR_INVALLINE;
    oLine = dest.sources[iSource].info;
    return MMSYSERR_NOERROR;
}

MMRESULT MixerModel::lineControls(uint32_t iLineID, std::vector<MixerControl>& oControls) const {
    const MixerLineModel* l = line(iLineID);
    if (!l) return MIXERR_INVALLINE;
    oControls.clear();
    for (const MixerControlModel& c : l->controls) oControls.push_back(c.info);
    return MMSYSERR_NOERROR;
}

MMRESULT MixerModel::listText(const MixerControlDetails& iDetails, std::vector<MixerListText>& oItems) const {
    const MixerControlModel* c = control(iDetails.dwControlID);
    if (!c) return MIXERR_INVALCONTROL;
    if (!c->isList() || iDetails.cMultipleItems != c->info.cMultipleItems) return MMSYSERR_INVALPARAM;
    oItems = c->items;
    return MMSYSERR_NOERROR;
}

MMRESULT MixerModel::checkGet(const MixerControlDetails& iDetails, const MixerControlModel*& oControl) const {
    oControl = control(iDetails.dwControlID);
    if (!oControl) return MIXERR_INVALCONTROL;
    const size_t need = oControl->isList() ? oControl->info.cMultipleItems : 1;
    if (!iDetails.paDetails || iDetails.nDetails < need || iDetails.cChannels < 1) return MMSYSERR_INVALPARAM;
    if (oControl->isList() && iDetails.cMultipleItems != oControl->info.cMultipleItems) return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

MMRESULT MixerModel::checkSet(const MixerControlDetails& iDetails, const MixerControlModel*& oControl,
                              std::vector<int32_t>& oValues) const {
    const MMRESULT r = checkGet(iDetails, oControl);
    if (r != MMSYSERR_NOERROR) return r;
    if (oControl->isMeter()) return MMSYSERR_NOTSUPPORTED;
    if (oControl->isList()) {
        oValues.assign(iDetails.paDetails, iDetails.paDetails + oControl->info.cMultipleItems);
        int selected = 0;
        for (int32_t& v : oValues) {
            v = v != 0 ? 1 : 0;
            selected += v;
        }
        // A single-select list takes exactly one item; a one-item list (a card's
        // capture switch) may also be off, as it can be found at start-up and
        // must be put back so at shutdown.
        const bool single = (oControl->info.dwControlType & 0xFF000000u) == 0x70000000u;
        if (single && (selected > 1 || (selected == 0 && oControl->info.cMultipleItems > 1))) return MIXERR_INVALVALUE;
        return MMSYSERR_NOERROR;
    }
    int32_t v = iDetails.paDetails[0];
    if (oControl->isSwitch()) {
        v = v != 0 ? 1 : 0;
    } else if (v < oControl->info.lMinimum || v > oControl->info.lMaximum) {
        return MIXERR_INVALVALUE;
    }
    oValues.assign(1, v);
    return MMSYSERR_NOERROR;
}

MixerControlModel mixerVolumeControl(const QString& iName, int32_t iValue, uint32_t iSteps, MixerRole iRole) {
    MixerControlModel c;
    c.info.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    c.info.fdwControl = MIXERCONTROL_CONTROLF_UNIFORM;
    c.info.szName = c.info.szShortName = iName;
    c.info.lMinimum = 0;
    c.info.lMaximum = 65535;
    c.info.cSteps = iSteps;
    c.values = {iValue};
    c.role = iRole;
    return c;
}

MixerControlModel mixerMuteControl(const QString& iName, bool iMuted, MixerRole iRole) {
    MixerControlModel c;
    c.info.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    c.info.fdwControl = MIXERCONTROL_CONTROLF_UNIFORM;
    c.info.szName = c.info.szShortName = iName;
    c.info.lMinimum = 0;
    c.info.lMaximum = 1;
    c.values = {iMuted ? 1 : 0};
    c.role = iRole;
    return c;
}

MixerLineModel mixerLine(const QString& iName, const QString& iShortName, uint32_t iComponentType,
                         uint32_t iTargetType, const QString& iTargetName) {
    MixerLineModel l;
    l.info.szName = iName;
    l.info.szShortName = iShortName;
    l.info.dwComponentType = iComponentType;
    l.info.fdwLine = MIXERLINE_LINEF_ACTIVE;
    l.info.cChannels = 2;
    l.info.Target.dwType = iTargetType;
    l.info.Target.szPname = iTargetName;
    return l;
}

}
