// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// Whole-pipeline checks: small committed projects (tests/data/projects/<case>/project.mtrabatch
// with their images, made by MakeRenderProjects) are exported and compared with the committed
// expected.png of each case, channel by channel within a small tolerance.
//
// MTRA_UPDATE_GOLDEN=1 rewrites the expected images from the current exports instead of
// comparing; look at them (scaled up) before committing.

#include <app/Project.h>
#include <app/RenderEngine.h>

#include <app/KeyItems.h>
#include <app/LayerImages.h>

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace mtra::app {
namespace {

constexpr int kTolerance = 2;

QString ProjectsDir()
{
    return QStringLiteral(MTRA_TEST_DATA_DIR "/projects");
}

bool UpdatingGolden()
{
    const char* value = std::getenv("MTRA_UPDATE_GOLDEN");
    return value != nullptr && std::string(value) == "1";
}

std::string Argb(QRgb p)
{
    std::ostringstream out;
    out << '(' << qAlpha(p) << ", " << qRed(p) << ", " << qGreen(p) << ", " << qBlue(p) << ')';
    return out.str();
}

// Empty when the pictures agree within the tolerance on every channel (alpha included);
// otherwise names the first pixel in reading order that does not. Pixels inside `ignore` are
// not compared.
std::string FirstDifference(
    const QImage& expected, const QImage& actual, int tolerance, const QRect& ignore = QRect())
{
    if (expected.size() != actual.size()) {
        std::ostringstream out;
        out << "size " << actual.width() << 'x' << actual.height() << ", expected "
            << expected.width() << 'x' << expected.height();
        return out.str();
    }
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < e.height(); ++y) {
        for (int x = 0; x < e.width(); ++x) {
            if (ignore.contains(x, y))
                continue;
            const QRgb p = e.pixel(x, y);
            const QRgb q = a.pixel(x, y);
            if (std::abs(qAlpha(p) - qAlpha(q)) > tolerance
                || std::abs(qRed(p) - qRed(q)) > tolerance
                || std::abs(qGreen(p) - qGreen(q)) > tolerance
                || std::abs(qBlue(p) - qBlue(q)) > tolerance) {
                std::ostringstream out;
                out << "pixel (" << x << ", " << y << "): expected ARGB " << Argb(p) << ", actual "
                    << Argb(q);
                return out.str();
            }
        }
    }
    return {};
}

// Runs with the case's folder as the working directory: its project names the images by
// file name.
class GoldenRenderTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        m_previous = QDir::currentPath();
        caseDir = QDir(ProjectsDir()).filePath(QString::fromLatin1(GetParam()));
        ASSERT_TRUE(QDir::setCurrent(caseDir)) << caseDir.toStdString();
        MTerr result = MT_XML_INVALID;
        project = std::make_shared<Project>(QStringLiteral("project.mtrabatch"), result);
        ASSERT_EQ(result, MT_OK);
        engine = std::make_unique<RenderEngine>(
            project, orv::image::Bits8, orv::image::PixelOrderBGRA, QRect(0, 0, 320, 200), result);
        ASSERT_EQ(result, MT_OK);
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    // Loads every layer the project names and exports its current foreground image.
    QImage Export()
    {
        if (const auto background = project->GetBackgroundImage()) {
            EXPECT_EQ(engine->SetLayer(BackgroundLayer, background->Path()), MT_OK);
        }
        const QString foreground = project->CurrentForegroundPath();
        if (!foreground.isEmpty()) {
            EXPECT_EQ(engine->SetLayer(ForegroundLayer, foreground), MT_OK);
        }
        if (const auto overlay = project->GetOverlayImage()) {
            EXPECT_EQ(engine->SetLayer(OverlayLayer, overlay->Path()), MT_OK);
        }
        MTerr error = MT_XML_INVALID;
        QImage exported = engine->ExportQImage(foreground, error);
        EXPECT_EQ(error, MT_OK);
        return exported;
    }

    QString caseDir;
    std::shared_ptr<Project> project;
    std::unique_ptr<RenderEngine> engine;

private:
    QString m_previous;
};

TEST_P(GoldenRenderTest, ExportMatchesTheExpectedImage)
{
    const QImage exported = Export();
    ASSERT_FALSE(exported.isNull());
    EXPECT_EQ(exported.size(),
        QSize(int(project->GetCanvas().Width()), int(project->GetCanvas().Height())));

    const QString expectedPath = QDir(caseDir).filePath(QStringLiteral("expected.png"));
    if (UpdatingGolden()) {
        ASSERT_TRUE(exported.save(expectedPath, "PNG"));
        std::printf("wrote %s\n", qPrintable(expectedPath));
        return;
    }
    const QImage expected(expectedPath);
    ASSERT_FALSE(expected.isNull())
        << "missing " << expectedPath.toStdString() << "; MTRA_UPDATE_GOLDEN=1 writes it";
    const std::string difference = FirstDifference(expected, exported, kTolerance);
    EXPECT_TRUE(difference.empty()) << GetParam() << ": " << difference;
}

