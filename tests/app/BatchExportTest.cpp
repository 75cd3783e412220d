// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "FileWriteOps.h"
#include "QtPrinters.h"

#include <app/BatchExport.h>
#include <app/ErrorTexts.h>
#include <app/PhotoReader.h>
#include <app/Project.h>
#include <app/RenderEngine.h>
#include <app/WholeFileWriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include <sys/stat.h>

using namespace mtra::app;

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Writes down what the run tells, one line per call.
class Recorder : public BatchObserver
{
public:
    void Started(int total) override { events << QStringLiteral("start %1").arg(total); }
    void FileStarted(int index, const BatchItem&) override
    {
        events << QStringLiteral("file %1").arg(index);
    }
    void FileDone(int index, const BatchItem&, BatchOutcome outcome, const QString& detail) override
    {
        events << QStringLiteral("%1 %2").arg(index).arg(OutcomeText(outcome));
        details << detail;
    }
    void Finished(int written, int skipped, int failed) override
    {
        events << QStringLiteral("end %1/%2/%3").arg(written).arg(skipped).arg(failed);
    }

    QStringList events;
    QStringList details;
};

// A batch in a folder of its own: a background and photos of plain colours, each on the
// export list, rendered with the default project's settings.
class BatchExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        root = QDir(m_dir.path());
        QImage background(kWidth, kHeight, QImage::Format_RGB32);
        background.fill(QColor(230, 140, 40));
        ASSERT_TRUE(background.save(Path("bg.png")));
        MTerr result = MT_XML_INVALID;
        project = std::make_shared<Project>(result);
        ASSERT_EQ(result, MT_OK);
        project->GetCanvas().SetDimensions(kWidth, kHeight);
        project->SetBackgroundImage(
            std::make_shared<BackgroundImage>(QStringLiteral("bg"), Path("bg.png"), true));
    }

    QString Path(const QString& name) const { return root.filePath(name); }
    QString Path(const char* name) const { return Path(QString::fromUtf8(name)); }

    // Adds a photo of one colour under `file`, listed as `name`.
    void AddPhoto(const char* file, const char* name, QColor colour, bool batched = true)
    {
        QImage photo(kWidth, kHeight, QImage::Format_RGB32);
        photo.fill(colour);
        ASSERT_TRUE(photo.save(Path(file)));
        ASSERT_EQ(project->GetForegroundImageList().Add(std::make_shared<ForegroundImage>(
                      QString::fromUtf8(name), Path(file), true, false, false, batched)),
            MT_OK);
    }

    BatchPlan Plan(const QString& prefix = QString(), bool all = false) const
    {
        ExportChoices choices;
        choices.outputDir = Path("out");
        choices.prefix = prefix;
        return PlanProjectBatch(project, choices, all);
    }

    BatchSummary Run(const BatchPlan& plan, Recorder& recorder, const BatchRunOptions& options = {})
    {
        std::unique_ptr<RenderEngine> engine;
        QString message;
        EXPECT_EQ(OpenExportEngine(plan, engine, message), MT_OK) << message.toStdString();
        return RunBatch(plan, engine.get(), recorder, options);
    }

    QTemporaryDir m_dir;
    QDir root;
    std::shared_ptr<Project> project;
};

TEST_F(BatchExportTest, PlansTheExportListByNameWithUniqueTargets)
{
    AddPhoto("c.png", "zeta", Qt::red);
    AddPhoto("a.png", "alpha", Qt::blue);
    AddPhoto("b.png", "unlisted", Qt::green, false);
    AddPhoto("d.png", "../escape", Qt::red);
    AddPhoto("e.png", "alpha", Qt::red); // a hand-made file: a second photo named "alpha"

    const BatchPlan plan = Plan(QStringLiteral("p_"));
    EXPECT_EQ(plan.outputDir, Path("out"));
    EXPECT_EQ(plan.format.extension, QStringLiteral("png"));
    ASSERT_EQ(plan.items.size(), 4u);
    // Sorted by name, ties in path order.
    EXPECT_EQ(plan.items[0].name, QStringLiteral("../escape"));
    EXPECT_TRUE(plan.items[0].target.isEmpty());
    EXPECT_EQ(plan.items[0].problem, UnsafeStoredNameText(QStringLiteral("../escape")));
    EXPECT_EQ(plan.items[1].source, Path("a.png"));
    EXPECT_EQ(plan.items[1].target, Path("out/p_alpha.png"));
    EXPECT_EQ(plan.items[2].source, Path("e.png"));
    EXPECT_TRUE(plan.items[2].target.isEmpty());
    EXPECT_EQ(plan.items[2].problem, SameTargetText(Path("out/p_alpha.png"), Path("a.png")));
    EXPECT_EQ(plan.items[3].target, Path("out/p_zeta.png"));

    EXPECT_EQ(Plan(QString(), true).items.size(), 5u);
}

