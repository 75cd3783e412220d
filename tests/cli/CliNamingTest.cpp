// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "Progress.h"
#include "RenderOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace mtra::cli {
namespace {

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
        { "a.mtrabatch", "--shard", "3/3" }, // counted from 0
        { "a.mtrabatch", "--shard", "-1/3" },
        { "a.mtrabatch", "--shard", "0/0" },
        { "a.mtrabatch", "--shard", "1" },
        { "a.mtrabatch", "--shard", "1/2/3" },
        { "a.mtrabatch", "--shard", "a/b" },
        { "a.mtrabatch", "--jobs", "0" },
        { "a.mtrabatch", "--jobs", "many" },
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

TEST(CliOptionsTest, AShareIsCountedFromZero)
{
    RenderOptions options;
    QString message;
    ASSERT_EQ(Parse({ "a.mtrabatch" }, options, message), ParseOutcome::Run);
    EXPECT_EQ(options.shardIndex, 0);
    EXPECT_EQ(options.shardCount, 1);
    ASSERT_EQ(Parse({ "a.mtrabatch", "--shard", "2/3" }, options, message), ParseOutcome::Run);
    EXPECT_EQ(options.shardIndex, 2);
    EXPECT_EQ(options.shardCount, 3);
    EXPECT_EQ(options.jobs, 1);
    ASSERT_EQ(Parse({ "a.mtrabatch", "-j", "2" }, options, message), ParseOutcome::Run);
    EXPECT_EQ(options.jobs, 2);
    EXPECT_EQ(
        Parse({ "a.mtrabatch", "--shard", "3/3" }, options, message), ParseOutcome::UsageError);
    EXPECT_TRUE(message.contains(QStringLiteral("0 to 2"))) << message.toStdString();
}

TEST(CliOptionsTest, DurationsReadAsClockTimes)
{
    EXPECT_EQ(FormatDuration(0), QStringLiteral("0:00"));
    EXPECT_EQ(FormatDuration(61'400), QStringLiteral("1:01"));
    EXPECT_EQ(FormatDuration(3'600'000 + 5'000), QStringLiteral("1:00:05"));
}

} // namespace
} // namespace mtra::cli
