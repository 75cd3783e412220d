// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ProjectTypes.h>

#include <QFrame>
#include <QImage>

class QMimeData;
class QPushButton;

namespace mtra::ui {

class ButtonMultiClick;

/// The square preview of a layer picture. In single-image mode (background, overlay) it shows
/// the layer's thumbnail; in batch mode (foreground) the chosen row's thumbnail, with buttons
/// to step through the batch, optionally the unique button, and a "View" button while a row
/// is only previewed. While the layer is switched off the picture is dimmed. Files dragged
/// onto it are reported (`DragDropDataAdded`); a press on it reports `MousePressDetected()`
/// (the groups relink an offline image there). Owned by its Qt parent; GUI thread only.
class DragDropWindow : public QFrame
{
    Q_OBJECT
public:
    enum Mode { SingleImageMode = 0, BatchMode = 1 };

    /// `uniqueButton` only counts in batch mode.
    DragDropWindow(Mode mode, bool uniqueButton, QWidget* parent = nullptr);

    Mode WindowMode() const { return m_mode; }
    /// The picture shown (null: nothing is drawn).
    const QImage& Image() const { return m_image; }
    /// False while the layer is switched off.
    bool IsBright() const { return m_bright; }
    /// Null outside batch mode (and for the unique button when not asked for).
    ButtonMultiClick* UpButton() const { return m_upButton; }
    ButtonMultiClick* DownButton() const { return m_downButton; }
    QPushButton* UniqueButton() const { return m_uniqueButton; }
    QPushButton* ViewButton() const { return m_viewButton; }

    /// Shows the drag-and-drop placeholder.
    void ShowPlaceholder();

signals:
    void DragDropDataAdded(const QMimeData* data);
    void DragDropDataAdded();
    /// `step` rows from the chosen one; `show`: on the canvas, not only previewed.
    void NavigateButtonClicked(int step, bool show);
    void MakeImageUnique();
    void SetNewForegroundImage();
    void MousePressDetected();

public slots:
    /// Foreground: the picture at `path` (placeholder for none), bright while the batch is
    /// enabled. Background and overlay: the application's thumbnail of the layer, bright while
    /// the layer image is enabled.
    void UpdateThumbnail(const QString& path, mtra::app::LayerID layer);
    void UpdateUniqueButton(bool unique, bool shown);
    /// Shows "View" while `allowed` and the chosen row is not the canvas image.
    void AllowUseButton(bool allowed);
    /// Makes the chosen row the canvas image and hides "View".
    void UseSelectedImage();
    void UpButtonClicked();
    void DownButtonClicked();
    void UniqueButtonClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SetHighlighted(bool highlighted);

    Mode m_mode;
    QImage m_image;
    bool m_bright = true;
    ButtonMultiClick* m_upButton = nullptr;
    ButtonMultiClick* m_downButton = nullptr;
    QPushButton* m_uniqueButton = nullptr;
    QPushButton* m_viewButton = nullptr;
};

} // namespace mtra::ui
