#include "platform/sound/DeviceFormats.h"
#include "platform/sound/Sound.h"
#include <algorithm>
#include <portaudio.h>

namespace sound {

// PortAudio converts sample widths itself, so 8-bit follows 16-bit.
uint32_t probeFormats(int iPa, int iMaxChannels, bool iInput) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(iPa);
    if (!info) return 0;
    struct Rate { double hz; uint32_t m16, s16, m08, s08; };
    static const Rate rates[] = {
        {11025, WAVE_FORMAT_1M16, WAVE_FORMAT_1S16, WAVE_FORMAT_1M08, WAVE_FORMAT_1S08},
        {22050, WAVE_FORMAT_2M16, WAVE_FORMAT_2S16, WAVE_FORMAT_2M08, WAVE_FORMAT_2S08},
        {44100, WAVE_FORMAT_4M16, WAVE_FORMAT_4S16, WAVE_FORMAT_4M08, WAVE_FORMAT_4S08},
    };
    uint32_t flags = 0;
    for (const Rate& r : rates) {
        for (int ch = 1; ch <= std::min(2, iMaxChannels); ++ch) {
            PaStreamParameters p{};
            p.device = iPa;
            p.channelCount = ch;
            p.sampleFormat = paInt16;
            p.suggestedLatency = iInput ? info->defaultHighInputLatency : info->defaultHighOutputLatency;
            const PaError e = iInput ? Pa_IsFormatSupported(&p, nullptr, r.hz) : Pa_IsFormatSupported(nullptr, &p, r.hz);
            if (e == paFormatIsSupported) flags |= ch == 1 ? (r.m16 | r.m08) : (r.s16 | r.s08);
        }
    }
    return flags;
}

}
