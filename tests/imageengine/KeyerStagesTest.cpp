// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "keyer/AlphaCrop.h"
#include "keyer/SpillSuppressor.h"
#include "keyer/YUVBlurRenderer.h"
#include "keyer/YUVConversion.h"
#include "processor/StackBlurLines.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <limits>
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
using mtra::test::OtherDepthImage;
using mtra::test::RunStage;
using mtra::test::ScopedCoreCount;
using mtra::test::WorkerCountsToCheck;

namespace {

using AddStage = std::function<int(OVImageKeyer&)>;

struct KeyerStagesTest : ::testing::Test {
    orv::OVLookupTables tables { true };

    std::vector<std::uint8_t> Key(const std::shared_ptr<OVImage8>& source, const AddStage& add,
        OVDownsampleFactor factor = DownsampleFull, int workers = 3)
    {
        return mtra::test::RunFacade<OVImageKeyer>(source, add, tables, workers, factor);
    }
};

// --- Spill suppression -------------------------------------------------------------------------

struct SpillCase {
    const char* name;
    OVChannel channel;
    bool extended;
    int k;
    int b, g, r;
    int expectedB, expectedG, expectedR;
};

class Spill : public ::testing::TestWithParam<SpillCase>
{
};

TEST_P(Spill, PullsTowardsTheLimit)
{
    const SpillCase c = GetParam();
    auto b = static_cast<unsigned char>(c.b);
    auto g = static_cast<unsigned char>(c.g);
    auto r = static_cast<unsigned char>(c.r);
    SpillSuppressor::Suppress(c.channel, c.extended, c.k, b, g, r);
    EXPECT_EQ(int(b), c.expectedB);
    EXPECT_EQ(int(g), c.expectedG);
    EXPECT_EQ(int(r), c.expectedR);
}

INSTANTIATE_TEST_SUITE_P(Pixels, Spill,
    ::testing::Values(
        // avg = 80; 200 + ((80 − 200) × 255 >> 8) = 200 − 120 (the shift floors −119.53).
        SpillCase { "GreenExtended", ChannelGreen, true, 255, 60, 200, 100, 60, 80, 100 },
        // At half scale k = 127: 200 + (−15240 >> 8) = 200 − 60.
        SpillCase { "GreenExtendedHalf", ChannelGreen, true, 127, 60, 200, 100, 60, 140, 100 },
        // B > R: red is pulled to the average too: 60 + ((80 − 60) × 255 >> 8) = 60 + 19.
        SpillCase { "GreenExtendedRed", ChannelGreen, true, 255, 100, 200, 60, 100, 80, 79 },
        SpillCase { "GreenNoSpill", ChannelGreen, true, 255, 100, 70, 60, 100, 70, 60 },
        SpillCase { "GreenPlain", ChannelGreen, false, 255, 60, 200, 100, 60, 60, 100 },
        SpillCase { "BlueExtended", ChannelBlue, true, 255, 220, 40, 100, 70, 40, 100 },
        SpillCase { "BlueExtendedRed", ChannelBlue, true, 255, 220, 100, 40, 70, 100, 69 },
        SpillCase { "BluePlain", ChannelBlue, false, 255, 220, 40, 100, 40, 40, 100 },
        SpillCase { "StrengthZero", ChannelGreen, true, 0, 60, 200, 100, 60, 200, 100 },
        SpillCase {
            "OtherChannel", static_cast<OVChannel>(3), true, 255, 60, 200, 100, 60, 200, 100 },
        SpillCase { "KeyColourNumbering", static_cast<OVChannel>(0), false, 255, 60, 200, 100, 60,
            200, 100 }),
    [](const ::testing::TestParamInfo<SpillCase>& param) { return std::string(param.param.name); });

TEST_F(KeyerStagesTest, SpillStrengthScalesWithThePreviewAndAlphaIsCopied)
{
    auto source = MakeImage(1, 1, { 60, 200, 100, 33 });
    auto spill = [](OVImageKeyer& k) { return k.SetSpillSuppression(ChannelGreen, true, 1.0); };
    EXPECT_EQ(Key(source, spill), (std::vector<std::uint8_t> { 60, 80, 100, 33 }));
    EXPECT_EQ(Key(source, spill, DownsampleHalf), (std::vector<std::uint8_t> { 60, 140, 100, 33 }));
}

TEST_F(KeyerStagesTest, SpillTransparencyMustLieInZeroToOne)
{
    auto source = MakeRandomImage(2, 2, 1);
    auto destination = std::make_shared<OVImage8>(2, 2, PixelOrderBGRA, true);
    OVImageKeyer keyer(source, destination, tables, DownsampleFull);
    EXPECT_EQ(keyer.SetSpillSuppression(ChannelGreen, true, 1.01), ResultOutOfRange);
    EXPECT_EQ(keyer.SetSpillSuppression(ChannelGreen, true, -0.01), ResultOutOfRange);
    EXPECT_EQ(
        keyer.SetSpillSuppression(ChannelGreen, true, std::numeric_limits<double>::quiet_NaN()),
        ResultOutOfRange);
    EXPECT_EQ(keyer.RenderQueueCount(), 0);
    EXPECT_EQ(keyer.SetSpillSuppression(static_cast<OVChannel>(7), false, 0.0), 0);
    EXPECT_EQ(keyer.RenderQueueCount(), 1);
}

TEST(SpillSuppressor, WholeImageMatchesThePixelRule)
{
    auto source = MakeRandomImage(31, 7, 12);
    for (const auto channel : { ChannelGreen, ChannelBlue }) {
        for (const bool extended : { false, true }) {
            SpillSuppressor stage(channel, extended, 0.8);
            const auto out = RunStage(stage, *source, 3);
            const int k = static_cast<int>(0.8 * 255);
            for (std::size_t i = 0; i < out.size(); i += 4) {
                unsigned char b = source->Buffer()[i];
                unsigned char g = source->Buffer()[i + 1];
                unsigned char r = source->Buffer()[i + 2];
                SpillSuppressor::Suppress(channel, extended, k, b, g, r);
                ASSERT_EQ(out[i], b);
                ASSERT_EQ(out[i + 1], g);
                ASSERT_EQ(out[i + 2], r);
                ASSERT_EQ(out[i + 3], source->Buffer()[i + 3]);
            }
        }
    }
}

// --- Alpha crop --------------------------------------------------------------------------------

// The alpha bytes of a destination as rows of 0 (cleared) and 1 (kept) characters.
std::vector<std::string> AlphaMap(const std::vector<std::uint8_t>& bytes, unsigned width)
{
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        if (i / 4 % width == 0)
            rows.emplace_back();
        rows.back() += bytes[i + 3] ? '1' : '0';
    }
    return rows;
}

