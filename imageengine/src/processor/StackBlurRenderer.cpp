// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/StackBlurRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"
#include "WorkerThreads.h"
#include "processor/StackBlurAvx2.h"
#include "processor/StackBlurLines.h"

#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv::image {

namespace {

// Bytes blurred together by the column pass: 16 pixels, one 64-byte cache line of a row.
constexpr int kColumnLanes = 64;
// Most bytes of a row the AVX2 column pass leaves to the generic one.
constexpr std::size_t kTailBytes = 64;

#if defined(__SSE2__)

// The row pass with the four channels of a pixel in one vector: the same sums as `BlurLine`,
// four at a time, divided through the table or, with kFloat, by `FloatDivide`'s operations.
template <bool kFloat>
void BlurPixelRowSse2(const unsigned char* in, unsigned char* out, std::size_t n, int r,
    const int* edge, const unsigned char* table, float reciprocal)
{
    std::int32_t seed[3][4];
    stackblur::SeedLine<4>(
        n, r, [in](std::size_t i, int c) { return std::int32_t(in[i * 4 + c]); }, seed[0], seed[1],
        seed[2]);
    __m128i total = _mm_loadu_si128(reinterpret_cast<const __m128i*>(seed[0]));
    __m128i sumIn = _mm_loadu_si128(reinterpret_cast<const __m128i*>(seed[1]));
    __m128i sumOut = _mm_loadu_si128(reinterpret_cast<const __m128i*>(seed[2]));
    const __m128i zero = _mm_setzero_si128();
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 scale = _mm_set1_ps(reciprocal);
    auto pixel = [in, zero](std::size_t i) {
        int word;
        std::memcpy(&word, in + i * 4, 4);
        return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
    };
    alignas(16) std::int32_t sums[4];
    for (std::size_t x = 0;; ++x) {
        std::uint32_t word;
        if constexpr (kFloat) {
            const __m128i q
                = _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(_mm_cvtepi32_ps(total), half), scale));
            const __m128i words = _mm_packs_epi32(q, q);
            word = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
        } else {
            _mm_store_si128(reinterpret_cast<__m128i*>(sums), total);
            word = std::uint32_t(table[sums[0]]) | std::uint32_t(table[sums[1]]) << 8
                | std::uint32_t(table[sums[2]]) << 16 | std::uint32_t(table[sums[3]]) << 24;
        }
        std::memcpy(out + x * 4, &word, 4);
        if (x + 1 >= n)
            break;
        const std::size_t leaving = x > static_cast<std::size_t>(r) ? x - r : 0;
        const __m128i centre = pixel(x + 1);
        sumIn = _mm_add_epi32(sumIn, pixel(static_cast<std::size_t>(edge[x])));
        total = _mm_add_epi32(total, _mm_sub_epi32(sumIn, sumOut));
        sumOut = _mm_add_epi32(sumOut, _mm_sub_epi32(centre, pixel(leaving)));
        sumIn = _mm_sub_epi32(sumIn, centre);
    }
}

#endif

// One row of `width` pixels by the generic line code.
template <typename Sum, typename Divide>
void BlurRowOf(const unsigned char* in, unsigned char* out, std::size_t width, int radius,
    const int* edge, const Divide& divide)
{
    stackblur::BlurLine<4, Sum>(
        width, radius, edge, [in](std::size_t i, int c) { return Sum(in[i * 4 + c]); },
        [out](std::size_t x, const unsigned char* values) { std::memcpy(out + x * 4, values, 4); },
        divide);
}

template <typename Sum, typename Divide>
void BlurColumnsOf(const unsigned char* rows, unsigned char* destination, std::size_t width,
    std::size_t height, std::size_t firstColumn, std::size_t endColumn, int radius, const int* edge,
    const Divide& divide)
{
    // Every byte column is one channel of one pixel column.
    const std::size_t stride = width * 4;
    stackblur::BlurColumnRange<kColumnLanes, 4, Sum>(
        rows, firstColumn * 4, endColumn * 4, stride, height, radius, edge,
        [destination, stride](
            std::size_t y, std::size_t byte, int count, const unsigned char* values) {
            std::memcpy(destination + y * stride + byte, values, static_cast<std::size_t>(count));
        },
        [destination, stride](std::size_t y, std::size_t byte) {
            __builtin_prefetch(destination + y * stride + byte, 1);
        },
        divide);
}

} // namespace

StackBlurRenderer::StackBlurRenderer(
    int radius, bool horizontal, bool vertical, OVChannelsToProcess channels, bool avx2)
    : m_radius(radius)
    , m_effectiveRadius(stackblur::LimitedRadius(radius))
    , m_horizontal(horizontal)
    , m_vertical(vertical)
    , m_channels(channels)
    , m_avx2(avx2 && Avx2Available())
{
}

