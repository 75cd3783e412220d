// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractCompositor.h"
#include "compositor/BlendModes.h"

#include <ovimageengine/OVEnums.h>

#include <array>
#include <cstdint>
#include <memory>

namespace orv {
class OVLookupTables;
}

namespace orv::image {

/// Blends one layer onto the background in place, in one of the fourteen blend modes, with or
/// without alpha compositing. Works on `Bits8` backgrounds only (any other depth is left as it
/// is); bytes are read as B, G, R, A whatever the channel order.
///
/// The layer must have the background's layout (the facade checks it) and stay alive while
/// the stage renders. Immutable after construction; workers share it read-only.
class LayerCompositor : public AbstractCompositor
{
public:
    /// opacity in 0 … 1 (checked by the facade). Throws std::bad_alloc.
    LayerCompositor(OVAbstractImage* layer, double opacity, OVBlendMode mode, bool alphaCompositing,
        const OVLookupTables& tables);

    bool NeedsWholeImage() const override { return false; }
    void Prepare(OVAbstractImage*) override { }
    void Render(
        OVAbstractImage* background, unsigned char threadIndex, unsigned char threadCount) override;

    OVAbstractImage* Layer() const { return m_layer; }
    double Opacity() const { return m_opacity; }
    OVBlendMode Mode() const { return m_mode; }
    bool AlphaCompositing() const { return m_alphaCompositing; }

private:
    template <bool kMixIsTop>
    void Composite(unsigned char* bg, const unsigned char* layer, std::size_t bytes) const;
    template <bool kMixIsTop>
    void Mix(unsigned char* bg, const unsigned char* layer, std::size_t bytes) const;

    OVAbstractImage* m_layer;
    double m_opacity;
    bool m_alphaCompositing;
    OVBlendMode m_mode;

    // Copies of what the inner loops need, taken from the lookup tables at creation (the stage
    // keeps no reference to them): the layer weight w of each layer alpha, the mode's mix, and
    // for alpha compositing AlphaBlend, the coverage AlphaChannelBlend, DivideBy255 and Invert.
    std::array<std::uint8_t, 256> m_weight;
    std::unique_ptr<const BlendTable> m_mix;
    std::unique_ptr<std::uint8_t[]> m_premultiply; // [colour][alpha]
    std::unique_ptr<std::uint8_t[]> m_coverage; // [background alpha][w]
    std::array<float, 256> m_divideBy255 {};
    std::array<float, 256> m_invert {};
    bool m_opaqueCopies = false;
};

} // namespace orv::image
