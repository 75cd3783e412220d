// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/BrightnessRenderer.h"

namespace orv::image {

BrightnessRenderer::BrightnessRenderer(
    double brightness, OVChannelsToProcess channels, const CpuFeatures& features)
    : TableRenderer(features)
    , m_brightness(brightness)
    , m_channels(channels)
{
}

void BrightnessRenderer::Prepare(OVAbstractImage*)
{
    bool selected[4];
    if (!SelectedBytes(m_channels, selected)) {
        WriteNothing();
        return;
    }
    const int d = static_cast<int>(m_brightness * 255);
    int delta[4];
    for (int c = 0; c < 4; ++c) {
        delta[c] = selected[c] ? d : 0;
        for (int v = 0; v < 256; ++v)
            m_tables.entry[c][v] = pixeltables::Clamp(v + delta[c]);
    }
    UseAdd(delta);
}

} // namespace orv::image
