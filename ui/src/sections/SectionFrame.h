// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QFrame>

class QGridLayout;
class QPushButton;
class QScrollArea;

namespace mtra::ui {

class BodyWidget;
class TitleWidget;

/// The scrolled frame every editing section shows its groups in: a "ToolboxFrame" inside a
/// "ScrollArea" (vertical bar always on, no frame), placed alone in `owner`'s new vertical
/// layout without margins. Owned by `owner`; GUI thread only.
QFrame* AddScrolledFrame(QWidget* owner);

/// A reset button ("Reset" with the reset icon).
QPushButton* NewResetButton(QWidget* parent);

/// A fixed group: a title that neither collapses nor switches off, over a body.
struct Group {
    TitleWidget* title;
    BodyWidget* body;
};
Group NewGroup(const QString& title, QWidget* parent);

/// A group's title over its body, alone in `owner`'s new vertical layout without margins.
void StackTitleOverBody(QWidget* owner, TitleWidget* title, BodyWidget* body);

/// Removes every layout item of `grid` and hides its widgets, deleted later.
void ClearGrid(QGridLayout* grid);

} // namespace mtra::ui
