// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/SaturationRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orv::image {

SaturationRenderer::SaturationRenderer(double saturation, bool avx2, bool avx512)
    : m_saturation(saturation)
    , m_avx2(avx2 && Avx2Available())
    , m_avx512(m_avx2 && avx512 && Avx512Available())
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

// Which of (V, t, p, qv) becomes B, G and R in each sector i of `Saturate` (6 as 0, 7 grey).
// The candidates of four pixels lie in one vector as V0 V1 V2 V3 t0 … qv3, so candidate c of
// pixel k is byte 4c + k: a selection holds 4c per output byte and each pixel adds its k.
// Alpha (0x80 and up) is cleared.
constexpr std::uint32_t Selection(int b, int g, int r)
{
    return std::uint32_t(4 * b) | std::uint32_t(4 * g) << 8 | std::uint32_t(4 * r) << 16
        | 0x80000000u;
}
constexpr int kV = 0;
constexpr int kT = 1;
constexpr int kP = 2;
constexpr int kQv = 3;

// The selection of each sector 0 … 7, for `_mm256_permutevar8x32_epi32` by sector. (A table,
// not a function: an AVX2 function called from the AVX-512 loop cost that loop a third of its
// speed.)
alignas(32) constexpr std::uint32_t kSectorSelections[8] = { Selection(kP, kT, kV),
    Selection(kP, kV, kQv), Selection(kT, kV, kP), Selection(kV, kQv, kP), Selection(kV, kP, kT),
    Selection(kQv, kP, kV), Selection(kP, kT, kV), Selection(kV, kV, kV) };

// Groups of four pixels computed side by side, so that the long chains of one (conversions,
// two divisions) overlap the other's.
constexpr int kGroups = 2;

} // namespace

bool SaturationRenderer::UsesAvx2() const
{
    // Within these factors every product and quotient of the rule stays within 0 … V, so the
    // candidates pack by saturation, and S′ = 0 exactly when the pixel is grey (the smallest
    // positive S × factor is far above the underflow): grey is the integer test V = min. The
    // rest (negative, tiny, huge or NaN factors, none of them reachable through the setter
    // but the tiny ones) take the plain loop.
    const double factor = m_saturation;
    return m_avx2 && (factor == 0.0 || (factor > 1e-300 && factor <= 1e300));
}

