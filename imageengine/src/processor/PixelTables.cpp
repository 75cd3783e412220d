// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/PixelTables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian words");

namespace orv::image::pixeltables {

void Tables::SetIdentity(int channel)
{
    for (int v = 0; v < 256; ++v)
        entry[channel][v] = static_cast<unsigned char>(v);
}

bool Tables::IsIdentity(int channel) const
{
    for (int v = 0; v < 256; ++v) {
        if (entry[channel][v] != v)
            return false;
    }
    return true;
}

void Apply(const unsigned char* in, unsigned char* out, std::size_t bytes, const Tables& tables)
{
    // A local copy keeps the compiler from reloading table entries after every store.
    Tables t;
    std::memcpy(&t, &tables, sizeof t);
    for (std::size_t i = 0; i + 4 <= bytes; i += 4) {
        std::uint32_t p;
        std::memcpy(&p, in + i, 4);
        const std::uint32_t q = std::uint32_t(t.entry[0][p & 0xffu])
            | std::uint32_t(t.entry[1][(p >> 8) & 0xffu]) << 8
            | std::uint32_t(t.entry[2][(p >> 16) & 0xffu]) << 16
            | std::uint32_t(t.entry[3][p >> 24]) << 24;
        std::memcpy(out + i, &q, 4);
    }
}

#if defined(__SSE2__)

namespace {

inline __m128i ScaleBlock(__m128i v, __m128 offset, __m128 factor)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_unpacklo_epi8(v, zero);
    const __m128i high = _mm_unpackhi_epi8(v, zero);
    auto pixel = [&](__m128i words) {
        const __m128 x = _mm_mul_ps(_mm_add_ps(_mm_cvtepi32_ps(words), offset), factor);
        return _mm_cvttps_epi32(x);
    };
    const __m128i p0 = pixel(_mm_unpacklo_epi16(low, zero));
    const __m128i p1 = pixel(_mm_unpackhi_epi16(low, zero));
    const __m128i p2 = pixel(_mm_unpacklo_epi16(high, zero));
    const __m128i p3 = pixel(_mm_unpackhi_epi16(high, zero));
    // Signed saturation to 16 bits, then unsigned saturation to bytes: the clamp to 0 … 255.
    return _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
}

void SingleLoop(const unsigned char* in, unsigned char* out, std::size_t blocks, const Scale& scale)
{
    const __m128 offset = _mm_loadu_ps(scale.offset);
    const __m128 factor = _mm_loadu_ps(scale.factor);
    // A correction adds its delta where the input byte equals its value in its channel's lanes.
    __m128i values[Scale::kMaxCorrections];
    __m128i deltas[Scale::kMaxCorrections];
    const int corrections = scale.correctionCount;
    for (int k = 0; k < corrections; ++k) {
        const Scale::Correction& c = scale.corrections[k];
        alignas(16) unsigned char delta[16];
        for (int lane = 0; lane < 16; ++lane)
            delta[lane] = static_cast<unsigned char>(c.delta[lane % 4]);
        values[k] = _mm_set1_epi8(static_cast<char>(c.value));
        deltas[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(delta));
    }
    for (std::size_t i = 0; i < blocks; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 16));
        __m128i r = ScaleBlock(v, offset, factor);
        for (int k = 0; k < corrections; ++k)
            r = _mm_add_epi8(r, _mm_and_si128(_mm_cmpeq_epi8(v, values[k]), deltas[k]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 16), r);
    }
}

// The plain rule's own operations: int to double, add, multiply, truncate, two lanes at a time.
void DoubleLoop(const unsigned char* in, unsigned char* out, std::size_t blocks, const Scale& scale)
{
    const __m128d offsetLow = _mm_loadu_pd(scale.offsetDouble);
    const __m128d offsetHigh = _mm_loadu_pd(scale.offsetDouble + 2);
    const __m128d factorLow = _mm_loadu_pd(scale.factorDouble);
    const __m128d factorHigh = _mm_loadu_pd(scale.factorDouble + 2);
    const __m128i zero = _mm_setzero_si128();
    auto pixel = [&](__m128i words) {
        const __m128d low = _mm_mul_pd(_mm_add_pd(_mm_cvtepi32_pd(words), offsetLow), factorLow);
        const __m128d high = _mm_mul_pd(
            _mm_add_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(words, 0xEE)), offsetHigh), factorHigh);
        return _mm_unpacklo_epi64(_mm_cvttpd_epi32(low), _mm_cvttpd_epi32(high));
    };
    for (std::size_t i = 0; i < blocks; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 16));
        const __m128i lowBytes = _mm_unpacklo_epi8(v, zero);
        const __m128i highBytes = _mm_unpackhi_epi8(v, zero);
        const __m128i p0 = pixel(_mm_unpacklo_epi16(lowBytes, zero));
        const __m128i p1 = pixel(_mm_unpackhi_epi16(lowBytes, zero));
        const __m128i p2 = pixel(_mm_unpacklo_epi16(highBytes, zero));
        const __m128i p3 = pixel(_mm_unpackhi_epi16(highBytes, zero));
        const __m128i r = _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 16), r);
    }
}

void ScaleLoop(const unsigned char* in, unsigned char* out, std::size_t blocks, const Scale& scale)
{
    if (scale.single)
        SingleLoop(in, out, blocks, scale);
    else
        DoubleLoop(in, out, blocks, scale);
}

