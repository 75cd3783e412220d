// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include "BenchSupport.h"
#include "WorkerThreads.h"
#include "compositor/LightSpillLayerCompositor.h"

#include <cstring>

using namespace orv::image;
using namespace mtra::bench;

namespace {

// The generated photo keyed by the default key: an opaque subject with soft edges on a
// transparent screen, as the render engine composites it.
const std::shared_ptr<OVImage8>& KeyedForeground()
{
    static const std::shared_ptr<OVImage8> keyed = [] {
        const auto photo = MakeGreenScreenPhoto();
        auto result = std::make_shared<OVImage8>(kPhotoWidth, kPhotoHeight, PixelOrderBGRA, false);
        orv::OVLookupTables tables(true);
        OVImageKeyer keyer(photo, result, tables, DownsampleFull);
        keyer.SetAutoColorDifferenceKey(KeyColorGreen, 1.0, 0.0, 0.33);
        keyer.Render();
        return result;
    }();
    return keyed;
}

// A layer whose every pixel is partly transparent: no pixel can be skipped.
const std::shared_ptr<OVImage8>& TranslucentLayer()
{
    static const std::shared_ptr<OVImage8> layer = [] {
        auto image = MakeGreenScreenPhoto();
        unsigned char* p = image->Buffer();
        for (std::size_t i = 0; i < image->BufferByteSize(); i += 4)
            p[i + 3] = static_cast<unsigned char>(1 + (i / 4) % 254);
        return image;
    }();
    return layer;
}

std::shared_ptr<OVImage8> Background()
{
    auto image = MakeGreenScreenPhoto();
    // Reddish opaque scene, so no blend result is trivially the layer.
    unsigned char* p = image->Buffer();
    for (std::size_t i = 0; i < image->BufferByteSize(); i += 4)
        std::swap(p[i + 1], p[i + 2]);
    return image;
}

void RunLayer(benchmark::State& state, const std::shared_ptr<OVImage8>& layer, OVBlendMode mode,
    bool alphaCompositing)
{
    UseWorkers(state);
    const auto background = Background();
    orv::OVLookupTables tables(true);
    for (auto _ : state) {
        OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
        compositor.AddLayer(layer, 1.0, mode, alphaCompositing);
        if (compositor.Render() != 0)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(background->Buffer());
    }
    ReportMegapixels(state, background->Width(), background->Height());
}

// What the render engine runs for a plain layer: normal blend, alpha compositing.
void BM_NormalAlphaComposite(benchmark::State& state)
{
    RunLayer(state, KeyedForeground(), BlendModeNormal, true);
}
BENCHMARK(BM_NormalAlphaComposite)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// Worst case of the same: no transparent pixel to skip.
void BM_NormalAlphaCompositeTranslucent(benchmark::State& state)
{
    RunLayer(state, TranslucentLayer(), BlendModeNormal, true);
}
BENCHMARK(BM_NormalAlphaCompositeTranslucent)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// A table mode (mix of the premultiplied background) on every pixel.
void BM_SoftLightAlphaCompositeTranslucent(benchmark::State& state)
{
    RunLayer(state, TranslucentLayer(), BlendModeSoftLight, true);
}
BENCHMARK(BM_SoftLightAlphaCompositeTranslucent)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_ScreenMixTranslucent(benchmark::State& state)
{
    RunLayer(state, TranslucentLayer(), BlendModeScreen, false);
}
BENCHMARK(BM_ScreenMixTranslucent)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void RunLightSpill(benchmark::State& state, const std::shared_ptr<OVImage8>& layer,
    const std::shared_ptr<OVImage8>& background)
{
    UseWorkers(state);
    orv::OVLookupTables tables(true);
    for (auto _ : state) {
        OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
        compositor.AddLightSpillLayer(layer, 25, 1.0, BlendModeLighten, DownsampleFull);
        if (compositor.Render() != 0)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(background->Buffer());
    }
    ReportMegapixels(state, background->Width(), background->Height());
}

// What the render engine runs for the default project's light-spill item: radius 25, lighten,
// strength 1, blur of the background light included.
void BM_LightSpillComposite(benchmark::State& state)
{
    RunLightSpill(state, KeyedForeground(), Background());
}
BENCHMARK(BM_LightSpillComposite)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The same over random colours, alpha included, in both layer and background: no pixel is
// skipped and no branch on the alphas is predictable.
void BM_LightSpillCompositeRandomColours(benchmark::State& state)
{
    static const auto layer = MakeRandomColours(kPhotoWidth, kPhotoHeight, 2);
    RunLightSpill(state, layer, MakeRandomColours(kPhotoWidth, kPhotoHeight, 3));
}
BENCHMARK(BM_LightSpillCompositeRandomColours)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The stage's own workers, the blurred light prepared once.
void BM_LightSpillWorkers(benchmark::State& state)
{
    UseWorkers(state);
    const auto& layer = KeyedForeground();
    const auto background = Background();
    orv::OVLookupTables tables(true);
    LightSpillLayerCompositor stage(layer.get(), 25, 1.0, BlendModeLighten, DownsampleFull, tables);
    stage.Prepare(background.get());
    const unsigned workers = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        RunWorkerThreads(workers, [&](unsigned i) {
            stage.Render(background.get(), static_cast<unsigned char>(i),
                static_cast<unsigned char>(workers));
            return 0;
        });
    }
    ReportMegapixels(state, background->Width(), background->Height());
}
BENCHMARK(BM_LightSpillWorkers)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
