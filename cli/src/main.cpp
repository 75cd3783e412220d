// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// mattora-render: renders a project's batch (or photos over a background) without the window.
// Exit status: 0 every image written, 1 some failed, 2 a usage error or a project that does
// not load.
#include "Progress.h"
#include "RenderOptions.h"

#include <app/BatchExport.h>
#include <app/Canvas.h>
#include <app/ErrorTexts.h>
#include <app/ProcessHeap.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

using namespace mtra;
using namespace mtra::cli;

app::ExportChoices ChoicesFrom(const RenderOptions& options)
{
    app::ExportChoices choices;
    choices.outputDir = options.outputDir; // relative to where the command runs
    choices.format = options.format;
    choices.quality = options.quality;
    choices.prefix = options.prefix;
    choices.postfix = options.postfix;
    return choices;
}

// The project named on the command line, planned as the program's export would run it.
bool PlanFromProject(const RenderOptions& options, app::BatchPlan& plan, QString& message)
{
    const QFileInfo file(options.project);
    if (!file.isFile()) {
        message = QStringLiteral("%1: no such project file").arg(options.project);
        return false;
    }
    app::MTerr result = app::MT_OK;
    auto project = std::make_shared<app::Project>(file.absoluteFilePath(), result);
    if (result != app::MT_OK) {
        message = QStringLiteral("%1: %2").arg(options.project, app::ErrorText(result));
        return false;
    }
    if (!app::IsSupportedCanvasSize(project->GetCanvas().Width(), project->GetCanvas().Height())) {
        message = QStringLiteral("%1: the canvas size is unsupported").arg(options.project);
        return false;
    }
    if (options.outputDir.isEmpty() && app::StoredExportFolder(*project).isEmpty()) {
        message
            = QStringLiteral("%1 has no export folder: give one with -o DIR").arg(options.project);
        return false;
    }
    plan = app::PlanProjectBatch(project, ChoicesFrom(options), options.all);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // Camera-size images come and go once per photo: one heap for every thread, and freed
    // blocks kept for the next photo for the whole run.
    app::UseOneHeap();
    const app::BatchHeap heap;

    // Progress piped into a reader that stops (head) must not end the batch, nor a file-size
    // limit: a failed write is that picture's failure, reported as such.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);

    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mattora-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MTRA_VERSION));

    RenderOptions options;
    QString message;
    const auto fail = [&message](int status) {
        std::fprintf(stderr, "mattora-render: %s\n", message.toLocal8Bit().constData());
        return status;
    };
    switch (ParseArguments(QCoreApplication::arguments(), options, message)) {
    case ParseOutcome::Help:
    case ParseOutcome::Version:
        std::fputs((message + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        return 0;
    case ParseOutcome::UsageError:
        std::fprintf(stderr, "mattora-render: %s\nTry 'mattora-render --help'.\n",
            message.toLocal8Bit().constData());
        return 2;
    case ParseOutcome::Run:
        break;
    }

    app::BatchPlan plan;
    const bool planned = options.project.isEmpty() ? app::PlanPhotoBatch(options.background,
                             options.overlay, options.photos, ChoicesFrom(options), plan, message)
                                                   : PlanFromProject(options, plan, message);
    if (!planned)
        return fail(2);
    // Dealt after planning: names, numbers for repeated names and refused targets come from
    // the whole list, the same in every share.
    app::SelectShard(plan, options.shardIndex, options.shardCount);

    // A folder that cannot take the pictures ends the run before anything renders.
    if (!options.dryRun && !app::PrepareOutputFolder(plan, message))
        return fail(2);
    std::unique_ptr<app::RenderEngine> engine;
    if (!options.dryRun && app::OpenExportEngine(plan, engine, message) != app::MT_OK)
        return fail(2);
    app::BatchRunOptions run;
    run.dryRun = options.dryRun;
    run.jobs = options.jobs;
    run.replaceExisting = [&options](const app::BatchItem&) {
        return options.existing == ExistingFiles::Overwrite ? app::ReplaceAnswer::YesToAll
                                                            : app::ReplaceAnswer::No;
    };
    const auto observer = MakeObserver(stderr, isatty(STDERR_FILENO) == 1, options.quiet);
    const app::BatchSummary summary = app::RunBatch(plan, engine.get(), *observer, run);
    if (plan.leftOut > 0 && !options.quiet) {
        std::fprintf(stderr, "%s\n", app::LeftOutText(plan.leftOut).toLocal8Bit().constData());
    }
    return summary.failed == 0 ? 0 : 1;
}
