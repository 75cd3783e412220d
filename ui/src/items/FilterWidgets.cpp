// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "items/FilterWidgets.h"

#include "items/ControlFactory.h"

#include <app/ControlSteps.h>

namespace mtra::ui {

using orv::image::DownsampleFull;

namespace {

constexpr int kNeutralTemperature = 6500;

} // namespace

// --- Blur ----------------------------------------------------------------------------------

BlurFilterWidget::BlurFilterWidget(
    const app::BlurFilterItem& item, app::LayerID layer, QWidget* parent)
    : AbstractFilterWidget(layer, parent)
    , m_radius(ItemSpinSlider(0, 0, 200))
{
    AddControl(QString(), m_radius);
    connect(m_radius, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateRadius(value, factor); });
    m_radius->SetValue(app::ToControlSteps(item.Radius(), app::kRadiusControl));
    Finish(tr("Blur"), item, true);
}

void BlurFilterWidget::UpdateRadius(int value, Factor factor, bool update)
{
    if (auto item = Find<app::BlurFilterItem>()) {
        item->SetRadius(app::FromControlSteps(value, app::kRadiusControl));
        Edited(factor, update);
    }
}

void BlurFilterWidget::Reset()
{
    ResetFrame();
    UpdateRadius(0, DownsampleFull, false);
    m_radius->SetValue(0);
}

// --- Brightness ----------------------------------------------------------------------------

BrightnessFilterWidget::BrightnessFilterWidget(
    const app::BrightnessFilterItem& item, app::LayerID layer, QWidget* parent)
    : AbstractFilterWidget(layer, parent)
    , m_brightness(ItemSpinSlider(0, -100, 100, QStringLiteral("%")))
{
    AddControl(QString(), m_brightness);
    connect(m_brightness, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateBrightness(value, factor); });
    m_brightness->SetValue(app::ToControlSteps(item.Brightness(), app::kBrightnessControl));
    Finish(tr("Brightness"), item, true);
}

void BrightnessFilterWidget::UpdateBrightness(int value, Factor factor, bool update)
{
    if (auto item = Find<app::BrightnessFilterItem>()) {
        item->SetBrightness(app::FromControlSteps(value, app::kBrightnessControl));
        Edited(factor, update);
    }
}

void BrightnessFilterWidget::Reset()
{
    ResetFrame();
    UpdateBrightness(0, DownsampleFull, false);
    m_brightness->SetValue(0);
}

// --- Color balance -------------------------------------------------------------------------

ColorBalanceFilterWidget::ColorBalanceFilterWidget(
    const app::ColorBalanceFilterItem& item, app::LayerID layer, QWidget* parent)
    : AbstractFilterWidget(layer, parent)
    , m_red(ItemDoubleSpinSlider(0.0, 2.0, 1.0))
    , m_green(ItemDoubleSpinSlider(0.0, 2.0, 1.0))
    , m_blue(ItemDoubleSpinSlider(0.0, 2.0, 1.0))
{
    AddControl(tr("Red"), m_red);
    AddControl(tr("Green"), m_green);
    AddControl(tr("Blue"), m_blue);
    connect(m_red, &DoubleSpinSlider::SliderUpdate, this,
        [this](double value, Factor factor) { UpdateRed(value, factor); });
    connect(m_green, &DoubleSpinSlider::SliderUpdate, this,
        [this](double value, Factor factor) { UpdateGreen(value, factor); });
    connect(m_blue, &DoubleSpinSlider::SliderUpdate, this,
        [this](double value, Factor factor) { UpdateBlue(value, factor); });
    m_red->SetValue(item.Red());
    m_green->SetValue(item.Green());
    m_blue->SetValue(item.Blue());
    Finish(tr("Color Balance"), item, true);
}

void ColorBalanceFilterWidget::UpdateRed(double value, Factor factor, bool update)
{
    if (auto item = Find<app::ColorBalanceFilterItem>()) {
        item->SetRed(value);
        Edited(factor, update);
    }
}

void ColorBalanceFilterWidget::UpdateGreen(double value, Factor factor, bool update)
{
    if (auto item = Find<app::ColorBalanceFilterItem>()) {
        item->SetGreen(value);
        Edited(factor, update);
    }
}

