// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ProcessHeap.h>

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#endif

#include "SanitizerHeap.h"

namespace mtra::app {

namespace {
#if defined(__GLIBC__)
// glibc's defaults (its mmap threshold then adapts again from here).
constexpr int kDefaultMmapThreshold = 128 * 1024;
constexpr int kDefaultTrimThreshold = 128 * 1024;

// Above the batch's working set plus the room advised below, so that freeing never hands it
// back during the batch.
constexpr int kBatchTrimThreshold = 1536 * 1024 * 1024;

// Grows the heap by the batch's working set, advises that span for huge pages and gives it back
// to the heap (not to the system): nothing is touched, so nothing is resident until pictures
// use it, and then the kernel faults each 2 MB in at once instead of 512 pages one by one. On
// a virtual machine a 4 KB fault can cost 10 µs: a camera-size picture's pages cost more than
// its JPEG decode. Where transparent huge pages are off, the advice does nothing.
void AdviseHugePagesAtTop()
{
#if defined(MADV_HUGEPAGE) && !defined(MTRA_OWN_ALLOCATOR)
    constexpr std::size_t kHugePage = 2 * 1024 * 1024;
    // The room advised: a one-job batch's working set at 24 MP and more (what a larger one
    // needs beyond it is paged as before), in pieces below the mmap threshold so that they
    // come from the heap.
    constexpr std::size_t kAdvisedPiece = 128 * 1024 * 1024;
    constexpr int kAdvisedPieces = 7;
    void* pieces[kAdvisedPieces] = {};
    for (void*& piece : pieces) {
        piece = std::malloc(kAdvisedPiece);
        if (!piece)
            break;
        const auto first = reinterpret_cast<std::uintptr_t>(piece);
        const std::uintptr_t begin = (first + kHugePage - 1) / kHugePage * kHugePage;
        const std::uintptr_t end = (first + kAdvisedPiece) / kHugePage * kHugePage;
        if (end > begin)
            madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    for (int i = kAdvisedPieces - 1; i >= 0; --i)
        std::free(pieces[i]);
#endif
}
#endif
} // namespace

void UseOneHeap()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

BatchHeap::BatchHeap()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, kBatchTrimThreshold);
    AdviseHugePagesAtTop();
#endif
}

BatchHeap::~BatchHeap()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kDefaultMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, kDefaultTrimThreshold);
    malloc_trim(0);
#endif
}

} // namespace mtra::app
