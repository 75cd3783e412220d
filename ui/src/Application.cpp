// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "Application.h"

#include "ApplicationName.h"
#include "Dialogs.h"
#include "WaitCursor.h"

#include <app/Canvas.h>
#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QScreen>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QUrl>

#include <new>
#include <stdexcept>

namespace mtra::ui {

using app::BackgroundLayer;
using app::ForegroundLayer;
using app::MTerr;
using app::OverlayLayer;
using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

constexpr int kThumbnailWidth = 400;

QRect PrimaryScreenRect()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
}

} // namespace

QString ApplicationName()
{
    return QCoreApplication::translate(
        "mtra::ui::Application", "Orvane Mattora Batch", "Application name");
}

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Orvane"));
    setApplicationName(QStringLiteral("MattoraBatch"));
    setApplicationDisplayName(ApplicationName());
    setApplicationVersion(QString::fromLatin1(kApplicationVersion));
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QIcon icon;
    for (int size : { 16, 32, 48, 256 }) {
        icon.addFile(QStringLiteral(":/Icons/mattorabatch-%1.png").arg(size));
    }
    setWindowIcon(icon);
    setDesktopFileName(QStringLiteral("mattorabatch"));

    m_batchModel = new QStandardItemModel(0, 4, this);
    m_batchSelection = new QItemSelectionModel(m_batchModel, this);
    m_backgroundThumbnail = std::make_shared<QImage>();
    m_overlayThumbnail = std::make_shared<QImage>();
}

Application::~Application()
{
    // Whoever still holds a picture of the engine lets go of it before the engine goes.
    if (m_document) {
        emit ProjectAboutToBeReplaced();
    }
    m_document.reset();
}

Application* Application::Instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

// --- The project ---------------------------------------------------------------------------

MTerr Application::CreateProject(const QString& path)
{
    if (!m_document) {
        m_document = std::make_unique<app::ProjectDocument>(PrimaryScreenRect());
        connect(m_document.get(), &app::ProjectDocument::AboutToReplaceProject, this,
            &Application::ProjectAboutToBeReplaced);
        connect(m_document.get(), &app::ProjectDocument::ProjectReplaced, this,
            &Application::ProjectReplaced);
    }
    const MTerr result = path.isEmpty() ? m_document->New() : m_document->Open(path);
    if (result != app::MT_OK) {
        return result;
    }
    ResetForNewProject();
    return app::MT_OK;
}

void Application::ResetForNewProject()
{
    m_firstImageSize = m_backgroundSize = m_foregroundSize = m_overlaySize = QSize(-1, -1);
    m_dragMouseX = m_dragMouseY = -1;
    m_dragCanvasX = m_dragCanvasY = -1;
    m_toolsetWidth = -1;
    m_currentForegroundPath.clear();
    m_lastForegroundPath.clear();
    m_fullRefreshNext = true;
    for (bool& flag : m_firstRebuild) {
        flag = true;
    }
    m_renderSuspended = false;
    m_ranOutOfMemory = false;
    m_handlingFatal = false;
    ClearBatchList();
    m_batchSelection->reset();
}

std::shared_ptr<app::Project> Application::GetProject() const
{
    return m_document ? m_document->GetProject() : nullptr;
}

app::RenderEngine& Application::GetRenderEngine() const
{
    return *m_document->GetRenderEngine();
}

bool Application::IsProjectModified() const
{
    return m_document && m_document->IsModified();
}

bool Application::TakeFirstRebuild(int which)
{
    if (which < 0 || which > 2) {
        return false;
    }
    const bool first = m_firstRebuild[which];
    m_firstRebuild[which] = false;
    return first;
}

// --- Layers --------------------------------------------------------------------------------

QImage Application::Thumbnail(const QString& path) const
{
    QImage thumbnail;
    app::ReadThumbnail(path, kThumbnailWidth, thumbnail);
    return thumbnail;
}

bool Application::LoadLayer(LayerID layer, const QString& path, QSize& size)
{
    // The header first: a photo the engine would refuse (too large, not an image) costs no
    // decode, and nothing changes.
    MTerr result = app::PhotoSize(path, size);
    if (result == app::MT_OK) {
        result = m_document->SetLayerImage(layer, path);
    }
    if (result == app::MT_RENDER_OUT_OF_MEMORY) {
        HandleOutOfMemory();
        return false;
    }
    if (result != app::MT_OK) {
        Warn(nullptr, tr("The image you are trying to import is not supported."));
        return false;
    }
    return true;
}

