// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "import/BatchImport.h"

#include "Application.h"
#include "Dialogs.h"
#include "WaitCursor.h"
#include "import/DragDropWindow.h"
#include "import/ImportErrorDialog.h"
#include "import/ImportSupport.h"
#include "import/ListView.h"
#include "sections/SectionFrame.h"
#include "toolset/TitleWidget.h"

#include <app/ExportFormats.h>
#include <app/ForegroundImageList.h>
#include <app/ImportNaming.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace mtra::ui {

using app::BackgroundLayer;
using app::ForegroundLayer;
using app::OverlayLayer;
using app::Stage;
using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

Application& App()
{
    return *Application::Instance();
}

/// Folders become their files (sub-folders first, each level by name); files stay. What a
/// folder holds without an image suffix goes to `leftOut`.
QStringList ExpandPaths(const QStringList& paths, QStringList& leftOut)
{
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink()) {
            const app::FolderContents contents = app::WalkImageFolder(info.absoluteFilePath());
            files += contents.images;
            leftOut += contents.leftOut;
        } else {
            files.append(info.absoluteFilePath());
        }
    }
    return files;
}

} // namespace

BatchImport::BatchImport(QWidget* parent)
    : QWidget(parent)
    , m_title(new TitleWidget(tr("Foreground"), true, false, true, true, true, this))
    , m_body(new BodyWidget(this))
    , m_importButton(new QPushButton(
          QIcon(QStringLiteral(":/Icons/Plus.png")), tr("Import", "Add an image"), m_body))
    , m_removeButton(new QPushButton(
          QIcon(QStringLiteral(":/Icons/Minus.png")), tr("Remove", "Delete an image"), m_body))
    , m_window(new DragDropWindow(DragDropWindow::BatchMode, true, m_body))
    , m_list(new ListView(m_body))
{
    StackTitleOverBody(this, m_title, m_body);

    auto* body = new QVBoxLayout(m_body);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_importButton);
    buttons->addWidget(m_removeButton);
    body->addLayout(buttons);
    body->addWidget(m_window);
    m_list->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
    m_list->setMinimumHeight(55);
    body->addWidget(m_list);

    connect(m_window, qOverload<const QMimeData*>(&DragDropWindow::DragDropDataAdded), this,
        &BatchImport::UpdateBatchList);
    connect(
        m_window, &DragDropWindow::NavigateButtonClicked, this, &BatchImport::MoveCurrentSelection);
    connect(m_window, &DragDropWindow::MakeImageUnique, this, &BatchImport::MakeImageUnique);
    connect(m_window, &DragDropWindow::MousePressDetected, this, &BatchImport::RelinkImage);
    // "View" made the previewed photo the canvas image: the canvas's unique button follows.
    connect(m_window, &DragDropWindow::SetNewForegroundImage, this, [this] {
        const QString path = App().CurrentForegroundPath();
        emit UpdateUniqueButton(
            import::ProjectBatch().Find(path) && import::ProjectBatch().Get(path)->IsUnique(),
            true);
    });
    connect(this, &BatchImport::UpdateUniqueButton, m_window, &DragDropWindow::UpdateUniqueButton);
    connect(this, &BatchImport::UpdateThumbnail, m_window, &DragDropWindow::UpdateThumbnail);

    connect(m_list, &ListView::UpdateThumbnail, m_window, &DragDropWindow::UpdateThumbnail);
    connect(this, &BatchImport::BatchListClicked, m_list,
        qOverload<const QModelIndex&, bool>(&ListView::ListItemClicked));
    connect(m_list, &ListView::UpdateUniqueButton, this, &BatchImport::UpdateUniqueButton);
    connect(m_list, &ListView::AllowUseButton, m_window, &DragDropWindow::AllowUseButton);
    connect(m_list, &ListView::ImportForegroundImage, this, &BatchImport::ImportForegroundImage);
    connect(m_list, &ListView::MakeImageUnique, this, &BatchImport::MakeImageUnique);
    connect(m_list, &ListView::RemoveForegroundImage, this, &BatchImport::RemoveForegroundImage);
    connect(m_list, &ListView::RemoveAllForegroundImages, this,
        &BatchImport::RemoveAllForegroundImages);
    connect(m_title, &TitleWidget::CollapseWidgetBody, this, &BatchImport::SetCollapsed);
    connect(m_title, &TitleWidget::EnableWidgetBody, this, &BatchImport::SetEnabled);
    connect(m_importButton, &QPushButton::clicked, this, &BatchImport::ImportForegroundImage);
    connect(m_removeButton, &QPushButton::clicked, this, &BatchImport::RemoveForegroundImage);
}

