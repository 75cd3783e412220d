// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ProjectDocument.h>

#include <app/ImageSettings.h>
#include <app/ItemLists.h>
#include <app/LayerImages.h>
#include <app/Project.h>
#include <app/RenderEngine.h>
#include <app/TransformItems.h>

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace mtra::app {
namespace {

class ProjectDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(document.New(), MT_OK); }

    QString Picture(const char* name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(qRgb(10, 200, 20));
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path));
        return path;
    }

    // A saved project of two photos, the second one left out of the export.
    QString SavedBatch()
    {
        const QString file = dir.filePath(QStringLiteral("batch.mtrabatch"));
        EXPECT_EQ(document.ImportImages({ Photo(1), Photo(2) }), MT_OK);
        EXPECT_EQ(document.SetImageBatched(Photo(2), false), MT_OK);
        EXPECT_EQ(document.Save(file), MT_OK);
        return file;
    }

    QString Photo(int n) const { return dir.filePath(QStringLiteral("photo%1.jpg").arg(n)); }

    QTemporaryDir dir;
    ProjectDocument document { QRect(0, 0, 64, 48) };
};

struct Edit {
    const char* name;
    std::function<MTerr(ProjectDocument&, const QString& one, const QString& two)> apply;
};

// Every kind of model write marks the project modified, whether it renders anything or not.
TEST_F(ProjectDocumentTest, EveryKindOfEditMarksTheProjectModified)
{
    const QString file = SavedBatch();
    const QString three = Photo(3);
    const std::vector<Edit> edits = {
        { "item value",
            [](ProjectDocument& d, const QString&, const QString&) {
                return d.ItemChanged(ForegroundLayer, Stage::Filter);
            } },
        { "item value while dragging",
            [](ProjectDocument& d, const QString&, const QString&) {
                return d.ItemChanged(BackgroundLayer, Stage::Filter, orv::image::DownsampleQuarter);
            } },
        { "unique image",
            [](ProjectDocument& d, const QString& one, const QString&) {
                return d.SetImageUnique(one, true);
            } },
        { "export prefix",
            [](ProjectDocument& d, const QString&, const QString&) {
                ExportSettings settings = d.GetProject()->GetExportSettings();
                settings.SetPrefix(L"web_");
                d.SetExportSettings(settings);
                return MT_OK;
            } },
        { "batch row made batched",
            [](ProjectDocument& d, const QString&, const QString& two) {
                return d.SetImageBatched(two, true);
            } },
        { "import into a non-empty batch",
            [three](ProjectDocument& d, const QString&, const QString&) {
                return d.ImportImages({ three });
            } },
        { "removed photo",
            [](ProjectDocument& d, const QString& one, const QString&) {
                return d.RemoveImage(one);
            } },
        { "canvas size",
            [](ProjectDocument& d, const QString&, const QString&) {
                return d.ResizeCanvas(640, 480);
            } },
        { "canvas position",
            [](ProjectDocument& d, const QString&, const QString&) {
                d.SetCanvasPosition(7, -3);
                return MT_OK;
            } },
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.name);
        ASSERT_EQ(document.Open(file), MT_OK);
        ASSERT_FALSE(document.IsModified());
        QSignalSpy modified(&document, &ProjectDocument::ModifiedChanged);
        ASSERT_EQ(edit.apply(document, Photo(1), Photo(2)), MT_OK);
        EXPECT_TRUE(document.IsModified());
        ASSERT_EQ(modified.count(), 1);
        EXPECT_TRUE(modified.at(0).at(0).toBool());
    }
}

// Edits that change nothing, or are refused, leave the project as it was.
TEST_F(ProjectDocumentTest, RefusedAndEmptyEditsLeaveItUnmodified)
{
    const QString file = SavedBatch();
    ASSERT_EQ(document.Open(file), MT_OK);
    EXPECT_EQ(document.SetImageBatched(Photo(1), true), MT_OK); // already batched
    EXPECT_EQ(document.ImportImages({ Photo(1) }), MT_IMAGE_ALREADY_LISTED);
    EXPECT_EQ(document.SetImageUnique(Photo(9), true), MT_IMAGE_NOT_LISTED);
    EXPECT_EQ(document.ResizeCanvas(0, 10), MT_XML_INVALID);
    EXPECT_EQ(document.ResizeCanvas(10000, 10000), MT_XML_INVALID);
    EXPECT_EQ(document.ItemChanged(OverlayLayer, Stage::Key), MT_INVALID_LEVEL);
    EXPECT_EQ(document.ItemChanged(static_cast<LayerID>(7), Stage::Key), MT_INVALID_LAYER);
    document.SetExportSettings(document.GetProject()->GetExportSettings());
    EXPECT_FALSE(document.IsModified());
}

