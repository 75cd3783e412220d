// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "QtPrinters.h"

#include <app/FilterItems.h>
#include <app/ItemLists.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace mtra::app;

namespace {

std::shared_ptr<BrightnessFilterItem> FirstBrightness(const ForegroundImageSettings& settings)
{
    return std::dynamic_pointer_cast<BrightnessFilterItem>(*settings.Filters().Begin());
}

std::shared_ptr<ForegroundImage> Image(const QString& name, const QString& path)
{
    return std::make_shared<ForegroundImage>(name, path, true, true, false, true);
}

// Restores the working folder a test moves away from.
struct WorkingFolder {
    QString previous = QDir::currentPath();
    ~WorkingFolder() { QDir::setCurrent(previous); }
};

} // namespace

// Relinking a unique image moves it as a whole: its own settings answer at the new path, and
// the batch's defaults stay untouched.
TEST(RelinkTest, AUniqueImageKeepsItsSettingsAndFlagsUnderTheNewPath)
{
    MTerr result = MT_XML_INVALID;
    Project project(result);
    ASSERT_EQ(result, MT_OK);
    ForegroundImageList& batch = project.GetForegroundImageList();
    ASSERT_EQ(batch.Add(Image(QStringLiteral("old"), QStringLiteral("/old/a.jpg"))), MT_OK);
    ASSERT_EQ(batch.Add(Image(QStringLiteral("b"), QStringLiteral("/old/b.jpg"))), MT_OK);
    const auto image = batch.Get(QStringLiteral("/old/a.jpg"));
    ASSERT_TRUE(image->SetUnique(true));
    FirstBrightness(*image->ForegroundSettings())->SetBrightness(0.25);
    image->SetThumbnailFilename(QStringLiteral("thumb.png"));

    ASSERT_EQ(batch.Relink(QStringLiteral("/old/a.jpg"), QStringLiteral("/new/a2.jpg"),
                  QStringLiteral("a2")),
        MT_OK);
    EXPECT_FALSE(batch.Find(QStringLiteral("/old/a.jpg")));
    const auto moved = batch.Get(QStringLiteral("/new/a2.jpg"));
    EXPECT_EQ(moved, image);
    EXPECT_EQ(moved->Path(), QStringLiteral("/new/a2.jpg"));
    EXPECT_EQ(moved->Filename(), QStringLiteral("a2"));
    EXPECT_TRUE(moved->IsUnique());
    EXPECT_TRUE(moved->IsViewed());
    EXPECT_TRUE(moved->IsBatched());
    EXPECT_EQ(moved->ThumbnailFilename(), QStringLiteral("thumb.png"));
    EXPECT_EQ(FirstBrightness(*moved->ForegroundSettings())->Brightness(), 0.25);
    EXPECT_NE(FirstBrightness(*batch.DefaultForegroundSettings())->Brightness(), 0.25);
    EXPECT_EQ(batch.Size(), 2u);

    // 14 for a path not in the batch, 13 for one taken or empty; nothing changes.
    EXPECT_EQ(batch.Relink(QStringLiteral("/old/a.jpg"), QStringLiteral("/x.jpg"), QString()),
        MT_IMAGE_NOT_LISTED);
    EXPECT_EQ(batch.Relink(
                  QStringLiteral("/new/a2.jpg"), QStringLiteral("/old/b.jpg"), QStringLiteral("x")),
        MT_IMAGE_ALREADY_LISTED);
    EXPECT_EQ(batch.Relink(QStringLiteral("/new/a2.jpg"), QString(), QStringLiteral("x")),
        MT_IMAGE_ALREADY_LISTED);
    EXPECT_EQ(moved->Filename(), QStringLiteral("a2"));
    EXPECT_EQ(batch.Get(QStringLiteral("/old/b.jpg"))->Filename(), QStringLiteral("b"));
    // The same path only renames.
    EXPECT_EQ(batch.Relink(QStringLiteral("/new/a2.jpg"), QStringLiteral("/new/a2.jpg"),
                  QStringLiteral("renamed")),
        MT_OK);
    EXPECT_EQ(moved->Filename(), QStringLiteral("renamed"));
}

