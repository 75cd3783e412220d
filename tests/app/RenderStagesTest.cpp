// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "RenderStages.h"

#include <ovcommon/OVLookupTables.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace mtra::app;
using orv::image::OVImage8;

namespace {

std::shared_ptr<OVImage8> Filled(unsigned int width, unsigned int height, unsigned char b,
    unsigned char g, unsigned char r, unsigned char a)
{
    auto image = std::make_shared<OVImage8>(width, height, orv::image::PixelOrderBGRA, false);
    for (unsigned int i = 0; i < image->BufferByteSize(); i += 4) {
        const unsigned char pixel[4] = { b, g, r, a };
        std::memcpy(image->Buffer() + i, pixel, 4);
    }
    return image;
}

unsigned char AlphaAt(const OVImage8& image, unsigned int x, unsigned int y)
{
    return image.ScanLine(y)[x * 4 + 3];
}

std::shared_ptr<TransformationTransformItem> Transformation(
    double tx, double ty, double sx, double sy, double rotation)
{
    return std::make_shared<TransformationTransformItem>(tx, ty, sx, sy, rotation);
}

} // namespace

TEST(RenderStagesTest, SpillFollowsTheScreenColourKeyed)
{
    KeyList keys;
    const auto blueScreen = Filled(8, 8, 230, 40, 20, 255);
    EXPECT_EQ(SpillChannelForKeys(keys, blueScreen), orv::image::ChannelGreen);

    auto colourKey = std::make_shared<AutoColorDifferenceKeyItem>();
    keys.Add(colourKey);
    colourKey->SetKeyColor(orv::image::KeyColorBlue);
    EXPECT_EQ(SpillChannelForKeys(keys, blueScreen), orv::image::ChannelBlue);
    colourKey->SetKeyColor(orv::image::KeyColorGreen);
    EXPECT_EQ(SpillChannelForKeys(keys, blueScreen), orv::image::ChannelGreen);
    // Automatic: the colour detected in the picture being keyed.
    colourKey->SetKeyColor(orv::image::KeyColorAuto);
    EXPECT_EQ(SpillChannelForKeys(keys, blueScreen), orv::image::ChannelBlue);
    EXPECT_EQ(SpillChannelForKeys(keys, Filled(8, 8, 20, 230, 40, 255)), orv::image::ChannelGreen);
    // A disabled key does not key, so it says nothing about the screen.
    colourKey->SetEnabled(false);
    EXPECT_EQ(SpillChannelForKeys(keys, blueScreen), orv::image::ChannelGreen);
}

TEST(RenderStagesTest, StagesReportWhatTheyCannotDo)
{
    orv::OVLookupTables tables(true);
    const auto source = Filled(4, 4, 1, 2, 3, 255);
    const auto destination = Filled(4, 4, 0, 0, 0, 0);
    KeyList keys;
    FilterList filters;
    EXPECT_EQ(KeyStage(keys, tables, source, destination), MT_NOTHING_TO_KEY);
    EXPECT_EQ(FilterStage(filters, tables, orv::image::DownsampleFull, source, destination),
        MT_NOTHING_TO_FILTER);
    EXPECT_EQ(KeyStage(keys, tables, nullptr, destination), MT_NO_SOURCE_IMAGE);
    const auto empty = std::make_shared<OVImage8>(0, 0, orv::image::PixelOrderBGRA, false);
    EXPECT_EQ(FilterStage(filters, tables, orv::image::DownsampleFull, empty, destination),
        MT_NO_SOURCE_IMAGE);

    // A neutral filter is not handed over, so there is still nothing to filter.
    filters.Add(std::make_shared<BrightnessFilterItem>());
    EXPECT_EQ(FilterStage(filters, tables, orv::image::DownsampleQuarter, source, destination),
        MT_NOTHING_TO_FILTER);
    // A key list whose only item is disabled has nothing to apply.
    auto key = std::make_shared<AutoColorDifferenceKeyItem>();
    key->SetEnabled(false);
    keys.Add(key);
    EXPECT_EQ(KeyStage(keys, tables, source, destination), MT_NOTHING_TO_KEY);
    key->SetEnabled(true);
    EXPECT_EQ(KeyStage(keys, tables, source, destination), MT_OK);
}

