// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "toolset/ButtonDefault.h"

namespace mtra::ui {

ButtonDefault::ButtonDefault(const QString& text, QWidget* parent)
    : ButtonDefault(QIcon(), text, parent)
{
}

ButtonDefault::ButtonDefault(const QIcon& icon, const QString& text, QWidget* parent)
    : QPushButton(icon, text, parent)
{
    setObjectName(QStringLiteral("ButtonDefault"));
    setFixedHeight(27);
}

} // namespace mtra::ui
