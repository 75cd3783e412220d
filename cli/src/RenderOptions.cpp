// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "RenderOptions.h"

#include <QCommandLineParser>

namespace mtra::cli {

namespace {

// Each photo in flight holds several camera-size pictures; more than this only fills memory.
constexpr int kMaxJobs = 64;

const char* const kDescription
    = "Renders a batch of green- or blue-screen photos over a background and writes every\n"
      "composite as JPEG, PNG or TIFF, as the program's export does.\n\n"
      "  mattora-render PROJECT.mtrabatch [options]\n"
      "      every batched photo of the project, each with its own settings\n"
      "  mattora-render -b BACKGROUND [--overlay OVERLAY] -o DIR [options] PHOTO|FOLDER...\n"
      "      the photos (folders searched recursively) with the default settings, on a canvas\n"
      "      the size of the background";

// The format named on the command line ("jpeg"/"jpg", "png", "tiff"/"tif", any case).
bool ParseFormatName(const QString& name, app::ExportFormat& format)
{
    const QString lower = name.toLower();
    if (lower == QLatin1String("jpeg") || lower == QLatin1String("jpg"))
        format = app::FormatJPEG;
    else if (lower == QLatin1String("png"))
        format = app::FormatPNG;
    else if (lower == QLatin1String("tiff") || lower == QLatin1String("tif"))
        format = app::FormatTIFF;
    else
        return false;
    return true;
}

bool CheckAffix(const QString& value, const char* option, QString& message)
{
    if (app::IsValidExportAffix(value))
        return true;
    message = QStringLiteral("%1 \"%2\" is not allowed: at most 20 letters, digits, spaces and "
                             "the characters _ . ( ) & -")
                  .arg(QLatin1String(option), value);
    return false;
}

// "K/N" with 0 <= K < N: share K of N, counted from 0 as array task and job indexes are.
bool ParseShard(const QString& text, int& index, int& count, QString& message)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    bool indexOk = false;
    bool countOk = false;
    if (parts.size() == 2) {
        index = parts[0].trimmed().toInt(&indexOk);
        count = parts[1].trimmed().toInt(&countOk);
    }
    if (!indexOk || !countOk || count < 1) {
        message = QStringLiteral("--shard \"%1\" must be K/N, share K of N (for example 0/4)")
                      .arg(text);
        return false;
    }
    if (index < 0 || index >= count) {
        message = QStringLiteral("--shard %1/%2: K counts from 0, so it must be 0 to %3")
                      .arg(index)
                      .arg(count)
                      .arg(count - 1);
        return false;
    }
    return true;
}

} // namespace

