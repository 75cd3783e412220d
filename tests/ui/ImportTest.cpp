// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The import page: names, folders and error reports of an import, the first photo and the
// canvas size, previewing and showing rows, unique photos, offline photos and their relink,
// the thumbnail cache, filling the list from a project, and the background group.

#include "UiFixture.h"
#include "import/BatchImport.h"
#include "import/DragDropWindow.h"
#include "import/ImportSection.h"
#include "import/ImportSupport.h"
#include "import/ListView.h"
#include "import/SingleImport.h"
#include "sections/OverlaySection.h"
#include "toolset/TitleWidget.h"
#include "toolset/ToolboxDockWidget.h"

#include <app/Canvas.h>
#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/RenderEngine.h>

#include <QDir>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <memory>

#include <sys/stat.h>

namespace mtra::ui::test {
namespace {

using orv::image::DownsampleFull;

const QString kIncompatibleOne
    = QStringLiteral("The following file could not be loaded because it isn't a compatible "
                     "image file\n");
const QString kExistsOne
    = QStringLiteral("The following image could not be loaded because it already exists\n");
const QString kRelocate = QStringLiteral(
    "This image cannot be found in its original location. Would you like to relocate it?");
const QString kRemoveQuestion
    = QStringLiteral("Are you sure you wish to remove the selected image?");

class ImportTest : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        m_section = std::make_unique<ImportSection>();
        m_section->resize(320, 900);
        m_section->show();
        m_section->UpdateFromProject();
    }
    void TearDown() override
    {
        m_section.reset();
        UiFixture::TearDown();
    }

    BatchImport& Batch() { return *m_section->Batch(); }
    ListView& List() { return *Batch().List(); }
    app::ForegroundImageList& Images() { return Project().GetForegroundImageList(); }

    void Import(const QStringList& paths)
    {
        Batch().ImportPaths(paths, QStringLiteral("Progress"));
    }

    QStringList Names() const
    {
        QStringList names;
        for (int row = 0; row < App().BatchModel()->rowCount(); ++row) {
            names << App().BatchNameOfRow(row);
        }
        return names;
    }

    QModelIndex RowOf(const QString& path) const
    {
        return App().BatchIndexOfRow(App().BatchRowOfPath(path));
    }

    QString Folder(const QString& name) const
    {
        QDir().mkpath(Path(name));
        return Path(name);
    }

    /// Saves the project, replaces it with the saved file and rebuilds the page from it.
    void Reopen(const QString& project)
    {
        ASSERT_EQ(App().Document().Save(project), app::MT_OK);
        Reload(project);
    }
    void Reload(const QString& project)
    {
        ASSERT_EQ(App().CreateProject(project), app::MT_OK);
        m_section->UpdateFromProject();
    }

    bool HasIcon(const QString& path, import::RowIcon icon) const
    {
        const int row = App().BatchRowOfPath(path);
        return row >= 0
            && App().BatchModel()->item(row)->icon().cacheKey() == import::Icon(icon).cacheKey();
    }

    std::unique_ptr<ImportSection> m_section;
};

// --- Names, folders, reports -------------------------------------------------------------------

TEST_F(ImportTest, SameBaseNameFromSeveralFoldersGetsDistinctNumberedNames)
{
    QStringList three;
    for (const char* folder : { "a", "b", "c" }) {
        Folder(QLatin1String(folder));
        three << MakePhoto(QStringLiteral("%1/base.jpg").arg(QLatin1String(folder)));
    }
    Import(three);
    EXPECT_EQ(Names(), QStringList({ "base", "base (2)", "base (3)" }));

    // "base (10)" sorts before "base (2)": the numbering must take the highest, not the last row.
    QStringList nine;
    for (int folder = 0; folder < 9; ++folder) {
        Folder(QStringLiteral("more%1").arg(folder));
        nine << MakePhoto(QStringLiteral("more%1/base.jpg").arg(folder));
    }
    Import(nine);
    const QStringList names = Names();
    EXPECT_EQ(names.size(), 12);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 12);
    EXPECT_TRUE(names.contains(QStringLiteral("base (12)")));
    // Names match literally: "base*" is no number of "base".
    EXPECT_EQ(import::MakeUniqueName(QStringLiteral("base*")), QStringLiteral("base*"));
}

