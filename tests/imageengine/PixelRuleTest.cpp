// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// The table-driven and vectorised loops of the per-pixel colour stages against their plain
// per-pixel rules, over every 24-bit colour, and the vector loops against the plain loops at
// odd sizes and worker counts.
#include "processor/Avx2Support.h"
#include "processor/HueColorizeRenderer.h"
#include "processor/SaturationRenderer.h"

#include <ovimageengine/OVImage.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "StageTestSupport.h"

using namespace orv::image;
using mtra::test::MakeRandomImage;
using mtra::test::RunStage;

namespace {

// 4096 × 4096 pixels: pixel i has colour bytes B, G, R = bits 0–7, 8–15, 16–23 of i, so every
// colour occurs once, and an alpha that varies with it.
const OVImage8& EveryColour()
{
    static const std::unique_ptr<OVImage8> image = [] {
        auto result = std::make_unique<OVImage8>(4096, 4096, PixelOrderBGRA, false);
        unsigned char* p = result->Buffer();
        for (std::uint32_t i = 0; i < (1u << 24); ++i) {
            p[i * 4] = static_cast<unsigned char>(i);
            p[i * 4 + 1] = static_cast<unsigned char>(i >> 8);
            p[i * 4 + 2] = static_cast<unsigned char>(i >> 16);
            p[i * 4 + 3] = static_cast<unsigned char>(i * 7 + 3);
        }
        return result;
    }();
    return *image;
}

// Empty when equal, else the first differing pixel (not the whole image: gtest would print
// 64 MB).
std::string FirstDifference(
    const std::vector<std::uint8_t>& actual, const std::vector<std::uint8_t>& expected)
{
    if (actual.size() != expected.size())
        return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            const std::size_t pixel = i / 4 * 4;
            std::string text = "pixel " + std::to_string(i / 4) + ": got";
            for (int c = 0; c < 4; ++c)
                text += " " + std::to_string(actual[pixel + c]);
            text += ", want";
            for (int c = 0; c < 4; ++c)
                text += " " + std::to_string(expected[pixel + c]);
            return text;
        }
    }
    return {};
}

// The loops a stage can take here: plain always, AVX2 where the processor has it.
std::vector<bool> Avx2Choices()
{
    if (Avx2Available())
        return { false, true };
    return { false };
}

// --- Hue colorize ------------------------------------------------------------------------------

// The plain rule, pixel by pixel: `Colorize`, then `Mix` of each colour byte; alpha copied.
std::vector<std::uint8_t> HueColorizeByRule(const OVImage8& source, double hue, double strength)
{
    std::vector<std::uint8_t> out(source.BufferByteSize());
    const unsigned char* in = source.Buffer();
    const int wholeHue = static_cast<int>(hue);
    for (std::size_t i = 0; i < out.size(); i += 4) {
        int r = in[i + 2];
        int g = in[i + 1];
        int b = in[i];
        HueColorizeRenderer::Colorize(wholeHue, r, g, b);
        out[i] = HueColorizeRenderer::Mix(in[i], b, 1.0 - strength);
        out[i + 1] = HueColorizeRenderer::Mix(in[i + 1], g, 1.0 - strength);
        out[i + 2] = HueColorizeRenderer::Mix(in[i + 2], r, 1.0 - strength);
        out[i + 3] = in[i + 3];
    }
    return out;
}

struct HueCase {
    double hue;
    double strength;
};

class HueColorizeEveryColour : public ::testing::TestWithParam<HueCase>
{
};

TEST_P(HueColorizeEveryColour, TablesAndVectorLoopFollowTheRule)
{
    const HueCase c = GetParam();
    const auto expected = HueColorizeByRule(EveryColour(), c.hue, c.strength);
    for (const bool avx2 : Avx2Choices()) {
        HueColorizeRenderer stage(c.hue, c.strength, avx2);
        EXPECT_EQ(
            FirstDifference(RunStage(stage, const_cast<OVImage8&>(EveryColour()), 2), expected), "")
            << (avx2 ? "AVX2" : "plain");
    }
}

// The cases below run both forms of the AVX2 loop's mix: single precision where it reproduces
// the mix table, the double-precision rule where it does not (keep = 0.7 makes 90 × keep fall
// just below 63 in double precision).
TEST(HueColorizeMix, SinglePrecisionOnlyWhereItReproducesTheTable)
{
    OVImage8 image(2, 2, PixelOrderBGRA, true);
    HueColorizeRenderer exact(200, 0.5);
    exact.Prepare(&image);
    EXPECT_TRUE(exact.MixesInSinglePrecision());
    HueColorizeRenderer nearWhole(95.7, 0.3);
    nearWhole.Prepare(&image);
    EXPECT_FALSE(nearWhole.MixesInSinglePrecision());
}

// Strengths whose keep (0.7, 0.3, 0.9) has no exact binary form, the exact ones, both ends,
// and fractional hues (only the whole degrees count).
INSTANTIATE_TEST_SUITE_P(Settings, HueColorizeEveryColour,
    ::testing::Values(HueCase { 200, 0.5 }, HueCase { 95.7, 0.3 }, HueCase { 0, 0.7 },
        HueCase { 359.9, 0.1 }, HueCase { 120, 1.0 }, HueCase { 300, 0.0 }));

// --- Saturation --------------------------------------------------------------------------------

