// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "keyer/ColorDifferenceKeyer.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "EngineTestSupport.h"

using namespace orv::image;
using mtra::test::BytesOf;
using mtra::test::MakeFilledImage;
using mtra::test::MakeImage;
using mtra::test::MakeRandomImage;
using mtra::test::ScopedCoreCount;

namespace {

struct KeyerTest : ::testing::Test {
    orv::OVLookupTables tables { true };

    // Keys source with one colour-difference stage; returns the destination.
    std::shared_ptr<OVImage8> Key(const std::shared_ptr<OVImage8>& source, OVKeyColor color,
        double keyDetail, double greyDetail = 0, double greyThreshold = 0)
    {
        auto destination = std::make_shared<OVImage8>(
            source->Width(), source->Height(), source->PixelChannelOrder(), true);
        OVImageKeyer keyer(source, destination, tables, DownsampleFull);
        EXPECT_EQ(keyer.SetAutoColorDifferenceKey(color, keyDetail, greyDetail, greyThreshold), 0);
        EXPECT_EQ(keyer.Render(), 0);
        return destination;
    }
};

TEST_F(KeyerTest, MatteValueOfPureScreenAndGreyPixels)
{
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(0, 255, 0, KeyColorGreen, 0, 0.0, 0.0), 255);
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(255, 0, 0, KeyColorBlue, 0, 0.0, 0.0), 255);
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(100, 100, 100, KeyColorGreen, 0, 0.0, 0.0), 0);
    // Not dominant: negative differences store 0.
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(200, 100, 50, KeyColorGreen, 0, 0.0, 0.0), 0);
    // A colour other than green or blue keys nothing.
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(0, 255, 0, KeyColorAuto, 0, 0.0, 0.0), 0);
    EXPECT_EQ(
        ColorDifferenceKeyer::MatteValue(0, 255, 0, static_cast<OVKeyColor>(9), 0, 0.0, 0.0), 0);
}

TEST_F(KeyerTest, GreyAttenuationRisesLinearlyBetweenThresholdAndLimit)
{
    // grey detail 0.5 → T = 127; grey threshold 0.5 → L = 63.5.
    const int t = static_cast<int>(0.5 * 255);
    const double l = 0.5 * t;
    // S = 100 between L and T: V = trunc(100 − 100 × |36.5 ÷ 63.5 − 1|) = 57.
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(0, 100, 0, KeyColorGreen, t, l, 0.5), 57);
    // S below L keys nothing; S at or above T keeps D.
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(0, 50, 0, KeyColorGreen, t, l, 0.5), 0);
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(0, 130, 0, KeyColorGreen, t, l, 0.5), 130);
    // With grey detail 0 (T = 0) attenuation never applies, whatever the threshold.
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(100, 101, 100, KeyColorGreen, 0, 0.0, 1.0), 1);
    // Threshold 1 makes L = T: everything under T is keyed to 0, with no division by zero.
    EXPECT_EQ(ColorDifferenceKeyer::MatteValue(0, 100, 0, KeyColorGreen, t, double(t), 1.0), 0);
}

TEST_F(KeyerTest, MatteHoldsThePerPixelValueForEveryGreySetting)
{
    // The statistics pass takes table-driven and vectorised routes; each must give the value of
    // the per-pixel rule.
    auto source = MakeRandomImage(61, 17, 3, 0.6);
    for (const OVKeyColor color : { KeyColorGreen, KeyColorBlue }) {
        for (const auto& [greyDetail, greyThreshold] :
            { std::pair { 0.0, 0.0 }, { 0.3, 0.5 }, { 1.0, 0.0 }, { 0.7, 1.0 } }) {
            const ScopedCoreCount cores(3);
            ColorDifferenceKeyer keyer(color, 0.5, greyDetail, greyThreshold, tables);
            keyer.Prepare(source.get());
            const int limit = static_cast<int>(greyDetail * 255);
            const unsigned char* p = source->Buffer();
            for (std::size_t i = 0; i < 61 * 17; ++i, p += 4) {
                ASSERT_EQ(keyer.Matte()[i],
                    ColorDifferenceKeyer::MatteValue(
                        p[0], p[1], p[2], color, limit, greyThreshold * limit, greyThreshold))
                    << "pixel " << i << " grey " << greyDetail << "/" << greyThreshold;
            }
        }
    }
}