TEST_F(ProjectDocumentTest, NewOpenAndSaveSetTheModifiedStateAndThePath)
{
    const QString file = SavedBatch();
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.FilePath(), file);
    EXPECT_EQ(document.GetProject()->Name(), QStringLiteral("batch"));

    // A failed save keeps the modified state, the path, the name and the old file.
    ASSERT_EQ(document.ImportImages({ Photo(3) }), MT_OK);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();
    const QString unwritable = dir.filePath(QStringLiteral("missing/folder/other.mtrabatch"));
    EXPECT_EQ(document.Save(unwritable), MT_XML_WRITE_FAILED);
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(document.FilePath(), file);
    EXPECT_EQ(document.GetProject()->Name(), QStringLiteral("batch"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
    saved.close();

    // Save to the document's own file, then Open and New start unmodified.
    EXPECT_EQ(document.Save(), MT_OK);
    EXPECT_FALSE(document.IsModified());
    ASSERT_EQ(document.ItemChanged(ForegroundLayer, Stage::Key), MT_OK);
    ASSERT_EQ(document.Open(file), MT_OK);
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.GetProject()->GetForegroundImageList().Size(), 3u);
    ASSERT_EQ(document.ItemChanged(ForegroundLayer, Stage::Key), MT_OK);
    ASSERT_EQ(document.New(), MT_OK);
    EXPECT_FALSE(document.IsModified());
    EXPECT_TRUE(document.FilePath().isEmpty());
    EXPECT_EQ(document.Save(), MT_XML_WRITE_FAILED); // no file yet

    // A failed Open keeps project, engine and state.
    ASSERT_EQ(document.ImportImages({ Photo(4) }), MT_OK);
    const auto project = document.GetProject();
    const auto engine = document.GetRenderEngine();
    QSignalSpy replaced(&document, &ProjectDocument::ProjectReplaced);
    EXPECT_NE(document.Open(dir.filePath(QStringLiteral("gone.mtrabatch"))), MT_OK);
    EXPECT_EQ(document.GetProject(), project);
    EXPECT_EQ(document.GetRenderEngine(), engine);
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(replaced.count(), 0);
}

// Whoever borrowed the canvas picture must hear of the replacement while the old engine, whose
// buffer the picture shows, still exists.
TEST_F(ProjectDocumentTest, ReplacementIsAnnouncedBeforeTheOldEngineIsDestroyed)
{
    std::weak_ptr<RenderEngine> old = document.GetRenderEngine();
    std::vector<std::pair<const char*, bool>> seen;
    QObject::connect(&document, &ProjectDocument::AboutToReplaceProject,
        [&] { seen.emplace_back("about to replace", !old.expired()); });
    QObject::connect(&document, &ProjectDocument::ProjectReplaced,
        [&] { seen.emplace_back("replaced", !old.expired()); });
    ASSERT_EQ(document.New(), MT_OK);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_STREQ(seen[0].first, "about to replace");
    EXPECT_TRUE(seen[0].second);
    EXPECT_STREQ(seen[1].first, "replaced");
    EXPECT_FALSE(seen[1].second);
    EXPECT_NE(document.GetRenderEngine(), nullptr);
}

TEST_F(ProjectDocumentTest, ItemChangesAreAnnouncedByLayerAndStage)
{
    QSignalSpy changed(&document, &ProjectDocument::LayerChanged);
    ASSERT_EQ(document.ItemChanged(BackgroundLayer, Stage::Filter), MT_OK);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<LayerID>(), BackgroundLayer);
    EXPECT_EQ(changed.at(0).at(1).value<Stage>(), Stage::Filter);
}

