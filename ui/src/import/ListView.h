// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ProjectTypes.h>

#include <QListView>
#include <QPersistentModelIndex>

namespace mtra::ui {

/// A list of the batch ("ListView"): the application's batch model and selection model, one
/// row at a time, no editing, per-pixel scrolling. A press or a key previews a row (its
/// thumbnail, the "View" offer); a double click, Return or Enter shows it on the canvas. A
/// row whose file is missing asks to find, remove or leave it (`CheckOfflineImage`). Views
/// that show part of the batch hide the other rows (`setRowHidden`). Owned by its Qt parent;
/// GUI thread only.
class ListView : public QListView
{
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);

    /// The row last pressed with the mouse and the row last shown in the preview (invalid
    /// before the first).
    QModelIndex LastPressedIndex() const { return m_lastPressed; }
    QModelIndex LastShownIndex() const { return m_lastShown; }

    /// For a row whose file cannot be read or that is marked offline, asks the user to find
    /// the file, remove the row or leave it offline, and does it; true when the row was
    /// missing (whatever the answer), false for a row that can be read.
    bool CheckOfflineImage(int row);

signals:
    /// The preview is to show the picture at `path` (a thumbnail; empty for none).
    void UpdateThumbnail(QString path, mtra::app::LayerID layer);
    /// `unique`: the row's image has its own settings; `shown`: it is the canvas image.
    void UpdateUniqueButton(bool unique, bool shown);
    /// The preview may offer its "View" button.
    void AllowUseButton(bool allowed);
    void ImportForegroundImage();
    void MakeImageUnique();
    void RemoveForegroundImage();
    void RemoveAllForegroundImages();

public slots:
    /// Previews the row (`show` false) or makes it the canvas image (`show` true).
    void ListItemClicked(const QModelIndex& index, bool show);
    void ListItemClicked(const QModelIndex& index) { ListItemClicked(index, false); }
    /// Shows the row on the canvas unless it is the canvas image already.
    void ListItemDoubleClicked(const QModelIndex& index);
    void ListContextMenu(const QPoint& point);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// Finds the offline row's file anew (the Find answer); true when the row was relinked.
    bool RelinkRow(int row);
    void RemoveOfflineRow(int row);
    void LeaveOffline(int row);
    /// Shows the row's image on the canvas: viewed mark, layer, canvas size.
    bool ShowOnCanvas(int row, const QString& path);
    bool IsCanvasImage(const QModelIndex& index) const;

    QPersistentModelIndex m_lastPressed;
    QPersistentModelIndex m_lastShown;
};

} // namespace mtra::ui
