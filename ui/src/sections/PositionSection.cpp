// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "sections/PositionSection.h"

#include "Application.h"
#include "controls/CompoundControls.h"
#include "controls/Controls.h"
#include "items/CurrentImage.h"
#include "sections/SectionFrame.h"
#include "toolset/ButtonDefault.h"
#include "toolset/TitleWidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace mtra::ui {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

SpinSlider* PercentSlider(int defaultValue, int minimum, int maximum)
{
    auto* control = new SpinSlider(defaultValue, minimum, maximum);
    control->SetSuffix(QStringLiteral("%"));
    control->SetInvalidatesOnPress(true);
    return control;
}

/// Adds a fixed group holding `layout`'s body to `column`.
QGridLayout* AddGroup(const QString& title, QWidget* parent, QVBoxLayout* column)
{
    const Group group = NewGroup(title, parent);
    auto* grid = new QGridLayout(group.body);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSpacing(10);
    auto* box = new QVBoxLayout;
    box->setSpacing(0);
    box->addWidget(group.title);
    box->addWidget(group.body);
    column->addLayout(box);
    return grid;
}

} // namespace

// --- PositionWidget ------------------------------------------------------------------------

PositionWidget::PositionWidget(app::LayerID layer, QWidget* parent)
    : QWidget(parent)
    , m_layer(layer)
    , m_horizontal(PercentSlider(0, -100, 100))
    , m_vertical(PercentSlider(0, -100, 100))
    , m_scale(PercentSlider(100, 10, 500))
    , m_rotation(new DoubleSpinDial(nullptr, 0.0, 359.99, 0.0))
{
    m_rotation->SetInvalidatesOnPress(true);
    QFrame* frame = AddScrolledFrame(this);
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(10);

    QGridLayout* position = AddGroup(tr("Position"), frame, column);
    position->addWidget(new ToolboxLabel(tr("Horizontal", "Horizontal position")), 0, 0);
    position->addWidget(m_horizontal, 0, 1);
    position->addWidget(new ToolboxLabel(tr("Vertical", "Vertical position")), 1, 0);
    position->addWidget(m_vertical, 1, 1);
    auto* flips = new QHBoxLayout;
    auto* flipH = new ButtonDefault(tr("Flip Horizontal"));
    auto* flipV = new ButtonDefault(tr("Flip Vertical"));
    flips->addWidget(flipH);
    flips->addWidget(flipV);
    position->addLayout(flips, 2, 0, 1, 2);
    AddGroup(tr("Scale"), frame, column)->addWidget(m_scale, 0, 0);
    AddGroup(tr("Rotation"), frame, column)->addWidget(m_rotation, 0, 0);
    auto* resetRow = new QHBoxLayout;
    resetRow->addStretch();
    QPushButton* reset = NewResetButton(frame);
    resetRow->addWidget(reset);
    column->addLayout(resetRow);
    column->addStretch();

    connect(m_horizontal, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateHorizontalPosition(value, factor); });
    connect(m_vertical, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateVerticalPosition(value, factor); });
    connect(m_scale, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateScale(value, factor); });
    connect(m_rotation, &DoubleSpinDial::DialUpdate, this,
        [this](double value, Factor factor) { UpdateRotation(value, factor); });
    connect(flipH, &QPushButton::clicked, this, &PositionWidget::FlipHorizontal);
    connect(flipV, &QPushButton::clicked, this, &PositionWidget::FlipVertical);
    connect(reset, &QPushButton::clicked, this, &PositionWidget::ResetPosition);
}

std::shared_ptr<app::TransformationTransformItem> PositionWidget::Item() const
{
    const app::TransformList* transforms = LayerTransforms(m_layer);
    if (transforms == nullptr) {
        return nullptr;
    }
    std::shared_ptr<app::AbstractTransformItem> item;
    if (!m_transformId.isNull() && transforms->Get(m_transformId, item) == app::MT_OK) {
        return std::dynamic_pointer_cast<app::TransformationTransformItem>(item);
    }
    return FirstOf<app::TransformationTransformItem>(*transforms);
}