void ColorBalanceFilterWidget::UpdateBlue(double value, Factor factor, bool update)
{
    if (auto item = Find<app::ColorBalanceFilterItem>()) {
        item->SetBlue(value);
        Edited(factor, update);
    }
}

void ColorBalanceFilterWidget::Reset()
{
    ResetFrame();
    UpdateRed(1.0, DownsampleFull, false);
    UpdateGreen(1.0, DownsampleFull, false);
    UpdateBlue(1.0, DownsampleFull, false);
    m_red->SetValue(1.0);
    m_green->SetValue(1.0);
    m_blue->SetValue(1.0);
}

// --- Colour temperature --------------------------------------------------------------------

ColorTemperatureFilterWidget::ColorTemperatureFilterWidget(
    const app::ColorTemperatureFilterItem& item, app::LayerID layer, QWidget* parent)
    : AbstractFilterWidget(layer, parent)
    , m_temperature(ItemSpinSlider(kNeutralTemperature, 3000, 15000))
{
    AddControl(QString(), m_temperature);
    connect(m_temperature, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateTemperature(value, factor); });
    m_temperature->SetValue(
        app::ToControlSteps(item.TemperatureShift(), app::kColorTemperatureControl));
    Finish(tr("Color Temperature"), item, true);
}

void ColorTemperatureFilterWidget::UpdateTemperature(int value, Factor factor, bool update)
{
    if (auto item = Find<app::ColorTemperatureFilterItem>()) {
        item->SetTemperatureShift(app::FromControlSteps(value, app::kColorTemperatureControl));
        Edited(factor, update);
    }
}

void ColorTemperatureFilterWidget::Reset()
{
    ResetFrame();
    UpdateTemperature(kNeutralTemperature, DownsampleFull, false);
    m_temperature->SetValue(kNeutralTemperature);
}

// --- Hue colorize --------------------------------------------------------------------------

HueColorizeFilterWidget::HueColorizeFilterWidget(
    const app::HueColorizeFilterItem& item, app::LayerID layer, QWidget* parent)
    : AbstractFilterWidget(layer, parent)
    , m_hue(new HueSpinSlider(nullptr, 0.0))
    , m_strength(ItemSpinSlider(0, 0, 100, QStringLiteral("%")))
{
    m_hue->SetInvalidatesOnPress(true);
    AddControl(tr("Hue"), m_hue);
    AddControl(tr("Strength"), m_strength);
    connect(m_hue, &HueSpinSlider::SliderUpdate, this,
        [this](double value, Factor factor) { UpdateHue(value, factor); });
    connect(m_strength, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateStrength(value, factor); });
    m_hue->SetValue(item.Hue());
    m_strength->SetValue(app::ToControlSteps(item.Strength(), app::kPercentControl));
    Finish(tr("Hue Colorize"), item, true);
}

void HueColorizeFilterWidget::UpdateHue(double value, Factor factor, bool update)
{
    if (auto item = Find<app::HueColorizeFilterItem>()) {
        item->SetHue(value);
        Edited(factor, update);
    }
}

void HueColorizeFilterWidget::UpdateStrength(int value, Factor factor, bool update)
{
    if (auto item = Find<app::HueColorizeFilterItem>()) {
        item->SetStrength(app::FromControlSteps(value, app::kPercentControl));
        Edited(factor, update);
    }
}

void HueColorizeFilterWidget::Reset()
{
    ResetFrame();
    UpdateHue(0.0, DownsampleFull, false);
    UpdateStrength(0, DownsampleFull, false);
    m_hue->SetValue(0.0);
    m_strength->SetValue(0);
}

// --- Saturation ----------------------------------------------------------------------------

SaturationFilterWidget::SaturationFilterWidget(
    const app::SaturationFilterItem& item, app::LayerID layer, QWidget* parent)
    : AbstractFilterWidget(layer, parent)
    , m_saturation(ItemDoubleSpinSlider(0.0, 2.0, 1.0))
{
    AddControl(QString(), m_saturation);
    connect(m_saturation, &DoubleSpinSlider::SliderUpdate, this,
        [this](double value, Factor factor) { UpdateSaturation(value, factor); });
    m_saturation->SetValue(item.Saturation());
    Finish(tr("Saturation"), item, true);
}

