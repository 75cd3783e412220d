// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "toolset/ButtonMultiClick.h"

#include <QMouseEvent>

namespace mtra::ui {

ButtonMultiClick::ButtonMultiClick(const QString& objectName, bool repeat, QWidget* parent)
    : QPushButton(parent)
    , m_repeat(repeat)
{
    setObjectName(objectName);
    setFlat(true);
    if (repeat) {
        setAutoRepeat(true);
        setAutoRepeatDelay(500);
        setAutoRepeatInterval(100);
        connect(this, &QPushButton::clicked, this, &ButtonMultiClick::EmitRepeatClick);
    }
}

void ButtonMultiClick::EmitRepeatClick()
{
    if (m_button == Qt::LeftButton) {
        emit LeftButtonClicked();
    }
}

void ButtonMultiClick::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_button = Qt::LeftButton;
        if (!m_repeat) {
            emit LeftButtonClicked();
        }
    } else if (event->button() == Qt::RightButton) {
        m_button = Qt::RightButton;
        emit RightButtonClicked();
    }
    QPushButton::mousePressEvent(event);
}

} // namespace mtra::ui