TEST_F(KeyerTest, LevelIsMeanAtDetailOneAndMidpointAtDetailZero)
{
    // Differences 10, 20 and 60: minimum 10, maximum 60, midpoint 35, mean 30.
    auto source = MakeImage(4, 1, { 0, 10, 0, 255, 0, 20, 0, 255, 0, 60, 0, 255, 50, 50, 50, 255 });
    for (const auto& [detail, level] : { std::pair { 1.0, 30.0 }, { 0.0, 35.0 }, { 0.5, 32.5 } }) {
        ColorDifferenceKeyer keyer(KeyColorGreen, detail, 0, 0, tables);
        keyer.Prepare(source.get());
        EXPECT_DOUBLE_EQ(keyer.Minimum(), 10.0);
        EXPECT_DOUBLE_EQ(keyer.Level(), level) << detail;
    }
}

TEST_F(KeyerTest, AlphaFollowsKeynessBetweenMinimumAndLevel)
{
    const ScopedCoreCount cores(2);
    // Differences 10, 20, 60 and a grey pixel; detail 1 → level 30.
    auto source = MakeImage(4, 1, { 0, 10, 0, 255, 0, 20, 0, 255, 0, 60, 0, 255, 50, 50, 50, 200 });
    auto out = Key(source, KeyColorGreen, 1.0);
    const unsigned char* p = out->Buffer();
    EXPECT_EQ(p[3], 255); // m = minimum: keyness 0, fully kept
    EXPECT_EQ(p[7], 128); // (20 − 10) ÷ 20 × 255 = 127 → alpha 255 − 127
    EXPECT_EQ(p[11], 0); // m ≥ level: fully transparent
    EXPECT_EQ(p[15], 200); // grey: alpha unchanged
    // Colour bytes are copied unchanged.
    EXPECT_EQ(p[4], 0);
    EXPECT_EQ(p[5], 20);
    EXPECT_EQ(p[6], 0);
}

TEST_F(KeyerTest, TransparentPixelsStayTransparent)
{
    auto source = MakeImage(2, 1, { 0, 200, 0, 0, 0, 100, 0, 100 });
    auto out = Key(source, KeyColorGreen, 0.0);
    EXPECT_EQ(out->Buffer()[3], 0);
    EXPECT_EQ(out->Buffer()[7], 100); // m = minimum keeps the alpha it had
}

TEST_F(KeyerTest, NoDominantPixelCopiesTheAlphaChannel)
{
    auto source = MakeImage(3, 1, { 200, 10, 10, 255, 90, 90, 90, 17, 10, 10, 200, 0 });
    const auto expected = BytesOf(*source);
    EXPECT_EQ(BytesOf(*Key(source, KeyColorGreen, 0.5)), expected);
    EXPECT_EQ(BytesOf(*Key(source, static_cast<OVKeyColor>(5), 0.5)), expected);
}

TEST_F(KeyerTest, AutoKeyResolvesToTheDominantScreenColour)
{
    auto blueScreen = MakeFilledImage(8, 8, 220, 40, 30, 255);
    ColorDifferenceKeyer keyer(KeyColorAuto, 0.5, 0, 0, tables);
    keyer.Prepare(blueScreen.get());
    EXPECT_EQ(keyer.ResolvedKeyColor(), KeyColorBlue);
    auto out = Key(blueScreen, KeyColorAuto, 0.5);
    EXPECT_EQ(out->Buffer()[3], 255); // every pixel has the minimum difference: kept
}

TEST_F(KeyerTest, SetterChecksEachDetailInOrder)
{
    auto image = MakeFilledImage(1, 1, 0, 0, 0, 0);
    OVImageKeyer keyer(image, image, tables, DownsampleFull);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorGreen, -0.01, 0, 0), 7);
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorGreen, 0, 1.01, 0), 7);
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorGreen, 0, 0, 2), 7);
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorGreen, nan, 0, 0), 7);
    EXPECT_EQ(keyer.RenderQueueCount(), 0);
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(static_cast<OVKeyColor>(42), 1, 1, 1), 0);
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorBlue, 0, 0, 0), 0);
    EXPECT_EQ(keyer.RenderQueueCount(), 2);
}