TEST_F(ImportTest, FolderImportsSubfoldersFirstAllSuffixCasesAndReportsTheRest)
{
    const QString set = Folder(QStringLiteral("set"));
    Folder(QStringLiteral("set/sub"));
    const QString first = MakePhoto(QStringLiteral("set/sub/z.png"));
    const QStringList suffixes = { "a.JPG", "b.Jpeg", "c.PNG", "d.Tif", "e.TIFF", "f.BMP" };
    const QStringList formats = { "JPG", "JPEG", "PNG", "TIF", "TIFF", "BMP" };
    for (int i = 0; i < suffixes.size(); ++i) {
        MakePhoto(QStringLiteral("set/") + suffixes[i], 64, 48, formats[i].toLatin1().constData());
    }
    QFile text(Path(QStringLiteral("set/notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a photo");
    text.close();

    Import({ set });
    EXPECT_EQ(Names(), QStringList({ "a", "b", "c", "d", "e", "f", "z" }));
    // The sub-folder's photo came first and so became the canvas image.
    EXPECT_EQ(App().CurrentForegroundPath(), first);
    ASSERT_EQ(Batch().LastReports().size(), 1);
    EXPECT_EQ(Batch().LastReports()[0].text, kIncompatibleOne);
    EXPECT_EQ(Batch().LastReports()[0].paths, QStringList({ text.fileName() }));

    Import({ Path(QStringLiteral("set/a.JPG")) });
    ASSERT_EQ(Batch().LastReports().size(), 1);
    EXPECT_EQ(Batch().LastReports()[0].text, kExistsOne);
    EXPECT_EQ(Names().size(), 7);
}

TEST_F(ImportTest, AbortKeepsWhatWasImportedAndDifferentSizesWarnOnce)
{
    const QString a = MakePhoto(QStringLiteral("a.png"), 64, 48);
    const QString b = MakePhoto(QStringLiteral("b.png"), 80, 48);
    const QString c = MakePhoto(QStringLiteral("c.png"), 64, 48);
    Script().CancelProgressAfter(2);
    Import({ a, b, c });
    EXPECT_EQ(Names(), QStringList({ "a" }));
    Script().CancelProgressAfter(-1);

    const QString warning = QStringLiteral("One or more images you are trying to import has "
                                           "different dimensions to the others.\n\nManual "
                                           "adjustment may be required.");
    Import({ b });
    EXPECT_EQ(Script().Texts().count(warning), 1);
    Import({ MakePhoto(QStringLiteral("d.png"), 90, 30) });
    EXPECT_EQ(Script().Texts().count(warning), 1);
}

TEST_F(ImportTest, DroppedUrlsImportLocalFilesOnly)
{
    const QString photo = MakePhoto(QStringLiteral("dropped.png"));
    QMimeData mime;
    mime.setUrls({ QUrl::fromLocalFile(photo), QUrl(QStringLiteral("https://example.org/x.jpg")) });
    Batch().UpdateBatchList(&mime);
    EXPECT_EQ(Names(), QStringList({ "dropped" }));
    EXPECT_TRUE(Images().Find(photo));

    // The import button's dialog, with its own progress title.
    Script().Queue(QStringList({ MakePhoto(QStringLiteral("chosen.png")) }));
    Batch().ImportButton()->click();
    const auto& history = Script().History();
    ASSERT_GE(history.size(), 2u);
    EXPECT_EQ(history[history.size() - 2].text, QStringLiteral("Import foreground images"));
    EXPECT_EQ(history.back().title, QStringLiteral("Import Progress"));
    EXPECT_EQ(history.back().text, QStringLiteral("Importing files..."));
    EXPECT_EQ(Names(), QStringList({ "chosen", "dropped" }));
}

TEST_F(ImportTest, PipeNamedLikeAPhotoIsRefusedWithoutBlocking)
{
    const QString pipe = Path(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    Import({ pipe });
    EXPECT_TRUE(Names().isEmpty());
    ASSERT_EQ(Batch().LastReports().size(), 1);
    EXPECT_EQ(Batch().LastReports()[0].paths, QStringList({ pipe }));
    // Nor does the preview read it when a project names it as a thumbnail.
    Batch().Preview()->UpdateThumbnail(pipe, app::ForegroundLayer);
    EXPECT_EQ(
        Batch().Preview()->Image(), QImage(QStringLiteral(":/DragDropWindow/DragAndDrop.png")));
}

// --- The first photo and the canvas ---------------------------------------------------------

TEST_F(ImportTest, FirstImportBecomesCanvasImageAndSizesTheCanvas)
{
    Project().GetCanvas().SetDimensionType(app::DimensionAsForeground);
    const QString first = MakePhoto(QStringLiteral("first.png"), 120, 90);
    const QString second = MakePhoto(QStringLiteral("second.png"), 60, 40);
    Import({ first, second });
    EXPECT_EQ(App().CurrentForegroundPath(), first);
    EXPECT_EQ(Project().GetCanvas().Width(), 120u);
    EXPECT_EQ(Project().GetCanvas().Height(), 90u);
    EXPECT_TRUE(HasIcon(first, import::RowIcon::Viewed));
    EXPECT_TRUE(HasIcon(second, import::RowIcon::Unviewed));
}

TEST_F(ImportTest, FirstPhotoAboveTheCanvasLimitIsRefusedWithTheCanvasWarning)
{
    Project().GetCanvas().SetDimensionType(app::DimensionAsForeground);
    const unsigned width = Project().GetCanvas().Width();
    const unsigned height = Project().GetCanvas().Height();
    Import({ MakeHugeHeaderBmp(QStringLiteral("huge.bmp"), 6000, 4500) });
    EXPECT_TRUE(Script().Texts().contains(
        QStringLiteral("The canvas cannot be 6000 x 4500 pixels: a canvas may hold at most "
                       "25,000,000 pixels.")));
    EXPECT_EQ(Project().GetCanvas().Width(), width);
    EXPECT_EQ(Project().GetCanvas().Height(), height);
}

// --- Previewing and showing -------------------------------------------------------------------

TEST_F(ImportTest, ClickPreviewsWhileDoubleClickReturnAndViewShow)
{
    const QString a = MakePhoto(QStringLiteral("a.png"));
    const QString b = MakePhoto(QStringLiteral("b.png"));
    const QString c = MakePhoto(QStringLiteral("c.png"));
    Import({ a, b, c });
    ASSERT_EQ(App().CurrentForegroundPath(), a);
    QWidget* viewport = List().viewport();
    QPushButton* view = Batch().Preview()->ViewButton();

    QTest::mouseClick(viewport, Qt::LeftButton, {}, List().visualRect(RowOf(b)).center());
    EXPECT_EQ(App().CurrentForegroundPath(), a);
    EXPECT_EQ(List().currentIndex().row(), RowOf(b).row());
    EXPECT_FALSE(view->isHidden());
    EXPECT_FALSE(Images().Get(b)->IsViewed());
    EXPECT_EQ(Batch().Preview()->Image(), QImage(Images().Get(b)->ThumbnailFilename()));

    QTest::mouseDClick(viewport, Qt::LeftButton, {}, List().visualRect(RowOf(b)).center());
    EXPECT_EQ(App().CurrentForegroundPath(), b);
    EXPECT_TRUE(App().BatchModel()->item(RowOf(b).row())->font().bold());
    EXPECT_FALSE(App().BatchModel()->item(RowOf(a).row())->font().bold());
    EXPECT_TRUE(HasIcon(b, import::RowIcon::Viewed));

    QTest::mouseClick(viewport, Qt::LeftButton, {}, List().visualRect(RowOf(c)).center());
    QTest::keyClick(&List(), Qt::Key_Return);
    EXPECT_EQ(App().CurrentForegroundPath(), c);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, List().visualRect(RowOf(a)).center());
    ASSERT_FALSE(view->isHidden());
    view->click();
    EXPECT_EQ(App().CurrentForegroundPath(), a);
    EXPECT_TRUE(view->isHidden());
}

TEST_F(ImportTest, NavigationStepsThroughTheRowsAndStopsAtTheEnds)
{
    const QString a = MakePhoto(QStringLiteral("a.png"));
    const QString b = MakePhoto(QStringLiteral("b.png"));
    Import({ a, b });
    emit m_section->NavigateButtonClicked(+1, true);
    EXPECT_EQ(App().CurrentForegroundPath(), b);
    emit m_section->NavigateButtonClicked(+1, true);
    EXPECT_EQ(App().CurrentForegroundPath(), b);
    emit m_section->NavigateButtonClicked(-1, false);
    EXPECT_EQ(App().CurrentForegroundPath(), b);
    EXPECT_EQ(List().currentIndex().row(), RowOf(a).row());
}

TEST_F(ImportTest, UniqueOnRendersNothingAndOffReturnsToSharedSettingsAndRenders)
{
    const QString a = MakePhoto(QStringLiteral("a.png"));
    Import({ a });
    QSignalSpy full(
        &App(), qOverload<orv::image::OVDownsampleFactor>(&Application::CanvasRefreshRequested));
    QSignalSpy layer(&App(),
        qOverload<app::LayerID, app::Stage, orv::image::OVDownsampleFactor>(
            &Application::CanvasRefreshRequested));
    QSignalSpy button(m_section.get(), &ImportSection::UpdateUniqueButton);

    emit m_section->SetUnique();
    EXPECT_TRUE(Images().Get(a)->IsUnique());
    EXPECT_TRUE(HasIcon(a, import::RowIcon::Unique));
    EXPECT_EQ(full.count() + layer.count(), 0);
    ASSERT_EQ(button.count(), 1);
    EXPECT_EQ(button[0][0].toBool(), true);
    EXPECT_NE(Images().Get(a)->ForegroundSettings(), Images().DefaultForegroundSettings());

    emit m_section->SetUnique();
    EXPECT_FALSE(Images().Get(a)->IsUnique());
    EXPECT_TRUE(HasIcon(a, import::RowIcon::Viewed));
    EXPECT_EQ(Images().Get(a)->ForegroundSettings(), Images().DefaultForegroundSettings());
    EXPECT_GE(full.count(), 1);
}

TEST_F(ImportTest, RemovingTheLastPhotoClearsCanvasForegroundAndPreview)
{
    const QString a = MakePhoto(QStringLiteral("a.png"));
    const QString b = MakePhoto(QStringLiteral("b.png"));
    Import({ a, b });
    Script().Queue(QMessageBox::Yes);
    Batch().RemoveForegroundImage();
    EXPECT_EQ(Names(), QStringList({ "b" }));
    EXPECT_EQ(App().CurrentForegroundPath(), b);

    Script().Queue(QMessageBox::Cancel);
    Batch().RemoveAllForegroundImages();
    EXPECT_EQ(Names().size(), 1);
    Script().Queue(QMessageBox::Yes);
    Batch().RemoveAllForegroundImages();
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_EQ(Images().Size(), 0u);
    EXPECT_TRUE(App().CurrentForegroundPath().isEmpty());
    EXPECT_FALSE(App().GetRenderEngine().IsLayerSet(app::ForegroundLayer));
    EXPECT_EQ(
        Batch().Preview()->Image(), QImage(QStringLiteral(":/DragDropWindow/DragAndDrop.png")));
}

// --- Offline photos ---------------------------------------------------------------------------

TEST_F(ImportTest, MovedPhotoIsOfflineAndCancelFindRemoveBehave)
{
    const QString a = MakePhoto(QStringLiteral("a.png"));
    const QString b = MakePhoto(QStringLiteral("b.png"));
    const QString c = MakePhoto(QStringLiteral("c.png"));
    Import({ a, b, c });
    Script().Clear();
    Batch().List()->ListItemClicked(RowOf(b), true);
    Batch().MakeImageUnique();
    ASSERT_TRUE(Images().Get(b)->IsUnique());
    Batch().List()->ListItemClicked(RowOf(a), true);
    Folder(QStringLiteral("moved"));
    const QString moved = Path(QStringLiteral("moved/b.png"));
    ASSERT_TRUE(QFile::rename(b, moved));
    Reopen(Path(QStringLiteral("offline.mtb")));

    const int row = App().BatchRowOfPath(b);
    ASSERT_GE(row, 0);
    EXPECT_TRUE(App().IsBatchRowOffline(row));
    EXPECT_TRUE(HasIcon(b, import::RowIcon::Offline));
    const auto uniqueSettings = Images().Get(b)->ForegroundSettings();
    const auto defaults = Images().DefaultForegroundSettings();
    ASSERT_NE(uniqueSettings, defaults);

    // Cancel: the row stays offline and the canvas keeps its photo.
    Script().Queue(2);
    List().ListItemClicked(RowOf(b), true);
    ASSERT_EQ(Script().History().back().what, QStringLiteral("choice"));
    EXPECT_EQ(Script().History().back().text, kRelocate);
    EXPECT_EQ(Script().History().back().buttons, QStringList({ "Find", "Remove", "Cancel" }));
    EXPECT_TRUE(App().IsBatchRowOffline(App().BatchRowOfPath(b)));
    EXPECT_EQ(App().CurrentForegroundPath(), a);

    // Find a file already in the batch: refused, nothing changes.
    Script().Queue(0);
    Script().Queue(c);
    List().ListItemClicked(RowOf(b), true);
    EXPECT_TRUE(Script().Texts().contains(kExistsOne + c));
    EXPECT_TRUE(Images().Find(b));

    // Find the moved file: same base name, so the name stays; unique settings travel along.
    Script().Queue(0);
    Script().Queue(moved);
    List().ListItemClicked(RowOf(b), true);
    EXPECT_FALSE(Images().Find(b));
    ASSERT_TRUE(Images().Find(moved));
    EXPECT_FALSE(App().IsBatchRowOffline(App().BatchRowOfPath(moved)));
    EXPECT_EQ(App().CurrentForegroundPath(), moved);
    EXPECT_EQ(Project().CurrentForegroundPath(), moved);
    EXPECT_EQ(App().BatchNameOfRow(App().BatchRowOfPath(moved)), QStringLiteral("b"));
    const auto relinked = Images().Get(moved);
    EXPECT_TRUE(relinked->IsUnique());
    // The export looks the photo up by its path and finds these same settings.
    EXPECT_EQ(relinked->ForegroundSettings(), uniqueSettings);
    EXPECT_EQ(Images().DefaultForegroundSettings(), defaults);
    EXPECT_TRUE(HasIcon(moved, import::RowIcon::Unique));

    // Remove: asked, then gone.
    ASSERT_TRUE(QFile::remove(c));
    Script().Queue(1);
    Script().Queue(QMessageBox::Yes);
    List().ListItemClicked(RowOf(c), true);
    EXPECT_TRUE(Script().Texts().contains(kRemoveQuestion));
    EXPECT_FALSE(Images().Find(c));
    EXPECT_LT(App().BatchRowOfPath(c), 0);
}

TEST_F(ImportTest, RelinkToAnotherNameAsksAndRefusesNonImages)
{
    const QString a = MakePhoto(QStringLiteral("a.png"));
    Import({ a });
    const QString other = MakePhoto(QStringLiteral("other.png"));
    QFile text(Path(QStringLiteral("fake.png")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("no picture");
    text.close();
    ASSERT_TRUE(QFile::remove(a));

    Script().Queue(0);
    Script().Queue(text.fileName());
    List().ListItemClicked(RowOf(a), true);
    EXPECT_TRUE(Script().Texts().contains(kIncompatibleOne + text.fileName()));
    EXPECT_TRUE(Images().Find(a));

    Script().Queue(0);
    Script().Queue(other);
    Script().Queue(QMessageBox::No);
    List().ListItemClicked(RowOf(a), true);
    EXPECT_TRUE(Images().Find(a));

    Script().Queue(0);
    Script().Queue(other);
    Script().Queue(QMessageBox::Yes);
    List().ListItemClicked(RowOf(a), true);
    EXPECT_TRUE(Script().Texts().contains(QStringLiteral(
        "This file does not match the original, are you sure you wish to relink it?")));
    ASSERT_TRUE(Images().Find(other));
    EXPECT_EQ(Images().Get(other)->Filename(), QStringLiteral("other"));
    EXPECT_EQ(Names(), QStringList({ "other" }));
}

// --- Thumbnails -------------------------------------------------------------------------------

TEST_F(ImportTest, ThumbnailIsMadeAgainOnlyWhenTimeOrSizeChange)
{
    const QString photo = MakePhoto(QStringLiteral("t.png"), 800, 600);
    Import({ photo });
    const auto image = Images().Get(photo);
    const QString first = image->ThumbnailFilename();
    ASSERT_TRUE(QFileInfo::exists(first));
    QString cache;
    ASSERT_TRUE(Application::CacheFolder(cache));
    EXPECT_TRUE(first.startsWith(cache + QLatin1Char('/')));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("/\\d{17}/[0-9a-f]{32}\\.png$")).match(first).hasMatch());
    EXPECT_EQ(QImage(first).width(), 400);

    // Unchanged source: the thumbnail file is not written again.
    QFile thumbnail(first);
    ASSERT_TRUE(thumbnail.open(QIODevice::ReadWrite));
    const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
    ASSERT_TRUE(thumbnail.setFileTime(old, QFileDevice::FileModificationTime));
    thumbnail.close();
    ASSERT_TRUE(import::MakeThumbnail(photo, *image, nullptr));
    EXPECT_EQ(image->ThumbnailFilename(), first);
    EXPECT_EQ(QFileInfo(first).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());

    // A new modification time gives a new thumbnail.
    QFile source(photo);
    ASSERT_TRUE(source.open(QIODevice::ReadWrite));
    ASSERT_TRUE(source.setFileTime(
        QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime));
    source.close();
    ASSERT_TRUE(import::MakeThumbnail(photo, *image, nullptr));
    const QString second = image->ThumbnailFilename();
    EXPECT_NE(second, first);
    EXPECT_TRUE(QFileInfo::exists(second));

    // So does a new size with the same time.
    const QDateTime time = QFileInfo(photo).lastModified();
    MakePhoto(QStringLiteral("t.png"), 900, 600);
    ASSERT_TRUE(source.open(QIODevice::ReadWrite));
    ASSERT_TRUE(source.setFileTime(time, QFileDevice::FileModificationTime));
    source.close();
    ASSERT_TRUE(import::MakeThumbnail(photo, *image, nullptr));
    EXPECT_NE(image->ThumbnailFilename(), second);
}

TEST_F(ImportTest, ThumbnailOfAnExifRotatedPhotoIsUpright)
{
    const QString photo = Path(QStringLiteral("Landscape_6.jpg"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MTRA_TEST_DATA_DIR "/photos/Landscape_6.jpg"), photo));
    Import({ photo });
    const QImage thumbnail(Images().Get(photo)->ThumbnailFilename());
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_EQ(thumbnail.width(), 400);
    EXPECT_GT(thumbnail.width(), thumbnail.height());
    // Stored sideways (1200 x 1800); the header size is taken upright as well.
    EXPECT_EQ(App().FirstImageSize(), QSize(1800, 1200));
}

// --- Filling the list from a project -------------------------------------------------------------

TEST_F(ImportTest, OpenedProjectKeepsBatchedFlagsSortsAndRepairsStoredNames)
{
    const QString a = MakePhoto(QStringLiteral("a.png"));
    const QString b = MakePhoto(QStringLiteral("b.png"));
    const QString c = MakePhoto(QStringLiteral("c.png"));
    Import({ c, a, b });
    ASSERT_EQ(App().Document().SetImageBatched(b, true), app::MT_OK);
    Images().Get(c)->SetFilename(QStringLiteral("../../x"));
    Images().Get(a)->SetFilename(QStringLiteral("b"));
    Reopen(Path(QStringLiteral("names.mtb")));

    const QStringList names = Names();
    ASSERT_EQ(names.size(), 3);
    for (const QString& name : names) {
        EXPECT_FALSE(name.contains(QLatin1Char('/'))) << name.toStdString();
    }
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 3);
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(names, sorted);
    EXPECT_TRUE(App().IsBatchRowBatched(App().BatchRowOfPath(b)));
    EXPECT_FALSE(App().IsBatchRowBatched(App().BatchRowOfPath(a)));
    EXPECT_EQ(Images().Get(c)->Filename(), App().BatchNameOfRow(App().BatchRowOfPath(c)));
    // The project's current photo is on the canvas again.
    EXPECT_EQ(App().CurrentForegroundPath(), c);
}

