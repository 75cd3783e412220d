// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "processor/TableRenderer.h"

namespace orv::image {

/// Colour balance: each colour byte scaled by its factor (0 … 2), clamp(trunc(v × factor));
/// alpha copied. Only `Bits8` sources in `PixelOrderBGRA`. SSE2: single-precision scaling,
/// checked against the tables in `Prepare`.
class ColorBalanceRenderer : public TableRenderer
{
public:
    ColorBalanceRenderer(double red, double green, double blue,
        const CpuFeatures& features = CpuFeatures::Detected());
    void Prepare(OVAbstractImage* source) override;

private:
    double m_red;
    double m_green;
    double m_blue;
};

} // namespace orv::image
