// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The batch heap really changes where camera-size pictures come from, and gives the default
// back: a no-op (a platform check that never matched) would cost every export a fresh mapping
// per picture without any test noticing.

#include <app/ProcessHeap.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MTRA_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define MTRA_OWN_ALLOCATOR 1
#endif
#endif

namespace {

#if defined(__GLIBC__) && !defined(MTRA_OWN_ALLOCATOR)

constexpr std::size_t kPicture = 100u * 1024u * 1024u; // a 24 MP ARGB picture, about

std::size_t MappedBytes()
{
    return mallinfo2().hblkhd;
}

TEST(ProcessHeapTest, BatchKeepsPicturesInTheHeapAndGivesTheDefaultBack)
{
    const std::size_t before = MappedBytes();
    {
        const mtra::app::BatchHeap heap;
        void* picture = std::malloc(kPicture);
        ASSERT_NE(picture, nullptr);
        std::memset(picture, 1, 4096);
        EXPECT_LT(MappedBytes(), before + kPicture) << "a picture in the batch is not mapped apart";
        std::free(picture);
    }
    void* picture = std::malloc(kPicture);
    ASSERT_NE(picture, nullptr);
    EXPECT_GE(MappedBytes(), before + kPicture) << "after the batch, the default returns";
    std::free(picture);
}

#else

TEST(ProcessHeapTest, BatchKeepsPicturesInTheHeapAndGivesTheDefaultBack)
{
    GTEST_SKIP() << "the heap here is not glibc's";
}

#endif

} // namespace
