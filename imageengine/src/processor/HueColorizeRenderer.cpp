// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/HueColorizeRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"
#include "processor/PixelTables.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orv::image {

namespace {

// One channel of the HLS to RGB conversion on the 0 … 360 scale (Foley and van Dam, Computer
// Graphics: Principles and Practice, HLS_TO_RGB), in integers; t is brought into 0 … 360 once.
int HueValue(int m1, int m2, int t)
{
    if (t < 0)
        t += 360;
    else if (t > 360)
        t -= 360;
    if (t < 60)
        return m1 + ((m2 - m1) * t + 30) / 60;
    if (t < 180)
        return m2;
    if (t < 240)
        return m1 + ((m2 - m1) * (240 - t) + 30) / 60;
    return m1;
}

constexpr std::size_t kTableSize = 256 * 256;

inline std::size_t ColorizedIndex(int mx, int mn)
{
    return static_cast<std::size_t>(mx) << 8 | static_cast<std::size_t>(mn);
}

} // namespace

HueColorizeRenderer::HueColorizeRenderer(double hue, double strength, bool avx2)
    : m_hue(hue)
    , m_keep(1.0 - strength)
    , m_avx2(avx2 && Avx2Available())
{
}

HueColorizeRenderer::~HueColorizeRenderer() = default;

void HueColorizeRenderer::Colorize(int hue, int& r, int& g, int& b)
{
    // RGB to HLS with lightness and saturation on 0 … 360; the pixel's own hue is not needed.
    const int mx = std::max({ r, g, b });
    const int mn = std::min({ r, g, b });
    const int l = ((mx + mn) * 360 + 255) / 510;
    if (mx == mn)
        return;
    const int f = l <= 180 ? mx + mn : 510 - mx - mn;
    const int s = ((mx - mn) * 360 + f / 2) / f;
    if (s == 0)
        return;
    const int m2 = l <= 180 ? (l * (360 + s) + 180) / 360 : l + s - (l * s + 180) / 360;
    const int m1 = 2 * l - m2;
    r = (HueValue(m1, m2, hue + 120) * 255 + 180) / 360;
    g = (HueValue(m1, m2, hue) * 255 + 180) / 360;
    b = (HueValue(m1, m2, hue - 120) * 255 + 180) / 360;
}

unsigned char HueColorizeRenderer::Mix(int own, int colorized, double keep)
{
    return pixeltables::Clamp(static_cast<int>((own - colorized) * keep + colorized));
}

void HueColorizeRenderer::Prepare(OVAbstractImage*)
{
    // keep = 1 gives (own − c) × 1 + c = own exactly, keep = 0 gives c: no mix to look up.
    m_path = m_keep == 1.0 ? Path::Copy : m_keep == 0.0 ? Path::Colorized : Path::Mixed;
    m_colorized.reset();
    m_mix.reset();
    if (m_path == Path::Copy)
        return;

    // Grey (mx = mn) keeps its own colour, which is (mx, mx, mx); entries with mn > mx are never
    // read and stay zero.
    const int hue = static_cast<int>(m_hue);
    m_colorized = std::make_unique<std::uint32_t[]>(kTableSize);
    for (int mx = 0; mx < 256; ++mx) {
        for (int mn = 0; mn <= mx; ++mn) {
            int r = mx;
            int g = mn;
            int b = mn;
            Colorize(hue, r, g, b);
            m_colorized[ColorizedIndex(mx, mn)]
                = std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16;
        }
    }
    if (m_path != Path::Mixed)
        return;
    m_mix = std::make_unique<std::uint8_t[]>(kTableSize);
    std::uint8_t* mix = m_mix.get();
    for (int own = 0; own < 256; ++own) {
        for (int c = 0; c < 256; ++c)
            mix[own << 8 | c] = Mix(own, c, m_keep);
    }
    FitSingleMix();
}

float HueColorizeRenderer::SingleMixFactor(int difference) const
{
    return difference < 0 ? m_keepDown : m_keepUp;
}

int HueColorizeRenderer::SingleMixStep(int difference) const
{
    return static_cast<int>(
        std::floor(static_cast<float>(difference) * SingleMixFactor(difference)));
}