StackBlurRenderer::~StackBlurRenderer() = default;

void StackBlurRenderer::Prepare(OVAbstractImage* source)
{
    PrepareRows(source, nullptr);
    // Where the column pass can run in place, it runs here on W workers of its own: its walk
    // down the columns then writes the row-blurred copy (in large pages) instead of stepping
    // through a page of the destination at every row, and the queue's workers only copy
    // their byte ranges.
    const unsigned workers = WorkerCount();
    if (CanBlurInPlace(workers)) {
        RunWorkerThreads(workers, [this, workers](unsigned i) {
            BlurInPlace(i, workers);
            return 0;
        });
        m_blurred = true;
    }
}

void StackBlurRenderer::PrepareWithInvertedAlpha(
    const OVAbstractImage* source, const OVAbstractImage* alphaSource)
{
    PrepareRows(source, alphaSource);
}

void StackBlurRenderer::PrepareRows(
    const OVAbstractImage* source, const OVAbstractImage* alphaSource)
{
    m_rows.reset();
    m_divisionTable.reset();
    m_width = 0;
    m_height = 0;
    m_blurred = false;
    if (source->BitsPerChannel() != Bits8 || PixelCount(source) == 0)
        return;

    const std::size_t width = source->Width();
    const std::size_t height = source->Height();
    const std::size_t pixels = width * height;
    m_rows = AllocateLargeBuffer<unsigned char>(pixels * 4);
    m_rowEdge = stackblur::MakeEdgeIndex(width, m_effectiveRadius);
    m_columnEdge = stackblur::MakeEdgeIndex(height, m_effectiveRadius);
    m_division = stackblur::UsesFloatDivision(m_effectiveRadius) ? Division::Float
        : stackblur::UsesTable(m_effectiveRadius)                ? Division::Table
                                                                 : Division::Direct;
    if (m_division == Division::Table)
        m_divisionTable = stackblur::MakeDivisionTable(m_effectiveRadius);
    m_width = width;
    m_height = height;

    const unsigned workers = WorkerCount();
    m_tails.clear();
    m_tailWorkers = 0;
    if (UsesRowPairs()) {
        m_tails.resize(std::size_t(workers) * kTailBytes * height);
        m_tailWorkers = workers;
    }
    // Each worker assembles its rows in a buffer of its own (allocated here: workers must not
    // throw), where they stay in the cache for the blur that follows: the AVX2 loop's pairs of
    // interleaved rows, or a row with its alpha replaced.
    const std::size_t scratch = UsesRowPairs() ? 2 * width * 4 : alphaSource ? width * 4 : 0;
    std::vector<unsigned char> assembled(workers * scratch);
    RunWorkerThreads(workers, [&](unsigned i) {
        BlurRows(source, alphaSource, assembled.data() + i * scratch, i, workers);
        return 0;
    });
}

void StackBlurRenderer::BlurRows(const OVAbstractImage* source, const OVAbstractImage* alphaSource,
    unsigned char* assembled, unsigned index, unsigned count) const
{
    const WorkRange rows = ThreadLineRange(m_height, index, count);
    if (rows.IsEmpty())
        return;
    const std::size_t stride = m_width * 4;
    const unsigned char* bytes = Bytes(source);
    auto input = [&](std::size_t y) {
        const unsigned char* row = bytes + y * stride;
        if (!alphaSource)
            return row;
        const unsigned char* alpha = Bytes(alphaSource) + y * stride;
        std::memcpy(assembled, row, stride);
        for (std::size_t i = 3; i < stride; i += 4)
            assembled[i] = static_cast<unsigned char>(255 - alpha[i]);
        return static_cast<const unsigned char*>(assembled);
    };
    unsigned char* out = m_rows.get();
    const int r = m_effectiveRadius;
    const int* edge = m_rowEdge.data();
    std::size_t y = rows.begin;
#if MTRA_HAVE_AVX2_PATHS
    if (UsesRowPairs()) {
        for (; y + 2 <= rows.end; y += 2) {
            const unsigned char* alpha = alphaSource ? Bytes(alphaSource) + y * stride : nullptr;
            stackblur::InterleaveRowsAvx2(bytes + y * stride, bytes + (y + 1) * stride, alpha,
                alpha ? alpha + stride : nullptr, m_width, assembled);
            stackblur::BlurRowPairAvx2(
                assembled, out + y * stride, out + (y + 1) * stride, m_width, r, edge);
        }
    }
#endif
    for (; y < rows.end; ++y) {
        const unsigned char* in = input(y);
        unsigned char* rowOut = out + y * stride;
        switch (m_division) {
        case Division::Float:
#if defined(__SSE2__)
            BlurPixelRowSse2<true>(
                in, rowOut, m_width, r, edge, nullptr, stackblur::FloatDivide(r).reciprocal);
#else
            BlurRowOf<std::int32_t>(in, rowOut, m_width, r, edge, stackblur::FloatDivide(r));
#endif
            break;
        case Division::Table:
#if defined(__SSE2__)
            BlurPixelRowSse2<false>(in, rowOut, m_width, r, edge, m_divisionTable.get(), 0.0f);
#else
            BlurRowOf<std::int32_t>(
                in, rowOut, m_width, r, edge, stackblur::TableDivide { m_divisionTable.get() });
#endif
            break;
        case Division::Direct:
            BlurRowOf<std::int64_t>(in, rowOut, m_width, r, edge, stackblur::DirectDivide(r));
            break;
        }
    }
}

