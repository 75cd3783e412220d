// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "keyer/AlphaCrop.h"

#include "ImageAccess.h"
#include "WorkSplit.h"

#include <algorithm>
#include <cstring>

namespace orv::image {

AlphaCrop::AlphaCrop(double left, double top, double right, double bottom)
    : m_left(left)
    , m_top(top)
    , m_right(right)
    , m_bottom(bottom)
{
}

void AlphaCrop::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8 || source->PixelChannelOrder() != PixelOrderBGRA)
        return;
    const long long width = source->Width();
    const long long height = source->Height();
    const WorkRange rows
        = ThreadLineRange(static_cast<std::size_t>(height), threadIndex, threadCount);
    const long long l = static_cast<long long>(width * m_left);
    const long long r = static_cast<long long>(width * m_right);
    const long long t = static_cast<long long>(height * m_top);
    const long long b = static_cast<long long>(height * m_bottom);
    // Columns l + 1 … width − r − 1 keep their alpha (an empty span when they cross).
    const long long firstKept = l + 1;
    const long long endKept = std::max(firstKept, width - r);
    const unsigned char* in = Bytes(source);
    unsigned char* out = Bytes(destination);
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (std::size_t y = rows.begin; y < rows.end; ++y) {
        const unsigned char* rowIn = in + y * stride;
        unsigned char* rowOut = out + y * stride;
        std::memcpy(rowOut, rowIn, stride);
        const long long row = static_cast<long long>(y);
        const bool rowKept = t < row && row < height - b;
        const long long clearTo = rowKept ? std::min(firstKept, width) : width;
        const long long clearFrom = rowKept ? std::min(endKept, width) : width;
        for (long long x = 0; x < clearTo; ++x)
            rowOut[x * 4 + 3] = 0;
        for (long long x = clearFrom; x < width; ++x)
            rowOut[x * 4 + 3] = 0;
    }
}

} // namespace orv::image
