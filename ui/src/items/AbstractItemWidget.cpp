// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "items/AbstractItemWidget.h"

#include "Application.h"
#include "controls/Controls.h"
#include "items/CurrentImage.h"
#include "toolset/TitleWidget.h"

#include <QGridLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace mtra::ui {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

AbstractItemWidget::AbstractItemWidget(app::LayerID layer, app::Stage stage, QWidget* parent)
    : QWidget(parent)
    , m_layer(layer)
    , m_stage(stage)
    , m_body(new BodyWidget(this))
{
}

AbstractItemWidget::~AbstractItemWidget() = default;

void AbstractItemWidget::AddControl(const QString& label, QWidget* control)
{
    control->setParent(m_body);
    if (label.isEmpty() && m_grid == nullptr) {
        auto* layout = new QVBoxLayout(m_body);
        layout->setContentsMargins(10, 10, 10, 10);
        layout->setSpacing(0);
        layout->addWidget(control);
        m_single = control;
        return;
    }
    if (m_grid == nullptr) {
        m_grid = new QGridLayout(m_body);
        m_grid->setContentsMargins(10, 10, 10, 10);
        m_grid->setHorizontalSpacing(10);
        m_grid->setVerticalSpacing(10);
    }
    const int row = m_grid->count() / 2;
    m_grid->addWidget(new ToolboxLabel(label, m_body), row, 0);
    m_grid->addWidget(control, row, 1);
}

void AbstractItemWidget::Finish(
    const QString& title, const app::AbstractRenderItem& item, bool movable)
{
    m_id = item.Id();
    m_collapsed = item.IsCollapsed();
    m_enabled = item.IsEnabled();
    m_body->setEnabled(m_enabled);

    m_title = new TitleWidget(title, true, movable, true, m_collapsed, m_enabled, this);
    connect(m_title, &TitleWidget::CollapseWidgetBody, this, &AbstractItemWidget::SetCollapsed);
    connect(m_title, &TitleWidget::EnableWidgetBody, this,
        qOverload<int>(&AbstractItemWidget::SetEnabled));
    if (auto* filter = qobject_cast<AbstractFilterWidget*>(this)) {
        connect(m_title, &TitleWidget::MoveUp, filter, &AbstractFilterWidget::MoveUp);
        connect(m_title, &TitleWidget::MoveDown, filter, &AbstractFilterWidget::MoveDown);
    }
    RefreshActive();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_title);
    layout->addWidget(m_body);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    m_body->setVisible(m_collapsed);
}

void AbstractItemWidget::RefreshActive()
{
    if (auto item = FindItem()) {
        m_active = ItemHasEffect();
        item->SetActive(m_active);
    }
}

void AbstractItemWidget::Edited(Factor factor, bool update)
{
    if (!FindItem()) {
        return;
    }
    RefreshActive();
    Application& app = *Application::Instance();
    // While a control is dragged only the quarter preview is stale; the release reports again
    // at full resolution, which marks both.
    if (factor == DownsampleQuarter) {
        app.ItemChanged(m_layer, m_stage, DownsampleQuarter);
    } else {
        app.ItemChanged(m_layer, m_stage);
    }
    if (update) {
        app.RefreshLayer(m_layer, m_stage, factor);
    }
}

void AbstractItemWidget::SetEnabled(int state, bool update)
{
    m_enabled = state == Qt::Checked;
    m_body->setEnabled(m_enabled);
    auto item = FindItem();
    if (!item) {
        return;
    }
    item->SetEnabled(m_enabled);
    if (update) {
        Application& app = *Application::Instance();
        app.ItemChanged(m_layer, m_stage);
        app.RefreshLayer(m_layer, m_stage, DownsampleFull);
    }
}

void AbstractItemWidget::SetCollapsed(bool expanded)
{
    m_collapsed = expanded;
    m_body->setVisible(expanded);
    if (auto item = FindItem(); item && item->IsCollapsed() != expanded) {
        item->SetCollapsed(expanded);
        Application::Instance()->MarkProjectModified();
    }
}

// --- AbstractFilterWidget ------------------------------------------------------------------

AbstractFilterWidget::AbstractFilterWidget(app::LayerID layer, QWidget* parent)
    : AbstractItemWidget(layer, app::Stage::Filter, parent)
{
}

std::shared_ptr<app::AbstractFilterItem> AbstractFilterWidget::FindFilter() const
{
    std::shared_ptr<app::AbstractFilterItem> item;
    if (const app::FilterList* filters = LayerFilters(Layer())) {
        filters->Get(Id(), item);
    }
    return item;
}

std::shared_ptr<app::AbstractRenderItem> AbstractFilterWidget::FindItem() const
{
    return FindFilter();
}

bool AbstractFilterWidget::ItemHasEffect() const
{
    const auto item = FindFilter();
    return item && item->HasEffect();
}

void AbstractFilterWidget::ResetFrame()
{
    SetEnabled(Qt::Checked, false);
    SetCollapsed(true);
    // The title's own reports would refresh the layer once per panel.
    const QSignalBlocker block(Title());
    Title()->Reset();
}

// --- AbstractKeyWidget ---------------------------------------------------------------------

AbstractKeyWidget::AbstractKeyWidget(QWidget* parent)
    : AbstractItemWidget(app::ForegroundLayer, app::Stage::Key, parent)
{
}

std::shared_ptr<app::AbstractKeyItem> AbstractKeyWidget::FindKey() const
{
    std::shared_ptr<app::AbstractKeyItem> item;
    if (const auto image = CurrentImage()) {
        image->ForegroundSettings()->Keys().Get(Id(), item);
    }
    return item;
}

std::shared_ptr<app::AbstractRenderItem> AbstractKeyWidget::FindItem() const
{
    return FindKey();
}

bool AbstractKeyWidget::ItemHasEffect() const
{
    const auto item = FindKey();
    return item && item->HasEffect();
}

void AbstractKeyWidget::ResetFrame()
{
    SetEnabled(Qt::Checked, false);
    SetCollapsed(true);
    const QSignalBlocker block(Title());
    Title()->Reset();
}

// --- AbstractCompositeWidget ---------------------------------------------------------------

AbstractCompositeWidget::AbstractCompositeWidget(QWidget* parent)
    : AbstractItemWidget(app::ForegroundLayer, app::Stage::Transform, parent)
{
}

std::shared_ptr<app::AbstractCompositeItem> AbstractCompositeWidget::FindComposite() const
{
    std::shared_ptr<app::AbstractCompositeItem> item;
    if (const auto image = CurrentImage()) {
        image->ForegroundSettings()->Compositors().Get(Id(), item);
    }
    return item;
}

std::shared_ptr<app::AbstractRenderItem> AbstractCompositeWidget::FindItem() const
{
    return FindComposite();
}

bool AbstractCompositeWidget::ItemHasEffect() const
{
    const auto item = FindComposite();
    return item && item->HasEffect();
}

void AbstractCompositeWidget::ResetFrame()
{
    SetEnabled(Qt::Checked, false);
    SetCollapsed(true);
    // The title's own reports would refresh the layer once per panel.
    const QSignalBlocker block(Title());
    Title()->Reset();
}

} // namespace mtra::ui
