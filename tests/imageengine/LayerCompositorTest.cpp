// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "compositor/BlendModes.h"
#include "compositor/CompositeColours.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "EngineTestSupport.h"

using namespace orv::image;
using mtra::test::BytesOf;
using mtra::test::MakeFilledImage;
using mtra::test::MakeImage;
using mtra::test::MakeRandomImage;
using mtra::test::ScopedCoreCount;
using mtra::test::WorkerCountsToCheck;

namespace {

// The separable blend modes as published in W3C Compositing and Blending Level 1 (with the
// usual linear dodge for add), in unit values: cs = top (the layer), cb = base (the backdrop).
double Published(int mode, double cs, double cb)
{
    const auto multiply = [](double b, double s) { return b * s; };
    const auto screen = [](double b, double s) { return b + s - b * s; };
    const auto hardLight
        = [&](double b, double s) { return s <= 0.5 ? multiply(b, 2 * s) : screen(b, 2 * s - 1); };
    switch (mode) {
    case BlendModeAdd:
        return std::min(1.0, cb + cs);
    case BlendModeColorBurn:
        return cb == 1 ? 1 : cs == 0 ? 0 : 1 - std::min(1.0, (1 - cb) / cs);
    case BlendModeColorDodge:
        return cb == 0 ? 0 : cs == 1 ? 1 : std::min(1.0, cb / (1 - cs));
    case BlendModeDarken:
        return std::min(cb, cs);
    case BlendModeDifference:
        return std::fabs(cb - cs);
    case BlendModeExclusion:
        return cb + cs - 2 * cb * cs;
    case BlendModeHardLight:
        return hardLight(cb, cs);
    case BlendModeLighten:
        return std::max(cb, cs);
    case BlendModeMultiply:
        return multiply(cb, cs);
    case BlendModeOverlay:
        return hardLight(cs, cb);
    case BlendModeScreen:
        return screen(cb, cs);
    case BlendModeSoftLight: {
        if (cs <= 0.5)
            return cb - (1 - 2 * cs) * cb * (1 - cb);
        const double d = cb <= 0.25 ? ((16 * cb - 12) * cb + 4) * cb : std::sqrt(cb);
        return cb + (2 * cs - 1) * (d - cb);
    }
    default: // normal, replace and every other value
        return cs;
    }
}

int PublishedByte(int mode, int top, int base)
{
    return static_cast<int>(std::lround(Published(mode, top / 255.0, base / 255.0) * 255.0));
}

// Every enumerator and a few values outside them.
std::vector<int> ModesToCheck()
{
    std::vector<int> modes;
    for (int mode = BlendModeAdd; mode <= BlendModeReplace; ++mode)
        modes.push_back(mode);
    for (const int other : { 14, 200, -1 })
        modes.push_back(other);
    return modes;
}

std::string ModeName(const ::testing::TestParamInfo<int>& info)
{
    static const char* const kNames[]
        = { "Add", "ColorBurn", "ColorDodge", "Darken", "Difference", "Exclusion", "HardLight",
              "Lighten", "Multiply", "Normal", "Overlay", "Screen", "SoftLight", "Replace" };
    if (info.param >= 0 && info.param <= BlendModeReplace)
        return kNames[info.param];
    return info.param < 0 ? "Minus" + std::to_string(-info.param)
                          : "Value" + std::to_string(info.param);
}

const std::pair<int, int> kSamplePairs[] = { { 0, 0 }, { 255, 255 }, { 64, 200 }, { 200, 64 },
    { 128, 128 }, { 30, 250 }, { 250, 30 }, { 0, 255 }, { 255, 0 } };

// An image of one pixel per sample pair: colour bytes top (or base) with the given alpha.
std::shared_ptr<OVImage8> SampleImage(bool top, unsigned char alpha)
{
    auto image = std::make_shared<OVImage8>(
        static_cast<unsigned>(std::size(kSamplePairs)), 1, PixelOrderBGRA, true);
    unsigned char* p = image->Buffer();
    for (const auto& [t, b] : kSamplePairs) {
        const auto value = static_cast<unsigned char>(top ? t : b);
        p[0] = p[1] = p[2] = value;
        p[3] = alpha;
        p += 4;
    }
    return image;
}

class BlendModeTest : public ::testing::TestWithParam<int>
{
protected:
    orv::OVLookupTables tables { true };
    OVBlendMode Mode() const { return static_cast<OVBlendMode>(GetParam()); }
};

TEST_P(BlendModeTest, MixFollowsThePublishedDefinition)
{
    const BlendTable table(tables, Mode());
    for (const auto& [top, base] : kSamplePairs) {
        const int expected = PublishedByte(GetParam(), top, base);
        const auto t = static_cast<unsigned char>(top);
        const auto b = static_cast<unsigned char>(base);
        EXPECT_EQ(BlendColor(tables, Mode(), t, b), expected) << top << " over " << base;
        EXPECT_EQ(table(t, b), expected) << top << " over " << base;
    }
}

// An opaque layer over an opaque background gives a = 255 and k = 0: the composite is the
// mode's mix itself, exactly, for every mode.
TEST_P(BlendModeTest, OpaqueLayerOverOpaqueBackgroundGivesTheMix)
{
    auto background = SampleImage(false, 255);
    auto layer = SampleImage(true, 255);
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(compositor.AddLayer(layer, 1.0, Mode(), true), 0);
    ASSERT_EQ(compositor.Render(), 0);
    const unsigned char* p = background->Buffer();
    for (const auto& [top, base] : kSamplePairs) {
        EXPECT_EQ(p[0], PublishedByte(GetParam(), top, base)) << top << " over " << base;
        EXPECT_EQ(p[2], p[0]);
        EXPECT_EQ(p[3], 255);
        p += 4;
    }
}

// Without alpha compositing each colour moves towards the mix by w ÷ 256 and alpha stays;
// replace copies the layer colour whatever its weight.
TEST_P(BlendModeTest, WithoutAlphaCompositingColourMovesTowardsTheMix)
{
    auto background = SampleImage(false, 90);
    auto layer = SampleImage(true, 200);
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(compositor.AddLayer(layer, 0.5, Mode(), false), 0); // w = 100
    ASSERT_EQ(compositor.Render(), 0);
    const unsigned char* p = background->Buffer();
    for (const auto& [top, base] : kSamplePairs) {
        const int mix = PublishedByte(GetParam(), top, base);
        const int expected = Mode() == BlendModeReplace
            ? top
            : base + static_cast<int>(std::floor((mix - base) * 100 / 256.0));
        EXPECT_EQ(p[1], expected) << top << " over " << base;
        EXPECT_EQ(p[3], 90);
        p += 4;
    }
}

// A fully transparent layer pixel changes nothing, colour included: over a transparent
// background (a = 0) and over partly transparent ones, where the float rounding of the
// compositing formula would otherwise lower some colours by one (Ab = 41, C = 1 gives
// 0.99999994).
TEST_P(BlendModeTest, TransparentLayerPixelLeavesTheBackgroundUntouched)
{
    auto background = MakeImage(3, 1, { 10, 20, 30, 0, 1, 2, 4, 41, 200, 100, 7, 254 });
    const auto before = BytesOf(*background);
    auto layer = MakeImage(3, 1, { 200, 100, 50, 0, 90, 80, 70, 0, 0, 0, 0, 255 });
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(compositor.AddLayer(layer, 1.0, Mode(), true), 0);
    // Opacity 0 weighs even an opaque layer pixel to nothing.
    ASSERT_EQ(compositor.AddLayer(layer, 0.0, Mode(), true), 0);
    // (Replace without alpha compositing copies colours unweighted: not for it.)
    if (Mode() != BlendModeReplace) {
        ASSERT_EQ(compositor.AddLayer(layer, 0.0, Mode(), false), 0);
    }
    ASSERT_EQ(compositor.Render(), 0);
    const auto after = BytesOf(*background);
    // Only the third pixel, opaque in the first layer, may change.
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 8, after.begin()));
}

