// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/ColorBalanceRenderer.h"

namespace orv::image {

ColorBalanceRenderer::ColorBalanceRenderer(
    double red, double green, double blue, const CpuFeatures& features)
    : TableRenderer(features)
    , m_red(red)
    , m_green(green)
    , m_blue(blue)
{
}

void ColorBalanceRenderer::Prepare(OVAbstractImage*)
{
    const double factor[4] = { m_blue, m_green, m_red, 1.0 };
    const double offset[4] = { 0, 0, 0, 0 };
    for (int c = 0; c < 3; ++c) {
        for (int v = 0; v < 256; ++v)
            m_tables.entry[c][v] = pixeltables::Clamp(static_cast<int>(v * factor[c]));
    }
    m_tables.SetIdentity(3);
    UseScale(offset, factor);
}

} // namespace orv::image