// --- Importing -----------------------------------------------------------------------------

void BatchImport::ImportForegroundImage()
{
    const QStringList files = Dialogs().OpenFileNames(
        this, tr("Import foreground images"), m_lastImportPath, import::ImageFilter());
    if (files.isEmpty()) {
        return;
    }
    m_lastImportPath = files.front();
    RunImport(files, tr("Import Progress"));
}

void BatchImport::UpdateBatchList(const QMimeData* mime)
{
    if (mime == nullptr || !mime->hasUrls()) {
        return;
    }
    QStringList paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    if (!paths.isEmpty()) {
        RunImport(paths, tr("Progress"));
    }
}

void BatchImport::ImportPaths(const QStringList& paths, const QString& title)
{
    RunImport(paths, title);
}

void BatchImport::RunImport(const QStringList& paths, const QString& title)
{
    WaitCursor wait;
    m_duplicateFiles.clear();
    m_incompatibleFiles.clear();
    m_reports.clear();
    const QStringList files = ExpandPaths(paths, m_incompatibleFiles);
    {
        const auto progress = Dialogs().Progress(
            this, title, tr("Importing files..."), tr("Abort"), static_cast<int>(files.size()));
        int counter = 0;
        for (const QString& file : files) {
            if (!ImportFile(file, *progress, counter)) {
                break;
            }
        }
        progress->SetValue(static_cast<int>(files.size()));
    }
    ReportImportErrors();
}

bool BatchImport::ImportFile(const QString& path, ProgressReporter& progress, int& counter)
{
    progress.SetValue(++counter);
    // The one place the import lets the window breathe: inside its window-modal progress.
    QCoreApplication::processEvents();
    if (progress.WasCanceled()) {
        return false;
    }
    app::ForegroundImageList& batch = import::ProjectBatch();
    if (batch.Find(path)) {
        m_duplicateFiles.append(path);
        return true;
    }
    // Anything but a regular file (a pipe would block the reader) is no image of ours.
    if (!app::PhotoFileProblem(path).isEmpty()
        || app::CheckImportPath(batch, path) != app::ImportCheck::Accepted) {
        m_incompatibleFiles.append(path);
        return true;
    }

    const int row = App().BatchModel()->rowCount();
    QSize size;
    if (app::PhotoSize(path, size) == app::MT_OK) {
        if (row == 0) {
            App().SetFirstImageSize(size);
        } else if (m_sizeCheck == -1 && App().FirstImageSize().isValid()
            && size != App().FirstImageSize()) {
            m_sizeCheck = 1;
        }
    }
    const QString name = import::MakeUniqueName(QFileInfo(path).completeBaseName());
    if (App().Document().ImportImage(path, name) != app::MT_OK) {
        m_incompatibleFiles.append(path);
        return true;
    }
    App().InsertBatchRow(row, name, path);
    App().SetBatchThumbnail(row, import::Icon(import::RowIcon::Unviewed));

    if (!m_list->currentIndex().isValid()) {
        emit BatchListClicked(App().BatchIndexOfRow(row), true);
        // The header's size stands in when the photo itself did not load, so that a photo too
        // large for a canvas is refused here and not silently kept.
        const QSize follow = App().ForegroundSize().isValid() ? App().ForegroundSize() : size;
        import::ResizeCanvasTo(app::DimensionAsForeground, follow);
    }
    App().BatchModel()->sort(Application::ColumnName, Qt::AscendingOrder);
    return true;
}

void BatchImport::ShowReport(const QString& text, const QStringList& paths)
{
    m_reports.append({ text, paths });
    ImportErrorDialog dialog(text, paths, this);
    Dialogs().Exec(dialog);
}

void BatchImport::ReportImportErrors()
{
    if (!m_duplicateFiles.isEmpty()) {
        ShowReport(m_duplicateFiles.size() == 1
                ? tr("The following image could not be loaded because it already exists\n")
                : tr("The following images could not be loaded because they already exist\n"),
            m_duplicateFiles);
    }
    if (!m_incompatibleFiles.isEmpty()) {
        ShowReport(m_incompatibleFiles.size() == 1
                ? tr("The following file could not be loaded because it isn't a compatible "
                     "image file\n")
                : tr("The following files could not be loaded because they aren't compatible "
                     "image files\n"),
            m_incompatibleFiles);
    }
    if (m_sizeCheck == 1) {
        Warn(this,
            tr("One or more images you are trying to import has different dimensions to the "
               "others.\n\nManual adjustment may be required."));
        m_sizeCheck = 0;
    }
}

