// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ProjectTypes.h>

#include <QModelIndex>
#include <QWidget>

#include <set>

class QPushButton;

namespace mtra::ui {

class BodyWidget;
class DragDropWindow;
class ListView;
class TitleWidget;

/// "Batch Selection": which photos of the batch are exported, and the export itself. Two
/// lists over the application's one batch model show each row in exactly one of them:
/// "Available Images" (not on the export list) and "Export List" (`IsBatched`). The four
/// buttons move rows between them, keeping the project's flag and the model's column in step;
/// offline photos are not added. A preview of the chosen row steps through the batch. Owned by
/// the export section; GUI thread only.
class ExportSelectionWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ExportSelectionWidget(QWidget* parent = nullptr);

    ListView* AvailableList() const { return m_available; }
    ListView* ExportList() const { return m_export; }
    DragDropWindow* Preview() const { return m_preview; }
    QPushButton* ExportButton() const { return m_exportButton; }

signals:
    void BatchListClicked(const QModelIndex& index, bool show);
    void UpdateUniqueButton(bool unique, bool shown);
    void UpdateThumbnail(const QString& path, mtra::app::LayerID layer);

public slots:
    void AddAllImagesToBatch();
    void AddImagesToBatch();
    void RemoveImagesFromBatch();
    void RemoveAllImagesFromBatch();
    void MoveCurrentSelection(int step, bool show);
    void MakeImageUnique();
    void ExportBatchImages();
    void SetCollapsed(bool expanded);
    /// Shows each row in the list where it belongs and the chosen row in the preview.
    void UpdateFromProject();

private:
    /// Puts the rows that are not on the export list there, offline ones excepted (a warning
    /// says so).
    void AddToBatch(const std::set<int>& rows);
    /// Puts the row on the export list or takes it off, in the project and the model.
    void SetBatched(int row, bool batched);
    void ShowRowIn(int row, bool batched);
    void ShowRowsInTheirLists();
    void ListRowClicked(const QModelIndex& index, bool show);

    TitleWidget* m_title;
    BodyWidget* m_body;
    DragDropWindow* m_preview;
    ListView* m_available;
    ListView* m_export;
    QPushButton* m_exportButton;
};

} // namespace mtra::ui
