// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "ExportNaming.h"
#include "RenderOptions.h"

#include <app/MTerr.h>

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

namespace mtra::app {
class Project;
}

namespace mtra::cli {

/// One photo of the batch and the file its composite goes to.
struct BatchItem {
    QString source; ///< the photo's path as the project stores it (the key of its settings)
    QString name; ///< its display name
    QString target; ///< the absolute path of the file to write; empty when `problem` is set
    QString problem; ///< why the photo cannot be exported at all (e.g. an unsafe stored name)
};

/// Everything a run needs, checked before any file is written.
struct BatchPlan {
    std::shared_ptr<app::Project> project;
    /// The folder that relative image paths of the project are read from (the project file's
    /// folder); empty for the current folder.
    QString baseDir;
    FormatInfo format;
    QString outputDir; ///< absolute
    std::vector<BatchItem> items;
};

/// Builds the plan for a project file: its batched images (all with `options.all`), its
/// export settings under the options given. False with `message` when the project does not
/// load or cannot be exported as a whole (no output folder, an unsupported canvas).
bool PlanFromProject(const RenderOptions& options, BatchPlan& plan, QString& message);

/// Builds the plan without a project: the default settings, a canvas the size of the
/// background (as shown, after its EXIF orientation), the photos and folders in the order
/// given, named as the program's import names them. False with `message` when the background
/// or overlay cannot be read or the canvas would be unsupported.
bool PlanFromPhotos(const RenderOptions& options, BatchPlan& plan, QString& message);

/// The result of one photo.
enum class FileOutcome { Written, Skipped, Failed, WouldWrite };

/// Told about the run as it goes; see Progress.h for the forms shown to the user.
class BatchObserver
{
public:
    virtual ~BatchObserver() = default;
    virtual void Started(int total) = 0;
    virtual void FileStarted(int index, const BatchItem& item) = 0;
    /// `detail` is the reason of a failure or skip.
    virtual void FileDone(
        int index, const BatchItem& item, FileOutcome outcome, const QString& detail)
        = 0;
    virtual void Finished(int written, int skipped, int failed) = 0;
};

/// Counts of a finished run.
struct RunSummary {
    int written = 0;
    int skipped = 0;
    int failed = 0;
};

/// Renders and writes every item of `plan` in order, as the program's batch export does: the
/// background and overlay layers are set once, the foreground layer from the first photo to be
/// written that loads (else the project's current one), then each photo is rendered with its
/// own settings by
/// `RenderEngine::ExportQImage`. One photo failing does not stop the run. False with
/// `message` only when the layers cannot be set at all (a background or overlay that does
/// not load): then nothing is written.
bool RunBatch(const BatchPlan& plan, const RenderOptions& options, BatchObserver& observer,
    RunSummary& summary, QString& message);

/// Encodes `image` as `format` into memory; false with `error` when the writer fails.
bool EncodeImage(const QImage& image, const FormatInfo& format, QByteArray& bytes, QString& error);

/// Writes `bytes` to `path` through a temporary file in the same folder that is renamed over
/// `path` only when every byte was written and flushed, so a final name never holds part of a
/// file. False with `error` otherwise (the temporary file is removed).
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& error);

/// The meaning of a model or render error, in words.
QString DescribeError(app::MTerr error);

} // namespace mtra::cli
