// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "keyer/YUVConversion.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian words");

namespace orv::image::yuv {

namespace {

// The products of the conversion, each truncated toward zero, as tables.
struct Tables {
    int red[256];
    int green[256];
    int blue[256];
    int v[511]; // 0.713 d for d = R − Y = −255 … 255
    int u[511]; // 0.565 d for d = B − Y
    int blueFromU[256]; // 1.77 (U − 128)
    int greenFromU[256]; // 0.344 (U − 128)
    int greenFromV[256]; // 0.714 (V − 128)
    int redFromV[256]; // 1.403 (V − 128)
    // For the loop back: −(0.714 (V − 128) + 0.344 (U − 128)) at V × 256 + U, and
    // clamp(i − kClampOffset) for every sum Y + term can reach.
    static constexpr int kClampOffset = 256;
    short greenFromVU[256 * 256];
    unsigned char clamp[768];

    Tables()
    {
        for (int i = 0; i < 256; ++i) {
            red[i] = static_cast<int>(0.299 * i);
            green[i] = static_cast<int>(0.587 * i);
            blue[i] = static_cast<int>(0.114 * i);
            const int c = i - 128;
            blueFromU[i] = static_cast<int>(1.77 * c);
            greenFromU[i] = static_cast<int>(0.344 * c);
            greenFromV[i] = static_cast<int>(0.714 * c);
            redFromV[i] = static_cast<int>(1.403 * c);
        }
        for (int d = -255; d <= 255; ++d) {
            v[d + 255] = static_cast<int>(0.713 * d);
            u[d + 255] = static_cast<int>(0.565 * d);
        }
        for (int vv = 0; vv < 256; ++vv) {
            for (int uu = 0; uu < 256; ++uu)
                greenFromVU[vv * 256 + uu] = static_cast<short>(-(greenFromV[vv] + greenFromU[uu]));
        }
        for (int i = 0; i < 768; ++i) {
            const int value = i - kClampOffset;
            clamp[i] = static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
};

const Tables& GetTables()
{
    static const Tables tables;
    return tables;
}

// Fixed-point multipliers: trunc(k c) = sign(c) × (((|c| << shift) × M) >> 16), found by search
// and checked against the tables by `Check` below.
struct Multiplier {
    double k;
    int shift;
    int m;
};
constexpr Multiplier kRed { 0.299, 0, 19594 };
constexpr Multiplier kGreen { 0.587, 0, 38467 };
constexpr Multiplier kBlue { 0.114, 0, 7471 };
constexpr Multiplier kV { 0.713, 0, 46725 };
constexpr Multiplier kU { 0.565, 0, 37026 };
constexpr Multiplier kBlueFromU { 1.77, 1, 58000 };
constexpr Multiplier kGreenFromU { 0.344, 0, 22545 };
constexpr Multiplier kGreenFromV { 0.714, 0, 46735 };
constexpr Multiplier kRedFromV { 1.403, 1, 45974 };

bool Check(const Multiplier& multiplier, int low, int high)
{
    for (int c = low; c <= high; ++c) {
        const int a = c < 0 ? -c : c;
        const int q = static_cast<int>(
            (std::uint32_t(a << multiplier.shift) * std::uint32_t(multiplier.m)) >> 16);
        if ((c < 0 ? -q : q) != static_cast<int>(multiplier.k * c))
            return false;
    }
    return true;
}

#if defined(__SSE2__)

// Two pixels' worth of 16-bit lanes from four values (bit patterns: m may exceed 32767).
inline __m128i Lanes(int a, int b, int c, int d)
{
    const auto s = [](int value) { return static_cast<short>(static_cast<std::uint16_t>(value)); };
    return _mm_setr_epi16(s(a), s(b), s(c), s(d), s(a), s(b), s(c), s(d));
}

// Lanes of 16 bits: sign(c) × mulhi(|c| × scale, m), where scale (1 or 2) applies the shift.
inline __m128i TruncatedProduct(__m128i c, __m128i scale, __m128i m)
{
    const __m128i sign = _mm_cmplt_epi16(c, _mm_setzero_si128());
    const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(c, sign), sign);
    const __m128i q = _mm_mulhi_epu16(_mm_mullo_epi16(magnitude, scale), m);
    return _mm_sub_epi16(_mm_xor_si128(q, sign), sign);
}

// Two pixels of 16-bit lanes [B G R A B G R A] to [V U Y A V U Y A].
inline __m128i ToYUVLanes(__m128i x)
{
    const __m128i luma = Lanes(kBlue.m, kGreen.m, kRed.m, 0);
    const __m128i terms = _mm_mulhi_epu16(x, luma);
    // Y in lane 0 of each pixel, then in all four.
    const __m128i rotated1 = _mm_shufflehi_epi16(_mm_shufflelo_epi16(terms, 0x39), 0x39);
    const __m128i rotated2 = _mm_shufflehi_epi16(_mm_shufflelo_epi16(terms, 0x4E), 0x4E);
    const __m128i sum = _mm_add_epi16(terms, _mm_add_epi16(rotated1, rotated2));
    const __m128i y = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sum, 0x00), 0x00);
    // Lanes 0 and 2 hold B − Y and R − Y: U and V before the offset.
    const __m128i chroma
        = TruncatedProduct(_mm_sub_epi16(x, y), _mm_set1_epi16(1), Lanes(kU.m, 0, kV.m, 0));
    const __m128i offset = _mm_add_epi16(chroma, _mm_set1_epi16(128));
    // [U' · V' ·] → [V' U' · ·], then Y and A into lanes 2 and 3.
    const __m128i vu = _mm_shufflehi_epi16(_mm_shufflelo_epi16(offset, 0xF2), 0xF2);
    const __m128i low = _mm_setr_epi16(-1, -1, 0, 0, -1, -1, 0, 0);
    const __m128i lumaLane = _mm_setr_epi16(0, 0, -1, 0, 0, 0, -1, 0);
    const __m128i alphaLane = _mm_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1);
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(vu, low), _mm_and_si128(y, lumaLane)),
        _mm_and_si128(x, alphaLane));
}