bool Application::LoadSideLayer(LayerID layer, const QString& path)
{
    const bool overlay = layer == OverlayLayer;
    QSize size;
    if (!LoadLayer(layer, path, size)) {
        return false;
    }
    QImage thumbnail = Thumbnail(path);
    *(overlay ? m_overlayThumbnail : m_backgroundThumbnail) = thumbnail;
    (overlay ? m_overlaySize : m_backgroundSize) = size;
    RefreshLayer(layer, overlay ? Stage::Transform : Stage::Filter, DownsampleFull);
    return true;
}

bool Application::SetBackgroundLayerImage(const QString& path)
{
    return LoadSideLayer(BackgroundLayer, path);
}

bool Application::SetOverlayLayerImage(const QString& path)
{
    return LoadSideLayer(OverlayLayer, path);
}

bool Application::SetForegroundLayerImage(const QString& path, bool fullRefresh)
{
    QSize size;
    if (!LoadLayer(ForegroundLayer, path, size)) {
        return false;
    }
    m_foregroundSize = size;
    m_currentForegroundPath = path;

    // The row shown on the canvas is bold; the one shown before goes back to normal.
    if (!m_lastForegroundPath.isEmpty()) {
        const int last = BatchRowOfPath(m_lastForegroundPath);
        if (last >= 0) {
            m_batchModel->item(last, ColumnName)->setFont(QFont());
        }
    }
    const int row = BatchRowOfPath(path);
    if (row >= 0) {
        QFont bold(QStringLiteral("Tahoma"), 8);
        bold.setBold(true);
        bold.setStyleStrategy(QFont::PreferAntialias);
        m_batchModel->item(row, ColumnName)->setFont(bold);
    }

    if (m_fullRefreshNext || fullRefresh) {
        RefreshAllLayers();
    } else {
        InvalidateStage(ForegroundLayer, Stage::Key, DownsampleQuarter);
        RefreshLayer(ForegroundLayer, Stage::Key, DownsampleFull);
    }
    m_lastForegroundPath = path;
    m_fullRefreshNext = fullRefresh;
    return true;
}

void Application::ShowLayerPlaceholder(bool overlay)
{
    *(overlay ? m_overlayThumbnail : m_backgroundThumbnail)
        = QImage(QStringLiteral(":/DragDropWindow/DragAndDrop.png"));
}

void Application::ShowLayerOfflinePreview(bool overlay)
{
    *(overlay ? m_overlayThumbnail : m_backgroundThumbnail)
        = QImage(QStringLiteral(":/DragDropWindow/OfflinePreview.png"));
}

void Application::RemoveLayerImage(LayerID layer)
{
    m_document->RemoveLayerImage(layer);
    if (layer == BackgroundLayer) {
        m_backgroundSize = QSize(-1, -1);
    } else if (layer == OverlayLayer) {
        m_overlaySize = QSize(-1, -1);
    } else {
        m_foregroundSize = QSize(-1, -1);
        const int row = BatchRowOfPath(m_currentForegroundPath);
        if (row >= 0) {
            m_batchModel->item(row, ColumnName)->setFont(QFont());
        }
        m_currentForegroundPath.clear();
        m_lastForegroundPath.clear();
    }
    const Stage stage = layer == BackgroundLayer
        ? Stage::Filter
        : (layer == ForegroundLayer ? Stage::Key : Stage::Transform);
    emit CanvasRefreshRequested(layer, stage, DownsampleFull);
}

// --- Renders -------------------------------------------------------------------------------

void Application::InvalidateStage(LayerID layer, Stage stage, Factor factor)
{
    m_invalidationLog.push_back({ static_cast<int>(layer), stage, factor });
    app::RenderEngine& engine = GetRenderEngine();
    engine.Invalidate(layer, stage, factor);
    if (factor == DownsampleFull) {
        engine.Invalidate(layer, stage, DownsampleQuarter);
    }
}

void Application::ItemChanged(LayerID layer, Stage stage)
{
    m_document->ItemChanged(layer, stage);
}

