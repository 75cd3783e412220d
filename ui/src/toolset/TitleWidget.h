// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QPushButton;

namespace mtra::ui {

/// The title bar of a group in the toolbox ("TitleWidget", 25 pixels high): the title, and as
/// chosen at construction a collapse button, up/down buttons and an enable check box. It only
/// reports; the group it heads shows, hides or enables its body. Owned by its Qt parent; GUI
/// thread only.
class TitleWidget : public QFrame
{
    Q_OBJECT
public:
    TitleWidget(const QString& title, bool collapsible, bool movable, bool switchable,
        bool expanded, bool enabled, QWidget* parent = nullptr);

    QString Title() const;
    bool IsExpanded() const;
    bool IsSwitchedOn() const;
    /// Expanded and switched on again (the collapse button checked, the check box checked).
    void Reset();
    /// Shows a stored state without reporting it (as when a project is opened): the collapse
    /// button and the frame's picture, or the check box.
    void ShowExpanded(bool expanded);
    void ShowSwitchedOn(bool on);

    /// Null when the option was not chosen.
    QPushButton* CollapseButton() const { return m_collapseButton; }
    QPushButton* UpButton() const { return m_upButton; }
    QPushButton* DownButton() const { return m_downButton; }
    QCheckBox* EnableBox() const { return m_enableBox; }

signals:
    /// `expanded`: the body is to be shown.
    void CollapseWidgetBody(bool expanded);
    void MoveUp();
    void MoveDown();
    /// A check-box state: `Qt::Checked` (2) switches the body on, `Qt::Unchecked` (0) off.
    void EnableWidgetBody(int state);

public slots:
    /// The frame's picture for the expanded (true) or collapsed state.
    void SetStyle(bool expanded);

private:
    QLabel* m_label = nullptr;
    QPushButton* m_collapseButton = nullptr;
    QPushButton* m_upButton = nullptr;
    QPushButton* m_downButton = nullptr;
    QCheckBox* m_enableBox = nullptr;
};

/// The body under a `TitleWidget` ("BodyWidget"); its look comes from the main style sheet.
class BodyWidget : public QFrame
{
    Q_OBJECT
public:
    explicit BodyWidget(QWidget* parent = nullptr);

public slots:
    /// Follows a title's check box: enabled exactly for `Qt::Checked`.
    void SetBodyEnabled(int state);
};

} // namespace mtra::ui