// Each file holds its own photo's export, outcomes come in order (a written file is reported
// once the next photo has rendered, as it is written meanwhile), and a failure stops nothing.
TEST_F(BatchExportTest, WritesEachPhotosOwnPictureAndReportsInOrder)
{
    AddPhoto("a.png", "a", Qt::red);
    AddPhoto("b.png", "b", Qt::blue);
    WriteAll(Path("c.png"), "not a picture");
    ASSERT_EQ(project->GetForegroundImageList().Add(std::make_shared<ForegroundImage>(
                  QStringLiteral("c"), Path("c.png"), true, false, false, true)),
        MT_OK);
    ASSERT_EQ(project->GetForegroundImageList().Add(std::make_shared<ForegroundImage>(
                  QStringLiteral("d"), Path("gone.png"), true, false, false, true)),
        MT_OK);
    AddPhoto("e.png", "e", Qt::green);

    const BatchPlan plan = Plan();
    Recorder recorder;
    const BatchSummary summary = Run(plan, recorder);
    EXPECT_EQ(recorder.events,
        QStringList({ "start 5", "file 0", "file 1", "0 written", "file 2", "1 written", "2 failed",
            "file 3", "3 failed", "file 4", "4 written", "end 3/0/2" }));
    EXPECT_EQ(recorder.details[2], NotAnImageText());
    EXPECT_EQ(recorder.details[3], OfflineText());
    EXPECT_EQ(summary.written, 3);
    EXPECT_EQ(summary.failed, 2);
    EXPECT_FALSE(summary.cancelled);

    // The bytes are the engine's export of that photo, encoded as the run encodes.
    MTerr result = MT_XML_INVALID;
    RenderEngine engine(
        project, orv::image::Bits8, orv::image::PixelOrderBGRA, QRect(0, 0, 16, 16), result);
    ASSERT_EQ(engine.SetLayer(BackgroundLayer, Path("bg.png")), MT_OK);
    for (const char* name : { "a", "b", "e" }) {
        const QString photo = Path(QStringLiteral("%1.png").arg(QLatin1String(name)));
        QByteArray expected;
        ASSERT_TRUE(EncodeImage(engine.ExportQImage(photo, result), plan.format, expected));
        EXPECT_TRUE(
            ReadAll(Path(QStringLiteral("out/%1.png").arg(QLatin1String(name)))) == expected)
            << name;
    }
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files), QStringList({ "a.png", "b.png", "e.png" }));

    // The window passes over offline photos silently; an unreadable one still fails.
    BatchRunOptions window;
    window.skipOffline = true;
    window.replaceExisting = [](const BatchItem&) { return ReplaceAnswer::YesToAll; };
    Recorder again;
    const BatchSummary windowed = Run(plan, again, window);
    EXPECT_EQ(windowed.skipped, 1);
    EXPECT_EQ(windowed.failed, 1);
    EXPECT_TRUE(again.events.contains(QStringLiteral("3 skipped")));
}

