// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// A 60-megapixel camera photo (9504 × 6336, above Qt's default decode limit) loads and
// exports. The JPEG is generated at run time into a temporary folder. About 2 s and 1 GB in a
// release build, 10 s under AddressSanitizer, where it runs as well: big buffers are where
// overruns hide.

#include <app/Project.h>
#include <app/RenderEngine.h>
#include <app/TransformItems.h>

#include "RenderEngineAccess.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace mtra::app {
namespace {

constexpr int kWidth = 9504;
constexpr int kHeight = 6336;

// A green screen with a red-shirted, skin-headed subject in the middle, with some noise so the
// JPEG is photo-like. RGB888 keeps the generator at three bytes a pixel.
QString WriteCameraPhoto(const QTemporaryDir& dir)
{
    QImage photo(kWidth, kHeight, QImage::Format_RGB888);
    if (photo.isNull())
        return {};
    unsigned int state = 99u;
    for (int y = 0; y < kHeight; ++y) {
        uchar* p = photo.scanLine(y);
        for (int x = 0; x < kWidth; ++x, p += 3) {
            state = state * 1664525u + 1013904223u;
            const int n = static_cast<int>(state >> 29); // 0 … 7
            const int dx = x - kWidth / 2;
            const int dy = y - kHeight / 2;
            const bool subject = std::abs(dx) < kWidth / 6 && std::abs(dy) < kHeight / 4;
            p[0] = static_cast<uchar>((subject ? 190 : 40) + n);
            p[1] = static_cast<uchar>((subject ? 50 : 185) + n);
            p[2] = static_cast<uchar>((subject ? 55 : 60) + n);
        }
    }
    const QString path = dir.filePath(QStringLiteral("camera.jpg"));
    return photo.save(path, "JPEG", 85) ? path : QString();
}

TEST(LargePhotoTest, SixtyMegapixelPhotoLoadsAndExports)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString photo = WriteCameraPhoto(dir);
    ASSERT_FALSE(photo.isEmpty());

    MTerr result = MT_XML_INVALID;
    auto project = std::make_shared<Project>(result);
    ASSERT_EQ(result, MT_OK);
    // The photo scaled to a quarter fills the canvas exactly.
    project->GetCanvas().SetDimensions(kWidth / 4, kHeight / 4);
    auto transforms = project->GetForegroundImageList().DefaultForegroundSettings();
    transforms->Transforms().Clear();
    auto quarter = std::make_shared<TransformationTransformItem>(0, 0, 0.25, 0.25, 0);
    quarter->SetActive(true);
    transforms->Transforms().Add(quarter);
    RenderEngine engine(
        project, orv::image::Bits8, orv::image::PixelOrderBGRA, QRect(0, 0, 1920, 1080), result);
    ASSERT_EQ(result, MT_OK);

    ASSERT_EQ(engine.SetLayer(ForegroundLayer, photo), MT_OK);
    RenderEngineAccess access(engine);
    EXPECT_EQ(access.ForegroundImage().full->Width(), unsigned(kWidth));
    EXPECT_EQ(access.ForegroundImage().quarter->Height(), unsigned(kHeight / 4));
    EXPECT_EQ(project->KeyColor(), orv::image::KeyColorGreen);

    // As a batch export does: the preview's render caches go first.
    engine.RemoveCacheBeforeExport();
    const QImage exported = engine.ExportQImage(photo, result);
    ASSERT_EQ(result, MT_OK);
    ASSERT_EQ(exported.size(), QSize(kWidth / 4, kHeight / 4));
    const QRgb centre = exported.pixel(kWidth / 8, kHeight / 8);
    EXPECT_EQ(qAlpha(centre), 255);
    EXPECT_GT(qRed(centre), 150);
    EXPECT_LT(qAlpha(exported.pixel(20, 20)), 16) << "screen not keyed";
    EXPECT_LT(qAlpha(exported.pixel(kWidth / 4 - 20, kHeight / 4 - 20)), 16);
    EXPECT_EQ(engine.RestoreCacheAfterExport(), MT_OK);
}

} // namespace
} // namespace mtra::app