std::vector<std::uint8_t> SaturationByRule(const OVImage8& source, double saturation)
{
    double reciprocals[256] = { 0.0 };
    for (int i = 1; i < 256; ++i)
        reciprocals[i] = 1.0 / i;
    std::vector<std::uint8_t> out(source.Buffer(), source.Buffer() + source.BufferByteSize());
    for (std::size_t i = 0; i < out.size(); i += 4)
        SaturationRenderer::Saturate(saturation, reciprocals, out[i + 2], out[i + 1], out[i]);
    return out;
}

// The saturation stage's loops here: plain, AVX2, and AVX-512 where the processor has them.
struct SaturationLoop {
    const char* name;
    bool avx2;
    bool avx512;
};

std::vector<SaturationLoop> SaturationLoops()
{
    std::vector<SaturationLoop> loops { { "plain", false, false } };
    if (Avx2Available())
        loops.push_back({ "AVX2", true, false });
    if (Avx512Available())
        loops.push_back({ "AVX-512", true, true });
    return loops;
}

class SaturationEveryColour : public ::testing::TestWithParam<double>
{
};

TEST_P(SaturationEveryColour, VectorLoopsFollowTheRule)
{
    const auto expected = SaturationByRule(EveryColour(), GetParam());
    for (const SaturationLoop& loop : SaturationLoops()) {
        SaturationRenderer stage(GetParam(), loop.avx2, loop.avx512);
        EXPECT_EQ(
            FirstDifference(RunStage(stage, const_cast<OVImage8&>(EveryColour()), 2), expected), "")
            << loop.name;
    }
}

// The AVX-512 loop divides by a reciprocal and one corrected step. Whatever processor makes
// the reciprocal (its 14-bit estimate differs between makers; two Newton steps bring it
// within an ulp), every quotient the rule takes comes out as the division's: numerator ÷ range
// for |numerator| ≤ range ≤ 255 with any reciprocal within two ulps of 1 ÷ range, and hue ÷ 60
// for every hue those quotients make.
TEST(SaturationQuotient, EqualsTheDivisionForEveryQuotientOfTheRule)
{
    int wrong = 0;
    for (int range = 1; range <= 255; ++range) {
        double reciprocal = 1.0 / range;
        for (int step = 0; step < 2; ++step)
            reciprocal = std::nextafter(reciprocal, 0.0);
        for (int candidate = 0; candidate < 5; ++candidate) {
            for (int numerator = -range; numerator <= range; ++numerator) {
                const double a = numerator;
                const double b = range;
                wrong += SaturationRenderer::CorrectedQuotient(a, b, reciprocal) != a / b;
            }
            reciprocal = std::nextafter(reciprocal, 1.0);
        }
        for (const int offset : { 0, 2, 4 }) {
            for (int numerator = -range; numerator <= range; ++numerator) {
                double hue = 60 * (offset + double(numerator) / range);
                if (hue < 0)
                    hue += 360;
                wrong += SaturationRenderer::CorrectedQuotient(hue, 60.0, 1.0 / 60.0) != hue / 60;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Factors, SaturationEveryColour, ::testing::Values(0.0, 0.6, 1.0, 1.4, 2.0, 1.0 / 3.0));

// --- Vector and plain loops at odd sizes -------------------------------------------------------

// Sizes that leave every remainder of the 4- and 8-pixel blocks to the plain tail, split among
// workers at ragged boundaries.
TEST(PerPixelVectorLoops, MatchThePlainLoopsAtOddSizesAndWorkerCounts)
{
    if (!Avx2Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    for (const auto& [width, height] :
        { std::pair { 1u, 1u }, { 3u, 1u }, { 7u, 3u }, { 9u, 1u }, { 15u, 2u }, { 37u, 23u } }) {
        auto source = MakeRandomImage(width, height, width * 31 + height, 0.3);
        for (const unsigned workers : { 1u, 2u, 3u, 7u, 16u }) {
            HueColorizeRenderer huePlain(140, 0.35, false);
            HueColorizeRenderer hueVector(140, 0.35, true);
            EXPECT_EQ(RunStage(hueVector, *source, workers), RunStage(huePlain, *source, 1))
                << width << " x " << height << ", " << workers << " workers";
            SaturationRenderer saturationPlain(1.7, false);
            const auto expected = RunStage(saturationPlain, *source, 1);
            for (const SaturationLoop& loop : SaturationLoops()) {
                SaturationRenderer saturationVector(1.7, loop.avx2, loop.avx512);
                EXPECT_EQ(RunStage(saturationVector, *source, workers), expected)
                    << loop.name << ", " << width << " x " << height << ", " << workers
                    << " workers";
            }
        }
    }
}

// Values outside the setters' ranges reach the stages only when built directly; the vector loop
// still gives the plain loop's bytes (low bytes of out-of-range integers included).
TEST(PerPixelVectorLoops, SaturationOutsideTheSetterRangeMatchesToo)
{
    if (!Avx2Available())
        GTEST_SKIP() << "no AVX2 on this processor";
    auto source = MakeRandomImage(64, 33, 5, 0.2);
    for (const double saturation : { -0.5, 3.0, 1e300, 1e301, 1e-310, 1e-300 }) {
        SaturationRenderer plain(saturation, false);
        const auto expected = RunStage(plain, *source, 1);
        for (const SaturationLoop& loop : SaturationLoops()) {
            SaturationRenderer vector(saturation, loop.avx2, loop.avx512);
            EXPECT_EQ(RunStage(vector, *source, 3), expected) << loop.name << ", " << saturation;
        }
    }
}

} // namespace
