// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "sections/FiltersSection.h"

#include "Application.h"
#include "items/CurrentImage.h"
#include "items/FilterWidgets.h"
#include "sections/SectionFrame.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>

namespace mtra::ui {

using orv::image::DownsampleFull;

// --- FiltersWidget -------------------------------------------------------------------------

FiltersWidget::FiltersWidget(app::LayerID layer, QWidget* parent)
    : QWidget(parent)
    , m_layer(layer)
    , m_grid(new QGridLayout(AddScrolledFrame(this)))
{
    m_grid->setContentsMargins(10, 10, 10, 10);
    m_grid->setVerticalSpacing(10);
}

void FiltersWidget::Rebuild(bool force)
{
    // The application's first-rebuild flags: 1 foreground filters, 2 background filters.
    const bool first
        = Application::Instance()->TakeFirstRebuild(m_layer == app::ForegroundLayer ? 1 : 2);
    const auto image = CurrentImage();
    if (!force && !image->IsUnique() && m_showsSharedSettings && !first) {
        return;
    }
    ClearGrid(m_grid);
    m_widgets.clear();
    int row = 0;
    if (const app::FilterList* filters = LayerFilters(m_layer)) {
        for (auto it = filters->Begin(); it != filters->End(); ++it) {
            AbstractFilterWidget* widget = CreateFilterWidget(*it, m_layer, nullptr);
            if (widget == nullptr) {
                continue;
            }
            connect(widget, &AbstractFilterWidget::MoveUp, this, &FiltersWidget::MoveFilterUp);
            connect(widget, &AbstractFilterWidget::MoveDown, this, &FiltersWidget::MoveFilterDown);
            m_grid->addWidget(widget, row++, 0);
            m_widgets.push_back(widget);
        }
    }
    m_showsSharedSettings = !image->IsUnique();
    QPushButton* reset = NewResetButton(nullptr);
    connect(reset, &QPushButton::clicked, this, &FiltersWidget::ResetFilters);
    m_grid->addWidget(reset, row, 0, Qt::AlignRight);
    m_grid->setRowStretch(row + 1, 1);
}

void FiltersWidget::MoveFilterUp()
{
    MoveFilter(qobject_cast<AbstractFilterWidget*>(sender()), true);
}

void FiltersWidget::MoveFilterDown()
{
    MoveFilter(qobject_cast<AbstractFilterWidget*>(sender()), false);
}

void FiltersWidget::MoveFilter(AbstractFilterWidget* widget, bool up)
{
    app::FilterList* filters = LayerFilters(m_layer);
    if (widget == nullptr || filters == nullptr) {
        return;
    }
    // Panels and list positions differ where a filter has no panel, so the move is worked out
    // on the list: the filter passes the filter of the neighbouring panel, and any filters
    // without a panel in between keep their order relative to the others.
    std::vector<QUuid> order;
    for (auto it = filters->Begin(); it != filters->End(); ++it) {
        order.push_back((*it)->Id());
    }
    const auto shown = [&](const QUuid& id) {
        return std::any_of(m_widgets.begin(), m_widgets.end(),
            [&](const AbstractFilterWidget* w) { return w->Id() == id; });
    };
    const auto at = std::find(order.begin(), order.end(), widget->Id());
    if (at == order.end()) {
        return;
    }
    const int from = static_cast<int>(at - order.begin());
    int to = -1;
    if (up) {
        for (int i = from - 1; i >= 0 && to < 0; --i) {
            to = shown(order[static_cast<std::size_t>(i)]) ? i : -1;
        }
    } else {
        for (int i = from + 1; i < static_cast<int>(order.size()) && to < 0; ++i) {
            to = shown(order[static_cast<std::size_t>(i)]) ? i : -1;
        }
    }
    if (to < 0) {
        return;
    }
    const QUuid id = widget->Id();
    for (int step = 0; step < std::abs(to - from); ++step) {
        if (up) {
            filters->MoveUp(id);
        } else {
            filters->MoveDown(id);
        }
    }
    Rebuild(true);
    Application& app = *Application::Instance();
    app.ItemChanged(m_layer, app::Stage::Filter);
    app.RefreshLayer(m_layer, app::Stage::Filter, DownsampleFull);
}

void FiltersWidget::ResetFilters()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    for (AbstractFilterWidget* widget : m_widgets) {
        widget->Reset();
    }
    Application& app = *Application::Instance();
    app.ItemChanged(m_layer, app::Stage::Filter);
    app.RefreshLayer(m_layer, app::Stage::Filter, DownsampleFull);
    QGuiApplication::restoreOverrideCursor();
}

// --- FiltersSection ------------------------------------------------------------------------

FiltersSection::FiltersSection(QWidget* parent)
    : ToolboxPage(app::SectionFilters, tr("Filters"), Empty {}, parent)
    , m_tabs(new QTabWidget)
    , m_foreground(new FiltersWidget(app::ForegroundLayer))
    , m_background(new FiltersWidget(app::BackgroundLayer))
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* border = new QFrame(this);
    border->setObjectName(QStringLiteral("TabFrameBorder"));
    auto* layout = new QHBoxLayout(border);
    layout->setContentsMargins(0, 10, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    outer->addWidget(border);
    m_tabs->addTab(m_foreground, tr("Foreground"));
    m_tabs->addTab(m_background, tr("Background"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &FiltersSection::TabChange);
}

FiltersWidget* FiltersSection::Widget(app::LayerID layer) const
{
    return layer == app::BackgroundLayer ? m_background : m_foreground;
}

void FiltersSection::TabChange(int index)
{
    const auto* widget = qobject_cast<FiltersWidget*>(m_tabs->widget(index));
    if (widget != nullptr) {
        Application::Instance()->GetProject()->SetCurrentLayer(widget->Layer());
    }
}

void FiltersSection::UpdateFromProject()
{
    const bool foreground
        = Application::Instance()->GetProject()->CurrentLayer() == app::ForegroundLayer;
    m_tabs->setCurrentWidget(foreground ? m_foreground : m_background);
    m_foreground->Rebuild(false);
    m_background->Rebuild(false);
    emit PageUpdated();
}

} // namespace mtra::ui
