// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ControlSteps.h>

#include <cmath>

namespace mtra::app {

int ToControlSteps(double value, const ValueControl& control)
{
    const double scaled = (value + control.offset) * control.stepsPerUnit;
    // Held to the range before rounding, so that huge or infinite values cannot overflow.
    if (std::isnan(scaled) || scaled <= control.minimum)
        return control.minimum;
    if (scaled >= control.maximum)
        return control.maximum;
    return static_cast<int>(std::lround(scaled));
}

double FromControlSteps(int steps, const ValueControl& control)
{
    return steps / control.stepsPerUnit - control.offset;
}

} // namespace mtra::app
