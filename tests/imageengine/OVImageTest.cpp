// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageEngine.h>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "EngineTestSupport.h"

using namespace orv::image;
using mtra::test::MakeImage;

namespace {

TEST(OVImageTest, OwningImageIsZeroFilledAndReportsItsSizes)
{
    const OVImage8 image(5, 3, PixelOrderBGRA, true);
    EXPECT_EQ(image.Width(), 5u);
    EXPECT_EQ(image.Height(), 3u);
    EXPECT_EQ(image.BufferSize(), 60u);
    EXPECT_EQ(image.BufferByteSize(), 60u);
    EXPECT_EQ(image.BitsPerChannel(), Bits8);
    EXPECT_EQ(image.PixelChannelOrder(), PixelOrderBGRA);
    for (unsigned i = 0; i < image.BufferByteSize(); ++i)
        ASSERT_EQ(image.Buffer()[i], 0);
    EXPECT_EQ(image.ScanLine(0), image.Buffer());
    EXPECT_EQ(image.ScanLine(1), image.Buffer() + 20);
}

TEST(OVImageTest, BorrowedBufferIsUsedInPlaceAndNotFreed)
{
    unsigned char pixels[16] = { 1, 2, 3, 4 };
    {
        auto image = CreateImage(pixels, 2, 2, PixelOrderARGB);
        auto* image8 = static_cast<OVImage8*>(image.get());
        EXPECT_EQ(image8->Buffer(), pixels);
        EXPECT_EQ(image->PixelChannelOrder(), PixelOrderARGB);
        image8->Buffer()[15] = 99;
    }
    EXPECT_EQ(pixels[15], 99); // still ours to read: the image did not free it
}

TEST(OVImageTest, EmptyImagesHaveNoBuffer)
{
    const OVImage8 image(0, 7, PixelOrderBGRA, true);
    EXPECT_EQ(image.BufferByteSize(), 0u);
    EXPECT_EQ(image.Buffer(), nullptr);
}

TEST(OVImageTest, SizesThatOverflowThirtyTwoBitsAreRefusedNotWrapped)
{
    // 65536 × 16384 × 4 = 2^32 would wrap to 0 in the 32-bit size fields.
    EXPECT_THROW(OVImage8(65536, 16384, PixelOrderBGRA, false), std::bad_alloc);
    EXPECT_THROW(OVImage8(0xFFFFFFFFu, 0xFFFFFFFFu, PixelOrderBGRA, false), std::bad_alloc);
    unsigned char byte = 0;
    EXPECT_THROW(OVImage8(&byte, 65536, 16384, PixelOrderBGRA), std::length_error);
    // The largest size that fits is accepted by the borrowing form (no allocation).
    EXPECT_NO_THROW(OVImage8(&byte, 32767, 32767, PixelOrderBGRA));
}

TEST(OVImageTest, CopyPixelsChecksLayoutBeforeCopying)
{
    auto a = MakeImage(4, 3, { 9, 9, 9, 9 });
    auto b = MakeImage(3, 4, {});
    EXPECT_EQ(CopyPixels(a, b), 1000); // same byte size, different shape
    EXPECT_EQ(b->Buffer()[0], 0);

    unsigned char argb[48] = {};
    EXPECT_EQ(CopyPixels(a, CreateImage(argb, 4, 3, PixelOrderARGB)), 1000);
    EXPECT_EQ(argb[0], 0);

    auto c = MakeImage(4, 3, {});
    EXPECT_EQ(CopyPixels(a, c), 0);
    EXPECT_EQ(mtra::test::BytesOf(*a), mtra::test::BytesOf(*c));
    EXPECT_EQ(CopyPixels(nullptr, c), 4);
}

TEST(OVImageTest, FreeHelpers)
{
    EXPECT_EQ(DownsampleValue(DownsampleFull), 1.0);
    EXPECT_EQ(DownsampleValue(DownsampleHalf), 0.5);
    EXPECT_EQ(DownsampleValue(DownsampleThird), 0.33);
    EXPECT_EQ(DownsampleValue(DownsampleQuarter), 0.25);
    EXPECT_EQ(DownsampleValue(static_cast<OVDownsampleFactor>(7)), 0.25);
    EXPECT_EQ(NumberOfChannels(PixelOrderBGRA), 4);
    EXPECT_EQ(NumberOfChannels(static_cast<OVPixelChannelOrder>(0)), 4);
}

} // namespace
