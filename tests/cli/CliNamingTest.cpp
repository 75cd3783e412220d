// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "ExportNaming.h"
#include "Progress.h"
#include "RenderOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace mtra::cli {
namespace {

TEST(CliNamingTest, FileNamesFollowTheExportRule)
{
    EXPECT_EQ(ExportFileName(QStringLiteral("a_"), QStringLiteral("img.001"), QStringLiteral("_1"),
                  InfoForFormat(app::FormatJPEG, 90).extension),
        QStringLiteral("a_img.001_1.jpg"));

    const FormatInfo jpeg = InfoForFormat(app::FormatJPEG, 77);
    EXPECT_EQ(jpeg.writerFormat, QByteArrayLiteral("jpg"));
    EXPECT_EQ(jpeg.quality, 77);
    EXPECT_EQ(InfoForFormat(app::FormatTIFF, 77).extension, QStringLiteral("tiff"));
    EXPECT_EQ(InfoForFormat(app::FormatTIFF, 77).quality, -1);
    // Every other stored value is written as PNG, with the writer's own quality.
    for (int format : { 0, 1, 3, 9 }) {
        const FormatInfo png = InfoForFormat(static_cast<app::ExportFormat>(format), 77);
        EXPECT_EQ(png.extension, QStringLiteral("png")) << format;
        EXPECT_EQ(png.quality, -1) << format;
    }
}

TEST(CliNamingTest, RepeatedNamesAreNumberedWithoutEverRepeating)
{
    UniqueNames names;
    EXPECT_EQ(names.Add(QStringLiteral("base")), QStringLiteral("base"));
    EXPECT_EQ(names.Add(QStringLiteral("base")), QStringLiteral("base (2)"));
    EXPECT_EQ(names.Add(QStringLiteral("base")), QStringLiteral("base (3)"));
    EXPECT_EQ(names.Add(QStringLiteral("other")), QStringLiteral("other"));

    // Past nine, sorting by text would put "img (10)" before "img (9)"; the numbers still go up.
    UniqueNames many;
    for (int i = 0; i < 10; ++i)
        many.Add(QStringLiteral("img"));
    EXPECT_EQ(many.Add(QStringLiteral("img")), QStringLiteral("img (11)"));

    // A photo really called "shot (2)" takes that name; the next "shot" goes past it.
    UniqueNames taken;
    taken.Add(QStringLiteral("shot"));
    taken.Add(QStringLiteral("shot (2)"));
    EXPECT_EQ(taken.Add(QStringLiteral("shot")), QStringLiteral("shot (3)"));
}

TEST(CliNamingTest, StoredNamesMustStayInTheOutputFolder)
{
    for (const char* bad : { "", ".", "..", "../x", "a/b", "a\\b", "tab\there" })
        EXPECT_FALSE(IsPlainFileName(QString::fromUtf8(bad))) << bad;
    for (const char* good : { "img.001", "shot (2)", "..hidden", "Été & co" })
        EXPECT_TRUE(IsPlainFileName(QString::fromUtf8(good))) << good;
}

TEST(CliNamingTest, FoldersAreWalkedFoldersFirstWithImageSuffixesOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("b_sub")));
    for (const char* name : { "z.JPG", "a.png", "notes.txt", "b_sub/x.tif", "c.jpeg.xmp" }) {
        QFile file(root.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QStringList relative;
    for (const QString& path : ImageFilesInFolder(dir.path()))
        relative << root.relativeFilePath(path);
    EXPECT_EQ(relative,
        QStringList(
            { QStringLiteral("b_sub/x.tif"), QStringLiteral("a.png"), QStringLiteral("z.JPG") }));
}

ParseOutcome Parse(const std::vector<const char*>& words, RenderOptions& options, QString& message)
{
    QStringList arguments { QStringLiteral("mattora-render") };
    for (const char* word : words)
        arguments << QString::fromUtf8(word);
    return ParseArguments(arguments, options, message);
}

TEST(CliOptionsTest, TheTwoModesAndTheirDefaults)
{
    RenderOptions options;
    QString message;
    ASSERT_EQ(Parse({ "shoot.mtrabatch" }, options, message), ParseOutcome::Run)
        << message.toStdString();
    EXPECT_EQ(options.project, QStringLiteral("shoot.mtrabatch"));
    EXPECT_FALSE(options.format.has_value());
    EXPECT_FALSE(options.prefix.has_value());
    EXPECT_EQ(options.existing, ExistingFiles::Skip);

    ASSERT_EQ(Parse({ "-b", "bg.jpg", "--overlay", "frame.png", "-o", "out", "--format", "TIF",
                        "--quality", "80", "--overwrite", "a.jpg", "folder" },
                  options, message),
        ParseOutcome::Run)
        << message.toStdString();
    EXPECT_TRUE(options.project.isEmpty());
    EXPECT_EQ(options.background, QStringLiteral("bg.jpg"));
    EXPECT_EQ(options.overlay, QStringLiteral("frame.png"));
    EXPECT_EQ(options.photos, QStringList({ QStringLiteral("a.jpg"), QStringLiteral("folder") }));
    EXPECT_EQ(options.format, app::FormatTIFF);
    EXPECT_EQ(options.quality, 80);
    EXPECT_EQ(options.existing, ExistingFiles::Overwrite);

    EXPECT_EQ(Parse({ "--help" }, options, message), ParseOutcome::Help);
    EXPECT_TRUE(message.contains(QStringLiteral("--skip-existing")));
    EXPECT_EQ(Parse({ "--version" }, options, message), ParseOutcome::Version);
}

TEST(CliOptionsTest, UsageErrorsAreRefusedBeforeAnythingRuns)
{
    const std::vector<std::vector<const char*>> refused {
        {}, // nothing to do
        { "a.mtrabatch", "b.mtrabatch" },
        { "-b", "bg.jpg", "a.jpg" }, // no output folder without a project
        { "-b", "bg.jpg", "-o", "out" }, // no photos
        { "a.mtrabatch", "--overlay", "o.png" },
        { "a.mtrabatch", "--format", "gif" },
        { "a.mtrabatch", "--quality", "101" },
        { "a.mtrabatch", "--quality", "high" },
        { "a.mtrabatch", "--prefix", "../up" },
        { "a.mtrabatch", "--postfix", "50%" },
        { "a.mtrabatch", "--prefix", "abcdefghijklmnopqrstu" }, // 21 characters
        { "a.mtrabatch", "--overwrite", "--skip-existing" },
        { "a.mtrabatch", "--no-such-option" },
    };
    for (const auto& words : refused) {
        RenderOptions options;
        QString message;
        EXPECT_EQ(Parse(words, options, message), ParseOutcome::UsageError)
            << (words.empty() ? "(none)" : words.back());
        EXPECT_FALSE(message.isEmpty());
    }
    RenderOptions options;
    QString message;
    EXPECT_EQ(Parse({ "a.mtrabatch", "--prefix", "abcdefghijklmnopqrst" }, options, message),
        ParseOutcome::Run); // 20 characters are fine
}

TEST(CliOptionsTest, DurationsReadAsClockTimes)
{
    EXPECT_EQ(FormatDuration(0), QStringLiteral("0:00"));
    EXPECT_EQ(FormatDuration(61'400), QStringLiteral("1:01"));
    EXPECT_EQ(FormatDuration(3'600'000 + 5'000), QStringLiteral("1:00:05"));
}

} // namespace
} // namespace mtra::cli
