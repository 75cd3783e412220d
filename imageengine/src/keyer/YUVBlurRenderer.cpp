// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "keyer/YUVBlurRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"
#include "WorkerThreads.h"
#include "keyer/YUVConversion.h"
#include "processor/StackBlurLines.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

namespace orv::image {

namespace {

// The chroma bytes of a pixel of the YUV buffer (V, U, Y, A).
constexpr int kV = 0;
constexpr int kU = 1;

// Pixel columns blurred together by the column passes: 16, one 64-byte line of the buffer.
constexpr int kColumnPixels = 16;

// Box blur of `Lanes` lines that share their length, in place: sample i of lane k is
// base[i × step + offset[k]]. Each output is the truncated mean of the samples within the
// radius that lie inside the line. The ring keeps the last r + 1 inputs, so that the samples
// leaving the window are the unblurred ones although the line is overwritten as it goes.
// A window holds up to min(2r + 1, n) samples of at most 255, so `Sum` is chosen to hold that.
template <int Lanes, typename Sum>
void BoxLinesWith(unsigned char* base, std::size_t step, const std::size_t* offset, std::size_t n,
    std::size_t r, std::vector<int>& ring)
{
    ring.resize((r + 1) * Lanes);
    Sum sum[Lanes] = {};
    for (std::size_t i = 0; i <= r; ++i) {
        for (int k = 0; k < Lanes; ++k)
            sum[k] += base[i * step + offset[k]];
    }
    Sum count = static_cast<Sum>(r + 1);
    std::size_t slot = 0;
    for (std::size_t x = 0; x < n; ++x) {
        unsigned char* sample = base + x * step;
        int* saved = ring.data() + slot * Lanes;
        for (int k = 0; k < Lanes; ++k) {
            saved[k] = sample[offset[k]];
            sample[offset[k]] = static_cast<unsigned char>(sum[k] / count);
        }
        // Move to x + 1: the sample at x − r leaves (its slot is the next one), x + r + 1
        // enters.
        slot = slot == r ? 0 : slot + 1;
        if (x >= r) {
            const int* leaving = ring.data() + slot * Lanes;
            for (int k = 0; k < Lanes; ++k)
                sum[k] -= leaving[k];
            --count;
        }
        if (x + r + 1 < n) {
            const unsigned char* entering = base + (x + r + 1) * step;
            for (int k = 0; k < Lanes; ++k)
                sum[k] += entering[offset[k]];
            ++count;
        }
    }
}

template <int Lanes>
void BoxLines(unsigned char* base, std::size_t step, const std::size_t* offset, std::size_t n,
    int radius, std::vector<int>& ring)
{
    if (n == 0 || radius <= 0)
        return;
    // A window reaching past both ends averages the whole line: r = n − 1 gives exactly that.
    const std::size_t r = std::min<std::size_t>(static_cast<std::size_t>(radius), n - 1);
    // 32-bit sums keep the column pass fast; past 8,421,504 samples (INT_MAX / 255) a window
    // would overflow them, which a hostile radius on a long line reaches.
    constexpr std::size_t kMaxIntWindow = static_cast<std::size_t>(INT_MAX) / 255;
    if (std::min(2 * r + 1, n) <= kMaxIntWindow)
        BoxLinesWith<Lanes, int>(base, step, offset, n, r, ring);
    else
        BoxLinesWith<Lanes, std::int64_t>(base, step, offset, n, r, ring);
}

} // namespace

YUVBlurRenderer::YUVBlurRenderer(int radius, OVYUVBlurType type)
    : m_radius(radius)
    , m_type(type)
{
}

YUVBlurRenderer::~YUVBlurRenderer() = default;

void YUVBlurRenderer::ToYUV(int b, int g, int r, int* v, int* u, int* y)
{
    yuv::PixelToYUV(b, g, r, v, u, y);
}

void YUVBlurRenderer::FromYUV(int v, int u, int y, int* b, int* g, int* r)
{
    yuv::PixelFromYUV(v, u, y, b, g, r);
}

void YUVBlurRenderer::ConvertRow(const unsigned char* source, std::size_t y)
{
    yuv::ToYUV(source + y * m_width * 4, m_yuv.get() + y * m_width * 4, m_width);
}

void YUVBlurRenderer::RowPass(const unsigned char* source, unsigned index, unsigned count)
{
    // Each row is converted and, while it is still in the cache, blurred along.
    const WorkRange rows = ThreadLineRange(m_height, index, count);
    const bool box = m_radius > 0 && (m_type == YUVBlurBoxRows || m_type == YUVBlurBoxRowsColumns);
    const bool stack = m_radius > 0 && m_type == YUVBlurStack;
    const std::size_t offset[2] = { kV, kU };
    std::vector<int> ring;
    for (std::size_t y = rows.begin; y < rows.end; ++y) {
        ConvertRow(source, y);
        if (box)
            BoxLines<2>(m_yuv.get() + y * m_width * 4, 4, offset, m_width, m_radius, ring);
        else if (stack)
            StackRow(y);
    }
}

void YUVBlurRenderer::BoxColumns(unsigned index, unsigned count)
{
    const WorkRange columns = ThreadLineRange(m_width, index, count);
    const std::size_t stride = m_width * 4;
    std::size_t block[kColumnPixels * 2];
    for (int k = 0; k < kColumnPixels * 2; ++k)
        block[k] = static_cast<std::size_t>(k / 2 * 4 + k % 2);
    const std::size_t single[2] = { kV, kU };
    std::vector<int> ring;
    std::size_t x = columns.begin;
    for (; x + kColumnPixels <= columns.end; x += kColumnPixels)
        BoxLines<kColumnPixels * 2>(m_yuv.get() + x * 4, stride, block, m_height, m_radius, ring);
    for (; x < columns.end; ++x)
        BoxLines<2>(m_yuv.get() + x * 4, stride, single, m_height, m_radius, ring);
}

void YUVBlurRenderer::StackRow(std::size_t y)
{
    const unsigned char* in = m_yuv.get() + y * m_width * 4;
    unsigned char* out = m_chromaRows.get() + y * m_width * 2;
    auto run = [&](const auto& divide, auto sumType) {
        using Sum = decltype(sumType);
        stackblur::BlurLine<2, Sum>(
            m_width, m_stackRadius, m_rowEdge.data(),
            [in](std::size_t i, int c) { return Sum(in[i * 4 + c]); },
            [out](std::size_t x, const unsigned char* values) {
                std::memcpy(out + x * 2, values, 2);
            },
            divide);
    };
    if (m_divisionTable)
        run(stackblur::TableDivide { m_divisionTable.get() }, std::int32_t());
    else
        run(stackblur::DirectDivide(m_stackRadius), std::int64_t());
}

void YUVBlurRenderer::StackColumns(unsigned index, unsigned count)
{
    const WorkRange columns = ThreadLineRange(m_width, index, count);
    unsigned char* yuv = m_yuv.get();
    const std::size_t width = m_width;
    // The row-blurred chroma is a single-channel image of 2 × width bytes per row; its byte
    // column j is chroma byte j % 2 of pixel column j ÷ 2.
    // Blocks start on a pixel (an even byte column): store each pixel's V and U together.
    auto write
        = [yuv, width](std::size_t y, std::size_t column, int lanes, const unsigned char* values) {
              unsigned char* pixel = yuv + (y * width + column / 2) * 4;
              for (int k = 0; k < lanes; k += 2, pixel += 4)
                  std::memcpy(pixel, values + k, 2);
          };
    auto prefetch = [yuv, width](std::size_t y, std::size_t column) {
        __builtin_prefetch(yuv + y * width * 4 + column * 2, 1);
    };
    if (m_divisionTable) {
        stackblur::BlurColumnRange<kColumnPixels * 2, 2, std::int32_t>(m_chromaRows.get(),
            columns.begin * 2, columns.end * 2, width * 2, m_height, m_stackRadius,
            m_columnEdge.data(), write, prefetch, stackblur::TableDivide { m_divisionTable.get() });
    } else {
        stackblur::BlurColumnRange<kColumnPixels * 2, 2, std::int64_t>(m_chromaRows.get(),
            columns.begin * 2, columns.end * 2, width * 2, m_height, m_stackRadius,
            m_columnEdge.data(), write, prefetch, stackblur::DirectDivide(m_stackRadius));
    }
}

void YUVBlurRenderer::Prepare(OVAbstractImage* source)
{
    m_yuv.reset();
    m_chromaRows.reset();
    m_divisionTable.reset();
    m_width = 0;
    m_height = 0;
    if (source->BitsPerChannel() != Bits8 || PixelCount(source) == 0)
        return;
    const std::size_t width = source->Width();
    const std::size_t height = source->Height();
    m_yuv = AllocateLargeBuffer<unsigned char>(width * height * 4);
    m_width = width;
    m_height = height;

    const unsigned workers = WorkerCount();
    auto pass = [workers](auto&& work) {
        RunWorkerThreads(workers, [&work, workers](unsigned i) {
            work(i, workers);
            return 0;
        });
    };
    if (m_radius > 0 && m_type == YUVBlurStack) {
        m_stackRadius = stackblur::LimitedRadius(m_radius);
        m_chromaRows = AllocateLargeBuffer<unsigned char>(width * height * 2);
        m_rowEdge = stackblur::MakeEdgeIndex(width, m_stackRadius);
        m_columnEdge = stackblur::MakeEdgeIndex(height, m_stackRadius);
        if (stackblur::UsesTable(m_stackRadius))
            m_divisionTable = stackblur::MakeDivisionTable(m_stackRadius);
    }
    const unsigned char* bytes = Bytes(source);
    pass([this, bytes](unsigned i, unsigned count) { RowPass(bytes, i, count); });
    if (m_radius <= 0)
        return;
    if (m_type == YUVBlurBoxColumns || m_type == YUVBlurBoxRowsColumns)
        pass([this](unsigned i, unsigned count) { BoxColumns(i, count); });
    if (m_type == YUVBlurStack) {
        pass([this](unsigned i, unsigned count) { StackColumns(i, count); });
        m_chromaRows.reset();
    }
}

void YUVBlurRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8 || !m_yuv || source->Width() != m_width
        || source->Height() != m_height)
        return;
    const WorkRange range = ThreadPixelRange(m_width * m_height, threadIndex, threadCount);
    yuv::FromYUV(m_yuv.get() + range.begin * 4, Bytes(destination) + range.begin * 4, range.Size());
}

} // namespace orv::image
