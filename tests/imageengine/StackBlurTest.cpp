// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/StackBlurLines.h"
#include "processor/StackBlurRenderer.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "BlurReference.h"
#include "EngineTestSupport.h"
#include "StageTestSupport.h"

using namespace orv::image;
using mtra::test::BytesOf;
using mtra::test::MakeFilledImage;
using mtra::test::MakeImage;
using mtra::test::MakeRandomImage;
using mtra::test::RunStage;
using mtra::test::ScopedCoreCount;
using mtra::test::WorkerCountsToCheck;

namespace {

// Rows of the image, then columns of that result, each by direct weighted sums.
std::vector<std::uint8_t> ReferenceBlur(const OVImage8& image, long long r)
{
    std::vector<std::uint8_t> bytes = BytesOf(image);
    auto blur = [r](const std::vector<int>& line) { return mtra::test::StackBlurLine(line, r); };
    for (const bool rows : { true, false }) {
        for (int c = 0; c < 4; ++c)
            mtra::test::BlurChannel(bytes, image.Width(), image.Height(), c, rows, blur);
    }
    return bytes;
}

std::vector<std::uint8_t> Blur(OVImage8& source, int radius, unsigned workers = 3)
{
    StackBlurRenderer stage(radius, true, true, ChannelsAll);
    return RunStage(stage, source, workers);
}

struct BlurCase {
    unsigned width;
    unsigned height;
    int radius;
};

std::string CaseName(const ::testing::TestParamInfo<BlurCase>& info)
{
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) + "_r"
        + std::to_string(info.param.radius);
}

class StackBlurMatchesDirectSums : public ::testing::TestWithParam<BlurCase>
{
};

// The running sums equal the direct weighted sums for every line length against every radius:
// shorter and longer than the line, through the table and (above its limit) divided directly,
// with column counts that leave a partial block of the column pass.
TEST_P(StackBlurMatchesDirectSums, OnRandomImage)
{
    const BlurCase c = GetParam();
    auto source = MakeRandomImage(c.width, c.height, c.width * 31 + c.height);
    const std::vector<std::uint8_t> expected = ReferenceBlur(*source, c.radius);
    const std::vector<std::uint8_t> actual = Blur(*source, c.radius);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_EQ(int(actual[i]), int(expected[i]))
            << "pixel " << i / 4 % c.width << "," << i / 4 / c.width << " byte " << i % 4;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, StackBlurMatchesDirectSums,
    ::testing::Values(BlurCase { 1, 1, 3 }, BlurCase { 2, 1, 1 }, BlurCase { 5, 3, 1 },
        BlurCase { 7, 5, 2 }, BlurCase { 37, 23, 4 }, BlurCase { 35, 9, 6 },
        BlurCase { 17, 33, 25 }, BlurCase { 9, 6, 40 },
        BlurCase { 23, 9, stackblur::kMaxFloatRadius },
        BlurCase { 23, 9, stackblur::kMaxFloatRadius + 1 },
        BlurCase { 21, 7, stackblur::kMaxTableRadius },
        BlurCase { 21, 7, stackblur::kMaxTableRadius + 1 }, BlurCase { 19, 13, 300 },
        BlurCase { 6, 5, 100000 }),
    CaseName);

TEST(StackBlur, RadiusZeroIsIdentity)
{
    auto source = MakeRandomImage(23, 11, 5);
    EXPECT_EQ(Blur(*source, 0), BytesOf(*source));
    // A negative radius (a caller's error) blurs nothing either.
    EXPECT_EQ(Blur(*source, -4), BytesOf(*source));
}

TEST(StackBlur, ConstantImageStaysExactlyConstant)
{
    for (const int radius : { 1, 25, 200, 5000 }) {
        auto source = MakeFilledImage(19, 17, 13, 200, 255, 77);
        EXPECT_EQ(Blur(*source, radius), BytesOf(*source)) << radius;
    }
}

