// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/Photos.h>

#include "PhotoLoading.h"

#include <QImageReader>

namespace mtra::app {

QSize PhotoSize(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (!size.isValid()) {
        return {};
    }
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) {
        size.transpose();
    }
    const std::int64_t limit = PhotoAllocationLimitBytes();
    if (limit > 0 && std::int64_t(size.width()) * size.height() * 4 > limit) {
        return {};
    }
    return size;
}

QImage ReadThumbnail(const QString& path, int width)
{
    try {
        const QImage image = ReadPhoto(path);
        return image.scaledToWidth(width, Qt::SmoothTransformation);
    } catch (...) {
        return {};
    }
}

} // namespace mtra::app
