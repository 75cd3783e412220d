// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <cmath>
#include <limits>

namespace mtra::app {

/// A radius in pixels as the engine's blur setters take it: truncated toward zero. Items store
/// any value, and converting a negative, NaN or too large double to unsigned is undefined, so
/// those give 0 (negative, NaN) or the largest radius.
inline unsigned int WholePixels(double radius)
{
    if (!(radius > 0.0))
        return 0;
    if (radius >= static_cast<double>(std::numeric_limits<unsigned int>::max()))
        return std::numeric_limits<unsigned int>::max();
    return static_cast<unsigned int>(radius);
}

} // namespace mtra::app
