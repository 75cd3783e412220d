// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QPushButton>

namespace mtra::ui {

/// A flat push button that tells which mouse button pressed it. Without repeat a left press
/// emits `LeftButtonClicked()` at once; with repeat the button auto-repeats (first after
/// 500 ms, then every 100 ms) and every click of a left press emits it. A right press emits
/// `RightButtonClicked()`. Owned by its Qt parent; GUI thread only.
class ButtonMultiClick : public QPushButton
{
    Q_OBJECT
public:
    ButtonMultiClick(const QString& objectName, bool repeat, QWidget* parent = nullptr);

signals:
    void LeftButtonClicked();
    void RightButtonClicked();

public slots:
    void EmitRepeatClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_repeat;
    Qt::MouseButton m_button = Qt::NoButton;
};

} // namespace mtra::ui
