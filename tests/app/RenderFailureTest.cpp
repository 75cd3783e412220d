// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// How the render engine fails: stages that cannot run (worker threads that cannot be started,
// as on a system out of threads or memory), export errors, and where light spill may apply.

#include <app/CompositeItems.h>
#include <app/FilterItems.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include "RenderEngineAccess.h"
#include "WorkerThreads.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <utility>

namespace mtra::app {
namespace {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

constexpr QRgb kScreen = qRgb(30, 200, 40);
constexpr QRgb kSubject = qRgb(200, 40, 40);

// Every worker thread the image engine starts while this lives fails to start.
class FailingThreads
{
public:
    FailingThreads()
        : m_previous(orv::image::SetThreadCreateFunctionForTesting(&Refuse))
    {
    }
    ~FailingThreads() { orv::image::SetThreadCreateFunctionForTesting(m_previous); }
    FailingThreads(const FailingThreads&) = delete;
    FailingThreads& operator=(const FailingThreads&) = delete;

private:
    static int Refuse(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) { return EAGAIN; }
    orv::image::ThreadCreateFunction m_previous;
};

// An image of another implementation than the engine's own, which only the engine's facades
// understand, not the drawing code.
class ForeignImage final : public orv::image::OVAbstractImage
{
public:
    orv::image::OVPixelChannelOrder PixelChannelOrder() const override
    {
        return orv::image::PixelOrderBGRA;
    }
    orv::image::OVBitsPerChannel BitsPerChannel() const override { return orv::image::Bits8; }
    unsigned int Width() const override { return 8; }
    unsigned int Height() const override { return 8; }
    unsigned int BufferSize() const override { return 8 * 8 * 4; }
    unsigned int BufferByteSize() const override { return 8 * 8 * 4; }
};

bool IsOpaqueBlack(const orv::image::OVAbstractImage& image)
{
    const auto* pixels = dynamic_cast<const orv::image::OVImage8*>(&image);
    if (pixels == nullptr || pixels->BufferByteSize() == 0)
        return false;
    const unsigned char* p = pixels->Buffer();
    for (unsigned int i = 0; i < pixels->BufferByteSize(); i += 4)
        if (p[i] != 0 || p[i + 1] != 0 || p[i + 2] != 0 || p[i + 3] != 255)
            return false;
    return true;
}

// A 32 × 24 canvas centred in a window of the same size; a green-screen shot of that size with
// a red square in the middle.
class RenderFailureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MTerr result = MT_XML_INVALID;
        project = std::make_shared<Project>(result);
        ASSERT_EQ(result, MT_OK);
        Canvas& canvas = project->GetCanvas();
        canvas.SetDimensions(32, 24);
        canvas.SetCentre(16, 12);
        canvas.SetPosition(0, 0);
        canvas.SetScale(1.0f);
        engine = std::make_unique<RenderEngine>(
            project, orv::image::Bits8, orv::image::PixelOrderBGRA, QRect(0, 0, 32, 24), result);
        ASSERT_EQ(result, MT_OK);

        QImage shot(32, 24, QImage::Format_RGB32);
        shot.fill(kScreen);
        for (int y = 8; y < 16; ++y)
            for (int x = 12; x < 20; ++x)
                shot.setPixel(x, y, kSubject);
        photo = dir.filePath(QStringLiteral("shot.png"));
        ASSERT_TRUE(shot.save(photo));
    }

    QString Picture(const char* name, QRgb colour)
    {
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path));
        return path;
    }

    std::shared_ptr<ForegroundImageSettings> Foreground()
    {
        return project->GetForegroundImageList().DefaultForegroundSettings();
    }
    std::shared_ptr<BackgroundImageSettings> Background()
    {
        return project->GetForegroundImageList().DefaultBackgroundSettings();
    }

    // Brightens the background, so that its filter stage has work to do.
    void BrightenBackground()
    {
        auto brightness = std::make_shared<BrightnessFilterItem>(0.2, orv::image::ChannelsColor);
        brightness->SetActive(true);
        Background()->Filters().Clear();
        Background()->Filters().Add(brightness);
    }

    QTemporaryDir dir;
    QString photo;
    std::shared_ptr<Project> project;
    std::unique_ptr<RenderEngine> engine;
};

