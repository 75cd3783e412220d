// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QPushButton>

namespace mtra::ui {

/// The toolbox's ordinary push button ("ButtonDefault", 27 pixels high); its look comes from
/// the main style sheet. Owned by its Qt parent; GUI thread only.
class ButtonDefault : public QPushButton
{
    Q_OBJECT
public:
    explicit ButtonDefault(const QString& text, QWidget* parent = nullptr);
    ButtonDefault(const QIcon& icon, const QString& text, QWidget* parent = nullptr);
};

} // namespace mtra::ui
