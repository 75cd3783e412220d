// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/BatchExport.h>

#include <QString>

#include <cstdio>
#include <memory>

namespace mtra::cli {

/// How the run is shown on `stream` (standard error): a progress bar redrawn in place on a
/// terminal (count, current file, elapsed and remaining time), one line per file otherwise,
/// and with `quiet` only the files that failed. Failures always name the photo and the
/// reason; a summary line ends every form but the quiet one.
std::unique_ptr<app::BatchObserver> MakeObserver(std::FILE* stream, bool terminal, bool quiet);

/// "m:ss" (or "h:mm:ss") for a duration in milliseconds.
QString FormatDuration(qint64 milliseconds);

} // namespace mtra::cli
