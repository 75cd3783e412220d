// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include "BenchSupport.h"

#include <functional>

using namespace orv::image;
using namespace mtra::bench;

namespace {

// One processor stage, appended by `add`, over the 24 MP photo per iteration; the argument is
// the worker count.
void RunProcessor(benchmark::State& state, const std::function<int(OVImageProcessor&)>& add)
{
    RunFacadeOnPhoto<OVImageProcessor>(state, add);
}

#define MTRA_PROCESSOR_BENCH(name, call)                                                           \
    void BM_##name(benchmark::State& state)                                                        \
    {                                                                                              \
        RunProcessor(state, [](OVImageProcessor& p) { return p.call; });                           \
    }                                                                                              \
    BENCHMARK(BM_##name)                                                                           \
        ->Arg(1)                                                                                   \
        ->Arg(2)                                                                                   \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MeasureProcessCPUTime()

// The same stage over 24 MP of random colours: the worst case of the per-pixel rules, whose
// branches and tables a photo's few colours keep predictable and cached.
#define MTRA_PROCESSOR_BENCH_RANDOM(name, call)                                                    \
    void BM_##name##RandomColours(benchmark::State& state)                                         \
    {                                                                                              \
        RunFacadeOnRandomColours<OVImageProcessor>(                                                \
            state, [](OVImageProcessor& p) { return p.call; });                                    \
    }                                                                                              \
    BENCHMARK(BM_##name##RandomColours)                                                            \
        ->Arg(1)                                                                                   \
        ->Arg(2)                                                                                   \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MeasureProcessCPUTime()

MTRA_PROCESSOR_BENCH(Brightness, SetBrightness(0.2, ChannelsColor));
MTRA_PROCESSOR_BENCH(ColorBalance, SetColorBalance(1.1, 0.95, 0.9));
// 1.4 in every channel leaves seven values to correct in single precision.
MTRA_PROCESSOR_BENCH(ColorBalanceDouble, SetColorBalance(1.4, 1.4, 1.4));
MTRA_PROCESSOR_BENCH(ColorTemperature, SetColorTemperature(3200));
MTRA_PROCESSOR_BENCH(SuperContrast, SetSuperContrast(0.1, 0.9, ChannelsColor));
MTRA_PROCESSOR_BENCH(Opacity, SetOpacity(0.75));
MTRA_PROCESSOR_BENCH(HueColorize, SetHueColorize(200, 0.5));
MTRA_PROCESSOR_BENCH(Saturation, SetSaturation(1.4));
MTRA_PROCESSOR_BENCH(Mirror, SetMirror(true, true));
MTRA_PROCESSOR_BENCH_RANDOM(Brightness, SetBrightness(0.2, ChannelsColor));
MTRA_PROCESSOR_BENCH_RANDOM(HueColorize, SetHueColorize(200, 0.5));
MTRA_PROCESSOR_BENCH_RANDOM(HueColorizeFull, SetHueColorize(95, 1.0));
MTRA_PROCESSOR_BENCH_RANDOM(Saturation, SetSaturation(1.4));
MTRA_PROCESSOR_BENCH_RANDOM(Desaturation, SetSaturation(0.6));
MTRA_PROCESSOR_BENCH(StackBlur25, SetStackBlur(25, true, true, ChannelsAll));
MTRA_PROCESSOR_BENCH(StackBlur200, SetStackBlur(200, true, true, ChannelsAll));

} // namespace

BENCHMARK_MAIN();
