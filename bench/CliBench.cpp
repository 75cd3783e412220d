// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// Whole mattora-render processes on camera files: a 24 MP JPEG foreground and background, the
// default project, JPEG quality 90, two workers. Reports wall time and the child's peak
// memory; `vips copy` of the same JPEG to a JPEG is timed alongside as a yardstick (skipped
// when vips is not installed).
#include "BenchSupport.h"

#include <app/LayerImages.h>
#include <app/Project.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace mtra::bench;

namespace {

constexpr int kBatchSize = 20;

struct Workspace {
    QTemporaryDir dir;
    bool ok = false;

    QString Path(const QString& name) const { return dir.filePath(name); }

    bool SaveProject(const QString& file, int photos) const
    {
        using namespace mtra::app;
        MTerr result = MT_OK;
        Project project(result);
        if (result != MT_OK)
            return false;
        project.GetCanvas().SetDimensions(kPhotoWidth, kPhotoHeight);
        project.SetBackgroundImage(std::make_shared<BackgroundImage>(
            QStringLiteral("background"), Path(QStringLiteral("background.jpg")), true));
        for (int i = 0; i < photos; ++i) {
            const QString name = QStringLiteral("photo_%1").arg(i + 1, 2, 10, QLatin1Char('0'));
            project.GetForegroundImageList().Add(std::make_shared<ForegroundImage>(
                name, Path(name + QStringLiteral(".jpg")), true, false, false, true));
        }
        project.GetExportSettings().SetFormat(FormatJPEG);
        project.GetExportSettings().SetQuality(90);
        project.GetExportSettings().SetPath(Path(QStringLiteral("out")).toStdWString());
        return project.SaveToXml(file, QStringLiteral("bench"), QStringLiteral("1.0")) == MT_OK;
    }

    Workspace()
    {
        const auto photo = MakeGreenScreenPhoto();
        const QImage foreground(photo->Buffer(), static_cast<int>(photo->Width()),
            static_cast<int>(photo->Height()), static_cast<qsizetype>(photo->Width()) * 4,
            QImage::Format_ARGB32);
        QImage background(
            static_cast<int>(kPhotoWidth), static_cast<int>(kPhotoHeight), QImage::Format_RGB32);
        std::uint32_t state = 777u;
        for (int y = 0; y < background.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(background.scanLine(y));
            const int sky = 200 * y / background.height();
            for (int x = 0; x < background.width(); ++x) {
                state = state * 1664525u + 1013904223u;
                const int n = static_cast<int>(state >> 28);
                line[x] = qRgb(230 - sky / 2 + n, 150 + n, 220 - sky + n);
            }
        }
        ok = foreground.save(Path(QStringLiteral("photo_01.jpg")), "JPEG", 90)
            && background.save(Path(QStringLiteral("background.jpg")), "JPEG", 90);
        for (int i = 2; ok && i <= kBatchSize; ++i) {
            ok = QFile::copy(Path(QStringLiteral("photo_01.jpg")),
                Path(QStringLiteral("photo_%1.jpg").arg(i, 2, 10, QLatin1Char('0'))));
        }
        ok = ok && SaveProject(Path(QStringLiteral("one.mtrabatch")), 1)
            && SaveProject(Path(QStringLiteral("batch.mtrabatch")), kBatchSize);
    }
};

const Workspace& Files()
{
    static const Workspace workspace;
    return workspace;
}

struct ChildRun {
    int status = -1;
    double seconds = 0;
    double peakMegabytes = 0;
};

// Runs a program to its end; the wall time and the child's own peak resident memory.
ChildRun Spawn(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMegabytes = usage.ru_maxrss / 1024.0;
    return run;
}

// Times one run of `arguments` per iteration and reports the largest peak memory; false (the
// benchmark skipped) when a run fails.
bool TimeRuns(benchmark::State& state, const std::vector<std::string>& arguments)
{
    double peak = 0;
    for (auto _ : state) {
        const ChildRun run = Spawn(arguments);
        if (run.status != 0) {
            state.SkipWithError((arguments.front() + " failed").c_str());
            return false;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakMegabytes);
    }
    state.counters["peak_MB"] = peak;
    return true;
}

void RunRender(benchmark::State& state, const char* project, int photos,
    const std::vector<std::string>& options = {})
{
    setenv("OV_CPU_CORE_COUNT", "2", 1);
    if (!Files().ok) {
        state.SkipWithError("cannot write the test photos");
        return;
    }
    const std::string file = Files().Path(QString::fromLatin1(project)).toStdString();
    std::vector<std::string> arguments { MTRA_RENDER_EXE, file, "--overwrite", "-q" };
    arguments.insert(arguments.end(), options.begin(), options.end());
    if (TimeRuns(state, arguments)) {
        state.counters["s_per_photo"] = benchmark::Counter(double(photos) * state.iterations(),
            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }
}

// One photo, the whole process: start, project, layers, render, encode, write.
void BM_OneProcess(benchmark::State& state)
{
    RunRender(state, "one.mtrabatch", 1);
}
BENCHMARK(BM_OneProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_BatchOfTwenty(benchmark::State& state)
{
    RunRender(state, "batch.mtrabatch", kBatchSize);
}
BENCHMARK(BM_BatchOfTwenty)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// The same batch with J photos in flight (--jobs J), the two workers divided among them.
void BM_BatchOfTwentyJobs(benchmark::State& state)
{
    RunRender(state, "batch.mtrabatch", kBatchSize, { "--jobs", std::to_string(state.range(0)) });
}
BENCHMARK(BM_BatchOfTwentyJobs)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// One photo written as PNG (the project's JPEG setting overridden).
void BM_OneProcessPng(benchmark::State& state)
{
    RunRender(state, "one.mtrabatch", 1, { "--format", "png" });
}
BENCHMARK(BM_OneProcessPng)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The yardstick: decoding the same JPEG and encoding it again at quality 90.
void BM_VipsCopyYardstick(benchmark::State& state)
{
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vips"));
    if (vips.isEmpty()) {
        state.SkipWithError("vips is not installed (apt-get install libvips-tools)");
        return;
    }
    if (!Files().ok) {
        state.SkipWithError("cannot write the test photos");
        return;
    }
    const std::string in = Files().Path(QStringLiteral("photo_01.jpg")).toStdString();
    const std::string out = Files().Path(QStringLiteral("vips.jpg")).toStdString() + "[Q=90]";
    TimeRuns(state, { vips.toStdString(), "copy", in, out });
}
BENCHMARK(BM_VipsCopyYardstick)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
