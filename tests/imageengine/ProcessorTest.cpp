// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "CpuFeatures.h"
#include "processor/BrightnessRenderer.h"
#include "processor/ColorBalanceRenderer.h"
#include "processor/ColorTemperatureRenderer.h"
#include "processor/HueColorizeRenderer.h"
#include "processor/MirrorRenderer.h"
#include "processor/OpacityRenderer.h"
#include "processor/PixelTables.h"
#include "processor/SaturationRenderer.h"
#include "processor/SuperContrastRenderer.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "StageTestSupport.h"

using namespace orv::image;
using mtra::test::AsArgb;
using mtra::test::BytesOf;
using mtra::test::MakeFilledImage;
using mtra::test::MakeImage;
using mtra::test::MakeRandomImage;
using mtra::test::OtherDepthImage;
using mtra::test::RunStage;
using mtra::test::ScopedCoreCount;
using mtra::test::WorkerCountsToCheck;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using AddStage = std::function<int(OVImageProcessor&)>;

struct ProcessorTest : ::testing::Test {
    orv::OVLookupTables tables { true };

    // Runs a processor with the stages `add` appends; the destination starts zeroed.
    std::vector<std::uint8_t> Process(const std::shared_ptr<OVImage8>& source, const AddStage& add,
        int workers = 3, OVDownsampleFactor factor = DownsampleFull)
    {
        return mtra::test::RunFacade<OVImageProcessor>(source, add, tables, workers, factor);
    }
};

// --- Setter checks -------------------------------------------------------------------------

struct SetterCase {
    const char* name;
    AddStage call;
    int expected;
};

class ProcessorSetters : public ProcessorTest, public ::testing::WithParamInterface<SetterCase>
{
};

TEST_P(ProcessorSetters, CheckRangesAndAppendOnlyWhenValid)
{
    auto source = MakeRandomImage(3, 2, 1);
    auto destination = std::make_shared<OVImage8>(3, 2, PixelOrderBGRA, true);
    OVImageProcessor processor(source, destination, tables, DownsampleFull);
    EXPECT_EQ(GetParam().call(processor), GetParam().expected);
    EXPECT_EQ(processor.RenderQueueCount(), GetParam().expected == 0 ? 1 : 0);
}

const SetterCase kSetterCases[] = {
    { "BrightnessLowest", [](OVImageProcessor& p) { return p.SetBrightness(-1.0, ChannelsColor); },
        0 },
    { "BrightnessHighest", [](OVImageProcessor& p) { return p.SetBrightness(1.0, ChannelsAll); },
        0 },
    { "BrightnessAbove", [](OVImageProcessor& p) { return p.SetBrightness(1.0001, ChannelsColor); },
        7 },
    { "BrightnessNaN", [](OVImageProcessor& p) { return p.SetBrightness(kNaN, ChannelsColor); },
        7 },
    { "BrightnessChannels2",
        [](OVImageProcessor& p) { return p.SetBrightness(0.5, ChannelsNone2); }, 10 },
    { "BrightnessChannels0",
        [](OVImageProcessor& p) { return p.SetBrightness(0.5, ChannelsNone0); }, 10 },
    // The range is checked before the channels.
    { "BrightnessRangeFirst",
        [](OVImageProcessor& p) { return p.SetBrightness(2.0, ChannelsNone1); }, 7 },
    { "BalanceEdges", [](OVImageProcessor& p) { return p.SetColorBalance(0.0, 2.0, 1.0); }, 0 },
    { "BalanceRedAbove", [](OVImageProcessor& p) { return p.SetColorBalance(2.01, 1.0, 1.0); }, 7 },
    { "BalanceBlueBelow", [](OVImageProcessor& p) { return p.SetColorBalance(1.0, 1.0, -0.01); },
        7 },
    { "Temperature1500", [](OVImageProcessor& p) { return p.SetColorTemperature(1500); }, 0 },
    { "Temperature13500", [](OVImageProcessor& p) { return p.SetColorTemperature(13500); }, 0 },
    { "Temperature1499_9", [](OVImageProcessor& p) { return p.SetColorTemperature(1499.9); }, 7 },
    { "Temperature13500_1", [](OVImageProcessor& p) { return p.SetColorTemperature(13500.1); }, 7 },
    { "ContrastChannelsUnchecked",
        [](OVImageProcessor& p) { return p.SetSuperContrast(0.1, 0.9, ChannelsNone2); }, 0 },
    { "ContrastWhiteAbove",
        [](OVImageProcessor& p) { return p.SetSuperContrast(0.0, 1.5, ChannelsColor); }, 7 },
    { "ContrastBlackNaN",
        [](OVImageProcessor& p) { return p.SetSuperContrast(kNaN, 1.0, ChannelsColor); }, 7 },
    { "HueEdges", [](OVImageProcessor& p) { return p.SetHueColorize(360.0, 1.0); }, 0 },
    { "HueAbove", [](OVImageProcessor& p) { return p.SetHueColorize(360.5, 0.5); }, 7 },
    { "HueStrengthBelow", [](OVImageProcessor& p) { return p.SetHueColorize(10, -0.1); }, 7 },
    { "MirrorNeither", [](OVImageProcessor& p) { return p.SetMirror(false, false); }, 0 },
    { "OpacityZero", [](OVImageProcessor& p) { return p.SetOpacity(0.0); }, 0 },
    { "OpacityAbove", [](OVImageProcessor& p) { return p.SetOpacity(1.01); }, 7 },
    { "SaturationTwo", [](OVImageProcessor& p) { return p.SetSaturation(2.0); }, 0 },
    { "SaturationAbove", [](OVImageProcessor& p) { return p.SetSaturation(2.5); }, 7 },
    { "SaturationNaN", [](OVImageProcessor& p) { return p.SetSaturation(kNaN); }, 7 },
    { "YUVBlurAnyType",
        [](OVImageProcessor& p) { return p.SetYUVBlur(3, static_cast<OVYUVBlurType>(42)); }, 0 },
};

