// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/Project.h>
#include <app/RenderEngine.h>

#include "RenderEngineAccess.h"

#include <app/KeyItems.h>
#include <app/LayerImages.h>
#include <app/TransformItems.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace mtra::app {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;
using orv::image::OVDownsampleFactor;

namespace {

class RenderEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MTerr result = MT_XML_INVALID;
        project = std::make_shared<Project>(result);
        ASSERT_EQ(result, MT_OK);
        engine = NewEngine(QRect(0, 0, 64, 48));
    }

    std::unique_ptr<RenderEngine> NewEngine(const QRect& window, MTerr expected = MT_OK)
    {
        MTerr error = MT_XML_INVALID;
        auto created = std::make_unique<RenderEngine>(
            project, orv::image::Bits8, orv::image::PixelOrderBGRA, window, error);
        EXPECT_EQ(error, expected);
        return created;
    }

    QString Picture(const char* name, int width, int height, QRgb colour)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path));
        return path;
    }

    QTemporaryDir dir;
    std::shared_ptr<Project> project;
    std::unique_ptr<RenderEngine> engine;
};

TEST_F(RenderEngineTest, LayersAreSetBySuccessfulLoadsOnly)
{
    for (LayerID layer : { BackgroundLayer, ForegroundLayer, OverlayLayer })
        EXPECT_FALSE(engine->IsLayerSet(layer));
    EXPECT_FALSE(engine->IsLayerSet(static_cast<LayerID>(3)));
    EXPECT_EQ(engine->WindowCacheRect(), QRect(0, 0, 64, 48));

    const QString green = Picture("green.png", 40, 30, qRgb(20, 220, 30));
    for (LayerID layer : { BackgroundLayer, ForegroundLayer, OverlayLayer }) {
        EXPECT_EQ(engine->SetLayer(layer, green), MT_OK);
        EXPECT_TRUE(engine->IsLayerSet(layer));
    }
    EXPECT_EQ(engine->SetLayer(static_cast<LayerID>(3), green), MT_INVALID_LAYER);

    // A failed load keeps the flag as it was, whichever that is.
    EXPECT_EQ(engine->SetLayer(BackgroundLayer, dir.filePath(QStringLiteral("none.png"))),
        MT_CACHE_NOT_CREATED);
    EXPECT_TRUE(engine->IsLayerSet(BackgroundLayer));
    ASSERT_EQ(engine->RemoveLayer(BackgroundLayer), MT_OK);
    EXPECT_EQ(engine->SetLayer(BackgroundLayer, dir.filePath(QStringLiteral("none.png"))),
        MT_CACHE_NOT_CREATED);
    EXPECT_FALSE(engine->IsLayerSet(BackgroundLayer));
    EXPECT_EQ(engine->RemoveLayer(static_cast<LayerID>(7)), MT_INVALID_LAYER);
}