TEST_P(BlendModeTest, OutputIsIdenticalForEveryWorkerCount)
{
    const auto layer = MakeRandomImage(37, 23, 11, 0.3);
    const auto original = MakeRandomImage(37, 23, 12, 0.0);
    for (const bool alphaCompositing : { true, false }) {
        std::vector<std::uint8_t> reference;
        for (const int workers : WorkerCountsToCheck()) {
            const ScopedCoreCount cores(workers);
            auto background = std::make_shared<OVImage8>(37, 23, PixelOrderBGRA, false);
            std::copy_n(original->Buffer(), original->BufferByteSize(), background->Buffer());
            OVImageCompositor compositor(background, 0.8, tables, DownsampleFull);
            ASSERT_EQ(compositor.AddLayer(layer, 0.7, Mode(), alphaCompositing), 0);
            ASSERT_EQ(compositor.Render(), 0);
            if (reference.empty())
                reference = BytesOf(*background);
            else
                EXPECT_EQ(BytesOf(*background), reference) << workers << " workers";
        }
        EXPECT_NE(reference, BytesOf(*original));
    }
}

INSTANTIATE_TEST_SUITE_P(AllModes, BlendModeTest, ::testing::ValuesIn(ModesToCheck()), ModeName);

struct CompositorTest : ::testing::Test {
    orv::OVLookupTables tables { true };
};

