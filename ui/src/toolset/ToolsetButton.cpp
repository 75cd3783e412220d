// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "toolset/ToolsetButton.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace mtra::ui {

namespace {

QFont BoldFont()
{
    QFont font(QStringLiteral("Tahoma"), 8, QFont::Bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

ToolsetButton::ToolsetButton(const QIcon& icon, const QString& text, QWidget* parent)
    : QPushButton(icon, text, parent)
    , m_text(text)
{
    setObjectName(QStringLiteral("ToolsetButton"));
    setIconSize(QSize(48, 48));
    setFixedHeight(48);
    setFlat(true);
    setFont(BoldFont());
}

void ToolsetButton::MinimiseToolset(bool minimise)
{
    setText(minimise ? QString() : m_text);
}

void ToolsetButton::FlipToolset(bool flip)
{
    setLayoutDirection(flip ? Qt::LeftToRight : Qt::RightToLeft);
}

void ToolsetButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    emit ButtonHoverEnter();
    QPushButton::enterEvent(event);
}

void ToolsetButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    emit ButtonHoverLeave();
    QPushButton::leaveEvent(event);
}

void ToolsetButton::paintEvent(QPaintEvent* event)
{
    if (isDown() || isChecked() || m_hover) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor veil(255, 255, 255, 45);
        if (isChecked() || !m_hover) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(veil);
        } else {
            painter.setPen(QPen(veil, 3));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawRect(rect());
    }
    QPushButton::paintEvent(event);
}

ToolsetTooltip::ToolsetTooltip(const QString& text, QWidget* parent)
    : QWidget(parent)
    , m_label(new QLabel(text, this))
{
    m_label->setFont(BoldFont());
    m_label->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 0, 10, 0);
    layout->addWidget(m_label);
    setFixedHeight(48);
}

bool ToolsetTooltip::IsShowingTip() const
{
    return !m_label->isHidden();
}

QString ToolsetTooltip::Text() const
{
    return m_label->text();
}

void ToolsetTooltip::ShowTooltip()
{
    if (m_tooltipMode) {
        m_label->show();
        update();
    }
}

void ToolsetTooltip::HideTooltip()
{
    m_label->hide();
    update();
}

void ToolsetTooltip::TooltipMode(bool on)
{
    m_tooltipMode = on;
    if (!on) {
        HideTooltip();
    }
}

void ToolsetTooltip::paintEvent(QPaintEvent* /*event*/)
{
    if (m_label->isHidden()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(255, 255, 255, 45));
    painter.setBrush(QColor(0, 0, 0, 128));
    painter.drawRoundedRect(QRectF(rect().x() + 0.5, rect().y() + 11.5, width() - 1, 25), 12, 12);
}

} // namespace mtra::ui
