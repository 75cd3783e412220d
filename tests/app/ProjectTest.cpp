// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "XmlTestSupport.h"

#include "FileWriteOps.h"

#include <app/FilterItems.h>
#include <app/Project.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <unistd.h>

using namespace mtra::app;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(text), text.size());
}

QByteArray DefaultDocument()
{
    Project project(*std::make_unique<MTerr>());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("default.mtrabatch"));
    EXPECT_EQ(project.SaveToXml(path, QStringLiteral("1.0.0020"), QStringLiteral("1.0")), MT_OK);
    return ReadAll(path);
}

std::shared_ptr<BrightnessFilterItem> FirstBrightness(const ForegroundImageSettings& settings)
{
    return std::dynamic_pointer_cast<BrightnessFilterItem>(*settings.Filters().Begin());
}

std::shared_ptr<ForegroundImage> Image(const QString& path)
{
    return std::make_shared<ForegroundImage>(
        QStringLiteral("name"), path, true, false, false, true);
}

// A loaded project and the file it came from, in a folder of its own.
struct ProjectFile {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("p.mtrabatch"));
};

class ProjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MTerr result = MT_XML_INVALID;
        m_project = std::make_unique<Project>(result);
        ASSERT_EQ(result, MT_OK);
    }

    ForegroundImageList& Batch() { return m_project->GetForegroundImageList(); }

    MTerr Save(const QString& path) const
    {
        return m_project->SaveToXml(path, QStringLiteral("1.0.0021"), QStringLiteral("1.0"));
    }

    std::unique_ptr<Project> m_project;
};

TEST_F(ProjectTest, NewProjectHoldsTheDefaultDocument)
{
    const Project& p = *m_project;
    EXPECT_EQ(p.ApplicationVersion(), QStringLiteral("1.0.0020"));
    EXPECT_EQ(p.GetCanvas().Width(), 800u);
    EXPECT_EQ(p.GetCanvas().Height(), 1200u);
    EXPECT_EQ(p.GetCanvas().DPI(), 200);
    EXPECT_EQ(p.GetExportSettings().Format(), FormatPNG);
    EXPECT_EQ(p.CurrentLayer(), ForegroundLayer);
    EXPECT_EQ(p.GetBackgroundImage(), nullptr);
    EXPECT_EQ(p.GetOverlayImage(), nullptr);
    const auto fg = Batch().DefaultForegroundSettings();
    ASSERT_NE(fg, nullptr);
    EXPECT_EQ(fg->Filters().Size(), 7u);
    EXPECT_EQ(fg->Keys().Size(), 4u);
    EXPECT_EQ(fg->Compositors().Size(), 2u);
    EXPECT_EQ(fg->Transforms().Size(), 1u);
    EXPECT_EQ(Batch().DefaultOverlaySettings()->Transforms().Size(), 2u);
    EXPECT_EQ(Batch().DefaultBackgroundSettings()->Filters().Size(), 7u);
}

TEST_F(ProjectTest, LoadingSetsActiveFlagsFromTheItemsEffect)
{
    // Every default filter is neutral, so none may count as active after a load; the widget
    // would show them so.
    const auto fg = Batch().DefaultForegroundSettings();
    EXPECT_EQ(fg->Filters().ActiveCount(), 0u);
    EXPECT_EQ(fg->Transforms().ActiveCount(), 1u);

    FirstBrightness(*fg)->SetBrightness(0.5);
    ASSERT_EQ(Batch().Add(Image(QStringLiteral("/a.png"))), MT_OK);
    Batch().Get(QStringLiteral("/a.png"))->SetUnique(true);
    ProjectFile file;
    ASSERT_EQ(Save(file.path), MT_OK);
    MTerr result = MT_XML_INVALID;
    Project loaded(file.path, result);
    ASSERT_EQ(result, MT_OK);
    const auto image = loaded.GetForegroundImageList().Get(QStringLiteral("/a.png"));
    ASSERT_TRUE(image->IsUnique());
    EXPECT_TRUE(FirstBrightness(*image->ForegroundSettings())->IsActive());
    EXPECT_EQ(image->ForegroundSettings()->Filters().ActiveCount(), 1u);
    EXPECT_EQ(
        loaded.GetForegroundImageList().DefaultForegroundSettings()->Filters().ActiveCount(), 1u);
}

