// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"

#include <ovimageengine/OVEnums.h>

namespace orv::image {

/// Spill suppression: pulls the spill channel (and, extended, red) of every pixel towards a
/// limit set by the other channels, by k ÷ 256 of the way with k = trunc(strength × 255).
/// `ChannelGreen` and `ChannelBlue`; any other channel leaves the colours unchanged. Alpha is
/// copied. `Bits8` sources, read as B, G, R, A whatever their order.
class SpillSuppressor : public AbstractRenderer
{
public:
    /// strength: the facade's transparency × preview scale, 0 … 1.
    SpillSuppressor(OVChannel channel, bool extended, double strength);

    bool NeedsWholeImage() const override { return false; }
    void Prepare(OVAbstractImage*) override { }
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    double Strength() const { return m_strength; }
    /// One pixel through the rule (bytes B, G, R; k as above).
    static void Suppress(OVChannel channel, bool extended, int k, unsigned char& b,
        unsigned char& g, unsigned char& r);

private:
    OVChannel m_channel;
    bool m_extended;
    double m_strength;
};

} // namespace orv::image
