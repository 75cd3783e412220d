// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/StackBlurRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"
#include "WorkerThreads.h"
#include "processor/StackBlurLines.h"

#include <cstdint>
#include <cstring>

namespace orv::image {

namespace {

// Bytes blurred together by the column pass: 16 pixels, one 64-byte cache line of a row.
constexpr int kColumnLanes = 64;

template <typename Sum, typename Divide>
void BlurRowsOf(const unsigned char* source, unsigned char* rows, std::size_t width,
    std::size_t firstRow, std::size_t endRow, int radius, const int* edge, const Divide& divide)
{
    for (std::size_t y = firstRow; y < endRow; ++y) {
        const unsigned char* in = source + y * width * 4;
        unsigned char* out = rows + y * width * 4;
        stackblur::BlurLine<4, Sum>(
            width, radius, edge, [in](std::size_t i, int c) { return Sum(in[i * 4 + c]); },
            [out](std::size_t x, const unsigned char* values) {
                std::memcpy(out + x * 4, values, 4);
            },
            divide);
    }
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
    int radius, bool horizontal, bool vertical, OVChannelsToProcess channels)
    : m_radius(radius)
    , m_effectiveRadius(stackblur::LimitedRadius(radius))
    , m_horizontal(horizontal)
    , m_vertical(vertical)
    , m_channels(channels)
{
}

StackBlurRenderer::~StackBlurRenderer() = default;

void StackBlurRenderer::Prepare(OVAbstractImage* source)
{
    m_rows.reset();
    m_divisionTable.reset();
    m_width = 0;
    m_height = 0;
    if (source->BitsPerChannel() != Bits8 || PixelCount(source) == 0)
        return;

    const std::size_t width = source->Width();
    const std::size_t height = source->Height();
    const std::size_t pixels = width * height;
    m_rows = AllocateLargeBuffer<unsigned char>(pixels * 4);
    m_rowEdge = stackblur::MakeEdgeIndex(width, m_effectiveRadius);
    m_columnEdge = stackblur::MakeEdgeIndex(height, m_effectiveRadius);
    if (stackblur::UsesTable(m_effectiveRadius))
        m_divisionTable = stackblur::MakeDivisionTable(m_effectiveRadius);
    m_width = width;
    m_height = height;

    const unsigned workers = WorkerCount();
    RunWorkerThreads(workers, [this, source, workers](unsigned i) {
        BlurRows(source, i, workers);
        return 0;
    });
}

void StackBlurRenderer::BlurRows(
    const OVAbstractImage* source, unsigned index, unsigned count) const
{
    const WorkRange rows = ThreadLineRange(m_height, index, count);
    if (rows.IsEmpty())
        return;
    const unsigned char* bytes = Bytes(source);
    if (m_divisionTable) {
        BlurRowsOf<std::int32_t>(bytes, m_rows.get(), m_width, rows.begin, rows.end,
            m_effectiveRadius, m_rowEdge.data(), stackblur::TableDivide { m_divisionTable.get() });
    } else {
        BlurRowsOf<std::int64_t>(bytes, m_rows.get(), m_width, rows.begin, rows.end,
            m_effectiveRadius, m_rowEdge.data(), stackblur::DirectDivide(m_effectiveRadius));
    }
}

void StackBlurRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    // Prepare built the planes for exactly this input; anything else is left untouched.
    if (source->BitsPerChannel() != Bits8 || !m_rows || source->Width() != m_width
        || source->Height() != m_height)
        return;
    const WorkRange columns = ThreadLineRange(m_width, threadIndex, threadCount);
    if (columns.IsEmpty())
        return;
    unsigned char* bytes = Bytes(destination);
    if (m_divisionTable) {
        BlurColumnsOf<std::int32_t>(m_rows.get(), bytes, m_width, m_height, columns.begin,
            columns.end, m_effectiveRadius, m_columnEdge.data(),
            stackblur::TableDivide { m_divisionTable.get() });
    } else {
        BlurColumnsOf<std::int64_t>(m_rows.get(), bytes, m_width, m_height, columns.begin,
            columns.end, m_effectiveRadius, m_columnEdge.data(),
            stackblur::DirectDivide(m_effectiveRadius));
    }
}

} // namespace orv::image
