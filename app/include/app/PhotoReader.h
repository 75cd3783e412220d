// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// Reading photos as the program shows them. Every size, picture and thumbnail of a photo
/// goes through these functions rather than a plain `QImage` load, which in Qt 6 ignores the
/// EXIF orientation and refuses pictures above about 33 megapixels:
///
/// - upright: the EXIF orientation is applied, so a portrait shot stored sideways is tall;
/// - bounded: a file whose header declares more than `PhotoAllocationLimitBytes()` of pixels
///   (four bytes each) is refused before any pixel is decoded, so a small file that claims a
///   huge picture costs nothing.
///
/// - regular files only: anything else (a FIFO, a device such as /dev/stdin, a folder) is
///   refused before it is opened, so a pipe never blocks a batch;
/// - whole: a JPEG whose data ends early or is corrupt (which the reader would decode into a
///   partly grey picture, warning only on the console) is a failure, not a picture. The
///   warnings are caught by a Qt message handler that App installs at the first decode and
///   that passes every other message to the handler it replaced; a program that installs its
///   own handler later must pass messages on to the one it replaces, or damage goes unseen.
///
/// Results: 0, `MT_CACHE_NOT_CREATED` (34) for a file that cannot be read (missing, not an
/// image, damaged, too large, not a regular file) and `MT_RENDER_OUT_OF_MEMORY` (39) when
/// memory runs out; the out-parameters are then empty. `LastPhotoFailure()` then says what
/// happened. No exception leaves these functions. Any thread.

#include <app/AppExport.h>
#include <app/MTerr.h>

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

namespace mtra::app {

/// Largest decode, in MiB, that App asks Qt to allow: a 100-megapixel photo at four bytes per
/// pixel. Qt's own default refuses anything above about 33 megapixels, which would turn
/// ordinary camera photos into "cannot load" errors.
constexpr int kPhotoAllocationLimitMiB = 400;

/// The decode limit in force, in bytes; 0 when there is none. A user's QT_IMAGEIO_MAXALLOC
/// takes precedence over `kPhotoAllocationLimitMiB` (Qt gives the variable priority).
APP_EXPORT std::int64_t PhotoAllocationLimitBytes();

/// Why the file at `path` cannot be read as a photo, found without opening it: empty for a
/// regular file that can be read; otherwise offline (missing), a loop of symbolic links,
/// permission denied, or not a regular file (texts from <app/ErrorTexts.h>).
APP_EXPORT QString PhotoFileProblem(const QString& path);

/// What the last failed read of a photo on this thread found (these functions and the render
/// engine's loads alike), in words: "the file is damaged: data ends early", "not a regular
/// file", "not an image"…; empty after a successful read.
APP_EXPORT QString LastPhotoFailure();

/// The upright size of the photo at `path`, read from its header alone (no pixel is decoded).
/// On failure `size` is invalid and `reason`, when given, receives the reader's explanation.
APP_EXPORT MTerr PhotoSize(const QString& path, QSize& size, QString* reason = nullptr);

/// The whole photo, upright, as `QImage::Format_ARGB32`; a null image on failure.
APP_EXPORT MTerr ReadPhoto(const QString& path, QImage& image);

/// The photo upright and `width` pixels wide (height by its aspect ratio, at least 1), as
/// `QImage::Format_ARGB32`, for the batch list's thumbnails. The reader decodes straight at
/// the smaller size where its format can (a JPEG decodes at 1/2, 1/4 or 1/8 in the codec and
/// is smoothly scaled from there), so a camera photo costs a fraction of a full decode.
/// `width` below 1 gives 34.
APP_EXPORT MTerr ReadThumbnail(const QString& path, int width, QImage& image);

} // namespace mtra::app