TEST_F(ImportTest, SwitchedOffAndCollapsedBatchIsDimmedAndComesBackSoFromTheProject)
{
    const QString a = MakePhoto(QStringLiteral("a.png"));
    Import({ a });
    App().ClearInvalidationLog();
    QSignalSpy collapsed(&Batch(), &BatchImport::ForegroundIsCollapsed);
    Batch().SetEnabled(Qt::Unchecked);
    Batch().SetCollapsed(false);
    EXPECT_FALSE(Images().IsEnabled());
    EXPECT_FALSE(Batch().Preview()->IsBright());
    ASSERT_FALSE(App().InvalidationLog().empty());
    EXPECT_EQ(App().InvalidationLog().back().layer, int(app::ForegroundLayer));
    ASSERT_EQ(collapsed.count(), 1);
    EXPECT_TRUE(collapsed[0][0].toBool());
    EXPECT_TRUE(App().IsProjectModified());

    Reopen(Path(QStringLiteral("state.mtb")));
    EXPECT_FALSE(Batch().Title()->IsSwitchedOn());
    EXPECT_FALSE(Batch().Title()->IsExpanded());
    EXPECT_FALSE(Batch().Preview()->IsBright());

    // An empty batch starts switched on and expanded again.
    Reload(QString());
    EXPECT_TRUE(Batch().Title()->IsSwitchedOn());
    EXPECT_TRUE(Batch().Title()->IsExpanded());
    EXPECT_TRUE(Images().IsEnabled());
}

