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
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv::image {

namespace {

enum SpillKind {
    kSpillTable, // the mode's mix from its table
    kSpillTop, // normal and every value outside 0 … 13: the mix is the light colour
    kSpillReplace,
    kSpillMax, // a table that is max(top, base) (lighten)
    kSpillMin, // a table that is min(top, base) (darken)
};

// The kind of loop the mix of `mode` takes; `table` is the mode's table (null for modes that
// mix to the light colour). A table is checked pair by pair before max or min stands in for it.
SpillKind KindOf(OVBlendMode mode, const BlendTable* table)
{
    if (mode == BlendModeReplace)
        return kSpillReplace;
    if (!table)
        return kSpillTop;
    bool isMax = true;
    bool isMin = true;
    for (int top = 0; top < 256; ++top) {
        for (int base = 0; base < 256; ++base) {
            const int mix
                = (*table)(static_cast<unsigned char>(top), static_cast<unsigned char>(base));
            isMax = isMax && mix == std::max(top, base);
            isMin = isMin && mix == std::min(top, base);
        }
    }
    return isMax ? kSpillMax : isMin ? kSpillMin : kSpillTable;
}

#if defined(__SSE2__)

// ((d × a) >> 8) for 16-bit lanes with −255 ≤ d ≤ 255 and 0 ≤ a ≤ 255: the high half of the
// product (2d) × (128a) = 256 d a is floor(256 d a ÷ 65536), the arithmetic shift of d a by 8.
inline __m128i ShiftedProduct(__m128i d, __m128i a)
{
    return _mm_mulhi_epi16(_mm_slli_epi16(d, 1), _mm_slli_epi16(a, 7));
}

// Each pixel's lane 3 (its alpha) in all four of its lanes.
inline __m128i SpreadAlpha(__m128i words)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(words, 0xff), 0xff);
}

#endif

// A whole-image intermediate in a large buffer (huge pages where the system offers them: the
// first touch of 96 MB in small pages costs more than the pass that fills it).
std::shared_ptr<OVImage8> WrapLargeImage(
    LargeBuffer<unsigned char> buffer, unsigned width, unsigned height, OVPixelChannelOrder order)
{
    struct Holder {
        LargeBuffer<unsigned char> bytes;
        OVImage8 image;
        Holder(LargeBuffer<unsigned char> b, unsigned w, unsigned h, OVPixelChannelOrder o)
            : bytes(std::move(b))
            , image(bytes.get(), w, h, o)
        {
        }
    };
    auto holder = std::make_shared<Holder>(std::move(buffer), width, height, order);
    return std::shared_ptr<OVImage8>(holder, &holder->image);
}

std::shared_ptr<OVImage8> MakeLargeImage(unsigned width, unsigned height, OVPixelChannelOrder order)
{
    return WrapLargeImage(
        AllocateLargeBuffer<unsigned char>(std::size_t(width) * height * 4), width, height, order);
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
    m_kind = KindOf(mode, m_mix.get());
    m_weightIsAlpha = true;
    for (int alpha = 0; alpha < 256; ++alpha)
        m_weightIsAlpha = m_weightIsAlpha && m_weight[alpha] == alpha;
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
    // light itself is never copied out. Where it can, the column pass then blurs the
    // row-blurred copy in place, which becomes the blurred light: no second whole-image buffer
    // to allocate and fault in.
    StackBlurRenderer blur(m_radius, true, true, ChannelsAll);
    blur.PrepareWithInvertedAlpha(background, m_layer);
    const OVPixelChannelOrder order = background->PixelChannelOrder();
    if (blur.CanBlurInPlace(workers)) {
        RunGuarded(workers, [&](unsigned index) { blur.BlurInPlace(index, workers); });
        m_light = WrapLargeImage(blur.TakeBlurred(), width, height, order);
        return;
    }
    auto light = MakeLargeImage(width, height, order);
    RunGuarded(workers, [&](unsigned index) {
        blur.Render(background, light.get(), static_cast<unsigned char>(index),
            static_cast<unsigned char>(workers));
    });
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
    switch (m_kind) {
    case kSpillReplace:
        SpillRange<kSpillReplace>(bg, layer, light, range.Size());
        break;
    case kSpillTop:
        SpillRange<kSpillTop>(bg, layer, light, range.Size());
        break;
    case kSpillMax:
        SpillRange<kSpillMax>(bg, layer, light, range.Size());
        break;
    case kSpillMin:
        SpillRange<kSpillMin>(bg, layer, light, range.Size());
        break;
    default:
        SpillRange<kSpillTable>(bg, layer, light, range.Size());
        break;
    }
}

