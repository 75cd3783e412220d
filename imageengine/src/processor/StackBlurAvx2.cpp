// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/StackBlurAvx2.h"

#include "processor/StackBlurLines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if MTRA_HAVE_AVX2_PATHS

namespace orv::image::stackblur {

namespace {

// Byte columns per block: one 64-byte cache line of a row, so that a block's walk down the
// image uses every line it fetches (a half-line block would fetch each line twice).
constexpr int kBlock = 64;
constexpr int kParts = kBlock / 8;

// A block of one row as vectors of eight 32-bit samples (bytes 0–7, 8–15, …).
struct Samples {
    __m256i part[kParts];
};

MTRA_AVX2_FUNCTION inline Samples Load(const unsigned char* row)
{
    Samples s;
    for (int k = 0; k < kParts; ++k) {
        s.part[k]
            = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + 8 * k)));
    }
    return s;
}

// `FloatDivide` of 32 sums, packed back to 32 bytes in column order.
MTRA_AVX2_FUNCTION inline __m256i Divide(const __m256i* total, __m256 half, __m256 scale)
{
    __m256i q[4];
    for (int k = 0; k < 4; ++k) {
        q[k] = _mm256_cvttps_epi32(
            _mm256_mul_ps(_mm256_add_ps(_mm256_cvtepi32_ps(total[k]), half), scale));
    }
    // The packs work within 128-bit halves: bytes come out as the 4-byte groups 0, 2, 4, 6,
    // 1, 3, 5, 7 of the row; the permutation puts them back in order.
    const __m256i words01 = _mm256_packus_epi32(q[0], q[1]);
    const __m256i words23 = _mm256_packus_epi32(q[2], q[3]);
    const __m256i bytes = _mm256_packus_epi16(words01, words23);
    return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

} // namespace

MTRA_AVX2_FUNCTION std::size_t BlurColumnsAvx2(const unsigned char* rows,
    unsigned char* destination, std::size_t stride, std::size_t n, std::size_t begin,
    std::size_t end, int r, const int* edge)
{
    // In place the walk overwrites row y at step y; the only row it reads again is the one
    // leaving the window, at most r + 1 rows back, so it keeps each block's last r + 1 input
    // rows in a ring.
    const bool inPlace = destination == rows;
    alignas(32) unsigned char ring[(kMaxFloatRadius + 1) * kBlock];
    std::size_t ringSlot = 0;
    if (n == 0)
        return begin;
    const FloatDivide divide(r);
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256 scale = _mm256_set1_ps(divide.reciprocal);
    const long long last = static_cast<long long>(n) - 1;
    const int inside = static_cast<int>(std::min<long long>(r, last));
    const int extra = r - inside;

    std::size_t column = begin;
    for (; column + kBlock <= end; column += kBlock) {
        auto row = [&](std::size_t y) { return rows + y * stride + column; };
        // The window centred on row 0, as `BlurColumns` seeds it.
        __m256i total[kParts];
        __m256i in[kParts];
        __m256i out[kParts];
        {
            const Samples first = Load(row(0));
            const __m256i firstWeight = _mm256_set1_epi32(r + 1);
            const __m256i seedWeight = _mm256_set1_epi32((r + 1) * (r + 2) / 2);
            for (int k = 0; k < kParts; ++k) {
                out[k] = _mm256_mullo_epi32(first.part[k], firstWeight);
                total[k] = _mm256_mullo_epi32(first.part[k], seedWeight);
                in[k] = _mm256_setzero_si256();
            }
            for (int j = 1; j <= inside; ++j) {
                const Samples s = Load(row(static_cast<std::size_t>(j)));
                const __m256i weight = _mm256_set1_epi32(r + 1 - j);
                for (int k = 0; k < kParts; ++k) {
                    in[k] = _mm256_add_epi32(in[k], s.part[k]);
                    total[k] = _mm256_add_epi32(total[k], _mm256_mullo_epi32(s.part[k], weight));
                }
            }
            if (extra > 0) {
                const Samples s = Load(row(static_cast<std::size_t>(last)));
                const __m256i count = _mm256_set1_epi32(extra);
                const __m256i weight = _mm256_set1_epi32(extra * (extra + 1) / 2);
                for (int k = 0; k < kParts; ++k) {
                    in[k] = _mm256_add_epi32(in[k], _mm256_mullo_epi32(s.part[k], count));
                    total[k] = _mm256_add_epi32(total[k], _mm256_mullo_epi32(s.part[k], weight));
                }
            }
        }

        ringSlot = 0;
        for (std::size_t y = 0;; ++y) {
            unsigned char* target = destination + y * stride + column;
            if (inPlace) {
                // Row y's input, before its result replaces it.
                std::memcpy(ring + ringSlot * kBlock, target, kBlock);
                ringSlot = ringSlot == static_cast<std::size_t>(r) ? 0 : ringSlot + 1;
            }
            for (int k = 0; k < kParts; k += 4) {
                _mm256_storeu_si256(
                    reinterpret_cast<__m256i*>(target + 8 * k), Divide(total + k, half, scale));
            }
            if (y + 1 >= n)
                break;
            const std::size_t entering = static_cast<std::size_t>(edge[y]);
            const std::size_t leaving = y > static_cast<std::size_t>(r) ? y - r : 0;
            const std::size_t ahead = std::min<std::size_t>(y + kPrefetchRows, n - 1);
            __builtin_prefetch(row(static_cast<std::size_t>(edge[ahead])));
            __builtin_prefetch(destination + ahead * stride + column, 1);
            const Samples enteringRow = Load(row(entering));
            const Samples centreRow = Load(row(y + 1));
            // Row y − r (or 0) sits in the slot after row y's: (y − r) mod (r + 1).
            const Samples leavingRow
                = Load(inPlace ? ring + (y > static_cast<std::size_t>(r) ? ringSlot : 0) * kBlock
                               : row(leaving));
            for (int k = 0; k < kParts; ++k) {
                in[k] = _mm256_add_epi32(in[k], enteringRow.part[k]);
                total[k] = _mm256_add_epi32(total[k], _mm256_sub_epi32(in[k], out[k]));
                out[k] = _mm256_add_epi32(
                    out[k], _mm256_sub_epi32(centreRow.part[k], leavingRow.part[k]));
                in[k] = _mm256_sub_epi32(in[k], centreRow.part[k]);
            }
        }
    }
    return column;
}