// The question before an existing file is replaced, and what each answer does.
// Several photos in flight at once: the same files, byte for byte, the same outcomes and
// reasons, told in the batch's order, each photo started before it is done.
TEST_F(BatchExportTest, JobsWriteWhatOneJobWritesAndReportInOrder)
{
    const QColor colours[] = { Qt::red, Qt::blue, Qt::yellow, Qt::magenta, Qt::white, Qt::cyan };
    for (int i = 0; i < 6; ++i) {
        const QByteArray file = QStringLiteral("p%1.png").arg(i).toUtf8();
        const QByteArray name = QStringLiteral("p%1").arg(i).toUtf8();
        AddPhoto(file.constData(), name.constData(), colours[i]);
    }
    WriteAll(Path("p2.png"), "not a picture");
    ASSERT_EQ(project->GetForegroundImageList().Add(std::make_shared<ForegroundImage>(
                  QStringLiteral("p3b"), Path("gone.png"), true, false, false, true)),
        MT_OK);

    std::map<QString, QByteArray> firstFiles;
    QStringList firstDone;
    QStringList firstDetails;
    for (const int jobs : { 1, 3, 2 }) {
        ASSERT_TRUE(QDir(Path("out")).removeRecursively());
        BatchRunOptions options;
        options.jobs = jobs;
        Recorder recorder;
        const BatchSummary summary = Run(Plan(), recorder, options);
        EXPECT_EQ(summary.written, 5) << jobs;
        EXPECT_EQ(summary.failed, 2) << jobs;

        QStringList done;
        for (int i = 0; i < recorder.events.size(); ++i) {
            const QString& event = recorder.events[i];
            if (event.startsWith(QLatin1String("file ")) || event.startsWith(QLatin1String("start"))
                || event.startsWith(QLatin1String("end")))
                continue;
            done << event;
            const QString started = QStringLiteral("file ") + event.section(QLatin1Char(' '), 0, 0);
            EXPECT_LT(recorder.events.indexOf(started), i) << jobs << event.toStdString();
        }
        std::map<QString, QByteArray> files;
        for (const QString& name : QDir(Path("out")).entryList(QDir::Files))
            files[name] = ReadAll(Path(QStringLiteral("out/") + name));
        if (jobs == 1) {
            firstFiles = files;
            firstDone = done;
            firstDetails = recorder.details;
            EXPECT_EQ(files.size(), 5u);
        } else {
            EXPECT_EQ(done, firstDone) << jobs;
            EXPECT_EQ(recorder.details, firstDetails) << jobs;
            EXPECT_TRUE(files == firstFiles) << jobs;
        }
    }
}

TEST_F(BatchExportTest, ExistingFilesAreReplacedOnlyWhenTheQuestionSaysSo)
{
    AddPhoto("a.png", "a", Qt::red);
    AddPhoto("b.png", "b", Qt::blue);
    AddPhoto("c.png", "c", Qt::green);
    struct Case {
        const char* name;
        std::vector<ReplaceAnswer> answers; // given in turn
        int asked;
        QStringList outcomes; // per photo: what became of it, or "" when not reached
        bool cancelled;
    };
    const std::vector<Case> cases {
        { "No", { ReplaceAnswer::No }, 3, { "skipped", "skipped", "skipped" }, false },
        { "Yes", { ReplaceAnswer::Yes }, 3, { "written", "written", "written" }, false },
        { "YesToAll", { ReplaceAnswer::YesToAll }, 1, { "written", "written", "written" }, false },
        { "NoThenYesToAll", { ReplaceAnswer::No, ReplaceAnswer::YesToAll }, 2,
            { "skipped", "written", "written" }, false },
        { "YesThenCancel", { ReplaceAnswer::Yes, ReplaceAnswer::Cancel }, 2,
            { "written", "skipped", "" }, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(root.mkpath(QStringLiteral("out")));
        for (const char* name : { "a", "b", "c" })
            WriteAll(Path(QStringLiteral("out/%1.png").arg(QLatin1String(name))), "old");
        int asked = 0;
        BatchRunOptions options;
        options.replaceExisting = [&](const BatchItem& item) {
            EXPECT_TRUE(QFileInfo::exists(item.target));
            const std::size_t turn = std::min<std::size_t>(asked++, c.answers.size() - 1);
            return c.answers[turn];
        };
        Recorder recorder;
        const BatchSummary summary = Run(Plan(), recorder, options);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(summary.cancelled, c.cancelled);
        for (int i = 0; i < 3; ++i) {
            const QString target
                = Path(QStringLiteral("out/%1.png").arg(QChar(QLatin1Char('a' + i))));
            const QString done = QStringLiteral("%1 %2").arg(i).arg(c.outcomes[i]);
            if (c.outcomes[i].isEmpty()) {
                EXPECT_FALSE(recorder.events.contains(QStringLiteral("file %1").arg(i)));
            } else {
                EXPECT_TRUE(recorder.events.contains(done)) << done.toStdString();
            }
            // A kept file keeps every byte; a replaced one is a whole picture.
            if (c.outcomes[i] == QLatin1String("written")) {
                EXPECT_EQ(QImage(target).size(), QSize(kWidth, kHeight));
            } else {
                EXPECT_EQ(ReadAll(target), QByteArray("old"));
            }
        }
        if (c.cancelled) {
            EXPECT_TRUE(recorder.details.contains(CancelledText()));
        }
    }
}

TEST_F(BatchExportTest, CancelFinishesThePictureInHandAndStartsNoMore)
{
    AddPhoto("a.png", "a", Qt::red);
    AddPhoto("b.png", "b", Qt::blue);
    AddPhoto("c.png", "c", Qt::green);
    int checks = 0;
    BatchRunOptions options;
    options.cancelRequested = [&] { return ++checks > 2; };
    Recorder recorder;
    const BatchSummary summary = Run(Plan(), recorder, options);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(recorder.events,
        QStringList({ "start 3", "file 0", "file 1", "0 written", "1 written", "end 2/0/0" }));
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files), QStringList({ "a.png", "b.png" }));
}