void StackBlurRenderer::BlurInPlace(unsigned index, unsigned count)
{
#if MTRA_HAVE_AVX2_PATHS
    if (!CanBlurInPlace(count))
        return;
    const WorkRange columns = ThreadLineRange(m_width, index, count);
    if (columns.IsEmpty())
        return;
    const std::size_t stride = m_width * 4;
    const int r = m_effectiveRadius;
    const std::size_t first
        = stackblur::BlurColumnsAvx2(m_rows.get(), m_rows.get(), stride, m_height,
              columns.begin * 4, columns.end * 4, r, m_columnEdge.data())
        / 4;
    if (first == columns.end)
        return;
    // The remaining columns (fewer than a block) through the generic pass into this worker's
    // tail buffer, then back: that pass reads the rows it overwrites.
    const std::size_t tailBytes = (columns.end - first) * 4;
    unsigned char* tail = m_tails.data() + std::size_t(index) * kTailBytes * m_height;
    stackblur::BlurColumnRange<kColumnLanes, 4, std::int32_t>(
        m_rows.get(), first * 4, columns.end * 4, stride, m_height, r, m_columnEdge.data(),
        [tail, first](std::size_t y, std::size_t byte, int lanes, const unsigned char* values) {
            std::memcpy(tail + y * kTailBytes + (byte - first * 4), values,
                static_cast<std::size_t>(lanes));
        },
        [](std::size_t, std::size_t) {}, stackblur::FloatDivide(r));
    for (std::size_t y = 0; y < m_height; ++y)
        std::memcpy(m_rows.get() + y * stride + first * 4, tail + y * kTailBytes, tailBytes);
#else
    (void)index;
    (void)count;
#endif
}

LargeBuffer<unsigned char> StackBlurRenderer::TakeBlurred()
{
    m_blurred = false;
    m_width = 0;
    m_height = 0;
    m_tails.clear();
    m_tailWorkers = 0;
    return std::move(m_rows);
}

void StackBlurRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    // Prepare built the planes for exactly this input; anything else is left untouched.
    if (source->BitsPerChannel() != Bits8 || !m_rows || source->Width() != m_width
        || source->Height() != m_height)
        return;
    if (m_blurred) {
        const WorkRange range = ThreadByteRange(m_width * m_height, threadIndex, threadCount);
        if (!range.IsEmpty())
            std::memcpy(Bytes(destination) + range.begin, m_rows.get() + range.begin, range.Size());
        return;
    }
    const WorkRange columns = ThreadLineRange(m_width, threadIndex, threadCount);
    if (columns.IsEmpty())
        return;
    unsigned char* bytes = Bytes(destination);
    const int r = m_effectiveRadius;
    switch (m_division) {
    case Division::Float: {
        std::size_t first = columns.begin;
#if MTRA_HAVE_AVX2_PATHS
        if (m_avx2) {
            first = stackblur::BlurColumnsAvx2(m_rows.get(), bytes, m_width * 4, m_height,
                        columns.begin * 4, columns.end * 4, r, m_columnEdge.data())
                / 4;
        }
#endif
        BlurColumnsOf<std::int32_t>(m_rows.get(), bytes, m_width, m_height, first, columns.end, r,
            m_columnEdge.data(), stackblur::FloatDivide(r));
        break;
    }
    case Division::Table:
        BlurColumnsOf<std::int32_t>(m_rows.get(), bytes, m_width, m_height, columns.begin,
            columns.end, r, m_columnEdge.data(), stackblur::TableDivide { m_divisionTable.get() });
        break;
    case Division::Direct:
        BlurColumnsOf<std::int64_t>(m_rows.get(), bytes, m_width, m_height, columns.begin,
            columns.end, r, m_columnEdge.data(), stackblur::DirectDivide(r));
        break;
    }
}

} // namespace orv::image
