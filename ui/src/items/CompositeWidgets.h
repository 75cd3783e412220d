// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "items/AbstractItemWidget.h"

#include <app/CompositeItems.h>

namespace mtra::ui {

class ComboBox;
class SpinSlider;

/// "Transparency": the foreground's transparency on the canvas, 0 … 100 %.
class FlattenCompositeWidget : public AbstractCompositeWidget
{
    Q_OBJECT
public:
    FlattenCompositeWidget(const app::FlattenCompositeItem& item, QWidget* parent);
    void Reset() override;
    SpinSlider* TransparencyControl() const { return m_transparency; }

public slots:
    void UpdateTransparency(int value, Factor factor, bool update = true);

private:
    SpinSlider* m_transparency;
};

/// "Light Spill": blur size 0 … 200 pixels and the blend mode ("Add", "Lighten", "Normal",
/// "Screen", "Soft Light" = `OVBlendMode` 0, 7, 9, 11, 12).
class LightSpillCompositeWidget : public AbstractCompositeWidget
{
    Q_OBJECT
public:
    LightSpillCompositeWidget(const app::LightSpillCompositeItem& item, QWidget* parent);
    void Reset() override;
    SpinSlider* SizeControl() const { return m_size; }
    ComboBox* BlendControl() const { return m_blend; }

    /// The blend mode of combo index `index`, and back (-1 for a mode the combo lacks).
    static orv::image::OVBlendMode BlendModeOfIndex(int index);
    static int IndexOfBlendMode(orv::image::OVBlendMode mode);

public slots:
    void UpdateSize(int value, Factor factor, bool update = true);
    void UpdateBlend(int index, bool update = true);

private:
    SpinSlider* m_size;
    ComboBox* m_blend;
};

/// The panel for `item`: the flatten composite by its `Type()`, light spill otherwise.
AbstractCompositeWidget* CreateCompositeWidget(
    const std::shared_ptr<app::AbstractCompositeItem>& item, QWidget* parent);

} // namespace mtra::ui