// --- Background ---------------------------------------------------------------------------------

TEST_F(ImportTest, BackgroundChangeDropAndRemove)
{
    SingleImport& background = *m_section->Background();
    Project().GetCanvas().SetDimensionType(app::DimensionAsBackground);
    const QString first = MakePhoto(QStringLiteral("bg.png"), 100, 70);
    Script().Queue(first);
    background.ChangeImage();
    ASSERT_TRUE(Project().GetBackgroundImage());
    EXPECT_EQ(Project().GetBackgroundImage()->Path(), first);
    EXPECT_EQ(Project().GetCanvas().Width(), 100u);
    EXPECT_TRUE(App().GetRenderEngine().IsLayerSet(app::BackgroundLayer));

    QMimeData two;
    two.setUrls({ QUrl::fromLocalFile(MakePhoto(QStringLiteral("x.png"))),
        QUrl::fromLocalFile(MakePhoto(QStringLiteral("y.png"))) });
    Script().Queue(QMessageBox::No);
    background.ReplaceImage(&two);
    EXPECT_TRUE(
        Script().Texts().contains(QStringLiteral("The background layer only supports 1 image?")));
    EXPECT_EQ(Project().GetBackgroundImage()->Path(), first);
    Script().Queue(QMessageBox::Ok);
    background.ReplaceImage(&two);
    EXPECT_EQ(Project().GetBackgroundImage()->Path(), Path(QStringLiteral("x.png")));

    Script().Queue(QMessageBox::No);
    background.RemoveImage();
    EXPECT_TRUE(Project().GetBackgroundImage());
    Script().Queue(QMessageBox::Yes);
    background.RemoveImage();
    EXPECT_TRUE(Script().Texts().contains(kRemoveQuestion));
    EXPECT_FALSE(Project().GetBackgroundImage());
    EXPECT_FALSE(App().GetRenderEngine().IsLayerSet(app::BackgroundLayer));
    EXPECT_EQ(
        background.Preview()->Image(), QImage(QStringLiteral(":/DragDropWindow/DragAndDrop.png")));
}