INSTANTIATE_TEST_SUITE_P(Table, ProcessorSetters, ::testing::ValuesIn(kSetterCases),
    [](const ::testing::TestParamInfo<SetterCase>& param) {
        return std::string(param.param.name);
    });

// --- Table stages: rules, and the SSE2 paths against the plain ones -------------------------

// Every byte value in every channel, a row that is not a multiple of 16 bytes long (so the
// vector loops leave a tail), and random pixels.
std::shared_ptr<OVImage8> AllValuesImage()
{
    auto image = MakeRandomImage(263, 3, 77);
    for (int v = 0; v < 256; ++v) {
        for (int c = 0; c < 4; ++c)
            image->Buffer()[v * 4 + c] = static_cast<std::uint8_t>(v);
    }
    return image;
}

// Applies a per-byte rule to every pixel.
std::vector<std::uint8_t> Expected(
    const OVImage8& image, const std::function<int(int c, int v)>& rule)
{
    std::vector<std::uint8_t> out = BytesOf(image);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = pixeltables::Clamp(rule(static_cast<int>(i % 4), out[i]));
    return out;
}

struct TableStageCase {
    std::string name;
    std::function<std::shared_ptr<TableRenderer>(const CpuFeatures&)> make;
    std::function<int(int c, int v)> rule;
    bool vectorisedWithSse2;
};

class TableStages : public ::testing::TestWithParam<TableStageCase>
{
};

TEST_P(TableStages, PlainAndSse2PathsFollowTheRule)
{
    auto source = AllValuesImage();
    const std::vector<std::uint8_t> expected = Expected(*source, GetParam().rule);

    auto plain = GetParam().make(CpuFeatures::None());
    EXPECT_EQ(RunStage(*plain, *source, 3), expected) << "plain";
    EXPECT_FALSE(plain->IsVectorised());

    auto vectorised = GetParam().make(CpuFeatures::Detected());
    EXPECT_EQ(RunStage(*vectorised, *source, 3), expected) << "SSE2";
    if (CpuFeatures::Detected().UsesSse2()) {
        EXPECT_EQ(vectorised->IsVectorised(), GetParam().vectorisedWithSse2);
    }
}

int Truncated(double value)
{
    return static_cast<int>(value);
}

