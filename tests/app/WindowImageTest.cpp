// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "WindowImage.h"

#include <app/AbstractImageCache.h>

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <vector>

using namespace mtra::app;
using orv::image::OVImage8;

TEST(WindowImageTest, WindowImagesRoundScreenSizesUp)
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

TEST(WindowImageTest, WindowImagesRefuseInvertedRectangles)
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