TEST_F(RenderFailureTest, FailedKeyStageShowsBlackAndIsRetriedAtBothFactors)
{
    RenderEngineAccess access(*engine);
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, photo), MT_OK);
    ASSERT_EQ(engine->RenderLayer(ForegroundLayer, 3, DownsampleFull), MT_OK);
    ASSERT_EQ(engine->RenderLayer(ForegroundLayer, 3, DownsampleQuarter), MT_OK);
    ASSERT_EQ(engine->InvalidateCache(ForegroundLayer, 1, DownsampleQuarter), MT_OK);
    {
        FailingThreads failing;
        EXPECT_EQ(
            engine->RenderLayer(ForegroundLayer, 3, DownsampleQuarter), MT_STAGE_RENDER_FAILED);
    }
    EXPECT_TRUE(IsOpaqueBlack(*access.ForegroundWindow().quarter));
    // Stale at both factors: the full-size picture was keyed with the same items.
    EXPECT_EQ(access.ForegroundLevel(3, DownsampleQuarter), 1);
    EXPECT_EQ(access.ForegroundLevel(3, DownsampleFull), 1);
    // The canvas is not composed from a failed layer.
    QImage canvas;
    EXPECT_EQ(engine->RenderCanvasImage(DownsampleQuarter, canvas), MT_CANVAS_NOT_COMPOSED);
    EXPECT_EQ(canvas.size(), QSize(8, 6));

    // Once threads start again the next render keys afresh and the canvas composes.
    ASSERT_EQ(engine->RenderLayer(ForegroundLayer, 3, DownsampleFull), MT_OK);
    ASSERT_EQ(engine->RenderCanvasImage(DownsampleFull, canvas), MT_OK);
    EXPECT_EQ(qAlpha(canvas.pixel(16, 12)), 255);
    EXPECT_GT(qRed(canvas.pixel(16, 12)), 150);
}

TEST_F(RenderFailureTest, FailedBackgroundFilterShowsBlackAndIsRetriedAtBothFactors)
{
    BrightenBackground();
    RenderEngineAccess access(*engine);
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg.png", qRgb(0, 0, 150))), MT_OK);
    ASSERT_EQ(engine->RenderLayer(BackgroundLayer, 3, DownsampleFull), MT_OK);
    ASSERT_EQ(engine->RenderLayer(BackgroundLayer, 3, DownsampleQuarter), MT_OK);
    ASSERT_EQ(engine->InvalidateCache(BackgroundLayer, 2, DownsampleFull), MT_OK);
    {
        FailingThreads failing;
        EXPECT_EQ(engine->RenderLayer(BackgroundLayer, 3, DownsampleFull), MT_STAGE_RENDER_FAILED);
    }
    EXPECT_TRUE(IsOpaqueBlack(*access.BackgroundWindow().full));
    EXPECT_EQ(access.BackgroundLevel(3, DownsampleFull), 2);
    EXPECT_EQ(access.BackgroundLevel(3, DownsampleQuarter), 2);

    QImage canvas;
    EXPECT_EQ(engine->RenderCanvasImage(DownsampleFull, canvas), MT_CANVAS_NOT_COMPOSED);
    ASSERT_EQ(engine->RenderLayer(BackgroundLayer, 3, DownsampleFull), MT_OK);
    ASSERT_EQ(engine->RenderCanvasImage(DownsampleFull, canvas), MT_OK);
    EXPECT_GT(qBlue(canvas.pixel(5, 5)), 150);
}

// A failure while drawing the canvas, after the layers were rendered, is reported as such and
// still hands out a canvas-sized picture.
TEST_F(RenderFailureTest, FailedCompositingIsReported)
{
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, photo), MT_OK);
    ASSERT_EQ(engine->RenderLayer(ForegroundLayer, 3, DownsampleFull), MT_OK);
    FailingThreads failing;
    QImage canvas;
    EXPECT_EQ(engine->RenderCanvasImage(DownsampleFull, canvas), MT_CANVAS_NOT_COMPOSED);
    EXPECT_EQ(canvas.size(), QSize(32, 24));
}