std::vector<TableStageCase> TableCases()
{
    std::vector<TableStageCase> cases;
    for (const double brightness : { 1.0, 0.5, -0.3, -1.0, 0.001 }) {
        const int d = Truncated(brightness * 255);
        for (const auto channels : { ChannelsColor, ChannelsAlpha, ChannelsAll }) {
            cases.push_back({ "Brightness" + std::to_string(int(brightness * 1000)) + "_"
                    + std::to_string(int(channels)),
                [=](const CpuFeatures& f) {
                    return std::make_shared<BrightnessRenderer>(brightness, channels, f);
                },
                [=](int c, int v) {
                    const bool selected
                        = c == 3 ? channels != ChannelsColor : channels != ChannelsAlpha;
                    return selected ? v + d : v;
                },
                true });
        }
    }
    // Factors whose products land on or next to integers (0.7 × 10, 1.1 × 10, …) test the fit.
    for (const auto& f : std::vector<std::array<double, 3>> { { 1, 1, 1 }, { 0.7, 1.1, 0.3 },
             { 2, 0, 1.999 }, { 0.123456789, 1.5, 0.5 }, { 1.01, 0.99, 1.9 } }) {
        cases.push_back({ "Balance" + std::to_string(int(f[0] * 1000)) + "_"
                + std::to_string(int(f[1] * 1000)) + "_" + std::to_string(int(f[2] * 1000)),
            [=](const CpuFeatures& features) {
                return std::make_shared<ColorBalanceRenderer>(f[0], f[1], f[2], features);
            },
            [=](int c, int v) { return c == 3 ? v : Truncated(v * f[2 - c]); }, true });
    }
    for (const double opacity : { 0.0, 0.25, 0.7, 0.999, 1.0 }) {
        cases.push_back({ "Opacity" + std::to_string(int(opacity * 1000)),
            [=](const CpuFeatures& f) { return std::make_shared<OpacityRenderer>(opacity, f); },
            [=](int c, int v) { return c == 3 ? Truncated(v * opacity) : v; }, true });
    }
    for (const double kelvin : { 1500.0, 5000.0, 6500.0, 13500.0 }) {
        double red = 0;
        double green = 0;
        double blue = 0;
        ColorTemperatureRenderer::Coefficients(kelvin, &red, &green, &blue);
        const double factor[4] = { blue, green, red, 1.0 };
        cases.push_back({ "Temperature" + std::to_string(int(kelvin)),
            [=](const CpuFeatures& f) {
                return std::make_shared<ColorTemperatureRenderer>(kelvin, f);
            },
            [=](int c, int v) { return Truncated(v * factor[c]); }, true });
    }
    struct Levels {
        double black;
        double white;
        bool vectorised;
    };
    // Black above white leaves a step that no scaling reproduces: the tables serve it.
    for (const Levels levels : { Levels { 0, 1, true }, Levels { 0.2, 0.2, true },
             Levels { 0.1, 0.9, true }, Levels { 0.33, 0.5, true }, Levels { 0.8, 0.2, false } }) {
        const int lo = Truncated(levels.black * 255);
        const int hi = Truncated(levels.white * 255);
        for (const auto channels : { ChannelsColor, ChannelsAll }) {
            cases.push_back({ "Contrast" + std::to_string(lo) + "_" + std::to_string(hi) + "_"
                    + std::to_string(int(channels)),
                [=](const CpuFeatures& f) {
                    return std::make_shared<SuperContrastRenderer>(
                        levels.black, levels.white, channels, f);
                },
                [=](int c, int v) {
                    if (c == 3 && channels == ChannelsColor)
                        return v;
                    if (v > hi)
                        return 255;
                    if (v < lo)
                        return 0;
                    return Truncated((v - lo) * (256.0 / (hi - lo + 1)));
                },
                levels.vectorised });
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Rules, TableStages, ::testing::ValuesIn(TableCases()),
    [](const ::testing::TestParamInfo<TableStageCase>& param) {
        std::string name = param.param.name;
        for (char& ch : name) {
            if (ch == '-')
                ch = 'm';
        }
        return name;
    });

TEST(PixelTables, ScaleFitReproducesRandomFactorsOrDeclines)
{
    // Whenever a fit is accepted, the vector loop gives the table's bytes for every value.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> unit(0.0, 2.0);
    int fitted = 0;
    for (int trial = 0; trial < 300; ++trial) {
        pixeltables::Tables tables;
        double factor[4];
        const double offset[4] = { 0, -17, 0, 0 };
        for (int c = 0; c < 4; ++c) {
            factor[c] = trial % 10 == 0 ? std::round(unit(random) * 100) / 100 : unit(random);
            for (int v = 0; v < 256; ++v)
                tables.entry[c][v]
                    = pixeltables::Clamp(static_cast<int>((v + offset[c]) * factor[c]));
        }
        pixeltables::Scale scale;
        if (!pixeltables::FitScale(tables, offset, factor, &scale))
            continue;
        ++fitted;
        unsigned char in[256 * 4 + 12];
        unsigned char out[sizeof in];
        for (std::size_t i = 0; i < sizeof in; ++i)
            in[i] = static_cast<unsigned char>(i / 4 % 256);
        pixeltables::ApplyScaleSse2(in, out, sizeof in, scale, tables);
        for (std::size_t i = 0; i < sizeof in; ++i)
            ASSERT_EQ(out[i], tables.entry[i % 4][in[i]]) << trial << " byte " << i;
    }
    if (CpuFeatures::Detected().UsesSse2()) {
        EXPECT_GT(fitted, 290);
    }
}

TEST(PixelTables, EveryScaledFormGivesTheTableBytes)
{
    if (!CpuFeatures::Detected().UsesSse2())
        GTEST_SKIP() << "no SSE2";
    // 0.7: the double rule gives 7 for 10 but 48 for 70, which no single float factor does.
    const double factor[4] = { 0.7, 1.4, 0.3, 1.0 };
    const double offset[4] = { 0, 0, -5, 0 };
    pixeltables::Tables tables;
    for (int c = 0; c < 4; ++c) {
        for (int v = 0; v < 256; ++v)
            tables.entry[c][v] = pixeltables::Clamp(static_cast<int>((v + offset[c]) * factor[c]));
    }
    unsigned char in[256 * 4 + 8];
    for (std::size_t i = 0; i < sizeof in; ++i)
        in[i] = static_cast<unsigned char>((i / 4 + i % 4 * 61) % 256);
    for (const int maxCorrections : { pixeltables::Scale::kMaxCorrections, 0 }) {
        pixeltables::Scale scale;
        ASSERT_TRUE(pixeltables::FitScale(tables, offset, factor, &scale, maxCorrections));
        EXPECT_EQ(scale.single, maxCorrections > 0);
        if (maxCorrections > 0) {
            EXPECT_GT(scale.correctionCount, 0);
        }
        unsigned char out[sizeof in];
        pixeltables::ApplyScaleSse2(in, out, sizeof in, scale, tables);
        for (std::size_t i = 0; i < sizeof in; ++i)
            ASSERT_EQ(out[i], tables.entry[i % 4][in[i]]) << maxCorrections << " byte " << i;
    }
}

TEST(CpuFeatures, DetectionIsStableAndNoneIsEmpty)
{
    const CpuFeatures a = CpuFeatures::Detected();
    const CpuFeatures b = CpuFeatures::Detected();
    EXPECT_EQ(a.sse2, b.sse2);
    EXPECT_FALSE(CpuFeatures::None().UsesSse2());
#if defined(__x86_64__)
    // SSE2 belongs to every x86-64 processor.
    EXPECT_EQ(a.mmx, 1);
    EXPECT_EQ(a.sse, 1);
    EXPECT_EQ(a.sse2, 1);
    EXPECT_TRUE(a.UsesSse2());
#endif
}

TEST_F(ProcessorTest, BrightnessOneOnColourWhitensAndKeepsAlpha)
{
    auto source = MakeRandomImage(5, 3, 2);
    const auto out
        = Process(source, [](OVImageProcessor& p) { return p.SetBrightness(1.0, ChannelsColor); });
    for (std::size_t i = 0; i < out.size(); ++i)
        EXPECT_EQ(out[i], i % 4 == 3 ? source->Buffer()[i] : 255) << i;
}

TEST_F(ProcessorTest, SuperContrastLevelsAtTwentyPercent)
{
    // lo = hi = 51, s = 256: below 51 → 0, 51 → 0, above → 255.
    auto source = MakeImage(3, 1, { 50, 51, 52, 7, 0, 255, 51, 7, 200, 1, 100, 7 });
    const auto out = Process(
        source, [](OVImageProcessor& p) { return p.SetSuperContrast(0.2, 0.2, ChannelsColor); });
    EXPECT_EQ(out, (std::vector<std::uint8_t> { 0, 0, 255, 7, 0, 255, 0, 7, 255, 0, 255, 7 }));
}

TEST_F(ProcessorTest, RefusedOrUnknownChannelSelectionsWriteNothing)
{
    auto source = MakeRandomImage(4, 3, 5);
    const std::vector<std::uint8_t> zero(source->BufferByteSize(), 0);
    EXPECT_EQ(Process(source,
                  [](OVImageProcessor& p) { return p.SetSuperContrast(0.1, 0.9, ChannelsNone2); }),
        zero);
    BrightnessRenderer brightness(0.5, static_cast<OVChannelsToProcess>(9));
    EXPECT_EQ(RunStage(brightness, *source, 2), zero);
}

TEST(ColorTemperature, CoefficientsAtFiveThousandKelvin)
{
    double red = 0;
    double green = 0;
    double blue = 0;
    ColorTemperatureRenderer::Coefficients(5000, &red, &green, &blue);
    EXPECT_NEAR(red, 1.0207, 5e-4);
    EXPECT_NEAR(green, 0.9824, 5e-4);
    EXPECT_NEAR(blue, 1.0507, 5e-4);
    // Cooler light is redder, hotter light bluer.
    ColorTemperatureRenderer::Coefficients(1500, &red, &green, &blue);
    EXPECT_NEAR(red, 2.1449, 5e-4);
    EXPECT_NEAR(blue, 0.0247, 5e-4);
    ColorTemperatureRenderer::Coefficients(13500, &red, &green, &blue);
    EXPECT_NEAR(red, 0.7993, 5e-4);
    EXPECT_NEAR(blue, 2.1528, 5e-4);
}

TEST(ColorTemperature, ArgbImagesKeepByteZeroAndScaleRedGreenBlue)
{
    auto bgra = MakeRandomImage(7, 5, 9);
    auto argb = AsArgb(*bgra);
    double red = 0;
    double green = 0;
    double blue = 0;
    ColorTemperatureRenderer::Coefficients(3000, &red, &green, &blue);
    const double factor[4] = { 1.0, red, green, blue };
    for (const auto& features : { CpuFeatures::None(), CpuFeatures::Detected() }) {
        ColorTemperatureRenderer stage(3000, features);
        EXPECT_EQ(RunStage(stage, *argb, 2),
            Expected(*argb, [&](int c, int v) { return static_cast<int>(v * factor[c]); }));
    }
}

// --- Hue colorize ----------------------------------------------------------------------------

TEST(HueColorize, PureRedTurnsGreenAtHue120)
{
    int r = 255;
    int g = 0;
    int b = 0;
    HueColorizeRenderer::Colorize(120, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 0);
    r = 0, g = 255, b = 0;
    HueColorizeRenderer::Colorize(240, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 255);
}

TEST(HueColorize, IntegerHlsOfAMutedColour)
{
    // (R, G, B) = (200, 100, 50): L = (250 × 360 + 255) ÷ 510 = 176, f = 250,
    // S = (150 × 360 + 125) ÷ 250 = 216, m2 = (176 × 576 + 180) ÷ 360 = 282, m1 = 70.
    // Hue 200: R′ from t = 320 → m1 → 50; G′ from t = 200 → 70 + (212 × 40 + 30) ÷ 60 = 211 →
    // (211 × 255 + 180) ÷ 360 = 149; B′ from t = 80 → m2 → (282 × 255 + 180) ÷ 360 = 200.
    int r = 200;
    int g = 100;
    int b = 50;
    HueColorizeRenderer::Colorize(200, r, g, b);
    EXPECT_EQ(r, 50);
    EXPECT_EQ(g, 149);
    EXPECT_EQ(b, 200);
}

TEST(HueColorize, GreyStaysAndStrengthMixes)
{
    auto source = MakeImage(3, 1, { 90, 90, 90, 200, 0, 0, 255, 10, 7, 7, 7, 0 });
    HueColorizeRenderer full(120, 1.0);
    EXPECT_EQ(RunStage(full, *source, 2),
        (std::vector<std::uint8_t> { 90, 90, 90, 200, 0, 255, 0, 10, 7, 7, 7, 0 }));
    // Strength 0.5: (255 − 0) × 0.5 + 0 = 127.5 → 127; (0 − 255) × 0.5 + 255 = 127.5 → 127.
    HueColorizeRenderer half(120, 0.5);
    EXPECT_EQ(RunStage(half, *source, 2),
        (std::vector<std::uint8_t> { 90, 90, 90, 200, 0, 127, 127, 10, 7, 7, 7, 0 }));
    HueColorizeRenderer none(300, 0.0);
    auto random = MakeRandomImage(9, 4, 3);
    EXPECT_EQ(RunStage(none, *random, 2), BytesOf(*random));
}

TEST(HueColorize, ArgbBytesAreReadAsAlphaRedGreenBlue)
{
    auto bgra = MakeRandomImage(6, 4, 8);
    HueColorizeRenderer stage(75, 0.6);
    const auto expected = RunStage(stage, *bgra, 1);
    // The same pixels in ARGB: BGRA byte c is ARGB byte 3 − c.
    auto reversed = MakeRandomImage(6, 4, 8);
    for (std::size_t p = 0; p < reversed->BufferByteSize(); p += 4) {
        for (int c = 0; c < 4; ++c)
            reversed->Buffer()[p + c] = bgra->Buffer()[p + 3 - c];
    }
    auto argb = AsArgb(*reversed);
    const auto out = RunStage(stage, *argb, 2);
    for (std::size_t p = 0; p < out.size(); p += 4) {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(out[p + c], expected[p + 3 - c]) << p / 4;
    }
}

// --- Saturation --------------------------------------------------------------------------------

struct SaturationCase {
    double saturation;
    std::array<int, 3> in; // B, G, R
    std::array<int, 3> out;
};

class Saturation : public ::testing::TestWithParam<SaturationCase>
{
};

// Expected values worked through the rule in double precision.
TEST_P(Saturation, FollowsTheHsvRule)
{
    const SaturationCase c = GetParam();
    auto source = MakeImage(
        1, 1, { std::uint8_t(c.in[0]), std::uint8_t(c.in[1]), std::uint8_t(c.in[2]), 99 });
    SaturationRenderer stage(c.saturation);
    const auto out = RunStage(stage, *source, 1);
    EXPECT_EQ(out,
        (std::vector<std::uint8_t> {
            std::uint8_t(c.out[0]), std::uint8_t(c.out[1]), std::uint8_t(c.out[2]), 99 }));
}

INSTANTIATE_TEST_SUITE_P(Pixels, Saturation,
    ::testing::Values(SaturationCase { 0.5, { 50, 100, 200 }, { 125, 150, 200 } },
        SaturationCase { 1.0, { 50, 100, 200 }, { 50, 100, 200 } },
        SaturationCase { 2.0, { 50, 100, 200 }, { 0, 66, 200 } },
        // Saturation 0 gives grey at the largest channel, not the luminance.
        SaturationCase { 0.0, { 50, 100, 200 }, { 200, 200, 200 } },
        SaturationCase { 1.5, { 200, 30, 90 }, { 200, 0, 70 } },
        SaturationCase { 0.25, { 10, 240, 120 }, { 182, 240, 210 } },
        // S′ is limited to 1: a fully saturated pixel stays.
        SaturationCase { 2.0, { 0, 0, 128 }, { 0, 0, 128 } },
        SaturationCase { 1.0, { 17, 17, 17 }, { 17, 17, 17 } },
        SaturationCase { 1.3, { 255, 0, 1 }, { 255, 0, 0 } },
        SaturationCase { 0.7, { 0, 0, 0 }, { 0, 0, 0 } }));

// --- Mirror ------------------------------------------------------------------------------------

TEST(Mirror, FlipsEitherOrBothAxesAndCopiesWithNeither)
{
    // 3 × 2 pixels numbered 1 … 6 in byte 0.
    auto source = MakeImage(3, 2, {});
    for (int i = 0; i < 6; ++i)
        source->Buffer()[i * 4] = static_cast<std::uint8_t>(i + 1);
    auto order = [](const std::vector<std::uint8_t>& bytes) {
        std::vector<int> firsts;
        for (std::size_t i = 0; i < bytes.size(); i += 4)
            firsts.push_back(bytes[i]);
        return firsts;
    };
    MirrorRenderer horizontal(true, false);
    MirrorRenderer vertical(false, true);
    MirrorRenderer both(true, true);
    MirrorRenderer neither(false, false);
    EXPECT_EQ(order(RunStage(horizontal, *source, 4)), (std::vector<int> { 3, 2, 1, 6, 5, 4 }));
    EXPECT_EQ(order(RunStage(vertical, *source, 4)), (std::vector<int> { 4, 5, 6, 1, 2, 3 }));
    EXPECT_EQ(order(RunStage(both, *source, 4)), (std::vector<int> { 6, 5, 4, 3, 2, 1 }));
    EXPECT_EQ(RunStage(neither, *source, 4), BytesOf(*source));
}

// --- Every stage: thread invariance and untouched destinations --------------------------------

struct StageCase {
    const char* name;
    AddStage add;
};

const StageCase kStages[] = {
    { "Brightness", [](OVImageProcessor& p) { return p.SetBrightness(-0.4, ChannelsAll); } },
    { "ColorBalance", [](OVImageProcessor& p) { return p.SetColorBalance(0.7, 1.3, 1.1); } },
    { "ColorTemperature", [](OVImageProcessor& p) { return p.SetColorTemperature(3200); } },
    { "SuperContrast",
        [](OVImageProcessor& p) { return p.SetSuperContrast(0.1, 0.8, ChannelsAll); } },
    { "HueColorize", [](OVImageProcessor& p) { return p.SetHueColorize(210, 0.7); } },
    { "Mirror", [](OVImageProcessor& p) { return p.SetMirror(true, true); } },
    { "Opacity", [](OVImageProcessor& p) { return p.SetOpacity(0.6); } },
    { "Saturation", [](OVImageProcessor& p) { return p.SetSaturation(1.7); } },
    { "StackBlur", [](OVImageProcessor& p) { return p.SetStackBlur(4, true, true, ChannelsAll); } },
    { "YUVBlurStack", [](OVImageProcessor& p) { return p.SetYUVBlur(3, YUVBlurStack); } },
    { "YUVBlurBox", [](OVImageProcessor& p) { return p.SetYUVBlur(2, YUVBlurBoxRowsColumns); } },
};

class EveryProcessorStage : public ProcessorTest, public ::testing::WithParamInterface<StageCase>
{
};

TEST_P(EveryProcessorStage, SameBytesForEveryWorkerCount)
{
    for (const auto& [width, height] : { std::pair { 37u, 23u }, { 5u, 3u }, { 1u, 9u } }) {
        auto source = MakeRandomImage(width, height, width * height);
        const auto reference = Process(source, GetParam().add, 1);
        for (const int workers : WorkerCountsToCheck())
            EXPECT_EQ(Process(source, GetParam().add, workers), reference) << workers << " workers";
    }
}

TEST_P(EveryProcessorStage, LeavesImagesOfOtherDepthsUntouched)
{
    auto source = std::make_shared<OtherDepthImage>(6, 5);
    auto destination = std::make_shared<OtherDepthImage>(6, 5);
    const auto before = BytesOf(*destination);
    OVImageProcessor processor(source, destination, tables, DownsampleFull);
    ASSERT_EQ(GetParam().add(processor), 0);
    EXPECT_EQ(processor.Render(), 0);
    EXPECT_EQ(BytesOf(*destination), before);
}

INSTANTIATE_TEST_SUITE_P(Stages, EveryProcessorStage, ::testing::ValuesIn(kStages),
    [](const ::testing::TestParamInfo<StageCase>& param) { return std::string(param.param.name); });

TEST_F(ProcessorTest, StagesRequiringBgraLeaveArgbAlone)
{
    auto source = AsArgb(*MakeRandomImage(4, 4, 1));
    const std::vector<std::uint8_t> zero(source->BufferByteSize(), 0);
    for (const AddStage& add : std::vector<AddStage> {
             [](OVImageProcessor& p) { return p.SetBrightness(0.2, ChannelsColor); },
             [](OVImageProcessor& p) { return p.SetColorBalance(1.2, 1, 1); },
             [](OVImageProcessor& p) { return p.SetSuperContrast(0.1, 0.9, ChannelsColor); },
             [](OVImageProcessor& p) { return p.SetOpacity(0.5); },
             [](OVImageProcessor& p) { return p.SetSaturation(0.5); } })
        EXPECT_EQ(Process(source, add), zero);
}

} // namespace
