// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QFrame>

class QPushButton;
class QToolButton;

namespace mtra::ui {

/// The navigation row under the canvas: previous image, "Set Unique", next image. The arrows
/// emit a step of -1 or +1 through the batch (a right click steps the other way); the
/// receiver moves the batch selection. "Set Unique" toggles whether the canvas image has
/// settings of its own and refuses an image that is missing or offline. Stores its height + 4
/// in the application for the canvas geometry. GUI thread only.
class CanvasNavigationWidget : public QFrame
{
    Q_OBJECT
public:
    explicit CanvasNavigationWidget(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return m_upButton; }
    QToolButton* DownButton() const { return m_downButton; }
    QPushButton* UniqueButton() const { return m_uniqueButton; }

signals:
    void SetUnique();
    void NavigateButtonClicked(int step, bool show);
    void UpdateUniqueUI();

public slots:
    /// `unique`: the image has settings of its own; `show`: it is the canvas image (the
    /// button follows the canvas image only).
    void UpdateUniqueButton(bool unique, bool show);
    void UpdateFromProject();
    void UniqueButtonClicked();
    void UpButtonClicked();
    void DownButtonClicked();

private:
    void ShowUnique(bool unique);
    /// The batch row of the canvas image made current; -1 when it has none.
    int SelectCanvasRow() const;

    QToolButton* m_upButton = nullptr;
    QPushButton* m_uniqueButton = nullptr;
    QToolButton* m_downButton = nullptr;
};

} // namespace mtra::ui