TEST_F(KeyerStagesTest, CropOfZeroClearsColumnZeroAndRowZeroOnly)
{
    auto source = MakeFilledImage(5, 3, 1, 2, 3, 255);
    const auto out = Key(source, [](OVImageKeyer& k) { return k.SetAlphaCrop(0, 0, 0, 0); });
    EXPECT_EQ(AlphaMap(out, 5), (std::vector<std::string> { "00000", "01111", "01111" }));
    // Colour bytes are copied everywhere.
    for (std::size_t i = 0; i < out.size(); i += 4)
        EXPECT_EQ(out[i + 2], 3);
}

TEST_F(KeyerStagesTest, CropCutsFractionsFromEachSide)
{
    // 8 × 6: l = trunc(8 × 0.25) = 2, r = trunc(8 × 0.3) = 2, t = trunc(6 × 0.34) = 2,
    // b = trunc(6 × 0.2) = 1: columns 3 … 5 and rows 3 … 4 keep their alpha.
    auto source = MakeFilledImage(8, 6, 0, 0, 0, 200);
    const auto out
        = Key(source, [](OVImageKeyer& k) { return k.SetAlphaCrop(0.25, 0.34, 0.3, 0.2); });
    EXPECT_EQ(AlphaMap(out, 8),
        (std::vector<std::string> {
            "00000000", "00000000", "00000000", "00011100", "00011100", "00000000" }));
    // Whole sides cut away leave nothing.
    EXPECT_EQ(
        AlphaMap(Key(source, [](OVImageKeyer& k) { return k.SetAlphaCrop(0.6, 0, 0.6, 0); }), 8),
        std::vector<std::string>(6, "00000000"));
}

