// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "items/KeyWidgets.h"

#include "Application.h"
#include "controls/Controls.h"
#include "items/ControlFactory.h"
#include "items/CurrentImage.h"

#include <app/ControlSteps.h>

#include <QSignalBlocker>

namespace mtra::ui {

using orv::image::DownsampleFull;

namespace {

int Percent(double value)
{
    return app::ToControlSteps(value, app::kPercentControl);
}

double FromPercent(int value)
{
    return app::FromControlSteps(value, app::kPercentControl);
}

void SetIndex(ComboBox* combo, int index)
{
    const QSignalBlocker block(combo);
    if (index >= 0 && index < combo->count()) {
        combo->setCurrentIndex(index);
    }
}

} // namespace

// --- Auto colour difference key ------------------------------------------------------------

AutoColorDifferenceKeyWidget::AutoColorDifferenceKeyWidget(
    const app::AutoColorDifferenceKeyItem& item, QWidget* parent)
    : AbstractKeyWidget(parent)
    , m_color(new ComboBox)
    , m_detail(ItemSpinSlider(100, 0, 100, QStringLiteral("%")))
    , m_level(ItemSpinSlider(0, 0, 100, QStringLiteral("%")))
    , m_threshold(ItemSpinSlider(33, 0, 100, QStringLiteral("%")))
{
    m_color->addItems({ tr("Automatic"), tr("Green"), tr("Blue") });
    AddControl(tr("Color"), m_color);
    AddControl(tr("Detail"), m_detail);
    AddControl(tr("Level"), m_level);
    AddControl(tr("Threshold"), m_threshold);
    connect(m_color, qOverload<int>(&QComboBox::currentIndexChanged), this,
        [this](int index) { UpdateColor(index); });
    connect(m_detail, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateDetail(value, factor); });
    connect(m_level, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateLevel(value, factor); });
    connect(m_threshold, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateThreshold(value, factor); });
    SetIndex(m_color, static_cast<int>(item.KeyColor()));
    m_detail->SetValue(Percent(item.KeyDetail()));
    m_level->SetValue(Percent(item.GreyDetail()));
    m_threshold->SetValue(Percent(item.GreyThreshold()));
    Finish(tr("Auto Color Difference Key"), item, false);
}

void AutoColorDifferenceKeyWidget::UpdateColor(int index, bool update)
{
    auto item = Find<app::AutoColorDifferenceKeyItem>();
    const auto image = CurrentImage();
    if (!item || !image || index < 0 || index > 2) {
        return;
    }
    const auto color = static_cast<orv::image::OVKeyColor>(index);
    item->SetKeyColor(color);
    const orv::image::OVKeyColor screen = color == orv::image::KeyColorAuto
        ? Application::Instance()->GetProject()->KeyColor()
        : color;
    const orv::image::OVChannel channel
        = screen == orv::image::KeyColorBlue ? orv::image::ChannelBlue : orv::image::ChannelGreen;
    const app::KeyList& keys = image->ForegroundSettings()->Keys();
    for (auto it = keys.Begin(); it != keys.End(); ++it) {
        if (auto spill = std::dynamic_pointer_cast<app::SpillSuppressionKeyItem>(*it)) {
            spill->SetChannel(channel);
        }
    }
    Edited(DownsampleFull, update);
}

void AutoColorDifferenceKeyWidget::UpdateDetail(int value, Factor factor, bool update)
{
    if (auto item = Find<app::AutoColorDifferenceKeyItem>()) {
        item->SetKeyDetail(FromPercent(value));
        Edited(factor, update);
    }
}

void AutoColorDifferenceKeyWidget::UpdateLevel(int value, Factor factor, bool update)
{
    if (auto item = Find<app::AutoColorDifferenceKeyItem>()) {
        item->SetGreyDetail(FromPercent(value));
        Edited(factor, update);
    }
}