// --- Rows ----------------------------------------------------------------------------------

void BatchImport::MoveCurrentSelection(int step, bool show)
{
    WaitCursor wait;
    const int target = m_list->currentIndex().row() + step;
    if (!m_list->currentIndex().isValid() || target < 0 || target >= App().BatchModel()->rowCount()
        || App().BatchPathOfRow(target).isEmpty()) {
        return;
    }
    emit BatchListClicked(App().BatchIndexOfRow(target), show);
}

void BatchImport::RelinkImage()
{
    const QModelIndex current = m_list->currentIndex();
    if (current.isValid() && App().IsBatchRowOffline(current.row())) {
        emit BatchListClicked(current, true);
    }
}

void BatchImport::MakeImageUnique()
{
    WaitCursor wait;
    const int row = m_list->currentIndex().row();
    const QString path = App().BatchPathOfRow(row);
    if (row < 0 || !import::ProjectBatch().Find(path)) {
        return;
    }
    const bool isCanvas = path == App().CurrentForegroundPath();
    const auto image = import::ProjectBatch().Get(path);
    if (!image->IsUnique()) {
        // The picture does not change: nothing renders now, the next photo renders everything.
        App().SetFullRefreshNext(true);
        emit UpdateUniqueButton(true, isCanvas);
        App().Document().SetImageUnique(path, true);
        App().SetBatchThumbnail(row, import::Icon(import::RowIcon::Unique));
        return;
    }
    emit UpdateUniqueButton(false, isCanvas);
    App().Document().SetImageUnique(path, false);
    App().SetBatchThumbnail(row, import::IconFor(*image));
    App().SetFullRefreshNext(false);
    App().InvalidateStage(BackgroundLayer, Stage::Filter, DownsampleQuarter);
    App().InvalidateStage(ForegroundLayer, Stage::Key, DownsampleQuarter);
    App().InvalidateStage(OverlayLayer, Stage::Transform, DownsampleQuarter);
    App().RefreshAllLayers();
}