void HueColorizeRenderer::FitSingleMix()
{
    // The mix is c + (own − c) × keep between c and own; in single precision it is
    // c + floor(d × k) with d = own − c and k the float just above keep for d ≥ 0 and just below
    // it for d < 0, so that products that keep makes whole stay whole. Near-whole products can
    // still round apart from the double rule, so the form is used only when it reproduces
    // every entry of the table.
    m_singleMix = false;
    const float nearest = static_cast<float>(m_keep);
    m_keepUp = static_cast<double>(nearest) >= m_keep ? nearest : std::nextafter(nearest, 2.0f);
    m_keepDown = static_cast<double>(nearest) <= m_keep ? nearest : std::nextafter(nearest, -1.0f);
    if (!(m_keep >= 0.0 && m_keep <= 1.0))
        return;
    int step[511];
    for (int d = -255; d <= 255; ++d)
        step[d + 255] = SingleMixStep(d);
    const std::uint8_t* mix = m_mix.get();
    for (int own = 0; own < 256; ++own) {
        for (int c = 0; c < 256; ++c) {
            if (mix[own << 8 | c] != c + step[own - c + 255])
                return;
        }
    }
    m_singleMix = true;
}

void HueColorizeRenderer::RenderPlain(
    const unsigned char* in, unsigned char* out, std::size_t bytes, bool argb) const
{
    const int ib = argb ? 3 : 0;
    const int ig = argb ? 2 : 1;
    const int ir = argb ? 1 : 2;
    const int ia = argb ? 0 : 3;
    const std::uint32_t* colorized = m_colorized.get();
    const std::uint8_t* mix = m_mix.get();
    for (std::size_t i = 0; i < bytes; i += 4) {
        const int ownB = in[i + ib];
        const int ownG = in[i + ig];
        const int ownR = in[i + ir];
        const std::uint32_t c = colorized[ColorizedIndex(
            std::max({ ownR, ownG, ownB }), std::min({ ownR, ownG, ownB }))];
        const int b = c & 0xffu;
        const int g = (c >> 8) & 0xffu;
        const int r = (c >> 16) & 0xffu;
        const unsigned char alpha = in[i + ia];
        if (mix) {
            out[i + ib] = mix[ownB << 8 | b];
            out[i + ig] = mix[ownG << 8 | g];
            out[i + ir] = mix[ownR << 8 | r];
        } else {
            out[i + ib] = static_cast<unsigned char>(b);
            out[i + ig] = static_cast<unsigned char>(g);
            out[i + ir] = static_cast<unsigned char>(r);
        }
        out[i + ia] = alpha;
    }
}

#if MTRA_HAVE_AVX2_PATHS

namespace {

// Four lanes of `Mix`: int to double, multiply, add, truncate.
MTRA_AVX2_FUNCTION inline __m128i MixFourAvx2(__m128i difference, __m128i colorized, __m256d keep)
{
    return _mm256_cvttpd_epi32(_mm256_add_pd(
        _mm256_mul_pd(_mm256_cvtepi32_pd(difference), keep), _mm256_cvtepi32_pd(colorized)));
}

// The single-precision mix of one colour byte of eight pixels: c + floor(d × k), k by the sign
// of d (see `FitSingleMix`).
MTRA_AVX2_FUNCTION inline __m256i SingleMixAvx2(
    __m256i own, __m256i colorized, __m256 keepUp, __m256 keepDown)
{
    const __m256i difference = _mm256_sub_epi32(own, colorized);
    const __m256 factor
        = _mm256_blendv_ps(keepUp, keepDown, _mm256_castsi256_ps(difference)); // by sign
    const __m256 step = _mm256_floor_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(difference), factor));
    return _mm256_add_epi32(colorized, _mm256_cvttps_epi32(step));
}

// The mix of one colour byte of eight pixels, then the 8-bit limits.
MTRA_AVX2_FUNCTION inline __m256i MixAvx2(__m256i own, __m256i colorized, __m256d keep)
{
    const __m256i difference = _mm256_sub_epi32(own, colorized);
    const __m128i low
        = MixFourAvx2(_mm256_castsi256_si128(difference), _mm256_castsi256_si128(colorized), keep);
    const __m128i high = MixFourAvx2(
        _mm256_extracti128_si256(difference, 1), _mm256_extracti128_si256(colorized, 1), keep);
    const __m256i mixed = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    return _mm256_min_epi32(
        _mm256_max_epi32(mixed, _mm256_setzero_si256()), _mm256_set1_epi32(255));
}