TEST_F(ProjectTest, SaveThenLoadGivesTheSameProjectAndOneLine)
{
    m_project->GetCanvas().SetDimensions(1000, 700);
    m_project->GetCanvas().SetScale(0.5f);
    m_project->GetExportSettings().SetPrefix(L"pre (1)");
    m_project->SetCurrentToolset(SectionExport);
    m_project->SetCurrentLayer(OverlayLayer);
    m_project->SetToolsetState(ToolsetCollapsed);
    m_project->SetCurrentThumbnailFolder(QStringLiteral("20240102030405006"));
    m_project->SetBackgroundImage(std::make_shared<BackgroundImage>(
        QStringLiteral("bg.png"), QStringLiteral("/x/bg.png"), true));
    ASSERT_EQ(Batch().Add(Image(QStringLiteral("/b.png"))), MT_OK);
    ASSERT_EQ(Batch().Add(Image(QStringLiteral("/a.png"))), MT_OK);
    m_project->SetCurrentForegroundPath(QStringLiteral("/b.png"));

    ProjectFile file;
    ASSERT_EQ(Save(file.path), MT_OK);
    const QByteArray bytes = ReadAll(file.path);
    // One line: the only line break is the one that ends the document.
    EXPECT_EQ(bytes.count('\n'), 1);
    EXPECT_TRUE(bytes.endsWith("</project>\n"));
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?><project>"));
    EXPECT_LT(bytes.indexOf("<path><![CDATA[/a.png"), bytes.indexOf("<path><![CDATA[/b.png"))
        << "batch in path order";

    MTerr result = MT_XML_INVALID;
    Project loaded(file.path, result);
    ASSERT_EQ(result, MT_OK);
    EXPECT_EQ(loaded.GetCanvas().Width(), 1000u);
    EXPECT_EQ(loaded.GetCanvas().Scale(), 0.5f);
    EXPECT_EQ(loaded.GetExportSettings().Prefix(), L"pre (1)");
    EXPECT_EQ(loaded.CurrentToolset(), SectionExport);
    EXPECT_EQ(loaded.CurrentLayer(), OverlayLayer);
    EXPECT_EQ(loaded.ToolsetState(), ToolsetCollapsed);
    EXPECT_EQ(loaded.CurrentThumbnailFolder(), QStringLiteral("20240102030405006"));
    EXPECT_EQ(loaded.CurrentForegroundPath(), QStringLiteral("/b.png"));
    EXPECT_EQ(loaded.ApplicationVersion(), QStringLiteral("1.0.0021"));
    ASSERT_NE(loaded.GetBackgroundImage(), nullptr);
    EXPECT_EQ(loaded.GetBackgroundImage()->Path(), QStringLiteral("/x/bg.png"));
    EXPECT_EQ(loaded.GetBackgroundImage()->Filename(), QStringLiteral("bg.png"));
    EXPECT_EQ(loaded.GetForegroundImageList().Size(), 2u);

    // Saved again, the document is the same byte for byte: nothing was lost or reordered.
    ProjectFile again;
    ASSERT_EQ(
        loaded.SaveToXml(again.path, QStringLiteral("1.0.0021"), QStringLiteral("1.0")), MT_OK);
    EXPECT_EQ(ReadAll(again.path), bytes);
}

TEST_F(ProjectTest, MissingFileGivesOneAndANewProject)
{
    MTerr result = MT_OK;
    Project project(QStringLiteral("/nonexistent/p.mtrabatch"), result);
    EXPECT_EQ(result, MT_FILE_OPEN_FAILED);
    EXPECT_EQ(project.GetCanvas().Width(), 800u);
    EXPECT_EQ(project.GetForegroundImageList().Get(QString())->ForegroundSettings(),
        project.GetForegroundImageList().DefaultForegroundSettings());
}

