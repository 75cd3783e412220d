// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ProcessHeap.h>

#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace mtra::app {

namespace {
#if defined(__GLIBC__)
// glibc's defaults (its mmap threshold then adapts again from here).
constexpr int kDefaultMmapThreshold = 128 * 1024;
constexpr int kDefaultTrimThreshold = 128 * 1024;
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
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
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
