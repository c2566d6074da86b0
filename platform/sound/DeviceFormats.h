#pragma once
#include <cstdint>

// What formats a PortAudio device takes, as a wave device's format word.
// Asks the library: call it on the library thread.
namespace sound {

// The 11025/22050/44100 x mono/stereo x 8/16-bit word of a device, from what
// it accepts (0 for a device the library does not know).
uint32_t probeFormats(int iPa, int iMaxChannels, bool iInput);

}
