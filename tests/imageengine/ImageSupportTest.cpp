// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageSupport.h>

#include <ovimageengine/OVResultCode.h>

#include "ImageFill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace orv::image;

namespace {

// Renders in flight at once share the cores: a limit holds for its own thread only, nests,
// and goes with its scope.
TEST(ImageSupportTest, AWorkerLimitHoldsOnItsOwnThreadWhileItLives)
{
    const unsigned unlimited = RenderWorkerCount();
    EXPECT_GE(unlimited, 1u);
    {
        const WorkerLimit one(1);
        EXPECT_EQ(RenderWorkerCount(), 1u);
        unsigned elsewhere = 0;
        std::thread([&] { elsewhere = RenderWorkerCount(); }).join();
        EXPECT_EQ(elsewhere, unlimited);
        {
            const WorkerLimit many(1000);
            EXPECT_EQ(RenderWorkerCount(), 255u);
            const WorkerLimit none(0);
            EXPECT_EQ(RenderWorkerCount(), unlimited);
        }
        EXPECT_EQ(RenderWorkerCount(), 1u);
    }
    EXPECT_EQ(RenderWorkerCount(), unlimited);
}

TEST(ImageSupportTest, FillImageWritesEveryPixelAlikeOnBothPaths)
{
    // Pixel counts around the 16-byte block size exercise the single-pixel lead-in.
    for (unsigned int width : { 1u, 3u, 4u, 5u, 7u, 33u }) {
        OVImage8 plain(width, 3, PixelOrderBGRA, true);
        OVImage8 vector(width, 3, PixelOrderBGRA, true);
        ASSERT_EQ(FillImage(11, 22, 33, 44, &plain, CpuFeatures::None()), ResultSuccess);
        ASSERT_EQ(FillImage(11, 22, 33, 44, &vector, CpuFeatures::Detected()), ResultSuccess);
        for (unsigned int i = 0; i < plain.BufferByteSize(); i += 4) {
            const unsigned char expected[4] = { 33, 22, 11, 44 };
            ASSERT_EQ(std::memcmp(plain.Buffer() + i, expected, 4), 0) << width << " " << i;
        }
        EXPECT_EQ(std::memcmp(plain.Buffer(), vector.Buffer(), plain.BufferByteSize()), 0) << width;
    }

    OVImage8 empty(0, 0, PixelOrderBGRA, true);
    EXPECT_EQ(FillImage(1, 2, 3, 4, &empty), ResultSuccess);
}

TEST(ImageSupportTest, FillImageRefusesOtherOrdersAndLeavesThemUntouched)
{
    OVImage8 argb(2, 2, PixelOrderARGB, true);
    EXPECT_EQ(FillImage(1, 2, 3, 4, &argb), ResultUnsupported);
    const std::vector<unsigned char> zeros(argb.BufferByteSize(), 0);
    EXPECT_EQ(std::memcmp(argb.Buffer(), zeros.data(), zeros.size()), 0);
    EXPECT_EQ(FillImage(1, 2, 3, 4, nullptr), ResultUnsupported);
}

TEST(ImageSupportTest, CodeForExceptionMapsExactTypesOnly)
{
    EXPECT_EQ(CodeForException(std::make_exception_ptr(std::bad_alloc()), 2), 8);
    EXPECT_EQ(CodeForException(std::make_exception_ptr(std::runtime_error("x")), 2), 2);
    EXPECT_EQ(CodeForException(std::make_exception_ptr(std::logic_error("x")), 2), 3);
    EXPECT_EQ(CodeForException(std::make_exception_ptr(std::invalid_argument("x")), 2), 4);
    EXPECT_EQ(CodeForException(std::make_exception_ptr(std::out_of_range("x")), 2), 7);
    // Derived classes are not their base: a length_error is not reported as a logic_error.
    EXPECT_EQ(CodeForException(std::make_exception_ptr(std::length_error("x")), 2), 2);
    EXPECT_EQ(CodeForException(std::make_exception_ptr(std::bad_array_new_length()), 2), 2);
    EXPECT_EQ(CodeForException(std::make_exception_ptr(std::range_error("x")), 2), 2);
}

TEST(ImageSupportTest, NewImagesAreZeroWhateverTheirSize)
{
    // Small images come from the heap, camera-size ones from fresh mappings; both start zero,
    // are writable to the last byte and report the size and order asked for.
    for (const unsigned int width : { 3u, 1500u }) {
        const auto image = NewZeroedImage(width, 1000, PixelOrderBGRA);
        auto* pixels = dynamic_cast<OVImage8*>(image.get());
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(pixels->Width(), width);
        EXPECT_EQ(pixels->Height(), 1000u);
        EXPECT_EQ(pixels->PixelChannelOrder(), PixelOrderBGRA);
        const std::vector<unsigned char> zero(pixels->BufferByteSize(), 0);
        EXPECT_EQ(std::memcmp(pixels->Buffer(), zero.data(), zero.size()), 0) << width;
        pixels->Buffer()[pixels->BufferByteSize() - 1] = 7;
        EXPECT_EQ(FillImage(1, 2, 3, 4, image.get()), ResultSuccess);
    }
    EXPECT_EQ(NewZeroedImage(0, 0, PixelOrderBGRA)->BufferByteSize(), 0u);
    // Sizes beyond the engine's 32-bit byte count are refused as out of memory.
    EXPECT_THROW(NewZeroedImage(70000, 70000, PixelOrderBGRA), std::bad_alloc);
}

} // namespace
