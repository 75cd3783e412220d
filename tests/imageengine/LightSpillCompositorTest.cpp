// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "CpuFeatures.h"
#include "RenderQueue.h"
#include "WorkerThreads.h"
#include "compositor/LightSpillLayerCompositor.h"
#include "processor/StackBlurRenderer.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "StageTestSupport.h"

using namespace orv::image;
using mtra::test::BytesOf;
using mtra::test::MakeFilledImage;
using mtra::test::MakeImage;
using mtra::test::MakeRandomImage;
using mtra::test::ScopedCoreCount;
using mtra::test::WorkerCountsToCheck;

namespace {

std::shared_ptr<OVImage8> CopyOf(const OVImage8& image)
{
    auto copy = std::make_shared<OVImage8>(
        image.Width(), image.Height(), image.PixelChannelOrder(), false);
    std::copy_n(image.Buffer(), image.BufferByteSize(), copy->Buffer());
    return copy;
}

struct LightSpillTest : ::testing::Test {
    orv::OVLookupTables tables { true };

    // The background after one light-spill layer added through the facade at `factor`. The
    // call's own factor argument is always quarter: the facade must not use it.
    std::vector<std::uint8_t> Spill(const OVImage8& background, OVImage8& layer, int radius,
        double strength, OVBlendMode mode, OVDownsampleFactor factor = DownsampleFull)
    {
        auto result = CopyOf(background);
        OVImageCompositor compositor(result, 1.0, tables, factor);
        EXPECT_EQ(
            compositor.AddLightSpillLayer(&layer, radius, strength, mode, DownsampleQuarter), 0);
        EXPECT_EQ(compositor.Render(), 0);
        return BytesOf(*result);
    }