void Application::ItemChanged(LayerID layer, Stage stage, Factor factor)
{
    m_document->ItemChanged(layer, stage, factor);
}

void Application::MarkProjectModified()
{
    m_document->MarkModified();
}

void Application::InvalidateAllLayers(Factor factor)
{
    app::RenderEngine& engine = GetRenderEngine();
    engine.Invalidate(BackgroundLayer, Stage::Filter, factor);
    engine.Invalidate(ForegroundLayer, Stage::Key, factor);
    engine.Invalidate(OverlayLayer, Stage::Transform, factor);
}

void Application::RefreshLayer(LayerID layer, Stage stage, Factor factor)
{
    if (GetRenderEngine().IsLayerSet(layer)) {
        emit CanvasRefreshRequested(layer, stage, factor);
    }
}

void Application::RefreshAllLayers()
{
    InvalidateAllLayers(DownsampleFull);
    InvalidateAllLayers(DownsampleQuarter);
    emit CanvasRefreshRequested(DownsampleFull);
}

void Application::RefreshCanvas(Factor factor)
{
    emit CanvasRefreshRequested(factor);
}

MTerr Application::RenderLayerToCanvas(LayerID layer, Stage stage, Factor factor, QImage& image)
{
    if (m_renderSuspended) {
        return app::MT_OK;
    }
    m_renderLog.push_back({ static_cast<int>(layer), stage, factor });
    app::RenderEngine& engine = GetRenderEngine();
    MTerr result = engine.RenderLayer(layer, static_cast<int>(stage), factor);
    if (result != app::MT_OK && result != app::MT_LAYER_NOT_SET) {
        return CheckMemoryAfterPaint(result);
    }
    return CheckMemoryAfterPaint(engine.RenderCanvasImage(factor, image));
}

MTerr Application::RenderAllLayersToCanvas(Factor factor, QImage& image)
{
    if (m_renderSuspended) {
        return app::MT_OK;
    }
    m_renderLog.push_back({ -1, Stage::Transform, factor });
    app::RenderEngine& engine = GetRenderEngine();
    for (LayerID layer : { BackgroundLayer, ForegroundLayer, OverlayLayer }) {
        const MTerr result = engine.RenderLayer(layer, static_cast<int>(Stage::Transform), factor);
        if (result != app::MT_OK && result != app::MT_LAYER_NOT_SET) {
            return CheckMemoryAfterPaint(result);
        }
    }
    return CheckMemoryAfterPaint(engine.RenderCanvasImage(factor, image));
}

bool Application::RenderExportImage(const QString& foregroundPath, QImage& image)
{
    WaitCursor wait;
    MTerr result = app::MT_OK;
    image = GetRenderEngine().ExportQImage(foregroundPath, result);
    CheckMemory(result);
    return result == app::MT_OK;
}

// --- Canvas geometry -----------------------------------------------------------------------

void Application::SetCanvasScale(float scale)
{
    if (!(scale > 0)) {
        return;
    }
    m_document->SetCanvasScale(scale);
}

void Application::StartCanvasDrag(int mouseX, int mouseY)
{
    const app::Canvas& canvas = GetProject()->GetCanvas();
    m_dragMouseX = mouseX;
    m_dragMouseY = mouseY;
    m_dragCanvasX = canvas.PositionX();
    m_dragCanvasY = canvas.PositionY();
}

void Application::EndCanvasDrag()
{
    m_dragMouseX = m_dragMouseY = -1;
    m_dragCanvasX = m_dragCanvasY = -1;
}

void Application::DragCanvas(int x, int y)
{
    if (!IsCanvasDragActive()) {
        return;
    }
    app::Project& project = *GetProject();
    const double scale = project.GetCanvas().Scale();
    if (!(scale > 0)) {
        return;
    }
    const QRect screen = PrimaryScreenRect();
    project.SetWindowOffsetX(screen.width() - static_cast<int>(project.WindowWidth()));
    project.SetWindowOffsetY(screen.height() - static_cast<int>(project.WindowHeight()));
    const double dx = x - m_dragMouseX;
    const double dy = y - m_dragMouseY;
    m_document->SetCanvasPosition(
        static_cast<int>(dx / scale + m_dragCanvasX), static_cast<int>(dy / scale + m_dragCanvasY));
    emit CanvasRefreshRequested(DownsampleQuarter);
}