TEST_F(RenderEngineTest, FailedLoadLeavesTheLayerAsItWas)
{
    RenderEngineAccess access(*engine);
    ASSERT_EQ(
        engine->SetLayer(ForegroundLayer, Picture("big.png", 40, 32, qRgb(0, 0, 250))), MT_OK);
    ASSERT_EQ(project->KeyColor(), orv::image::KeyColorBlue);
    access.MarkAllValid();
    const auto image = access.ForegroundImage().full;
    const auto key = access.ForegroundKey().quarter;

    QFile broken(dir.filePath(QStringLiteral("broken.jpg")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xff\xd8\xff truncated");
    broken.close();
    EXPECT_EQ(engine->SetLayer(ForegroundLayer, broken.fileName()), MT_CACHE_NOT_CREATED);

    EXPECT_TRUE(engine->IsLayerSet(ForegroundLayer));
    EXPECT_EQ(access.ForegroundImage().full, image);
    EXPECT_EQ(access.ForegroundKey().quarter, key);
    EXPECT_EQ(project->KeyColor(), orv::image::KeyColorBlue);
    int level = 9;
    EXPECT_TRUE(access.ForegroundValid(DownsampleFull, level));
}

TEST_F(RenderEngineTest, LoadingBuildsMatchingCachesAndDetectsTheScreenColour)
{
    RenderEngineAccess access(*engine);
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg.png", 41, 30, qRgb(9, 9, 9))), MT_OK);
    const auto& image = access.BackgroundImage();
    const auto& filter = access.BackgroundFilter();
    EXPECT_EQ(image.full->Width(), 41u);
    EXPECT_EQ(image.quarter->Width(), 10u); // trunc(41 × 0.25)
    EXPECT_EQ(image.quarter->Height(), 7u);
    EXPECT_EQ(filter.full->Width(), 41u);
    EXPECT_EQ(filter.quarter->Height(), image.quarter->Height());

    ASSERT_EQ(
        engine->SetLayer(ForegroundLayer, Picture("blue.png", 8, 8, qRgb(10, 30, 240))), MT_OK);
    EXPECT_EQ(project->KeyColor(), orv::image::KeyColorBlue);
    ASSERT_EQ(
        engine->SetLayer(ForegroundLayer, Picture("green.png", 8, 8, qRgb(10, 240, 30))), MT_OK);
    EXPECT_EQ(project->KeyColor(), orv::image::KeyColorGreen);

    // Removing the background keeps the window caches; loading another file works afterwards.
    const auto window = access.BackgroundWindow().full;
    ASSERT_EQ(engine->RemoveLayer(BackgroundLayer), MT_OK);
    EXPECT_EQ(access.BackgroundImage().full, nullptr);
    EXPECT_EQ(access.BackgroundWindow().full, window);
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg2.png", 12, 20, qRgb(1, 2, 3))), MT_OK);
    EXPECT_EQ(access.BackgroundFilter().full->Height(), 20u);
}

TEST_F(RenderEngineTest, InvalidateCacheClearsOneStageAtOneFactor)
{
    RenderEngineAccess access(*engine);
    access.MarkAllValid();
    EXPECT_EQ(engine->InvalidateCache(BackgroundLayer, 1, DownsampleFull), MT_INVALID_LEVEL);
    EXPECT_EQ(engine->InvalidateCache(OverlayLayer, 2, DownsampleFull), MT_INVALID_LEVEL);
    EXPECT_EQ(engine->InvalidateCache(ForegroundLayer, 4, DownsampleFull), MT_INVALID_LEVEL);
    EXPECT_EQ(
        engine->InvalidateCache(static_cast<LayerID>(5), 3, DownsampleFull), MT_INVALID_LAYER);

    ASSERT_EQ(engine->InvalidateCache(ForegroundLayer, 1, DownsampleQuarter), MT_OK);
    EXPECT_EQ(access.ForegroundLevel(3, DownsampleQuarter), 1);
    EXPECT_EQ(access.ForegroundLevel(3, DownsampleFull), 3);
    EXPECT_EQ(access.ForegroundLevel(1, DownsampleQuarter), 1);
    int level = 9;
    EXPECT_FALSE(access.ForegroundValid(DownsampleQuarter, level));
    EXPECT_EQ(level, 1);
    level = 9;
    EXPECT_TRUE(access.ForegroundValid(DownsampleFull, level));
    EXPECT_EQ(level, 9);

    // Transform stale alone: the validity query reports 3, the level rule only from 4 upwards.
    ASSERT_EQ(engine->InvalidateCache(BackgroundLayer, 3, DownsampleFull), MT_OK);
    EXPECT_EQ(access.BackgroundLevel(3, DownsampleFull), 3);
    EXPECT_EQ(access.BackgroundLevel(4, DownsampleFull), 3);
    EXPECT_FALSE(access.BackgroundValid(DownsampleFull, level));
    EXPECT_EQ(level, 3);
    ASSERT_EQ(engine->InvalidateCache(BackgroundLayer, 2, DownsampleFull), MT_OK);
    EXPECT_EQ(access.BackgroundLevel(3, DownsampleFull), 2);
    EXPECT_FALSE(access.BackgroundValid(DownsampleFull, level));
    EXPECT_EQ(level, 2);

    EXPECT_EQ(access.OverlayLevel(4, DownsampleQuarter), 4);
    ASSERT_EQ(engine->InvalidateCache(OverlayLayer, 3, DownsampleQuarter), MT_OK);
    EXPECT_EQ(access.OverlayLevel(3, DownsampleQuarter), 3);
    EXPECT_EQ(access.OverlayLevel(4, DownsampleQuarter), 3);
    EXPECT_FALSE(access.OverlayValid(DownsampleQuarter, level));

    // A factor without caches counts as stale everywhere and invalidating it changes nothing.
    EXPECT_EQ(engine->InvalidateCache(ForegroundLayer, 2, orv::image::DownsampleHalf), MT_OK);
    EXPECT_EQ(access.ForegroundLevel(4, orv::image::DownsampleHalf), 1);
}

// Invalidation by stage: without a factor both factors go stale, with one only that one; the
// other stages of the layer stay as they were.
TEST_F(RenderEngineTest, InvalidateByStageClearsOneOrBothFactors)
{
    RenderEngineAccess access(*engine);
    struct Case {
        LayerID layer;
        Stage stage;
    };
    for (const Case c :
        { Case { BackgroundLayer, Stage::Filter }, Case { ForegroundLayer, Stage::Key },
            Case { ForegroundLayer, Stage::Transform }, Case { OverlayLayer, Stage::Transform } }) {
        SCOPED_TRACE(testing::Message() << c.layer << " " << static_cast<int>(c.stage));
        access.MarkAllValid();
        ASSERT_EQ(engine->Invalidate(c.layer, c.stage), MT_OK);
        EXPECT_FALSE(access.IsStageValid(c.layer, c.stage, DownsampleFull));
        EXPECT_FALSE(access.IsStageValid(c.layer, c.stage, DownsampleQuarter));
        access.MarkAllValid();
        ASSERT_EQ(engine->Invalidate(c.layer, c.stage, DownsampleQuarter), MT_OK);
        EXPECT_TRUE(access.IsStageValid(c.layer, c.stage, DownsampleFull));
        EXPECT_FALSE(access.IsStageValid(c.layer, c.stage, DownsampleQuarter));
        for (const Stage other : { Stage::Key, Stage::Filter, Stage::Transform }) {
            if (other != c.stage && RenderEngine::HasStage(c.layer, other)) {
                EXPECT_TRUE(access.IsStageValid(c.layer, other, DownsampleQuarter));
            }
        }
    }
    EXPECT_EQ(engine->Invalidate(BackgroundLayer, Stage::Key), MT_INVALID_LEVEL);
    EXPECT_EQ(engine->Invalidate(OverlayLayer, Stage::Filter), MT_INVALID_LEVEL);
    EXPECT_EQ(engine->Invalidate(static_cast<LayerID>(5), Stage::Transform), MT_INVALID_LAYER);
    EXPECT_EQ(engine->InvalidateCache(ForegroundLayer, 4, DownsampleFull), MT_INVALID_LEVEL);
}

TEST_F(RenderEngineTest, NewEngineHasEverythingStale)
{
    RenderEngineAccess access(*engine);
    EXPECT_EQ(access.ForegroundLevel(4, DownsampleFull), 1);
    EXPECT_EQ(access.BackgroundLevel(4, DownsampleQuarter), 2);
    EXPECT_EQ(access.OverlayLevel(4, DownsampleFull), 3);
    EXPECT_EQ(access.Canvas().quarter->Width(), 16u);
    EXPECT_EQ(access.Canvas().quarter->Height(), 12u);
}

TEST_F(RenderEngineTest, InvertedWindowIsReportedAndTheEngineStaysUsable)
{
    auto broken = NewEngine(QRect(QPoint(100, 0), QPoint(10, 50)), MT_CACHE_NOT_CREATED);
    EXPECT_EQ(broken->SetLayer(OverlayLayer, Picture("o.png", 4, 4, qRgb(1, 1, 1))), MT_OK);
    EXPECT_TRUE(broken->IsLayerSet(OverlayLayer));
}

} // namespace
} // namespace mtra::app

