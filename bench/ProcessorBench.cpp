// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include "BenchSupport.h"

#include <functional>

using namespace orv::image;
using namespace mtra::bench;

namespace {

// Runs one processor stage, appended by `add`, over the 24 MP photo per iteration.
void RunProcessor(benchmark::State& state, const std::function<int(OVImageProcessor&)>& add)
{
    UseWorkers(state);
    static const auto photo = MakeGreenScreenPhoto();
    static const auto destination
        = std::make_shared<OVImage8>(photo->Width(), photo->Height(), PixelOrderBGRA, false);
    orv::OVLookupTables tables(true);
    for (auto _ : state) {
        OVImageProcessor processor(photo, destination, tables, DownsampleFull);
        if (add(processor) != 0 || processor.Render() != 0)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(destination->Buffer());
    }
    ReportMegapixels(state, photo->Width(), photo->Height());
}

void BM_StackBlur25(benchmark::State& state)
{
    RunProcessor(
        state, [](OVImageProcessor& p) { return p.SetStackBlur(25, true, true, ChannelsAll); });
}
BENCHMARK(BM_StackBlur25)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StackBlur200(benchmark::State& state)
{
    RunProcessor(
        state, [](OVImageProcessor& p) { return p.SetStackBlur(200, true, true, ChannelsAll); });
}
BENCHMARK(BM_StackBlur200)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
