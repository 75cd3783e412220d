// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "WorkSplit.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orv::image;

namespace {

std::vector<std::size_t> Sizes(std::size_t total, unsigned count)
{
    std::vector<std::size_t> sizes;
    for (unsigned i = 0; i < count; ++i)
        sizes.push_back(ThreadPixelRange(total, i, count).Size());
    return sizes;
}

TEST(WorkSplitTest, LastWorkerTakesTheRemainderAndLateWorkersNothing)
{
    EXPECT_EQ(Sizes(10, 4), (std::vector<std::size_t> { 3, 3, 3, 1 }));
    EXPECT_EQ(Sizes(2, 4), (std::vector<std::size_t> { 1, 1, 0, 0 }));
    EXPECT_EQ(Sizes(0, 3), (std::vector<std::size_t> { 0, 0, 0 }));
    EXPECT_EQ(ThreadByteRange(10, 3, 4).begin, 36u);
    EXPECT_EQ(ThreadByteRange(10, 3, 4).end, 40u);
}

TEST(WorkSplitTest, EveryUnitBelongsToExactlyOneWorker)
{
    for (std::size_t total : { 0u, 1u, 2u, 5u, 31u, 97u * 31u, 1000u }) {
        for (unsigned count = 1; count <= 255; ++count) {
            std::vector<int> owners(total * 4, 0);
            for (unsigned i = 0; i < count; ++i) {
                const WorkRange bytes = ThreadByteRange(total, i, count);
                ASSERT_LE(bytes.begin, bytes.end);
                ASSERT_LE(bytes.end, total * 4);
                for (std::size_t b = bytes.begin; b < bytes.end; ++b)
                    ++owners[b];
            }
            for (std::size_t b = 0; b < owners.size(); ++b)
                ASSERT_EQ(owners[b], 1) << "total " << total << " workers " << count;
        }
    }
}

} // namespace