namespace mtra::app {
namespace {

class RenderEngineRenderTest : public RenderEngineTest
{
protected:
    // The key, filter and composite lists of the current foreground, emptied so that the
    // layers pass through unchanged.
    void EmptyForegroundLists()
    {
        const auto settings = project->GetForegroundImageList()
                                  .Get(project->CurrentForegroundPath())
                                  ->ForegroundSettings();
        ASSERT_NE(settings, nullptr);
        settings->Keys().Clear();
        settings->Filters().Clear();
        settings->Compositors().Clear();
        settings->Transforms().Clear();
        // The canvas centred in the 64 × 48 window at zoom 1.
        project->GetCanvas().SetDimensions(64, 48);
        project->GetCanvas().SetCentre(32, 24);
        project->GetCanvas().SetPosition(0, 0);
        project->GetCanvas().SetScale(1.0f);
    }
};

TEST_F(RenderEngineRenderTest, LayersWithoutImagesAreReported)
{
    EXPECT_EQ(engine->RenderLayer(OverlayLayer, 3, DownsampleFull), MT_LAYER_NOT_SET);
    EXPECT_EQ(engine->RenderLayer(static_cast<LayerID>(4), 3, DownsampleFull), MT_INVALID_LAYER);
    // Nothing set: the canvas composes to transparent.
    QImage image;
    ASSERT_EQ(engine->RenderCanvasImage(DownsampleQuarter, image), MT_OK);
    EXPECT_EQ(image.size(), QSize(16, 12));
    EXPECT_EQ(image.pixel(3, 3), 0u);
}

TEST_F(RenderEngineRenderTest, EmptyKeyListLeavesTheForegroundUnkeyed)
{
    EmptyForegroundLists();
    ASSERT_EQ(
        engine->SetLayer(ForegroundLayer, Picture("fg.png", 12, 8, qRgb(20, 200, 30))), MT_OK);
    RenderEngineAccess access(*engine);
    ASSERT_EQ(engine->RenderLayer(ForegroundLayer, 3, DownsampleFull), MT_OK);
    const auto* image = dynamic_cast<orv::image::OVImage8*>(access.ForegroundImage().full.get());
    const auto* key = dynamic_cast<orv::image::OVImage8*>(access.ForegroundKey().full.get());
    ASSERT_TRUE(image && key);
    EXPECT_EQ(std::memcmp(image->Buffer(), key->Buffer(), image->BufferByteSize()), 0);
    int level = 9;
    EXPECT_TRUE(access.ForegroundValid(DownsampleFull, level));
    EXPECT_FALSE(access.ForegroundValid(DownsampleQuarter, level));
}

TEST_F(RenderEngineRenderTest, CanvasNeedsEverySetLayerRendered)
{
    EmptyForegroundLists();
    project->GetForegroundImageList().Get(QString())->BackgroundSettings()->Filters().Clear();
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg.png", 64, 48, qRgb(200, 0, 0))), MT_OK);
    QImage image;
    EXPECT_EQ(engine->RenderCanvasImage(DownsampleQuarter, image), MT_CANVAS_NOT_COMPOSED);
    EXPECT_EQ(image.size(), QSize(16, 12));

    ASSERT_EQ(engine->RenderLayer(BackgroundLayer, 3, DownsampleQuarter), MT_OK);
    ASSERT_EQ(engine->RenderCanvasImage(DownsampleQuarter, image), MT_OK);
    EXPECT_EQ(image.pixel(8, 6), qRgb(200, 0, 0));

    // A disabled background leaves the canvas transparent.
    project->SetBackgroundImage(std::make_shared<BackgroundImage>(
        QStringLiteral("bg.png"), dir.filePath(QStringLiteral("bg.png")), false));
    ASSERT_EQ(engine->RenderCanvasImage(DownsampleQuarter, image), MT_OK);
    EXPECT_EQ(image.pixel(8, 6), 0u);
}

TEST_F(RenderEngineRenderTest, ExportCacheSwapFreesAndRestoresThePreview)
{
    EmptyForegroundLists();
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, Picture("fg.png", 64, 48, qRgb(0, 0, 250))), MT_OK);
    ASSERT_EQ(engine->RenderLayer(ForegroundLayer, 3, DownsampleFull), MT_OK);
    engine->RemoveCacheBeforeExport();
    RenderEngineAccess access(*engine);
    EXPECT_EQ(access.ForegroundKey().full, nullptr);
    EXPECT_EQ(engine->RenderLayer(ForegroundLayer, 4, DownsampleFull), MT_CACHE_NOT_CREATED);
    QImage image;
    EXPECT_EQ(engine->RenderCanvasImage(DownsampleFull, image), MT_CACHE_NOT_CREATED);

