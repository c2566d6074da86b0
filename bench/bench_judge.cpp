// The judging of one response: six active layers over a 100-point test, every
// layer over the whole sweep, for block sizes from 1 to 50 points. Read against
// the 6.2 s the sweep itself plays: sweep_fraction is the judging's time over
// that audio time (the aim is 0.001 or less).
#include "audio/SweepScale.h"
#include "station/LayerJudge.h"
#include <benchmark/benchmark.h>
#include <cmath>

namespace {
void BM_JudgeSixLayers(benchmark::State& state) {
    const layerjudge::Sweep sweep{20, 20000, 100};
    const auto hz = [&](int p) {
        return static_cast<int32_t>(std::lround(sweepscale::frequency(20, 20000, 100, static_cast<int16_t>(p))));
    };
    layerjudge::Layers layers;
    for (int n = 0; n < layerjudge::kLayers; ++n) {
        ResponseLayer& l = layers[static_cast<size_t>(n)];
        l.On = true;
        l.fLo = hz(1);
        l.fHi = hz(100);
        l.Pt = static_cast<int16_t>(state.range(0));
        l.Lim = 1.0f + 0.5f * static_cast<float>(n);
    }
    std::vector<float> lin(101, 0.0f);
    for (int p = 1; p <= 100; ++p) lin[static_cast<size_t>(p)] = layerjudge::linearDeviation(0.8f * std::sin(0.3f * p));
    for (auto _ : state) {
        layerjudge::Judgement j = layerjudge::judge(sweep, layers, lin);
        benchmark::DoNotOptimize(j);
    }
    state.counters["sweep_fraction"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 6.2, benchmark::Counter::kIsRate |
                                                                               benchmark::Counter::kInvert);
}
BENCHMARK(BM_JudgeSixLayers)->Arg(1)->Arg(2)->Arg(5)->Arg(10)->Arg(25)->Arg(50)->Unit(benchmark::kMicrosecond);
}   // namespace
