// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "import/ListView.h"

#include "Application.h"
#include "Dialogs.h"
#include "WaitCursor.h"
#include "import/ImportSupport.h"

#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSet>

namespace mtra::ui {

using app::ForegroundLayer;
using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

Application& App()
{
    return *Application::Instance();
}

bool CanRead(const QString& path)
{
    QSize size;
    return !path.isEmpty() && app::PhotoSize(path, size) == app::MT_OK;
}

} // namespace

ListView::ListView(QWidget* parent)
    : QListView(parent)
{
    setObjectName(QStringLiteral("ListView"));
    setModel(App().BatchModel());
    // The model's own selection model is replaced by the one every batch view shares.
    QItemSelectionModel* own = selectionModel();
    setSelectionModel(App().BatchSelectionModel());
    delete own;
    setModelColumn(Application::ColumnName);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &ListView::ListContextMenu);
}

bool ListView::IsCanvasImage(const QModelIndex& index) const
{
    const QString path = App().BatchPathOfIndex(index);
    return !path.isEmpty() && path == App().GetProject()->CurrentForegroundPath();
}

bool ListView::ShowOnCanvas(int row, const QString& path)
{
    const auto image = import::ProjectBatch().Get(path);
    if (!App().SetForegroundLayerImage(path, image->IsUnique())) {
        return false;
    }
    import::MarkViewed(row, *image);
    import::FollowForegroundSize();
    return true;
}

void ListView::ListItemClicked(const QModelIndex& index, bool show)
{
    if (!index.isValid() || CheckOfflineImage(index.row())) {
        return;
    }
    WaitCursor wait;
    QItemSelectionModel* selection = selectionModel();
    const QModelIndex target = App().BatchIndexOfRow(index.row());
    // Rows, not cells: a view over the same selection may select whole rows.
    QSet<int> selected;
    for (const QModelIndex& cell : selection->selectedIndexes()) {
        selected.insert(cell.row());
    }
    if (selected.isEmpty()) {
        // Nothing chosen yet (an import into an empty batch): the row becomes the canvas image.
        selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        const QString path = App().BatchPathOfIndex(target);
        const auto image = import::ProjectBatch().Get(path);
        if (import::ProjectBatch().Find(path)) {
            emit UpdateUniqueButton(image->IsUnique(), show);
            if (ShowOnCanvas(target.row(), path)) {
                emit App().FocusCanvasRequested();
            }
            emit AllowUseButton(false);
            import::MakeThumbnail(path, *image, this);
            emit UpdateThumbnail(image->ThumbnailFilename(), ForegroundLayer);
        }
    } else if (selected.size() == 1) {
        if (selection->currentIndex() != target || !selection->isSelected(target)) {
            selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        }
        const QString path = App().BatchPathOfIndex(target);
        const auto image = import::ProjectBatch().Get(path);
        emit UpdateUniqueButton(image->IsUnique(), show || IsCanvasImage(target));
        if (show) {
            ShowOnCanvas(target.row(), path);
            emit AllowUseButton(false);
        } else {
            emit AllowUseButton(true);
        }
        if (import::ProjectBatch().Find(path)) {
            import::MakeThumbnail(path, *image, this);
        }
        emit UpdateThumbnail(image->ThumbnailFilename(), ForegroundLayer);
        m_lastPressed = target;
    } else if (m_lastPressed.isValid()) {
        selection->setCurrentIndex(m_lastPressed, QItemSelectionModel::ClearAndSelect);
    }
    m_lastShown = selection->currentIndex();
}

void ListView::ListItemDoubleClicked(const QModelIndex& index)
{
    if (index.isValid() && !IsCanvasImage(index)) {
        ListItemClicked(index, true);
    }
}

void ListView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    // A press below the last row keeps the selection as it is.
    if (!index.isValid()) {
        return;
    }
    QListView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        ListItemClicked(index);
    }
}

void ListView::mouseMoveEvent(QMouseEvent* event)
{
    QListView::mouseMoveEvent(event);
    const QModelIndex current = currentIndex();
    if ((event->buttons() & Qt::LeftButton) && current.isValid() && current != m_lastShown) {
        ListItemClicked(current);
    }
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton) {
        ListItemDoubleClicked(index);
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ListItemDoubleClicked(currentIndex());
        return;
    }
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    const QModelIndex current = currentIndex();
    if (current.isValid() && current != before) {
        ListItemClicked(current);
    }
}