void PositionWidget::UpdateFromProject()
{
    const auto item = Item();
    if (!item) {
        return;
    }
    m_transformId = item->Id();
    m_flippedHorizontally = item->ScaleX() < 0;
    m_flippedVertically = item->ScaleY() < 0;
    m_horizontal->SetValue(static_cast<int>(std::lround(item->TranslateX() * 100)));
    m_vertical->SetValue(static_cast<int>(std::lround(item->TranslateY() * 100)));
    m_scale->SetValue(static_cast<int>(std::lround(std::fabs(item->ScaleX()) * 100)));
    m_rotation->SetValue(item->Rotation());
}

void PositionWidget::Edited(Factor factor, bool update)
{
    Application& app = *Application::Instance();
    if (factor == DownsampleQuarter) {
        app.ItemChanged(m_layer, app::Stage::Transform, DownsampleQuarter);
    } else {
        app.ItemChanged(m_layer, app::Stage::Transform);
    }
    if (update) {
        app.RefreshLayer(m_layer, app::Stage::Transform, factor);
    }
}

void PositionWidget::UpdateHorizontalPosition(int value, Factor factor, bool update)
{
    if (auto item = Item()) {
        item->SetTranslateX(value / 100.0);
        Edited(factor, update);
    }
}

void PositionWidget::UpdateVerticalPosition(int value, Factor factor, bool update)
{
    if (auto item = Item()) {
        item->SetTranslateY(value / 100.0);
        Edited(factor, update);
    }
}

void PositionWidget::UpdateScale(int value, Factor factor, bool update)
{
    if (auto item = Item()) {
        const double scale = value / 100.0;
        item->SetScaleX(m_flippedHorizontally ? -scale : scale);
        item->SetScaleY(m_flippedVertically ? -scale : scale);
        Edited(factor, update);
    }
}

void PositionWidget::UpdateRotation(double value, Factor factor, bool update)
{
    if (auto item = Item()) {
        item->SetRotation(value);
        Edited(factor, update);
    }
}

void PositionWidget::FlipHorizontal()
{
    if (auto item = Item()) {
        m_flippedHorizontally = !m_flippedHorizontally;
        item->SetScaleX(-item->ScaleX());
        Edited(DownsampleFull, true);
    }
}

void PositionWidget::FlipVertical()
{
    if (auto item = Item()) {
        m_flippedVertically = !m_flippedVertically;
        item->SetScaleY(-item->ScaleY());
        Edited(DownsampleFull, true);
    }
}

void PositionWidget::ResetPosition()
{
    auto item = Item();
    if (!item) {
        return;
    }
    m_flippedHorizontally = false;
    m_flippedVertically = false;
    item->SetTranslateX(0);
    item->SetTranslateY(0);
    item->SetScaleX(1);
    item->SetScaleY(1);
    item->SetRotation(0);
    m_horizontal->SetValue(0);
    m_vertical->SetValue(0);
    m_scale->SetValue(100);
    m_rotation->SetValue(0);
    Edited(DownsampleFull, true);
}

// --- PositionSection -----------------------------------------------------------------------

PositionSection::PositionSection(QWidget* parent)
    : ToolboxPage(app::SectionPosition, tr("Position"), Empty {}, parent)
    , m_tabs(new QTabWidget)
    , m_foreground(new PositionWidget(app::ForegroundLayer))
    , m_background(new PositionWidget(app::BackgroundLayer))
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
    connect(m_tabs, &QTabWidget::currentChanged, this, &PositionSection::TabChange);
}

PositionWidget* PositionSection::Widget(app::LayerID layer) const
{
    return layer == app::BackgroundLayer ? m_background : m_foreground;
}

void PositionSection::TabChange(int index)
{
    const auto* widget = qobject_cast<PositionWidget*>(m_tabs->widget(index));
    if (widget != nullptr) {
        Application::Instance()->GetProject()->SetCurrentLayer(widget->Layer());
    }
}

void PositionSection::UpdateFromProject()
{
    const bool foreground
        = Application::Instance()->GetProject()->CurrentLayer() == app::ForegroundLayer;
    m_tabs->setCurrentWidget(foreground ? m_foreground : m_background);
    m_foreground->UpdateFromProject();
    m_background->UpdateFromProject();
    emit PageUpdated();
}

} // namespace mtra::ui