// A saved default project with one text replaced, and the code loading it gives.
struct Damage {
    const char* name;
    QByteArray from;
    QByteArray to;
    MTerr expected;
};

class ProjectDamageTest : public ::testing::TestWithParam<Damage>
{
};

TEST_P(ProjectDamageTest, LoadReportsTheCodeAndFallsBackToTheDefaults)
{
    QByteArray document = DefaultDocument();
    ASSERT_TRUE(document.contains(GetParam().from)) << GetParam().from.toStdString();
    document.replace(GetParam().from, GetParam().to);
    ProjectFile file;
    WriteText(file.path, document);
    MTerr result = MT_OK;
    Project project(file.path, result);
    EXPECT_EQ(result, GetParam().expected);
    // Whatever failed, the project carries the default document's values.
    EXPECT_EQ(project.CurrentLayer(), ForegroundLayer);
    EXPECT_EQ(project.GetCanvas().Width(), 800u);
    EXPECT_TRUE(project.GetExportSettings().Prefix().empty());
    EXPECT_NE(project.GetForegroundImageList().Get(QString())->ForegroundSettings(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, ProjectDamageTest,
    ::testing::Values(
        Damage { "LayerThree", "<currentLayer>1<", "<currentLayer>3<", MT_XML_INVALID },
        Damage { "ToolsetEight", "<currentToolset>0<", "<currentToolset>8<", MT_XML_INVALID },
        Damage { "NotWellFormed", "</project>", "</projec>", MT_XML_PARSE_FAILED },
        Damage { "NoProject", "<project>", "<projekt>", MT_XML_PARSE_FAILED },
        Damage { "WidthZero", "<width>800<", "<width>0<", MT_XML_INVALID },
        Damage { "CanvasTooLarge", "<width>800<", "<width>20834<", MT_XML_INVALID },
        Damage { "CanvasOverflowsInt", "<width>800<", "<width>4294967295<", MT_XML_INVALID },
        Damage { "PrefixEscapes", "<prefix><![CDATA[]]>", "<prefix><![CDATA[../../x]]>",
            MT_XML_INVALID },
        Damage { "SuffixSlash", "<suffix><![CDATA[]]>", "<suffix><![CDATA[a/b]]>", MT_XML_INVALID },
        Damage { "PrefixTooLong", "<prefix><![CDATA[]]>",
            "<prefix><![CDATA[abcdefghijklmnopqrstu]]>", MT_XML_INVALID },
        Damage { "NoImageList", "foregroundImageList", "foregroundImageLost", MT_XML_INVALID },
        Damage { "BadDefaultFilter", "<saturation>1<", "<saturation>x<", MT_XML_INVALID }),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ProjectLoadTest, CanvasOfTheLargestSizeAndOtherFileFormatsLoad)
{
    QByteArray document = DefaultDocument();
    document.replace("<width>800<", "<width>5000<").replace("<height>1200<", "<height>5000<");
    document.replace("<fileFormat><![CDATA[1.0]]>", "<fileFormat><![CDATA[7.3]]>");
    document.replace("<prefix><![CDATA[]]>", "<prefix><![CDATA[Übung-(2) & x.y_z]]>");
    document.replace("<suffix><![CDATA[]]>", "<suffix><![CDATA[_cafe\xcc\x81]]>");
    ProjectFile file;
    WriteText(file.path, document);
    MTerr result = MT_XML_INVALID;
    Project project(file.path, result);
    EXPECT_EQ(result, MT_OK);
    EXPECT_EQ(project.GetCanvas().Width(), 5000u);
    EXPECT_EQ(project.FileFormat(), QStringLiteral("7.3"));
}

TEST(ProjectLoadTest, ThumbnailFolderIsKeptOnlyInItsGeneratedForm)
{
    for (const auto& [stored, kept] : std::vector<std::pair<QString, QString>> {
             { QStringLiteral("20240102030405006"), QStringLiteral("20240102030405006") },
             { QStringLiteral("../../home"), QString() }, { QStringLiteral("/"), QString() },
             { QStringLiteral("2024010203040500"), QString() } }) {
        QByteArray document = DefaultDocument();
        document.replace("<currentThumbnailFolder><![CDATA[]]>",
            "<currentThumbnailFolder><![CDATA[" + stored.toUtf8() + "]]>");
        ProjectFile file;
        WriteText(file.path, document);
        MTerr result = MT_XML_INVALID;
        Project project(file.path, result);
        EXPECT_EQ(result, MT_OK);
        EXPECT_EQ(project.CurrentThumbnailFolder(), kept) << stored.toStdString();
    }
}

TEST(ProjectLoadTest, ImagesOfAFailedFileStayAndUseTheNewDefaults)
{
    QByteArray document = DefaultDocument();
    const QByteArray image = "<foregroundImage enabled=\"1\" viewed=\"0\" batched=\"1\" "
                             "unique=\"0\"><filename>a</filename><path>/a.png</path>"
                             "<thumbnail></thumbnail></foregroundImage>";
    document.replace("</foregroundImageList>", image + "</foregroundImageList>");
    document.replace("<currentLayer>1<", "<currentLayer>3<");
    ProjectFile file;
    WriteText(file.path, document);
    MTerr result = MT_OK;
    Project project(file.path, result);
    EXPECT_EQ(result, MT_XML_INVALID);
    const auto& batch = project.GetForegroundImageList();
    ASSERT_TRUE(batch.Find(QStringLiteral("/a.png")));
    EXPECT_EQ(batch.Get(QStringLiteral("/a.png"))->ForegroundSettings(),
        batch.DefaultForegroundSettings());
}

TEST(ProjectLoadTest, DamagedImagesAreKeptSharedOrDropped)
{
    QByteArray document = DefaultDocument();
    const QByteArray images
        // The first of two images with one path wins.
        = "<foregroundImage enabled=\"1\" viewed=\"1\" batched=\"1\" unique=\"0\">"
          "<filename>first</filename><path>/a.png</path><thumbnail/></foregroundImage>"
          "<foregroundImage enabled=\"1\" viewed=\"1\" batched=\"1\" unique=\"0\">"
          "<filename>second</filename><path>/a.png</path><thumbnail/></foregroundImage>"
          // Unique, but its settings do not load: kept as a shared image.
          "<foregroundImage enabled=\"1\" viewed=\"1\" batched=\"1\" unique=\"1\">"
          "<filename>b</filename><path>/b.png</path><thumbnail/>"
          "<foregroundImageSettings><keyList><noSuchItem/></keyList></foregroundImageSettings>"
          "</foregroundImage>"
          // No path: dropped, so Get("") still gives the empty image.
          "<foregroundImage enabled=\"1\" viewed=\"1\" batched=\"1\" unique=\"0\">"
          "<filename>c</filename></foregroundImage>"
          "<foregroundImage enabled=\"1\"><path></path></foregroundImage>";
    document.replace("</foregroundImageList>", images + "</foregroundImageList>");
    ProjectFile file;
    WriteText(file.path, document);
    MTerr result = MT_XML_INVALID;
    Project project(file.path, result);
    ASSERT_EQ(result, MT_OK);
    const auto& batch = project.GetForegroundImageList();
    EXPECT_EQ(batch.Size(), 2u);
    EXPECT_EQ(batch.Get(QStringLiteral("/a.png"))->Filename(), QStringLiteral("first"));
    const auto b = batch.Get(QStringLiteral("/b.png"));
    EXPECT_FALSE(b->IsUnique());
    EXPECT_EQ(b->ForegroundSettings(), batch.DefaultForegroundSettings());
    EXPECT_TRUE(batch.Get(QString(""))->Path().isEmpty());
    EXPECT_EQ(batch.Get(QString(""))->ForegroundSettings(), batch.DefaultForegroundSettings());
}

// Batch and unique settings

TEST_F(ProjectTest, BatchAddRemoveGetAndFind)
{
    EXPECT_EQ(Batch().Add(Image(QStringLiteral("/a.png"))), MT_OK);
    auto duplicate = Image(QStringLiteral("/a.png"));
    EXPECT_EQ(Batch().Add(duplicate), MT_IMAGE_ALREADY_LISTED);
    EXPECT_EQ(duplicate->ForegroundSettings(), nullptr) << "a refused image is left unchanged";
    EXPECT_EQ(Batch().Add(Image(QString())), MT_IMAGE_ALREADY_LISTED);
    EXPECT_EQ(Batch().Add(nullptr), MT_IMAGE_ALREADY_LISTED);
    EXPECT_EQ(Batch().Size(), 1u);

    const auto empty = Batch().Get(QString());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(Batch().Get(QStringLiteral("")), empty);
    EXPECT_EQ(Batch().Get(QStringLiteral("/unknown.png")), empty);
    EXPECT_EQ(empty->ForegroundSettings(), Batch().DefaultForegroundSettings());
    EXPECT_TRUE(Batch().Find(QStringLiteral("/a.png")));
    EXPECT_EQ(Batch().Get(QStringLiteral("/a.png"))->ForegroundSettings(),
        Batch().DefaultForegroundSettings());

    EXPECT_EQ(Batch().Remove(QStringLiteral("/b.png")), MT_IMAGE_NOT_LISTED);
    EXPECT_EQ(Batch().Remove(QStringLiteral("/a.png")), MT_OK);
    EXPECT_FALSE(Batch().Find(QStringLiteral("/a.png")));
    Batch().Add(Image(QStringLiteral("/c.png")));
    Batch().Clear();
    EXPECT_EQ(Batch().Size(), 0u);
    EXPECT_EQ(Batch().Get(QString()), empty);
}

TEST_F(ProjectTest, UniqueCopiesAreIndependentAndKeepIds)
{
    ASSERT_EQ(Batch().Add(Image(QStringLiteral("/a.png"))), MT_OK);
    const auto image = Batch().Get(QStringLiteral("/a.png"));
    const auto defaultBrightness = FirstBrightness(*Batch().DefaultForegroundSettings());
    EXPECT_TRUE(image->SetUnique(true));
    const auto uniqueBrightness = FirstBrightness(*image->ForegroundSettings());
    EXPECT_NE(uniqueBrightness, defaultBrightness);
    EXPECT_EQ(uniqueBrightness->Id(), defaultBrightness->Id());

    defaultBrightness->SetBrightness(0.25);
    EXPECT_EQ(uniqueBrightness->Brightness(), 0.0);
    uniqueBrightness->SetBrightness(-0.5);
    image->SetUnique(true);
    EXPECT_EQ(FirstBrightness(*image->ForegroundSettings())->Brightness(), -0.5);
    image->SetUnique(false);
    EXPECT_EQ(FirstBrightness(*image->ForegroundSettings())->Brightness(), 0.25);

    ForegroundImage orphan;
    EXPECT_FALSE(orphan.SetUnique(true)) << "no defaults to copy";
    EXPECT_FALSE(orphan.IsUnique());
}

TEST_F(ProjectTest, UniqueImageIsWrittenAndReadBack)
{
    ASSERT_EQ(Batch().Add(Image(QStringLiteral("/u.png"))), MT_OK);
    ASSERT_EQ(Batch().Add(Image(QStringLiteral("/s.png"))), MT_OK);
    const auto image = Batch().Get(QStringLiteral("/u.png"));
    image->SetUnique(true);
    FirstBrightness(*image->ForegroundSettings())->SetBrightness(0.75);
    image->OverlaySettings()->Transforms().Clear();

    const auto shared = mtra::test::Write(*Batch().Get(QStringLiteral("/s.png")));
    EXPECT_FALSE(shared.xml.contains(QStringLiteral("ImageSettings")));
    const auto unique = mtra::test::Write(*image);
    ASSERT_EQ(unique.result, MT_OK);
    EXPECT_LT(unique.xml.indexOf(QStringLiteral("<foregroundImageSettings>")),
        unique.xml.indexOf(QStringLiteral("<backgroundImageSettings>")));

    ForegroundImage loaded;
    ASSERT_EQ(mtra::test::Load(loaded, unique.xml).result, MT_OK);
    ASSERT_TRUE(loaded.IsUnique());
    EXPECT_EQ(FirstBrightness(*loaded.ForegroundSettings())->Brightness(), 0.75);
    EXPECT_EQ(loaded.OverlaySettings()->Transforms().Size(), 0u);
    EXPECT_EQ(loaded.BackgroundSettings()->Filters().Size(), 7u);
    EXPECT_EQ(mtra::test::Write(loaded).xml, unique.xml);
}

TEST_F(ProjectTest, ImageWithoutItsFileIsOffline)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.png"));
    WriteText(path, "x");
    ASSERT_EQ(Batch().Add(Image(path)), MT_OK);
    EXPECT_TRUE(Batch().Get(path)->IsLinked());
    QFile::remove(path);
    EXPECT_FALSE(Batch().Get(path)->IsLinked());
    EXPECT_TRUE(Batch().Find(path));
}

// Saving never destroys the last good file

class FailingOps : public FileWriteOps
{
public:
    enum Step { OpenFails, ShortWrite, WriteToFullDisk, FlushFails, CommitFails };
    explicit FailingOps(Step step)
        : m_step(step)
    {
    }
    bool Open(QSaveFile& file) override { return m_step != OpenFails && FileWriteOps::Open(file); }
    qint64 Write(QSaveFile& file, const QByteArray& bytes) override
    {
        if (m_step == ShortWrite)
            return FileWriteOps::Write(file, bytes.left(bytes.size() / 2));
        if (m_step == WriteToFullDisk) {
            // The real error of a full disk: /dev/full refuses every write with ENOSPC.
            QFile full(QStringLiteral("/dev/full"));
            if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                return -1;
            FileWriteOps::Write(file, bytes.left(bytes.size() / 3));
            return full.write(bytes);
        }
        return FileWriteOps::Write(file, bytes);
    }
    bool Flush(QSaveFile& file) override
    {
        return m_step != FlushFails && FileWriteOps::Flush(file);
    }
    bool Commit(QSaveFile& file) override
    {
        if (m_step == CommitFails) {
            // As a failed rename: the temporary file is dropped, the target is untouched.
            file.cancelWriting();
            FileWriteOps::Commit(file);
            return false;
        }
        return FileWriteOps::Commit(file);
    }

private:
    Step m_step;
};

// What is on disk and in the project when the save fails.
enum class SaveShape {
    DefaultProject, // the default document over an earlier save of itself
    UniqueImageBatch, // a batch with a shared and a unique image
    LargeBatch, // a document far larger than any I/O buffer
    NoEarlierFile, // a first save: nothing may appear under the name
};

class SaveFailureTest : public ::testing::TestWithParam<std::tuple<FailingOps::Step, SaveShape>>
{
};

TEST_P(SaveFailureTest, OldFileStaysByteIdenticalAndNoTemporaryFileRemains)
{
    const auto [step, shape] = GetParam();
    MTerr result = MT_XML_INVALID;
    Project project(result);
    ForegroundImageList& batch = project.GetForegroundImageList();
    if (shape == SaveShape::UniqueImageBatch) {
        ASSERT_EQ(batch.Add(Image(QStringLiteral("/a/shared.png"))), MT_OK);
        ASSERT_EQ(batch.Add(Image(QStringLiteral("/a/unique.png"))), MT_OK);
        batch.Get(QStringLiteral("/a/unique.png"))->SetUnique(true);
    } else if (shape == SaveShape::LargeBatch) {
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(batch.Add(Image(QStringLiteral("/photos/shot-%1.jpg").arg(i))), MT_OK);
    }
    ProjectFile file;
    QByteArray before;
    if (shape != SaveShape::NoEarlierFile) {
        ASSERT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")), MT_OK);
        before = ReadAll(file.path);
    }

    project.GetCanvas().SetDimensions(1, 1);
    FailingOps ops(step);
    {
        ScopedFileWriteOps scoped(ops);
        EXPECT_EQ(project.SaveToXml(file.path, QStringLiteral("2"), QStringLiteral("1.0")),
            MT_XML_WRITE_FAILED);
    }
    const QStringList left
        = QDir(file.dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (shape == SaveShape::NoEarlierFile) {
        EXPECT_TRUE(left.isEmpty()) << left.join(QLatin1Char(' ')).toStdString();
    } else {
        EXPECT_EQ(ReadAll(file.path), before);
        EXPECT_EQ(left, QStringList { QStringLiteral("p.mtrabatch") });
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, SaveFailureTest,
    ::testing::Combine(
        ::testing::Values(FailingOps::OpenFails, FailingOps::ShortWrite,
            FailingOps::WriteToFullDisk, FailingOps::FlushFails, FailingOps::CommitFails),
        ::testing::Values(SaveShape::DefaultProject, SaveShape::UniqueImageBatch,
            SaveShape::LargeBatch, SaveShape::NoEarlierFile)));

TEST(SaveTest, ValueWithoutTextFormKeepsTheOldFile)
{
    MTerr result = MT_XML_INVALID;
    Project project(result);
    ProjectFile file;
    ASSERT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")), MT_OK);
    const QByteArray before = ReadAll(file.path);
    project.GetCanvas().SetScale(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")),
        MT_XML_WRITE_FAILED);
    project.GetCanvas().SetScale(1.0f);
    FirstBrightness(*project.GetForegroundImageList().DefaultForegroundSettings())
        ->SetBrightness(std::numeric_limits<double>::infinity());
    EXPECT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")),
        MT_XML_WRITE_FAILED);
    EXPECT_EQ(ReadAll(file.path), before);
}

// Saving never writes a file that does not load again: a string XML cannot hold is refused
// with the old file left as it was, and line breaks come back as they were written.
TEST(SaveTest, StringsXmlCannotHoldAreRefusedAndLineBreaksKept)
{
    MTerr result = MT_XML_INVALID;
    Project project(result);
    ProjectFile file;
    ASSERT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")), MT_OK);
    const QByteArray before = ReadAll(file.path);
    const QString control = QStringLiteral("/photos/a") + QChar(1) + QStringLiteral(".png");
    ASSERT_EQ(project.GetForegroundImageList().Add(Image(control)), MT_OK);
    EXPECT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")),
        MT_XML_WRITE_FAILED);
    EXPECT_EQ(ReadAll(file.path), before);

    ASSERT_EQ(project.GetForegroundImageList().Remove(control), MT_OK);
    const QString broken = QStringLiteral("/photos/two\r\nlines\r.png");
    ASSERT_EQ(project.GetForegroundImageList().Add(Image(broken)), MT_OK);
    project.SetCurrentForegroundPath(broken);
    ASSERT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")), MT_OK);
    Project loaded(file.path, result);
    ASSERT_EQ(result, MT_OK);
    EXPECT_TRUE(loaded.GetForegroundImageList().Find(broken));
    EXPECT_EQ(loaded.CurrentForegroundPath(), broken);
}

TEST(SaveTest, UnwritableTargetsFail)
{
    MTerr result = MT_XML_INVALID;
    Project project(result);
    EXPECT_EQ(project.SaveToXml(QStringLiteral("/nonexistent/dir/p.mtrabatch"), QStringLiteral("1"),
                  QStringLiteral("1.0")),
        MT_XML_WRITE_FAILED);
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the seam above covers it";
    ProjectFile file;
    ASSERT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")), MT_OK);
    const QByteArray before = ReadAll(file.path);
    QFile::setPermissions(file.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    project.GetCanvas().SetDimensions(1, 1);
    EXPECT_EQ(project.SaveToXml(file.path, QStringLiteral("1"), QStringLiteral("1.0")),
        MT_XML_WRITE_FAILED);
    QFile::setPermissions(
        file.dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(ReadAll(file.path), before);
}

} // namespace
