// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AppExport.h>

#include <QByteArray>
#include <QString>

namespace mtra::app {

/// Replaces the file at `path` with `bytes`, or leaves it untouched: the bytes go to a
/// temporary file in the same folder, which replaces the old file only once every byte was
/// written and flushed and no error was recorded. On any failure (a folder that cannot be
/// written, a full disk, a failed rename) the old file keeps every byte, no temporary file
/// remains, the result is false and `reason`, when given, says why in words
/// (`WriteFailedText`, with the system's reason such as "No space left on device"). A
/// symbolic link at `path` is replaced itself, never written through to its target. The one
/// writer of App's files: project saves and exported pictures.
/// Any thread; two threads must not write the same path at once.
APP_EXPORT bool WriteWholeFile(
    const QString& path, const QByteArray& bytes, QString* reason = nullptr);

} // namespace mtra::app
