// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"

namespace orv::image {

/// Saturation in HSV (floating point): the pixel's saturation is multiplied by the factor
/// (0 … 2) and limited to 1, keeping hue and value; factor 0 turns a pixel into grey at its
/// largest channel value. Only `Bits8` sources in `PixelOrderBGRA`; alpha copied.
class SaturationRenderer : public AbstractRenderer
{
public:
    explicit SaturationRenderer(double saturation);

    bool NeedsWholeImage() const override { return false; }
    /// Builds the reciprocals 1 ÷ i, i = 1 … 255.
    void Prepare(OVAbstractImage* source) override;
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    /// One pixel through the rule, with reciprocals[i] = 1 ÷ i.
    static void Saturate(double saturation, const double* reciprocals, unsigned char& r,
        unsigned char& g, unsigned char& b);

private:
    double m_saturation;
    double m_reciprocals[256] = {};
};

} // namespace orv::image
