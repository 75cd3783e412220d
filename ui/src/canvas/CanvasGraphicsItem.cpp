// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "canvas/CanvasGraphicsItem.h"

#include "Application.h"

#include <app/Canvas.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QPainter>
#include <QRegion>
#include <QStyleOptionGraphicsItem>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace mtra::ui {

using orv::image::DownsampleFull;

namespace {

constexpr int kSettleMilliseconds = 120;
const QColor kSurroundColour(0, 0, 0, 220);
const QColor kOutlineColour(77, 77, 77, 255);

} // namespace

// --- PendingRender -------------------------------------------------------------------------

void PendingRender::AddLayer(app::LayerID layer, app::Stage stage, Factor requested)
{
    const int index = static_cast<int>(layer);
    if (index < 0 || index > 2) {
        // Not a layer: render everything rather than lose the request.
        AddAll(requested);
        return;
    }
    const int level = static_cast<int>(stage);
    if (!pending) {
        factor = requested;
    } else if (requested == orv::image::DownsampleFull) {
        factor = requested;
    }
    if (!pending || !allLayers) {
        // Another layer than the one pending turns this into a render of every layer below.
        allLayers = pending && SingleLayer() != index;
    }
    stages[index] = stages[index] == 0 ? level : std::min(stages[index], level);
    pending = true;
}

void PendingRender::AddAll(Factor requested)
{
    if (!pending || requested == orv::image::DownsampleFull) {
        factor = requested;
    }
    allLayers = true;
    pending = true;
}

int PendingRender::SingleLayer() const
{
    if (!pending || allLayers) {
        return -1;
    }
    for (int index = 0; index < 3; ++index) {
        if (stages[index] != 0) {
            return index;
        }
    }
    return -1;
}

// --- CanvasGraphicsItem ----------------------------------------------------------------------

CanvasGraphicsItem::CanvasGraphicsItem(const QSizeF& size)
    : m_width(static_cast<int>(size.width()))
    , m_height(static_cast<int>(size.height()))
{
    // The exposed rectangle tells the paint what it has to draw.
    setFlag(QGraphicsItem::ItemUsesExtendedStyleOption);
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kSettleMilliseconds);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] { update(); });
    m_renderer = [this](const PendingRender& pending, QImage& picture) {
        return RenderWithApplication(pending, picture);
    };

    Application* app = Application::Instance();
    connect(app, qOverload<app::LayerID, app::Stage, Factor>(&Application::CanvasRefreshRequested),
        this,
        qOverload<app::LayerID, app::Stage, Factor>(&CanvasGraphicsItem::RedrawCanvasGraphicsItem));
    connect(app, qOverload<Factor>(&Application::CanvasRefreshRequested), this,
        qOverload<Factor>(&CanvasGraphicsItem::RedrawCanvasGraphicsItem));
    connect(app, qOverload<int, int>(&Application::FocusCanvasRequested), this,
        &CanvasGraphicsItem::FocusCanvas);
    connect(this, &CanvasGraphicsItem::ZoomSliderChanged, app, &Application::UpdateZoomSlider);
    connect(app, &Application::ProjectAboutToBeReplaced, this, &CanvasGraphicsItem::DropPicture);
    // Whatever was shown belonged to the project that went; show the new one.
    connect(app, &Application::ProjectReplaced, this,
        [this] { RedrawCanvasGraphicsItem(DownsampleFull); });
}

CanvasGraphicsItem::~CanvasGraphicsItem() = default;

QRectF CanvasGraphicsItem::boundingRect() const
{
    return QRectF(0, 0, m_width, m_height);
}

