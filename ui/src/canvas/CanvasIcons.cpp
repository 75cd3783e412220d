// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "canvas/CanvasIcons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>

namespace mtra::ui {

namespace {

constexpr int kSize = 16;

QPixmap Blank()
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

/// Four corner brackets around a dot: fit the picture to the frame.
QPixmap DrawFocus()
{
    QPixmap pixmap = Blank();
    QPainter painter(&pixmap);
    painter.setPen(QPen(QColor(210, 210, 210), 1.5));
    const int a = 2;
    const int b = kSize - 3;
    const int l = 4;
    painter.drawPolyline(QPolygon({ QPoint(a, a + l), QPoint(a, a), QPoint(a + l, a) }));
    painter.drawPolyline(QPolygon({ QPoint(b - l, a), QPoint(b, a), QPoint(b, a + l) }));
    painter.drawPolyline(QPolygon({ QPoint(a, b - l), QPoint(a, b), QPoint(a + l, b) }));
    painter.drawPolyline(QPolygon({ QPoint(b - l, b), QPoint(b, b), QPoint(b, b - l) }));
    painter.fillRect(QRect(6, 6, 4, 4), QColor(210, 210, 210));
    return pixmap;
}

/// A small picture frame, filled when the image has settings of its own.
QPixmap DrawUnique(bool enabled)
{
    QPixmap pixmap = Blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(210, 210, 210), 1.5));
    painter.setBrush(enabled ? QColor(90, 170, 255) : QColor(0, 0, 0, 0));
    painter.drawRoundedRect(QRectF(2.5, 3.5, 11, 9), 1.5, 1.5);
    return pixmap;
}

} // namespace

QIcon CanvasIcon(const QString& resource)
{
    if (QFile::exists(resource)) {
        return QIcon(resource);
    }
    if (resource.endsWith(QLatin1String("Focus.png"))) {
        return QIcon(DrawFocus());
    }
    if (resource.endsWith(QLatin1String("ImageUniqueEnabled.png"))) {
        return QIcon(DrawUnique(true));
    }
    if (resource.endsWith(QLatin1String("ImageUnique.png"))) {
        return QIcon(DrawUnique(false));
    }
    return QIcon();
}

} // namespace mtra::ui