TEST(StackBlur, SinglePixelWideImageBlursOnlyAlongItsColumn)
{
    // A 1 × 7 image: each row is one pixel, so the row pass keeps it and only the column pass
    // mixes. Radius 1 (divisor 4) on a column 0, 0, 0, 255, 0, 0, 0.
    auto column = MakeImage(1, 7, {});
    column->Buffer()[3 * 4 + 1] = 255;
    const std::vector<std::uint8_t> out = Blur(*column, 1);
    const int expected[7] = { 0, 0, 63, 127, 63, 0, 0 };
    for (int y = 0; y < 7; ++y) {
        EXPECT_EQ(int(out[y * 4 + 1]), expected[y]) << y;
        EXPECT_EQ(int(out[y * 4]), 0);
    }
    // The same pixels as a 7 × 1 row blur the same way along the row.
    auto row = MakeImage(7, 1, {});
    row->Buffer()[3 * 4 + 1] = 255;
    EXPECT_EQ(Blur(*row, 1), out);
}

TEST(StackBlur, EdgeSamplesRepeat)
{
    // 0, 255 with radius 1: pixel 0 sees (0 × 3 + 255) ÷ 4 = 63, pixel 1 sees (0 + 255 × 3) ÷ 4.
    auto source = MakeImage(2, 1, { 0, 0, 0, 0, 255, 255, 255, 255 });
    const std::vector<std::uint8_t> out = Blur(*source, 1);
    EXPECT_EQ(int(out[0]), 63);
    EXPECT_EQ(int(out[4]), 191);
}

TEST(StackBlur, SameBytesForEveryWorkerCount)
{
    for (const int radius : { 3, stackblur::kMaxTableRadius + 5 }) {
        auto source = MakeRandomImage(41, 29, 7);
        const std::vector<std::uint8_t> reference = Blur(*source, radius, 1);
        for (const int workers : WorkerCountsToCheck()) {
            EXPECT_EQ(Blur(*source, radius, static_cast<unsigned>(workers)), reference)
                << workers << " workers, radius " << radius;
        }
    }
}

TEST(StackBlur, PrepareRebuildsForEachInput)
{
    StackBlurRenderer stage(2, true, true, ChannelsAll);
    auto first = MakeRandomImage(9, 8, 1);
    auto second = MakeRandomImage(13, 5, 2);
    EXPECT_EQ(RunStage(stage, *first, 2), ReferenceBlur(*first, 2));
    EXPECT_EQ(RunStage(stage, *second, 2), ReferenceBlur(*second, 2));
}

TEST(StackBlur, RenderWithoutMatchingPrepareWritesNothing)
{
    StackBlurRenderer stage(2, true, true, ChannelsAll);
    auto prepared = MakeRandomImage(9, 8, 1);
    auto other = MakeRandomImage(8, 9, 2);
    auto destination = MakeFilledImage(8, 9, 1, 2, 3, 4);
    const auto before = BytesOf(*destination);
    stage.Render(other.get(), destination.get(), 0, 1); // never prepared
    stage.Prepare(prepared.get());
    stage.Render(other.get(), destination.get(), 0, 1); // prepared for another size
    EXPECT_EQ(BytesOf(*destination), before);
}

TEST(StackBlur, HugeRadiiAreLimitedNotAllocated)
{
    StackBlurRenderer stage(INT_MAX, true, true, ChannelsAll);
    EXPECT_EQ(stage.Radius(), INT_MAX);
    EXPECT_EQ(stage.EffectiveRadius(), stackblur::kMaxRadius);
    auto source = MakeRandomImage(7, 5, 3);
    EXPECT_EQ(RunStage(stage, *source, 2), ReferenceBlur(*source, stackblur::kMaxRadius));
}

