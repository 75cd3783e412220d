// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "compositor/LayerCompositor.h"

#include "ImageAccess.h"
#include "WorkSplit.h"
#include "compositor/CompositeColours.h"

#include <ovcommon/OVLookupTables.h>

#include <cstdint>
#include <cstring>

namespace orv::image {

LayerCompositor::LayerCompositor(OVAbstractImage* layer, double opacity, OVBlendMode mode,
    bool alphaCompositing, const OVLookupTables& tables)
    : m_layer(layer)
    , m_opacity(opacity)
    , m_alphaCompositing(alphaCompositing)
    , m_mode(mode)
    , m_weight(ScaledAlphaTable(opacity))
{
    const bool mixIsTop = MixesToTop(mode);
    if (!mixIsTop)
        m_mix = std::make_unique<const BlendTable>(tables, mode);
    if (!alphaCompositing)
        return;

    m_coverage = std::make_unique<std::uint8_t[]>(256 * 256);
    if (!mixIsTop)
        m_premultiply = std::make_unique<std::uint8_t[]>(256 * 256);
    for (int first = 0; first < 256; ++first) {
        const auto a = static_cast<unsigned char>(first);
        for (int second = 0; second < 256; ++second) {
            const auto b = static_cast<unsigned char>(second);
            const std::size_t at = std::size_t(first) << 8 | std::size_t(second);
            m_coverage[at] = static_cast<std::uint8_t>(tables.AlphaChannelBlend(a, b));
            if (m_premultiply)
                m_premultiply[at] = tables.AlphaBlend(a, b);
        }
        m_divideBy255[first] = tables.DivideBy255(a);
        m_invert[first] = tables.Invert(a);
    }

    // An opaque layer pixel may be copied when the formula gives its colour exactly for these
    // tables: coverage 255 over every background alpha, and (255 × C) × Invert(255) → C.
    m_opaqueCopies = true;
    for (int value = 0; value < 256; ++value) {
        m_opaqueCopies = m_opaqueCopies && m_coverage[std::size_t(value) << 8 | 255] == 255
            && TruncateToByte(static_cast<float>(255 * value) * m_invert[255]) == value;
    }
}

void LayerCompositor::Render(
    OVAbstractImage* background, unsigned char threadIndex, unsigned char threadCount)
{
    if (background->BitsPerChannel() != Bits8)
        return;
    const WorkRange range = ThreadByteRange(PixelCount(background), threadIndex, threadCount);
    if (range.IsEmpty())
        return;
    unsigned char* bg = Bytes(background) + range.begin;
    const unsigned char* layer = Bytes(m_layer) + range.begin;
    const bool mixIsTop = MixesToTop(m_mode);

    if (m_alphaCompositing) {
        // Replace acts as normal here: its mix is the layer colour too.
        if (mixIsTop)
            Composite<true>(bg, layer, range.Size());
        else
            Composite<false>(bg, layer, range.Size());
    } else if (m_mode == BlendModeReplace) {
        // The colour is taken unweighted, whatever the layer's alpha; background alpha stays.
        for (std::size_t i = 0; i < range.Size(); i += 4)
            std::memcpy(bg + i, layer + i, 3);
    } else if (mixIsTop) {
        Mix<true>(bg, layer, range.Size());
    } else {
        Mix<false>(bg, layer, range.Size());
    }
}

// Alpha compositing: the layer, weighted by w = alpha × opacity, goes over the background by
// the source-over rule of Porter and Duff ("Compositing Digital Images", 1984), with the mixed
// colour as the source colour:
//   a = w + Ab × (255 − w) ÷ 255                   (AlphaChannelBlend)
//   C = (Cb × Ab ÷ 255 × (255 − w) + w × mix) ÷ a
// mix is the mode's colour of the layer over the background colour premultiplied by its alpha.
// k and 1 ÷ a are single-precision and C is truncated, so an opaque layer pixel (w = 255,
// a = 255, k = 0) gives exactly its own colour.
template <bool kMixIsTop>
void LayerCompositor::Composite(
    unsigned char* bg, const unsigned char* layer, std::size_t bytes) const
{
    // Locals, not members: every byte stored to the background may alias the members for the
    // compiler, which would reload them at every pixel.
    const std::uint8_t* const weight = m_weight.data();
    const std::uint8_t* const coverage = m_coverage.get();
    const std::uint8_t* const premultiply = m_premultiply.get();
    const float* const divideBy255 = m_divideBy255.data();
    const float* const invert = m_invert.data();
    const BlendTable* const mixTable = m_mix.get();
    const bool opaqueCopies = m_opaqueCopies;
    for (std::size_t i = 0; i < bytes; i += 4) {
        const unsigned w = weight[layer[i + 3]];
        // A layer pixel of no weight leaves the background exactly as it was. The formula
        // would give the same alpha but, through the float rounding of k and 1 ÷ a, may lower
        // a colour byte by one: a transparent layer must not darken what lies beneath it. (With
        // w > 0, a ≥ w is never 0.)
        if (w == 0)
            continue;
        if (kMixIsTop && w == 255 && opaqueCopies) {
            std::memcpy(bg + i, layer + i, 3);
            bg[i + 3] = 255;
            continue;
        }
        const unsigned ba = bg[i + 3];
        const unsigned a = coverage[ba << 8 | w];
        const float k = divideBy255[ba] * static_cast<float>(255 - w);
        const float inv = invert[a];
        unsigned char mix[4];
        std::memcpy(mix, layer + i, 4);
        if constexpr (!kMixIsTop) {
            for (int c = 0; c < 3; ++c)
                mix[c] = (*mixTable)(mix[c], premultiply[std::size_t(bg[i + c]) << 8 | ba]);
        }
        CompositeColours(bg + i, mix, static_cast<float>(w), k, inv);
        bg[i + 3] = static_cast<unsigned char>(a);
    }
}

// Without alpha compositing the background alpha stays and each colour byte moves towards the
// mix by w ÷ 256: C = Cb + ((mix − Cb) × w >> 8), the shift rounding towards minus infinity
// (arithmetic shift of a negative product). The result always lies between Cb and mix.
template <bool kMixIsTop>
void LayerCompositor::Mix(unsigned char* bg, const unsigned char* layer, std::size_t bytes) const
{
    const std::uint8_t* const weight = m_weight.data();
    const BlendTable* const mixTable = m_mix.get();
    for (std::size_t i = 0; i < bytes; i += 4) {
        const int w = weight[layer[i + 3]];
        if (w == 0)
            continue;
        for (int c = 0; c < 3; ++c) {
            const int base = bg[i + c];
            int mix = layer[i + c];
            if constexpr (!kMixIsTop)
                mix = (*mixTable)(
                    static_cast<unsigned char>(mix), static_cast<unsigned char>(base));
            bg[i + c] = static_cast<unsigned char>(base + (((mix - base) * w) >> 8));
        }
    }
}

} // namespace orv::image