TEST_F(KeyerStagesTest, CropValuesMustLieInZeroToOne)
{
    auto source = MakeRandomImage(2, 2, 1);
    auto destination = std::make_shared<OVImage8>(2, 2, PixelOrderBGRA, true);
    OVImageKeyer keyer(source, destination, tables, DownsampleFull);
    EXPECT_EQ(keyer.SetAlphaCrop(1.5, 0, 0, 0), ResultOutOfRange);
    EXPECT_EQ(keyer.SetAlphaCrop(0, -0.5, 0, 0), ResultOutOfRange);
    EXPECT_EQ(keyer.SetAlphaCrop(0, 0, 1.0001, 0), ResultOutOfRange);
    EXPECT_EQ(
        keyer.SetAlphaCrop(0, 0, 0, std::numeric_limits<double>::infinity()), ResultOutOfRange);
    EXPECT_EQ(keyer.RenderQueueCount(), 0);
    EXPECT_EQ(keyer.SetAlphaCrop(1, 1, 1, 1), 0);
}

TEST(AlphaCrop, LeavesArgbImagesAlone)
{
    auto source = mtra::test::AsArgb(*MakeRandomImage(4, 3, 2));
    AlphaCrop stage(0, 0, 0, 0);
    EXPECT_EQ(RunStage(stage, *source, 2, 9), std::vector<std::uint8_t>(4 * 3 * 4, 9));
}

// --- YUV blur ------------------------------------------------------------------------------------

TEST(YUVConversion, ChromaStaysInsideAByteForEveryColour)
{
    int minimum = 255;
    int maximum = 0;
    for (int r = 0; r < 256; ++r) {
        for (int g = 0; g < 256; ++g) {
            for (int b = 0; b < 256; ++b) {
                int v = 0;
                int u = 0;
                int y = 0;
                YUVBlurRenderer::ToYUV(b, g, r, &v, &u, &y);
                minimum = std::min({ minimum, v, u });
                maximum = std::max({ maximum, v, u });
            }
        }
    }
    EXPECT_GE(minimum, 0);
    EXPECT_LE(maximum, 255);
}

// The vector loops against the tables for every colour and every V, U, Y triple, in rows of
// odd length so that the plain tail runs too.
TEST(YUVConversion, VectorLoopsEqualTheTablesForEveryInput)
{
#if defined(__x86_64__)
    EXPECT_TRUE(yuv::HasVectorLoops());
#endif
    constexpr std::size_t kRow = 4099;
    std::vector<unsigned char> in(kRow * 4);
    std::vector<unsigned char> vector(kRow * 4);
    std::vector<unsigned char> plain(kRow * 4);
    for (std::uint32_t start = 0; start < (1u << 24); start += kRow) {
        for (std::size_t i = 0; i < kRow; ++i) {
            const std::uint32_t value = (start + static_cast<std::uint32_t>(i)) & 0xffffffu;
            in[i * 4] = static_cast<unsigned char>(value);
            in[i * 4 + 1] = static_cast<unsigned char>(value >> 8);
            in[i * 4 + 2] = static_cast<unsigned char>(value >> 16);
            in[i * 4 + 3] = static_cast<unsigned char>(i);
        }
        yuv::ToYUV(in.data(), vector.data(), kRow);
        yuv::ToYUVPlain(in.data(), plain.data(), kRow);
        ASSERT_EQ(vector, plain) << "colours from " << start;
        yuv::FromYUV(in.data(), vector.data(), kRow);
        yuv::FromYUVPlain(in.data(), plain.data(), kRow);
        ASSERT_EQ(vector, plain) << "V, U, Y from " << start;
    }
}

TEST(YUVConversion, KnownColours)
{
    int v = 0;
    int u = 0;
    int y = 0;
    // Pure red: Y = trunc(0.299 × 255) = 76, V = 128 + trunc(0.713 × 179) = 255,
    // U = 128 + trunc(0.565 × −76) = 86.
    YUVBlurRenderer::ToYUV(0, 0, 255, &v, &u, &y);
    EXPECT_EQ(y, 76);
    EXPECT_EQ(v, 255);
    EXPECT_EQ(u, 86);
    // Back: B = 76 + trunc(1.77 × −42) = 2, G = 76 − trunc(0.714 × 127) − trunc(0.344 × −42) = 0,
    // R = 76 + trunc(1.403 × 127) = 254.
    int b = 0;
    int g = 0;
    int r = 0;
    YUVBlurRenderer::FromYUV(v, u, y, &b, &g, &r);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(r, 254);
}