    ASSERT_EQ(engine->RestoreCacheAfterExport(), MT_OK);
    EXPECT_EQ(access.ForegroundLevel(4, DownsampleFull), 1);
    ASSERT_EQ(engine->RenderLayer(ForegroundLayer, 4, DownsampleFull), MT_OK);
    ASSERT_EQ(engine->RenderCanvasImage(DownsampleFull, image), MT_OK);
    EXPECT_EQ(image.pixel(32, 24), qRgb(0, 0, 250));
}

TEST_F(RenderEngineRenderTest, ExportComposesTheLayersAtCanvasSize)
{
    EmptyForegroundLists();
    project->GetForegroundImageList().Get(QString())->BackgroundSettings()->Filters().Clear();
    project->GetCanvas().SetDimensions(20, 10);
    // The preview placement must not move the export.
    project->GetCanvas().SetCentre(3, 2);
    project->GetCanvas().SetScale(0.5f);
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg.png", 20, 10, qRgb(200, 0, 0))), MT_OK);
    const QString photo = Picture("fg.png", 8, 4, qRgb(0, 0, 250));
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, photo), MT_OK);

    MTerr error = MT_XML_INVALID;
    QImage exported = engine->ExportQImage(photo, error);
    ASSERT_EQ(error, MT_OK);
    ASSERT_EQ(exported.size(), QSize(20, 10));
    EXPECT_EQ(exported.pixel(10, 5), qRgb(0, 0, 250)); // the photo, centred
    EXPECT_EQ(exported.pixel(1, 1), qRgb(200, 0, 0)); // the background around it

    // Moved by one unit to the right, the photo lies just outside the canvas.
    const auto transforms = project->GetForegroundImageList().Get(photo)->ForegroundSettings();
    transforms->Transforms().Add(std::make_shared<TransformationTransformItem>(1, 0, 1, 1, 0));
    exported = engine->ExportQImage(photo, error);
    ASSERT_EQ(error, MT_OK);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(exported.pixel(x, 5), qRgb(200, 0, 0)) << x;

    // The photo is read again from its file: a missing file fails the export.
    exported = engine->ExportQImage(dir.filePath(QStringLiteral("gone.jpg")), error);
    EXPECT_EQ(error, MT_EXPORT_FOREGROUND_FAILED);
    EXPECT_TRUE(exported.isNull());
}