// Ab = 128, w = 128: a = 128 + 128 × 127 ÷ 255 = 192 (rounded), k = 128 ÷ 255 × 127 = 63.75;
// C = (Cb × k + w × mix) ÷ a, truncated.
TEST_F(CompositorTest, PartialCoverageFollowsTheCompositingFormula)
{
    auto background = MakeImage(1, 1, { 100, 150, 200, 128 });
    auto layer = MakeImage(1, 1, { 200, 50, 0, 128 });
    OVImageCompositor normal(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(normal.AddLayer(layer, 1.0, BlendModeNormal, true), 0);
    ASSERT_EQ(normal.Render(), 0);
    EXPECT_EQ(BytesOf(*background), (std::vector<std::uint8_t> { 166, 83, 66, 192 }));

    // Multiply mixes with the background premultiplied by its alpha: blue 100 × 128 ÷ 255 = 50,
    // mix = 200 × 50 ÷ 255 = 39, C = (100 × 63.75 + 128 × 39) ÷ 192 = 59.2.
    background = MakeImage(1, 1, { 100, 150, 200, 128 });
    OVImageCompositor multiply(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(multiply.AddLayer(layer, 1.0, BlendModeMultiply, true), 0);
    ASSERT_EQ(multiply.Render(), 0);
    EXPECT_EQ(background->Buffer()[0], 59);
    EXPECT_EQ(background->Buffer()[3], 192);
}

TEST_F(CompositorTest, OpacityWeighsTheLayerAlpha)
{
    // Layer alpha 255 at opacity 0.5: w = 127 over an opaque background, a = 255.
    auto background = MakeImage(1, 1, { 0, 0, 0, 255 });
    auto layer = MakeImage(1, 1, { 255, 255, 255, 255 });
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(compositor.AddLayer(layer, 0.5, BlendModeNormal, true), 0);
    ASSERT_EQ(compositor.Render(), 0);
    EXPECT_EQ(BytesOf(*background), (std::vector<std::uint8_t> { 127, 127, 127, 255 }));
}

TEST_F(CompositorTest, LayersAreBlendedInTheOrderAdded)
{
    auto background = MakeFilledImage(4, 2, 0, 0, 0, 0);
    auto red = MakeFilledImage(4, 2, 0, 0, 255, 255);
    auto blue = MakeFilledImage(4, 2, 255, 0, 0, 255);
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(compositor.AddLayer(red, 1.0, BlendModeNormal, true), 0);
    ASSERT_EQ(compositor.AddLayer(blue.get(), 1.0, BlendModeNormal, true), 0);
    EXPECT_EQ(compositor.RenderQueueCount(), 2);
    ASSERT_EQ(compositor.Render(), 0);
    EXPECT_EQ(BytesOf(*background), BytesOf(*blue));
}

TEST_F(CompositorTest, LayerMayBeTheBackgroundItself)
{
    auto background = MakeRandomImage(9, 5, 4);
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    ASSERT_EQ(compositor.AddLayer(background, 1.0, BlendModeLighten, false), 0);
    const auto before = BytesOf(*background);
    ASSERT_EQ(compositor.Render(), 0);
    // Lighten of a colour with itself is that colour: nothing moves.
    EXPECT_EQ(BytesOf(*background), before);
}

TEST_F(CompositorTest, HalfOpacityHalvesTheBackgroundAlphaOnConstruction)
{
    auto background = MakeImage(3, 1, { 10, 20, 30, 255, 40, 50, 60, 200, 1, 2, 3, 0 });
    OVImageCompositor compositor(background, 0.5, tables, DownsampleFull);
    // Before any layer or render: integer part of alpha × 0.5, colours unchanged.
    EXPECT_EQ(BytesOf(*background),
        (std::vector<std::uint8_t> { 10, 20, 30, 127, 40, 50, 60, 100, 1, 2, 3, 0 }));

    auto raw = MakeFilledImage(2, 2, 1, 2, 3, 255);
    OVImageCompositor fromPointer(raw.get(), 0.25, tables, DownsampleQuarter);
    EXPECT_EQ(raw->Buffer()[3], 63);
    EXPECT_EQ(fromPointer.BackgroundLayer(), raw.get());
}

TEST_F(CompositorTest, FadeAppliesOnlyBelowOneAndNeverLeavesTheByteRange)
{
    const struct {
        double opacity;
        std::uint8_t expected;
    } cases[] = { { 1.0, 200 }, { 1.5, 200 }, { -0.5, 0 }, { 0.0, 0 },
        { std::numeric_limits<double>::quiet_NaN(), 200 },
        { -std::numeric_limits<double>::infinity(), 0 } };
    for (const auto& c : cases) {
        auto background = MakeFilledImage(2, 1, 9, 8, 7, 200);
        OVImageCompositor compositor(background, c.opacity, tables, DownsampleFull);
        EXPECT_EQ(BytesOf(*background),
            (std::vector<std::uint8_t> { 9, 8, 7, c.expected, 9, 8, 7, c.expected }))
            << c.opacity;
    }
    // Only BGRA backgrounds are faded.
    auto argb = std::make_shared<OVImage8>(1, 1, PixelOrderARGB, false);
    std::fill_n(argb->Buffer(), 4, 200);
    OVImageCompositor compositor(argb, 0.5, tables, DownsampleFull);
    EXPECT_EQ(BytesOf(*argb), (std::vector<std::uint8_t>(4, 200)));
}

TEST_F(CompositorTest, AddLayerChecksImagesThenOpacity)
{
    auto background = MakeFilledImage(4, 3, 0, 0, 0, 255);
    OVImageCompositor compositor(background, 1.0, tables, DownsampleFull);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(compositor.AddLayer(nullptr, 1.0, BlendModeNormal, true), ResultInvalidArgument);
    EXPECT_EQ(compositor.AddLayer(std::shared_ptr<OVAbstractImage>(), 1.0, BlendModeNormal, true),
        ResultInvalidArgument);
    EXPECT_EQ(compositor.AddLayer(MakeFilledImage(3, 4, 0, 0, 0, 0), 1.0, BlendModeNormal, true),
        ResultImageMismatch);
    EXPECT_EQ(compositor.AddLayer(MakeFilledImage(4, 2, 0, 0, 0, 0), 1.0, BlendModeNormal, true),
        ResultImageMismatch);
    EXPECT_EQ(compositor.AddLayer(std::make_shared<OVImage8>(4, 3, PixelOrderARGB, true), 1.0,
                  BlendModeNormal, true),
        ResultImageMismatch);
    // The image check comes first.
    EXPECT_EQ(compositor.AddLayer(MakeFilledImage(1, 1, 0, 0, 0, 0), 2.0, BlendModeNormal, true),
        ResultImageMismatch);
    auto layer = MakeFilledImage(4, 3, 0, 0, 0, 0);
    for (const double opacity : { -0.001, 1.001, nan })
        EXPECT_EQ(compositor.AddLayer(layer, opacity, BlendModeNormal, true), ResultOutOfRange);
    EXPECT_EQ(compositor.RenderQueueCount(), 0);

    EXPECT_EQ(compositor.AddLayer(layer, 0.0, static_cast<OVBlendMode>(99), false), 0);
    EXPECT_EQ(compositor.AddLayer(layer.get(), 1.0, BlendModeAdd, true), 0);
    EXPECT_EQ(compositor.RenderQueueCount(), 2);
    EXPECT_EQ(compositor.ClearRenderQueue(), 0);
    EXPECT_EQ(compositor.RenderQueueCount(), 0);
}

TEST_F(CompositorTest, NullBackgroundRefusesLayersAndRendersNothing)
{
    OVImageCompositor compositor(nullptr, 0.5, tables, DownsampleFull);
    EXPECT_EQ(compositor.BackgroundLayer(), nullptr);
    EXPECT_EQ(compositor.AddLayer(MakeFilledImage(1, 1, 0, 0, 0, 0), 1.0, BlendModeNormal, true),
        ResultInvalidArgument);
    EXPECT_EQ(compositor.Render(), 0);
}

// An image that claims another depth: the compositor must neither fade nor blend it.
class OtherDepthImage : public OVImage8
{
public:
    using OVImage8::OVImage8;
    OVBitsPerChannel BitsPerChannel() const override { return static_cast<OVBitsPerChannel>(1); }
};

TEST_F(CompositorTest, ImagesOfAnotherDepthAreLeftAlone)
{
    auto background = std::make_shared<OtherDepthImage>(3, 2, PixelOrderBGRA, true);
    auto layer = std::make_shared<OtherDepthImage>(3, 2, PixelOrderBGRA, false);
    std::fill_n(layer->Buffer(), layer->BufferByteSize(), 255);
    OVImageCompositor compositor(background, 0.5, tables, DownsampleFull);
    ASSERT_EQ(compositor.AddLayer(layer, 1.0, BlendModeNormal, true), 0);
    ASSERT_EQ(compositor.AddLayer(layer, 1.0, BlendModeReplace, false), 0);
    EXPECT_EQ(compositor.Render(), 0);
    EXPECT_EQ(BytesOf(*background), std::vector<std::uint8_t>(24, 0));
}

#if defined(__SSE2__)
// The vector form must give the bytes of the scalar one for every input the compositor can
// produce, including sums that pass 255 and must clamp.
TEST(CompositeColoursTest, VectorFormMatchesScalarForm)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 200000; ++n) {
        const int ba = byte(random);
        const int w = 1 + byte(random) % 255;
        const int a = std::min(255, w + (ba * (255 - w) + 127) / 255 + n % 3);
        const float k = (static_cast<float>(ba) / 255.0f) * static_cast<float>(255 - w);
        const float inv = 1.0f / static_cast<float>(a);
        unsigned char mix[4];
        unsigned char scalar[4];
        for (int c = 0; c < 4; ++c) {
            mix[c] = static_cast<unsigned char>(byte(random));
            scalar[c] = static_cast<unsigned char>(byte(random));
        }
        unsigned char vector[4];
        std::memcpy(vector, scalar, 4);
        CompositeColoursScalar(scalar, mix, static_cast<float>(w), k, inv);
        CompositeColoursSse2(vector, mix, static_cast<float>(w), k, inv);
        ASSERT_TRUE(std::equal(scalar, scalar + 3, vector)) << "ba " << ba << " w " << w;
    }
}
#endif

} // namespace
