// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// Runs the built mattora-render on small generated batches and checks what it wrote, what it
// said and how it exited.
#include <app/ExportFormats.h>
#include <app/LayerImages.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mtra::cli {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

struct ProcessResult {
    int exitCode = -1;
    QString errors;
};

// A subject on a screen, with a camera's noise: the key's levels come from the spread of
// the screen's colours, and a perfectly flat screen has none.
QImage Photo(QColor screen, QColor subject)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(screen);
    {
        QPainter painter(&image);
        painter.setPen(Qt::NoPen);
        painter.setBrush(subject);
        painter.drawEllipse(QRect(18, 8, 28, 34));
    }
    unsigned state = 99u;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            state = state * 1103515245u + 12345u;
            const int n = static_cast<int>((state >> 16) % 9) - 4;
            const QColor c = image.pixelColor(x, y);
            image.setPixel(x, y,
                qRgb(std::clamp(c.red() + n, 0, 255), std::clamp(c.green() - n, 0, 255),
                    std::clamp(c.blue() + n, 0, 255)));
        }
    }
    return image;
}

class CliEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = QDir(dir.path());
        QImage background(kWidth, kHeight, QImage::Format_RGB32);
        background.fill(QColor(230, 140, 40));
        ASSERT_TRUE(background.save(Path("bg.png")));
        ASSERT_TRUE(Photo(QColor(40, 190, 60), QColor(200, 50, 40)).save(Path("good.png")));
    }

    QString Path(const QString& relative) const { return root.filePath(relative); }
    QString Path(const char* relative) const { return Path(QString::fromUtf8(relative)); }

    ProcessResult Render(const QStringList& arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(MTRA_RENDER_EXE), arguments);
        EXPECT_TRUE(process.waitForFinished(120'000));
        ProcessResult run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    // A default project over bg.png with the given photos on its export list, saved as
    // shoot.mtrabatch; `edit` changes it before it is saved.
    QString SaveProject(
        const QStringList& photos, const std::function<void(app::Project&)>& edit = nullptr) const
    {
        app::MTerr result = app::MT_XML_INVALID;
        app::Project project(result);
        EXPECT_EQ(result, app::MT_OK);
        project.GetCanvas().SetDimensions(kWidth, kHeight);
        project.SetBackgroundImage(
            std::make_shared<app::BackgroundImage>(QStringLiteral("bg"), Path("bg.png"), true));
        for (const QString& photo : photos) {
            EXPECT_EQ(
                project.GetForegroundImageList().Add(std::make_shared<app::ForegroundImage>(
                    QFileInfo(photo).completeBaseName(), Path(photo), true, false, false, true)),
                app::MT_OK);
        }
        project.GetExportSettings().SetPath(Path("out").toStdWString());
        if (edit)
            edit(project);
        const QString file = Path("shoot.mtrabatch");
        EXPECT_EQ(
            project.SaveToXml(file, QStringLiteral("1.0.0020"), QStringLiteral("1.0")), app::MT_OK);
        return file;
    }

    // What the program's export gives for `photo` of `project`, encoded as the batch does:
    // the engine's own export of the photo through an image writer of `format` and `quality`,
    // or for PNG through the program's own encoder; `decoded` gets the picture.
    QByteArray EngineExport(const QString& project, const QString& photo, const char* format,
        int quality, QImage* decoded = nullptr) const
    {
        app::MTerr result = app::MT_XML_INVALID;
        auto loaded = std::make_shared<app::Project>(project, result);
        EXPECT_EQ(result, app::MT_OK);
        app::RenderEngine engine(
            loaded, orv::image::Bits8, orv::image::PixelOrderBGRA, QRect(0, 0, 320, 240), result);
        EXPECT_EQ(engine.SetLayer(app::BackgroundLayer, Path("bg.png")), app::MT_OK);
        EXPECT_EQ(engine.SetLayer(app::ForegroundLayer, Path("good.png")), app::MT_OK);
        const QImage exported = engine.ExportQImage(photo, result);
        EXPECT_EQ(result, app::MT_OK);
        if (decoded != nullptr)
            *decoded = exported;
        QByteArray bytes;
        if (QByteArray(format) == "png") {
            EXPECT_TRUE(
                app::EncodeImage(exported, app::ExportFormatFor(app::FormatPNG, -1), bytes));
            return bytes;
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        writer.setQuality(quality);
        EXPECT_TRUE(writer.write(exported));
        return bytes;
    }

    QStringList Written(const char* folder = "out") const
    {
        return QDir(Path(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir;
    QDir root;
};

TEST_F(CliEndToEndTest, WritesTheGoodPhotosAndListsEveryFailure)
{
    QFile broken(Path("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("this is not a JPEG");
    broken.close();
    const QString project = SaveProject(
        { QStringLiteral("broken.jpg"), QStringLiteral("good.png"), QStringLiteral("gone.png") });

    const ProcessResult run = Render({ project });
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    EXPECT_EQ(Written(), QStringList({ QStringLiteral("good.png") }));
    EXPECT_TRUE(run.errors.contains(Path("broken.jpg"))) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(Path("gone.png"))) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("1 written, 0 skipped, 2 failed")))
        << run.errors.toStdString();

    const QImage written(Path("out/good.png"));
    ASSERT_EQ(written.size(), QSize(kWidth, kHeight));
    // The screen is keyed out to the background; the subject stays.
    EXPECT_EQ(written.pixel(2, 2), qRgb(230, 140, 40));
    EXPECT_GT(qRed(written.pixel(32, 25)), 150);
    EXPECT_LT(qGreen(written.pixel(32, 25)), 120);
}

TEST_F(CliEndToEndTest, OutputEqualsTheEngineExportEncodedTheSameWay)
{
    const QString project = SaveProject({ QStringLiteral("good.png") });
    const ProcessResult run = Render({ project, QStringLiteral("--format"), QStringLiteral("jpeg"),
        QStringLiteral("--quality"), QStringLiteral("90"), QStringLiteral("-q") });
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();

    QFile file(Path("out/good.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray fromProgram = file.readAll();

    EXPECT_TRUE(fromProgram == EngineExport(project, Path("good.png"), "jpg", 90));
}

// Each picture is encoded and written while the next one renders: every file must still be
// the export of its own photo, and the outcomes must be reported in the batch's order.
TEST_F(CliEndToEndTest, ABatchWritesEachPhotosOwnPictureAndReportsInOrder)
{
    ASSERT_TRUE(Photo(QColor(40, 190, 60), QColor(40, 60, 210)).save(Path("c.png")));
    ASSERT_TRUE(Photo(QColor(40, 190, 60), QColor(230, 220, 40)).save(Path("d.png")));
    QFile::copy(Path("good.png"), Path("a.png"));
    QFile broken(Path("b.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a JPEG either");
    broken.close();
    const QString project = SaveProject({ QStringLiteral("a.png"), QStringLiteral("b.jpg"),
        QStringLiteral("c.png"), QStringLiteral("d.png") });
    const ProcessResult run = Render({ project });
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    const QStringList lines = run.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << run.errors.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("[1/4] wrote"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("[2/4] failed"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("[3/4] wrote"))) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("[4/4] wrote"))) << lines[3].toStdString();

    for (const char* name : { "a", "c", "d" }) {
        QFile file(Path(QStringLiteral("out/%1.png").arg(QLatin1String(name))));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        QImage exported;
        const QByteArray written = file.readAll();
        EXPECT_TRUE(written
            == EngineExport(project, Path(QStringLiteral("%1.png").arg(QLatin1String(name))), "png",
                -1, &exported))
            << name;
        // The program's PNG writer: the picture any decoder reads from the image writer's file.
        QByteArray fromWriter;
        QBuffer buffer(&fromWriter);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(QImageWriter(&buffer, "png").write(exported));
        EXPECT_EQ(QImage::fromData(written, "png"), QImage::fromData(fromWriter, "png")) << name;
    }
}

TEST_F(CliEndToEndTest, NamesTakePrefixPostfixAndNumbersForRepeatedNames)
{
    ASSERT_TRUE(root.mkpath(QStringLiteral("day1")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("day2")));
    ASSERT_TRUE(QFile::copy(Path("good.png"), Path("day1/shot.png")));
    ASSERT_TRUE(QFile::copy(Path("good.png"), Path("day2/shot.png")));
    const ProcessResult run = Render({ QStringLiteral("-b"), Path("bg.png"), QStringLiteral("-o"),
        Path("out"), QStringLiteral("--prefix"), QStringLiteral("p_"), QStringLiteral("--postfix"),
        QStringLiteral("_s"), QStringLiteral("--format"), QStringLiteral("tiff"),
        QStringLiteral("day1"), QStringLiteral("day2") });
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(Written(),
        QStringList({ QStringLiteral("p_shot (2)_s.tiff"), QStringLiteral("p_shot_s.tiff") }));
    EXPECT_EQ(QImage(Path("out/p_shot_s.tiff")).size(), QSize(kWidth, kHeight));
}

TEST_F(CliEndToEndTest, ExistingFilesAreKeptUnlessOverwriteIsGiven)
{
    const QString project = SaveProject({ QStringLiteral("good.png") });
    ASSERT_TRUE(root.mkpath(QStringLiteral("out")));
    QFile old(Path("out/good.png"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the photographer's earlier export");
    old.close();
    auto contents = [&] {
        QFile file(Path("out/good.png"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    };

    for (const QStringList& arguments :
        { QStringList { project }, QStringList { project, QStringLiteral("--skip-existing") } }) {
        const ProcessResult run = Render(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(QStringLiteral("skipped"))) << run.errors.toStdString();
        EXPECT_EQ(contents(), QByteArray("the photographer's earlier export"));
    }
    const ProcessResult run = Render({ project, QStringLiteral("--overwrite") });
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(QImage(Path("out/good.png")).size(), QSize(kWidth, kHeight));
    EXPECT_EQ(Written(), QStringList({ QStringLiteral("good.png") })); // no temporary left
}

// N processes over one folder, each with its own share: together the same files as one run,
// each written once; a share that fails leaves the others' pictures alone, and running it
// again with --skip-existing completes the set.
TEST_F(CliEndToEndTest, SharesTogetherWriteWhatOneRunWrites)
{
    const QColor subjects[] = { QColor(200, 50, 40), QColor(40, 60, 210), QColor(230, 220, 40),
        QColor(250, 250, 250), QColor(20, 20, 20), QColor(150, 40, 160), QColor(240, 140, 30) };
    QStringList photos;
    for (int i = 0; i < 7; ++i) {
        const QString name = QStringLiteral("p%1.png").arg(i);
        ASSERT_TRUE(Photo(QColor(40, 190, 60), subjects[i]).save(Path(name)));
        photos << name;
    }
    const QString project = SaveProject(photos);
    ASSERT_EQ(
        Render({ project, QStringLiteral("-q"), QStringLiteral("-o"), Path("one") }).exitCode, 0);
    const QStringList expected = Written("one");
    ASSERT_EQ(expected.size(), 7);
    const auto bytes = [&](const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    };

    // Three shares at once, as an array job would start them; one with two photos in flight.
    std::vector<std::unique_ptr<QProcess>> shares;
    for (int k = 0; k < 3; ++k) {
        auto process = std::make_unique<QProcess>();
        process->setWorkingDirectory(dir.path());
        process->start(QStringLiteral(MTRA_RENDER_EXE),
            { project, QStringLiteral("-o"), Path("three"), QStringLiteral("--shard"),
                QStringLiteral("%1/3").arg(k), QStringLiteral("--jobs"),
                QStringLiteral("%1").arg(k == 0 ? 2 : 1) });
        shares.push_back(std::move(process));
    }
    int reported = 0;
    for (auto& process : shares) {
        ASSERT_TRUE(process->waitForFinished(120'000));
        EXPECT_EQ(process->exitCode(), 0);
        const QString errors = QString::fromLocal8Bit(process->readAllStandardError());
        reported += static_cast<int>(errors.count(QStringLiteral("] wrote")));
    }
    EXPECT_EQ(reported, 7); // each picture written by one share only
    ASSERT_EQ(Written("three"), expected);
    for (const QString& name : expected)
        EXPECT_TRUE(bytes(Path("three/") + name) == bytes(Path("one/") + name))
            << name.toStdString();

    // Share 1 of 3 (p1, p4) meets a broken photo: it fails alone, the others' files stay.
    QFile::rename(Path("p4.png"), Path("p4.keep"));
    QFile broken(Path("p4.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    const QString shareOne = QStringLiteral("1/3");
    for (int k = 0; k < 3; ++k) {
        const ProcessResult run = Render({ project, QStringLiteral("-q"), QStringLiteral("-o"),
            Path("failing"), QStringLiteral("--shard"), QStringLiteral("%1/3").arg(k) });
        EXPECT_EQ(run.exitCode, k == 1 ? 1 : 0) << k << run.errors.toStdString();
    }
    EXPECT_EQ(Written("failing").size(), 6);
    ASSERT_TRUE(QFile::remove(Path("p4.png")));
    ASSERT_TRUE(QFile::rename(Path("p4.keep"), Path("p4.png")));
    const ProcessResult again = Render({ project, QStringLiteral("-o"), Path("failing"),
        QStringLiteral("--shard"), shareOne, QStringLiteral("--skip-existing") });
    EXPECT_EQ(again.exitCode, 0) << again.errors.toStdString();
    EXPECT_TRUE(again.errors.contains(QStringLiteral("1 written, 1 skipped, 0 failed")))
        << again.errors.toStdString();
    ASSERT_EQ(Written("failing"), expected);
    for (const QString& name : expected)
        EXPECT_TRUE(bytes(Path("failing/") + name) == bytes(Path("one/") + name))
            << name.toStdString();
}

// The photos of other shares are still inputs of each share: "x.jpg" exported as PNG would be
// written over "x.png", another share's photo, and is refused as in a single run.
TEST_F(CliEndToEndTest, ASharesTargetNeverReplacesAnotherSharesPhoto)
{
    ASSERT_TRUE(QImage(Path("good.png")).save(Path("x.jpg"), "JPEG", 95));
    ASSERT_TRUE(QFile::copy(Path("good.png"), Path("x.png")));
    const QByteArray original = [&] {
        QFile in(Path("x.png"));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }();
    for (int k = 0; k < 2; ++k) {
        const ProcessResult run = Render({ QStringLiteral("-b"), Path("bg.png"),
            QStringLiteral("-o"), dir.path(), QStringLiteral("--format"), QStringLiteral("png"),
            QStringLiteral("--overwrite"), QStringLiteral("--shard"), QStringLiteral("%1/2").arg(k),
            Path("x.jpg"), Path("x.png") });
        // Share 0 has x.jpg and refuses its target; share 1 writes "x (2).png".
        EXPECT_EQ(run.exitCode, k == 0 ? 1 : 0) << k << run.errors.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(Path("x (2).png")));
    QFile in(Path("x.png"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_TRUE(in.readAll() == original);
}

TEST_F(CliEndToEndTest, AFolderThatCannotBeWrittenFailsCleanly)
{
    const QString project = SaveProject({ QStringLiteral("good.png") });
    // A regular file where the output folder should be: no user can write into it.
    QFile blocker(Path("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // Found before anything renders: the run ends at once with the reason.
    const ProcessResult run = Render({ project, QStringLiteral("-o"), Path("blocked") });
    EXPECT_EQ(run.exitCode, 2) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(
        QStringLiteral("the output folder %1 cannot be used: not a folder").arg(Path("blocked"))))
        << run.errors.toStdString();
    EXPECT_FALSE(run.errors.contains(QStringLiteral("[1/1]"))) << run.errors.toStdString();
}

TEST_F(CliEndToEndTest, AReadOnlyFolderFailsCleanly)
{
    const QString project = SaveProject({ QStringLiteral("good.png") });
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_TRUE(root.mkpath(QStringLiteral("readonly")));
    ASSERT_TRUE(QFile::setPermissions(
        Path("readonly"), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser));
    const ProcessResult run = Render({ project, QStringLiteral("-o"), Path("readonly") });
    QFile::setPermissions(Path("readonly"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(run.exitCode, 2) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("cannot be used"))) << run.errors.toStdString();
    EXPECT_TRUE(Written("readonly").isEmpty());
}

TEST_F(CliEndToEndTest, HostileOrBrokenProjectsAreRefusedWithoutWriting)
{
    const QString escaping = SaveProject({ QStringLiteral("good.png") },
        [](app::Project& project) { project.GetExportSettings().SetPrefix(L"../"); });
    ProcessResult run = Render({ escaping });
    EXPECT_EQ(run.exitCode, 2) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("invalid"))) << run.errors.toStdString();

    const QString flat = SaveProject({ QStringLiteral("good.png") },
        [](app::Project& project) { project.GetCanvas().SetDimensions(0, 0); });
    run = Render({ flat });
    EXPECT_EQ(run.exitCode, 2) << run.errors.toStdString();

    // A stored display name is a file name the project chose: one with a path in it is
    // refused for that photo, not written elsewhere.
    const QString sneaky = SaveProject({}, [&](app::Project& project) {
        project.GetForegroundImageList().Add(std::make_shared<app::ForegroundImage>(
            QStringLiteral("../../escaped"), Path("good.png"), true, false, false, true));
    });
    run = Render({ sneaky });
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("../escaped.png")));

    QFile garbage(Path("garbage.mtrabatch"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("<project><canvas>");
    garbage.close();
    run = Render({ Path("garbage.mtrabatch") });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("well-formed"))) << run.errors.toStdString();

    EXPECT_EQ(Render({ Path("nothing-here.mtrabatch") }).exitCode, 2);
    EXPECT_EQ(Render({ QStringLiteral("--quality"), QStringLiteral("x") }).exitCode, 2);
    // Only the photo with a plain name could have made the folder; nothing else is in it.
    EXPECT_TRUE(Written().isEmpty());
}

TEST_F(CliEndToEndTest, DryRunListsTargetsAndWritesNothing)
{
    const QString project = SaveProject({ QStringLiteral("good.png") });
    const ProcessResult run = Render({ project, QStringLiteral("--dry-run") });
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("would write ") + Path("out/good.png")))
        << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("out")));
}

TEST_F(CliEndToEndTest, OnlyTheExportListUnlessAll)
{
    const QString project = SaveProject({ QStringLiteral("good.png") }, [&](app::Project& p) {
        ASSERT_TRUE(QFile::copy(Path("good.png"), Path("later.png")));
        p.GetForegroundImageList().Add(std::make_shared<app::ForegroundImage>(
            QStringLiteral("later"), Path("later.png"), true, false, false, false));
    });
    ASSERT_EQ(Render({ project }).exitCode, 0);
    EXPECT_EQ(Written(), QStringList({ QStringLiteral("good.png") }));
    ASSERT_EQ(Render({ project, QStringLiteral("--all") }).exitCode, 0);
    EXPECT_EQ(Written(), QStringList({ QStringLiteral("good.png"), QStringLiteral("later.png") }));
}

// A project folder moved as a whole keeps working: relative image paths are read from the
// project's folder, wherever the command runs.
TEST_F(CliEndToEndTest, RelativeImagePathsAreReadFromTheProjectsFolder)
{
    ASSERT_TRUE(root.mkpath(QStringLiteral("shoot")));
    ASSERT_TRUE(QFile::copy(Path("good.png"), Path("shoot/guest.png")));
    ASSERT_TRUE(QFile::copy(Path("bg.png"), Path("shoot/beach.png")));
    app::MTerr result = app::MT_XML_INVALID;
    app::Project project(result);
    ASSERT_EQ(result, app::MT_OK);
    project.GetCanvas().SetDimensions(kWidth, kHeight);
    project.SetBackgroundImage(std::make_shared<app::BackgroundImage>(
        QStringLiteral("beach"), QStringLiteral("beach.png"), true));
    ASSERT_EQ(project.GetForegroundImageList().Add(std::make_shared<app::ForegroundImage>(
                  QStringLiteral("guest"), QStringLiteral("guest.png"), true, false, false, true)),
        app::MT_OK);
    ASSERT_EQ(project.SaveToXml(
                  Path("shoot/shoot.mtrabatch"), QStringLiteral("1.0.0020"), QStringLiteral("1.0")),
        app::MT_OK);

    const ProcessResult run = Render({ QStringLiteral("shoot/shoot.mtrabatch"),
        QStringLiteral("-o"), QStringLiteral("prints") }); // -o relative to where it runs
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(Written("prints"), QStringList({ QStringLiteral("guest.png") }));
    EXPECT_EQ(QImage(Path("prints/guest.png")).pixel(2, 2), qRgb(230, 140, 40));
}

// --- Hostile inputs and outputs -----------------------------------------------------------

std::uint32_t Crc32(const QByteArray& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    const auto bigEndian = [&png](std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png.append(static_cast<char>((value >> shift) & 0xFF));
    };
    const QByteArray chunk = QByteArray(type) + data;
    bigEndian(static_cast<std::uint32_t>(data.size()));
    png.append(chunk);
    bigEndian(Crc32(chunk));
}

// A well-formed PNG header declaring `side` × `side` RGBA pixels, with almost no data.
QByteArray PngDeclaring(std::uint32_t side)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    for (int i = 0; i < 2; ++i)
        for (int shift = 24; shift >= 0; shift -= 8)
            header.append(static_cast<char>((side >> shift) & 0xFF));
    header.append("\x08\x06\x00\x00\x00", 5);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));
    AppendChunk(png, "IEND", QByteArray());
    return png;
}

// Every file of a folder with its bytes, links as their target's name.
std::map<QString, QByteArray> Snapshot(const QDir& folder)
{
    std::map<QString, QByteArray> files;
    for (const QFileInfo& entry : folder.entryInfoList(
             QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden)) {
        if (entry.isSymLink()) {
            files[entry.fileName()] = "link to " + entry.symLinkTarget().toUtf8();
        } else if (entry.isFile()) {
            QFile file(entry.filePath());
            files[entry.fileName()]
                = file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
        } else {
            files[entry.fileName()] = "other";
        }
    }
    return files;
}

// 100 photos named on the command line, 10 of them bad in 10 ways, the good ones in unusual
// forms (1 × 1, CMYK, greyscale, 16 bits, EXIF-rotated): exactly the good ones are written,
// the bad ones reported with what is wrong, exit 1, and nothing else is touched.
TEST_F(CliEndToEndTest, AHundredPhotosTenBadInTenWays)
{
    ASSERT_TRUE(root.mkpath(QStringLiteral("in")));
    const auto in = [&](const QString& name) { return Path(QStringLiteral("in/") + name); };
    QStringList arguments { QStringLiteral("-b"), Path("bg.png"), QStringLiteral("-o"), Path("out"),
        QStringLiteral("--format"), QStringLiteral("png") };
    QFile good(Path("good.png"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray goodBytes = good.readAll();
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpg");
        writer.setQuality(90);
        QImage noisy(160, 120, QImage::Format_RGB32);
        unsigned state = 5u;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                state = state * 1103515245u + 12345u;
                noisy.setPixel(x, y, qRgb((state >> 8) & 255, (state >> 16) & 255, state >> 24));
            }
        ASSERT_TRUE(writer.write(noisy));
    }
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(in(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };

    // The good ones: 85 plain copies and five unusual forms.
    for (int i = 0; i < 85; ++i)
        write(QStringLiteral("good_%1.png").arg(i, 2, 10, QLatin1Char('0')), goodBytes);
    ASSERT_TRUE(QImage(1, 1, QImage::Format_RGB32).save(in(QStringLiteral("tiny.png"))));
    ASSERT_TRUE(QFile::copy(
        QStringLiteral(MTRA_TEST_DATA_DIR "/photos/cmyk.jpg"), in(QStringLiteral("cmyk.jpg"))));
    ASSERT_TRUE(QImage(Path("good.png"))
                    .convertToFormat(QImage::Format_Grayscale8)
                    .save(in(QStringLiteral("grey.jpg"))));
    ASSERT_TRUE(QImage(Path("good.png"))
                    .convertToFormat(QImage::Format_RGBA64)
                    .save(in(QStringLiteral("deep.png"))));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MTRA_TEST_DATA_DIR "/photos/Landscape_6.jpg"),
        in(QStringLiteral("rotated.jpg"))));

    // The bad ones, each with the reason it must be reported with.
    QByteArray flipped = jpeg;
    for (int i = jpeg.size() / 2; i < jpeg.size() / 2 + 40; ++i)
        flipped[i] = static_cast<char>(flipped[i] ^ 0xFF);
    write(QStringLiteral("bad_cut1000.jpg"), jpeg.left(1000));
    write(QStringLiteral("bad_cuthalf.jpg"), jpeg.left(jpeg.size() / 2));
    write(QStringLiteral("bad_flipped.jpg"), flipped);
    write(QStringLiteral("bad_zero.jpg"), QByteArray());
    write(QStringLiteral("bad_text.jpg"), "a letter, not a photo");
    write(QStringLiteral("bad_huge.png"), PngDeclaring(60000));
    ASSERT_EQ(::mkfifo(QFile::encodeName(in(QStringLiteral("bad_fifo.jpg"))).constData(), 0600), 0);
    write(QStringLiteral("bad_locked.jpg"), goodBytes);
    QFile::setPermissions(in(QStringLiteral("bad_locked.jpg")), QFileDevice::WriteOwner);
    const bool asRoot = ::geteuid() == 0; // root reads it all the same
    ASSERT_TRUE(
        QFile::link(in(QStringLiteral("bad_loop_b.jpg")), in(QStringLiteral("bad_loop.jpg"))));
    ASSERT_TRUE(
        QFile::link(in(QStringLiteral("bad_loop.jpg")), in(QStringLiteral("bad_loop_b.jpg"))));
    const QStringList bad { "bad_cut1000.jpg", "bad_cuthalf.jpg", "bad_flipped.jpg", "bad_zero.jpg",
        "bad_text.jpg", "bad_huge.png", "bad_fifo.jpg", "bad_locked.jpg", "bad_loop.jpg",
        "bad_missing.jpg" };
    const QStringList reasons { "the file is damaged: data ends early",
        "the file is damaged: data ends early", "the file is damaged", "the file is empty",
        "not an image", "above 100 megapixels", "not a regular file", "permission denied",
        "loop of symbolic links", "file not found" };

    for (const QString& name : QDir(Path("in")).entryList(QDir::Files | QDir::System))
        if (name != QLatin1String("bad_loop_b.jpg"))
            arguments << in(name);
    arguments << in(QStringLiteral("bad_missing.jpg"));
    ASSERT_EQ(arguments.size(), 6 + 100);
    const auto before = Snapshot(QDir(Path("in")));

    const ProcessResult run = Render(arguments);
    const int failed = asRoot ? 9 : 10;
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(
        QStringLiteral("%1 written, 0 skipped, %2 failed").arg(100 - failed).arg(failed)))
        << run.errors.toStdString();
    for (int i = 0; i < bad.size(); ++i) {
        if (asRoot && bad[i] == QLatin1String("bad_locked.jpg"))
            continue;
        const QString line = QStringLiteral("failed: %1: ").arg(in(bad[i]));
        const int at = run.errors.indexOf(line);
        ASSERT_GE(at, 0) << bad[i].toStdString() << "\n" << run.errors.toStdString();
        const QString reason = run.errors.mid(at + line.size()).section(QLatin1Char('\n'), 0, 0);
        EXPECT_TRUE(reason.contains(reasons[i]))
            << bad[i].toStdString() << ": " << reason.toStdString();
    }
    QStringList written = Written();
    EXPECT_EQ(written.size(), 100 - failed);
    for (const char* name : { "tiny.png", "cmyk.png", "grey.png", "deep.png", "rotated.png" })
        EXPECT_TRUE(written.contains(QString::fromLatin1(name))) << name;
    EXPECT_EQ(QImage(Path("out/rotated.png")).size(), QSize(kWidth, kHeight));
    // The inputs are as they were, and nothing appeared beside them.
    EXPECT_TRUE(Snapshot(QDir(Path("in"))) == before);
    QFile::setPermissions(
        in(QStringLiteral("bad_locked.jpg")), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Faults that only the built program shows as a whole: a link planted under an output name,
// an output folder that is the photos' own, a pipe as the background.
TEST_F(CliEndToEndTest, LinksOwnFoldersAndPipesThroughTheProgram)
{
    ASSERT_TRUE(root.mkpath(QStringLiteral("out")));
    QFile notes(Path("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("my notes");
    notes.close();
    ASSERT_TRUE(QFile::link(Path("notes.txt"), Path("out/good.png")));
    ASSERT_TRUE(QFile::link(Path("created.txt"), Path("out/second.png")));
    ASSERT_TRUE(QFile::copy(Path("good.png"), Path("second.png")));
    const QStringList photos { QStringLiteral("-b"), Path("bg.png"), QStringLiteral("-o"),
        Path("out"), Path("good.png"), Path("second.png") };

    // Skip mode: both links count as existing files and are left alone.
    ProcessResult run = Render(photos);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("0 written, 2 skipped, 0 failed")))
        << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("created.txt")));
    // --overwrite replaces the links themselves.
    run = Render(QStringList(photos) << QStringLiteral("--overwrite"));
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo(Path("out/good.png")).isSymLink());
    EXPECT_EQ(QImage(Path("out/good.png")).size(), QSize(kWidth, kHeight));
    EXPECT_FALSE(QFileInfo::exists(Path("created.txt")));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), QByteArray("my notes"));

    // The photos' own folder as the output, with --overwrite: the originals stay.
    QFile original(Path("good.png"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray originalBytes = original.readAll();
    original.close();
    run = Render({ QStringLiteral("-b"), Path("bg.png"), QStringLiteral("-o"), dir.path(),
        Path("good.png"), QStringLiteral("--overwrite") });
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("is one of the photos")))
        << run.errors.toStdString();
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), originalBytes);

    // A pipe as the background ends the run at once, instead of blocking it.
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe.png")).constData(), 0600), 0);
    run = Render({ QStringLiteral("-b"), Path("pipe.png"), QStringLiteral("-o"), Path("out2"),
        Path("good.png") });
    EXPECT_EQ(run.exitCode, 2) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("not a regular file")))
        << run.errors.toStdString();
    run = Render({ QStringLiteral("-b"), Path("bg.png"), QStringLiteral("-o"), Path("out3"),
        Path("pipe.png"), QStringLiteral("/dev/stdin") });
    // Neither blocks: the pipe is not a regular file, /dev/stdin has no image suffix.
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    EXPECT_TRUE(
        run.errors.contains(QStringLiteral("failed: %1: not a regular file").arg(Path("pipe.png"))))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("failed: /dev/stdin")))
        << run.errors.toStdString();
}