TEST_F(RenderEngineRenderTest, OverlayOnlyExportIsTheOverlayOverTransparency)
{
    EmptyForegroundLists();
    project->GetCanvas().SetDimensions(12, 12);
    QImage overlay(6, 6, QImage::Format_ARGB32);
    overlay.fill(qRgba(0, 255, 0, 255));
    const QString path = dir.filePath(QStringLiteral("overlay.png"));
    ASSERT_TRUE(overlay.save(path));
    ASSERT_EQ(engine->SetLayer(OverlayLayer, path), MT_OK);

    MTerr error = MT_XML_INVALID;
    const QImage exported = engine->ExportQImage(QString(), error);
    ASSERT_EQ(error, MT_OK);
    EXPECT_EQ(exported.pixel(6, 6), qRgba(0, 255, 0, 255));
    EXPECT_EQ(exported.pixel(0, 0), 0u);
    EXPECT_EQ(exported.pixel(11, 11), 0u);
}

// Exporting the photo the foreground layer holds uses the layer's decode: the result must be
// what a fresh read gives, and a file changed since the layer was loaded is read again.
TEST_F(RenderEngineRenderTest, ExportOfTheLayerPhotoEqualsAFreshRead)
{
    project->GetCanvas().SetDimensions(1800, 1200);
    const QString sideways = QStringLiteral(MTRA_TEST_DATA_DIR "/photos/Landscape_6.jpg");
    const QString copy = dir.filePath(QStringLiteral("portrait.jpg"));
    ASSERT_TRUE(QFile::copy(sideways, copy));
    MTerr error = MT_XML_INVALID;

    ASSERT_EQ(engine->SetLayer(ForegroundLayer, copy), MT_OK);
    const QImage fromLayer = engine->ExportQImage(copy, error);
    ASSERT_EQ(error, MT_OK);
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, Picture("other.png", 8, 8, qRgb(1, 2, 3))), MT_OK);
    const QImage fresh = engine->ExportQImage(copy, error);
    ASSERT_EQ(error, MT_OK);
    EXPECT_EQ(fromLayer, fresh);

    // Replaced on disk after loading: the export shows the new file.
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, copy), MT_OK);
    QImage flat(1800, 1200, QImage::Format_RGB32);
    flat.fill(qRgb(200, 30, 40));
    ASSERT_TRUE(flat.save(copy, "JPEG", 95));
    const QImage replaced = engine->ExportQImage(copy, error);
    ASSERT_EQ(error, MT_OK);
    EXPECT_NEAR(qRed(replaced.pixel(900, 600)), 200, 4);
    EXPECT_NEAR(qGreen(replaced.pixel(900, 600)), 30, 4);
}

