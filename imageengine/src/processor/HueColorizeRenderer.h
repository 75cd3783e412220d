// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"

namespace orv::image {

/// Hue colorize: gives every coloured pixel the stage's hue, keeping its lightness and
/// saturation (integer HLS), then mixes the result with the pixel by keep = 1 − strength. Grey
/// pixels are unchanged. `Bits8` sources only; bytes are read as B, G, R, A, and in
/// `PixelOrderARGB` as A, R, G, B. Alpha is copied.
class HueColorizeRenderer : public AbstractRenderer
{
public:
    /// hue in degrees (0 … 360), strength 0 … 1.
    HueColorizeRenderer(double hue, double strength);

    bool NeedsWholeImage() const override { return false; }
    void Prepare(OVAbstractImage*) override { }
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    /// The colour of (r, g, b) with its hue replaced by `hue` (whole degrees), or the colour
    /// itself when it is grey.
    static void Colorize(int hue, int& r, int& g, int& b);

private:
    double m_hue;
    double m_keep;
};

} // namespace orv::image
