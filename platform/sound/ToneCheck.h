#pragma once
#include <cstddef>
#include <cstdint>

// Whether a recording of a steady tone holds that tone and nothing else from
// its start: the check the real backend makes on every recording started with
// its signal. A recording started too early (a loop delay that grew without a
// word from the host) begins with what played before; one with a gap in it
// (samples lost or made up) breaks the tone's phase. Both leave a stretch the
// tone does not explain, which no level reading may take in.
//
// The unit in the loop is taken as linear: at one frequency it changes only
// the tone's height and phase, which the fit finds. Noise and distortion are
// spread over the whole recording and set its floor.
namespace sound::tonecheck {

// The angle per sample of the tone iSamples play when looped, when they are
// one steady tone of (nearly) whole cycles, or -1 when they are not (a pulse,
// a burst, a sweep, silence, a tone lost in its rounding). A loop plays a
// whole number of cycles per pass, so that is its tone.
double pureToneAngle(const int16_t* iSamples, size_t iCount);

// The stretch a unit may take to settle after its signal starts: 5 ms or two
// cycles of the tone, whichever is longer (as the station's level readings).
size_t settleSamples(double iAngle, double iRate);

struct Verdict {
    bool checked = false;   // long enough to tell
    bool clean = true;      // nothing but the tone after the unit's settling
    double worstDb = -999;  // the worst stretch's misfit against the recording's power
};

// iRecording at iRate, its first sample where the tone (iAngle per sample at
// that rate) reached the input or later: the tone is fitted to the
// recording's end, and to its start after the settling, and each fit's
// misfit is measured stretch by stretch after the settling. The recording is
// clean while no stretch misfits more than both what the fit leaves of its own
// part (four times that amplitude) and a level 26 dB under the recording's. A recording of nothing but zeros is not clean
// either: a real input always carries some noise.
Verdict checkToneRecording(const int16_t* iRecording, size_t iCount, double iAngle, double iRate);

}
