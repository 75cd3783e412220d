// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include "BenchSupport.h"

using namespace orv::image;
using namespace mtra::bench;

namespace {

// Detection + statistics + key of a 24 MP photo: what the render engine runs for the default
// key with an automatic key colour.
void BM_AutoColorDifferenceKey(benchmark::State& state)
{
    UseWorkers(state);
    static const auto photo = MakeGreenScreenPhoto();
    auto destination
        = std::make_shared<OVImage8>(photo->Width(), photo->Height(), PixelOrderBGRA, false);
    orv::OVLookupTables tables(true);
    for (auto _ : state) {
        OVImageKeyer keyer(photo, destination, tables, DownsampleFull);
        keyer.SetAutoColorDifferenceKey(KeyColorAuto, 0.5, 0.0, 0.0);
        if (keyer.Render() != 0)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(destination->Buffer());
    }
    ReportMegapixels(state, photo->Width(), photo->Height());
}
BENCHMARK(BM_AutoColorDifferenceKey)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Detection alone.
void BM_AutoDetectKeyColor(benchmark::State& state)
{
    static const auto photo = MakeGreenScreenPhoto();
    for (auto _ : state) {
        OVKeyColor color = KeyColorAuto;
        AutoDetectKeyColor(photo.get(), static_cast<int>(state.range(0)), &color);
        benchmark::DoNotOptimize(color);
    }
    ReportMegapixels(state, photo->Width(), photo->Height());
}
BENCHMARK(BM_AutoDetectKeyColor)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
