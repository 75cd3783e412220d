// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// The import page with camera photos: one generated 24 MP JPEG copied N times (200, or
// MTRA_IMPORT_BENCH_FILES for a quick check). BM_ImportBatch imports them through the page
// (headers only, rows, the first photo on the canvas) and makes every thumbnail (scaled
// decode); the counters give milliseconds per photo for each part and in all. BM_Navigate
// double-clicks row after row and times each until the full preview is painted, counting the
// photo loads and the renders per step.
//
//   QT_QPA_PLATFORM=offscreen OV_CPU_CORE_COUNT=2 build-rel/bin/ImportBench

#include "Application.h"
#include "Dialogs.h"
#include "canvas/CanvasGraphicsItem.h"
#include "canvas/CanvasView.h"
#include "import/BatchImport.h"
#include "import/ImportSection.h"
#include "import/ImportSupport.h"
#include "import/ListView.h"

#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using mtra::ui::Application;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

/// Answers every dialog at once: defaults, no files, progress never cancelled.
class QuietDialogs : public mtra::ui::DialogProvider
{
public:
    class NoProgress : public mtra::ui::ProgressReporter
    {
    public:
        void SetValue(int) override { }
        void SetLabelText(const QString&) override { }
        bool WasCanceled() const override { return false; }
    };

    QMessageBox::StandardButton Message(Kind, QWidget*, const QString&, const QString&,
        QMessageBox::StandardButtons, QMessageBox::StandardButton defaultButton) override
    {
        return defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
    }
    int Choose(Kind, QWidget*, const QString&, const QString&, const QStringList&, int choice,
        int) override
    {
        return choice;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QStringList OpenFileNames(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString ExistingFolder(QWidget*, const QString&, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::unique_ptr<mtra::ui::ProgressReporter> Progress(
        QWidget*, const QString&, const QString&, const QString&, int) override
    {
        return std::make_unique<NoProgress>();
    }
    bool Print(QPrinter&, QWidget*, const QString&) override { return false; }
    int Exec(QDialog&) override { return 0; }
};

int FileCount()
{
    const QByteArray value = qgetenv("MTRA_IMPORT_BENCH_FILES");
    const int count = value.isEmpty() ? 200 : value.toInt();
    return std::max(count, 2);
}

/// A camera-like 6000 x 4000 landscape with fine sensor noise; at quality 90 its JPEG is of
/// camera size (the counter `photo_mb` tells).
QImage MakePhoto()
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    std::uint32_t state = 7u;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int n = static_cast<int>(state >> 28) - 8;
            line[x] = qRgb(std::clamp(60 + 120 * x / image.width() + n, 0, 255),
                std::clamp(170 - 50 * y / image.height() + n, 0, 255),
                std::clamp(90 + 60 * y / image.height() + n, 0, 255));
        }
    }
    return image;
}

struct Photos {
    QTemporaryDir dir;
    QStringList paths;
    bool ready = false;