enum MixKind { kNoMix, kSingleMix, kDoubleMix };

// Eight BGRA pixels per step: the colorized colour by one gather keyed on (mx, mn), then the
// mix of kMix: none (strength 1), single precision or the plain rule's double precision.
template <int kMix>
MTRA_AVX2_FUNCTION void ColorizeAvx2(const unsigned char* in, unsigned char* out,
    std::size_t blocks, const std::uint32_t* table, double keepValue, float up, float down)
{
    const __m256i low = _mm256_set1_epi32(0xff);
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xff000000u));
    const __m256d keep = _mm256_set1_pd(keepValue);
    const __m256 keepUp = _mm256_set1_ps(up);
    const __m256 keepDown = _mm256_set1_ps(down);
    const int* colorized = reinterpret_cast<const int*>(table);
    for (std::size_t k = 0; k < blocks; ++k) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + k * 32));
        const __m256i b = _mm256_and_si256(v, low);
        const __m256i g = _mm256_and_si256(_mm256_srli_epi32(v, 8), low);
        const __m256i r = _mm256_and_si256(_mm256_srli_epi32(v, 16), low);
        const __m256i mx = _mm256_max_epi32(_mm256_max_epi32(b, g), r);
        const __m256i mn = _mm256_min_epi32(_mm256_min_epi32(b, g), r);
        __m256i result
            = _mm256_i32gather_epi32(colorized, _mm256_or_si256(_mm256_slli_epi32(mx, 8), mn), 4);
        if constexpr (kMix != kNoMix) {
            const __m256i cb = _mm256_and_si256(result, low);
            const __m256i cg = _mm256_and_si256(_mm256_srli_epi32(result, 8), low);
            const __m256i cr = _mm256_srli_epi32(result, 16);
            __m256i mb;
            __m256i mg;
            __m256i mr;
            if constexpr (kMix == kSingleMix) {
                mb = SingleMixAvx2(b, cb, keepUp, keepDown);
                mg = SingleMixAvx2(g, cg, keepUp, keepDown);
                mr = SingleMixAvx2(r, cr, keepUp, keepDown);
            } else {
                mb = MixAvx2(b, cb, keep);
                mg = MixAvx2(g, cg, keep);
                mr = MixAvx2(r, cr, keep);
            }
            result = _mm256_or_si256(
                mb, _mm256_or_si256(_mm256_slli_epi32(mg, 8), _mm256_slli_epi32(mr, 16)));
        }
        result = _mm256_or_si256(result, _mm256_and_si256(v, alpha));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k * 32), result);
    }
}

} // namespace

void HueColorizeRenderer::RenderAvx2(
    const unsigned char* in, unsigned char* out, std::size_t bytes) const
{
    const std::size_t blocks = bytes / 32;
    const std::uint32_t* table = m_colorized.get();
    if (m_path != Path::Mixed)
        ColorizeAvx2<kNoMix>(in, out, blocks, table, m_keep, m_keepUp, m_keepDown);
    else if (m_singleMix)
        ColorizeAvx2<kSingleMix>(in, out, blocks, table, m_keep, m_keepUp, m_keepDown);
    else
        ColorizeAvx2<kDoubleMix>(in, out, blocks, table, m_keep, m_keepUp, m_keepDown);
    RenderPlain(in + blocks * 32, out + blocks * 32, bytes - blocks * 32, false);
}

#endif

void HueColorizeRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8)
        return;
    const WorkRange range = ThreadByteRange(PixelCount(source), threadIndex, threadCount);
    if (range.IsEmpty())
        return;
    const unsigned char* in = Bytes(source) + range.begin;
    unsigned char* out = Bytes(destination) + range.begin;
    if (m_path == Path::Copy) {
        if (in != out)
            std::memcpy(out, in, range.Size());
        return;
    }
    if (!m_colorized)
        return; // not prepared
    const bool argb = source->PixelChannelOrder() == PixelOrderARGB;
#if MTRA_HAVE_AVX2_PATHS
    if (m_avx2 && !argb) {
        RenderAvx2(in, out, range.Size());
        return;
    }
#endif
    RenderPlain(in, out, range.Size(), argb);
}

} // namespace orv::image
