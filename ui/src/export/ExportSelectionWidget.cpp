// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "export/ExportSelectionWidget.h"

#include "Application.h"
#include "Dialogs.h"
#include "WaitCursor.h"
#include "controls/Controls.h"
#include "export/ExportIcons.h"
#include "export/WindowExport.h"
#include "import/DragDropWindow.h"
#include "import/ImportSupport.h"
#include "import/ListView.h"
#include "sections/SectionFrame.h"
#include "toolset/TitleWidget.h"

#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/Project.h>

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <set>

namespace mtra::ui {

namespace {

Application& App()
{
    return *Application::Instance();
}

QPushButton* NewMoveButton(
    const char* objectName, ExportIcon icon, const QString& tip, QWidget* parent)
{
    auto* button = new QPushButton(ExportSectionIcon(icon), QString(), parent);
    button->setObjectName(QLatin1String(objectName));
    button->setFlat(true);
    button->setToolTip(tip);
    return button;
}

/// The rows the user selected, in model order.
std::set<int> SelectedRows()
{
    std::set<int> rows;
    for (const QModelIndex& index : App().BatchSelectionModel()->selectedIndexes()) {
        const int row = App().BatchRowOfIndex(index);
        if (row >= 0) {
            rows.insert(row);
        }
    }
    return rows;
}

} // namespace

ExportSelectionWidget::ExportSelectionWidget(QWidget* parent)
    : QWidget(parent)
    , m_title(new TitleWidget(tr("Batch Selection"), true, false, false, true, true, this))
    , m_body(new BodyWidget(this))
    , m_preview(new DragDropWindow(DragDropWindow::BatchMode, true, m_body))
    , m_available(new ListView(m_body))
    , m_export(new ListView(m_body))
    , m_exportButton(new QPushButton(ExportSectionIcon(ExportIcon::Export), tr("Export"), m_body))
{
    StackTitleOverBody(this, m_title, m_body);

    auto* column = new QVBoxLayout(m_body);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(10);
    column->addWidget(m_preview);
    column->addWidget(new ToolboxLabel(tr("Available Images"), m_body));
    m_available->setFixedHeight(150);
    column->addWidget(m_available);

    auto* moves = new QHBoxLayout;
    moves->addStretch(1);
    QPushButton* addAll = NewMoveButton(
        "ExportAddAllButton", ExportIcon::AddAll, tr("Add all images to the export list"), m_body);
    QPushButton* add = NewMoveButton("ExportAddButton", ExportIcon::Add,
        tr("Add the selected image to the export list"), m_body);
    QPushButton* remove = NewMoveButton("ExportRemoveButton", ExportIcon::Remove,
        tr("Remove the selected image from the export list"), m_body);
    QPushButton* removeAll = NewMoveButton("ExportRemoveAllButton", ExportIcon::RemoveAll,
        tr("Remove all images from the export list"), m_body);
    for (QPushButton* button : { addAll, add, remove, removeAll }) {
        moves->addWidget(button);
    }
    moves->addStretch(1);
    column->addLayout(moves);
    connect(addAll, &QPushButton::clicked, this, &ExportSelectionWidget::AddAllImagesToBatch);
    connect(add, &QPushButton::clicked, this, &ExportSelectionWidget::AddImagesToBatch);
    connect(remove, &QPushButton::clicked, this, &ExportSelectionWidget::RemoveImagesFromBatch);
    connect(
        removeAll, &QPushButton::clicked, this, &ExportSelectionWidget::RemoveAllImagesFromBatch);

    column->addWidget(new ToolboxLabel(tr("Export List"), m_body));
    m_export->setFixedHeight(150);
    column->addWidget(m_export);
    m_exportButton->setStyleSheet(QStringLiteral("text-align: center;"));
    column->addWidget(m_exportButton);
    connect(m_exportButton, &QPushButton::clicked, this, &ExportSelectionWidget::ExportBatchImages);

    connect(m_title, &TitleWidget::CollapseWidgetBody, this, &ExportSelectionWidget::SetCollapsed);
    connect(m_preview, &DragDropWindow::NavigateButtonClicked, this,
        &ExportSelectionWidget::MoveCurrentSelection);
    connect(
        m_preview, &DragDropWindow::MakeImageUnique, this, &ExportSelectionWidget::MakeImageUnique);
    connect(this, &ExportSelectionWidget::UpdateUniqueButton, m_preview,
        &DragDropWindow::UpdateUniqueButton);
    connect(
        this, &ExportSelectionWidget::UpdateThumbnail, m_preview, &DragDropWindow::UpdateThumbnail);
    connect(this, &ExportSelectionWidget::BatchListClicked, this,
        &ExportSelectionWidget::ListRowClicked);
    for (ListView* list : { m_available, m_export }) {
        connect(list, &ListView::UpdateThumbnail, m_preview, &DragDropWindow::UpdateThumbnail);
        connect(list, &ListView::AllowUseButton, m_preview, &DragDropWindow::AllowUseButton);
        connect(
            list, &ListView::UpdateUniqueButton, this, &ExportSelectionWidget::UpdateUniqueButton);
    }

    // Rows come and go with imports, removals and opened projects; each new row starts in the
    // list its flag says.
    QStandardItemModel* model = App().BatchModel();
    connect(model, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int last) {
            for (int row = first; row <= last; ++row) {
                ShowRowIn(row, App().IsBatchRowBatched(row));
            }
        });
    // A sort (after each imported photo) or a reset only moves rows: no preview to reload.
    connect(model, &QAbstractItemModel::layoutChanged, this,
        &ExportSelectionWidget::ShowRowsInTheirLists);
    connect(
        model, &QAbstractItemModel::modelReset, this, &ExportSelectionWidget::ShowRowsInTheirLists);
    connect(model, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            if (topLeft.column() <= Application::ColumnBatched
                && bottomRight.column() >= Application::ColumnBatched) {
                for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
                    ShowRowIn(row, App().IsBatchRowBatched(row));
                }
            }
        });
    UpdateFromProject();
}

