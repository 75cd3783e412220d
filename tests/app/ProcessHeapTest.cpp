// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The batch heap really changes where camera-size pictures come from and how they are paged in,
// and gives the default back: a no-op (a platform check that never matched) would cost every
// export a fresh mapping per picture, or every page its own fault, without any test noticing.

#include <app/ProcessHeap.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "SanitizerHeap.h"

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

// The "VmFlags" of the mapping that holds `address` (/proc/self/smaps); empty if none.
std::string FlagsOfMappingAt(const void* address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> begin >> dash >> end && dash == '-') {
            inside = begin <= at && at < end;
            continue;
        }
        if (inside && line.rfind("VmFlags:", 0) == 0)
            return line;
    }
    return {};
}

// A picture made in a batch lies in memory advised for huge pages: the kernel then faults it
// in 2 MB at a time (a picture's 25,000 small faults cost more than its decode on a virtual
// machine).
TEST(ProcessHeapTest, BatchPicturesLieInMemoryAdvisedForHugePages)
{
    if (!std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled"))
        GTEST_SKIP() << "no transparent huge pages in this kernel";
    const mtra::app::BatchHeap heap;
    void* picture = std::malloc(kPicture);
    ASSERT_NE(picture, nullptr);
    const void* middle = static_cast<const char*>(picture) + kPicture / 2;
    const std::string flags = FlagsOfMappingAt(middle);
    EXPECT_NE(flags.find(" hg"), std::string::npos) << flags;
    std::free(picture);
}

#else

TEST(ProcessHeapTest, BatchKeepsPicturesInTheHeapAndGivesTheDefaultBack)
{
    GTEST_SKIP() << "the heap here is not glibc's";
}

#endif

} // namespace
