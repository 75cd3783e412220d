// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// The live preview as the user sees it: the canvas view shown full screen (run under Xvfb at
// 1920 × 1080), the default project with generated 24 MP JPEG background and foreground, and
// each frame timed from the request through the engine render to the finished paint
// (`repaint()` paints synchronously). One iteration is one 30-step drag; the counters report
// the median frame, the renders and paints per drag, and the full render after the release.
//
//   QT_QPA_PLATFORM=xcb OV_CPU_CORE_COUNT=2
//       xvfb-run -a -s "-screen 0 1920x1080x24" build-rel/bin/CanvasBench

#include "Application.h"
#include "BenchSupport.h"
#include "canvas/CanvasGraphicsItem.h"
#include "canvas/CanvasView.h"
#include "controls/CompoundControls.h"
#include "controls/Controls.h"
#include "items/FilterWidgets.h"

#include <app/Canvas.h>
#include <app/FilterItems.h>
#include <app/ForegroundImageList.h>
#include <app/ImageSettings.h>
#include <app/ItemLists.h>
#include <app/Project.h>

#include <QImage>
#include <QScreen>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using mtra::app::Stage;
using mtra::ui::Application;
using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;
using Clock = std::chrono::steady_clock;

constexpr int kDragSteps = 30;

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

QImage MakeLandscape(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t state = 99u;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int n = static_cast<int>(state >> 28) - 8;
            line[x] = qRgb(std::clamp(80 + 100 * x / width + n, 0, 255),
                std::clamp(140 - 60 * y / height + n, 0, 255),
                std::clamp(200 - 90 * y / height + n, 0, 255));
        }
    }
    return image;
}

/// The view, the photos and the project, made once for all benchmarks.
struct Scene {
    QTemporaryDir dir;
    std::unique_ptr<mtra::ui::CanvasView> view;
    std::shared_ptr<mtra::app::BrightnessFilterItem> brightness;
    bool ready = false;

    Scene()
    {
        Application& app = *Application::Instance();
        if (app.CreateProject(QString()) != mtra::app::MT_OK)
            return;
        const auto screen = mtra::bench::MakeGreenScreenPhoto();
        const QImage wrapped(screen->Buffer(), int(screen->Width()), int(screen->Height()),
            qsizetype(screen->Width()) * 4, QImage::Format_ARGB32);
        const QString foreground = dir.filePath(QStringLiteral("foreground.jpg"));
        const QString background = dir.filePath(QStringLiteral("background.jpg"));
        if (!wrapped.save(foreground, "JPEG", 90)
            || !MakeLandscape(int(mtra::bench::kPhotoWidth), int(mtra::bench::kPhotoHeight))
                    .save(background, "JPEG", 90))
            return;

        const QRect window = QGuiApplication::primaryScreen()->geometry();
        view = std::make_unique<mtra::ui::CanvasView>(window.size());
        view->setGeometry(window);
        view->show();
        mtra::app::Project& project = *app.GetProject();
        project.SetWindowWidth(unsigned(window.width()));
        project.SetWindowHeight(unsigned(window.height()));
        app.CentreCanvas();
        view->Item()->FocusCanvas(window.width(), window.height());

        if (!app.SetBackgroundLayerImage(background)
            || app.Document().ImportImages({ foreground }) != mtra::app::MT_OK)
            return;
        app.InsertBatchRow(0, QStringLiteral("foreground.jpg"), foreground);
        app.BatchSelectionModel()->setCurrentIndex(
            app.BatchIndexOfRow(0), QItemSelectionModel::ClearAndSelect);
        if (!app.SetForegroundLayerImage(foreground, true))
            return;
        view->Item()->SetNeedToDisplayImage(true);
        QCoreApplication::processEvents();
        view->viewport()->repaint();

        const auto settings = project.GetForegroundImageList().DefaultForegroundSettings();
        for (auto it = settings->Filters().Begin(); it != settings->Filters().End(); ++it)
            if (auto item = std::dynamic_pointer_cast<mtra::app::BrightnessFilterItem>(*it))
                brightness = item;
        ready = brightness != nullptr;
    }

    /// Paints now and returns how long it took.
    double Frame()
    {
        const auto start = Clock::now();
        view->viewport()->repaint();
        return Milliseconds(Clock::now() - start);
    }
};

std::unique_ptr<Scene>& SceneSlot()
{
    static std::unique_ptr<Scene> scene;
    return scene;
}

Scene& GetScene()
{
    if (!SceneSlot())
        SceneSlot() = std::make_unique<Scene>();
    return *SceneSlot();
}