// Two pixels of 16-bit lanes [V U Y A V U Y A] to [B G R A B G R A], unclamped.
inline __m128i FromYUVLanes(__m128i x)
{
    const __m128i c = _mm_sub_epi16(x, _mm_setr_epi16(128, 128, 0, 0, 128, 128, 0, 0));
    // Products by output lane: B from U, G from V (and U), R from V; none for A.
    // [cU cV cV A] and [A cU A A]; the A lanes are multiplied by 0.
    const __m128i first = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, 0xC1), 0xC1);
    const __m128i second = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, 0xF7), 0xF7);
    const __m128i p1 = TruncatedProduct(first,
        Lanes(1 << kBlueFromU.shift, 1 << kGreenFromV.shift, 1 << kRedFromV.shift, 0),
        Lanes(kBlueFromU.m, kGreenFromV.m, kRedFromV.m, 0));
    const __m128i p2 = TruncatedProduct(
        second, Lanes(0, 1 << kGreenFromU.shift, 0, 0), Lanes(0, kGreenFromU.m, 0, 0));
    // B = Y + p1, G = Y − p1 − p2, R = Y + p1, A = A.
    const __m128i greenLane = _mm_setr_epi16(0, -1, 0, 0, 0, -1, 0, 0);
    const __m128i signedP1 = _mm_sub_epi16(_mm_xor_si128(p1, greenLane), greenLane);
    const __m128i base = _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xEA), 0xEA); // Y Y Y A
    return _mm_sub_epi16(_mm_add_epi16(base, signedP1), p2);
}

void ToYUVSse2(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
    const __m128i zero = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 4 <= pixels; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4));
        const __m128i low = ToYUVLanes(_mm_unpacklo_epi8(v, zero));
        const __m128i high = ToYUVLanes(_mm_unpackhi_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), _mm_packus_epi16(low, high));
    }
    ToYUVPlain(in + i * 4, out + i * 4, pixels - i);
}

