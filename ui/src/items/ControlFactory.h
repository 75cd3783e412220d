// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "controls/CompoundControls.h"

namespace mtra::ui {

// Controls of the item panels: each marks the current stage stale at quarter resolution when
// it is pressed, so a drag starts from a fresh quarter preview.

inline SpinSlider* ItemSpinSlider(
    int defaultValue, int minimum, int maximum, const QString& suffix = QString())
{
    auto* control = new SpinSlider(defaultValue, minimum, maximum);
    control->SetSuffix(suffix);
    control->SetInvalidatesOnPress(true);
    return control;
}

inline DoubleSpinSlider* ItemDoubleSpinSlider(double minimum, double maximum, double defaultValue)
{
    auto* control = new DoubleSpinSlider(nullptr, minimum, maximum, defaultValue);
    control->SetInvalidatesOnPress(true);
    return control;
}

} // namespace mtra::ui
