// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// How an exported picture is named and encoded: the format table, the file name rule and
/// the encoder. Pure functions; any thread.

#include <app/AppExport.h>
#include <app/ExportSettings.h>

#include <QByteArray>
#include <QImage>
#include <QString>

namespace mtra::app {

/// How one export format is written: file extension, image writer format and quality.
struct ExportFormatInfo {
    QString extension;
    QByteArray writerFormat;
    int quality = -1; ///< 0 … 100, or −1 for the writer's default
};

/// The format table: `FormatJPEG` (4) "jpg" with `quality`, `FormatTIFF` (2) "tiff" and every
/// other value "png", both with the writer's default quality. `quality` is clamped to 0 … 100.
APP_EXPORT ExportFormatInfo ExportFormatFor(ExportFormat format, int quality);

/// "prefix + name + postfix . extension", the export file name of a photo whose display name
/// is `name`.
APP_EXPORT QString ExportFileName(
    const QString& prefix, const QString& name, const QString& postfix, const QString& extension);

/// Whether a stored display name can be part of a file name in the output folder: not empty,
/// no folder separator ("/" or "\"), not "." or "..", no control characters and no format
/// characters but the joiners U+200C and U+200D (so no bidirectional control can make
/// "abc\u202Egpj.exe.jpg" look like another file). Display names come from project files,
/// which are untrusted.
APP_EXPORT bool IsPlainFileName(const QString& name);

/// `text` in double quotes for a message, with quote and backslash escaped and every control,
/// format and line-separating character written as \uXXXX, so a name or path cannot forge
/// a line of output or turn the text round.
APP_EXPORT QString QuotedForMessage(const QString& text);
/// `text` with only the control, format and line-separating characters written as \uXXXX;
/// for paths and reasons set into a line of output.
APP_EXPORT QString EscapedForMessage(const QString& text);

/// Encodes `image` as `format` into `bytes` (replaced). False when the writer fails, with
/// `reason` (`EncodeFailedText`) when given; `bytes` then holds no usable file.
APP_EXPORT bool EncodeImage(const QImage& image, const ExportFormatInfo& format, QByteArray& bytes,
    QString* reason = nullptr);

} // namespace mtra::app
