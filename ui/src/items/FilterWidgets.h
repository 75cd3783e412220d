// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "items/AbstractItemWidget.h"

#include <app/FilterItems.h>

namespace mtra::ui {

class DoubleSpinSlider;
class HueSpinSlider;
class SpinSlider;

// The panels of the seven filters that have one. Each is built from the item it edits and
// the layer whose filter list holds it; `Update…(value, factor, update)` takes a control value
// (the units of its control) and writes the item value it stands for.

/// "Blur": radius 0 … 200 pixels.
class BlurFilterWidget : public AbstractFilterWidget
{
    Q_OBJECT
public:
    BlurFilterWidget(const app::BlurFilterItem& item, app::LayerID layer, QWidget* parent);
    app::FilterItemType FilterType() const override { return app::BlurFilter; }
    void Reset() override;
    SpinSlider* RadiusControl() const { return m_radius; }

public slots:
    void UpdateRadius(int value, Factor factor, bool update = true);

private:
    SpinSlider* m_radius;
};

/// "Brightness": −100 … 100 %.
class BrightnessFilterWidget : public AbstractFilterWidget
{
    Q_OBJECT
public:
    BrightnessFilterWidget(
        const app::BrightnessFilterItem& item, app::LayerID layer, QWidget* parent);
    app::FilterItemType FilterType() const override { return app::BrightnessFilter; }
    void Reset() override;
    SpinSlider* BrightnessControl() const { return m_brightness; }

public slots:
    void UpdateBrightness(int value, Factor factor, bool update = true);

private:
    SpinSlider* m_brightness;
};

/// "Color Balance": red, green and blue factors 0 … 2.
class ColorBalanceFilterWidget : public AbstractFilterWidget
{
    Q_OBJECT
public:
    ColorBalanceFilterWidget(
        const app::ColorBalanceFilterItem& item, app::LayerID layer, QWidget* parent);
    app::FilterItemType FilterType() const override { return app::ColorBalanceFilter; }
    void Reset() override;
    DoubleSpinSlider* RedControl() const { return m_red; }
    DoubleSpinSlider* GreenControl() const { return m_green; }
    DoubleSpinSlider* BlueControl() const { return m_blue; }

public slots:
    void UpdateRed(double value, Factor factor, bool update = true);
    void UpdateGreen(double value, Factor factor, bool update = true);
    void UpdateBlue(double value, Factor factor, bool update = true);

private:
    DoubleSpinSlider* m_red;
    DoubleSpinSlider* m_green;
    DoubleSpinSlider* m_blue;
};

/// "Color Temperature": 3000 … 15000 K shown, 1500 less stored (6500 shown is neutral).
class ColorTemperatureFilterWidget : public AbstractFilterWidget
{
    Q_OBJECT
public:
    ColorTemperatureFilterWidget(
        const app::ColorTemperatureFilterItem& item, app::LayerID layer, QWidget* parent);
    app::FilterItemType FilterType() const override { return app::ColorTemperatureFilter; }
    void Reset() override;
    SpinSlider* TemperatureControl() const { return m_temperature; }

public slots:
    void UpdateTemperature(int value, Factor factor, bool update = true);

private:
    SpinSlider* m_temperature;
};

/// "Hue Colorize": hue 0 … 360 degrees and strength 0 … 100 %.
class HueColorizeFilterWidget : public AbstractFilterWidget
{
    Q_OBJECT
public:
    HueColorizeFilterWidget(
        const app::HueColorizeFilterItem& item, app::LayerID layer, QWidget* parent);
    app::FilterItemType FilterType() const override { return app::HueColorizeFilter; }
    void Reset() override;
    HueSpinSlider* HueControl() const { return m_hue; }
    SpinSlider* StrengthControl() const { return m_strength; }

public slots:
    void UpdateHue(double value, Factor factor, bool update = true);
    void UpdateStrength(int value, Factor factor, bool update = true);

private:
    HueSpinSlider* m_hue;
    SpinSlider* m_strength;
};

/// "Saturation": factor 0 … 2.
class SaturationFilterWidget : public AbstractFilterWidget
{
    Q_OBJECT
public:
    SaturationFilterWidget(
        const app::SaturationFilterItem& item, app::LayerID layer, QWidget* parent);
    app::FilterItemType FilterType() const override { return app::SaturationFilter; }
    void Reset() override;
    DoubleSpinSlider* SaturationControl() const { return m_saturation; }

public slots:
    void UpdateSaturation(double value, Factor factor, bool update = true);

private:
    DoubleSpinSlider* m_saturation;
};

/// "Levels": black and white levels 0 … 100 %.
class SuperContrastFilterWidget : public AbstractFilterWidget
{
    Q_OBJECT
public:
    SuperContrastFilterWidget(
        const app::SuperContrastFilterItem& item, app::LayerID layer, QWidget* parent);
    app::FilterItemType FilterType() const override { return app::SuperContrastFilter; }
    void Reset() override;
    SpinSlider* BlackControl() const { return m_black; }
    SpinSlider* WhiteControl() const { return m_white; }

public slots:
    void UpdateBlack(int value, Factor factor, bool update = true);
    void UpdateWhite(int value, Factor factor, bool update = true);

private:
    SpinSlider* m_black;
    SpinSlider* m_white;
};

/// The panel for `item`, chosen by the item's `Type()`; null for a filter no panel edits
/// (transparency, mirror) or an unknown type.
AbstractFilterWidget* CreateFilterWidget(
    const std::shared_ptr<app::AbstractFilterItem>& item, app::LayerID layer, QWidget* parent);

} // namespace mtra::ui