void AutoColorDifferenceKeyWidget::UpdateThreshold(int value, Factor factor, bool update)
{
    if (auto item = Find<app::AutoColorDifferenceKeyItem>()) {
        item->SetGreyThreshold(FromPercent(value));
        Edited(factor, update);
    }
}

void AutoColorDifferenceKeyWidget::Reset()
{
    ResetFrame();
    UpdateDetail(100, DownsampleFull, false);
    UpdateLevel(0, DownsampleFull, false);
    UpdateThreshold(33, DownsampleFull, false);
    m_detail->SetValue(100);
    m_level->SetValue(0);
    m_threshold->SetValue(33);
}

// --- Crop ----------------------------------------------------------------------------------

CropKeyWidget::CropKeyWidget(const app::CropKeyItem& item, QWidget* parent)
    : AbstractKeyWidget(parent)
    , m_left(ItemSpinSlider(0, 0, 100, QStringLiteral("%")))
    , m_right(ItemSpinSlider(0, 0, 100, QStringLiteral("%")))
    , m_top(ItemSpinSlider(0, 0, 100, QStringLiteral("%")))
    , m_bottom(ItemSpinSlider(0, 0, 100, QStringLiteral("%")))
{
    AddControl(tr("Left"), m_left);
    AddControl(tr("Right"), m_right);
    AddControl(tr("Top"), m_top);
    AddControl(tr("Bottom"), m_bottom);
    connect(m_left, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateLeft(value, factor); });
    connect(m_right, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateRight(value, factor); });
    connect(m_top, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateTop(value, factor); });
    connect(m_bottom, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateBottom(value, factor); });
    m_left->SetValue(Percent(item.Left()));
    m_right->SetValue(Percent(item.Right()));
    m_top->SetValue(Percent(item.Top()));
    m_bottom->SetValue(Percent(item.Bottom()));
    Finish(tr("Crop"), item, false);
}

void CropKeyWidget::UpdateLeft(int value, Factor factor, bool update)
{
    if (auto item = Find<app::CropKeyItem>()) {
        item->SetLeft(FromPercent(value));
        Edited(factor, update);
    }
}

void CropKeyWidget::UpdateRight(int value, Factor factor, bool update)
{
    if (auto item = Find<app::CropKeyItem>()) {
        item->SetRight(FromPercent(value));
        Edited(factor, update);
    }
}

void CropKeyWidget::UpdateTop(int value, Factor factor, bool update)
{
    if (auto item = Find<app::CropKeyItem>()) {
        item->SetTop(FromPercent(value));
        Edited(factor, update);
    }
}

void CropKeyWidget::UpdateBottom(int value, Factor factor, bool update)
{
    if (auto item = Find<app::CropKeyItem>()) {
        item->SetBottom(FromPercent(value));
        Edited(factor, update);
    }
}

void CropKeyWidget::Reset()
{
    ResetFrame();
    for (SpinSlider* edge : { m_left, m_right, m_top, m_bottom }) {
        edge->SetValue(0);
    }
    UpdateLeft(0, DownsampleFull, false);
    UpdateRight(0, DownsampleFull, false);
    UpdateTop(0, DownsampleFull, false);
    UpdateBottom(0, DownsampleFull, false);
}

// --- Spill suppression ---------------------------------------------------------------------

SpillSuppressionKeyWidget::SpillSuppressionKeyWidget(
    const app::SpillSuppressionKeyItem& item, QWidget* parent)
    : AbstractKeyWidget(parent)
    , m_type(new ComboBox)
    , m_strength(ItemSpinSlider(100, 0, 100, QStringLiteral("%")))
{
    m_type->addItems({ tr("Standard"), tr("Extended") });
    AddControl(tr("Type"), m_type);
    AddControl(tr("Strength"), m_strength);
    connect(m_type, qOverload<int>(&QComboBox::currentIndexChanged), this,
        [this](int index) { UpdateType(index); });
    connect(m_strength, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateStrength(value, factor); });
    SetIndex(m_type, item.Extended() ? 1 : 0);
    m_strength->SetValue(Percent(item.Transparency()));
    Finish(tr("Spill Suppression"), item, false);
}