QRect CanvasGraphicsItem::CanvasRect(const app::Canvas& canvas)
{
    const double scale = canvas.Scale();
    const double width = canvas.Width();
    const double height = canvas.Height();
    const int left
        = static_cast<int>(canvas.CentreX() + scale * (canvas.PositionX() - width * 0.5));
    const int top
        = static_cast<int>(canvas.CentreY() + scale * (canvas.PositionY() - height * 0.5));
    const int right
        = static_cast<int>(canvas.CentreX() + scale * (canvas.PositionX() + width * 0.5) - 1);
    const int bottom
        = static_cast<int>(canvas.CentreY() + scale * (canvas.PositionY() + height * 0.5) - 1);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

double CanvasGraphicsItem::FitScale(unsigned int canvasWidth, unsigned int canvasHeight, int width,
    int height, int toolsetWidth, int navigationHeight, int zoomHeight)
{
    // The toolset width is -1 until the toolset has been laid out.
    const int freeWidth = width - std::max(0, toolsetWidth) - 40;
    const int freeHeight = height - navigationHeight - zoomHeight - 40;
    // No room, or a canvas without area: a zoom of 0 would divide by zero in every drag.
    if (freeWidth <= 0 || freeHeight <= 0 || canvasWidth == 0 || canvasHeight == 0) {
        return 0.0;
    }
    const double canvasAspect = double(canvasWidth) / canvasHeight;
    const double freeAspect = double(freeWidth) / freeHeight;
    return freeAspect > canvasAspect ? double(freeHeight) / canvasHeight
                                     : double(freeWidth) / canvasWidth;
}

void CanvasGraphicsItem::RedrawCanvasGraphicsItem(
    app::LayerID layer, app::Stage stage, Factor factor)
{
    m_pending.AddLayer(layer, stage, factor);
    ScheduleRepaint();
}

void CanvasGraphicsItem::RedrawCanvasGraphicsItem(Factor factor)
{
    m_pending.AddAll(factor);
    ScheduleRepaint();
}

void CanvasGraphicsItem::ScheduleRepaint()
{
    Application& app = *Application::Instance();
    if (!app.GetProject()) {
        return;
    }
    const QRect window = app.GetRenderEngine().WindowCacheRect();
    const int width = window.right() - window.left() + 1;
    const int height = window.bottom() - window.top() + 1;
    if (width != m_width || height != m_height) {
        prepareGeometryChange();
        m_width = width;
        m_height = height;
    }
    update();
}

void CanvasGraphicsItem::FocusCanvas(int width, int height)
{
    Application& app = *Application::Instance();
    if (!app.GetProject()) {
        return;
    }
    app::Canvas& canvas = app.GetProject()->GetCanvas();
    const double scale = FitScale(canvas.Width(), canvas.Height(), width, height,
        app.ToolsetWidth(), app.NavigationHeight(), app.ZoomHeight());
    if (!(scale > 0)) {
        return;
    }
    // Fitting the view is not an edit of the project.
    canvas.SetScale(static_cast<float>(scale));
    canvas.SetPosition(0, 0);
    emit ZoomSliderChanged(static_cast<float>(scale));
}

void CanvasGraphicsItem::SetNeedToDisplayImage(bool display)
{
    m_needToDisplay = display;
}

void CanvasGraphicsItem::SetNeedToRenderImage(bool render)
{
    if (!render) {
        m_pending.Clear();
        return;
    }
    RedrawCanvasGraphicsItem(DownsampleFull);
}

void CanvasGraphicsItem::DropPicture()
{
    m_picture = QImage();
    update();
}

app::MTerr CanvasGraphicsItem::RenderWithApplication(const PendingRender& pending, QImage& picture)
{
    Application& app = *Application::Instance();
    const int single = pending.SingleLayer();
    if (single >= 0) {
        return app.RenderLayerToCanvas(static_cast<app::LayerID>(single),
            static_cast<app::Stage>(pending.stages[single]), pending.factor, picture);
    }
    // Layers asked for from an earlier stage than the transform are re-run from there, as a
    // render of that layer alone would have done.
    for (int index = 0; index < 3; ++index) {
        const int level = pending.stages[index];
        if (level != 0 && level < static_cast<int>(app::Stage::Transform)
            && app.GetRenderEngine().IsLayerSet(static_cast<app::LayerID>(index))) {
            app.InvalidateStage(
                static_cast<app::LayerID>(index), static_cast<app::Stage>(level), pending.factor);
        }
    }
    return app.RenderAllLayersToCanvas(pending.factor, picture);
}

void CanvasGraphicsItem::RenderPending()
{
    const PendingRender pending = m_pending;
    m_pending.Clear();
    // Out of memory has gone to the application's handler; any other failure leaves the
    // picture as the engine set it.
    m_renderer(pending, m_picture);
}

void CanvasGraphicsItem::paint(
    QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(widget);
    const QRectF exposed
        = option ? option->exposedRect.intersected(boundingRect()) : boundingRect();
    // Nothing may leave a paint: out of memory goes to the one handler, after the paint.
    try {
        if (!m_needToDisplay) {
            m_needToDisplay = true;
            if (m_pending.pending) {
                m_settleTimer.start();
            }
        } else {
            // While a batch export has rendering suspended the request waits for its end.
            const Application& app = *Application::Instance();
            if (m_pending.pending && app.GetProject() && !app.IsRenderSuspended()) {
                RenderPending();
            }
            DrawPicture(*painter, exposed);
        }
        DrawSurround(*painter, exposed);
    } catch (const std::bad_alloc&) {
        QTimer::singleShot(0, Application::Instance(), &Application::HandleOutOfMemory);
    } catch (const std::exception& error) {
        const QString what = QString::fromLocal8Bit(error.what());
        QTimer::singleShot(0, Application::Instance(),
            [what] { Application::Instance()->HandleUnexpectedError(what); });
    }
}

void CanvasGraphicsItem::DrawPicture(QPainter& painter, const QRectF& exposed) const
{
    if (m_picture.isNull() || m_width <= 0 || m_height <= 0 || exposed.isEmpty()) {
        return;
    }
    // Only the exposed part is scaled (a quarter picture by 4); the rest is not touched.
    const double sx = double(m_picture.width()) / m_width;
    const double sy = double(m_picture.height()) / m_height;
    const QRectF source(
        exposed.x() * sx, exposed.y() * sy, exposed.width() * sx, exposed.height() * sy);
    painter.drawImage(exposed, m_picture, source);
}

void CanvasGraphicsItem::DrawSurround(QPainter& painter, const QRectF& exposed) const
{
    const auto project = Application::Instance()->GetProject();
    if (!project) {
        return;
    }
    const QRect canvas = CanvasRect(project->GetCanvas());
    // The window outside the canvas, as separate rectangles: the same pixels as an odd-even
    // fill of window and canvas, without rasterising a path over the whole screen.
    const QRegion outside
        = QRegion(exposed.toAlignedRect()).subtracted(QRegion(canvas.normalized()));
    for (const QRect& rect : outside) {
        painter.fillRect(rect, kSurroundColour);
    }
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kOutlineColour, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawRect(canvas);
    painter.restore();
}

} // namespace mtra::ui
