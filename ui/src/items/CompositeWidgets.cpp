// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "items/CompositeWidgets.h"

#include "controls/Controls.h"
#include "items/ControlFactory.h"

#include <app/ControlSteps.h>

#include <QSignalBlocker>

#include <array>

namespace mtra::ui {

using orv::image::DownsampleFull;
using orv::image::OVBlendMode;

namespace {

constexpr std::array<OVBlendMode, 5> kBlendModes { orv::image::BlendModeAdd,
    orv::image::BlendModeLighten, orv::image::BlendModeNormal, orv::image::BlendModeScreen,
    orv::image::BlendModeSoftLight };
constexpr int kDefaultBlendIndex = 1;
constexpr int kDefaultSpillSize = 25;

} // namespace

// --- Transparency --------------------------------------------------------------------------

FlattenCompositeWidget::FlattenCompositeWidget(
    const app::FlattenCompositeItem& item, QWidget* parent)
    : AbstractCompositeWidget(parent)
    , m_transparency(ItemSpinSlider(0, 0, 100))
{
    AddControl(QString(), m_transparency);
    connect(m_transparency, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateTransparency(value, factor); });
    m_transparency->SetValue(
        app::ToControlSteps(item.ForegroundTransparency(), app::kPercentControl));
    Finish(tr("Transparency"), item, false);
}

void FlattenCompositeWidget::UpdateTransparency(int value, Factor factor, bool update)
{
    if (auto item = Find<app::FlattenCompositeItem>()) {
        item->SetForegroundTransparency(app::FromControlSteps(value, app::kPercentControl));
        Edited(factor, update);
    }
}

void FlattenCompositeWidget::Reset()
{
    ResetFrame();
    UpdateTransparency(0, DownsampleFull, false);
    m_transparency->SetValue(0);
}

// --- Light spill ---------------------------------------------------------------------------

LightSpillCompositeWidget::LightSpillCompositeWidget(
    const app::LightSpillCompositeItem& item, QWidget* parent)
    : AbstractCompositeWidget(parent)
    , m_size(ItemSpinSlider(kDefaultSpillSize, 0, 200))
    , m_blend(new ComboBox)
{
    m_blend->addItems({ tr("Add"), tr("Lighten"), tr("Normal"), tr("Screen"), tr("Soft Light") });
    m_blend->setCurrentIndex(kDefaultBlendIndex);
    AddControl(tr("Size"), m_size);
    AddControl(tr("Blend"), m_blend);
    connect(m_size, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateSize(value, factor); });
    connect(m_blend, qOverload<int>(&QComboBox::currentIndexChanged), this,
        [this](int index) { UpdateBlend(index); });
    m_size->SetValue(app::ToControlSteps(item.Blur(), app::kRadiusControl));
    const int index = IndexOfBlendMode(item.BlendMode());
    if (index >= 0) {
        const QSignalBlocker block(m_blend);
        m_blend->setCurrentIndex(index);
    }
    Finish(tr("Light Spill"), item, false);
}

OVBlendMode LightSpillCompositeWidget::BlendModeOfIndex(int index)
{
    return index >= 0 && index < static_cast<int>(kBlendModes.size())
        ? kBlendModes[static_cast<std::size_t>(index)]
        : kBlendModes[kDefaultBlendIndex];
}

int LightSpillCompositeWidget::IndexOfBlendMode(OVBlendMode mode)
{
    for (std::size_t i = 0; i < kBlendModes.size(); ++i) {
        if (kBlendModes[i] == mode) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void LightSpillCompositeWidget::UpdateSize(int value, Factor factor, bool update)
{
    if (auto item = Find<app::LightSpillCompositeItem>()) {
        item->SetBlur(app::FromControlSteps(value, app::kRadiusControl));
        Edited(factor, update);
    }
}

void LightSpillCompositeWidget::UpdateBlend(int index, bool update)
{
    if (index < 0 || index >= static_cast<int>(kBlendModes.size())) {
        return;
    }
    if (auto item = Find<app::LightSpillCompositeItem>()) {
        item->SetBlendMode(BlendModeOfIndex(index));
        Edited(DownsampleFull, update);
    }
}

void LightSpillCompositeWidget::Reset()
{
    ResetFrame();
    UpdateSize(kDefaultSpillSize, DownsampleFull, false);
    UpdateBlend(kDefaultBlendIndex, false);
    m_size->SetValue(kDefaultSpillSize);
    const QSignalBlocker block(m_blend);
    m_blend->setCurrentIndex(kDefaultBlendIndex);
}

// --- Choosing the panel --------------------------------------------------------------------

AbstractCompositeWidget* CreateCompositeWidget(
    const std::shared_ptr<app::AbstractCompositeItem>& item, QWidget* parent)
{
    if (!item) {
        return nullptr;
    }
    if (item->Type() == app::FlattenComposite) {
        const auto flatten = std::dynamic_pointer_cast<app::FlattenCompositeItem>(item);
        return flatten ? new FlattenCompositeWidget(*flatten, parent) : nullptr;
    }
    const auto spill = std::dynamic_pointer_cast<app::LightSpillCompositeItem>(item);
    return spill ? new LightSpillCompositeWidget(*spill, parent) : nullptr;
}

} // namespace mtra::ui