void SpillSuppressionKeyWidget::UpdateType(int index, bool update)
{
    if (auto item = Find<app::SpillSuppressionKeyItem>()) {
        item->SetExtended(index == 1);
        Edited(DownsampleFull, update);
    }
}

void SpillSuppressionKeyWidget::UpdateStrength(int value, Factor factor, bool update)
{
    if (auto item = Find<app::SpillSuppressionKeyItem>()) {
        item->SetTransparency(FromPercent(value));
        Edited(factor, update);
    }
}

void SpillSuppressionKeyWidget::Reset()
{
    ResetFrame();
    UpdateType(1, false);
    UpdateStrength(100, DownsampleFull, false);
    SetIndex(m_type, 1);
    m_strength->SetValue(100);
}

// --- YUV blur ------------------------------------------------------------------------------

YuvBlurKeyWidget::YuvBlurKeyWidget(const app::YuvBlurKeyItem& item, QWidget* parent)
    : AbstractKeyWidget(parent)
    , m_type(new ComboBox)
    , m_blur(ItemSpinSlider(0, 0, 10))
{
    m_type->addItems({ tr("Horizontal"), tr("Vertical"), tr("Box"), tr("Gaussian") });
    AddControl(tr("Type"), m_type);
    AddControl(tr("Blur"), m_blur);
    connect(m_type, qOverload<int>(&QComboBox::currentIndexChanged), this,
        [this](int index) { UpdateType(index); });
    connect(m_blur, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateBlur(value, factor); });
    SetIndex(m_type, static_cast<int>(item.BlurType()));
    m_blur->SetValue(app::ToControlSteps(item.Radius(), app::kYuvBlurControl));
    Finish(tr("YUV Blur"), item, false);
}

void YuvBlurKeyWidget::UpdateType(int index, bool update)
{
    if (index < 0 || index > 3) {
        return;
    }
    if (auto item = Find<app::YuvBlurKeyItem>()) {
        item->SetBlurType(static_cast<orv::image::OVYUVBlurType>(index));
        Edited(DownsampleFull, update);
    }
}

void YuvBlurKeyWidget::UpdateBlur(int value, Factor factor, bool update)
{
    if (auto item = Find<app::YuvBlurKeyItem>()) {
        item->SetRadius(app::FromControlSteps(value, app::kYuvBlurControl));
        Edited(factor, update);
    }
}

void YuvBlurKeyWidget::Reset()
{
    ResetFrame();
    UpdateType(orv::image::YUVBlurStack, false);
    UpdateBlur(0, DownsampleFull, false);
    SetIndex(m_type, orv::image::YUVBlurStack);
    m_blur->SetValue(0);
}

// --- Choosing the panel --------------------------------------------------------------------

namespace {

template <typename Widget, typename Item>
AbstractKeyWidget* Make(const std::shared_ptr<app::AbstractKeyItem>& item, QWidget* parent)
{
    const auto typed = std::dynamic_pointer_cast<Item>(item);
    return typed ? new Widget(*typed, parent) : nullptr;
}

} // namespace

AbstractKeyWidget* CreateKeyWidget(
    const std::shared_ptr<app::AbstractKeyItem>& item, QWidget* parent)
{
    if (!item) {
        return nullptr;
    }
    switch (item->Type()) {
    case app::YuvBlurKey:
        return Make<YuvBlurKeyWidget, app::YuvBlurKeyItem>(item, parent);
    case app::AutoColorDifferenceKey:
        return Make<AutoColorDifferenceKeyWidget, app::AutoColorDifferenceKeyItem>(item, parent);
    case app::SpillSuppressionKey:
        return Make<SpillSuppressionKeyWidget, app::SpillSuppressionKeyItem>(item, parent);
    case app::CropKey:
        return Make<CropKeyWidget, app::CropKeyItem>(item, parent);
    }
    return nullptr;
}

} // namespace mtra::ui
