// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "LargeBuffer.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace orv::image {

namespace {

constexpr std::size_t kHugeThreshold = 2 * kHugePage;

} // namespace

void LargeBufferDeleter::operator()(void* memory) const
{
    std::free(memory);
}

void* AllocateLargeBytes(std::size_t bytes)
{
    if (bytes == 0)
        bytes = 1;
    void* memory = nullptr;
    if (bytes >= kHugeThreshold) {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (rounded < bytes)
            throw std::bad_alloc();
        memory = std::aligned_alloc(kHugePage, rounded);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        // Only advice: without huge pages the buffer works the same, a little slower.
        if (memory)
            madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    } else {
        memory = std::malloc(bytes);
    }
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

} // namespace orv::image