void BatchImport::RemoveForegroundImage()
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid()) {
        return;
    }
    if (Ask(this, tr("Are you sure you wish to remove the selected image?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        != QMessageBox::Yes) {
        return;
    }
    const int row = current.row();
    App().Document().RemoveImage(App().BatchPathOfRow(row));
    App().RemoveBatchRow(row);
    for (int empty = App().BatchModel()->rowCount() - 1; empty >= 0; --empty) {
        if (App().BatchNameOfRow(empty).isEmpty()) {
            App().RemoveBatchRow(empty);
        }
    }
    if (App().BatchModel()->rowCount() == 0) {
        BatchEmptied();
        return;
    }
    const QModelIndex next = m_list->currentIndex();
    if (next.isValid()) {
        emit BatchListClicked(next, true);
    }
}

void BatchImport::RemoveAllForegroundImages()
{
    if (App().BatchModel()->rowCount() == 0
        || Ask(this, tr("Are you sure you wish to remove all imported images?"),
               QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes)
            != QMessageBox::Yes) {
        return;
    }
    QStringList paths;
    for (auto it = import::ProjectBatch().Begin(); it != import::ProjectBatch().End(); ++it) {
        paths.append(it->first);
    }
    for (const QString& path : paths) {
        App().Document().RemoveImage(path);
    }
    App().ClearBatchList();
    BatchEmptied();
}

void BatchImport::BatchEmptied()
{
    emit UpdateUniqueButton(false, false);
    m_window->AllowUseButton(false);
    emit UpdateThumbnail(QString(), ForegroundLayer);
    App().GetProject()->SetCurrentForegroundPath(QString());
    App().RemoveLayerImage(ForegroundLayer);
    App().InvalidateStage(BackgroundLayer, Stage::Filter, DownsampleQuarter);
    App().InvalidateStage(ForegroundLayer, Stage::Key, DownsampleQuarter);
    App().InvalidateStage(OverlayLayer, Stage::Transform, DownsampleQuarter);
    App().RefreshAllLayers();
}

// --- Group state ---------------------------------------------------------------------------

void BatchImport::RefreshPreview()
{
    const QModelIndex current = m_list->currentIndex();
    const QString path = App().BatchPathOfIndex(current);
    if (current.isValid() && App().IsBatchRowOffline(current.row())) {
        emit UpdateThumbnail(
            QStringLiteral(":/DragDropWindow/OfflinePreview.png"), ForegroundLayer);
    } else {
        emit UpdateThumbnail(import::ProjectBatch().Find(path)
                ? import::ProjectBatch().Get(path)->ThumbnailFilename()
                : QString(),
            ForegroundLayer);
    }
}

void BatchImport::ApplyEnabled(bool enabled)
{
    import::ProjectBatch().SetEnabled(enabled);
    m_body->setEnabled(enabled);
    m_title->ShowSwitchedOn(enabled);
    RefreshPreview();
}

void BatchImport::SetEnabled(int state)
{
    const bool enabled = state == Qt::Checked;
    const bool changed = import::ProjectBatch().IsEnabled() != enabled;
    ApplyEnabled(enabled);
    if (changed) {
        App().MarkProjectModified();
    }
    App().InvalidateStage(ForegroundLayer, Stage::Key, DownsampleQuarter);
    App().RefreshLayer(ForegroundLayer, Stage::Key, DownsampleFull);
}

void BatchImport::ApplyCollapsed(bool shown)
{
    const bool wasShown = !m_body->isHidden();
    m_body->setVisible(shown);
    m_title->ShowExpanded(shown);
    if (wasShown != shown) {
        emit ForegroundIsCollapsed(!shown);
    }
    // The batch stores the title's checked state (true: expanded), as project files hold it.
    import::ProjectBatch().SetCollapsed(shown);
}

void BatchImport::SetCollapsed(bool shown)
{
    const bool changed = import::ProjectBatch().IsCollapsed() != shown;
    ApplyCollapsed(shown);
    if (changed) {
        App().MarkProjectModified();
    }
}

// --- Filling from the project ----------------------------------------------------------------

void BatchImport::UpdateFromProject()
{
    emit UpdateThumbnail(QString(), ForegroundLayer);
    App().ClearBatchList();
    App().BatchSelectionModel()->reset();
    app::ForegroundImageList& batch = import::ProjectBatch();
    // Display names become parts of export file names: one from a project file that is no
    // plain name, or that another photo has already, is replaced by the file's own.
    int row = 0;
    for (auto it = batch.Begin(); it != batch.End(); ++it, ++row) {
        const auto& image = it->second;
        const QString& path = it->first;
        QString name = image->Filename();
        bool clash = false;
        for (int other = 0; other < row; ++other) {
            clash = clash || App().BatchNameOfRow(other) == name;
        }
        if (!app::IsPlainFileName(name) || clash) {
            QString base = QFileInfo(path).completeBaseName();
            if (!app::IsPlainFileName(base)) {
                base = tr("Image", "Name of a photo whose own name cannot be used");
            }
            name = import::MakeUniqueName(base);
            image->SetFilename(name);
        }
        App().InsertBatchRow(row, name, path);
        App().SetBatchRowBatched(row, image->IsBatched());
        if (QFileInfo::exists(path)) {
            App().SetBatchThumbnail(row, import::IconFor(*image));
        } else {
            import::MarkOffline(row);
        }
    }
    App().BatchModel()->sort(Application::ColumnName, Qt::AscendingOrder);

    if (batch.Size() == 0) {
        ApplyEnabled(true);
        ApplyCollapsed(true);
        m_title->Reset();
        m_window->UpdateUniqueButton(false, false);
        m_window->AllowUseButton(false);
        m_window->ShowPlaceholder();
    } else {
        const QString current = App().GetProject()->CurrentForegroundPath();
        const int currentRow = App().BatchRowOfPath(current);
        if (currentRow >= 0 && !App().IsBatchRowOffline(currentRow)) {
            emit BatchListClicked(App().BatchIndexOfRow(currentRow), true);
        }
        ApplyEnabled(batch.IsEnabled());
        ApplyCollapsed(batch.IsCollapsed());
    }
    App().InvalidateStage(ForegroundLayer, Stage::Key, DownsampleFull);
    App().RefreshLayer(ForegroundLayer, Stage::Key, DownsampleFull);
}

} // namespace mtra::ui
