// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"
#include "processor/Avx2Support.h"

#include <cstdint>
#include <memory>

namespace orv::image {

/// Hue colorize: gives every coloured pixel the stage's hue, keeping its lightness and
/// saturation (integer HLS), then mixes the result with the pixel by keep = 1 − strength. Grey
/// pixels are unchanged. `Bits8` sources only; bytes are read as B, G, R, A, and in
/// `PixelOrderARGB` as A, R, G, B. Alpha is copied.
///
/// The colorized colour depends only on the largest and smallest of the pixel's three colour
/// bytes (lightness and saturation come from them, the hue is the stage's), and the mix only on
/// the byte and its colorized value; `Prepare` tabulates both rules once per render, so that a
/// pixel costs four table reads whatever its colours.
class HueColorizeRenderer : public AbstractRenderer
{
public:
    /// hue in degrees (0 … 360), strength 0 … 1. avx2: whether `Render` may take its AVX2 loop
    /// (tests turn it off to compare the two).
    HueColorizeRenderer(double hue, double strength, bool avx2 = Avx2Available());
    ~HueColorizeRenderer() override;

    bool NeedsWholeImage() const override { return false; }
    /// Builds the tables of the colorized colours and of the mix.
    void Prepare(OVAbstractImage* source) override;
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    /// The colour of (r, g, b) with its hue replaced by `hue` (whole degrees), or the colour
    /// itself when it is grey.
    static void Colorize(int hue, int& r, int& g, int& b);
    /// One byte of the result: clamp(integer part of (own − colorized) × keep + colorized).
    static unsigned char Mix(int own, int colorized, double keep);

    /// After `Prepare`: whether the AVX2 loop mixes in single precision (see `FitSingleMix`).
    bool MixesInSinglePrecision() const { return m_singleMix; }

private:
    enum class Path { Copy, Colorized, Mixed };

    // Chooses the single-precision mix when it gives every entry of the mix table.
    void FitSingleMix();
    float SingleMixFactor(int difference) const;
    int SingleMixStep(int difference) const;

    void RenderPlain(
        const unsigned char* in, unsigned char* out, std::size_t bytes, bool argb) const;
#if MTRA_HAVE_AVX2_PATHS
    void RenderAvx2(const unsigned char* in, unsigned char* out, std::size_t bytes) const;
#endif

    double m_hue;
    double m_keep;
    bool m_avx2;

    // Built by Prepare. Entry [mx × 256 + mn] (mx ≥ mn) holds the colorized B, G, R of any
    // pixel whose largest colour byte is mx and smallest mn, in the bytes 0, 1, 2 of a
    // little-endian word; entry [own × 256 + colorized] of the mix is the resulting byte.
    Path m_path = Path::Mixed;
    std::unique_ptr<std::uint32_t[]> m_colorized;
    std::unique_ptr<std::uint8_t[]> m_mix;
    bool m_singleMix = false;
    float m_keepUp = 1.0f;
    float m_keepDown = 1.0f;
};

} // namespace orv::image
