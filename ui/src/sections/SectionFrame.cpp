// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "sections/SectionFrame.h"

#include "toolset/ButtonDefault.h"
#include "toolset/TitleWidget.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace mtra::ui {

QFrame* AddScrolledFrame(QWidget* owner)
{
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* scroll = new QScrollArea(owner);
    scroll->setObjectName(QStringLiteral("ScrollArea"));
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFrameShadow(QFrame::Plain);
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("ToolboxFrame"));
    scroll->setWidget(frame);
    layout->addWidget(scroll);
    return frame;
}

QPushButton* NewResetButton(QWidget* parent)
{
    return new ButtonDefault(
        QIcon(QStringLiteral(":Icons/Reset.png")), QObject::tr("Reset"), parent);
}

Group NewGroup(const QString& title, QWidget* parent)
{
    return { new TitleWidget(title, false, false, false, true, true, parent),
        new BodyWidget(parent) };
}

void StackTitleOverBody(QWidget* owner, TitleWidget* title, BodyWidget* body)
{
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(body);
}

void ClearGrid(QGridLayout* grid)
{
    // A panel may be the sender of the signal that causes the rebuild (a move), so widgets go
    // at the next turn of the event loop.
    while (QLayoutItem* item = grid->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    // Row stretches survive the items; the rebuild sets its own again.
    for (int row = 0; row < grid->rowCount(); ++row) {
        grid->setRowStretch(row, 0);
    }
}

} // namespace mtra::ui
