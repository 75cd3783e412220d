// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/MTerr.h>
#include <app/ProjectDocument.h>
#include <app/ProjectTypes.h>

#include <ovimageengine/OVEnums.h>

#include <QApplication>
#include <QImage>
#include <QItemSelectionModel>
#include <QStandardItemModel>

#include <functional>
#include <memory>
#include <vector>

namespace mtra::app {
class Project;
class RenderEngine;
} // namespace mtra::app

namespace mtra::ui {

/// The program's application object and the one door from the widgets to the model: it owns
/// the project document (project, render engine, modified state), the batch model shared by
/// the import list, the export lists and the canvas navigation, the layer thumbnails, the
/// canvas geometry helpers and the out-of-memory handling. Widgets change layers, ask for
/// renders and move the canvas through it; the canvas item paints what `RenderLayerToCanvas`
/// and `RenderAllLayersToCanvas` compose.
///
/// Exactly one exists (`Instance()`); everything runs on the GUI thread. Out of memory reported
/// by the engine (`MT_RENDER_OUT_OF_MEMORY`) or thrown inside an event handler goes to
/// `HandleOutOfMemory`, never as an exception through Qt.
class Application : public QApplication
{
    Q_OBJECT
public:
    using LayerID = app::LayerID;
    using Stage = app::Stage;
    using Factor = orv::image::OVDownsampleFactor;

    /// Columns of the batch model; every value is stored under Qt::EditRole.
    enum BatchColumn { ColumnName = 0, ColumnPath = 1, ColumnBatched = 2, ColumnOffline = 3 };

    /// One render asked of the engine, for tests and benchmarks: `layer` is -1 for a render
    /// of every layer.
    struct RenderRecord {
        int layer = -1;
        Stage stage = Stage::Transform;
        Factor factor = orv::image::DownsampleFull;
    };

    Application(int& argc, char** argv);
    ~Application() override;

    static Application* Instance();

    // --- The project ---------------------------------------------------------------------

    /// Replaces project and engine: the default project for an empty path, else the file.
    /// Resets sizes, anchors, the batch model and the refresh flags. On failure of a file the
    /// previous project stays loaded and its code is returned (39: out of memory).
    app::MTerr CreateProject(const QString& path);
    app::ProjectDocument& Document() { return *m_document; }
    std::shared_ptr<app::Project> GetProject() const;
    app::RenderEngine& GetRenderEngine() const;
    /// True when the project holds changes that were never saved.
    bool IsProjectModified() const;

    // --- Layers ---------------------------------------------------------------------------

    /// Loads the background image (upright): on success the project and engine hold it, the
    /// thumbnail shows it and the layer is refreshed. On failure the user is told, the
    /// project, engine and thumbnail are unchanged and the result is false.
    bool SetBackgroundLayerImage(const QString& path);
    /// Makes the batch image at `path` the current foreground (bold row, engine layer,
    /// refresh: all layers when `fullRefresh` or the first time after a new project, else the
    /// foreground from its key stage). False, with nothing changed, when it does not load.
    bool SetForegroundLayerImage(const QString& path, bool fullRefresh);
    bool SetOverlayLayerImage(const QString& path);
    /// Thumbnail := the drag-and-drop placeholder (the layer has no image).
    void ShowLayerPlaceholder(bool overlay);
    /// Thumbnail := the offline placeholder (the layer's file is missing).
    void ShowLayerOfflinePreview(bool overlay);
    std::shared_ptr<QImage> BackgroundThumbnail() const { return m_backgroundThumbnail; }
    std::shared_ptr<QImage> OverlayThumbnail() const { return m_overlayThumbnail; }
    /// Unloads a layer and asks for its refresh, set or not. Without a foreground no photo of
    /// the batch is the canvas image any more.
    void RemoveLayerImage(LayerID layer);

    // --- Renders --------------------------------------------------------------------------