TEST(RenderStagesTest, IdentityItemsLeaveTheTransformUnchanged)
{
    TransformList transforms;
    const QTransform placement = QTransform::fromTranslate(50, 40);
    const QTransform plain = LayerTransform(placement, transforms, 20, 10, 100, 80, 1.0f);
    EXPECT_EQ(plain, QTransform::fromTranslate(40, 35));

    transforms.Add(Transformation(0, 0, 1, 1, 0));
    transforms.Add(Transformation(0, 0, 1 + 1e-15, 1, 0)); // equal to 1 by Qt's fuzzy test
    auto inactive = Transformation(0.5, 0, 2, 2, 30);
    inactive->SetActive(false);
    transforms.Add(inactive);
    transforms.Add(std::make_shared<FitTransformItem>());
    EXPECT_EQ(LayerTransform(placement, transforms, 20, 10, 100, 80, 1.0f), plain);
}

TEST(RenderStagesTest, NegativeScaleMirrorsInPlace)
{
    // A 4 × 2 layer, opaque in its left half only, centred on a 4 × 2 export canvas.
    auto layer = Filled(4, 2, 0, 0, 0, 0);
    for (unsigned int y = 0; y < 2; ++y)
        for (unsigned int x = 0; x < 2; ++x)
            layer->ScanLine(y)[x * 4 + 3] = 255;
    TransformList transforms;
    transforms.Add(Transformation(0, 0, -1, 1, 0));
    auto canvas = Filled(4, 2, 0, 0, 0, 0);
    const QTransform transform
        = LayerTransform(QTransform::fromTranslate(2, 1), transforms, 4, 2, 4, 2, 1.0f);
    ASSERT_EQ(DrawTransformed(layer, canvas, transform, true), MT_OK);
    for (unsigned int y = 0; y < 2; ++y) {
        EXPECT_EQ(AlphaAt(*canvas, 0, y), 0);
        EXPECT_EQ(AlphaAt(*canvas, 1, y), 0);
        EXPECT_EQ(AlphaAt(*canvas, 2, y), 255);
        EXPECT_EQ(AlphaAt(*canvas, 3, y), 255);
    }
}

TEST(RenderStagesTest, TranslateOnePlacesTheLayerJustOutsideTheRightEdge)
{
    const auto layer = Filled(10, 10, 9, 9, 9, 255);
    auto draw = [&](double translateX, float scale, QTransform placement) {
        TransformList transforms;
        transforms.Add(Transformation(translateX, 0, 1, 1, 0));
        auto canvas = Filled(40, 20, 0, 0, 0, 0);
        EXPECT_EQ(DrawTransformed(layer, canvas,
                      LayerTransform(placement, transforms, 10, 10, 40, 20, scale), false),
            MT_OK);
        unsigned int covered = 0;
        for (unsigned int y = 0; y < 20; ++y)
            for (unsigned int x = 0; x < 40; ++x)
                covered += AlphaAt(*canvas, x, y) != 0;
        return covered;
    };
    // Export: the placement is the canvas centre. Unit = 10 × 0.5 + 40 × 0.5 = 25, so the
    // layer's left edge lands on x = 20 + 25 − 5 = 40, the first column past the canvas.
    const QTransform exportCentre = QTransform::fromTranslate(20, 10);
    EXPECT_EQ(draw(1.0, 1.0f, exportCentre), 0u);
    EXPECT_EQ(draw(0.96, 1.0f, exportCentre), 10u); // one column (x = 39) still inside
    EXPECT_EQ(draw(0.0, 1.0f, exportCentre), 100u);
}

