// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"
#include "processor/Avx2Support.h"

#include <cstddef>

namespace orv::image {

/// Saturation in HSV (floating point): the pixel's saturation is multiplied by the factor
/// (0 … 2) and limited to 1, keeping hue and value; factor 0 turns a pixel into grey at its
/// largest channel value. Only `Bits8` sources in `PixelOrderBGRA`; alpha copied.
///
/// The AVX2 loop runs the rule's own double-precision operations, in the same order, on four
/// pixels at a time (the branches become selections), so it gives the plain loop's bytes.
class SaturationRenderer : public AbstractRenderer
{
public:
    /// avx2: whether `Render` may take its AVX2 loop (tests turn it off to compare the two).
    explicit SaturationRenderer(double saturation, bool avx2 = Avx2Available());

    bool NeedsWholeImage() const override { return false; }
    /// Builds the reciprocals 1 ÷ i, i = 1 … 255.
    void Prepare(OVAbstractImage* source) override;
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    /// One pixel through the rule, with reciprocals[i] = 1 ÷ i.
    static void Saturate(double saturation, const double* reciprocals, unsigned char& r,
        unsigned char& g, unsigned char& b);

private:
    void RenderPlain(const unsigned char* in, unsigned char* out, std::size_t bytes) const;
    bool UsesAvx2() const;
#if MTRA_HAVE_AVX2_PATHS
    void RenderAvx2(const unsigned char* in, unsigned char* out, std::size_t bytes) const;
#endif

    double m_saturation;
    bool m_avx2;
    double m_reciprocals[256] = {};
};

} // namespace orv::image