// A target that cannot be written fails that photo alone, with the writer's reason; a dry
// run writes nothing at all and needs no engine.
TEST_F(BatchExportTest, UnwritableTargetsFailAloneAndDryRunsWriteNothing)
{
    AddPhoto("a.png", "a", Qt::red);
    AddPhoto("b.png", "b", Qt::blue);
    ASSERT_TRUE(root.mkpath(QStringLiteral("out/a.png"))); // a folder where the file would go

    Recorder dry;
    BatchRunOptions dryRun;
    dryRun.dryRun = true;
    dryRun.replaceExisting = [](const BatchItem&) { return ReplaceAnswer::YesToAll; };
    const BatchSummary planned = RunBatch(Plan(), nullptr, dry, dryRun);
    EXPECT_EQ(planned.written, 2);
    EXPECT_EQ(dry.events.mid(2, 1), QStringList({ "0 would be written" }));
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files), QStringList());

    Recorder recorder;
    BatchRunOptions options;
    options.replaceExisting = [](const BatchItem&) { return ReplaceAnswer::YesToAll; };
    const BatchSummary summary = Run(Plan(), recorder, options);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(summary.written, 1);
    EXPECT_TRUE(
        recorder.details[0].startsWith(QStringLiteral("cannot write %1: ").arg(Path("out/a.png"))))
        << recorder.details[0].toStdString();
    EXPECT_TRUE(QFileInfo(Path("out/a.png")).isDir());
    EXPECT_EQ(QImage(Path("out/b.png")).size(), QSize(kWidth, kHeight));
}

TEST_F(BatchExportTest, ABackgroundThatDoesNotLoadStopsTheWholeRun)
{
    AddPhoto("a.png", "a", Qt::red);
    WriteAll(Path("bg.png"), "damaged");
    std::unique_ptr<RenderEngine> engine;
    QString message;
    EXPECT_EQ(OpenExportEngine(Plan(), engine, message), MT_CACHE_NOT_CREATED);
    EXPECT_EQ(engine, nullptr);
    EXPECT_EQ(message, LayerUnreadableText(BackgroundLayer, Path("bg.png"), NotAnImageText()));
}

TEST_F(BatchExportTest, PhotosWithoutAProjectAreNamedAsTheImportNamesThem)
{
    ASSERT_TRUE(root.mkpath(QStringLiteral("shoot/day2")));
    QImage photo(kWidth, kHeight, QImage::Format_RGB32);
    photo.fill(Qt::red);
    for (const char* name : { "shoot/img.png", "shoot/day2/img.png", "img.png" })
        ASSERT_TRUE(photo.save(Path(name)));
    WriteAll(Path("notes.txt"), "text");

    ExportChoices choices;
    choices.outputDir = Path("out");
    choices.format = FormatJPEG;
    choices.quality = 80;
    BatchPlan plan;
    QString message;
    ASSERT_TRUE(PlanPhotoBatch(Path("bg.png"), QString(),
        { Path("shoot"), Path("img.png"), Path("shoot/img.png"), Path("notes.txt") }, choices, plan,
        message))
        << message.toStdString();
    EXPECT_EQ(plan.project->GetCanvas().Width(), static_cast<unsigned>(kWidth));
    EXPECT_EQ(plan.format.quality, 80);
    ASSERT_EQ(plan.items.size(), 4u); // shoot/img.png named twice, rendered once
    EXPECT_EQ(plan.items[0].source, Path("shoot/day2/img.png"));
    EXPECT_EQ(plan.items[0].target, Path("out/img.jpg"));
    EXPECT_EQ(plan.items[1].target, Path("out/img (2).jpg"));
    EXPECT_EQ(plan.items[2].target, Path("out/img (3).jpg"));
    EXPECT_EQ(plan.items[3].problem, IncompatibleFileText());
    EXPECT_EQ(plan.leftOut, 0);

    // What a walked folder holds but the import's rule leaves out is counted.
    WriteAll(Path("shoot/notes.txt"), "text");
    ASSERT_TRUE(QFile::link(Path("img.png"), Path("shoot/link.png")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("shoot/pipe.png")).constData(), 0600), 0);
    ASSERT_TRUE(
        PlanPhotoBatch(Path("bg.png"), QString(), { Path("shoot") }, choices, plan, message));
    EXPECT_EQ(plan.items.size(), 2u);
    EXPECT_EQ(plan.leftOut, 3);
    EXPECT_EQ(LeftOutText(3).left(12), QStringLiteral("3 left out: "));

    EXPECT_FALSE(
        PlanPhotoBatch(Path("notes.txt"), QString(), { Path("img.png") }, choices, plan, message));
    EXPECT_TRUE(message.startsWith(
        QStringLiteral("the background %1 cannot be read").arg(Path("notes.txt"))))
        << message.toStdString();
    EXPECT_TRUE(plan.items.empty());
}