    /// Background from its filter stage, foreground from its key stage, overlay from its
    /// transform stage become stale at `factor`.
    void InvalidateAllLayers(Factor factor);
    /// Reports an edit a widget made to an item of `layer` at `stage` in the current image's
    /// settings: the stage goes stale at both factors (at `factor` alone while a control is
    /// dragged; the release reports again without one) and the project counts as modified.
    void ItemChanged(LayerID layer, Stage stage);
    void ItemChanged(LayerID layer, Stage stage, Factor factor);
    /// Reports a change to the project that renders nothing differently (a group collapsed or
    /// expanded): the project counts as modified, no stage goes stale.
    void MarkProjectModified();
    /// Marks one stage stale at `factor`; a full-factor invalidation also marks the quarter
    /// stale, so that the next quarter frame does not show an old value.
    void InvalidateStage(LayerID layer, Stage stage, Factor factor);
    /// Asks the canvas to refresh one layer from `stage` at `factor` (nothing when the layer
    /// has no image).
    void RefreshLayer(LayerID layer, Stage stage, Factor factor);
    /// Every layer stale at full resolution, then a full render of the canvas.
    void RefreshAllLayers();
    void RefreshCanvas(Factor factor);
    /// Renders one layer and composes the canvas into `image` (a picture over the engine's
    /// canvas cache, valid until the next render or the project's replacement). 0 at once while
    /// rendering is suspended; `MT_LAYER_NOT_SET` for the layer is not a failure. Called from
    /// the canvas's paint: out of memory suspends rendering at once and goes to
    /// `HandleOutOfMemory` when the paint is over.
    app::MTerr RenderLayerToCanvas(LayerID layer, Stage stage, Factor factor, QImage& image);
    app::MTerr RenderAllLayersToCanvas(Factor factor, QImage& image);
    /// The export picture of one batch image, under the wait cursor; false on failure (39
    /// goes to the out-of-memory handling).
    bool RenderExportImage(const QString& foregroundPath, QImage& image);
    void SetRenderSuspended(bool suspended) { m_renderSuspended = suspended; }
    bool IsRenderSuspended() const { return m_renderSuspended; }
    const std::vector<RenderRecord>& RenderLog() const { return m_renderLog; }
    void ClearRenderLog() { m_renderLog.clear(); }
    /// Every `InvalidateStage` call, for tests (`layer` as given).
    const std::vector<RenderRecord>& InvalidationLog() const { return m_invalidationLog; }
    void ClearInvalidationLog() { m_invalidationLog.clear(); }

    // --- Canvas geometry ------------------------------------------------------------------

    /// Remembers where a canvas drag starts (mouse position in view pixels).
    void StartCanvasDrag(int mouseX, int mouseY);
    void EndCanvasDrag();
    bool IsCanvasDragActive() const { return m_dragMouseX >= 0; }
    /// Moves the canvas by the mouse offset since the drag started, divided by the zoom;
    /// nothing without a drag.
    void DragCanvas(int x, int y);
    /// Centres the canvas in the free part of the view (beside the toolset, between zoom and
    /// navigation rows).
    void CentreCanvas();
    /// Sets the canvas size when supported (at most 25,000,000 pixels, both sides positive),
    /// refits every "fit to canvas" overlay and renders everything again; false with a
    /// warning and the old size kept otherwise.
    bool ResizeCanvas(int width, int height);
    void SetToolsetWidth(int width) { m_toolsetWidth = width; }
    int ToolsetWidth() const { return m_toolsetWidth; }
    void SetNavigationHeight(int height) { m_navigationHeight = height; }
    int NavigationHeight() const { return m_navigationHeight; }
    void SetZoomHeight(int height) { m_zoomHeight = height; }
    int ZoomHeight() const { return m_zoomHeight; }
    /// The user's zoom of the canvas (1: one canvas pixel per screen pixel); values <= 0 are
    /// ignored. The project counts as modified.
    void SetCanvasScale(float scale);

    // --- Image sizes (upright pixels; -1 x -1 while unknown) -------------------------------
    QSize FirstImageSize() const { return m_firstImageSize; }
    void SetFirstImageSize(const QSize& size) { m_firstImageSize = size; }
    QSize BackgroundSize() const { return m_backgroundSize; }
    QSize ForegroundSize() const { return m_foregroundSize; }
    QSize OverlaySize() const { return m_overlaySize; }
    const QString& CurrentForegroundPath() const { return m_currentForegroundPath; }

    // --- First-rebuild flags of the sections ----------------------------------------------
    bool TakeFirstRebuild(int which);

    // --- The batch model ------------------------------------------------------------------