INSTANTIATE_TEST_SUITE_P(Projects, GoldenRenderTest,
    ::testing::Values(
        "green_default", "blue_screen", "with_overlay", "filters_transform", "overlay_only"),
    [](const ::testing::TestParamInfo<const char*>& param) { return std::string(param.param); });

// The screen colour is detected at load and keys the blue shot with blue: its subject stays,
// its screen goes, and the spill pulled is blue (a green pull would leave a blue fringe and
// turn the skin magenta).
TEST(GoldenRenderCheck, BlueScreenIsKeyedAsBlue)
{
    MTerr result = MT_XML_INVALID;
    const QString dir = QDir(ProjectsDir()).filePath(QStringLiteral("blue_screen"));
    auto project = std::make_shared<Project>(dir + QStringLiteral("/project.mtrabatch"), result);
    ASSERT_EQ(result, MT_OK);
    // No background: what the key leaves is visible as alpha.
    RenderEngine engine(
        project, orv::image::Bits8, orv::image::PixelOrderBGRA, QRect(0, 0, 96, 64), result);
    const QString photo = dir + QStringLiteral("/foreground_blue.png");
    ASSERT_EQ(engine.SetLayer(ForegroundLayer, photo), MT_OK);
    EXPECT_EQ(project->KeyColor(), orv::image::KeyColorBlue);

    const QImage exported = engine.ExportQImage(photo, result);
    ASSERT_EQ(result, MT_OK);
    EXPECT_LT(qAlpha(exported.pixel(20, 32)), 8) << "screen not keyed";
    EXPECT_LT(qAlpha(exported.pixel(76, 32)), 8) << "screen not keyed";
    // The corners are darker, as under real lights; the automatic levels still clear them.
    EXPECT_LT(qAlpha(exported.pixel(1, 1)), 32);
    EXPECT_LT(qAlpha(exported.pixel(94, 62)), 32);
    const QRgb face = exported.pixel(48, 24);
    EXPECT_GT(qAlpha(face), 240);
    EXPECT_GT(qRed(face), qBlue(face) + 40) << Argb(face);
    // The rim keeps no blue cast: where the subject is opaque, blue never dominates.
    for (int y = 0; y < exported.height(); ++y)
        for (int x = 0; x < exported.width(); ++x) {
            const QRgb p = exported.pixel(x, y);
            if (qAlpha(p) > 200) {
                EXPECT_LE(qBlue(p), std::max(qRed(p), qGreen(p)) + 8) << x << ", " << y;
            }
        }
}

// Photos stored sideways or upside down with an EXIF orientation tag export upright: each
// export looks like that of the untagged photo. The keys are off, so the export is the photo.
// Each file shows its tag's number in the middle of the picture; that part is not compared.
TEST(GoldenRenderCheck, TaggedPhotosExportUpright)
{
    MTerr result = MT_XML_INVALID;
    auto project = std::make_shared<Project>(result);
    ASSERT_EQ(result, MT_OK);
    project->GetCanvas().SetDimensions(1800, 1200);
    project->GetForegroundImageList().DefaultForegroundSettings()->Keys().Clear();
    RenderEngine engine(
        project, orv::image::Bits8, orv::image::PixelOrderBGRA, QRect(0, 0, 320, 200), result);
    ASSERT_EQ(result, MT_OK);

    auto exportPhoto = [&](const char* name) {
        const QString path
            = QStringLiteral(MTRA_TEST_DATA_DIR "/photos/") + QString::fromLatin1(name);
        EXPECT_EQ(engine.SetLayer(ForegroundLayer, path), MT_OK) << name;
        MTerr error = MT_XML_INVALID;
        const QImage exported = engine.ExportQImage(path, error);
        EXPECT_EQ(error, MT_OK) << name;
        // Shrunk, JPEG noise and the files' separate encodings average out.
        return exported.scaled(60, 40, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const QImage reference = exportPhoto("Landscape_1.jpg");
    ASSERT_EQ(reference.size(), QSize(60, 40));
    const QRect numeral(24, 13, 13, 14);
    // Upside down must differ beyond the tolerance, or the comparison proves nothing.
    EXPECT_FALSE(FirstDifference(reference, reference.mirrored(true, true), 12, numeral).empty());
    for (const char* name : { "Landscape_3.jpg", "Landscape_6.jpg", "Landscape_8.jpg" }) {
        const std::string difference = FirstDifference(reference, exportPhoto(name), 12, numeral);
        EXPECT_TRUE(difference.empty()) << name << ": " << difference;
    }
}

} // namespace
} // namespace mtra::app
