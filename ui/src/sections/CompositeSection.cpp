// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "sections/CompositeSection.h"

#include "Application.h"
#include "items/CompositeWidgets.h"
#include "items/CurrentImage.h"
#include "sections/SectionFrame.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QPushButton>

namespace mtra::ui {

CompositeSection::CompositeSection(QWidget* parent)
    : ToolboxPage(app::SectionCombine, tr("Combine"), Empty {}, parent)
    , m_grid(new QGridLayout(AddScrolledFrame(this)))
{
    m_grid->setContentsMargins(10, 10, 10, 10);
    m_grid->setVerticalSpacing(10);
}

void CompositeSection::UpdateFromProject()
{
    ClearGrid(m_grid);
    m_widgets.clear();
    const app::CompositeList& composites = CurrentImage()->ForegroundSettings()->Compositors();
    int row = 0;
    for (auto it = composites.Begin(); it != composites.End(); ++it) {
        if (AbstractCompositeWidget* widget = CreateCompositeWidget(*it, nullptr)) {
            m_grid->addWidget(widget, row++, 0);
            m_widgets.push_back(widget);
        }
    }
    QPushButton* reset = NewResetButton(nullptr);
    connect(reset, &QPushButton::clicked, this, &CompositeSection::ResetFilters);
    m_grid->addWidget(reset, row, 0, Qt::AlignRight);
    m_grid->setRowStretch(row + 1, 1);
    emit PageUpdated();
}

void CompositeSection::ResetFilters()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    for (AbstractCompositeWidget* widget : m_widgets) {
        widget->Reset();
    }
    Application& app = *Application::Instance();
    app.ItemChanged(app::ForegroundLayer, app::Stage::Transform);
    app.RefreshLayer(app::ForegroundLayer, app::Stage::Transform, orv::image::DownsampleFull);
    QGuiApplication::restoreOverrideCursor();
}

} // namespace mtra::ui