void Application::CentreCanvas()
{
    app::Project& project = *GetProject();
    const int w = static_cast<int>(project.WindowWidth()) - m_toolsetWidth - 40;
    const int h = static_cast<int>(project.WindowHeight()) - m_navigationHeight - m_zoomHeight - 40;
    double x = w * 0.5;
    if (project.ToolsetPosition() == app::ToolsetLeft) {
        x += m_toolsetWidth;
    }
    x += 20;
    const double y = h * 0.5 + m_zoomHeight + 20;
    // The centre follows the window's layout; it is not an edit of the project.
    project.GetCanvas().SetCentre(static_cast<int>(x), static_cast<int>(y));
}

bool Application::ResizeCanvas(int width, int height)
{
    const MTerr result = width > 0 && height > 0
        ? m_document->ResizeCanvas(static_cast<unsigned>(width), static_cast<unsigned>(height))
        : app::MT_XML_INVALID;
    if (result != app::MT_OK) {
        Warn(nullptr,
            tr("The canvas cannot be %1 x %2 pixels: a canvas may hold at most 25,000,000 "
               "pixels.")
                .arg(width)
                .arg(height));
        return false;
    }
    RefreshAllLayers();
    return true;
}

// --- The batch model -----------------------------------------------------------------------

namespace {

QStandardItem* FlagItem(bool value)
{
    auto* item = new QStandardItem;
    item->setData(value, Qt::EditRole);
    return item;
}

} // namespace

void Application::InsertBatchRow(int row, const QString& name, const QString& path)
{
    auto* nameItem = new QStandardItem;
    nameItem->setData(name, Qt::EditRole);
    auto* pathItem = new QStandardItem;
    pathItem->setData(path, Qt::EditRole);
    m_batchModel->insertRow(row, { nameItem, pathItem, FlagItem(false), FlagItem(false) });
}

void Application::SetBatchRow(int row, const QString& name, const QString& path)
{
    if (row < 0 || row >= m_batchModel->rowCount()) {
        return;
    }
    m_batchModel->setData(m_batchModel->index(row, ColumnName), name, Qt::EditRole);
    m_batchModel->setData(m_batchModel->index(row, ColumnPath), path, Qt::EditRole);
    m_batchModel->setData(m_batchModel->index(row, ColumnBatched), false, Qt::EditRole);
    m_batchModel->setData(m_batchModel->index(row, ColumnOffline), false, Qt::EditRole);
}

void Application::SetBatchThumbnail(int row, const QIcon& icon)
{
    if (QStandardItem* item = m_batchModel->item(row, ColumnName)) {
        item->setIcon(icon);
    }
}

QModelIndex Application::BatchIndexOfRow(int row) const
{
    return row < 0 ? QModelIndex() : m_batchModel->index(row, ColumnName);
}

int Application::BatchRowOfIndex(const QModelIndex& index) const
{
    return index.isValid() ? index.row() : -1;
}

int Application::BatchRowOfPath(const QString& path) const
{
    // Paths are compared exactly: the file system is case-sensitive.
    int found = -1;
    for (int row = 0; row < m_batchModel->rowCount(); ++row) {
        if (BatchPathOfRow(row) == path) {
            if (found >= 0) {
                return -1;
            }
            found = row;
        }
    }
    return found;
}

QString Application::BatchPathOfIndex(const QModelIndex& index) const
{
    return index.isValid() ? BatchPathOfRow(index.row()) : QString();
}

QString Application::BatchPathOfRow(int row) const
{
    return m_batchModel->data(m_batchModel->index(row, ColumnPath), Qt::EditRole).toString();
}

QString Application::BatchNameOfRow(int row) const
{
    return m_batchModel->data(m_batchModel->index(row, ColumnName), Qt::EditRole).toString();
}

void Application::SetBatchRowBatched(int row, bool batched)
{
    m_batchModel->setData(m_batchModel->index(row, ColumnBatched), batched, Qt::EditRole);
}

bool Application::IsBatchRowBatched(int row) const
{
    return m_batchModel->data(m_batchModel->index(row, ColumnBatched), Qt::EditRole).toBool();
}

void Application::SetBatchRowOffline(int row)
{
    m_batchModel->setData(m_batchModel->index(row, ColumnOffline), true, Qt::EditRole);
}