// --- Hostile photos ----------------------------------------------------------------------

// A camera-like JPEG (noise, so that its entropy data is long) of `width` × `height`.
QByteArray NoisyJpeg(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    unsigned state = 7u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            image.setPixel(x, y, qRgb((state >> 8) & 0xFF, (state >> 16) & 0xFF, state >> 24));
        }
    QByteArray bytes;
    EXPECT_TRUE(EncodeImage(image, ExportFormatFor(FormatJPEG, 90), bytes));
    return bytes;
}

// A photo whose data ends early or is corrupt fails with what is wrong with it: the reader
// would hand out a partly grey picture and only warn on the console.
TEST_F(BatchExportTest, DamagedPhotosFailWithTheirReason)
{
    const QByteArray good = NoisyJpeg(200, 150);
    ASSERT_GT(good.size(), 4000);
    QByteArray flipped = good;
    for (int i = good.size() / 2; i < good.size() / 2 + 40; ++i)
        flipped[i] = static_cast<char>(flipped[i] ^ 0xFF);
    QByteArray marker = good;
    marker[good.size() / 2] = static_cast<char>(0xFF);
    marker[good.size() / 2 + 1] = static_cast<char>(0xD3); // a restart marker out of place
    struct Case {
        const char* file;
        QByteArray bytes;
        QString reason; // empty: any "damaged" reason
    };
    const std::vector<Case> cases {
        { "a_good.jpg", good, QString() },
        { "b_cut1000.jpg", good.left(1000), DataEndsEarlyText() },
        { "c_cuthalf.jpg", good.left(good.size() / 2), DataEndsEarlyText() },
        { "d_flipped.jpg", flipped, QString() },
        { "e_marker.jpg", marker, QString() },
        { "f_zero.jpg", QByteArray(), EmptyFileText() },
        { "g_text.jpg", QByteArray("just some words"), NotAnImageText() },
    };
    for (const Case& c : cases) {
        WriteAll(Path(c.file), c.bytes);
        ASSERT_EQ(
            project->GetForegroundImageList().Add(std::make_shared<ForegroundImage>(
                QString::fromUtf8(c.file).chopped(4), Path(c.file), true, false, false, true)),
            MT_OK);
    }
    Recorder recorder;
    const BatchSummary summary = Run(Plan(), recorder);
    EXPECT_EQ(summary.written, 1);
    EXPECT_EQ(summary.failed, 6);
    ASSERT_EQ(recorder.details.size(), 7);
    EXPECT_TRUE(recorder.details[0].isEmpty());
    for (std::size_t i = 1; i < cases.size(); ++i) {
        const QString& detail = recorder.details[static_cast<int>(i)];
        if (cases[i].reason.isEmpty()) {
            EXPECT_TRUE(detail.startsWith(QStringLiteral("the file is damaged")))
                << cases[i].file << ": " << detail.toStdString();
        } else {
            EXPECT_EQ(detail, cases[i].reason) << cases[i].file;
        }
    }
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files), QStringList({ "a_good.png" }));

    // The same reading serves sizes, pictures and thumbnails.
    QImage image;
    EXPECT_EQ(ReadPhoto(Path("c_cuthalf.jpg"), image), MT_CACHE_NOT_CREATED);
    EXPECT_TRUE(image.isNull());
    EXPECT_EQ(LastPhotoFailure(), DataEndsEarlyText());
    EXPECT_EQ(ReadThumbnail(Path("b_cut1000.jpg"), 100, image), MT_CACHE_NOT_CREATED);
    EXPECT_EQ(ReadPhoto(Path("a_good.jpg"), image), MT_OK);
    EXPECT_TRUE(LastPhotoFailure().isEmpty());
}