TEST_F(ImportTest, OfflineBackgroundIsRelinkedByAClickOnThePreview)
{
    SingleImport& background = *m_section->Background();
    const QString file = MakePhoto(QStringLiteral("bg.png"));
    ASSERT_TRUE(background.LoadSingleImage(file));
    Folder(QStringLiteral("moved"));
    const QString moved = Path(QStringLiteral("moved/bg.png"));
    ASSERT_TRUE(QFile::rename(file, moved));
    Reopen(Path(QStringLiteral("bg.mtb")));
    EXPECT_TRUE(background.IsOffline());
    EXPECT_EQ(background.Preview()->Image(),
        QImage(QStringLiteral(":/DragDropWindow/OfflinePreview.png")));

    Script().Queue(moved);
    QTest::mouseClick(background.Preview(), Qt::LeftButton);
    EXPECT_EQ(Script().History().back().text, QStringLiteral("Relink background image"));
    EXPECT_FALSE(background.IsOffline());
    EXPECT_EQ(Project().GetBackgroundImage()->Path(), moved);
}

TEST_F(ImportTest, ProjectOpenedAfterADisabledBackgroundStillLoadsItsBackground)
{
    SingleImport& background = *m_section->Background();
    const QString own = MakePhoto(QStringLiteral("own.png"));
    ASSERT_TRUE(App().SetBackgroundLayerImage(own));
    const QString saved = Path(QStringLiteral("with-background.mtb"));
    ASSERT_EQ(App().Document().Save(saved), app::MT_OK);

    Reload(QString());
    ASSERT_TRUE(background.LoadSingleImage(MakePhoto(QStringLiteral("other.png"))));
    background.SetEnabled(Qt::Unchecked);
    EXPECT_FALSE(Project().GetBackgroundImage()->IsEnabled());
    // Switched off, the group takes no new picture from the user.
    EXPECT_FALSE(background.LoadSingleImage(MakePhoto(QStringLiteral("third.png"))));

    Reload(saved);
    EXPECT_TRUE(background.IsGroupEnabled());
    EXPECT_EQ(background.CurrentPath(), own);
    EXPECT_TRUE(App().GetRenderEngine().IsLayerSet(app::BackgroundLayer));
    EXPECT_TRUE(Project().GetBackgroundImage()->IsEnabled());
    // Loading the project's own picture again is no edit.
    EXPECT_FALSE(App().IsProjectModified());
}