    // The same stage built with a given (already scaled) radius and run on the queue.
    std::vector<std::uint8_t> SpillWithStage(
        const OVImage8& background, OVImage8& layer, int radius, double strength, OVBlendMode mode)
    {
        auto result = CopyOf(background);
        CompositorQueue queue(result.get(), 1.0, tables, DownsampleFull);
        EXPECT_EQ(queue.Append([&] {
            return std::make_shared<LightSpillLayerCompositor>(
                &layer, radius, strength, mode, DownsampleFull, tables);
        }),
            0);
        EXPECT_EQ(queue.Render(), 0);
        return BytesOf(*result);
    }
};

// With radius 0 the blurred light is the background with alpha 255 − layer alpha. Worked by
// hand for background (100, 150, 200, 255) and layer (50, 100, 250, 128): light alpha 127,
// w = 128; t = s + ((mix − s) × 127 >> 8), C = Cb + ((t − Cb) × 128 >> 8).
TEST_F(LightSpillTest, RadiusZeroFollowsTheSpillFormula)
{
    const auto background = MakeImage(1, 1, { 100, 150, 200, 255 });
    auto layer = MakeImage(1, 1, { 50, 100, 250, 128 });
    // Lighten: mix = (100, 150, 250); t = (74, 124, 250); C = (87, 137, 225).
    EXPECT_EQ(Spill(*background, *layer, 0, 1.0, BlendModeLighten),
        (std::vector<std::uint8_t> { 87, 137, 225, 255 }));
    // Normal: t = (74, 124, 250 + (−6350 >> 8) = 225); C = (87, 137, 212). The shifts of
    // negative products round towards minus infinity.
    EXPECT_EQ(Spill(*background, *layer, 0, 1.0, BlendModeNormal),
        (std::vector<std::uint8_t> { 87, 137, 212, 255 }));
    // Replace: t is the light colour itself, here the background: nothing moves.
    EXPECT_EQ(Spill(*background, *layer, 0, 1.0, BlendModeReplace),
        (std::vector<std::uint8_t> { 100, 150, 200, 255 }));
}

TEST_F(LightSpillTest, BlurredLightIsTheBackgroundOutsideTheSubject)
{
    const ScopedCoreCount cores(3);
    auto background = MakeRandomImage(7, 5, 21);
    auto layer = MakeRandomImage(7, 5, 22);
    LightSpillLayerCompositor stage(layer.get(), 0, 1.0, BlendModeNormal, DownsampleFull, tables);
    EXPECT_EQ(stage.BlurredLight(), nullptr);
    stage.Prepare(background.get());
    ASSERT_NE(stage.BlurredLight(), nullptr);
    const unsigned char* light = stage.BlurredLight()->Buffer();
    for (std::size_t i = 0; i < background->BufferByteSize(); i += 4) {
        EXPECT_TRUE(std::equal(light + i, light + i + 3, background->Buffer() + i)) << i;
        EXPECT_EQ(light[i + 3], 255 - layer->Buffer()[i + 3]) << i;
    }
}

// The stage blurs its light in place; it must equal the stack blur of that light into another
// image.
TEST_F(LightSpillTest, BlurredLightIsTheStackBlurOfTheOutsideLight)
{
    const ScopedCoreCount cores(2);
    auto background = MakeRandomImage(23, 17, 31);
    auto layer = MakeRandomImage(23, 17, 32);
    auto outside = CopyOf(*background);
    for (std::size_t i = 3; i < outside->BufferByteSize(); i += 4)
        outside->Buffer()[i] = static_cast<unsigned char>(255 - layer->Buffer()[i]);
    auto expected = std::make_shared<OVImage8>(23, 17, PixelOrderBGRA, true);
    StackBlurRenderer blur(4, true, true, ChannelsAll);
    blur.Prepare(outside.get());
    for (unsigned char i = 0; i < 2; ++i)
        blur.Render(outside.get(), expected.get(), i, 2);

    LightSpillLayerCompositor stage(layer.get(), 4, 1.0, BlendModeNormal, DownsampleFull, tables);
    stage.Prepare(background.get());
    ASSERT_NE(stage.BlurredLight(), nullptr);
    EXPECT_EQ(BytesOf(*stage.BlurredLight()), BytesOf(*expected));
    EXPECT_NE(BytesOf(*expected), BytesOf(*outside));
}

// Wide enough for whole 16-pixel blocks per worker, which the column pass blurs in place over
// its row-blurred copy, and ragged enough for the tails it leaves to the generic pass.
TEST_F(LightSpillTest, BlurredLightMatchesTheGenericBlurForEveryWorkerCount)
{
    for (const auto& [width, height] : { std::pair { 150u, 40u }, { 67u, 9u } }) {
        auto background = MakeRandomImage(width, height, width, 0.2);
        auto layer = MakeRandomImage(width, height, height, 0.5);
        auto outside = CopyOf(*background);
        for (std::size_t i = 3; i < outside->BufferByteSize(); i += 4)
            outside->Buffer()[i] = static_cast<unsigned char>(255 - layer->Buffer()[i]);
        for (const int radius : { 1, 4, 25 }) {
            StackBlurRenderer generic(radius, true, true, ChannelsAll, false);
            const auto expected = mtra::test::RunStage(generic, *outside, 1);
            for (const int workers : { 1, 2, 3 }) {
                const ScopedCoreCount cores(workers);
                LightSpillLayerCompositor stage(
                    layer.get(), radius, 1.0, BlendModeNormal, DownsampleFull, tables);
                stage.Prepare(background.get());
                ASSERT_NE(stage.BlurredLight(), nullptr);
                EXPECT_EQ(BytesOf(*stage.BlurredLight()), expected)
                    << width << " x " << height << ", radius " << radius << ", " << workers
                    << " workers";
            }
        }
    }
}

TEST_F(LightSpillTest, FacadeScalesTheRadiusByItsOwnFactor)
{
    const auto background = MakeRandomImage(40, 31, 1, 0.0);
    auto layer = MakeRandomImage(40, 31, 2, 0.5);
    const auto radius12 = SpillWithStage(*background, *layer, 12, 0.9, BlendModeScreen);
    // Radius 25 at half size blurs with 12, whatever factor the call itself passes.
    EXPECT_EQ(Spill(*background, *layer, 25, 0.9, BlendModeScreen, DownsampleHalf), radius12);
    EXPECT_NE(SpillWithStage(*background, *layer, 13, 0.9, BlendModeScreen), radius12);
    EXPECT_NE(SpillWithStage(*background, *layer, 11, 0.9, BlendModeScreen), radius12);
    // 25 × 0.33 = 8.25 → 8; 25 × 0.25 → 6.
    EXPECT_EQ(Spill(*background, *layer, 25, 0.9, BlendModeScreen, DownsampleThird),
        SpillWithStage(*background, *layer, 8, 0.9, BlendModeScreen));
    EXPECT_EQ(Spill(*background, *layer, 25, 0.9, BlendModeScreen, DownsampleQuarter),
        SpillWithStage(*background, *layer, 6, 0.9, BlendModeScreen));
}

class LightSpillModeTest : public LightSpillTest, public ::testing::WithParamInterface<int>
{
protected:
    OVBlendMode Mode() const { return static_cast<OVBlendMode>(GetParam()); }
};

// An opaque layer leaves no light outside the subject: the blurred light is transparent
// (e alpha 0) and the layer colour is composited unchanged, t = s, for every mode but replace.
TEST_P(LightSpillModeTest, TransparentLightCompositesTheLayerColour)
{
    const auto background = MakeRandomImage(9, 6, 5, 0.0);
    auto layer = MakeRandomImage(9, 6, 6, 0.3);
    for (std::size_t i = 3; i < layer->BufferByteSize(); i += 4)
        layer->Buffer()[i] = 255;
    const auto result = Spill(*background, *layer, 3, 0.75, Mode()); // w = 191
    for (std::size_t i = 0; i < result.size(); ++i) {
        const int cb = background->Buffer()[i];
        if (i % 4 == 3) {
            EXPECT_EQ(result[i], cb) << "alpha stays";
        } else if (Mode() != BlendModeReplace) {
            const int s = layer->Buffer()[i];
            EXPECT_EQ(result[i], cb + static_cast<int>(std::floor((s - cb) * 191 / 256.0))) << i;
        }
    }
}

TEST_P(LightSpillModeTest, TransparentLayerLeavesTheBackgroundUntouched)
{
    const auto background = MakeRandomImage(8, 8, 7, 0.0);
    auto layer = MakeFilledImage(8, 8, 200, 10, 90, 0);
    EXPECT_EQ(Spill(*background, *layer, 2, 1.0, Mode()), BytesOf(*background));
}

TEST_P(LightSpillModeTest, OutputIsIdenticalForEveryWorkerCount)
{
    const auto background = MakeRandomImage(33, 19, 8, 0.0);
    auto layer = MakeRandomImage(33, 19, 9, 0.5);
    std::vector<std::uint8_t> reference;
    for (const int workers : WorkerCountsToCheck()) {
        const ScopedCoreCount cores(workers);
        const auto result = Spill(*background, *layer, 4, 0.8, Mode());
        if (reference.empty())
            reference = result;
        else
            EXPECT_EQ(result, reference) << workers << " workers";
    }
    EXPECT_NE(reference, BytesOf(*background));
}

// The SSE2 loop (max and min standing in for lighten's and darken's tables, weights equal to
// the alpha at strength 1) against the plain loop, with random alphas in both images and sizes
// that leave a tail to the plain loop.
TEST_P(LightSpillModeTest, VectorLoopMatchesThePlainLoop)
{
    const ScopedCoreCount cores(3);
    for (const auto& [width, height] : { std::pair { 37u, 23u }, { 5u, 3u }, { 64u, 2u } }) {
        const auto background = MakeRandomImage(width, height, 40 + width, 0.2);
        auto layer = MakeRandomImage(width, height, 50 + height, 0.4);
        for (std::size_t i = 3; i < layer->BufferByteSize(); i += 4)
            layer->Buffer()[i] = static_cast<std::uint8_t>(i * 37 % 256);
        for (const double strength : { 1.0, 0.8, 1.7 }) {
            std::vector<std::vector<std::uint8_t>> results;
            for (const CpuFeatures& features : { CpuFeatures::None(), CpuFeatures::Detected() }) {
                auto result = CopyOf(*background);
                CompositorQueue queue(result.get(), 1.0, tables, DownsampleFull);
                ASSERT_EQ(queue.Append([&] {
                    return std::make_shared<LightSpillLayerCompositor>(
                        layer.get(), 3, strength, Mode(), DownsampleFull, tables, features);
                }),
                    0);
                ASSERT_EQ(queue.Render(), 0);
                results.push_back(BytesOf(*result));
            }
            EXPECT_EQ(results[1], results[0]) << width << " x " << height << ", " << strength;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllModes, LightSpillModeTest,
    ::testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, -3),
    [](const ::testing::TestParamInfo<int>& param) {
        return param.param < 0 ? "Minus" + std::to_string(-param.param)
                               : "Mode" + std::to_string(param.param);
    });

// The strength is not range-checked; the layer weight it gives is limited to 0 … 255, so a
// colour never overshoots its target and wraps around the byte.
TEST_F(LightSpillTest, StrengthOutsideZeroToOneNeverWrapsColours)
{
    const auto background = MakeImage(2, 1, { 0, 0, 0, 255, 255, 255, 255, 255 });
    auto layer = MakeImage(2, 1, { 255, 255, 255, 255, 0, 0, 0, 255 });
    // Opaque layer: transparent light, t = s. w = 255: 0 + (255 × 255 >> 8) = 254 and
    // 255 + (−255 × 255 >> 8) = 0. Unlimited, strength 4 would give w = 1020 and 1016 → 248.
    const std::vector<std::uint8_t> full { 254, 254, 254, 255, 0, 0, 0, 255 };
    EXPECT_EQ(Spill(*background, *layer, 1, 4.0, BlendModeNormal), full);
    EXPECT_EQ(Spill(*background, *layer, 1, 1e300, BlendModeNormal), full);
    for (const double none : { -1.0, 0.0, std::numeric_limits<double>::quiet_NaN() })
        EXPECT_EQ(Spill(*background, *layer, 1, none, BlendModeNormal), BytesOf(*background));
}

TEST_F(LightSpillTest, LayerMayBeTheBackgroundItself)
{
    // An opaque image over itself: no light outside, t = s = Cb, nothing moves.
    auto background = MakeRandomImage(6, 4, 10, 0.0);
    for (std::size_t i = 3; i < background->BufferByteSize(); i += 4)
        background->Buffer()[i] = 255;
    const auto before = BytesOf(*background);
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(
        compositor.AddLightSpillLayer(background, 5, 1.0, BlendModeNormal, DownsampleFull), 0);
    ASSERT_EQ(compositor.Render(), 0);
    EXPECT_EQ(BytesOf(*background), before);
}

TEST_F(LightSpillTest, AddLightSpillLayerChecksImagesThenRadius)
{
    auto background = MakeFilledImage(5, 4, 1, 2, 3, 255);
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    auto layer = MakeFilledImage(5, 4, 0, 0, 0, 128);
    EXPECT_EQ(compositor.AddLightSpillLayer(nullptr, 1, 1.0, BlendModeLighten, DownsampleFull),
        ResultInvalidArgument);
    EXPECT_EQ(compositor.AddLightSpillLayer(
                  MakeFilledImage(4, 5, 0, 0, 0, 0), 1, 1.0, BlendModeLighten, DownsampleFull),
        ResultImageMismatch);
    EXPECT_EQ(compositor.AddLightSpillLayer(std::make_shared<OVImage8>(5, 4, PixelOrderARGB, true),
                  -1, 1.0, BlendModeLighten, DownsampleFull),
        ResultImageMismatch);
    EXPECT_EQ(compositor.AddLightSpillLayer(layer, -1, 1.0, BlendModeLighten, DownsampleFull),
        ResultOutOfRange);
    EXPECT_EQ(compositor.AddLightSpillLayer(layer, INT_MIN, 1.0, BlendModeLighten, DownsampleFull),
        ResultOutOfRange);
    EXPECT_EQ(compositor.RenderQueueCount(), 0);

    // Any strength, mode and factor argument; radius 0 and the largest int.
    EXPECT_EQ(compositor.AddLightSpillLayer(layer, 0, -5.0, static_cast<OVBlendMode>(77),
                  static_cast<OVDownsampleFactor>(-9)),
        0);
    EXPECT_EQ(compositor.AddLightSpillLayer(layer.get(), INT_MAX,
                  std::numeric_limits<double>::quiet_NaN(), BlendModeSoftLight, DownsampleFull),
        0);
    EXPECT_EQ(
        compositor.AddLightSpillLayer(layer, INT_MAX, 1.0, BlendModeScreen, DownsampleFull), 0);
    EXPECT_EQ(compositor.RenderQueueCount(), 3);
    EXPECT_EQ(compositor.Render(), 0);
}

int FailEveryCreate(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)
{
    return EAGAIN;
}

TEST_F(LightSpillTest, BlurThreadFailureReturns2AndLeavesTheBackground)
{
    auto background = MakeRandomImage(6, 6, 3, 0.0);
    const auto before = BytesOf(*background);
    auto layer = MakeRandomImage(6, 6, 4);
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(compositor.AddLightSpillLayer(layer, 2, 1.0, BlendModeLighten, DownsampleFull), 0);
    const auto previous = SetThreadCreateFunctionForTesting(FailEveryCreate);
    const int result = compositor.Render();
    SetThreadCreateFunctionForTesting(previous);
    EXPECT_EQ(result, ResultRuntimeError);
    EXPECT_EQ(BytesOf(*background), before);
}

} // namespace