// The program unloads the foreground layer when its current photo goes offline; exporting
// the other photos must still render them, and a photo that is missing too must fail.
TEST_F(RenderEngineRenderTest, ExportRendersTheAskedPhotoWithoutAForegroundLayer)
{
    EmptyForegroundLists();
    project->GetCanvas().SetDimensions(20, 10);
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg.png", 20, 10, qRgb(200, 0, 0))), MT_OK);
    const QString photo = Picture("fg.png", 20, 10, qRgb(0, 0, 250));
    ASSERT_FALSE(engine->IsLayerSet(ForegroundLayer));

    MTerr error = MT_XML_INVALID;
    const QImage exported = engine->ExportQImage(photo, error);
    ASSERT_EQ(error, MT_OK);
    EXPECT_EQ(exported.pixel(10, 5), qRgb(0, 0, 250));

    EXPECT_TRUE(engine->ExportQImage(dir.filePath(QStringLiteral("gone.png")), error).isNull());
    EXPECT_EQ(error, MT_EXPORT_FOREGROUND_FAILED);
}

// Unticking the colour-difference key and the spill suppression of the default key list leaves
// the neutral blur and crop ticked: nothing keys, and the photo must pass unkeyed, in the
// preview (not the stale keyed picture) and in the export (not the background alone).
TEST_F(RenderEngineRenderTest, KeyListThatKeysNothingGivesTheUnkeyedPhoto)
{
    project->GetCanvas().SetDimensions(64, 48);
    project->GetCanvas().SetCentre(32, 24);
    project->GetCanvas().SetScale(1.0f);
    project->GetForegroundImageList().Get(QString())->BackgroundSettings()->Filters().Clear();
    const auto settings = project->GetForegroundImageList().Get(QString())->ForegroundSettings();
    settings->Filters().Clear();
    settings->Compositors().Clear();
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg.png", 64, 48, qRgb(200, 0, 0))), MT_OK);
    // Green screen on the left, a grey subject on the right.
    QImage shot(64, 48, QImage::Format_RGB32);
    shot.fill(qRgb(0, 255, 0));
    for (int y = 0; y < 48; ++y)
        for (int x = 32; x < 64; ++x)
            shot.setPixel(x, y, qRgb(128, 128, 128));
    const QString photo = dir.filePath(QStringLiteral("fg.png"));
    ASSERT_TRUE(shot.save(photo));
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, photo), MT_OK);
    ASSERT_EQ(engine->RenderLayer(BackgroundLayer, Stage::Transform, DownsampleFull), MT_OK);
    ASSERT_EQ(engine->RenderLayer(ForegroundLayer, Stage::Key, DownsampleFull), MT_OK);
    QImage preview;
    ASSERT_EQ(engine->RenderCanvasImage(DownsampleFull, preview), MT_OK);
    ASSERT_NE(preview.pixel(10, 24), qRgb(0, 255, 0)); // keyed

    int ticked = 0;
    for (auto it = settings->Keys().Begin(); it != settings->Keys().End(); ++it) {
        const bool keys
            = (*it)->Type() == AutoColorDifferenceKey || (*it)->Type() == SpillSuppressionKey;
        (*it)->SetEnabled(!keys);
        ticked += keys ? 0 : 1;
    }
    ASSERT_EQ(ticked, 2);
    ASSERT_EQ(engine->Invalidate(ForegroundLayer, Stage::Key), MT_OK);
    ASSERT_EQ(engine->RenderCanvasImage(DownsampleFull, preview), MT_OK);
    EXPECT_EQ(preview.pixel(10, 24), qRgb(0, 255, 0));

    MTerr error = MT_XML_INVALID;
    const QImage exported = engine->ExportQImage(photo, error);
    ASSERT_EQ(error, MT_OK);
    EXPECT_EQ(exported.pixel(10, 24), qRgb(0, 255, 0));
}

