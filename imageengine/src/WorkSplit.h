// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <algorithm>
#include <cstddef>

namespace orv::image {

/// A worker's half-open range [begin, end); empty when begin == end.
struct WorkRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t Size() const { return end - begin; }
    bool IsEmpty() const { return begin >= end; }
};

/// The one work split of the engine: `total` units among `count` workers, ceil(total ÷ count)
/// each; the last worker takes the remainder, and a worker that starts at or past the end gets
/// an empty range. Rows and columns of the by-line stages use it directly.
inline WorkRange ThreadLineRange(std::size_t total, unsigned index, unsigned count)
{
    if (count == 0)
        return {};
    const std::size_t chunk = (total + count - 1) / count;
    const std::size_t begin = std::min(total, chunk * index);
    const std::size_t end = index + 1 >= count ? total : std::min(total, begin + chunk);
    return { begin, end };
}

/// Pixels of a width × height image handled by worker `index` (one byte per pixel passes, such
/// as the keyer's matte).
inline WorkRange ThreadPixelRange(std::size_t pixelCount, unsigned index, unsigned count)
{
    return ThreadLineRange(pixelCount, index, count);
}

/// Bytes of a four-byte-per-pixel buffer handled by worker `index`: its pixel range × 4.
inline WorkRange ThreadByteRange(std::size_t pixelCount, unsigned index, unsigned count)
{
    const WorkRange pixels = ThreadPixelRange(pixelCount, index, count);
    return { pixels.begin * 4, pixels.end * 4 };
}

} // namespace orv::image
