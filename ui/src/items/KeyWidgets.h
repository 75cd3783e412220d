// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "items/AbstractItemWidget.h"

#include <app/KeyItems.h>

namespace mtra::ui {

class ComboBox;
class SpinSlider;

// The panels of the four key steps of the foreground. Each is built from the item it edits.

/// "Auto Color Difference Key": key colour ("Automatic", "Green", "Blue"), detail, level and
/// threshold in percent. Always active.
class AutoColorDifferenceKeyWidget : public AbstractKeyWidget
{
    Q_OBJECT
public:
    AutoColorDifferenceKeyWidget(const app::AutoColorDifferenceKeyItem& item, QWidget* parent);
    void Reset() override;
    ComboBox* ColorControl() const { return m_color; }
    SpinSlider* DetailControl() const { return m_detail; }
    SpinSlider* LevelControl() const { return m_level; }
    SpinSlider* ThresholdControl() const { return m_threshold; }

public slots:
    /// Sets the key colour (combo index = `OVKeyColor`) and gives every spill suppression item
    /// of the same key list the channel of that colour (blue for a blue screen, else green;
    /// "Automatic" uses the project's key colour).
    void UpdateColor(int index, bool update = true);
    void UpdateDetail(int value, Factor factor, bool update = true);
    void UpdateLevel(int value, Factor factor, bool update = true);
    void UpdateThreshold(int value, Factor factor, bool update = true);

private:
    ComboBox* m_color;
    SpinSlider* m_detail;
    SpinSlider* m_level;
    SpinSlider* m_threshold;
};

/// "Crop": left, right, top and bottom edges in percent.
class CropKeyWidget : public AbstractKeyWidget
{
    Q_OBJECT
public:
    CropKeyWidget(const app::CropKeyItem& item, QWidget* parent);
    void Reset() override;
    SpinSlider* LeftControl() const { return m_left; }
    SpinSlider* RightControl() const { return m_right; }
    SpinSlider* TopControl() const { return m_top; }
    SpinSlider* BottomControl() const { return m_bottom; }

public slots:
    void UpdateLeft(int value, Factor factor, bool update = true);
    void UpdateRight(int value, Factor factor, bool update = true);
    void UpdateTop(int value, Factor factor, bool update = true);
    void UpdateBottom(int value, Factor factor, bool update = true);

private:
    SpinSlider* m_left;
    SpinSlider* m_right;
    SpinSlider* m_top;
    SpinSlider* m_bottom;
};

/// "Spill Suppression": type ("Standard", "Extended") and strength in percent.
class SpillSuppressionKeyWidget : public AbstractKeyWidget
{
    Q_OBJECT
public:
    SpillSuppressionKeyWidget(const app::SpillSuppressionKeyItem& item, QWidget* parent);
    void Reset() override;
    ComboBox* TypeControl() const { return m_type; }
    SpinSlider* StrengthControl() const { return m_strength; }

public slots:
    void UpdateType(int index, bool update = true);
    void UpdateStrength(int value, Factor factor, bool update = true);

private:
    ComboBox* m_type;
    SpinSlider* m_strength;
};

/// "YUV Blur": type ("Horizontal", "Vertical", "Box", "Gaussian" = `OVYUVBlurType` 0 … 3)
/// and radius 0 … 10 pixels.
class YuvBlurKeyWidget : public AbstractKeyWidget
{
    Q_OBJECT
public:
    YuvBlurKeyWidget(const app::YuvBlurKeyItem& item, QWidget* parent);
    void Reset() override;
    ComboBox* TypeControl() const { return m_type; }
    SpinSlider* BlurControl() const { return m_blur; }

public slots:
    void UpdateType(int index, bool update = true);
    void UpdateBlur(int value, Factor factor, bool update = true);

private:
    ComboBox* m_type;
    SpinSlider* m_blur;
};

/// The panel for `item`, chosen by the item's `Type()`; null for an unknown type.
AbstractKeyWidget* CreateKeyWidget(
    const std::shared_ptr<app::AbstractKeyItem>& item, QWidget* parent);

} // namespace mtra::ui