// Only the blue-green-red-alpha order is implemented; another one must be refused rather
// than compose wrong colours with success.
TEST_F(RenderEngineTest, UnimplementedChannelOrderIsRefused)
{
    MTerr error = MT_OK;
    RenderEngine argb(
        project, orv::image::Bits8, orv::image::PixelOrderARGB, QRect(0, 0, 64, 48), error);
    EXPECT_EQ(error, MT_CACHE_NOT_CREATED);
    EXPECT_EQ(argb.SetLayer(BackgroundLayer, Picture("bg.png", 8, 8, qRgb(200, 0, 0))),
        MT_CACHE_NOT_CREATED);
    EXPECT_FALSE(argb.IsLayerSet(BackgroundLayer));
    QImage image;
    EXPECT_EQ(argb.RenderCanvasImage(DownsampleFull, image), MT_CACHE_NOT_CREATED);
    EXPECT_TRUE(image.isNull());
    EXPECT_TRUE(argb.ExportQImage(QString(), error).isNull());
    EXPECT_EQ(error, MT_CACHE_NOT_CREATED);
    EXPECT_EQ(argb.RestoreCacheAfterExport(), MT_CACHE_NOT_CREATED);
}

// An empty path exports background and overlay only, whether or not a foreground layer is
// loaded.
TEST_F(RenderEngineRenderTest, EmptyPathExportsBackgroundAndOverlayOnly)
{
    EmptyForegroundLists();
    project->GetForegroundImageList().Get(QString())->BackgroundSettings()->Filters().Clear();
    project->GetCanvas().SetDimensions(20, 10);
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg.png", 20, 10, qRgb(200, 0, 0))), MT_OK);
    QImage overlay(4, 2, QImage::Format_ARGB32);
    overlay.fill(qRgba(0, 255, 0, 255));
    const QString overlayPath = dir.filePath(QStringLiteral("overlay.png"));
    ASSERT_TRUE(overlay.save(overlayPath));
    ASSERT_EQ(engine->SetLayer(OverlayLayer, overlayPath), MT_OK);

    MTerr error = MT_XML_INVALID;
    const QImage without = engine->ExportQImage(QString(), error);
    ASSERT_EQ(error, MT_OK);
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, Picture("fg.png", 20, 10, qRgb(0, 0, 250))), MT_OK);
    const QImage with = engine->ExportQImage(QString(), error);
    ASSERT_EQ(error, MT_OK);
    EXPECT_EQ(with, without);
    EXPECT_EQ(with.pixel(1, 1), qRgb(200, 0, 0));
    EXPECT_EQ(with.pixel(10, 5), qRgba(0, 255, 0, 255));
}

} // namespace
} // namespace mtra::app

namespace mtra::app {
namespace {

// A subject on a noisy screen of `screen` colour: the key's levels come from the screen's spread.
QImage ScreenPhoto(int width, int height, QRgb screen, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int n = static_cast<int>((seed >> 16) % 11) - 5;
            const bool subject
                = (x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2)
                < width * height / 12;
            const QRgb c = subject ? qRgb(200, 120, 90) : screen;
            image.setPixel(x, y,
                qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) - n, 0, 255),
                    std::clamp(qBlue(c) + n, 0, 255)));
        }
    }
    return image;
}