void ListView::ListContextMenu(const QPoint& point)
{
    const QModelIndex index = indexAt(point);
    QMenu menu(this);
    QAction* import = menu.addAction(tr("Import..."));
    connect(import, &QAction::triggered, this, &ListView::ImportForegroundImage);
    if (index.isValid()) {
        ListItemClicked(index);
        menu.addSeparator();
        connect(menu.addAction(tr("Toggle Unique Status")), &QAction::triggered, this,
            &ListView::MakeImageUnique);
        menu.addSeparator();
        connect(menu.addAction(tr("Remove")), &QAction::triggered, this,
            &ListView::RemoveForegroundImage);
        connect(menu.addAction(tr("Remove All")), &QAction::triggered, this,
            &ListView::RemoveAllForegroundImages);
    } else if (model()->rowCount() > 0) {
        menu.addSeparator();
        connect(menu.addAction(tr("Remove All")), &QAction::triggered, this,
            &ListView::RemoveAllForegroundImages);
    }
    menu.exec(viewport()->mapToGlobal(point));
}

// --- Missing files -------------------------------------------------------------------------

bool ListView::CheckOfflineImage(int row)
{
    const QString path = App().BatchPathOfRow(row);
    if (CanRead(path) && !App().IsBatchRowOffline(row)) {
        return false;
    }
    const int answer = Dialogs().Choose(DialogProvider::Kind::Warning, this, QString(),
        tr("This image cannot be found in its original location. Would you like to relocate "
           "it?"),
        { tr("Find"), tr("Remove"), tr("Cancel") }, 0, 2);
    if (answer == 0) {
        RelinkRow(row);
    } else if (answer == 1) {
        RemoveOfflineRow(row);
    } else {
        LeaveOffline(row);
    }
    return true;
}

bool ListView::RelinkRow(int row)
{
    const QString oldPath = App().BatchPathOfRow(row);
    const QString chosen
        = Dialogs().OpenFileName(this, tr("Locate offline image"), oldPath, import::ImageFilter());
    if (chosen.isEmpty() || !import::ProjectBatch().Find(oldPath)) {
        return false;
    }
    const QFileInfo file(chosen);
    const QString newPath = file.absoluteFilePath();
    const auto image = import::ProjectBatch().Get(oldPath);
    // Two rows of one file would export it twice and share one entry in the project.
    if (newPath != oldPath && import::ProjectBatch().Find(newPath)) {
        Warn(this,
            tr("The following image could not be loaded because it already exists\n") + newPath);
        return false;
    }
    if (!CanRead(newPath)) {
        Warn(this,
            tr("The following file could not be loaded because it isn't a compatible image "
               "file\n")
                + newPath);
        return false;
    }
    QString name = image->Filename();
    if (file.completeBaseName() != QFileInfo(oldPath).completeBaseName()) {
        const auto answer = Ask(this,
            tr("This file does not match the original, are you sure you wish to relink it?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            return false;
        }
        name = import::MakeUniqueName(file.completeBaseName());
    }
    if (App().Document().RelinkImage(oldPath, newPath, name) != app::MT_OK) {
        return false;
    }
    App().SetBatchRow(row, name, newPath);
    App().SetBatchRowBatched(row, image->IsBatched());
    import::MarkViewed(row, *image);
    import::MakeThumbnail(newPath, *image, this);
    selectionModel()->setCurrentIndex(
        App().BatchIndexOfRow(row), QItemSelectionModel::ClearAndSelect);
    if (App().SetForegroundLayerImage(newPath, image->IsUnique())) {
        import::FollowForegroundSize();
    }
    emit UpdateThumbnail(image->ThumbnailFilename(), ForegroundLayer);
    emit UpdateUniqueButton(image->IsUnique(), true);
    App().BatchModel()->sort(Application::ColumnName, Qt::AscendingOrder);
    m_lastShown = selectionModel()->currentIndex();
    return true;
}

void ListView::RemoveOfflineRow(int row)
{
    const auto answer = Ask(this, tr("Are you sure you wish to remove the selected image?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
        return;
    }
    const QString path = App().BatchPathOfRow(row);
    App().Document().RemoveImage(path);
    App().RemoveBatchRow(row);
    if (App().BatchModel()->rowCount() == 0) {
        emit UpdateThumbnail(QString(), ForegroundLayer);
        App().InvalidateStage(ForegroundLayer, app::Stage::Key, DownsampleQuarter);
        App().RefreshLayer(ForegroundLayer, app::Stage::Key, DownsampleFull);
    }
}

void ListView::LeaveOffline(int row)
{
    import::MarkOffline(row);
    emit AllowUseButton(false);
    const QModelIndex current = selectionModel()->currentIndex();
    const int currentRow = App().BatchRowOfIndex(current);
    if (currentRow < 0 || App().BatchPathOfRow(currentRow).isEmpty()
        || App().IsBatchRowOffline(currentRow)) {
        selectionModel()->setCurrentIndex(
            App().BatchIndexOfRow(row), QItemSelectionModel::ClearAndSelect);
        emit UpdateThumbnail(
            QStringLiteral(":/DragDropWindow/OfflinePreview.png"), ForegroundLayer);
        if (App().GetRenderEngine().IsLayerSet(ForegroundLayer)) {
            App().RemoveLayerImage(ForegroundLayer);
        }
        m_lastShown = selectionModel()->currentIndex();
    }
}

} // namespace mtra::ui