// --- Signals ------------------------------------------------------------------------------

// Progress piped into a reader that stops (head) and a file-size limit once killed the batch
// by SIGPIPE and SIGXFSZ: both are ignored, and a write that fails is that picture's failure.
TEST_F(CliEndToEndTest, ABrokenPipeOrAFileSizeLimitEndsNoBatch)
{
    for (const char* name : { "a.png", "b.png", "c.png" })
        ASSERT_TRUE(QFile::copy(Path("good.png"), Path(name)));
    const QString project = SaveProject(
        { QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("c.png") });

    // Standard error is a pipe whose reader has already gone: every progress line would
    // raise SIGPIPE.
    int ends[2] = { -1, -1 };
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    QProcess piped;
    piped.setWorkingDirectory(dir.path());
    piped.setChildProcessModifier([writeEnd = ends[1]] { ::dup2(writeEnd, STDERR_FILENO); });
    piped.start(QStringLiteral(MTRA_RENDER_EXE), { project });
    ASSERT_TRUE(piped.waitForFinished(120'000));
    ::close(ends[1]);
    EXPECT_EQ(piped.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(piped.exitCode(), 0);
    EXPECT_EQ(Written().size(), 3);

    QProcess limited;
    limited.setWorkingDirectory(dir.path());
    limited.setChildProcessModifier([] {
        const rlimit limit { 100, 100 }; // bytes: no picture fits
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    limited.start(QStringLiteral(MTRA_RENDER_EXE),
        { project, QStringLiteral("-o"), Path("small"), QStringLiteral("--format"),
            QStringLiteral("tiff") });
    ASSERT_TRUE(limited.waitForFinished(120'000));
    const QString errors = QString::fromLocal8Bit(limited.readAllStandardError());
    EXPECT_EQ(limited.exitStatus(), QProcess::NormalExit) << errors.toStdString();
    EXPECT_EQ(limited.exitCode(), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("0 written, 0 skipped, 3 failed")))
        << errors.toStdString();
    EXPECT_TRUE(Written("small").isEmpty());
}

} // namespace
} // namespace mtra::cli
