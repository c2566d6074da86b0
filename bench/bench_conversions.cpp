// Conversion and format helpers sit on every hot path of a measurement's
// display and logging; this keeps their cost visible.
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include <benchmark/benchmark.h>

static void BM_CIntHalfEven(benchmark::State& state) {
    double x = 0.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CInt(x));
        x += 1.0;
        if (x > 30000) x = 0.5;
    }
}
BENCHMARK(BM_CIntHalfEven);

static void BM_FormatFixed(benchmark::State& state) {
    double x = 0.125;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Format(x, QStringLiteral("0.00")));
        x += 0.001;
    }
}
BENCHMARK(BM_FormatFixed);

static void BM_SingleGeneralText(benchmark::State& state) {
    float x = 0.38f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CStr(x));
        x += 0.01f;
    }
}
BENCHMARK(BM_SingleGeneralText);
