// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "PixelRoutines.h"

#include <app/AbstractImageCache.h>

#include <ovimageengine/OVResultCode.h>

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <vector>

using namespace mtra::app;
using orv::image::OVImage8;

TEST(PixelRoutinesTest, FillImageWritesEveryPixelAlikeOnBothPaths)
{
    // Pixel counts around the 16-byte block size exercise the single-pixel lead-in.
    for (unsigned int width : { 1u, 3u, 4u, 5u, 7u, 33u }) {
        OVImage8 plain(width, 3, orv::image::PixelOrderBGRA, true);
        OVImage8 vector(width, 3, orv::image::PixelOrderBGRA, true);
        ASSERT_EQ(FillImage(11, 22, 33, 44, &plain, false), orv::image::ResultSuccess);
        ASSERT_EQ(FillImage(11, 22, 33, 44, &vector, true), orv::image::ResultSuccess);
        for (unsigned int i = 0; i < plain.BufferByteSize(); i += 4) {
            const unsigned char expected[4] = { 33, 22, 11, 44 };
            ASSERT_EQ(std::memcmp(plain.Buffer() + i, expected, 4), 0) << width << " " << i;
        }
        EXPECT_EQ(std::memcmp(plain.Buffer(), vector.Buffer(), plain.BufferByteSize()), 0) << width;
    }

    OVImage8 empty(0, 0, orv::image::PixelOrderBGRA, true);
    EXPECT_EQ(FillImage(1, 2, 3, 4, &empty), orv::image::ResultSuccess);
}

TEST(PixelRoutinesTest, FillImageRefusesOtherOrdersAndLeavesThemUntouched)
{
    OVImage8 argb(2, 2, orv::image::PixelOrderARGB, true);
    EXPECT_EQ(FillImage(1, 2, 3, 4, &argb), orv::image::ResultUnsupported);
    const std::vector<unsigned char> zeros(argb.BufferByteSize(), 0);
    EXPECT_EQ(std::memcmp(argb.Buffer(), zeros.data(), zeros.size()), 0);
    EXPECT_EQ(FillImage(1, 2, 3, 4, nullptr), orv::image::ResultUnsupported);
}

TEST(PixelRoutinesTest, ClassifyExceptionMapsExactTypesOnly)
{
    EXPECT_EQ(ClassifyException(std::bad_alloc()), 8);
    EXPECT_EQ(ClassifyException(std::runtime_error("x")), 2);
    EXPECT_EQ(ClassifyException(std::logic_error("x")), 3);
    EXPECT_EQ(ClassifyException(std::invalid_argument("x")), 4);
    EXPECT_EQ(ClassifyException(std::out_of_range("x")), 7);
    // Derived classes are not their base: a length_error is not reported as a logic_error.
    EXPECT_EQ(ClassifyException(std::length_error("x")), 2);
    EXPECT_EQ(ClassifyException(std::bad_array_new_length()), 2);
    EXPECT_EQ(ClassifyException(std::range_error("x")), 2);
}

TEST(PixelRoutinesTest, WindowImagesRoundScreenSizesUp)
{
    const QRect screen(0, 0, 1920, 1080);
    const auto full
        = CreateWindowImage(screen, orv::image::DownsampleFull, orv::image::PixelOrderBGRA);
    const auto quarter
        = CreateWindowImage(screen, orv::image::DownsampleQuarter, orv::image::PixelOrderBGRA);
    EXPECT_EQ(full->Width(), 1920u);
    EXPECT_EQ(full->Height(), 1080u);
    EXPECT_EQ(quarter->Width(), 480u);
    EXPECT_EQ(quarter->Height(), 270u);

    // An offset 1366 × 767 screen: ceil(341.5) and ceil(191.75).
    const auto odd = CreateWindowImage(
        QRect(100, -50, 1366, 767), orv::image::DownsampleQuarter, orv::image::PixelOrderBGRA);
    EXPECT_EQ(odd->Width(), 342u);
    EXPECT_EQ(odd->Height(), 192u);
    auto* pixels = dynamic_cast<OVImage8*>(odd.get());
    ASSERT_NE(pixels, nullptr);
    const std::vector<unsigned char> zeros(pixels->BufferByteSize(), 0);
    EXPECT_EQ(std::memcmp(pixels->Buffer(), zeros.data(), zeros.size()), 0);

    // A one-pixel screen still gives a one-pixel quarter cache.
    EXPECT_EQ(CreateWindowImage(
                  QRect(0, 0, 1, 1), orv::image::DownsampleQuarter, orv::image::PixelOrderBGRA)
                  ->Width(),
        1u);
}

TEST(PixelRoutinesTest, WindowImagesRefuseInvertedRectangles)
{
    const QRect inverted(QPoint(10, 0), QPoint(5, 100)); // right < left
    EXPECT_THROW(
        CreateWindowImage(inverted, orv::image::DownsampleFull, orv::image::PixelOrderBGRA),
        std::runtime_error);
    const QRect upsideDown(QPoint(0, 10), QPoint(100, 5)); // bottom < top
    EXPECT_THROW(
        CreateWindowImage(upsideDown, orv::image::DownsampleQuarter, orv::image::PixelOrderBGRA),
        std::runtime_error);
    static_assert(std::is_polymorphic_v<AbstractImageCache>);
}

TEST(PixelRoutinesTest, NewImagesAreZeroWhateverTheirSize)
{
    // Small images come from the heap, camera-size ones from fresh mappings; both start zero,
    // are writable to the last byte and report the size and order asked for.
    for (const unsigned int width : { 3u, 1500u }) {
        const auto image = NewImage(width, 1000, orv::image::PixelOrderBGRA);
        auto* pixels = dynamic_cast<OVImage8*>(image.get());
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(pixels->Width(), width);
        EXPECT_EQ(pixels->Height(), 1000u);
        EXPECT_EQ(pixels->PixelChannelOrder(), orv::image::PixelOrderBGRA);
        const std::vector<unsigned char> zero(pixels->BufferByteSize(), 0);
        EXPECT_EQ(std::memcmp(pixels->Buffer(), zero.data(), zero.size()), 0) << width;
        pixels->Buffer()[pixels->BufferByteSize() - 1] = 7;
        EXPECT_EQ(FillImage(1, 2, 3, 4, image.get()), orv::image::ResultSuccess);
    }
    EXPECT_EQ(NewImage(0, 0, orv::image::PixelOrderBGRA)->BufferByteSize(), 0u);
    // Sizes beyond the engine's 32-bit byte count are refused as out of memory.
    EXPECT_THROW(NewImage(70000, 70000, orv::image::PixelOrderBGRA), std::bad_alloc);
}
