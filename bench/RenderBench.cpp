// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// The render engine on camera-size photos: loading a 24 MP JPEG foreground, exporting it, and
// the quarter-size preview after a filter change. The photos are generated at start as JPEG
// files (quality 90, noise and gradients, so that decoding costs what a photo costs) in a
// temporary folder. The benchmark's argument is the worker count.

#include "BenchSupport.h"

#include <app/FilterItems.h>
#include <app/ItemLists.h>
#include <app/LayerImages.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using mtra::app::MTerr;
using mtra::app::Project;
using mtra::app::RenderEngine;
using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

const QRect kWindow(0, 0, 1920, 1080);

// A landscape: sky and ground gradients, a few soft shapes, camera-like noise.
QImage MakeBackgroundPhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t state = 777u;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int n = static_cast<int>(state >> 28) - 8;
            const double u = double(x) / width;
            const double wave = 20.0 * std::sin(u * 25.0 + v * 7.0);
            int r, g, b;
            if (v < 0.55) {
                r = int(80 + 150 * v + wave);
                g = int(120 + 90 * v);
                b = int(220 - 80 * v);
            } else {
                r = int(70 + 40 * u + wave);
                g = int(130 - 60 * (v - 0.55) + wave);
                b = int(50 + 20 * u);
            }
            line[x] = qRgb(
                std::clamp(r + n, 0, 255), std::clamp(g + n, 0, 255), std::clamp(b + n, 0, 255));
        }
    }
    return image;
}

struct Photos {
    QTemporaryDir dir;
    QString foreground;
    QString background;

    Photos()
    {
        const auto screen = mtra::bench::MakeGreenScreenPhoto();
        const QImage wrapped(screen->Buffer(), int(screen->Width()), int(screen->Height()),
            qsizetype(screen->Width()) * 4, QImage::Format_ARGB32);
        foreground = dir.filePath(QStringLiteral("foreground.jpg"));
        background = dir.filePath(QStringLiteral("background.jpg"));
        if (!wrapped.save(foreground, "JPEG", 90)
            || !MakeBackgroundPhoto(int(mtra::bench::kPhotoWidth), int(mtra::bench::kPhotoHeight))
                    .save(background, "JPEG", 90))
            std::abort();
    }
};

const Photos& GetPhotos()
{
    static const Photos photos;
    return photos;
}

std::shared_ptr<Project> DefaultProject()
{
    MTerr result = mtra::app::MT_OK;
    auto project = std::make_shared<Project>(result);
    return result == mtra::app::MT_OK ? project : nullptr;
}

std::unique_ptr<RenderEngine> NewEngine(const std::shared_ptr<Project>& project)
{
    MTerr error = mtra::app::MT_OK;
    auto engine = std::make_unique<RenderEngine>(
        project, orv::image::Bits8, orv::image::PixelOrderBGRA, kWindow, error);
    return error == mtra::app::MT_OK ? std::move(engine) : nullptr;
}

void BM_SetForegroundLayer(benchmark::State& state)
{
    mtra::bench::UseWorkers(state);
    const Photos& photos = GetPhotos();
    const auto project = DefaultProject();
    const auto engine = NewEngine(project);
    for (auto _ : state) {
        if (engine->SetLayer(mtra::app::ForegroundLayer, photos.foreground) != mtra::app::MT_OK)
            state.SkipWithError("SetLayer failed");
    }
    mtra::bench::ReportMegapixels(state, mtra::bench::kPhotoWidth, mtra::bench::kPhotoHeight);
}
BENCHMARK(BM_SetForegroundLayer)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Export of the default project (foreground over background). Argument 1 is the canvas: 0 the
// default canvas (800 × 1200), 1 the photo's size.
void BM_ExportQImage(benchmark::State& state)
{
    mtra::bench::UseWorkers(state);
    const Photos& photos = GetPhotos();
    const auto project = DefaultProject();
    if (state.range(1) == 1)
        project->GetCanvas().SetDimensions(mtra::bench::kPhotoWidth, mtra::bench::kPhotoHeight);
    const auto engine = NewEngine(project);
    if (engine->SetLayer(mtra::app::BackgroundLayer, photos.background) != mtra::app::MT_OK
        || engine->SetLayer(mtra::app::ForegroundLayer, photos.foreground) != mtra::app::MT_OK) {
        state.SkipWithError("SetLayer failed");
        return;
    }
    // As the program does before a batch export.
    engine->RemoveCacheBeforeExport();
    for (auto _ : state) {
        MTerr error = mtra::app::MT_OK;
        const QImage exported = engine->ExportQImage(photos.foreground, error);
        if (error != mtra::app::MT_OK || exported.isNull())
            state.SkipWithError("export failed");
        benchmark::DoNotOptimize(exported.constBits());
    }
}
BENCHMARK(BM_ExportQImage)
    ->Args({ 2, 0 })
    ->Args({ 2, 1 })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A drag of the brightness slider: the filter stage is stale at quarter, the foreground layer
// renders from the filter level and the canvas is composed.
void BM_PreviewAfterFilterChange(benchmark::State& state)
{
    mtra::bench::UseWorkers(state);
    const Photos& photos = GetPhotos();
    const auto project = DefaultProject();
    // The canvas anchored in the middle of the screen, as the canvas view does.
    project->GetCanvas().SetCentre(kWindow.width() / 2, kWindow.height() / 2);
    const auto engine = NewEngine(project);
    if (engine->SetLayer(mtra::app::BackgroundLayer, photos.background) != mtra::app::MT_OK
        || engine->SetLayer(mtra::app::ForegroundLayer, photos.foreground) != mtra::app::MT_OK) {
        state.SkipWithError("SetLayer failed");
        return;
    }
    const auto settings = project->GetForegroundImageList().DefaultForegroundSettings();
    std::shared_ptr<mtra::app::BrightnessFilterItem> brightness;
    for (auto it = settings->Filters().Begin(); it != settings->Filters().End(); ++it)
        if (auto item = std::dynamic_pointer_cast<mtra::app::BrightnessFilterItem>(*it))
            brightness = item;
    QImage canvas;
    for (const auto layer : { mtra::app::BackgroundLayer, mtra::app::ForegroundLayer })
        engine->RenderLayer(layer, mtra::app::Stage::Transform, DownsampleQuarter);
    if (engine->RenderCanvasImage(DownsampleQuarter, canvas) != mtra::app::MT_OK) {
        state.SkipWithError("first render failed");
        return;
    }
    double value = 0.0;
    for (auto _ : state) {
        value = value >= 0.5 ? 0.05 : value + 0.05;
        brightness->SetBrightness(value);
        brightness->SetActive(true);
        engine->Invalidate(mtra::app::ForegroundLayer, mtra::app::Stage::Filter, DownsampleQuarter);
        if (engine->RenderLayer(
                mtra::app::ForegroundLayer, mtra::app::Stage::Filter, DownsampleQuarter)
                != mtra::app::MT_OK
            || engine->RenderCanvasImage(DownsampleQuarter, canvas) != mtra::app::MT_OK)
            state.SkipWithError("preview failed");
        benchmark::DoNotOptimize(canvas.constBits());
    }
}
BENCHMARK(BM_PreviewAfterFilterChange)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
