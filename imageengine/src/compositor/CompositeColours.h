// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv::image {

/// Truncation toward zero, then the 8-bit limits.
inline unsigned char TruncateToByte(float value)
{
    return static_cast<unsigned char>(std::clamp(static_cast<int>(value), 0, 255));
}

/// The colour step of alpha compositing for one pixel, C = trunc((Cb × k + w × mix) × inv),
/// in single precision, on the three colour bytes of pixel (B, G, R). w × mix < 2^24 is exact
/// in single precision, so the float product equals the integer one converted.
inline void CompositeColoursScalar(
    unsigned char* pixel, const unsigned char* mix, float w, float k, float inv)
{
    for (int c = 0; c < 3; ++c)
        pixel[c] = TruncateToByte((static_cast<float>(pixel[c]) * k + w * mix[c]) * inv);
}

#if defined(__SSE2__)
/// `CompositeColoursScalar` with one SSE2 lane per byte: the same single-precision operations
/// in the same order, a conversion that truncates like the cast and two saturating packs that
/// clamp to 0 … 255. Writes all four bytes: the caller overwrites alpha.
inline void CompositeColoursSse2(
    unsigned char* pixel, const unsigned char* mix, float w, float k, float inv)
{
    std::int32_t packedBase;
    std::int32_t packedMix;
    std::memcpy(&packedBase, pixel, 4);
    std::memcpy(&packedMix, mix, 4);
    const __m128i zero = _mm_setzero_si128();
    const __m128i base32
        = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(packedBase), zero), zero);
    const __m128i mix32
        = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(packedMix), zero), zero);
    const __m128 sum = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(base32), _mm_set1_ps(k)),
        _mm_mul_ps(_mm_set1_ps(w), _mm_cvtepi32_ps(mix32)));
    __m128i result = _mm_cvttps_epi32(_mm_mul_ps(sum, _mm_set1_ps(inv)));
    result = _mm_packs_epi32(result, result);
    result = _mm_packus_epi16(result, result);
    const std::int32_t packed = _mm_cvtsi128_si32(result);
    std::memcpy(pixel, &packed, 4);
}
#endif

/// The fastest form available to the build. The result does not depend on the form.
inline void CompositeColours(
    unsigned char* pixel, const unsigned char* mix, float w, float k, float inv)
{
#if defined(__SSE2__)
    CompositeColoursSse2(pixel, mix, w, k, inv);
#else
    CompositeColoursScalar(pixel, mix, w, k, inv);
#endif
}

} // namespace orv::image
