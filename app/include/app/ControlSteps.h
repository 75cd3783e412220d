// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AppExport.h>

namespace mtra::app {

/// The integer scale of one of the program's value controls and how an item value maps onto
/// it: an item value x is shown as the step nearest to (x + offset) × stepsPerUnit, held to
/// minimum … maximum as the control holds it; step s stands for s / stepsPerUnit − offset.
///
/// Items decide whether they do anything (`HasEffect()`) on these steps, not on the raw value,
/// and the item widgets convert with the same functions, so an item is neutral exactly when
/// its widget shows the neutral setting. A colour temperature of 5000 is step 6500 and so
/// neutral; a brightness of 0.004 is step 0 and so neutral as well.
struct ValueControl {
    int minimum;
    int maximum;
    double stepsPerUnit;
    double offset;
};

/// Blur radius and light-spill size in pixels: 0 … 200.
inline constexpr ValueControl kRadiusControl { 0, 200, 1.0, 0.0 };
/// YUV blur radius in pixels: 0 … 10.
inline constexpr ValueControl kYuvBlurControl { 0, 10, 1.0, 0.0 };
/// Brightness in percent: −100 … 100.
inline constexpr ValueControl kBrightnessControl { -100, 100, 100.0, 0.0 };
/// Any value 0 … 1 shown in percent (crop edges, levels, strengths, transparency).
inline constexpr ValueControl kPercentControl { 0, 100, 100.0, 0.0 };
/// Saturation and colour-balance factors 0 … 2 in steps of 0.01.
inline constexpr ValueControl kFactorControl { 0, 200, 100.0, 0.0 };
/// Colour temperature in kelvin, 3000 … 15000; the item stores the control value − 1500.
inline constexpr ValueControl kColorTemperatureControl { 3000, 15000, 1.0, 1500.0 };

/// The control step showing `value`: nearest step (halves away from zero), held to the
/// control's range; a NaN gives the minimum.
APP_EXPORT int ToControlSteps(double value, const ValueControl& control);

/// The item value that control step `steps` stands for.
APP_EXPORT double FromControlSteps(int steps, const ValueControl& control);

} // namespace mtra::app