TEST_F(ImportTest, OverlayPageHostsTheOverlayGroup)
{
    OverlaySection overlaySection;
    auto* overlay = qobject_cast<SingleImport*>(overlaySection.ImportWidget());
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->Layer(), app::OverlayLayer);
    const QString file = MakePhoto(QStringLiteral("overlay.png"), 50, 50);
    Script().Queue(file);
    overlay->ChangeImage();
    EXPECT_EQ(Script().History().back().text, QStringLiteral("Import overlay image"));
    ASSERT_TRUE(Project().GetOverlayImage());
    EXPECT_EQ(Project().GetOverlayImage()->Path(), file);
    EXPECT_TRUE(App().GetRenderEngine().IsLayerSet(app::OverlayLayer));

    QMimeData two;
    two.setUrls({ QUrl::fromLocalFile(file), QUrl::fromLocalFile(file) });
    Script().Queue(QMessageBox::No);
    overlay->ReplaceImage(&two);
    EXPECT_TRUE(
        Script().Texts().contains(QStringLiteral("The overlay layer only supports 1 image?")));
}

TEST_F(ImportTest, ShowingTheImportPageAgainShowsTheCurrentRowsThumbnail)
{
    m_section.reset();
    ToolboxDockWidget toolbox(QStringLiteral("Toolbox"));
    toolbox.ChangePage(app::SectionKey);
    auto* page = qobject_cast<ImportSection*>(toolbox.Page(app::SectionImport));
    ASSERT_NE(page, nullptr);
    const QString a = MakePhoto(QStringLiteral("a.png"));
    const QString b = MakePhoto(QStringLiteral("b.png"), 48, 64);
    page->Batch()->ImportPaths({ a, b }, QStringLiteral("Progress"));
    page->Batch()->Preview()->ShowPlaceholder();
    toolbox.ChangePage(app::SectionImport);
    EXPECT_EQ(page->Batch()->Preview()->Image(), QImage(Images().Get(a)->ThumbnailFilename()));

    // The canvas's buttons reach the batch through the toolbox.
    emit toolbox.NavigateButtonClicked(+1, true);
    EXPECT_EQ(App().CurrentForegroundPath(), b);
    QSignalSpy unique(&toolbox, &ToolboxDockWidget::UpdateUniqueButton);
    emit toolbox.SetUnique();
    EXPECT_TRUE(Images().Get(b)->IsUnique());
    ASSERT_EQ(unique.count(), 1);
    EXPECT_TRUE(unique[0][0].toBool());
    EXPECT_TRUE(unique[0][1].toBool());
}

} // namespace
} // namespace mtra::ui::test
