// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

// Interim photo reader for the window; replaced by the library's public reader.

#include <app/AppExport.h>

#include <QImage>
#include <QSize>
#include <QString>

namespace mtra::app {

APP_EXPORT QSize PhotoSize(const QString& path);
APP_EXPORT QImage ReadThumbnail(const QString& path, int width);

} // namespace mtra::app
