// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ProjectTypes.h>

#include <QList>
#include <QModelIndex>
#include <QStringList>
#include <QWidget>

class QMimeData;
class QPushButton;

namespace mtra::ui {

class BodyWidget;
class DragDropWindow;
class ListView;
class ProgressReporter;
class TitleWidget;

/// The "Foreground" group of the import page: the batch of photos. Files arrive through the
/// import dialog, a drop or a folder; each gets a unique display name, a row of the batch
/// model and an entry in the project's batch. Rows are previewed and shown on the canvas,
/// made unique, relinked when their file went missing and removed. `UpdateFromProject`
/// rebuilds the rows from a newly opened project. Owned by the import section; GUI thread
/// only. Imports process events between files, inside their window-modal progress window.
class BatchImport : public QWidget
{
    Q_OBJECT
public:
    /// One error window of the last import: its sentence and its files.
    struct Report {
        QString text;
        QStringList paths;
    };

    explicit BatchImport(QWidget* parent = nullptr);

    TitleWidget* Title() const { return m_title; }
    ListView* List() const { return m_list; }
    DragDropWindow* Preview() const { return m_window; }
    QPushButton* ImportButton() const { return m_importButton; }
    QPushButton* RemoveButton() const { return m_removeButton; }
    /// The error windows the last import showed, in order.
    const QList<Report>& LastReports() const { return m_reports; }

    /// Imports `paths` (files and folders, absolute or not) as a drop does.
    void ImportPaths(const QStringList& paths, const QString& title);
    /// Rebuilds the rows from the project (see the import section).
    void UpdateFromProject();

signals:
    void UpdateThumbnail(QString path, mtra::app::LayerID layer);
    void BatchListClicked(const QModelIndex& index, bool show);
    void ForegroundIsCollapsed(bool collapsed);
    void UpdateUniqueButton(bool unique, bool shown);

public slots:
    void UpdateBatchList(const QMimeData* mime);
    void SetEnabled(int state);
    void SetCollapsed(bool shown);
    void MakeImageUnique();
    void MoveCurrentSelection(int step, bool show);
    void ImportForegroundImage();
    void RemoveForegroundImage();
    void RemoveAllForegroundImages();
    void RelinkImage();

private:
    /// Imports a file; false when the user aborted.
    bool ImportFile(const QString& path, ProgressReporter& progress, int& counter);
    void RunImport(const QStringList& paths, const QString& title);
    void ReportImportErrors();
    void ShowReport(const QString& text, const QStringList& paths);
    void ApplyEnabled(bool enabled);
    void ApplyCollapsed(bool shown);
    /// The batch became empty: canvas foreground, preview and buttons reset.
    void BatchEmptied();
    void RefreshPreview();

    TitleWidget* m_title;
    BodyWidget* m_body;
    QPushButton* m_importButton;
    QPushButton* m_removeButton;
    DragDropWindow* m_window;
    ListView* m_list;

    int m_sizeCheck = -1;
    QString m_lastImportPath;
    QStringList m_duplicateFiles;
    QStringList m_incompatibleFiles;
    QList<Report> m_reports;
};

} // namespace mtra::ui
