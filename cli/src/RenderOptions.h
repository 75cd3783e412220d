// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ExportSettings.h>

#include <QString>
#include <QStringList>

#include <optional>

namespace mtra::cli {

/// What to do with a target file that already exists.
enum class ExistingFiles { Skip, Overwrite };

/// The command line, parsed. Unset optionals fall back to the project's export settings.
struct RenderOptions {
    QString project; ///< a project file; empty in the mode without a project
    QString background; ///< -b: the background of the mode without a project
    QString overlay; ///< --overlay
    QStringList photos; ///< photos and folders of the mode without a project
    QString outputDir; ///< -o
    bool all = false; ///< --all: every image of the project, batched or not
    std::optional<app::ExportFormat> format;
    std::optional<int> quality;
    std::optional<QString> prefix;
    std::optional<QString> postfix;
    ExistingFiles existing = ExistingFiles::Skip;
    bool dryRun = false;
    bool quiet = false;
    /// --shard K/N: this process renders share K (counted from 0) of N of the list.
    int shardIndex = 0;
    int shardCount = 1;
    /// --jobs J: photos in flight at once.
    int jobs = 1;
};

/// How parsing ended.
enum class ParseOutcome {
    Run, ///< `options` holds a job
    Help, ///< `message` is the help text (exit 0)
    Version, ///< `message` is the version line (exit 0)
    UsageError, ///< `message` says what is wrong (exit 2)
};

/// Parses `arguments` (the program name first). Checks everything that can be checked without
/// reading files: the two modes and their required options, --overwrite against
/// --skip-existing, the format name, the quality range 0 … 100, prefix and postfix by the
/// program's own rule, the share of --shard (0 ≤ K < N) and --jobs (1 … 64).
ParseOutcome ParseArguments(const QStringList& arguments, RenderOptions& options, QString& message);

} // namespace mtra::cli