    QStandardItemModel* BatchModel() const { return m_batchModel; }
    QItemSelectionModel* BatchSelectionModel() const { return m_batchSelection; }
    void InsertBatchRow(int row, const QString& name, const QString& path);
    void SetBatchRow(int row, const QString& name, const QString& path);
    /// Sets a row's icon. Does not process events (callers inside a modal import loop do).
    void SetBatchThumbnail(int row, const QIcon& icon);
    QModelIndex BatchIndexOfRow(int row) const;
    int BatchRowOfIndex(const QModelIndex& index) const;
    int BatchRowOfPath(const QString& path) const;
    QString BatchPathOfIndex(const QModelIndex& index) const;
    QString BatchPathOfRow(int row) const;
    QString BatchNameOfRow(int row) const;
    void SetBatchRowBatched(int row, bool batched);
    bool IsBatchRowBatched(int row) const;
    void SetBatchRowOffline(int row);
    bool IsBatchRowOffline(int row) const;
    bool RemoveBatchRow(int row);
    void ClearBatchList();
    /// Makes the batch row `step` rows from the canvas image's row current and shows it on
    /// the canvas; false, with nothing changed, past either end or for a row without a path.
    bool MoveCurrentForeground(int step);
    /// The canvas image takes its own copy of the settings (`unique`) or goes back to the
    /// shared ones (then everything renders again); false when it is not in the batch.
    bool SetCurrentForegroundUnique(bool unique);
    /// Whether the next photo shown renders every layer (set while a unique photo is shown,
    /// whose settings the next photo does not share).
    void SetFullRefreshNext(bool full) { m_fullRefreshNext = full; }

    // --- Helpers --------------------------------------------------------------------------

    /// The per-user cache folder of the program (".../Orvane/MattoraBatch/cache"); false when
    /// the platform has none.
    static bool CacheFolder(QString& folder);
    /// Opens a local file (absolute path) or a web page in the desktop's default application.
    static bool OpenWithShell(const QString& target);

    // --- Out of memory --------------------------------------------------------------------

    /// What "save before exiting" runs (the main window's Save As).
    void SetSaveAsHandler(std::function<bool()> handler) { m_saveAsHandler = std::move(handler); }
    /// Offers Save As once, then ends the event loop with status 39.
    void HandleOutOfMemory();
    /// Reports an unexpected error the same way, with its text, and ends the event loop.
    void HandleUnexpectedError(const QString& what);
    bool RanOutOfMemory() const { return m_ranOutOfMemory; }
    /// Routes a render result: 39 goes to `HandleOutOfMemory`; returns `result`.
    app::MTerr CheckMemory(app::MTerr result);

    bool notify(QObject* receiver, QEvent* event) override;

signals:
    void CanvasRefreshRequested(
        mtra::app::LayerID layer, mtra::app::Stage stage, orv::image::OVDownsampleFactor factor);
    void CanvasRefreshRequested(orv::image::OVDownsampleFactor factor);
    void FocusCanvasRequested(int width, int height);
    void FocusCanvasRequested();
    void UpdateZoomSlider(float zoom);
    /// Project and engine are about to be replaced: drop every picture borrowed from the engine.
    void ProjectAboutToBeReplaced();
    /// The project was replaced (start, New, Open).
    void ProjectReplaced();

private:
    /// Reads the photo's upright size from its header, then loads it into `layer` through the
    /// document; on failure the user is told (39: the out-of-memory handling) and nothing
    /// changes.
    bool LoadLayer(LayerID layer, const QString& path, QSize& size);
    bool LoadSideLayer(LayerID layer, const QString& path);
    /// As `CheckMemory`, with the handler run after the current paint.
    app::MTerr CheckMemoryAfterPaint(app::MTerr result);
    void ResetForNewProject();
    QImage Thumbnail(const QString& path) const;

    std::shared_ptr<QImage> m_backgroundThumbnail;
    std::shared_ptr<QImage> m_overlayThumbnail;
    std::unique_ptr<app::ProjectDocument> m_document;
    QStandardItemModel* m_batchModel = nullptr;
    QItemSelectionModel* m_batchSelection = nullptr;

    QSize m_firstImageSize { -1, -1 };
    QSize m_backgroundSize { -1, -1 };
    QSize m_foregroundSize { -1, -1 };
    QSize m_overlaySize { -1, -1 };
    QString m_currentForegroundPath;
    QString m_lastForegroundPath;

    int m_dragMouseX = -1;
    int m_dragMouseY = -1;
    double m_dragCanvasX = -1;
    double m_dragCanvasY = -1;

    bool m_fullRefreshNext = true;
    bool m_firstRebuild[3] = { true, true, true };
    int m_toolsetWidth = -1;
    int m_navigationHeight = 0;
    int m_zoomHeight = 0;
    bool m_renderSuspended = false;
    std::vector<RenderRecord> m_renderLog;
    std::vector<RenderRecord> m_invalidationLog;

    std::function<bool()> m_saveAsHandler;
    bool m_ranOutOfMemory = false;
    bool m_handlingFatal = false;
};

} // namespace mtra::ui