TEST_F(KeyerTest, DetectionCountsGreenOnTiesAndNeedsThreads)
{
    OVKeyColor color = KeyColorAuto;
    auto white = MakeFilledImage(3, 3, 255, 255, 255, 255);
    AutoDetectKeyColor(white.get(), 2, &color);
    EXPECT_EQ(color, KeyColorGreen);

    color = KeyColorAuto;
    AutoDetectKeyColor(nullptr, 0, &color); // 0 threads: the image is not read
    EXPECT_EQ(color, KeyColorGreen);

    // Two blue pixels, one green, one red: blue wins; one each: a tie gives green.
    auto mostlyBlue
        = MakeImage(4, 1, { 200, 0, 0, 255, 200, 0, 0, 255, 0, 200, 0, 255, 0, 0, 200, 255 });
    AutoDetectKeyColor(mostlyBlue.get(), 3, &color);
    EXPECT_EQ(color, KeyColorBlue);
    auto tie = MakeImage(2, 1, { 200, 0, 0, 255, 0, 200, 0, 255 });
    AutoDetectKeyColor(tie.get(), 16, &color);
    EXPECT_EQ(color, KeyColorGreen);
}

TEST_F(KeyerTest, OutputIsIdenticalForEveryWorkerCount)
{
    struct Size {
        unsigned width, height;
    };
    for (const Size size : { Size { 97, 31 }, Size { 1, 1 }, Size { 2, 1 }, Size { 0, 0 },
             Size { 1, 53 }, Size { 64, 64 } }) {
        auto source = MakeRandomImage(size.width, size.height, size.width * 131 + size.height);
        for (const double greyDetail : { 0.0, 0.3 }) {
            std::vector<std::uint8_t> reference;
            for (const int workers : mtra::test::WorkerCountsToCheck()) {
                const ScopedCoreCount cores(workers);
                auto out = Key(source, KeyColorAuto, 0.4, greyDetail, 0.5);
                if (workers == 1)
                    reference = BytesOf(*out);
                else
                    EXPECT_EQ(BytesOf(*out), reference)
                        << size.width << "x" << size.height << " workers " << workers;
            }
        }
    }
}

TEST_F(KeyerTest, EveryDestinationByteIsWritten)
{
    // Destinations full of two different sentinels must come back identical for every split:
    // a byte left unwritten keeps its sentinel, whichever channel it is in. The colour bytes
    // are the source's.
    auto source = MakeRandomImage(23, 7, 5);
    for (const int workers : mtra::test::WorkerCountsToCheck()) {
        const ScopedCoreCount cores(workers);
        std::vector<std::vector<unsigned char>> results;
        for (const unsigned char sentinel : { 0xA5, 0x5A }) {
            auto destination = MakeFilledImage(23, 7, sentinel, sentinel, sentinel, sentinel);
            OVImageKeyer keyer(source, destination, tables, DownsampleFull);
            ASSERT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorGreen, 0.5, 0, 0), 0);
            ASSERT_EQ(keyer.Render(), 0);
            results.push_back(BytesOf(*destination));
        }
        ASSERT_EQ(results[0], results[1]) << workers;
        for (std::size_t i = 0; i < results[0].size(); i += 4)
            for (std::size_t c = 0; c < 3; ++c)
                ASSERT_EQ(results[0][i + c], source->Buffer()[i + c]) << workers << " " << i;
    }
}

TEST_F(KeyerTest, StatisticsDoNotOverflowOnCameraSizePhotos)
{
    // 4096 × 4096 dominant pixels on one worker: a sum of differences of about 2.9e9, beyond
    // 32 bits. Three quarters at 200 and one quarter at 100: mean 175, midpoint 150.
    const ScopedCoreCount cores(1);
    const unsigned side = 4096;
    auto source = std::make_shared<OVImage8>(side, side, PixelOrderBGRA, false);
    unsigned char* p = source->Buffer();
    const std::size_t pixels = std::size_t(side) * side;
    for (std::size_t i = 0; i < pixels; ++i, p += 4) {
        p[0] = 0;
        p[1] = i % 4 == 0 ? 100 : 200;
        p[2] = 0;
        p[3] = 255;
    }
    ColorDifferenceKeyer keyer(KeyColorGreen, 1.0, 0, 0, tables);
    keyer.Prepare(source.get());
    EXPECT_DOUBLE_EQ(keyer.Minimum(), 100.0);
    EXPECT_DOUBLE_EQ(keyer.Level(), 175.0);
}

} // namespace