// The YUV buffer of the unblurred conversion, and the image converted there and back.
std::vector<std::uint8_t> Converted(const OVImage8& image)
{
    std::vector<std::uint8_t> yuv(image.BufferByteSize());
    for (std::size_t i = 0; i < yuv.size(); i += 4) {
        int v = 0;
        int u = 0;
        int y = 0;
        YUVBlurRenderer::ToYUV(
            image.Buffer()[i], image.Buffer()[i + 1], image.Buffer()[i + 2], &v, &u, &y);
        yuv[i] = static_cast<std::uint8_t>(v);
        yuv[i + 1] = static_cast<std::uint8_t>(u);
        yuv[i + 2] = static_cast<std::uint8_t>(y);
        yuv[i + 3] = image.Buffer()[i + 3];
    }
    return yuv;
}

std::vector<std::uint8_t> BackToBgra(const std::vector<std::uint8_t>& yuv)
{
    std::vector<std::uint8_t> out(yuv.size());
    for (std::size_t i = 0; i < yuv.size(); i += 4) {
        int b = 0;
        int g = 0;
        int r = 0;
        YUVBlurRenderer::FromYUV(yuv[i], yuv[i + 1], yuv[i + 2], &b, &g, &r);
        out[i] = static_cast<std::uint8_t>(b);
        out[i + 1] = static_cast<std::uint8_t>(g);
        out[i + 2] = static_cast<std::uint8_t>(r);
        out[i + 3] = yuv[i + 3];
    }
    return out;
}

// The expected blurred YUV buffer: the chroma bytes through direct line blurs.
std::vector<std::uint8_t> ExpectedYUV(const OVImage8& image, int radius, OVYUVBlurType type)
{
    std::vector<std::uint8_t> yuv = Converted(image);
    const long long w = image.Width();
    const long long h = image.Height();
    auto box
        = [radius](const std::vector<int>& line) { return mtra::test::BoxBlurLine(line, radius); };
    auto stack = [radius](const std::vector<int>& line) {
        return mtra::test::StackBlurLine(line, radius);
    };
    for (int c = 0; c < 2 && radius > 0; ++c) {
        if (type == YUVBlurBoxRows || type == YUVBlurBoxRowsColumns)
            mtra::test::BlurChannel(yuv, w, h, c, true, box);
        if (type == YUVBlurBoxColumns || type == YUVBlurBoxRowsColumns)
            mtra::test::BlurChannel(yuv, w, h, c, false, box);
        if (type == YUVBlurStack) {
            mtra::test::BlurChannel(yuv, w, h, c, true, stack);
            mtra::test::BlurChannel(yuv, w, h, c, false, stack);
        }
    }
    return yuv;
}

struct YUVCase {
    unsigned width;
    unsigned height;
    int radius;
    OVYUVBlurType type;
};

class YUVBlur : public ::testing::TestWithParam<YUVCase>
{
};

// Each pass equals the direct line blurs of the chroma bytes; brightness and alpha stay as
// converted, and the output is the blurred buffer converted back.
TEST_P(YUVBlur, MatchesDirectBlursOfTheChroma)
{
    const YUVCase c = GetParam();
    auto source = MakeRandomImage(c.width, c.height, c.width * 7 + c.height);
    YUVBlurRenderer stage(c.radius, c.type);
    const auto out = RunStage(stage, *source, 3);
    const std::vector<std::uint8_t> expected = ExpectedYUV(*source, c.radius, c.type);
    ASSERT_NE(stage.YUVBuffer(), nullptr);
    const std::vector<std::uint8_t> actual(stage.YUVBuffer(), stage.YUVBuffer() + expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(int(actual[i]), int(expected[i]))
            << "pixel " << i / 4 % c.width << "," << i / 4 / c.width << " byte " << i % 4;
    }
    EXPECT_EQ(out, BackToBgra(expected));
}