// An opaque layer the destination's size at the identity is copied instead of drawn: the copy
// must be exactly what drawing over opaque black gives, and anything else must be refused.
TEST(RenderStagesTest, APlacementAsIsCopiesExactlyWhatDrawingGives)
{
    auto source = std::make_shared<OVImage8>(37, 21, orv::image::PixelOrderBGRA, false);
    unsigned state = 5u;
    for (unsigned int i = 0; i < source->BufferByteSize(); ++i) {
        state = state * 1664525u + 1013904223u;
        source->Buffer()[i] = (i % 4 == 3) ? 255 : static_cast<unsigned char>(state >> 24);
    }
    const auto drawn = Filled(37, 21, 0, 0, 0, 255);
    ASSERT_EQ(DrawTransformed(source, drawn, QTransform(), true), MT_OK);
    const auto copied = Filled(37, 21, 1, 2, 3, 4);
    ASSERT_TRUE(CopyWhenPlacedAsIs(source, copied, QTransform()));
    EXPECT_EQ(std::memcmp(copied->Buffer(), drawn->Buffer(), drawn->BufferByteSize()), 0);

    EXPECT_FALSE(CopyWhenPlacedAsIs(source, copied, QTransform::fromTranslate(1, 0)));
    EXPECT_FALSE(CopyWhenPlacedAsIs(source, copied, QTransform::fromScale(-1, 1)));
    EXPECT_FALSE(CopyWhenPlacedAsIs(source, Filled(36, 21, 0, 0, 0, 255), QTransform()));
    EXPECT_FALSE(CopyWhenPlacedAsIs(source, nullptr, QTransform()));
    source->Buffer()[20 * 37 * 4 + 36 * 4 + 3] = 254; // the last pixel
    EXPECT_FALSE(CopyWhenPlacedAsIs(source, copied, QTransform()));
}

// A keyed photo the canvas's size is placed where it lies: the result must be what the painter
// draws of it onto transparency, byte for byte, for every value under every alpha.
TEST(RenderStagesTest, PlacingInPlaceGivesWhatThePainterDraws)
{
    // Row = alpha, column = value; the three colour channels take the value in turn.
    auto layer = std::make_shared<OVImage8>(256, 256 * 3, orv::image::PixelOrderBGRA, false);
    for (unsigned int y = 0; y < layer->Height(); ++y) {
        unsigned char* row = layer->ScanLine(y);
        for (unsigned int x = 0; x < 256; ++x) {
            unsigned char* pixel = row + x * 4;
            pixel[0] = pixel[1] = pixel[2] = static_cast<unsigned char>(255 - x);
            pixel[y / 256] = static_cast<unsigned char>(x);
            pixel[3] = static_cast<unsigned char>(y % 256);
        }
    }
    const auto drawn = Filled(256, 256 * 3, 0, 0, 0, 0);
    ASSERT_EQ(DrawTransformed(layer, drawn, QTransform(), true), MT_OK);
    ASSERT_TRUE(PlaceAsIsInPlace(layer, 256, 256 * 3, QTransform()));
    for (unsigned int y = 0; y < layer->Height(); ++y)
        ASSERT_EQ(std::memcmp(layer->ScanLine(y), drawn->ScanLine(y), 256 * 4), 0) << "row " << y;

    // An opaque layer stays as it is.
    auto opaque = Filled(70, 40, 12, 200, 77, 255);
    opaque->ScanLine(39)[69 * 4] = 3;
    const auto opaqueDrawn = Filled(70, 40, 0, 0, 0, 0);
    ASSERT_EQ(DrawTransformed(opaque, opaqueDrawn, QTransform(), true), MT_OK);
    ASSERT_TRUE(PlaceAsIsInPlace(opaque, 70, 40, QTransform()));
    EXPECT_EQ(std::memcmp(opaque->Buffer(), opaqueDrawn->Buffer(), opaque->BufferByteSize()), 0);

    const auto untouched = Filled(4, 4, 9, 9, 9, 100);
    EXPECT_FALSE(PlaceAsIsInPlace(untouched, 4, 5, QTransform()));
    EXPECT_FALSE(PlaceAsIsInPlace(untouched, 4, 4, QTransform::fromTranslate(0, 1)));
    EXPECT_EQ(untouched->Buffer()[0], 9);
}