ParseOutcome ParseArguments(const QStringList& arguments, RenderOptions& options, QString& message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version(
        QStringLiteral("version"), QStringLiteral("Shows the version and exits."));
    const QCommandLineOption output({ QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("Writes into <dir> (default: the project's export folder)."),
        QStringLiteral("dir"));
    const QCommandLineOption background({ QStringLiteral("b"), QStringLiteral("background") },
        QStringLiteral("Renders the photos given over <image>, without a project."),
        QStringLiteral("image"));
    const QCommandLineOption overlay(QStringLiteral("overlay"),
        QStringLiteral("Lays <image> over every composite (without a project)."),
        QStringLiteral("image"));
    const QCommandLineOption all(QStringLiteral("all"),
        QStringLiteral("Renders every photo of the project, not only those on its export list."));
    const QCommandLineOption format(QStringLiteral("format"),
        QStringLiteral("Writes jpeg, png or tiff (default: the project's format)."),
        QStringLiteral("name"));
    const QCommandLineOption quality(QStringLiteral("quality"),
        QStringLiteral("JPEG quality 0 to 100 (default: the project's)."), QStringLiteral("n"));
    const QCommandLineOption prefix(QStringLiteral("prefix"),
        QStringLiteral("Puts <text> before each file name (default: the project's)."),
        QStringLiteral("text"));
    const QCommandLineOption postfix(QStringLiteral("postfix"),
        QStringLiteral("Puts <text> after each file name (default: the project's)."),
        QStringLiteral("text"));
    const QCommandLineOption overwrite(
        QStringLiteral("overwrite"), QStringLiteral("Replaces files that already exist."));
    const QCommandLineOption skipExisting(QStringLiteral("skip-existing"),
        QStringLiteral("Leaves files that already exist alone (the default)."));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
        QStringLiteral("Lists what would be written, and writes nothing."));
    const QCommandLineOption quiet(
        { QStringLiteral("q"), QStringLiteral("quiet") }, QStringLiteral("Prints no progress."));
    const QCommandLineOption shard(QStringLiteral("shard"),
        QStringLiteral("Renders only share K of N of the list (K from 0 to N-1), so that N "
                       "processes together write every picture once."),
        QStringLiteral("K/N"));
    const QCommandLineOption jobs({ QStringLiteral("j"), QStringLiteral("jobs") },
        QStringLiteral("Renders <n> photos at once, the workers divided among them (default 1; "
                       "each costs memory)."),
        QStringLiteral("n"));
    parser.addOptions({ help, version, output, background, overlay, all, format, quality, prefix,
        postfix, overwrite, skipExisting, dryRun, quiet, shard, jobs });
    parser.addPositionalArgument(QStringLiteral("input"),
        QStringLiteral("A project file, or with -b the photos and folders to render."),
        QStringLiteral("PROJECT | PHOTO|FOLDER..."));

    if (!parser.parse(arguments)) {
        message = parser.errorText();
        return ParseOutcome::UsageError;
    }
    if (parser.isSet(help)) {
        message = parser.helpText();
        return ParseOutcome::Help;
    }
    if (parser.isSet(version)) {
        message = QStringLiteral("mattora-render %1").arg(QStringLiteral(MTRA_VERSION));
        return ParseOutcome::Version;
    }

    const QStringList inputs = parser.positionalArguments();
    options = RenderOptions();
    if (parser.isSet(background)) {
        options.background = parser.value(background);
        options.overlay = parser.value(overlay);
        options.photos = inputs;
        if (options.photos.isEmpty()) {
            message = QStringLiteral("no photos given to render over the background");
            return ParseOutcome::UsageError;
        }
        if (!parser.isSet(output)) {
            message = QStringLiteral("-o DIR is needed without a project");
            return ParseOutcome::UsageError;
        }
        if (parser.isSet(all)) {
            message = QStringLiteral("--all applies to a project only");
            return ParseOutcome::UsageError;
        }
    } else {
        if (inputs.size() != 1) {
            message = inputs.isEmpty()
                ? QStringLiteral("no project given (or -b BACKGROUND for photos without one)")
                : QStringLiteral("one project at a time; photos need -b BACKGROUND");
            return ParseOutcome::UsageError;
        }
        if (parser.isSet(overlay)) {
            message = QStringLiteral("--overlay applies without a project only");
            return ParseOutcome::UsageError;
        }
        options.project = inputs.front();
        options.all = parser.isSet(all);
    }
    options.outputDir = parser.value(output);
    if (parser.isSet(output) && options.outputDir.isEmpty()) {
        message = QStringLiteral("-o needs a folder");
        return ParseOutcome::UsageError;
    }

    if (parser.isSet(format)) {
        app::ExportFormat value = app::FormatPNG;
        if (!ParseFormatName(parser.value(format), value)) {
            message = QStringLiteral("unknown format \"%1\" (jpeg, png or tiff)")
                          .arg(parser.value(format));
            return ParseOutcome::UsageError;
        }
        options.format = value;
    }
    if (parser.isSet(quality)) {
        bool ok = false;
        const int value = parser.value(quality).toInt(&ok);
        if (!ok || value < 0 || value > 100) {
            message = QStringLiteral("quality must be a whole number from 0 to 100");
            return ParseOutcome::UsageError;
        }
        options.quality = value;
    }
    if (parser.isSet(prefix)) {
        if (!CheckAffix(parser.value(prefix), "prefix", message))
            return ParseOutcome::UsageError;
        options.prefix = parser.value(prefix);
    }
    if (parser.isSet(postfix)) {
        if (!CheckAffix(parser.value(postfix), "postfix", message))
            return ParseOutcome::UsageError;
        options.postfix = parser.value(postfix);
    }
    if (parser.isSet(overwrite) && parser.isSet(skipExisting)) {
        message = QStringLiteral("--overwrite and --skip-existing exclude each other");
        return ParseOutcome::UsageError;
    }
    options.existing = parser.isSet(overwrite) ? ExistingFiles::Overwrite : ExistingFiles::Skip;
    options.dryRun = parser.isSet(dryRun);
    options.quiet = parser.isSet(quiet);
    if (parser.isSet(shard)
        && !ParseShard(parser.value(shard), options.shardIndex, options.shardCount, message))
        return ParseOutcome::UsageError;
    if (parser.isSet(jobs)) {
        bool ok = false;
        options.jobs = parser.value(jobs).toInt(&ok);
        if (!ok || options.jobs < 1 || options.jobs > kMaxJobs) {
            message = QStringLiteral("--jobs must be a whole number from 1 to %1").arg(kMaxJobs);
            return ParseOutcome::UsageError;
        }
    }
    return ParseOutcome::Run;
}

} // namespace mtra::cli