float Step(float value, int steps)
{
    for (; steps > 0; --steps)
        value = std::nextafter(value, HUGE_VALF);
    for (; steps < 0; ++steps)
        value = std::nextafter(value, -HUGE_VALF);
    return value;
}

} // namespace

bool FitScale(const Tables& tables, const double offset[4], const double factor[4], Scale* scale,
    int maxCorrections)
{
    // Every byte value in every channel: pixel v holds v in all four bytes.
    unsigned char probe[256 * 4];
    unsigned char result[256 * 4];
    for (int v = 0; v < 256; ++v)
        std::memset(probe + v * 4, v, 4);
    auto mismatches = [&](int c) {
        int count = 0;
        for (int v = 0; v < 256; ++v)
            count += result[v * 4 + c] != tables.entry[c][v];
        return count;
    };

    Scale candidate;
    for (int c = 0; c < 4; ++c) {
        candidate.offset[c] = static_cast<float>(offset[c]);
        candidate.offsetDouble[c] = offset[c];
        candidate.factorDouble[c] = factor[c];
        // Bounded values keep every product within the 32-bit conversions.
        if (!std::isfinite(factor[c]) || double(candidate.offset[c]) != offset[c]
            || std::fabs(factor[c]) > 65536.0 || std::fabs(offset[c]) > 65536.0)
            return false;
    }
    // The nearest float, then one step up and down, two steps, …: per channel, keep the
    // factor that leaves the fewest values to correct. The double rule and the float loop
    // disagree only where a product lies within a rounding of an integer.
    constexpr int kTries = 17;
    float best[4];
    int bestCount[4] = { 257, 257, 257, 257 };
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const int steps = (attempt + 1) / 2 * (attempt % 2 ? 1 : -1);
        for (int c = 0; c < 4; ++c)
            candidate.factor[c] = Step(static_cast<float>(factor[c]), steps);
        SingleLoop(probe, result, sizeof probe / 16, candidate);
        for (int c = 0; c < 4; ++c) {
            const int count = mismatches(c);
            if (count < bestCount[c]) {
                bestCount[c] = count;
                best[c] = candidate.factor[c];
            }
        }
    }
    std::memcpy(candidate.factor, best, sizeof best);
    SingleLoop(probe, result, sizeof probe / 16, candidate);
    // One correction per input value, for all channels that it leaves wrong.
    for (int v = 0; v < 256 && candidate.single; ++v) {
        Scale::Correction correction { v, { 0, 0, 0, 0 } };
        bool wrong = false;
        for (int c = 0; c < 4; ++c) {
            correction.delta[c] = (tables.entry[c][v] - result[v * 4 + c]) & 0xff;
            wrong = wrong || correction.delta[c] != 0;
        }
        if (!wrong)
            continue;
        if (candidate.correctionCount >= std::min(maxCorrections, Scale::kMaxCorrections)) {
            // Too many values to correct: use doubles, the plain rule's own arithmetic.
            candidate.single = false;
            candidate.correctionCount = 0;
            break;
        }
        candidate.corrections[candidate.correctionCount++] = correction;
    }
    ScaleLoop(probe, result, sizeof probe / 16, candidate);
    for (int c = 0; c < 4; ++c) {
        if (mismatches(c) != 0)
            return false;
    }
    *scale = candidate;
    return true;
}

void ApplyScaleSse2(const unsigned char* in, unsigned char* out, std::size_t bytes,
    const Scale& scale, const Tables& tables)
{
    const std::size_t blocks = bytes / 16;
    ScaleLoop(in, out, blocks, scale);
    Apply(in + blocks * 16, out + blocks * 16, bytes - blocks * 16, tables);
}

void ApplyAddSse2(const unsigned char* in, unsigned char* out, std::size_t bytes,
    const int delta[4], const Tables& tables)
{
    // clamp(v + d) is a saturating add of d when d ≥ 0 and a saturating subtract of −d when
    // d < 0; one of the two vectors is zero in every byte.
    alignas(16) unsigned char add[16];
    alignas(16) unsigned char subtract[16];
    for (int i = 0; i < 16; ++i) {
        const int d = delta[i % 4];
        add[i] = static_cast<unsigned char>(d > 0 ? (d > 255 ? 255 : d) : 0);
        subtract[i] = static_cast<unsigned char>(d < 0 ? (d < -255 ? 255 : -d) : 0);
    }
    const __m128i addVector = _mm_load_si128(reinterpret_cast<const __m128i*>(add));
    const __m128i subtractVector = _mm_load_si128(reinterpret_cast<const __m128i*>(subtract));
    const std::size_t blocks = bytes / 16;
    for (std::size_t i = 0; i < blocks; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 16));
        const __m128i r = _mm_subs_epu8(_mm_adds_epu8(v, addVector), subtractVector);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 16), r);
    }
    Apply(in + blocks * 16, out + blocks * 16, bytes - blocks * 16, tables);
}

#else

bool FitScale(const Tables&, const double*, const double*, Scale*, int)
{
    return false;
}

void ApplyScaleSse2(const unsigned char* in, unsigned char* out, std::size_t bytes, const Scale&,
    const Tables& tables)
{
    Apply(in, out, bytes, tables);
}

void ApplyAddSse2(const unsigned char* in, unsigned char* out, std::size_t bytes, const int*,
    const Tables& tables)
{
    Apply(in, out, bytes, tables);
}

#endif

} // namespace orv::image::pixeltables