    Photos()
    {
        const QString first = dir.filePath(QStringLiteral("photo000.jpg"));
        if (!MakePhoto().save(first, "JPEG", 90))
            return;
        paths << first;
        for (int i = 1; i < FileCount(); ++i) {
            const QString copy
                = dir.filePath(QStringLiteral("photo%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
            if (!QFile::copy(first, copy))
                return;
            paths << copy;
        }
        ready = true;
    }
};

Photos& GetPhotos()
{
    static Photos photos;
    return photos;
}

/// A new project with the page on it; every thumbnail folder it makes is removed afterwards.
struct Page {
    std::unique_ptr<mtra::ui::ImportSection> section;

    Page()
    {
        Application::Instance()->CreateProject(QString());
        section = std::make_unique<mtra::ui::ImportSection>();
        section->UpdateFromProject();
    }
    ~Page()
    {
        const QString folder = mtra::ui::import::ThumbnailFolder();
        section.reset();
        if (!folder.isEmpty())
            QDir(folder).removeRecursively();
    }

    void ImportAll(const QStringList& paths)
    {
        section->Batch()->ImportPaths(paths, QStringLiteral("Progress"));
    }
    /// Thumbnails of every row not made yet.
    void MakeThumbnails()
    {
        auto& batch = Application::Instance()->GetProject()->GetForegroundImageList();
        for (auto it = batch.Begin(); it != batch.End(); ++it)
            mtra::ui::import::MakeThumbnail(it->first, *it->second, nullptr);
    }
};

void BM_ImportBatch(benchmark::State& state)
{
    Photos& photos = GetPhotos();
    if (!photos.ready) {
        state.SkipWithError("cannot write the photos");
        return;
    }
    double importMs = 0;
    double thumbnailMs = 0;
    for (auto _ : state) {
        Page page;
        const auto start = Clock::now();
        page.ImportAll(photos.paths);
        const auto imported = Clock::now();
        page.MakeThumbnails();
        const auto done = Clock::now();
        importMs += Milliseconds(imported - start);
        thumbnailMs += Milliseconds(done - imported);
        state.PauseTiming();
        page.section.reset();
        state.ResumeTiming();
    }
    const double files = double(photos.paths.size()) * double(state.iterations());
    // The scaled decode alone, to tell it from the PNG written after it.
    const auto decodeStart = Clock::now();
    QImage thumbnail;
    for (const QString& path : photos.paths)
        mtra::app::ReadThumbnail(path, 400, thumbnail);
    state.counters["decode_ms_per_photo"]
        = Milliseconds(Clock::now() - decodeStart) / double(photos.paths.size());
    state.counters["photo_mb"] = double(QFileInfo(photos.paths.front()).size()) / 1e6;
    state.counters["files"] = double(photos.paths.size());
    state.counters["import_ms_per_photo"] = importMs / files;
    state.counters["thumbnail_ms_per_photo"] = thumbnailMs / files;
    state.counters["total_ms_per_photo"] = (importMs + thumbnailMs) / files;
}
BENCHMARK(BM_ImportBatch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_Navigate(benchmark::State& state)
{
    Photos& photos = GetPhotos();
    if (!photos.ready) {
        state.SkipWithError("cannot write the photos");
        return;
    }
    Application& app = *Application::Instance();
    Page page;
    const QRect window = QGuiApplication::primaryScreen()->geometry();
    auto view = std::make_unique<mtra::ui::CanvasView>(window.size());
    view->setGeometry(window);
    view->show();
    app.GetProject()->SetWindowWidth(unsigned(window.width()));
    app.GetProject()->SetWindowHeight(unsigned(window.height()));
    app.CentreCanvas();
    view->Item()->FocusCanvas(window.width(), window.height());
    const int steps = std::min<int>(20, int(photos.paths.size()));
    page.ImportAll(photos.paths.mid(0, steps));
    page.MakeThumbnails();
    view->Item()->SetNeedToDisplayImage(true);
    QCoreApplication::processEvents();
    view->viewport()->repaint();

    int loads = 0;
    QObject::connect(&app.Document(), &mtra::app::ProjectDocument::LayerChanged,
        [&loads](mtra::app::LayerID layer, mtra::app::Stage) {
            if (layer == mtra::app::ForegroundLayer)
                ++loads;
        });
    mtra::ui::ListView& list = *page.section->Batch()->List();
    std::vector<double> times;
    std::size_t renders = 0;
    int row = 0;
    for (auto _ : state) {
        row = (row + 1) % steps;
        app.ClearRenderLog();
        const auto start = Clock::now();
        list.ListItemDoubleClicked(app.BatchIndexOfRow(row));
        QCoreApplication::processEvents();
        view->viewport()->repaint();
        times.push_back(Milliseconds(Clock::now() - start));
        renders += app.RenderLog().size();
    }
    std::sort(times.begin(), times.end());
    const double n = std::max<double>(1, double(state.iterations()));
    state.counters["median_ms"] = times.empty() ? 0.0 : times[times.size() / 2];
    state.counters["loads_per_step"] = loads / n;
    state.counters["renders_per_step"] = double(renders) / n;
    view.reset();
}
BENCHMARK(BM_Navigate)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    QuietDialogs dialogs;
    mtra::ui::SetDialogProvider(&dialogs);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    mtra::ui::SetDialogProvider(nullptr);
    return 0;
}
