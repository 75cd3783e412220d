// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "export/ExportIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mtra::ui {

namespace {

const QColor kLine(210, 210, 210);

/// A chevron pointing down (into the export list) or up, doubled for "all".
QPixmap Chevrons(bool down, bool twice)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kLine, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal sign = down ? 1.0 : -1.0;
    const int count = twice ? 2 : 1;
    for (int i = 0; i < count; ++i) {
        const qreal y = 8.0 + (twice ? (i == 0 ? -2.5 : 2.5) : 0.0);
        painter.drawPolyline(QPolygonF({ QPointF(3.5, y - 2.5 * sign), QPointF(8.0, y + 2.0 * sign),
            QPointF(12.5, y - 2.5 * sign) }));
    }
    return pixmap;
}

/// A sheet with an arrow leaving it.
QPixmap ExportArrow()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kLine, 1.4));
    painter.drawRect(QRectF(2.5, 3.5, 8, 10));
    painter.setPen(QPen(QColor(72, 200, 110), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QPointF(6.5, 8.5), QPointF(14.0, 8.5));
    painter.drawPolyline(
        QPolygonF({ QPointF(11.5, 6.0), QPointF(14.0, 8.5), QPointF(11.5, 11.0) }));
    return pixmap;
}

} // namespace

QIcon ExportSectionIcon(ExportIcon which)
{
    switch (which) {
    case ExportIcon::Export:
        return QIcon(ExportArrow());
    case ExportIcon::AddAll:
        return QIcon(Chevrons(true, true));
    case ExportIcon::Add:
        return QIcon(Chevrons(true, false));
    case ExportIcon::Remove:
        return QIcon(Chevrons(false, false));
    case ExportIcon::RemoveAll:
        return QIcon(Chevrons(false, true));
    }
    return QIcon();
}

} // namespace mtra::ui