MTRA_AVX2_FUNCTION void InterleaveRowsAvx2(const unsigned char* first, const unsigned char* second,
    const unsigned char* firstAlpha, const unsigned char* secondAlpha, std::size_t n,
    unsigned char* pairs)
{
    const bool invert = firstAlpha != nullptr;
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xff000000u));
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + i * 4));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + i * 4));
        if (invert) {
            // 255 − v is the complement of the byte.
            const __m128i aAlpha
                = _mm_loadu_si128(reinterpret_cast<const __m128i*>(firstAlpha + i * 4));
            const __m128i bAlpha
                = _mm_loadu_si128(reinterpret_cast<const __m128i*>(secondAlpha + i * 4));
            a = _mm_or_si128(_mm_andnot_si128(alpha, a), _mm_andnot_si128(aAlpha, alpha));
            b = _mm_or_si128(_mm_andnot_si128(alpha, b), _mm_andnot_si128(bAlpha, alpha));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs + i * 8), _mm_unpacklo_epi32(a, b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs + i * 8 + 16), _mm_unpackhi_epi32(a, b));
    }
    for (; i < n; ++i) {
        std::memcpy(pairs + i * 8, first + i * 4, 4);
        std::memcpy(pairs + i * 8 + 4, second + i * 4, 4);
        if (invert) {
            pairs[i * 8 + 3] = static_cast<unsigned char>(255 - firstAlpha[i * 4 + 3]);
            pairs[i * 8 + 7] = static_cast<unsigned char>(255 - secondAlpha[i * 4 + 3]);
        }
    }
}

MTRA_AVX2_FUNCTION void BlurRowPairAvx2(const unsigned char* pairs, unsigned char* first,
    unsigned char* second, std::size_t n, int r, const int* edge)
{
    // A pair is one sample of eight channels: the four bytes of each row's pixel.
    std::int32_t seed[3][8];
    SeedLine<8>(
        n, r, [pairs](std::size_t i, int c) { return std::int32_t(pairs[i * 8 + c]); }, seed[0],
        seed[1], seed[2]);
    __m256i total = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(seed[0]));
    __m256i sumIn = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(seed[1]));
    __m256i sumOut = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(seed[2]));
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256 scale = _mm256_set1_ps(FloatDivide(r).reciprocal);
    auto pair = [pairs](std::size_t i) { return pairs + i * 8; };
    for (std::size_t x = 0;; ++x) {
        const __m256i q = _mm256_cvttps_epi32(
            _mm256_mul_ps(_mm256_add_ps(_mm256_cvtepi32_ps(total), half), scale));
        const __m256i words = _mm256_packus_epi32(q, q);
        const __m256i bytes = _mm256_packus_epi16(words, words);
        const int low = _mm256_cvtsi256_si32(bytes);
        const int high = _mm_cvtsi128_si32(_mm256_extracti128_si256(bytes, 1));
        std::memcpy(first + x * 4, &low, 4);
        std::memcpy(second + x * 4, &high, 4);
        if (x + 1 >= n)
            break;
        const std::size_t leaving = x > static_cast<std::size_t>(r) ? x - r : 0;
        const __m256i centre
            = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pair(x + 1))));
        const __m256i entering = _mm256_cvtepu8_epi32(_mm_loadl_epi64(
            reinterpret_cast<const __m128i*>(pair(static_cast<std::size_t>(edge[x])))));
        const __m256i leavingPair = _mm256_cvtepu8_epi32(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pair(leaving))));
        sumIn = _mm256_add_epi32(sumIn, entering);
        total = _mm256_add_epi32(total, _mm256_sub_epi32(sumIn, sumOut));
        sumOut = _mm256_add_epi32(sumOut, _mm256_sub_epi32(centre, leavingPair));
        sumIn = _mm256_sub_epi32(sumIn, centre);
    }
}

} // namespace orv::image::stackblur

#endif
