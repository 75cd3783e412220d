// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/SuperContrastRenderer.h"

namespace orv::image {

SuperContrastRenderer::SuperContrastRenderer(
    double black, double white, OVChannelsToProcess channels, const CpuFeatures& features)
    : TableRenderer(features)
    , m_black(black)
    , m_white(white)
    , m_channels(channels)
{
}

void SuperContrastRenderer::Prepare(OVAbstractImage*)
{
    bool selected[4];
    if (!SelectedBytes(m_channels, selected)) {
        WriteNothing();
        return;
    }
    const int lo = static_cast<int>(m_black * 255);
    const int hi = static_cast<int>(m_white * 255);
    // With black above white the middle case is never reached; keep s finite anyway.
    const int span = hi - lo + 1;
    const double s = span != 0 ? 256.0 / span : 0.0;
    double factor[4];
    double offset[4];
    for (int c = 0; c < 4; ++c) {
        if (!selected[c]) {
            m_tables.SetIdentity(c);
            factor[c] = 1.0;
            offset[c] = 0.0;
            continue;
        }
        for (int v = 0; v < 256; ++v) {
            int value;
            if (v > hi)
                value = 255;
            else if (v < lo)
                value = 0;
            else
                value = static_cast<int>((v - lo) * s);
            m_tables.entry[c][v] = pixeltables::Clamp(value);
        }
        // Above hi the scaled value is at least about 256 and below lo negative, so one
        // clamped scaling covers all three cases whenever black ≤ white.
        factor[c] = s;
        offset[c] = -lo;
    }
    UseScale(offset, factor);
}

} // namespace orv::image
