// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractCompositor.h"
#include "CpuFeatures.h"
#include "compositor/BlendModes.h"

#include <ovimageengine/OVEnums.h>

#include <array>
#include <cstdint>
#include <memory>

namespace orv {
class OVLookupTables;
}

namespace orv::image {

class OVImage8;

/// Composites a keyed layer onto the background while tinting it with the background's own
/// light, so that the subject looks lit by the new scene.
///
/// `Prepare` takes the background light that lies outside the subject (the background with
/// alpha 255 − layer alpha) and blurs it with a stack blur of the stage's radius on W workers
/// of its own: once per render, not per worker. Each `Render` worker then mixes, over its byte
/// range, the layer colour with that light in the stage's mode (weighted by the light's alpha)
/// and moves the background colour towards the result by the layer weight; the background
/// alpha stays. `Bits8` backgrounds only; bytes are read as B, G, R, A.
///
/// The layer must have the background's layout (the facade checks it) and stay alive while
/// the stage renders. Threads: `Prepare` on the calling thread; `Render` reads the stage only.
class LightSpillLayerCompositor : public AbstractCompositor
{
public:
    /// radius: already scaled by the facade's preview factor. factor: kept, not used.
    /// features: recorded like every stage's; the spill pass takes its SSE2 loop when they
    /// report SSE2 (byte for byte the plain loop). Throws std::bad_alloc.
    LightSpillLayerCompositor(OVAbstractImage* layer, int radius, double strength, OVBlendMode mode,
        OVDownsampleFactor factor, const OVLookupTables& tables,
        const CpuFeatures& features = CpuFeatures::Detected());
    ~LightSpillLayerCompositor() override;

    bool NeedsWholeImage() const override { return true; }
    void Prepare(OVAbstractImage* background) override;
    void Render(
        OVAbstractImage* background, unsigned char threadIndex, unsigned char threadCount) override;

    OVAbstractImage* Layer() const { return m_layer; }
    int Radius() const { return m_radius; }
    double Strength() const { return m_strength; }
    OVBlendMode Mode() const { return m_mode; }
    OVDownsampleFactor Factor() const { return m_factor; }
    const CpuFeatures& Features() const { return m_features; }
    /// The blurred light of the last `Prepare`; null before it or for a background it skips.
    const OVImage8* BlurredLight() const { return m_light.get(); }

private:
    template <int kKind>
    void SpillRange(unsigned char* bg, const unsigned char* layer, const unsigned char* light,
        std::size_t bytes) const;
    template <int kKind>
    void SpillSse2(unsigned char* bg, const unsigned char* layer, const unsigned char* light,
        std::size_t bytes) const;
    template <int kKind>
    void Spill(unsigned char* bg, const unsigned char* layer, const unsigned char* light,
        std::size_t bytes) const;

    std::shared_ptr<OVImage8> m_light;
    OVAbstractImage* m_layer;
    int m_radius;
    double m_strength;
    OVBlendMode m_mode;
    OVDownsampleFactor m_factor;
    CpuFeatures m_features;

    // The layer weight w of each layer alpha and the mode's mix, taken at creation.
    std::array<std::uint8_t, 256> m_weight;
    std::unique_ptr<const BlendTable> m_mix;
    // The loop the mode's mix takes, and whether every weight equals its alpha (strength 1).
    int m_kind = 0;
    bool m_weightIsAlpha = false;
};

} // namespace orv::image