bool Application::IsBatchRowOffline(int row) const
{
    return m_batchModel->data(m_batchModel->index(row, ColumnOffline), Qt::EditRole).toBool();
}

bool Application::RemoveBatchRow(int row)
{
    return m_batchModel->removeRow(row);
}

void Application::ClearBatchList()
{
    m_batchModel->setRowCount(0);
    m_batchModel->setColumnCount(4);
}

bool Application::MoveCurrentForeground(int step)
{
    int row = BatchRowOfPath(m_currentForegroundPath);
    if (row < 0) {
        row = BatchRowOfIndex(m_batchSelection->currentIndex());
    }
    const int target = row + step;
    if (row < 0 || target < 0 || target >= m_batchModel->rowCount()) {
        return false;
    }
    const QString path = BatchPathOfRow(target);
    if (path.isEmpty()) {
        return false;
    }
    const auto image = GetProject()->GetForegroundImageList().Get(path);
    m_batchSelection->setCurrentIndex(BatchIndexOfRow(target), QItemSelectionModel::ClearAndSelect);
    return SetForegroundLayerImage(path, image && image->IsUnique());
}

bool Application::SetCurrentForegroundUnique(bool unique)
{
    if (m_currentForegroundPath.isEmpty()
        || m_document->SetImageUnique(m_currentForegroundPath, unique) != app::MT_OK) {
        return false;
    }
    // A unique image shows what it showed; leaving it, the next image renders everything.
    // Back on the shared settings, the picture changes at once.
    m_fullRefreshNext = unique;
    if (!unique) {
        RefreshAllLayers();
    }
    return true;
}

// --- Helpers -------------------------------------------------------------------------------

bool Application::CacheFolder(QString& folder)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty()) {
        return false;
    }
    folder = base + QStringLiteral("/Orvane/MattoraBatch/cache");
    return true;
}

bool Application::OpenWithShell(const QString& target)
{
    WaitCursor wait;
    const QUrl url = QFileInfo(target).isAbsolute() ? QUrl::fromLocalFile(target)
                                                    : QUrl(target, QUrl::StrictMode);
    return QDesktopServices::openUrl(url);
}

// --- Out of memory -------------------------------------------------------------------------

MTerr Application::CheckMemory(MTerr result)
{
    if (result == app::MT_RENDER_OUT_OF_MEMORY) {
        HandleOutOfMemory();
    }
    return result;
}

MTerr Application::CheckMemoryAfterPaint(MTerr result)
{
    if (result == app::MT_RENDER_OUT_OF_MEMORY) {
        // The canvas renders inside a paint: no dialog may run there. Nothing renders until
        // the handler has asked its question, right after the paint.
        m_ranOutOfMemory = true;
        m_renderSuspended = true;
        QMetaObject::invokeMethod(this, &Application::HandleOutOfMemory, Qt::QueuedConnection);
    }
    return result;
}

void Application::HandleOutOfMemory()
{
    m_ranOutOfMemory = true;
    if (m_handlingFatal) {
        return;
    }
    m_handlingFatal = true;
    // The renders that ran out stop here: nothing paints from the engine while the question
    // is open.
    m_renderSuspended = true;
    const auto answer = Critical(nullptr,
        tr("%1 has to exit because there is not enough available memory to complete the "
           "task.\n\nWould you like to save this project before exiting?")
            .arg(ApplicationName()),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes && m_saveAsHandler) {
        m_saveAsHandler();
    }
    QCoreApplication::exit(app::MT_RENDER_OUT_OF_MEMORY);
}

void Application::HandleUnexpectedError(const QString& what)
{
    if (m_handlingFatal) {
        return;
    }
    m_handlingFatal = true;
    m_renderSuspended = true;
    const auto answer = Critical(nullptr,
        tr("%1 has to exit because an unexpected error occurred.\n\n%2\n\nWould you like to "
           "save this project before exiting?")
            .arg(ApplicationName(), what),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes && m_saveAsHandler) {
        m_saveAsHandler();
    }
    QCoreApplication::exit(1);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    // Qt does not carry exceptions through its own code: whatever an event handler throws
    // ends here and goes to the one handler.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        HandleOutOfMemory();
    } catch (const std::exception& error) {
        HandleUnexpectedError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace mtra::ui
