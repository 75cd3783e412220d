// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

namespace orv::image {

/// The size of a transparent huge page on the machines the program runs on.
constexpr std::size_t kHugePage = std::size_t(2) << 20;

struct LargeBufferDeleter {
    void operator()(void* memory) const;
};

/// An uninitialised array for a whole-image intermediate (blur rows, YUV buffers), freed on
/// destruction.
template <typename T> using LargeBuffer = std::unique_ptr<T[], LargeBufferDeleter>;

/// Allocates `bytes` uninitialised bytes; throws std::bad_alloc when it cannot. Buffers of
/// several megabytes are aligned to 2 MiB and, on Linux, offered transparent huge pages: the
/// blurs walk them down columns, a new page at every row, and the first touch of each small
/// page costs a fault.
void* AllocateLargeBytes(std::size_t bytes);

template <typename T> LargeBuffer<T> AllocateLargeBuffer(std::size_t count)
{
    static_assert(std::is_trivial_v<T>);
    if (count > static_cast<std::size_t>(-1) / sizeof(T))
        throw std::bad_alloc();
    return LargeBuffer<T>(static_cast<T*>(AllocateLargeBytes(count * sizeof(T))));
}

} // namespace orv::image
