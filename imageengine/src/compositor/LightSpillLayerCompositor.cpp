// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "compositor/LightSpillLayerCompositor.h"

#include "ImageAccess.h"
#include "LargeBuffer.h"
#include "WorkSplit.h"
#include "WorkerThreads.h"
#include "processor/StackBlurRenderer.h"

#include <ovimageengine/OVImage.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

namespace orv::image {

namespace {

enum SpillKind {
    kSpillTable, // the mode's mix from its table
    kSpillTop, // normal and every value outside 0 … 13: the mix is the light colour
    kSpillReplace,
};

// A whole-image intermediate in a large buffer (huge pages where the system offers them: the
// first touch of 96 MB in small pages costs more than the pass that fills it).
std::shared_ptr<OVImage8> MakeLargeImage(unsigned width, unsigned height, OVPixelChannelOrder order)
{
    struct Holder {
        LargeBuffer<unsigned char> bytes;
        OVImage8 image;
        Holder(std::size_t size, unsigned w, unsigned h, OVPixelChannelOrder o)
            : bytes(AllocateLargeBuffer<unsigned char>(size))
            , image(bytes.get(), w, h, o)
        {
        }
    };
    auto holder = std::make_shared<Holder>(std::size_t(width) * height * 4, width, height, order);
    return std::shared_ptr<OVImage8>(holder, &holder->image);
}

// Runs work(index) on W workers and rethrows the first exception any of them raised, so that
// the facade maps it to its code; every worker has been joined by then.
template <typename Work> void RunGuarded(unsigned workers, Work&& work)
{
    std::vector<std::exception_ptr> errors(workers);
    RunWorkerThreads(workers, [&](unsigned index) {
        try {
            work(index);
        } catch (...) {
            errors[index] = std::current_exception();
        }
        return 0;
    });
    for (const std::exception_ptr& error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
}

} // namespace

LightSpillLayerCompositor::LightSpillLayerCompositor(OVAbstractImage* layer, int radius,
    double strength, OVBlendMode mode, OVDownsampleFactor factor, const OVLookupTables& tables,
    const CpuFeatures& features)
    : m_layer(layer)
    , m_radius(radius)
    , m_strength(strength)
    , m_mode(mode)
    , m_factor(factor)
    , m_features(features)
    , m_weight(ScaledAlphaTable(strength))
{
    if (!MixesToTop(mode))
        m_mix = std::make_unique<const BlendTable>(tables, mode);
}

LightSpillLayerCompositor::~LightSpillLayerCompositor() = default;

void LightSpillLayerCompositor::Prepare(OVAbstractImage* background)
{
    m_light.reset();
    if (background->BitsPerChannel() != Bits8 || PixelCount(background) == 0)
        return;
    const unsigned width = background->Width();
    const unsigned height = background->Height();
    const unsigned workers = WorkerCount();

    // The light outside the subject is the background's colours with alpha 255 − layer alpha,
    // blurred like a queue stage: the blur's Prepare here, then W workers, joined before ours
    // start. The blur's row pass reads the background and the layer's alpha directly, so the
    // light itself is never copied out; its columns pass writes the blurred light.
    auto light = MakeLargeImage(width, height, background->PixelChannelOrder());
    {
        StackBlurRenderer blur(m_radius, true, true, ChannelsAll);
        blur.PrepareWithInvertedAlpha(background, m_layer);
        RunGuarded(workers, [&](unsigned index) {
            blur.Render(background, light.get(), static_cast<unsigned char>(index),
                static_cast<unsigned char>(workers));
        });
    }
    m_light = std::move(light);
}

void LightSpillLayerCompositor::Render(
    OVAbstractImage* background, unsigned char threadIndex, unsigned char threadCount)
{
    if (!m_light || background->BitsPerChannel() != Bits8
        || m_light->BufferByteSize() != background->BufferByteSize())
        return;
    const WorkRange range = ThreadByteRange(PixelCount(background), threadIndex, threadCount);
    if (range.IsEmpty())
        return;
    unsigned char* bg = Bytes(background) + range.begin;
    const unsigned char* layer = Bytes(m_layer) + range.begin;
    const unsigned char* light = m_light->Buffer() + range.begin;
    if (m_mode == BlendModeReplace)
        Spill<kSpillReplace>(bg, layer, light, range.Size());
    else if (MixesToTop(m_mode))
        Spill<kSpillTop>(bg, layer, light, range.Size());
    else
        Spill<kSpillTable>(bg, layer, light, range.Size());
}

// For each colour byte, with s the layer pixel, e the blurred light and Ae its alpha:
//   t = s + ((mix(e, s) − s) × Ae >> 8)     (replace: t = e)
//   C = Cb + ((t − Cb) × w >> 8),  w = integer part of As × strength, limited to 0 … 255
// Both steps move a value towards another by a fraction below one (arithmetic shifts round
// towards minus infinity), so every result stays within 0 … 255. Where the light is fully
// transparent t is the layer colour; where the layer weighs nothing, nothing changes. The pass
// is bound by memory bandwidth (four whole-image streams), not by this arithmetic.
template <int kKind>
void LightSpillLayerCompositor::Spill(unsigned char* bg, const unsigned char* layer,
    const unsigned char* light, std::size_t bytes) const
{
    // Locals, not members: byte stores to the background may alias them for the compiler.
    const std::uint8_t* const weight = m_weight.data();
    const BlendTable* const mixTable = m_mix.get();
    for (std::size_t i = 0; i < bytes; i += 4) {
        const int w = weight[layer[i + 3]];
        if (w == 0)
            continue;
        const int lightAlpha = light[i + 3];
        for (std::size_t c = i; c < i + 3; ++c) {
            int tinted = light[c];
            if constexpr (kKind != kSpillReplace) {
                const int base = layer[c];
                // With no light the mix is weighted by 0: inside the subject, farther than the
                // radius from its edge, the table need not be read.
                const int mix = kKind == kSpillTable && lightAlpha != 0
                    ? (*mixTable)(light[c], layer[c])
                    : light[c];
                tinted = base + (((mix - base) * lightAlpha) >> 8);
            }
            const int colour = bg[c];
            bg[c] = static_cast<unsigned char>(colour + (((tinted - colour) * w) >> 8));
        }
    }
}

} // namespace orv::image