// The AVX2 passes against the generic ones: widths that leave partial 32-byte blocks to each
// worker, radii at both ends of the single-precision range.
TEST(StackBlur, VectorPassesMatchTheGenericOnes)
{
    if (!Avx2Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    for (const auto& [width, height] : { std::pair { 301u, 67u }, { 8u, 40u }, { 9u, 2u } }) {
        auto source = MakeRandomImage(width, height, width + height, 0.3);
        for (const int radius : { 1, 25, stackblur::kMaxFloatRadius }) {
            StackBlurRenderer generic(radius, true, true, ChannelsAll, false);
            const auto expected = RunStage(generic, *source, 1);
            for (const unsigned workers : { 1u, 2u, 3u, 7u }) {
                StackBlurRenderer vector(radius, true, true, ChannelsAll, true);
                EXPECT_EQ(RunStage(vector, *source, workers), expected)
                    << width << " x " << height << ", radius " << radius << ", " << workers
                    << " workers";
            }
        }
    }
}

// Every sum every radius that divides in single precision can produce.
TEST(StackBlur, FloatDivisionIsExactTruncationForEverySum)
{
    for (int radius = 0; radius <= stackblur::kMaxFloatRadius; ++radius) {
        const stackblur::FloatDivide divide(radius);
        const std::int32_t d = (radius + 1) * (radius + 1);
        int wrong = 0;
        for (std::int32_t total = 0; total < 256 * d; ++total)
            wrong += divide(total) != total / d;
        EXPECT_EQ(wrong, 0) << "radius " << radius;
    }
}

TEST(StackBlur, DirectDivisionIsExactTruncation)
{
    for (const int radius : { 128, 1000, stackblur::kMaxRadius }) {
        const stackblur::DirectDivide divide(radius);
        const std::int64_t d = divide.divisor;
        for (const std::int64_t q : { 0LL, 1LL, 17LL, 254LL, 255LL }) {
            EXPECT_EQ(divide(q * d), q) << radius;
            EXPECT_EQ(divide(q * d + d - 1), q) << radius;
            if (q > 0) {
                EXPECT_EQ(divide(q * d - 1), q - 1) << radius;
            }
        }
    }
}

struct StackBlurFacade : ::testing::Test {
    orv::OVLookupTables tables { true };

    std::vector<std::uint8_t> Process(const std::shared_ptr<OVImage8>& source,
        OVDownsampleFactor factor, unsigned radius, bool horizontal, bool vertical,
        int* setResult = nullptr)
    {
        auto destination = std::make_shared<OVImage8>(
            source->Width(), source->Height(), source->PixelChannelOrder(), true);
        OVImageProcessor processor(source, destination, tables, factor);
        const int result = processor.SetStackBlur(radius, horizontal, vertical, ChannelsAll);
        if (setResult)
            *setResult = result;
        EXPECT_EQ(processor.Render(), 0);
        return BytesOf(*destination);
    }
};

TEST_F(StackBlurFacade, NeedsADirection)
{
    auto source = MakeRandomImage(4, 3, 1);
    auto destination = std::make_shared<OVImage8>(4, 3, PixelOrderBGRA, true);
    OVImageProcessor processor(source, destination, tables, DownsampleFull);
    EXPECT_EQ(processor.SetStackBlur(10, false, false, ChannelsAll), ResultInvalidArgument);
    EXPECT_EQ(processor.RenderQueueCount(), 0);
}

TEST_F(StackBlurFacade, EitherFlagBlursBothDirectionsAllBytes)
{
    auto source = MakeRandomImage(11, 9, 4);
    const auto expected = ReferenceBlur(*source, 3);
    int result = -1;
    EXPECT_EQ(Process(source, DownsampleFull, 3, true, false, &result), expected);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Process(source, DownsampleFull, 3, false, true), expected);
}

TEST_F(StackBlurFacade, RadiusScalesWithThePreviewFactor)
{
    auto source = MakeRandomImage(11, 9, 4);
    EXPECT_EQ(Process(source, DownsampleQuarter, 10, true, true), ReferenceBlur(*source, 2));
    EXPECT_EQ(Process(source, DownsampleHalf, 5, true, true), ReferenceBlur(*source, 2));
    // 0.33 × 10 = 3.3 → 3.
    EXPECT_EQ(Process(source, DownsampleThird, 10, true, true), ReferenceBlur(*source, 3));
}

TEST_F(StackBlurFacade, LargestRadiusRendersSafely)
{
    auto source = MakeRandomImage(6, 4, 9);
    EXPECT_EQ(Process(source, DownsampleFull, UINT_MAX, true, true),
        ReferenceBlur(*source, stackblur::kMaxRadius));
}

} // namespace