// Only regular files are read: a FIFO or /dev/stdin given as a photo fails at once instead
// of blocking the batch, and as the background stops the plan.
TEST_F(BatchExportTest, PipesAndDevicesAreNeverOpened)
{
    const QString fifo = Path("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    AddPhoto("a.png", "a", Qt::red);
    for (const QString& path : { fifo, QStringLiteral("/dev/stdin") }) {
        ASSERT_EQ(project->GetForegroundImageList().Add(std::make_shared<ForegroundImage>(
                      QFileInfo(path).completeBaseName(), path, true, false, false, true)),
            MT_OK);
    }
    Recorder recorder;
    const BatchSummary summary = Run(Plan(), recorder);
    EXPECT_EQ(summary.written, 1);
    EXPECT_EQ(summary.failed, 2);
    EXPECT_EQ(recorder.details.count(NotRegularFileText()), 2)
        << recorder.details.join(QLatin1Char('|')).toStdString();

    QSize size;
    QString reason;
    EXPECT_EQ(PhotoSize(fifo, size, &reason), MT_CACHE_NOT_CREATED);
    EXPECT_EQ(reason, NotRegularFileText());
    BatchPlan plan;
    QString message;
    ExportChoices choices;
    choices.outputDir = Path("out2");
    EXPECT_FALSE(PlanPhotoBatch(fifo, QString(), { Path("a.png") }, choices, plan, message));
    EXPECT_EQ(message, LayerUnreadableText(BackgroundLayer, fifo, NotRegularFileText()));
    EXPECT_FALSE(PlanPhotoBatch(
        Path("bg.png"), QStringLiteral("/dev/stdin"), { Path("a.png") }, choices, plan, message));
}

// --- Planted links -------------------------------------------------------------------------

// A symbolic link planted under an output name is an existing file, whatever it points to:
// kept at No, and at Yes replaced itself, while its target stays as it was or never appears.
TEST_F(BatchExportTest, LinksUnderOutputNamesAreNeverWrittenThrough)
{
    AddPhoto("a.png", "a", Qt::red);
    AddPhoto("b.png", "b", Qt::blue);
    AddPhoto("c.png", "c", Qt::green);
    ASSERT_TRUE(root.mkpath(QStringLiteral("out")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("private")));
    WriteAll(Path("notes.txt"), "my notes");
    const auto plant = [&] {
        for (const char* name : { "out/a.png", "out/b.png", "out/c.png" })
            QFile::remove(Path(name));
        ASSERT_TRUE(QFile::link(Path("notes.txt"), Path("out/a.png"))); // to a file
        ASSERT_TRUE(QFile::link(Path("created.txt"), Path("out/b.png"))); // dangling
        ASSERT_TRUE(QFile::link(Path("private"), Path("out/c.png"))); // to a folder
    };
    for (const ReplaceAnswer answer : { ReplaceAnswer::No, ReplaceAnswer::YesToAll }) {
        plant();
        int asked = 0;
        BatchRunOptions options;
        options.replaceExisting = [&](const BatchItem&) {
            ++asked;
            return answer;
        };
        Recorder recorder;
        const BatchSummary summary = Run(Plan(), recorder, options);
        EXPECT_EQ(ReadAll(Path("notes.txt")), QByteArray("my notes"));
        EXPECT_FALSE(QFileInfo::exists(Path("created.txt")));
        EXPECT_TRUE(QDir(Path("private")).isEmpty());
        if (answer == ReplaceAnswer::No) {
            EXPECT_EQ(asked, 3);
            EXPECT_EQ(summary.skipped, 3);
            EXPECT_EQ(recorder.details.count(AlreadyExistsText()), 3);
            for (const char* name : { "out/a.png", "out/b.png", "out/c.png" })
                EXPECT_TRUE(QFileInfo(Path(name)).isSymLink()) << name;
        } else {
            EXPECT_EQ(summary.written, 3);
            for (const char* name : { "out/a.png", "out/b.png", "out/c.png" }) {
                EXPECT_FALSE(QFileInfo(Path(name)).isSymLink()) << name;
                EXPECT_EQ(QImage(Path(name)).size(), QSize(kWidth, kHeight)) << name;
            }
            // No temporary file is left beside them.
            EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files | QDir::Hidden),
                QStringList({ "a.png", "b.png", "c.png" }));
        }
    }
}

