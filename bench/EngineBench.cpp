// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include "BenchSupport.h"

#include <utility>

using namespace orv::image;
using namespace mtra::bench;

namespace {

// A background photo of the same size: the generated frame with its colours rotated, opaque.
std::shared_ptr<OVImage8> MakeBackground()
{
    auto image = MakeGreenScreenPhoto();
    unsigned char* p = image->Buffer();
    const std::size_t bytes = image->BufferByteSize();
    for (std::size_t i = 0; i < bytes; i += 4) {
        std::swap(p[i], p[i + 1]);
        std::swap(p[i + 1], p[i + 2]);
    }
    return image;
}

// The image engine's share of exporting one photo with the default project: the key list
// (YUV blur radius 0 type 3, automatic colour-difference key, crop, spill suppression), the
// filter list (brightness, saturation, super contrast, colour temperature, colour balance,
// hue colorize, blur radius 0) and the composite (flatten at full opacity, light spill radius 25
// lighten) over a background, each facade at full size as the export runs them. The canvas
// copy of the background is included; the placement transforms are not engine work.
void BM_DefaultProjectEngineWork(benchmark::State& state)
{
    UseWorkers(state);
    static const auto photo = MakeGreenScreenPhoto();
    static const auto background = MakeBackground();
    const unsigned width = photo->Width();
    const unsigned height = photo->Height();
    auto keyed = std::make_shared<OVImage8>(width, height, PixelOrderBGRA, false);
    auto filtered = std::make_shared<OVImage8>(width, height, PixelOrderBGRA, false);
    auto canvas = std::make_shared<OVImage8>(width, height, PixelOrderBGRA, false);
    orv::OVLookupTables tables(true);

    for (auto _ : state) {
        int result = 0;
        {
            OVImageKeyer keyer(photo, keyed, tables, DownsampleFull);
            keyer.SetYUVBlur(0, YUVBlurStack);
            keyer.SetAutoColorDifferenceKey(KeyColorAuto, 1.0, 0.0, 0.33);
            keyer.SetAlphaCrop(0.0, 0.0, 0.0, 0.0);
            keyer.SetSpillSuppression(ChannelGreen, true, 1.0);
            result |= keyer.Render();
        }
        {
            OVImageProcessor processor(keyed, filtered, tables, DownsampleFull);
            processor.SetBrightness(0.0, ChannelsColor);
            processor.SetSaturation(1.0);
            processor.SetSuperContrast(0.0, 1.0, ChannelsColor);
            processor.SetColorTemperature(5000.0);
            processor.SetColorBalance(1.0, 1.0, 1.0);
            processor.SetHueColorize(0.0, 0.0);
            processor.SetStackBlur(0, true, true, ChannelsAll);
            result |= processor.Render();
        }
        {
            result |= CopyPixels(background, canvas);
            OVImageCompositor compositor(canvas, 1.0, tables, DownsampleFull);
            compositor.AddLightSpillLayer(filtered, 25, 1.0, BlendModeLighten, DownsampleFull);
            result |= compositor.Render();
        }
        if (result != 0)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(canvas->Buffer());
    }
    ReportMegapixels(state, width, height);
}
BENCHMARK(BM_DefaultProjectEngineWork)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