void SaturationFilterWidget::UpdateSaturation(double value, Factor factor, bool update)
{
    if (auto item = Find<app::SaturationFilterItem>()) {
        item->SetSaturation(value);
        Edited(factor, update);
    }
}

void SaturationFilterWidget::Reset()
{
    ResetFrame();
    UpdateSaturation(1.0, DownsampleFull, false);
    m_saturation->SetValue(1.0);
}

// --- Levels --------------------------------------------------------------------------------

SuperContrastFilterWidget::SuperContrastFilterWidget(
    const app::SuperContrastFilterItem& item, app::LayerID layer, QWidget* parent)
    : AbstractFilterWidget(layer, parent)
    , m_black(ItemSpinSlider(0, 0, 100, QStringLiteral("%")))
    , m_white(ItemSpinSlider(100, 0, 100, QStringLiteral("%")))
{
    AddControl(tr("Black"), m_black);
    AddControl(tr("White"), m_white);
    connect(m_black, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateBlack(value, factor); });
    connect(m_white, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateWhite(value, factor); });
    m_black->SetValue(app::ToControlSteps(item.BlackLevel(), app::kPercentControl));
    m_white->SetValue(app::ToControlSteps(item.WhiteLevel(), app::kPercentControl));
    Finish(tr("Levels"), item, true);
}

void SuperContrastFilterWidget::UpdateBlack(int value, Factor factor, bool update)
{
    if (auto item = Find<app::SuperContrastFilterItem>()) {
        item->SetBlackLevel(app::FromControlSteps(value, app::kPercentControl));
        Edited(factor, update);
    }
}

void SuperContrastFilterWidget::UpdateWhite(int value, Factor factor, bool update)
{
    if (auto item = Find<app::SuperContrastFilterItem>()) {
        item->SetWhiteLevel(app::FromControlSteps(value, app::kPercentControl));
        Edited(factor, update);
    }
}

void SuperContrastFilterWidget::Reset()
{
    ResetFrame();
    UpdateBlack(0, DownsampleFull, false);
    UpdateWhite(100, DownsampleFull, false);
    m_black->SetValue(0);
    m_white->SetValue(100);
}

// --- Choosing the panel --------------------------------------------------------------------

namespace {

template <typename Widget, typename Item>
AbstractFilterWidget* Make(
    const std::shared_ptr<app::AbstractFilterItem>& item, app::LayerID layer, QWidget* parent)
{
    // The type said which class to expect; the cast checks it all the same.
    const auto typed = std::dynamic_pointer_cast<Item>(item);
    return typed ? new Widget(*typed, layer, parent) : nullptr;
}

} // namespace

AbstractFilterWidget* CreateFilterWidget(
    const std::shared_ptr<app::AbstractFilterItem>& item, app::LayerID layer, QWidget* parent)
{
    if (!item) {
        return nullptr;
    }
    switch (item->Type()) {
    case app::BrightnessFilter:
        return Make<BrightnessFilterWidget, app::BrightnessFilterItem>(item, layer, parent);
    case app::SaturationFilter:
        return Make<SaturationFilterWidget, app::SaturationFilterItem>(item, layer, parent);
    case app::SuperContrastFilter:
        return Make<SuperContrastFilterWidget, app::SuperContrastFilterItem>(item, layer, parent);
    case app::ColorTemperatureFilter:
        return Make<ColorTemperatureFilterWidget, app::ColorTemperatureFilterItem>(
            item, layer, parent);
    case app::ColorBalanceFilter:
        return Make<ColorBalanceFilterWidget, app::ColorBalanceFilterItem>(item, layer, parent);
    case app::HueColorizeFilter:
        return Make<HueColorizeFilterWidget, app::HueColorizeFilterItem>(item, layer, parent);
    case app::BlurFilter:
        return Make<BlurFilterWidget, app::BlurFilterItem>(item, layer, parent);
    case app::TransparencyFilter:
    case app::MirrorFilter:
        break;
    }
    return nullptr;
}

} // namespace mtra::ui
