// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "canvas/CanvasView.h"

#include "Application.h"
#include "canvas/CanvasGraphicsItem.h"

#include <QGraphicsScene>
#include <QMouseEvent>

namespace mtra::ui {

CanvasView::CanvasView(const QSize& size, QWidget* parent)
    : QGraphicsView(parent)
{
    m_scene = new QGraphicsScene(0, 0, size.width(), size.height(), this);
    m_scene->setBackgroundBrush(QColor(0, 0, 0, 255));
    m_scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(m_scene);
    setFrameShape(QFrame::NoFrame);
    setFrameShadow(QFrame::Plain);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The item covers the whole view and redraws all of it on every frame.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setOptimizationFlags(QGraphicsView::DontSavePainterState);
    setCacheMode(QGraphicsView::CacheNone);
    ReplaceItem();
}

CanvasView::~CanvasView()
{
    // The scene would delete what it holds; the item is ours.
    if (m_item) {
        m_scene->removeItem(m_item.get());
    }
}

void CanvasView::ReplaceItem()
{
    if (m_item) {
        m_scene->removeItem(m_item.get());
    }
    m_item = std::make_shared<CanvasGraphicsItem>(m_scene->sceneRect().size());
    m_scene->addItem(m_item.get());
    connect(this, &CanvasView::SetNeedToDisplayImage, m_item.get(),
        &CanvasGraphicsItem::SetNeedToDisplayImage);
    connect(this, &CanvasView::SetNeedToRenderImage, m_item.get(),
        &CanvasGraphicsItem::SetNeedToRenderImage);
}

void CanvasView::UpdateFromProject()
{
    ReplaceItem();
}

void CanvasView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        Application::Instance()->StartCanvasDrag(at.x(), at.y());
    }
    QGraphicsView::mousePressEvent(event);
}

void CanvasView::mouseMoveEvent(QMouseEvent* event)
{
    Application& app = *Application::Instance();
    if (app.IsCanvasDragActive()) {
        const QPoint at = event->position().toPoint();
        app.DragCanvas(at.x(), at.y());
    }
    QGraphicsView::mouseMoveEvent(event);
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event)
{
    Application& app = *Application::Instance();
    if (event->button() == Qt::LeftButton && app.IsCanvasDragActive()) {
        app.EndCanvasDrag();
        app.RefreshCanvas(orv::image::DownsampleFull);
    }
    QGraphicsView::mouseReleaseEvent(event);
}

} // namespace mtra::ui
