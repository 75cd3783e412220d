// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "processor/TableRenderer.h"

#include <ovimageengine/OVEnums.h>

namespace orv::image {

/// Super contrast (levels): with lo = trunc(black × 255), hi = trunc(white × 255) and
/// s = 256 ÷ (hi − lo + 1), a selected byte v becomes 255 above hi, 0 below lo, else
/// clamp(trunc((v − lo) × s)). Channel selection as for brightness. Only `Bits8` sources in
/// `PixelOrderBGRA`. Vectorised (where SSE2 is present) by single-precision scaling, checked
/// against the table in `Prepare`.
class SuperContrastRenderer : public TableRenderer
{
public:
    SuperContrastRenderer(double black, double white, OVChannelsToProcess channels,
        const CpuFeatures& features = CpuFeatures::Detected());
    void Prepare(OVAbstractImage* source) override;

private:
    double m_black;
    double m_white;
    OVChannelsToProcess m_channels;
};

} // namespace orv::image