INSTANTIATE_TEST_SUITE_P(Passes, YUVBlur,
    ::testing::Values(YUVCase { 9, 5, 1, YUVBlurBoxRows }, YUVCase { 9, 5, 2, YUVBlurBoxColumns },
        YUVCase { 37, 21, 3, YUVBlurBoxRowsColumns }, YUVCase { 40, 19, 1, YUVBlurBoxColumns },
        YUVCase { 6, 4, 50, YUVBlurBoxRowsColumns }, YUVCase { 1, 7, 2, YUVBlurBoxRowsColumns },
        YUVCase { 37, 21, 3, YUVBlurStack }, YUVCase { 33, 18, 10, YUVBlurStack },
        YUVCase { 7, 1, 2, YUVBlurStack }, YUVCase { 1, 9, 4, YUVBlurStack },
        YUVCase { 6, 5, stackblur::kMaxTableRadius + 3, YUVBlurStack },
        YUVCase { 11, 6, 4, static_cast<OVYUVBlurType>(7) },
        YUVCase { 11, 6, 0, YUVBlurBoxRowsColumns }, YUVCase { 11, 6, 0, YUVBlurStack }),
    [](const ::testing::TestParamInfo<YUVCase>& param) {
        const YUVCase c = param.param;
        return std::to_string(c.width) + "x" + std::to_string(c.height) + "_r"
            + std::to_string(c.radius) + "_type" + std::to_string(int(c.type));
    });

TEST(YUVBlurBox, FirstPixelOfARowAveragesItselfAndItsNeighbour)
{
    auto source = MakeImage(3, 1, { 0, 0, 200, 255, 0, 0, 20, 255, 0, 0, 90, 255 });
    const std::vector<std::uint8_t> yuv = Converted(*source);
    YUVBlurRenderer stage(1, YUVBlurBoxRows);
    RunStage(stage, *source, 1);
    const unsigned char* v = stage.YUVBuffer();
    EXPECT_EQ(v[0], (yuv[0] + yuv[4]) / 2);
    EXPECT_EQ(v[4], (yuv[0] + yuv[4] + yuv[8]) / 3);
    EXPECT_EQ(v[8], (yuv[4] + yuv[8]) / 2);
}

TEST(YUVBlurBox, OtherTypesOnlyConvertThereAndBack)
{
    auto source = MakeRandomImage(13, 4, 6);
    YUVBlurRenderer stage(5, static_cast<OVYUVBlurType>(7));
    EXPECT_EQ(RunStage(stage, *source, 2), BackToBgra(Converted(*source)));
}

TEST(YUVBlur, ConstantImageStaysConstant)
{
    auto source = MakeFilledImage(17, 11, 30, 160, 90, 200);
    const auto once = BackToBgra(Converted(*source));
    for (const auto type :
        { YUVBlurBoxRows, YUVBlurBoxColumns, YUVBlurBoxRowsColumns, YUVBlurStack }) {
        YUVBlurRenderer stage(6, type);
        EXPECT_EQ(RunStage(stage, *source, 3), once) << int(type);
    }
}

// A box window over more than INT_MAX / 255 samples (a hostile project's radius on a long
// line): the sums must not wrap, so a constant line still stays constant.
TEST(YUVBlur, BoxWindowsLongerThanIntSumsStayExact)
{
    int v = 0;
    int u = 0;
    int y = 0;
    YUVBlurRenderer::ToYUV(0, 0, 255, &v, &u, &y);
    const unsigned width = 9'500'000;
    ASSERT_GT(static_cast<long long>(std::max(v, u)) * width, static_cast<long long>(INT_MAX));
    auto source = MakeFilledImage(width, 1, 0, 0, 255, 255);
    const auto once = BackToBgra(Converted(*source));
    YUVBlurRenderer stage(6'000'000, YUVBlurBoxRows);
    const auto out = RunStage(stage, *source, 2);
    ASSERT_EQ(out.size(), once.size());
    EXPECT_TRUE(out == once) << "first pixel B,G,R " << int(out[0]) << "," << int(out[1]) << ","
                             << int(out[2]);
}

// --- Facades -------------------------------------------------------------------------------------

TEST_F(KeyerStagesTest, YUVBlurIsTheSameOnBothFacadesAndScalesItsRadius)
{
    auto source = MakeRandomImage(23, 17, 4);
    YUVBlurRenderer radiusTwo(2, YUVBlurStack);
    const auto expected = RunStage(radiusTwo, *source, 3);
    EXPECT_EQ(Key(
                  source, [](OVImageKeyer& k) { return k.SetYUVBlur(10, YUVBlurStack); },
                  DownsampleQuarter),
        expected);
    ScopedCoreCount cores(3);
    auto destination = std::make_shared<OVImage8>(23, 17, PixelOrderBGRA, true);
    OVImageProcessor processor(source, destination, tables, DownsampleHalf);
    EXPECT_EQ(processor.SetYUVBlur(5, YUVBlurStack), 0);
    EXPECT_EQ(processor.Render(), 0);
    EXPECT_EQ(BytesOf(*destination), expected);
}

