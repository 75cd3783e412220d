// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// mattora-render: renders a project's batch (or photos over a background) without the window.
// Exit status: 0 every image written, 1 some failed, 2 a usage error or a project that does
// not load.
#include "BatchJob.h"
#include "Progress.h"
#include "RenderOptions.h"

#include <QCoreApplication>

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // Camera-size images come and go once per photo; kept in the heap instead of being
    // returned to the system, their memory is not faulted in again for the next photo.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);

    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mattora-render"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MTRA_VERSION));

    using namespace mtra::cli;
    RenderOptions options;
    QString message;
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

    BatchPlan plan;
    const bool planned = options.project.isEmpty() ? PlanFromPhotos(options, plan, message)
                                                   : PlanFromProject(options, plan, message);
    if (!planned) {
        std::fprintf(stderr, "mattora-render: %s\n", message.toLocal8Bit().constData());
        return 2;
    }
    const auto observer = MakeObserver(stderr, isatty(STDERR_FILENO) == 1, options.quiet);
    RunSummary summary;
    if (!RunBatch(plan, options, *observer, summary, message)) {
        std::fprintf(stderr, "mattora-render: %s\n", message.toLocal8Bit().constData());
        return 2;
    }
    return summary.failed == 0 ? 0 : 1;
}