void ExportSelectionWidget::ShowRowIn(int row, bool batched)
{
    m_available->setRowHidden(row, batched);
    m_export->setRowHidden(row, !batched);
}

void ExportSelectionWidget::SetBatched(int row, bool batched)
{
    const QString path = App().BatchPathOfRow(row);
    if (App().Document().SetImageBatched(path, batched) != app::MT_OK) {
        return;
    }
    App().SetBatchRowBatched(row, batched);
    ShowRowIn(row, batched);
}

void ExportSelectionWidget::AddToBatch(const std::set<int>& rows)
{
    bool skipped = false;
    for (int row : rows) {
        if (App().IsBatchRowBatched(row)) {
            continue;
        }
        if (App().IsBatchRowOffline(row)) {
            skipped = true;
            continue;
        }
        SetBatched(row, true);
    }
    if (skipped) {
        Warn(this, tr("Some images were unable to be added because they are unlinked."));
    }
}

void ExportSelectionWidget::AddAllImagesToBatch()
{
    std::set<int> rows;
    for (int row = 0; row < App().BatchModel()->rowCount(); ++row) {
        rows.insert(row);
    }
    AddToBatch(rows);
}

void ExportSelectionWidget::AddImagesToBatch()
{
    AddToBatch(SelectedRows());
}

void ExportSelectionWidget::RemoveImagesFromBatch()
{
    for (int row : SelectedRows()) {
        if (App().IsBatchRowBatched(row)) {
            SetBatched(row, false);
        }
    }
}

void ExportSelectionWidget::RemoveAllImagesFromBatch()
{
    for (int row = 0; row < App().BatchModel()->rowCount(); ++row) {
        if (App().IsBatchRowBatched(row)) {
            SetBatched(row, false);
        }
    }
}

void ExportSelectionWidget::ListRowClicked(const QModelIndex& index, bool show)
{
    // The row is handled by the list that shows it, so it is shown once.
    const int row = App().BatchRowOfIndex(index);
    if (row < 0) {
        return;
    }
    (App().IsBatchRowBatched(row) ? m_export : m_available)->ListItemClicked(index, show);
}

void ExportSelectionWidget::MoveCurrentSelection(int step, bool show)
{
    const WaitCursor wait;
    const QModelIndex current = App().BatchSelectionModel()->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const int row = App().BatchRowOfIndex(current) + step;
    if (row < 0 || row >= App().BatchModel()->rowCount()) {
        return;
    }
    emit BatchListClicked(App().BatchIndexOfRow(row), show);
}

void ExportSelectionWidget::MakeImageUnique()
{
    const QString path = App().CurrentForegroundPath();
    const auto& batch = App().GetProject()->GetForegroundImageList();
    const int row = App().BatchRowOfPath(path);
    if (path.isEmpty() || row < 0 || App().IsBatchRowOffline(row) || !batch.Find(path)) {
        return;
    }
    const WaitCursor wait;
    const auto image = batch.Get(path);
    const bool unique = !image->IsUnique();
    if (App().SetCurrentForegroundUnique(unique)) {
        App().SetBatchThumbnail(row, import::IconFor(*image));
        emit UpdateUniqueButton(unique, true);
    }
}

void ExportSelectionWidget::ExportBatchImages()
{
    ui::ExportBatchImages(this);
}

void ExportSelectionWidget::SetCollapsed(bool expanded)
{
    m_body->setVisible(expanded);
    app::ExportSettings settings = App().GetProject()->GetExportSettings();
    settings.SetSelectionCollapsed(!expanded);
    App().Document().SetExportSettings(settings);
}

void ExportSelectionWidget::ShowRowsInTheirLists()
{
    for (int row = 0; row < App().BatchModel()->rowCount(); ++row) {
        ShowRowIn(row, App().IsBatchRowBatched(row));
    }
}

void ExportSelectionWidget::UpdateFromProject()
{
    ShowRowsInTheirLists();
    const bool expanded = !App().GetProject()->GetExportSettings().IsSelectionCollapsed();
    m_body->setVisible(expanded);
    m_title->ShowExpanded(expanded);
    // The preview shows the chosen row, or the placeholder for an empty batch.
    const QModelIndex current = App().BatchSelectionModel()->currentIndex();
    const int row = App().BatchRowOfIndex(current);
    const auto& batch = App().GetProject()->GetForegroundImageList();
    const QString path = App().BatchPathOfRow(row);
    if (row >= 0 && batch.Find(path)) {
        const auto image = batch.Get(path);
        emit UpdateThumbnail(image->ThumbnailFilename(), app::ForegroundLayer);
        emit UpdateUniqueButton(image->IsUnique(), path == App().CurrentForegroundPath());
    } else {
        emit UpdateThumbnail(QString(), app::ForegroundLayer);
        emit UpdateUniqueButton(false, false);
    }
}

} // namespace mtra::ui
