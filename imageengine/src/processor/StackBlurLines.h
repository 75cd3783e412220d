// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

/// The running-sum core of the stack blur, shared by `StackBlurRenderer` (four bytes per pixel)
/// and the chroma pass of `YUVBlurRenderer` (two bytes per pixel).
///
/// For radius r a sample at distance k (|k| ≤ r) from the centre weighs r + 1 − |k|; the weights
/// sum to (r + 1)², and samples beyond either end of a line repeat the end sample. Each line
/// keeps, per channel, the weighted total T, the sum IN of the samples right of the centre and
/// the sum OUT of the samples from the left edge of the window up to the centre. Moving the
/// window from x to x + 1 changes the weights of [x − r, x] by −1 and of [x + 1, x + r + 1] by +1:
///
///     T(x + 1)   = T(x) − OUT(x) + IN(x) + s[x + r + 1]
///     OUT(x + 1) = OUT(x) − s[x − r] + s[x + 1]
///     IN(x + 1)  = IN(x) + s[x + r + 1] − s[x + 1]
///
/// (indices clamped to the line), so the work per sample is the same for every radius. The
/// samples leaving and crossing the centre are read back from the line itself, which plays the
/// part of the ring of saved samples.
namespace orv::image::stackblur {

/// Radii above this are limited to it: it keeps 255 × (r + 1)² and every index within the
/// 64-bit sums and the `int` positions, and it is far beyond the longest side an image can have
/// for any blur to still change (2^24 pixels).
constexpr int kMaxRadius = 1 << 24;

/// Largest radius divided through a table of 256 × (r + 1)² entries (16 MiB at the limit).
/// Larger radii divide directly, with the same results and no table.
constexpr int kMaxTableRadius = 255;

/// Radius to compute with for a requested one: negative gives 0, above `kMaxRadius` gives it.
inline int LimitedRadius(long long radius)
{
    return static_cast<int>(std::clamp<long long>(radius, 0, kMaxRadius));
}

/// Largest radius divided in single precision (`FloatDivide`); larger ones up to
/// `kMaxTableRadius` use the table.
constexpr int kMaxFloatRadius = 126;

/// True when radius r divides in single precision.
inline bool UsesFloatDivision(int radius)
{
    return radius <= kMaxFloatRadius;
}

/// True when radius r divides through the table (sums then fit 32 bits).
inline bool UsesTable(int radius)
{
    return radius <= kMaxTableRadius;
}

/// The division table: entry i = i ÷ (r + 1)², for i < 256 × (r + 1)². Every quotient is a byte
/// value, and bytes keep the table small enough to stay in the cache next to the sums.
inline std::unique_ptr<unsigned char[]> MakeDivisionTable(int radius)
{
    const std::size_t divisor = std::size_t(radius + 1) * std::size_t(radius + 1);
    std::unique_ptr<unsigned char[]> table(new unsigned char[256 * divisor]);
    for (std::size_t value = 0; value < 256; ++value)
        std::memset(table.get() + value * divisor, static_cast<int>(value), divisor);
    return table;
}

/// Position of the sample entering the window at each step of a line of `length` samples:
/// min(x + r + 1, length − 1).
inline std::vector<int> MakeEdgeIndex(std::size_t length, int radius)
{
    std::vector<int> edge(length);
    const long long last = static_cast<long long>(length) - 1;
    for (std::size_t x = 0; x < length; ++x)
        edge[x]
            = static_cast<int>(std::min<long long>(static_cast<long long>(x) + radius + 1, last));
    return edge;
}

/// Divides by (r + 1)² through the table.
struct TableDivide {
    const unsigned char* table;
    int operator()(std::int32_t total) const { return table[total]; }
};

/// Divides by D = (r + 1)² in single precision, four or eight sums per vector instruction:
/// trunc((total + 0.5) × fl(1 ÷ D)). For 0 ≤ total < 256 D the quotient (total + 0.5) ÷ D lies
/// at least 0.5 ÷ D from every integer, and the two roundings (of 1 ÷ D and of the product) move
/// it by less than 256 × 2^−23 = 2^−15; for D ≤ 127² that is less than 0.5 ÷ D, so the result is
/// the exact truncated quotient of the table.
struct FloatDivide {
    float reciprocal;
    explicit FloatDivide(int radius)
        : reciprocal(1.0f / static_cast<float>((radius + 1) * (radius + 1)))
    {
    }
    int operator()(std::int32_t total) const
    {
        return static_cast<int>((static_cast<float>(total) + 0.5f) * reciprocal);
    }
};

/// Divides by (r + 1)² without a table: a floating-point estimate corrected to the exact
/// truncated quotient (totals stay far below 2^63, the estimate is off by at most one).
struct DirectDivide {
    std::int64_t divisor;
    double reciprocal;
    explicit DirectDivide(int radius)
        : divisor(std::int64_t(radius + 1) * (radius + 1))
        , reciprocal(1.0 / static_cast<double>(divisor))
    {
    }
    int operator()(std::int64_t total) const
    {
        std::int64_t q = static_cast<std::int64_t>(static_cast<double>(total) * reciprocal);
        if (q * divisor > total)
            --q;
        else if ((q + 1) * divisor <= total)
            ++q;
        return static_cast<int>(q);
    }
};

/// The sums of the window centred on x = 0 of a line of n ≥ 1 samples, in closed form: the
/// r + 1 samples up to the centre all repeat s[0] (weights 1 … r + 1); right of it the line,
/// then copies of its last sample.
template <int C, typename Sum, typename Read>
inline void SeedLine(std::size_t n, int r, const Read& read, Sum* total, Sum* in, Sum* out)
{
    const long long last = static_cast<long long>(n) - 1;
    const int inside = static_cast<int>(std::min<long long>(r, last));
    const Sum extra = static_cast<Sum>(r - inside);
    for (int c = 0; c < C; ++c) {
        const Sum first = read(0, c);
        out[c] = first * Sum(r + 1);
        total[c] = first * (Sum(r + 1) * Sum(r + 2) / 2);
        in[c] = 0;
    }
    for (int j = 1; j <= inside; ++j) {
        for (int c = 0; c < C; ++c) {
            const Sum v = read(j, c);
            in[c] += v;
            total[c] += v * Sum(r + 1 - j);
        }
    }
    if (extra > 0) {
        for (int c = 0; c < C; ++c) {
            const Sum v = read(static_cast<std::size_t>(last), c);
            in[c] += v * extra;
            total[c] += v * (extra * (extra + 1) / 2);
        }
    }
}

/// Blurs one line of n samples of C channels. read(i, c) returns sample i of channel c,
/// write(x, values) stores the C results (0 … 255) at x; edge is `MakeEdgeIndex(n, r)`.
template <int C, typename Sum, typename Read, typename Write, typename Divide>
inline void BlurLine(std::size_t n, int r, const int* edge, const Read& read, const Write& write,
    const Divide& divide)
{
    if (n == 0)
        return;
    Sum total[C];
    Sum in[C];
    Sum out[C];
    SeedLine<C>(n, r, read, total, in, out);

    unsigned char results[C];
    for (std::size_t x = 0;; ++x) {
        for (int c = 0; c < C; ++c)
            results[c] = static_cast<unsigned char>(divide(total[c]));
        write(x, static_cast<const unsigned char*>(results));
        if (x + 1 >= n)
            break;
        const std::size_t entering = static_cast<std::size_t>(edge[x]);
        const std::size_t leaving = x > static_cast<std::size_t>(r) ? x - r : 0;
        for (int c = 0; c < C; ++c) {
            const Sum centre = read(x + 1, c);
            in[c] += read(entering, c);
            total[c] += in[c] - out[c];
            out[c] += centre - read(leaving, c);
            in[c] -= centre;
        }
    }
}

/// Rows the column pass requests ahead of the one entering its window.
constexpr std::size_t kPrefetchRows = 8;

/// Blurs `Lanes` neighbouring columns of a single-channel image at once: the column pass walks
/// down a block of columns, so that every row it touches is read as whole cache lines. (An
/// image of interleaved channels is blurred as a single-channel image of its bytes: each byte
/// column is one channel of one pixel column.) `rows` + column is the top sample of the block's
/// first column, rowStride the samples per row; write(y, values) stores the `Lanes` results
/// (0 … 255) of row y and may prefetch(y) the row it will store a few steps ahead.
template <int Lanes, typename Sum, typename Sample, typename Write, typename Prefetch,
    typename Divide>
inline void BlurColumns(const Sample* rows, std::size_t column, std::size_t rowStride,
    std::size_t n, int r, const int* edge, const Write& write, const Prefetch& prefetch,
    const Divide& divide)
{
    if (n == 0)
        return;
    unsigned char results[Lanes];
    Sum total[Lanes];
    Sum in[Lanes];
    Sum out[Lanes];
    auto row = [&](std::size_t y) { return rows + y * rowStride + column; };

    const long long last = static_cast<long long>(n) - 1;
    const int inside = static_cast<int>(std::min<long long>(r, last));
    const Sum extra = static_cast<Sum>(r - inside);
    const Sample* first = row(0);
    for (int k = 0; k < Lanes; ++k) {
        out[k] = Sum(first[k]) * Sum(r + 1);
        total[k] = Sum(first[k]) * (Sum(r + 1) * Sum(r + 2) / 2);
        in[k] = 0;
    }
    for (int j = 1; j <= inside; ++j) {
        const Sample* s = row(static_cast<std::size_t>(j));
        const Sum weight = Sum(r + 1 - j);
        for (int k = 0; k < Lanes; ++k) {
            in[k] += s[k];
            total[k] += Sum(s[k]) * weight;
        }
    }
    if (extra > 0) {
        const Sample* s = row(static_cast<std::size_t>(last));
        for (int k = 0; k < Lanes; ++k) {
            in[k] += Sum(s[k]) * extra;
            total[k] += Sum(s[k]) * (extra * (extra + 1) / 2);
        }
    }

    for (std::size_t y = 0;; ++y) {
        for (int k = 0; k < Lanes; ++k)
            results[k] = static_cast<unsigned char>(divide(total[k]));
        write(y, static_cast<const unsigned char*>(results));
        if (y + 1 >= n)
            break;
        const std::size_t entering = static_cast<std::size_t>(edge[y]);
        const std::size_t leaving = y > static_cast<std::size_t>(r) ? y - r : 0;
        // Each step enters a new row and stores another, each on its own page: ask for both a
        // few steps early so that the walk does not wait on memory.
        const std::size_t ahead = std::min<std::size_t>(y + kPrefetchRows, n - 1);
        const Sample* aheadRow = row(static_cast<std::size_t>(edge[ahead]));
        for (std::size_t b = 0; b < Lanes * sizeof(Sample); b += 64)
            __builtin_prefetch(reinterpret_cast<const char*>(aheadRow) + b);
        prefetch(ahead);
        const Sample* enteringRow = row(entering);
        const Sample* centreRow = row(y + 1);
        const Sample* leavingRow = row(leaving);
        for (int k = 0; k < Lanes; ++k) {
            in[k] += enteringRow[k];
            total[k] += in[k] - out[k];
            out[k] += Sum(centreRow[k]) - Sum(leavingRow[k]);
            in[k] -= centreRow[k];
        }
    }
}

/// Runs `BlurColumns` over sample columns [begin, end) in blocks of `Lanes`, the rest in blocks
/// of `TailLanes` (which must divide what is left: a pixel's channels). write(y, column, count,
/// values) stores `count` results of row y from sample column `column` on; prefetch(y, column)
/// may prepare row y of a block.
template <int Lanes, int TailLanes, typename Sum, typename Sample, typename Write,
    typename Prefetch, typename Divide>
inline void BlurColumnRange(const Sample* rows, std::size_t begin, std::size_t end,
    std::size_t rowStride, std::size_t n, int r, const int* edge, const Write& write,
    const Prefetch& prefetch, const Divide& divide)
{
    std::size_t column = begin;
    for (; column + Lanes <= end; column += Lanes) {
        BlurColumns<Lanes, Sum>(
            rows, column, rowStride, n, r, edge,
            [&](std::size_t y, const unsigned char* values) { write(y, column, Lanes, values); },
            [&](std::size_t y) { prefetch(y, column); }, divide);
    }
    for (; column + TailLanes <= end; column += TailLanes) {
        BlurColumns<TailLanes, Sum>(
            rows, column, rowStride, n, r, edge,
            [&](std::size_t y, const unsigned char* values) {
                write(y, column, TailLanes, values);
            },
            [](std::size_t) {}, divide);
    }
}

} // namespace orv::image::stackblur