template <int kKind>
void LightSpillLayerCompositor::SpillRange(unsigned char* bg, const unsigned char* layer,
    const unsigned char* light, std::size_t bytes) const
{
    std::size_t done = 0;
#if defined(__SSE2__)
    if (m_features.UsesSse2()) {
        done = bytes / 16 * 16;
        SpillSse2<kKind>(bg, layer, light, done);
    }
#endif
    // Max and min are their tables' values: the plain loop reads the table.
    constexpr int kPlain = kKind == kSpillMax || kKind == kSpillMin ? int(kSpillTable) : kKind;
    Spill<kPlain>(bg + done, layer + done, light + done, bytes - done);
}

#if defined(__SSE2__)

// `Spill` on four pixels at a time in 16-bit lanes, with the same integer steps. The layer
// weights come from the table unless they equal the alpha; table modes other than max and min
// read their mixes byte by byte.
template <int kKind>
void LightSpillLayerCompositor::SpillSse2(unsigned char* bg, const unsigned char* layer,
    const unsigned char* light, std::size_t bytes) const
{
    const std::uint8_t* const weight = m_weight.data();
    const BlendTable* const mixTable = m_mix.get();
    const bool weightIsAlpha = m_weightIsAlpha;
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    for (std::size_t i = 0; i < bytes; i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bg + i));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(layer + i));
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(light + i));
        __m128i mix = e;
        if constexpr (kKind == kSpillMax) {
            mix = _mm_max_epu8(e, s);
        } else if constexpr (kKind == kSpillMin) {
            mix = _mm_min_epu8(e, s);
        } else if constexpr (kKind == kSpillTable) {
            alignas(16) unsigned char mixed[16];
            for (int k = 0; k < 16; ++k)
                mixed[k] = (*mixTable)(light[i + k], layer[i + k]);
            mix = _mm_load_si128(reinterpret_cast<const __m128i*>(mixed));
        }
        __m128i w;
        if (weightIsAlpha) {
            w = s;
        } else {
            alignas(16) unsigned char weights[16] = {};
            for (int k = 3; k < 16; k += 4)
                weights[k] = weight[layer[i + k]];
            w = _mm_load_si128(reinterpret_cast<const __m128i*>(weights));
        }
        auto half = [&](auto unpack) {
            const __m128i b16 = unpack(b, zero);
            const __m128i s16 = unpack(s, zero);
            const __m128i e16 = unpack(e, zero);
            __m128i tinted = e16;
            if constexpr (kKind != kSpillReplace) {
                const __m128i mix16 = unpack(mix, zero);
                tinted = _mm_add_epi16(
                    s16, ShiftedProduct(_mm_sub_epi16(mix16, s16), SpreadAlpha(e16)));
            }
            const __m128i w16 = SpreadAlpha(unpack(w, zero));
            const __m128i moved
                = _mm_add_epi16(b16, ShiftedProduct(_mm_sub_epi16(tinted, b16), w16));
            // The background's alpha stays.
            return _mm_or_si128(
                _mm_and_si128(alphaLanes, b16), _mm_andnot_si128(alphaLanes, moved));
        };
        const __m128i low = half([](__m128i x, __m128i z) { return _mm_unpacklo_epi8(x, z); });
        const __m128i high = half([](__m128i x, __m128i z) { return _mm_unpackhi_epi8(x, z); });
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bg + i), _mm_packus_epi16(low, high));
    }
}

#endif

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
