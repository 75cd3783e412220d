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
/// pixels at a time (the branches become selections), so it gives the plain loop's bytes. The
/// AVX-512 loop runs them on eight, except that it divides by `CorrectedQuotient`, which gives
/// the same quotients.
class SaturationRenderer : public AbstractRenderer
{
public:
    /// avx2: whether `Render` may take a vector loop; avx512: whether that may be the AVX-512
    /// one (tests turn them off to compare the loops).
    explicit SaturationRenderer(
        double saturation, bool avx2 = Avx2Available(), bool avx512 = Avx512Available());

    bool NeedsWholeImage() const override { return false; }
    /// Builds the reciprocals 1 ÷ i, i = 1 … 255.
    void Prepare(OVAbstractImage* source) override;
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    /// a ÷ b without a division, from a reciprocal of b within an ulp or two of 1 ÷ b: the
    /// product, then one step with its exact residue a − b × product (fused multiply-adds).
    /// For the rule's two quotients, numerator ÷ range with |numerator| ≤ range ≤ 255 and
    /// hue ÷ 60 with fl(1 ÷ 60), this is the correctly rounded quotient, the division's own
    /// (the tests go through every case and every reciprocal within two ulps).
    static double CorrectedQuotient(double a, double b, double reciprocal);

    /// One pixel through the rule, with reciprocals[i] = 1 ÷ i.
    static void Saturate(double saturation, const double* reciprocals, unsigned char& r,
        unsigned char& g, unsigned char& b);

private:
    void RenderPlain(const unsigned char* in, unsigned char* out, std::size_t bytes) const;
    bool UsesAvx2() const;
#if MTRA_HAVE_AVX2_PATHS
    void RenderAvx2(const unsigned char* in, unsigned char* out, std::size_t bytes) const;
    void RenderAvx512(const unsigned char* in, unsigned char* out, std::size_t bytes) const;
#endif

    double m_saturation;
    bool m_avx2;
    bool m_avx512;
    double m_reciprocals[256] = {};
};

} // namespace orv::image
