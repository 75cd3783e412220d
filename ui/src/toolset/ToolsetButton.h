// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QPushButton>
#include <QWidget>

class QLabel;

namespace mtra::ui {

/// One large section button of the toolset ("ToolsetButton": 48-pixel icon, bold text). It
/// reports the pointer entering and leaving it, hides its text while the toolset is collapsed
/// and mirrors itself when the toolset is on the left. Owned by the toolset; GUI thread only.
class ToolsetButton : public QPushButton
{
    Q_OBJECT
public:
    ToolsetButton(const QIcon& icon, const QString& text, QWidget* parent = nullptr);

    /// The text given at construction, shown or not.
    const QString& Label() const { return m_text; }
    bool IsHovered() const { return m_hover; }

signals:
    void ButtonHoverEnter();
    void ButtonHoverLeave();

public slots:
    /// True: icon only; false: icon and text.
    void MinimiseToolset(bool minimise);
    /// True: left to right (toolset on the left); false: right to left.
    void FlipToolset(bool flip);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    bool m_hover = false;
};

/// The label beside a toolset button that shows the button's text while the pointer is over
/// the button, only in tooltip mode (the collapsed toolset). Owned by the toolset.
class ToolsetTooltip : public QWidget
{
    Q_OBJECT
public:
    explicit ToolsetTooltip(const QString& text, QWidget* parent = nullptr);

    bool IsShowingTip() const;
    QString Text() const;

public slots:
    void ShowTooltip();
    void HideTooltip();
    void TooltipMode(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_label;
    bool m_tooltipMode = true;
};

} // namespace mtra::ui