MTRA_AVX2_FUNCTION void SaturationRenderer::RenderAvx2(
    const unsigned char* in, unsigned char* out, std::size_t bytes) const
{
    const __m256i selections
        = _mm256_load_si256(reinterpret_cast<const __m256i*>(kSectorSelections));
    const __m128i pixelBase = _mm_setr_epi32(0, 0x01010101, 0x02020202, 0x03030303);
    const __m128i low = _mm_set1_epi32(0xff);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xff000000u));
    const __m128i grey = _mm_set1_epi32(7);
    // Factor 0 turns every pixel grey.
    const __m128i allGrey = _mm_set1_epi32(m_saturation == 0.0 ? -1 : 0);
    const __m256d saturation = _mm256_set1_pd(m_saturation);
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d sixty = _mm256_set1_pd(60.0);
    const __m256d full = _mm256_set1_pd(360.0);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d allLanes = _mm256_castsi256_pd(_mm256_set1_epi32(-1));

    constexpr std::size_t kStep = 16 * kGroups;
    const std::size_t steps = bytes / kStep;
    for (std::size_t k = 0; k < steps; ++k) {
        const unsigned char* source = in + k * kStep;
        __m128i pixels[kGroups];
        __m128i v[kGroups];
        __m128i isGrey[kGroups];
        __m256d value[kGroups];
        __m256d s[kGroups];
        __m256d hue[kGroups];
        for (int j = 0; j < kGroups; ++j) {
            pixels[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 16 * j));
            const __m128i b = _mm_and_si128(pixels[j], low);
            const __m128i g = _mm_and_si128(_mm_srli_epi32(pixels[j], 8), low);
            const __m128i r = _mm_and_si128(_mm_srli_epi32(pixels[j], 16), low);
            v[j] = _mm_max_epi32(_mm_max_epi32(r, g), b);
            const __m128i mn = _mm_min_epi32(_mm_min_epi32(r, g), b);
            isGrey[j] = _mm_or_si128(_mm_cmpeq_epi32(v[j], mn), allGrey);
            // The branch on the largest channel (red first, then green): numerator, offset.
            const __m128i redMax = _mm_cmpeq_epi32(r, v[j]);
            const __m128i greenMax = _mm_andnot_si128(redMax, _mm_cmpeq_epi32(g, v[j]));
            const __m128i numerator = _mm_blendv_epi8(
                _mm_blendv_epi8(_mm_sub_epi32(r, g), _mm_sub_epi32(b, r), greenMax),
                _mm_sub_epi32(g, b), redMax);
            const __m128i offset
                = _mm_blendv_epi8(_mm_blendv_epi8(_mm_set1_epi32(4), _mm_set1_epi32(2), greenMax),
                    _mm_setzero_si128(), redMax);
            value[j] = _mm256_cvtepi32_pd(v[j]);
            const __m256d range = _mm256_cvtepi32_pd(_mm_sub_epi32(v[j], mn));
            // (V − mn) × (1 ÷ V), from the same reciprocals as the plain loop.
            s[j] = _mm256_mul_pd(
                range, _mm256_mask_i32gather_pd(zero, m_reciprocals, v[j], allLanes, 8));
            // offset + (numerator ÷ range); red's offset 0 adds exactly nothing. Grey lanes
            // divide 0 by 0 and are not used.
            const __m256d h = _mm256_add_pd(
                _mm256_cvtepi32_pd(offset), _mm256_div_pd(_mm256_cvtepi32_pd(numerator), range));
            hue[j] = _mm256_mul_pd(sixty, h);
            hue[j] = _mm256_blendv_pd(
                hue[j], _mm256_add_pd(hue[j], full), _mm256_cmp_pd(hue[j], zero, _CMP_LT_OQ));
        }
        for (int j = 0; j < kGroups; ++j) {
            // std::min(s × saturation, 1.0): the product unless 1 is smaller.
            const __m256d s2 = _mm256_min_pd(one, _mm256_mul_pd(s[j], saturation));
            const __m256d q = _mm256_div_pd(hue[j], sixty);
            const __m128i i = _mm256_cvttpd_epi32(q);
            const __m256d f = _mm256_sub_pd(q, _mm256_round_pd(q, _MM_FROUND_TO_ZERO));
            const __m128i p = _mm256_cvttpd_epi32(_mm256_mul_pd(value[j], _mm256_sub_pd(one, s2)));
            const __m128i qv = _mm256_cvttpd_epi32(
                _mm256_mul_pd(value[j], _mm256_sub_pd(one, _mm256_mul_pd(s2, f))));
            const __m128i t = _mm256_cvttpd_epi32(_mm256_mul_pd(
                value[j], _mm256_sub_pd(one, _mm256_mul_pd(s2, _mm256_sub_pd(one, f)))));
            const __m128i candidates
                = _mm_packus_epi16(_mm_packus_epi32(v[j], t), _mm_packus_epi32(p, qv));
            const __m128i sector = _mm_blendv_epi8(i, grey, isGrey[j]);
            const __m128i selection = _mm_add_epi8(
                _mm256_castsi256_si128(
                    _mm256_permutevar8x32_epi32(selections, _mm256_castsi128_si256(sector))),
                pixelBase);
            const __m128i result = _mm_or_si128(
                _mm_shuffle_epi8(candidates, selection), _mm_and_si128(pixels[j], alpha));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k * kStep + 16 * j), result);
        }
    }
    RenderPlain(in + steps * kStep, out + steps * kStep, bytes - steps * kStep);
}

// GCC 12's AVX-512 intrinsics start their results from an undefined vector, which its
// uninitialised-value analysis reports once they are inlined here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace {

// a ÷ b from an approximate reciprocal: `CorrectedQuotient`'s two steps.
MTRA_AVX512_FUNCTION inline __m512d Quotient(__m512d a, __m512d b, __m512d reciprocal)
{
    const __m512d estimate = _mm512_mul_pd(a, reciprocal);
    return _mm512_fmadd_pd(_mm512_fnmadd_pd(estimate, b, a), reciprocal, estimate);
}

} // namespace