void FromYUVSse2(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
    const __m128i zero = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 4 <= pixels; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4));
        const __m128i low = FromYUVLanes(_mm_unpacklo_epi8(v, zero));
        const __m128i high = FromYUVLanes(_mm_unpackhi_epi8(v, zero));
        // Unsigned saturation is the clamp to 0 … 255.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), _mm_packus_epi16(low, high));
    }
    FromYUVPlain(in + i * 4, out + i * 4, pixels - i);
}

#endif

bool VectorLoopsAreExact()
{
#if defined(__SSE2__)
    return Check(kRed, 0, 255) && Check(kGreen, 0, 255) && Check(kBlue, 0, 255)
        && Check(kV, -255, 255) && Check(kU, -255, 255) && Check(kBlueFromU, -128, 127)
        && Check(kGreenFromU, -128, 127) && Check(kGreenFromV, -128, 127)
        && Check(kRedFromV, -128, 127);
#else
    return false;
#endif
}

} // namespace

void PixelToYUV(int b, int g, int r, int* v, int* u, int* y)
{
    const Tables& t = GetTables();
    const int luma = t.red[r] + t.green[g] + t.blue[b];
    *y = luma;
    *v = 128 + t.v[r - luma + 255];
    *u = 128 + t.u[b - luma + 255];
}

void PixelFromYUV(int v, int u, int y, int* b, int* g, int* r)
{
    const Tables& t = GetTables();
    const unsigned char* clamp = t.clamp + Tables::kClampOffset;
    *b = clamp[y + t.blueFromU[u]];
    *g = clamp[y - t.greenFromV[v] - t.greenFromU[u]];
    *r = clamp[y + t.redFromV[v]];
}

void ToYUVPlain(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
    const Tables& t = GetTables();
    for (std::size_t i = 0; i < pixels * 4; i += 4) {
        std::uint32_t p;
        std::memcpy(&p, in + i, 4);
        const unsigned b = p & 0xffu;
        const unsigned g = (p >> 8) & 0xffu;
        const unsigned r = (p >> 16) & 0xffu;
        const int luma = t.red[r] + t.green[g] + t.blue[b];
        // Both chroma values stay within 1 … 255 for every colour.
        const auto v = static_cast<std::uint32_t>(128 + t.v[int(r) - luma + 255]);
        const auto u = static_cast<std::uint32_t>(128 + t.u[int(b) - luma + 255]);
        const std::uint32_t q
            = v | u << 8 | static_cast<std::uint32_t>(luma) << 16 | (p & 0xff000000u);
        std::memcpy(out + i, &q, 4);
    }
}

void FromYUVPlain(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
    const Tables& t = GetTables();
    const unsigned char* clamp = t.clamp + Tables::kClampOffset;
    for (std::size_t i = 0; i < pixels * 4; i += 4) {
        std::uint32_t p;
        std::memcpy(&p, in + i, 4);
        const unsigned v = p & 0xffu;
        const unsigned u = (p >> 8) & 0xffu;
        const int y = static_cast<int>((p >> 16) & 0xffu);
        const std::uint32_t q = std::uint32_t(clamp[y + t.blueFromU[u]])
            | std::uint32_t(clamp[y + t.greenFromVU[v << 8 | u]]) << 8
            | std::uint32_t(clamp[y + t.redFromV[v]]) << 16 | (p & 0xff000000u);
        std::memcpy(out + i, &q, 4);
    }
}

bool HasVectorLoops()
{
    static const bool exact = VectorLoopsAreExact();
    return exact;
}

void ToYUV(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
#if defined(__SSE2__)
    if (HasVectorLoops()) {
        ToYUVSse2(in, out, pixels);
        return;
    }
#endif
    ToYUVPlain(in, out, pixels);
}

void FromYUV(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
#if defined(__SSE2__)
    if (HasVectorLoops()) {
        FromYUVSse2(in, out, pixels);
        return;
    }
#endif
    FromYUVPlain(in, out, pixels);
}

} // namespace orv::image::yuv