// The export-only engine allocates no preview caches and decodes its layers side by side; the
// pictures must be those of a preview engine, byte for byte, for the layer's own photo (whose
// screen colour was detected at load) and for another one, on a blue screen (a colour taken
// for green would key the subject's surroundings wrongly).
TEST_F(RenderEngineTest, AnExportOnlyEngineExportsWhatAPreviewEngineExports)
{
    project->GetCanvas().SetDimensions(96, 64);
    QImage background(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x)
            background.setPixel(x, y, qRgb(x * 2, 100 + y, 250 - x));
    const QString backgroundPath = dir.filePath(QStringLiteral("bg.png"));
    ASSERT_TRUE(background.save(backgroundPath));
    QImage overlay(96, 64, QImage::Format_ARGB32);
    overlay.fill(Qt::transparent);
    for (int x = 0; x < 96; ++x)
        overlay.setPixel(x, 60, qRgba(255, 255, 255, 180));
    const QString overlayPath = dir.filePath(QStringLiteral("overlay.png"));
    ASSERT_TRUE(overlay.save(overlayPath));
    const QString layerPhoto = dir.filePath(QStringLiteral("blue.png"));
    const QString otherPhoto = dir.filePath(QStringLiteral("other.png"));
    ASSERT_TRUE(ScreenPhoto(80, 60, qRgb(30, 50, 210), 7u).save(layerPhoto));
    ASSERT_TRUE(ScreenPhoto(80, 60, qRgb(40, 200, 60), 9u).save(otherPhoto));

    ASSERT_EQ(engine->SetLayer(BackgroundLayer, backgroundPath), MT_OK);
    ASSERT_EQ(engine->SetLayer(OverlayLayer, overlayPath), MT_OK);
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, layerPhoto), MT_OK);
    MTerr error = MT_XML_INVALID;
    const QImage previewOwn = engine->ExportQImage(layerPhoto, error);
    ASSERT_EQ(error, MT_OK);
    const QImage previewOther = engine->ExportQImage(otherPhoto, error);
    ASSERT_EQ(error, MT_OK);
    project->SetKeyColor(orv::image::KeyColorGreen);

    const auto exporter = RenderEngine::ForExport(project, error);
    ASSERT_EQ(error, MT_OK);
    ASSERT_NE(exporter, nullptr);
    std::array<MTerr, 3> results {};
    std::array<QString, 3> reasons;
    exporter->SetLayers({ backgroundPath, layerPhoto, overlayPath }, results, reasons);
    for (const MTerr result : results)
        EXPECT_EQ(result, MT_OK);
    EXPECT_EQ(project->KeyColor(), orv::image::KeyColorBlue);
    EXPECT_EQ(exporter->LayerSize(ForegroundLayer), QSize(80, 60));

    const QImage own = exporter->ExportQImage(layerPhoto, error);
    ASSERT_EQ(error, MT_OK);
    EXPECT_TRUE(own == previewOwn);
    const QImage other = exporter->ExportQImage(otherPhoto, error);
    ASSERT_EQ(error, MT_OK);
    EXPECT_TRUE(other == previewOther);

    // Nothing to preview with: no caches at any factor, none to restore.
    EXPECT_EQ(
        exporter->RenderLayer(ForegroundLayer, Stage::Key, DownsampleFull), MT_CACHE_NOT_CREATED);
    EXPECT_EQ(exporter->RenderLayer(BackgroundLayer, Stage::Filter, DownsampleQuarter),
        MT_CACHE_NOT_CREATED);
    QImage canvas;
    EXPECT_EQ(exporter->RenderCanvasImage(DownsampleFull, canvas), MT_CACHE_NOT_CREATED);
    EXPECT_EQ(exporter->RestoreCacheAfterExport(), MT_CACHE_NOT_CREATED);
    exporter->CompositeQImage(DownsampleFull, canvas);
    EXPECT_TRUE(canvas.isNull());
}

// Layers loading side by side fail one by one, each with the reader's own finding, which lives
// on the thread that read the file.
TEST_F(RenderEngineTest, LayersLoadedTogetherSucceedOrFailEachOnItsOwn)
{
    QFile broken(dir.filePath(QStringLiteral("broken.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture at all");
    broken.close();
    const QString good = Picture("good.png", 16, 12, qRgb(0, 0, 240));

    std::array<MTerr, 3> results {};
    std::array<QString, 3> reasons;
    engine->SetLayers({ broken.fileName(), good, QString() }, results, reasons);
    EXPECT_EQ(results[BackgroundLayer], MT_CACHE_NOT_CREATED);
    EXPECT_FALSE(reasons[BackgroundLayer].isEmpty());
    EXPECT_FALSE(engine->IsLayerSet(BackgroundLayer));
    EXPECT_EQ(results[ForegroundLayer], MT_OK);
    EXPECT_TRUE(reasons[ForegroundLayer].isEmpty());
    EXPECT_TRUE(engine->IsLayerSet(ForegroundLayer));
    EXPECT_EQ(project->KeyColor(), orv::image::KeyColorBlue);
    EXPECT_EQ(results[OverlayLayer], MT_OK); // left alone
    EXPECT_FALSE(engine->IsLayerSet(OverlayLayer));

    // A preview engine's layers loaded together have their preview caches.
    engine->SetLayers({ good, QString(), good }, results, reasons);
    EXPECT_EQ(results[BackgroundLayer], MT_OK);
    EXPECT_EQ(engine->RenderLayer(BackgroundLayer, Stage::Filter, DownsampleQuarter), MT_OK);
}

} // namespace
} // namespace mtra::app
