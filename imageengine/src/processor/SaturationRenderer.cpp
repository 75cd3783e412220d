// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/SaturationRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"

#include <algorithm>
#include <cstdint>

namespace orv::image {

SaturationRenderer::SaturationRenderer(double saturation, bool avx2)
    : m_saturation(saturation)
    , m_avx2(avx2 && Avx2Available())
{
}

void SaturationRenderer::Prepare(OVAbstractImage*)
{
    m_reciprocals[0] = 0.0;
    for (int i = 1; i < 256; ++i)
        m_reciprocals[i] = 1.0 / i;
}

void SaturationRenderer::Saturate(double saturation, const double* reciprocals, unsigned char& r,
    unsigned char& g, unsigned char& b)
{
    // RGB to HSV and back (Smith, "Color Gamut Transform Pairs", SIGGRAPH 1978), with value on
    // 0 … 255.
    const int v = std::max({ r, g, b });
    const int mn = std::min({ r, g, b });
    const double s = v == 0 ? 0.0 : (v - mn) * reciprocals[v];
    double hue = 0;
    if (s != 0) {
        double h;
        if (r == v)
            h = double(g - b) / (v - mn);
        else if (g == v)
            h = 2 + double(b - r) / (v - mn);
        else
            h = 4 + double(r - g) / (v - mn);
        hue = 60 * h;
        if (hue < 0)
            hue += 360;
    }
    const double s2 = std::min(s * saturation, 1.0);
    if (s == 0 || s2 == 0) {
        r = g = b = static_cast<unsigned char>(v);
        return;
    }
    const double q = hue / 60;
    int i = static_cast<int>(q);
    const double f = q - i;
    const int p = static_cast<int>(v * (1 - s2));
    const int qv = static_cast<int>(v * (1 - s2 * f));
    const int t = static_cast<int>(v * (1 - s2 * (1 - f)));
    int rr;
    int gg;
    int bb;
    switch (i) {
    case 1:
        rr = qv, gg = v, bb = p;
        break;
    case 2:
        rr = p, gg = v, bb = t;
        break;
    case 3:
        rr = p, gg = qv, bb = v;
        break;
    case 4:
        rr = t, gg = p, bb = v;
        break;
    case 5:
        rr = v, gg = p, bb = qv;
        break;
    default: // 0 (and 6, a hue of exactly 360)
        rr = v, gg = t, bb = p;
        break;
    }
    r = static_cast<unsigned char>(rr);
    g = static_cast<unsigned char>(gg);
    b = static_cast<unsigned char>(bb);
}

void SaturationRenderer::RenderPlain(
    const unsigned char* in, unsigned char* out, std::size_t bytes) const
{
    for (std::size_t i = 0; i < bytes; i += 4) {
        unsigned char b = in[i];
        unsigned char g = in[i + 1];
        unsigned char r = in[i + 2];
        Saturate(m_saturation, m_reciprocals, r, g, b);
        out[i] = b;
        out[i + 1] = g;
        out[i + 2] = r;
        out[i + 3] = in[i + 3];
    }
}

#if MTRA_HAVE_AVX2_PATHS

namespace {

// Which of (V, t, p, qv) becomes B, G and R in each sector i of `Saturate` (6 as 0, 7 grey),
// as byte selections from a word holding V, t, p, qv in its bytes 0 … 3; alpha is cleared.
constexpr std::uint32_t Selection(int b, int g, int r)
{
    return std::uint32_t(b) | std::uint32_t(g) << 8 | std::uint32_t(r) << 16 | 0x80000000u;
}
constexpr int kV = 0;
constexpr int kT = 1;
constexpr int kP = 2;
constexpr int kQv = 3;

} // namespace

MTRA_AVX2_FUNCTION void SaturationRenderer::RenderAvx2(
    const unsigned char* in, unsigned char* out, std::size_t bytes) const
{
    const __m256i selections = _mm256_setr_epi32(static_cast<int>(Selection(kP, kT, kV)),
        static_cast<int>(Selection(kP, kV, kQv)), static_cast<int>(Selection(kT, kV, kP)),
        static_cast<int>(Selection(kV, kQv, kP)), static_cast<int>(Selection(kV, kP, kT)),
        static_cast<int>(Selection(kQv, kP, kV)), static_cast<int>(Selection(kP, kT, kV)),
        static_cast<int>(Selection(kV, kV, kV)));
    // Byte selections index the whole vector: pixel k adds 4k.
    const __m128i pixelBase = _mm_setr_epi32(0, 0x04040404, 0x08080808, 0x0c0c0c0c);
    const __m128i low = _mm_set1_epi32(0xff);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xff000000u));
    const __m128i grey = _mm_set1_epi32(7);
    const __m256i evenLanes = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    const __m256d saturation = _mm256_set1_pd(m_saturation);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d sixty = _mm256_set1_pd(60.0);
    const __m256d full = _mm256_set1_pd(360.0);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d allLanes = _mm256_castsi256_pd(_mm256_set1_epi32(-1));

    const std::size_t blocks = bytes / 16;
    for (std::size_t k = 0; k < blocks; ++k) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k * 16));
        const __m128i b = _mm_and_si128(pixels, low);
        const __m128i g = _mm_and_si128(_mm_srli_epi32(pixels, 8), low);
        const __m128i r = _mm_and_si128(_mm_srli_epi32(pixels, 16), low);
        const __m128i v = _mm_max_epi32(_mm_max_epi32(r, g), b);
        const __m128i mn = _mm_min_epi32(_mm_min_epi32(r, g), b);
        // The branch on the largest channel (red first, then green): numerator and offset.
        const __m128i redMax = _mm_cmpeq_epi32(r, v);
        const __m128i greenMax = _mm_andnot_si128(redMax, _mm_cmpeq_epi32(g, v));
        const __m128i numerator
            = _mm_blendv_epi8(_mm_blendv_epi8(_mm_sub_epi32(r, g), _mm_sub_epi32(b, r), greenMax),
                _mm_sub_epi32(g, b), redMax);
        const __m128i offset
            = _mm_blendv_epi8(_mm_blendv_epi8(_mm_set1_epi32(4), _mm_set1_epi32(2), greenMax),
                _mm_setzero_si128(), redMax);

        const __m256d value = _mm256_cvtepi32_pd(v);
        const __m256d range = _mm256_cvtepi32_pd(_mm_sub_epi32(v, mn));
        const __m256d s = _mm256_mul_pd(range,
            _mm256_mask_i32gather_pd(
                zero, m_reciprocals, v, allLanes, 8)); // (V − mn) × (1 ÷ V), 0 for V = 0
        // offset + (numerator ÷ range); red's offset 0 adds exactly nothing.
        const __m256d h = _mm256_add_pd(
            _mm256_cvtepi32_pd(offset), _mm256_div_pd(_mm256_cvtepi32_pd(numerator), range));
        __m256d hue = _mm256_mul_pd(sixty, h);
        hue = _mm256_blendv_pd(hue, _mm256_add_pd(hue, full), _mm256_cmp_pd(hue, zero, _CMP_LT_OQ));
        // std::min(s × saturation, 1.0): the product unless 1 is smaller.
        const __m256d s2 = _mm256_min_pd(one, _mm256_mul_pd(s, saturation));
        const __m256d isGrey
            = _mm256_or_pd(_mm256_cmp_pd(s, zero, _CMP_EQ_OQ), _mm256_cmp_pd(s2, zero, _CMP_EQ_OQ));

        const __m256d q = _mm256_div_pd(hue, sixty);
        const __m128i i = _mm256_cvttpd_epi32(q);
        const __m256d f = _mm256_sub_pd(q, _mm256_cvtepi32_pd(i));
        const __m128i p = _mm256_cvttpd_epi32(_mm256_mul_pd(value, _mm256_sub_pd(one, s2)));
        const __m128i qv
            = _mm256_cvttpd_epi32(_mm256_mul_pd(value, _mm256_sub_pd(one, _mm256_mul_pd(s2, f))));
        const __m128i t = _mm256_cvttpd_epi32(
            _mm256_mul_pd(value, _mm256_sub_pd(one, _mm256_mul_pd(s2, _mm256_sub_pd(one, f)))));
        // The plain loop keeps the low byte of each integer.
        const __m128i candidates
            = _mm_or_si128(_mm_or_si128(v, _mm_slli_epi32(_mm_and_si128(t, low), 8)),
                _mm_or_si128(_mm_slli_epi32(_mm_and_si128(p, low), 16), _mm_slli_epi32(qv, 24)));

        const __m128i greyLanes = _mm256_castsi256_si128(
            _mm256_permutevar8x32_epi32(_mm256_castpd_si256(isGrey), evenLanes));
        const __m128i sector = _mm_blendv_epi8(i, grey, greyLanes);
        const __m128i selection = _mm_add_epi8(_mm256_castsi256_si128(_mm256_permutevar8x32_epi32(
                                                   selections, _mm256_castsi128_si256(sector))),
            pixelBase);
        const __m128i result
            = _mm_or_si128(_mm_shuffle_epi8(candidates, selection), _mm_and_si128(pixels, alpha));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k * 16), result);
    }
    RenderPlain(in + blocks * 16, out + blocks * 16, bytes - blocks * 16);
}

#endif

void SaturationRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8 || source->PixelChannelOrder() != PixelOrderBGRA)
        return;
    const WorkRange range = ThreadByteRange(PixelCount(source), threadIndex, threadCount);
    if (range.IsEmpty())
        return;
    const unsigned char* in = Bytes(source) + range.begin;
    unsigned char* out = Bytes(destination) + range.begin;
#if MTRA_HAVE_AVX2_PATHS
    if (m_avx2) {
        RenderAvx2(in, out, range.Size());
        return;
    }
#endif
    RenderPlain(in, out, range.Size());
}

} // namespace orv::image
