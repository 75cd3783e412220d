// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/MirrorRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"

#include <algorithm>
#include <cstring>

namespace orv::image {

MirrorRenderer::MirrorRenderer(bool horizontal, bool vertical)
    : m_horizontal(horizontal)
    , m_vertical(vertical)
{
}

void MirrorRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8)
        return;
    const std::size_t width = source->Width();
    const std::size_t height = source->Height();
    const WorkRange range = ThreadPixelRange(width * height, threadIndex, threadCount);
    const unsigned char* in = Bytes(source);
    unsigned char* out = Bytes(destination);
    // Walk the range one destination row piece at a time.
    for (std::size_t p = range.begin; p < range.end;) {
        const std::size_t y = p / width;
        const std::size_t x = p % width;
        const std::size_t count = std::min(width - x, range.end - p);
        const std::size_t sourceRow = m_vertical ? height - 1 - y : y;
        const unsigned char* rowIn = in + sourceRow * width * 4;
        unsigned char* target = out + p * 4;
        if (!m_horizontal) {
            std::memcpy(target, rowIn + x * 4, count * 4);
        } else {
            for (std::size_t k = 0; k < count; ++k)
                std::memcpy(target + k * 4, rowIn + (width - 1 - x - k) * 4, 4);
        }
        p += count;
    }
}

} // namespace orv::image
