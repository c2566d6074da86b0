#pragma once
// The one main() of the benchmarks (BenchMain.cpp): an offscreen application,
// the benchmarks chosen on the command line, then the steps the benchmark files
// left for the end, while the application still stands.
#include <functional>

namespace benchmain {

// A step run after the benchmarks, before the application goes: the windows a
// file's benchmarks leave loaded are unloaded here. Made as a static object.
struct AtEnd {
    explicit AtEnd(std::function<void()> iStep);
};

}
