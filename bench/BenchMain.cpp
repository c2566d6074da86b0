#include "bench/BenchMain.h"
#include <QApplication>
#include <benchmark/benchmark.h>
#include <vector>

namespace benchmain {
namespace {
std::vector<std::function<void()>>& steps() {
    static std::vector<std::function<void()>> sSteps;
    return sSteps;
}
}

AtEnd::AtEnd(std::function<void()> iStep) { steps().push_back(std::move(iStep)); }

}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const std::function<void()>& step : benchmain::steps()) step();
    return 0;
}