// The AVX2 loop's steps on eight pixels at a time, the integer work in 256-bit vectors and the
// doubles in 512-bit ones (the candidates and selections stay per 128-bit half, four pixels
// each, as the byte shuffle works within halves), with the two divisions replaced by
// `CorrectedQuotient`: the divider is what limits the loop at this width.
MTRA_AVX512_FUNCTION void SaturationRenderer::RenderAvx512(
    const unsigned char* in, unsigned char* out, std::size_t bytes) const
{
    const __m256i selections
        = _mm256_load_si256(reinterpret_cast<const __m256i*>(kSectorSelections));
    const __m256i pixelBase = _mm256_setr_epi32(
        0, 0x01010101, 0x02020202, 0x03030303, 0, 0x01010101, 0x02020202, 0x03030303);
    const __m256i low = _mm256_set1_epi32(0xff);
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xff000000u));
    const __m256i grey = _mm256_set1_epi32(7);
    const __m256i allGrey = _mm256_set1_epi32(m_saturation == 0.0 ? -1 : 0);
    const __m512d saturation = _mm512_set1_pd(m_saturation);
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d sixty = _mm512_set1_pd(60.0);
    const __m512d sixtieth = _mm512_set1_pd(1.0 / 60.0);
    const __m512d full = _mm512_set1_pd(360.0);
    const __m512d zero = _mm512_setzero_pd();

    constexpr std::size_t kStep = 32;
    const std::size_t steps = bytes / kStep;
    for (std::size_t k = 0; k < steps; ++k) {
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + k * kStep));
        const __m256i b = _mm256_and_si256(pixels, low);
        const __m256i g = _mm256_and_si256(_mm256_srli_epi32(pixels, 8), low);
        const __m256i r = _mm256_and_si256(_mm256_srli_epi32(pixels, 16), low);
        const __m256i v = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
        const __m256i mn = _mm256_min_epi32(_mm256_min_epi32(r, g), b);
        const __m256i isGrey = _mm256_or_si256(_mm256_cmpeq_epi32(v, mn), allGrey);
        const __m256i redMax = _mm256_cmpeq_epi32(r, v);
        const __m256i greenMax = _mm256_andnot_si256(redMax, _mm256_cmpeq_epi32(g, v));
        const __m256i numerator = _mm256_blendv_epi8(
            _mm256_blendv_epi8(_mm256_sub_epi32(r, g), _mm256_sub_epi32(b, r), greenMax),
            _mm256_sub_epi32(g, b), redMax);
        const __m256i offset = _mm256_blendv_epi8(
            _mm256_blendv_epi8(_mm256_set1_epi32(4), _mm256_set1_epi32(2), greenMax),
            _mm256_setzero_si256(), redMax);
        const __m512d value = _mm512_cvtepi32_pd(v);
        const __m512d range = _mm512_cvtepi32_pd(_mm256_sub_epi32(v, mn));
        const __m512d s = _mm512_mul_pd(range, _mm512_i32gather_pd(v, m_reciprocals, 8));
        // 1 ÷ range to within an ulp: the 14-bit estimate, then two Newton steps. Grey lanes
        // (range 0) give NaN and are not used.
        __m512d reciprocal = _mm512_rcp14_pd(range);
        reciprocal
            = _mm512_fmadd_pd(reciprocal, _mm512_fnmadd_pd(range, reciprocal, one), reciprocal);
        reciprocal
            = _mm512_fmadd_pd(reciprocal, _mm512_fnmadd_pd(range, reciprocal, one), reciprocal);
        const __m512d h = _mm512_add_pd(
            _mm512_cvtepi32_pd(offset), Quotient(_mm512_cvtepi32_pd(numerator), range, reciprocal));
        __m512d hue = _mm512_mul_pd(sixty, h);
        hue = _mm512_mask_add_pd(hue, _mm512_cmp_pd_mask(hue, zero, _CMP_LT_OQ), hue, full);

        const __m512d s2 = _mm512_min_pd(one, _mm512_mul_pd(s, saturation));
        const __m512d q = Quotient(hue, sixty, sixtieth);
        const __m256i i = _mm512_cvttpd_epi32(q);
        const __m512d f = _mm512_sub_pd(q, _mm512_roundscale_pd(q, _MM_FROUND_TO_ZERO));
        const __m256i p = _mm512_cvttpd_epi32(_mm512_mul_pd(value, _mm512_sub_pd(one, s2)));
        const __m256i qv
            = _mm512_cvttpd_epi32(_mm512_mul_pd(value, _mm512_sub_pd(one, _mm512_mul_pd(s2, f))));
        const __m256i t = _mm512_cvttpd_epi32(
            _mm512_mul_pd(value, _mm512_sub_pd(one, _mm512_mul_pd(s2, _mm512_sub_pd(one, f)))));
        const __m256i candidates
            = _mm256_packus_epi16(_mm256_packus_epi32(v, t), _mm256_packus_epi32(p, qv));
        const __m256i sector = _mm256_blendv_epi8(i, grey, isGrey);
        const __m256i selection
            = _mm256_add_epi8(_mm256_permutevar8x32_epi32(selections, sector), pixelBase);
        const __m256i result = _mm256_or_si256(
            _mm256_shuffle_epi8(candidates, selection), _mm256_and_si256(pixels, alpha));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k * kStep), result);
    }
    RenderPlain(in + steps * kStep, out + steps * kStep, bytes - steps * kStep);
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#endif

double SaturationRenderer::CorrectedQuotient(double a, double b, double reciprocal)
{
    const double estimate = a * reciprocal;
    return std::fma(std::fma(-estimate, b, a), reciprocal, estimate);
}

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
    if (UsesAvx2()) {
        if (m_avx512)
            RenderAvx512(in, out, range.Size());
        else
            RenderAvx2(in, out, range.Size());
        return;
    }
#endif
    RenderPlain(in, out, range.Size());
}

} // namespace orv::image