// Writing into the photos' own folder: a target that is an input of the run (by any path)
// fails unasked, and the original stays; the other photos are written.
TEST_F(BatchExportTest, TargetsThatAreInputsAreNeverReplaced)
{
    AddPhoto("a.png", "a", Qt::red);
    AddPhoto("b.png", "b", Qt::blue);
    AddPhoto("c.png", "bg", Qt::green); // its target is the background
    AddPhoto("d.jpg", "d", Qt::green); // written as d.png, beside its photo
    const QByteArray original = ReadAll(Path("a.png"));
    const QByteArray background = ReadAll(Path("bg.png"));
    ExportChoices choices;
    choices.outputDir = Path("./"); // another spelling of the photos' folder
    const BatchPlan plan = PlanProjectBatch(project, choices, false);
    ASSERT_TRUE(QFile::remove(Path("b.png")) && QFile::copy(Path("a.png"), Path("b.png")));
    int asked = 0;
    BatchRunOptions options;
    options.replaceExisting = [&](const BatchItem&) {
        ++asked;
        return ReplaceAnswer::YesToAll;
    };
    Recorder recorder;
    const BatchSummary summary = Run(plan, recorder, options);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(summary.failed, 3);
    EXPECT_EQ(summary.written, 1);
    EXPECT_EQ(QImage(Path("d.png")).size(), QSize(kWidth, kHeight));
    EXPECT_EQ(recorder.details[0], SameAsInputText(plan.items[0].target));
    EXPECT_EQ(ReadAll(Path("a.png")), original);
    EXPECT_EQ(ReadAll(Path("bg.png")), background);
}

// The one safe writer: whichever step fails, the old file keeps every byte, no temporary
// file remains, and the reason names the file.
TEST(WholeFileWriterTest, EveryFailingStepLeavesTheOldFile)
{
    class Failing : public FileWriteOps
    {
    public:
        explicit Failing(int step)
            : m_step(step)
        {
        }
        bool Open(QSaveFile& file) override { return m_step != 0 && FileWriteOps::Open(file); }
        qint64 Write(QSaveFile& file, const QByteArray& bytes) override
        {
            if (m_step == 4) {
                // The real error of a full disk: /dev/full refuses every write with ENOSPC.
                QFile full(QStringLiteral("/dev/full"));
                if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                    return -1;
                FileWriteOps::Write(file, bytes.left(100));
                return full.write(bytes);
            }
            return FileWriteOps::Write(file, m_step == 1 ? bytes.left(3) : bytes);
        }
        bool Flush(QSaveFile& file) override { return m_step != 2 && FileWriteOps::Flush(file); }
        bool Commit(QSaveFile& file) override
        {
            if (m_step != 3)
                return FileWriteOps::Commit(file);
            file.cancelWriting();
            FileWriteOps::Commit(file);
            return false;
        }

    private:
        int m_step;
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    WriteAll(path, "the old picture");
    for (int step = 0; step < 5; ++step) {
        Failing ops(step);
        ScopedFileWriteOps scoped(ops);
        QString reason;
        EXPECT_FALSE(WriteWholeFile(path, QByteArray(4096, 'x'), &reason)) << step;
        EXPECT_TRUE(reason.startsWith(QStringLiteral("cannot write %1: ").arg(path))) << step;
        EXPECT_EQ(ReadAll(path), QByteArray("the old picture")) << step;
        if (step == 4) { // the system's reason, not "Unknown error"
            EXPECT_TRUE(reason.endsWith(QStringLiteral("No space left on device")))
                << reason.toStdString();
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({ QStringLiteral("picture.png") }))
            << step;
    }
    QString reason;
    EXPECT_TRUE(WriteWholeFile(path, QByteArray("new"), &reason));
    EXPECT_EQ(ReadAll(path), QByteArray("new"));
}

} // namespace
