// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "processor/TableRenderer.h"

#include <ovimageengine/OVEnums.h>

namespace orv::image {

/// Brightness: adds d = trunc(brightness × 255) to the selected bytes, clamped to 0 … 255.
/// Channels 4 (colour), 3 (alpha) or 5 (all); any other selection writes nothing. Only `Bits8`
/// sources in `PixelOrderBGRA`. SSE2: saturating byte additions.
class BrightnessRenderer : public TableRenderer
{
public:
    BrightnessRenderer(double brightness, OVChannelsToProcess channels,
        const CpuFeatures& features = CpuFeatures::Detected());
    void Prepare(OVAbstractImage* source) override;

    double Brightness() const { return m_brightness; }
    OVChannelsToProcess Channels() const { return m_channels; }

private:
    double m_brightness;
    OVChannelsToProcess m_channels;
};

} // namespace orv::image