TEST_F(RenderFailureTest, FailedExportsGiveNoImage)
{
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, photo), MT_OK);
    MTerr error = MT_OK;
    {
        FailingThreads failing;
        // The key stage cannot run: a picture with the screen still in it is no result.
        EXPECT_TRUE(engine->ExportQImage(photo, error).isNull());
        EXPECT_EQ(error, MT_STAGE_RENDER_FAILED);

        // Nothing to key or filter, but the layer cannot be composed.
        Foreground()->Keys().Clear();
        Foreground()->Filters().Clear();
        EXPECT_TRUE(engine->ExportQImage(photo, error).isNull());
        EXPECT_EQ(error, MT_CANVAS_NOT_COMPOSED);

        // The background comes first; its filter stage fails the same way.
        BrightenBackground();
        ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg.png", qRgb(0, 0, 150))), MT_OK);
        EXPECT_TRUE(engine->ExportQImage(photo, error).isNull());
        EXPECT_EQ(error, MT_STAGE_RENDER_FAILED);
    }
    // The photo is read again for export: a file that is no picture fails as a missing one.
    const QString notAPicture = Picture("text.png", 0);
    {
        QFile file(notAPicture);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("not a picture");
    }
    EXPECT_TRUE(engine->ExportQImage(notAPicture, error).isNull());
    EXPECT_EQ(error, MT_EXPORT_FOREGROUND_FAILED);

    // A background that the drawing code cannot read.
    RenderEngineAccess(*engine).BackgroundImage().full = std::make_shared<ForeignImage>();
    Background()->Filters().Clear();
    EXPECT_TRUE(engine->ExportQImage(photo, error).isNull());
    EXPECT_EQ(error, MT_EXPORT_BACKGROUND_FAILED);

    // Every failure above left the engine able to export.
    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("bg2.png", qRgb(0, 0, 150))), MT_OK);
    EXPECT_FALSE(engine->ExportQImage(photo, error).isNull());
    EXPECT_EQ(error, MT_OK);
}

// Light spill lights the subject with the background; with no background shown there is no
// light, and the subject is laid over the canvas normally. A replacing light spill makes the
// difference plain: it would turn the subject into the (blurred) background.
TEST_F(RenderFailureTest, LightSpillOnlyWithAShownBackground)
{
    Foreground()->Keys().Clear();
    Foreground()->Compositors().Clear();
    auto spill = std::make_shared<LightSpillCompositeItem>(4, orv::image::BlendModeReplace);
    spill->SetActive(true);
    Foreground()->Compositors().Add(spill);
    Background()->Filters().Clear();
    const QString subject = Picture("red.png", kSubject);
    ASSERT_EQ(engine->SetLayer(ForegroundLayer, subject), MT_OK);

    auto centres = [&] {
        QImage canvas;
        EXPECT_EQ(engine->RenderLayer(ForegroundLayer, 3, DownsampleFull), MT_OK);
        if (engine->IsLayerSet(BackgroundLayer)) {
            EXPECT_EQ(engine->RenderLayer(BackgroundLayer, 3, DownsampleFull), MT_OK);
        }
        EXPECT_EQ(engine->RenderCanvasImage(DownsampleFull, canvas), MT_OK);
        MTerr error = MT_XML_INVALID;
        const QImage exported = engine->ExportQImage(subject, error);
        EXPECT_EQ(error, MT_OK);
        return std::make_pair(canvas.pixel(16, 12), exported.pixel(16, 12));
    };
    EXPECT_EQ(centres(), std::make_pair(kSubject, kSubject)) << "no background";

    ASSERT_EQ(engine->SetLayer(BackgroundLayer, Picture("blue.png", qRgb(0, 0, 200))), MT_OK);
    project->SetBackgroundImage(std::make_shared<BackgroundImage>(
        QStringLiteral("blue.png"), dir.filePath(QStringLiteral("blue.png")), false));
    // Loaded while disabled and never rendered: it is not shown, and the canvas still composes.
    EXPECT_EQ(centres(), std::make_pair(kSubject, kSubject)) << "background disabled";

    project->GetBackgroundImage()->SetEnabled(true);
    const auto lit = centres();
    EXPECT_GT(qBlue(lit.first), 150) << "background shown: the light replaces the subject";
    EXPECT_GT(qBlue(lit.second), 150);
}

} // namespace
} // namespace mtra::app