TEST_F(KeyerStagesTest, HugeYUVRadiiRenderSafely)
{
    auto source = MakeRandomImage(6, 5, 8);
    for (const auto type :
        { YUVBlurBoxRows, YUVBlurBoxColumns, YUVBlurBoxRowsColumns, YUVBlurStack }) {
        // A box radius past the line averages the whole line, exactly as the line's length does.
        const int same = type == YUVBlurStack ? stackblur::kMaxRadius : 6;
        YUVBlurRenderer stage(same, type);
        EXPECT_EQ(Key(source, [type](OVImageKeyer& k) { return k.SetYUVBlur(UINT_MAX, type); }),
            RunStage(stage, *source, 2))
            << int(type);
    }
}

struct KeyerStageCase {
    const char* name;
    AddStage add;
};

const KeyerStageCase kKeyerStages[] = {
    { "SpillGreen",
        [](OVImageKeyer& k) { return k.SetSpillSuppression(ChannelGreen, true, 0.9); } },
    { "SpillBlue", [](OVImageKeyer& k) { return k.SetSpillSuppression(ChannelBlue, false, 0.5); } },
    { "Crop", [](OVImageKeyer& k) { return k.SetAlphaCrop(0.1, 0.2, 0.15, 0.05); } },
    { "YUVBoxRows", [](OVImageKeyer& k) { return k.SetYUVBlur(2, YUVBlurBoxRows); } },
    { "YUVBoxColumns", [](OVImageKeyer& k) { return k.SetYUVBlur(3, YUVBlurBoxColumns); } },
    { "YUVBox", [](OVImageKeyer& k) { return k.SetYUVBlur(2, YUVBlurBoxRowsColumns); } },
    { "YUVStack", [](OVImageKeyer& k) { return k.SetYUVBlur(4, YUVBlurStack); } },
    // The default key list: YUV blur, key, crop, spill suppression.
    { "DefaultKeyList",
        [](OVImageKeyer& k) {
            return k.SetYUVBlur(2, YUVBlurStack)
                + k.SetAutoColorDifferenceKey(KeyColorAuto, 1, 0, 0.33) + k.SetAlphaCrop(0, 0, 0, 0)
                + k.SetSpillSuppression(ChannelGreen, true, 1);
        } },
};

class EveryKeyerStage : public KeyerStagesTest, public ::testing::WithParamInterface<KeyerStageCase>
{
};

TEST_P(EveryKeyerStage, SameBytesForEveryWorkerCount)
{
    for (const auto& [width, height] :
        { std::pair { 37u, 23u }, { 5u, 3u }, { 1u, 9u }, { 9u, 1u } }) {
        auto source = MakeRandomImage(width, height, width + height);
        const auto reference = Key(source, GetParam().add, DownsampleFull, 1);
        for (const int workers : WorkerCountsToCheck()) {
            EXPECT_EQ(Key(source, GetParam().add, DownsampleFull, workers), reference)
                << width << "x" << height << ", " << workers << " workers";
        }
    }
}

TEST_P(EveryKeyerStage, LeavesImagesOfOtherDepthsUntouched)
{
    auto source = std::make_shared<OtherDepthImage>(6, 5);
    auto destination = std::make_shared<OtherDepthImage>(6, 5);
    const auto before = BytesOf(*destination);
    OVImageKeyer keyer(source, destination, tables, DownsampleFull);
    ASSERT_EQ(GetParam().add(keyer), 0);
    EXPECT_EQ(keyer.Render(), 0);
    EXPECT_EQ(BytesOf(*destination), before);
}

INSTANTIATE_TEST_SUITE_P(Stages, EveryKeyerStage, ::testing::ValuesIn(kKeyerStages),
    [](const ::testing::TestParamInfo<KeyerStageCase>& param) {
        return std::string(param.param.name);
    });

} // namespace