// A project that names its images relative to its own folder opens and renders from any
// working folder, and knows the file it came from.
TEST(ProjectPathsTest, RelativeImagePathsAreReadAgainstTheProjectsFolder)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("shoot/photos")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("elsewhere")));
    QImage background(24, 16, QImage::Format_RGB32);
    background.fill(QColor(230, 140, 40));
    ASSERT_TRUE(background.save(root.filePath(QStringLiteral("shoot/bg.png"))));
    QImage photo(24, 16, QImage::Format_RGB32);
    photo.fill(QColor(40, 60, 210));
    ASSERT_TRUE(photo.save(root.filePath(QStringLiteral("shoot/photos/p.png"))));

    // Saved with paths as a hand-made or moved project holds them.
    {
        MTerr result = MT_XML_INVALID;
        Project project(result);
        project.GetCanvas().SetDimensions(24, 16);
        project.SetBackgroundImage(std::make_shared<BackgroundImage>(
            QStringLiteral("bg"), QStringLiteral("bg.png"), true));
        ASSERT_EQ(project.GetForegroundImageList().Add(
                      Image(QStringLiteral("p"), QStringLiteral("photos/../photos/p.png"))),
            MT_OK);
        ASSERT_EQ(project.GetForegroundImageList().Add(
                      Image(QStringLiteral("abs"), QStringLiteral("/abs/q.png"))),
            MT_OK);
        project.SetCurrentForegroundPath(QStringLiteral("photos/../photos/p.png"));
        ASSERT_EQ(project.SaveToXml(root.filePath(QStringLiteral("shoot/s.mtrabatch")),
                      QStringLiteral("1"), QStringLiteral("1.0")),
            MT_OK);
    }

    WorkingFolder restore;
    ASSERT_TRUE(QDir::setCurrent(root.filePath(QStringLiteral("elsewhere"))));
    MTerr result = MT_XML_INVALID;
    auto project = std::make_shared<Project>(QStringLiteral("../shoot/s.mtrabatch"), result);
    ASSERT_EQ(result, MT_OK);
    const QString shoot = root.filePath(QStringLiteral("shoot"));
    EXPECT_EQ(project->Path(), root.filePath(QStringLiteral("shoot/s.mtrabatch")));
    EXPECT_EQ(project->Folder(), shoot);
    const QString photoPath = shoot + QStringLiteral("/photos/p.png");
    EXPECT_EQ(project->GetBackgroundImage()->Path(), shoot + QStringLiteral("/bg.png"));
    EXPECT_TRUE(project->GetForegroundImageList().Find(photoPath));
    EXPECT_TRUE(project->GetForegroundImageList().Find(QStringLiteral("/abs/q.png")));
    EXPECT_EQ(project->CurrentForegroundPath(), photoPath);
    EXPECT_EQ(project->GetForegroundImageList().Get(photoPath)->Filename(), QStringLiteral("p"));
    // Still here: the library changed no working folder.
    EXPECT_EQ(QDir::currentPath(), root.filePath(QStringLiteral("elsewhere")));

    RenderEngine engine(
        project, orv::image::Bits8, orv::image::PixelOrderBGRA, QRect(0, 0, 16, 16), result);
    ASSERT_EQ(result, MT_OK);
    ASSERT_EQ(engine.SetLayer(BackgroundLayer, project->GetBackgroundImage()->Path()), MT_OK);
    const QImage exported = engine.ExportQImage(project->CurrentForegroundPath(), result);
    ASSERT_EQ(result, MT_OK);
    EXPECT_EQ(exported.size(), QSize(24, 16));

    MTerr fresh = MT_XML_INVALID;
    EXPECT_TRUE(Project(fresh).Path().isEmpty());
    EXPECT_EQ(ResolvedPath(QStringLiteral("/a/b"), QStringLiteral("../c.png")),
        QStringLiteral("/a/c.png"));
    EXPECT_EQ(
        ResolvedPath(QStringLiteral("/a/b"), QStringLiteral("/x.png")), QStringLiteral("/x.png"));
    EXPECT_EQ(ResolvedPath(QStringLiteral("/a/b"), QString()), QString());
}

// --- Hostile project files --------------------------------------------------------------------

// A file nested far deeper than a project can be, or larger than the documented limit, is
// refused with 4 before any document is built; the project is then the default one.
TEST(ProjectLimitsTest, DeepAndOversizedFilesAreRefusedBeforeParsing)
{
    QTemporaryDir dir;
    const QString deep = dir.filePath(QStringLiteral("deep.mtrabatch"));
    {
        QFile file(deep);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><project><fileFormat>1.0</fileFormat>");
        const int levels = 100'000;
        for (int i = 0; i < levels; ++i)
            file.write("<a>");
        for (int i = 0; i < levels; ++i)
            file.write("</a>");
        file.write("</project>");
    }
    MTerr result = MT_OK;
    Project project(deep, result);
    EXPECT_EQ(result, MT_XML_INVALID);
    EXPECT_TRUE(project.Path().isEmpty());
    EXPECT_EQ(project.GetCanvas().Width(), 800u);

    // 33 levels in an element nobody reads: too deep. 32 levels load.
    for (const int levels : { 33, 32 }) {
        MTerr created = MT_XML_INVALID;
        Project fresh(created);
        const QString path = dir.filePath(QStringLiteral("levels.mtrabatch"));
        ASSERT_EQ(fresh.SaveToXml(path, QStringLiteral("1"), QStringLiteral("1.0")), MT_OK);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        // The project element is level 1, so this nests `levels` deep in all.
        bytes.replace("</project>",
            QByteArray("<x>").repeated(levels - 1) + QByteArray("</x>").repeated(levels - 1)
                + "</project>");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        Project loaded(path, result);
        EXPECT_EQ(result, levels > 32 ? MT_XML_INVALID : MT_OK) << levels;
    }

    // A sparse file just over the limit: refused without being read.
    const QString huge = dir.filePath(QStringLiteral("huge.mtrabatch"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><project>");
        ASSERT_TRUE(file.resize(kMaxProjectFileBytes + 1));
    }
    Project oversized(huge, result);
    EXPECT_EQ(result, MT_XML_INVALID);
    EXPECT_GE(kMaxProjectFileBytes, qint64(79'000'000)); // a 20,000-photo unique batch fits
}