// A layer image is all or nothing: a file the engine cannot load never reaches the project.
TEST_F(ProjectDocumentTest, LayerImagesReachTheProjectOnlyOnceLoaded)
{
    const auto project = document.GetProject();
    const QString broken = dir.filePath(QStringLiteral("broken.png"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    for (const LayerID layer : { BackgroundLayer, OverlayLayer, ForegroundLayer }) {
        EXPECT_EQ(document.SetLayerImage(layer, broken), MT_CACHE_NOT_CREATED) << layer;
        EXPECT_FALSE(document.GetRenderEngine()->IsLayerSet(layer)) << layer;
    }
    EXPECT_EQ(project->GetBackgroundImage(), nullptr);
    EXPECT_EQ(project->GetOverlayImage(), nullptr);
    EXPECT_TRUE(project->CurrentForegroundPath().isEmpty());
    EXPECT_FALSE(document.IsModified());

    const QString background = Picture("bg.png", 20, 10);
    ASSERT_EQ(document.SetLayerImage(BackgroundLayer, background), MT_OK);
    ASSERT_NE(project->GetBackgroundImage(), nullptr);
    EXPECT_EQ(project->GetBackgroundImage()->Path(), background);
    EXPECT_TRUE(document.IsModified());
    // A failed replacement keeps the loaded image in both.
    EXPECT_EQ(document.SetLayerImage(BackgroundLayer, broken), MT_CACHE_NOT_CREATED);
    EXPECT_EQ(project->GetBackgroundImage()->Path(), background);
    EXPECT_EQ(document.GetRenderEngine()->LayerSize(BackgroundLayer), QSize(20, 10));

    ASSERT_EQ(document.RemoveLayerImage(BackgroundLayer), MT_OK);
    EXPECT_EQ(project->GetBackgroundImage(), nullptr);
    EXPECT_FALSE(document.GetRenderEngine()->IsLayerSet(BackgroundLayer));

    // The current photo leaves the foreground layer when it leaves the batch.
    const QString photo = Picture("photo.png", 8, 8);
    ASSERT_EQ(document.ImportImages({ photo }), MT_OK);
    ASSERT_EQ(document.SetLayerImage(ForegroundLayer, photo), MT_OK);
    EXPECT_EQ(project->CurrentForegroundPath(), photo);
    ASSERT_EQ(document.RemoveImage(photo), MT_OK);
    EXPECT_FALSE(document.GetRenderEngine()->IsLayerSet(ForegroundLayer));
    EXPECT_TRUE(project->CurrentForegroundPath().isEmpty());
}

// "Fit to canvas" follows the canvas in the shared overlay settings and in every unique
// photo's own.
TEST_F(ProjectDocumentTest, CanvasResizeRefitsEveryOverlaySettings)
{
    ASSERT_EQ(document.ImportImages({ Photo(1), Photo(2) }), MT_OK);
    ASSERT_EQ(document.SetImageUnique(Photo(1), true), MT_OK);
    ASSERT_EQ(document.SetLayerImage(OverlayLayer, Picture("overlay.png", 50, 25)), MT_OK);
    ASSERT_EQ(document.ResizeCanvas(200, 150), MT_OK);

    const ForegroundImageList& batch = document.GetProject()->GetForegroundImageList();
    const auto unique = batch.Get(Photo(1))->OverlaySettings();
    ASSERT_NE(unique, batch.DefaultOverlaySettings());
    for (const auto& settings : { batch.DefaultOverlaySettings(), unique }) {
        const TransformationTransformItem* transformation = nullptr;
        for (auto it = settings->Transforms().Begin(); it != settings->Transforms().End(); ++it)
            if ((*it)->Type() == TransformationTransform)
                transformation = static_cast<const TransformationTransformItem*>(it->get());
        ASSERT_NE(transformation, nullptr);
        EXPECT_DOUBLE_EQ(transformation->ScaleX(), 4.0);
        EXPECT_DOUBLE_EQ(transformation->ScaleY(), 6.0);
        EXPECT_DOUBLE_EQ(transformation->TranslateX(), 0.0);
    }
    EXPECT_EQ(document.GetProject()->GetCanvas().Width(), 200u);
}

} // namespace
} // namespace mtra::app
