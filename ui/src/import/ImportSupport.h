// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

class QWidget;

namespace mtra::app {
class ForegroundImage;
class ForegroundImageList;
} // namespace mtra::app

/// Helpers shared by the import page's widgets (batch list, preview windows, import groups):
/// the row icons, the image filter of the file dialogs, display names, the thumbnail cache and
/// the canvas-size step. GUI thread only; they act on `Application::Instance()`.
namespace mtra::ui::import {

/// The batch of the project in the window.
app::ForegroundImageList& ProjectBatch();

/// The state a batch row's icon shows.
enum class RowIcon { Unviewed, Viewed, Unique, Offline };
const QIcon& Icon(RowIcon which);
/// The icon for an image that can be read: unique wins over viewed.
const QIcon& IconFor(const app::ForegroundImage& image);

/// The filter every image file dialog of the program offers.
QString ImageFilter();

/// `baseName` made unique among the display names in the batch model: kept when no row has
/// it, else " (n)" with n one more than the highest number in use for it (names are matched
/// literally, so "img (10)" counts for "img" and "img*" does not).
QString MakeUniqueName(const QString& baseName);

/// The project's thumbnail folder with a trailing "/", created with its parents; a project
/// without a folder name gets one ("yyyyMMddhhmmsszzz", now). Empty when it cannot be made.
QString ThumbnailFolder();
/// The thumbnail's file in `folder`: the lower-case hex MD5 of the UTF-8 absolute path
/// followed by the file's modification time (seconds since 1970) and size, both decimal.
QString ThumbnailPath(const QString& folder, const QString& sourcePath);
/// Makes sure `image` has an up-to-date thumbnail (400 pixels wide, upright, PNG) and stores
/// its path in the image. The photo is decoded only when the stored path differs from the
/// computed one or its file is gone. A failed save tells the user (`parent`); false on any
/// failure.
bool MakeThumbnail(const QString& sourcePath, app::ForegroundImage& image, QWidget* parent);

/// When the canvas follows `follows` (its dimension type) and `size` is known and differs
/// from the canvas, resizes the canvas through the checked `Application::ResizeCanvas` (which
/// refuses, with its warning, a canvas above 25 megapixels); true when the canvas was resized.
bool ResizeCanvasTo(int follows, const QSize& size);
/// When the canvas follows the foreground and its size is known and differs from the
/// canvas, resizes the canvas through the checked `Application::ResizeCanvas`; true when the
/// canvas was resized.
bool FollowForegroundSize();

/// Marks the row offline (its file is missing), with the offline icon.
void MarkOffline(int row);

/// Marks the row's image viewed and gives the row the fitting icon.
void MarkViewed(int row, app::ForegroundImage& image);

} // namespace mtra::ui::import
