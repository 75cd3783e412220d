// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/MTerr.h>
#include <app/ProjectDocument.h>
#include <app/ProjectTypes.h>

#include <ovimageengine/OVEnums.h>

#include <QGraphicsItem>
#include <QImage>
#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

namespace mtra::app {
class Canvas;
}

namespace mtra::ui {

/// The render the next paint of the canvas owes. Every request made before that paint merges
/// into it, so one paint renders once and leaves no requested layer stale: a second layer or
/// any render of all layers makes it a render of all layers, the same layer keeps the
/// earliest stage, and full resolution wins over quarter.
struct PendingRender {
    using Factor = orv::image::OVDownsampleFactor;

    bool pending = false;
    bool allLayers = false;
    Factor factor = orv::image::DownsampleQuarter;
    /// Per layer (background, foreground, overlay): the earliest requested stage, 0 for none.
    std::array<int, 3> stages { 0, 0, 0 };

    void AddLayer(app::LayerID layer, app::Stage stage, Factor requested);
    void AddAll(Factor requested);
    void Clear() { *this = PendingRender(); }
    /// The one layer asked for, or -1 when the render covers every layer.
    int SingleLayer() const;
};

/// The picture of the canvas view: the composite the render engine makes, scaled over the
/// whole window, darkened outside the canvas rectangle and outlined in (77, 77, 77). Refresh
/// requests of the application only mark it; the render happens in its next paint, once per
/// paint whatever the number of requests. It paints from a picture borrowed from the engine
/// and lets go of it before the project and engine are replaced. Owned by the canvas view;
/// GUI thread only.
class CanvasGraphicsItem : public QObject, public QGraphicsItem
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
public:
    using Factor = orv::image::OVDownsampleFactor;
    /// Renders what `pending` asks into `picture`; the default goes through the application.
    using Renderer = std::function<app::MTerr(const PendingRender& pending, QImage& picture)>;

    explicit CanvasGraphicsItem(const QSizeF& size);
    ~CanvasGraphicsItem() override;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    const PendingRender& Pending() const { return m_pending; }
    /// True while a picture from the engine is held.
    bool HasPicture() const { return !m_picture.isNull(); }
    /// Replaces how renders are done (tests provoke failures with it).
    void SetRenderer(Renderer renderer) { m_renderer = std::move(renderer); }

    /// The canvas rectangle in window pixels, corners inclusive; the placement the engine
    /// uses for the layers.
    static QRect CanvasRect(const app::Canvas& canvas);
    /// The zoom that fits a canvas of `canvasWidth` x `canvasHeight` pixels into a view of
    /// `width` x `height` beside the toolset and between the zoom and navigation rows, or 0
    /// when there is no room or no canvas.
    static double FitScale(unsigned int canvasWidth, unsigned int canvasHeight, int width,
        int height, int toolsetWidth, int navigationHeight, int zoomHeight);

signals:
    void ZoomSliderChanged(float zoom);

public slots:
    void RedrawCanvasGraphicsItem(
        mtra::app::LayerID layer, mtra::app::Stage stage, orv::image::OVDownsampleFactor factor);
    void RedrawCanvasGraphicsItem(orv::image::OVDownsampleFactor factor);
    /// Fits the canvas into a view of `width` x `height` (nothing when it has no room).
    void FocusCanvas(int width, int height);
    /// False: the next paint shows no picture and renders nothing (the window is being
    /// resized); the render it owes follows shortly after.
    void SetNeedToDisplayImage(bool display);
    /// True: everything renders again at full resolution at the next paint; false: the
    /// pending render is dropped.
    void SetNeedToRenderImage(bool render);
    /// Forgets the engine's picture (the engine is about to go).
    void DropPicture();

private:
    void ScheduleRepaint();
    void RenderPending();
    void DrawPicture(QPainter& painter, const QRectF& exposed) const;
    void DrawSurround(QPainter& painter, const QRectF& exposed) const;
    app::MTerr RenderWithApplication(const PendingRender& pending, QImage& picture);

    QImage m_picture;
    int m_width = 0;
    int m_height = 0;
    PendingRender m_pending;
    bool m_needToDisplay = false;
    Renderer m_renderer;
    /// Brings the render a skipped paint owed once the window has settled.
    QTimer m_settleTimer;
};

} // namespace mtra::ui
