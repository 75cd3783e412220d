// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QGraphicsView>

#include <memory>

class QGraphicsScene;

namespace mtra::ui {

class CanvasGraphicsItem;

/// The central area of the main window: a black scene holding the canvas item, without frame
/// or scroll bars, anchored top left. Dragging with the mouse moves the canvas (quarter
/// renders while moving, one full render on release). The zoom and navigation rows and the
/// toolset are laid over it by the main window. GUI thread only.
class CanvasView : public QGraphicsView
{
    Q_OBJECT
public:
    /// `size`: the scene's first size (the main window's), later the central widget's.
    explicit CanvasView(const QSize& size, QWidget* parent = nullptr);
    ~CanvasView() override;

    CanvasGraphicsItem* Item() const { return m_item.get(); }

signals:
    void SetNeedToDisplayImage(bool display);
    void SetNeedToRenderImage(bool render);

public slots:
    /// A new item for the new project, sized to the scene.
    void UpdateFromProject();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ReplaceItem();

    QGraphicsScene* m_scene = nullptr;
    std::shared_ptr<CanvasGraphicsItem> m_item;
};

} // namespace mtra::ui