/// One drag: `step` asks for one frame's change, then the frame is painted; the release
/// asks for the full render, painted and timed on its own.
template <typename Step, typename Release>
void RunDrag(benchmark::State& state, Step step, Release release)
{
    Scene& scene = GetScene();
    if (!scene.ready) {
        state.SkipWithError("the scene could not be set up");
        return;
    }
    Application& app = *Application::Instance();
    std::vector<double> frames;
    std::vector<double> releases;
    std::size_t renders = 0;
    int paints = 0;
    for (auto _ : state) {
        for (int i = 1; i <= kDragSteps; ++i) {
            app.ClearRenderLog();
            const auto start = Clock::now();
            step(i);
            scene.Frame();
            frames.push_back(Milliseconds(Clock::now() - start));
            renders += app.RenderLog().size();
            ++paints;
        }
        app.ClearRenderLog();
        const auto start = Clock::now();
        release();
        scene.Frame();
        releases.push_back(Milliseconds(Clock::now() - start));
        if (app.RenderLog().size() != 1 || app.RenderLog()[0].factor != DownsampleFull)
            state.SkipWithError("the release did not render once at full resolution");
    }
    state.counters["frame_median_ms"] = Median(frames);
    state.counters["frame_max_ms"]
        = frames.empty() ? 0.0 : *std::max_element(frames.begin(), frames.end());
    state.counters["release_median_ms"] = Median(releases);
    state.counters["renders_per_drag"] = double(renders) / std::max<double>(1, state.iterations());
    state.counters["paints_per_drag"] = double(paints) / std::max<double>(1, state.iterations());
}

void BM_CanvasDrag(benchmark::State& state)
{
    Application& app = *Application::Instance();
    const QPoint origin(900, 500);
    RunDrag(
        state,
        [&](int i) {
            if (i == 1)
                app.StartCanvasDrag(origin.x(), origin.y());
            // Back and forth, so that every drag starts where the last one did.
            const int offset = i <= kDragSteps / 2 ? 6 * i : 6 * (kDragSteps - i);
            app.DragCanvas(origin.x() + offset, origin.y() + offset / 2);
        },
        [&] {
            app.EndCanvasDrag();
            app.RefreshCanvas(DownsampleFull);
        });
}
BENCHMARK(BM_CanvasDrag)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_BrightnessDrag(benchmark::State& state)
{
    Application& app = *Application::Instance();
    Scene& scene = GetScene();
    RunDrag(
        state,
        [&](int i) {
            // As a value control does: the press marks the filter stage stale at quarter, each
            // value asks for the foreground from the filter stage at quarter.
            if (i == 1)
                app.InvalidateStage(mtra::app::ForegroundLayer, Stage::Filter, DownsampleQuarter);
            scene.brightness->SetBrightness(0.01 * i);
            scene.brightness->SetActive(true);
            app.RefreshLayer(mtra::app::ForegroundLayer, Stage::Filter, DownsampleQuarter);
        },
        [&] { app.RefreshLayer(mtra::app::ForegroundLayer, Stage::Filter, DownsampleFull); });
}
BENCHMARK(BM_BrightnessDrag)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same drag through the real brightness widget: its slider is pressed, moved step by step
// and released as the mouse does it, so the widget's own press invalidation, model write,
// modified state and refresh requests are all in the frame.
void BM_BrightnessWidgetDrag(benchmark::State& state)
{
    Scene& scene = GetScene();
    if (!scene.ready) {
        state.SkipWithError("the scene could not be set up");
        return;
    }
    mtra::ui::BrightnessFilterWidget widget(*scene.brightness, mtra::app::ForegroundLayer, nullptr);
    mtra::ui::Slider* slider = widget.BrightnessControl()->GetSlider();
    const int start = slider->value();
    RunDrag(
        state,
        [&](int i) {
            if (i == 1)
                slider->setSliderDown(true);
            slider->setSliderPosition(start + (i <= kDragSteps / 2 ? i : kDragSteps - i) * 3 + 1);
        },
        [&] { slider->setSliderDown(false); });
}
BENCHMARK(BM_BrightnessWidgetDrag)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The paint alone: the last picture scaled over the window, surround and outline, flushed to
// the X server, with nothing to render.
void BM_PaintOnly(benchmark::State& state)
{
    Scene& scene = GetScene();
    if (!scene.ready) {
        state.SkipWithError("the scene could not be set up");
        return;
    }
    Application& app = *Application::Instance();
    app.RefreshCanvas(static_cast<orv::image::OVDownsampleFactor>(state.range(0)));
    scene.Frame();
    app.ClearRenderLog();
    for (auto _ : state)
        scene.Frame();
    if (!app.RenderLog().empty())
        state.SkipWithError("a paint rendered");
}
BENCHMARK(BM_PaintOnly)
    ->Arg(DownsampleQuarter)
    ->Arg(DownsampleFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("OV_CPU_CORE_COUNT"))
        qputenv("OV_CPU_CORE_COUNT", "2");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The view goes before the application object.
    SceneSlot().reset();
    return 0;
}
