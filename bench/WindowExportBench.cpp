// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// Exporting a batch from the window against mattora-render on the same saved project: a
// 24 MP background and MTRA_BENCH_PHOTOS (20) copies of a generated 24 MP green-screen JPEG,
// the default settings, JPEG 90. The window's run is the export button's (dialogs answered by
// a script: the folder, then "Yes to all"); the command line's is the whole process. Both
// report ms per photo; the window's goal is within 10 % of the command line.
//
//   QT_QPA_PLATFORM=offscreen OV_CPU_CORE_COUNT=2 build-rel/bin/WindowExportBench

#include "Application.h"
#include "BenchSupport.h"
#include "Dialogs.h"
#include "export/WindowExport.h"

#include <app/Canvas.h>
#include <app/ExportSettings.h>
#include <app/ProcessHeap.h>
#include <app/Project.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace {

using mtra::ui::Application;
using mtra::ui::DialogProvider;
using Clock = std::chrono::steady_clock;

/// Answers the export's questions: the output folder, "Yes to all" at the first existing
/// file; a progress window that is never cancelled.
class BenchDialogs : public DialogProvider
{
public:
    explicit BenchDialogs(QString folder)
        : m_folder(std::move(folder))
    {
    }
    QMessageBox::StandardButton Message(Kind, QWidget*, const QString&, const QString&,
        QMessageBox::StandardButtons, QMessageBox::StandardButton defaultButton) override
    {
        return defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
    }
    int Choose(
        Kind, QWidget*, const QString&, const QString&, const QStringList&, int, int) override
    {
        return 1;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return QString();
    }
    QStringList OpenFileNames(QWidget*, const QString&, const QString&, const QString&) override
    {
        return QStringList();
    }
    QString ExistingFolder(QWidget*, const QString&, const QString&) override { return m_folder; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return QString();
    }
    std::unique_ptr<mtra::ui::ProgressReporter> Progress(
        QWidget*, const QString&, const QString&, const QString&, int) override
    {
        struct Silent : mtra::ui::ProgressReporter {
            void SetValue(int) override { }
            void SetLabelText(const QString&) override { }
            bool WasCanceled() const override { return false; }
        };
        return std::make_unique<Silent>();
    }
    bool Print(QPrinter&, QWidget*, const QString&) override { return false; }
    int Exec(QDialog&) override { return 0; }

private:
    QString m_folder;
};

int PhotoCount()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("MTRA_BENCH_PHOTOS", &ok);
    return ok && count > 0 ? count : 20;
}

/// The batch, the project in the window and the same project saved, made once.
struct Batch {
    QTemporaryDir dir;
    QString project;
    QString windowOut;
    QString cliOut;
    int photos = 0;
    bool ready = false;

    Batch()
    {
        Application& app = *Application::Instance();
        const auto screen = mtra::bench::MakeGreenScreenPhoto();
        const QImage wrapped(screen->Buffer(), int(screen->Width()), int(screen->Height()),
            qsizetype(screen->Width()) * 4, QImage::Format_ARGB32);
        QImage background(wrapped.size(), QImage::Format_RGB32);
        background.fill(QColor(90, 120, 170));
        const QString backgroundPath = dir.filePath(QStringLiteral("background.jpg"));
        const QString first = dir.filePath(QStringLiteral("photo-000.jpg"));
        if (!wrapped.save(first, "JPEG", 90) || !background.save(backgroundPath, "JPEG", 90))
            return;
        QStringList paths { first };
        photos = PhotoCount();
        for (int i = 1; i < photos; ++i) {
            const QString path
                = dir.filePath(QStringLiteral("photo-%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
            if (!QFile::copy(first, path))
                return;
            paths << path;
        }
        if (app.CreateProject(QString()) != mtra::app::MT_OK
            || !app.SetBackgroundLayerImage(backgroundPath)
            || !app.ResizeCanvas(wrapped.width(), wrapped.height()))
            return;
        for (int i = 0; i < paths.size(); ++i) {
            if (app.Document().ImportImages({ paths[i] }) != mtra::app::MT_OK)
                return;
            app.InsertBatchRow(i, QFileInfo(paths[i]).completeBaseName(), paths[i]);
            app.SetBatchRowBatched(i, true);
            app.Document().SetImageBatched(paths[i], true);
        }
        app.BatchSelectionModel()->setCurrentIndex(
            app.BatchIndexOfRow(0), QItemSelectionModel::ClearAndSelect);
        if (!app.SetForegroundLayerImage(first, true))
            return;
        mtra::app::ExportSettings settings = app.GetProject()->GetExportSettings();
        settings.SetFormat(mtra::app::FormatJPEG);
        settings.SetQuality(90);
        app.Document().SetExportSettings(settings);
        project = dir.filePath(QStringLiteral("batch.mtrabatch"));
        windowOut = dir.filePath(QStringLiteral("window"));
        cliOut = dir.filePath(QStringLiteral("cli"));
        ready = app.Document().Save(project) == mtra::app::MT_OK && QDir().mkpath(windowOut)
            && QDir().mkpath(cliOut);
    }
};

Batch& GetBatch()
{
    static Batch batch;
    return batch;
}

void Report(benchmark::State& state, double seconds, int photos)
{
    state.counters["ms_per_photo"]
        = benchmark::Counter(1000.0 * seconds / photos, benchmark::Counter::kAvgIterations);
}

void BM_WindowExport(benchmark::State& state)
{
    Batch& batch = GetBatch();
    if (!batch.ready) {
        state.SkipWithError("the batch could not be set up");
        return;
    }
    BenchDialogs dialogs(batch.windowOut);
    mtra::ui::SetDialogProvider(&dialogs);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const mtra::ui::WindowExportResult result = mtra::ui::ExportBatchImages(nullptr);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        if (result.written != batch.photos)
            state.SkipWithError("the window did not write every photo");
    }
    mtra::ui::SetDialogProvider(nullptr);
    Report(state, seconds, batch.photos);
}
BENCHMARK(BM_WindowExport)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_CommandLineExport(benchmark::State& state)
{
    Batch& batch = GetBatch();
    if (!batch.ready) {
        state.SkipWithError("the batch could not be set up");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        QProcess process;
        const auto start = Clock::now();
        process.start(QStringLiteral(MTRA_RENDER_EXE),
            { batch.project, QStringLiteral("-q"), QStringLiteral("--overwrite"),
                QStringLiteral("-o"), batch.cliOut });
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            state.SkipWithError("mattora-render failed");
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    Report(state, seconds, batch.photos);
}
BENCHMARK(BM_CommandLineExport)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("OV_CPU_CORE_COUNT"))
        qputenv("OV_CPU_CORE_COUNT", "2");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program's main does.
    mtra::app::UseOneHeap();
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
