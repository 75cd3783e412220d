// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// The batch export, one core for every front end (the window's export section and
/// mattora-render):
///
///   plan (`PlanProjectBatch` or `PlanPhotoBatch`: which photos, which target files, what is
///   wrong with any of them; `SelectShard` for one share of a split run)  →  engine
///   (`OpenExportEngine`, or the window's own engine after `RenderEngine::RemoveCacheBeforeExport`)
///   →  `RunBatch`: for each photo render
///   (`RenderEngine::ExportQImage`), encode (`EncodeImage`), write safely (`WriteWholeFile`)
///   and report the outcome.
///
/// Rules of the run:
/// - Order: the plan's item order; outcomes are reported in that order, one `FileDone` for
///   every `FileStarted`.
/// - Overlap: the encoding and writing of one picture runs on a second thread while the next
///   photo renders (the encoder and the engine's decodes are single-threaded, so on two cores
///   the pair keeps both busy). Its outcome is reported before the next photo's. Should no
///   thread start, the picture is written before the next one renders. With `jobs` J above 1,
///   up to J photos are rendered, encoded and written at once, each on a thread of its own
///   with the engine's workers divided among them; outcomes are still reported in order, and
///   the pictures are the same for every J.
/// - One photo failing never stops the run. Failures and skips carry a reason in words
///   (<app/ErrorTexts.h>); nothing is thrown.
/// - Existing files: before a target that exists is replaced, the question hook is asked
///   (the window asks Yes / Yes to all / No / Cancel; mattora-render answers from
///   --overwrite or --skip-existing). No keeps the file (outcome skipped, "already exists"),
///   Cancel keeps it and ends the run. A replaced file changes in one step (`WriteWholeFile`).
///   A symbolic link under a target name counts as an existing file whatever it points to
///   (a file, a folder, nothing), and replacing it replaces the link, never its target.
///   A target that is the same file as an input of the run (a photo, the background, the
///   overlay; compared by device and inode) is never replaced: that photo fails, unasked.
/// - Cancel: the cancel check is asked before each photo; the picture being written is
///   finished first, the rest is not started.
/// - Threads: `RunBatch` runs on the thread that owns the engine and the project (the GUI
///   thread in the program) and calls the observer and the hooks there; only the encoding and
///   writing of finished pictures (and with `jobs` above 1 their rendering, through
///   `RenderEngine::ExportQImage` alone) runs elsewhere, touching neither. The project must not
///   change while the run lasts.

#include <app/AppExport.h>
#include <app/ExportFormats.h>
#include <app/MTerr.h>

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace mtra::app {

class Project;
class RenderEngine;

/// One photo of the batch and the file its composite goes to.
struct BatchItem {
    QString source; ///< the photo's path, its key in the batch
    QString name; ///< its display name
    QString target; ///< the absolute path of the file to write; empty when `problem` is set
    QString problem; ///< why it cannot be exported at all (an unsafe name, a shared target)
};

/// What a run writes: the project whose settings render each photo, the format, the folder
/// and the items. Every target is unique within the plan and lies in `outputDir`.
struct BatchPlan {
    std::shared_ptr<Project> project;
    ExportFormatInfo format;
    QString outputDir; ///< absolute
    std::vector<BatchItem> items;
    /// Files that folders given to `PlanPhotoBatch` held but that are not taken: symbolic
    /// links, files that are not regular, files without an image suffix.
    int leftOut = 0;
    /// Photos of the whole list that other shares of a split run render (`SelectShard`).
    /// They are still inputs of this run: no target of it ever replaces one of them.
    QStringList otherSources;
};

/// The caller's choices for a plan; unset values come from the project's export settings.
struct ExportChoices {
    QString outputDir; ///< the folder to write into (made absolute against the working folder)
    std::optional<ExportFormat> format;
    std::optional<int> quality; ///< clamped to 0 … 100
    std::optional<QString> prefix;
    std::optional<QString> postfix;
};

/// The project's stored export folder, a relative one read against the project's folder;
/// empty when none is stored.
APP_EXPORT QString StoredExportFolder(const Project& project);

/// Plans the export of `project`'s batch: the photos on its export list (`IsBatched`), or all
/// with `allImages`, sorted by display name as the export list shows them. Each item's target
/// is prefix + name + postfix + extension in the folder. A stored name that is not a plain
/// file name, and a photo whose target another photo already has (possible only in a
/// hand-made file), get a `problem` instead of a target, so no export ever writes over
/// another or outside the folder.
APP_EXPORT BatchPlan PlanProjectBatch(
    std::shared_ptr<Project> project, const ExportChoices& choices, bool allImages);

/// Plans photos without a project: a new project from the default document with a canvas the
/// size of `background` (upright), its background and optional `overlay` set, and `photos`
/// (files, and folders walked as the import walks them, files left out of a folder ignored)
/// added to its batch in the order given, named as the import names them. A path named twice
/// is rendered once; a file without an image suffix becomes an item with a problem. False
/// with `message` (the plan then empty) when the background or overlay cannot be read, the
/// canvas would be unsupported, or the default project fails to load.
APP_EXPORT bool PlanPhotoBatch(const QString& background, const QString& overlay,
    const QStringList& photos, const ExportChoices& choices, BatchPlan& plan, QString& message);

/// Keeps of `plan` only share `index` (0 … `count` − 1) of `count`: the items whose place in
/// the whole list, counted from 0, leaves `index` when divided by `count`. Shares dealt this way
/// are alike in size and in mix (a run of large photos is spread over them), and depend on
/// nothing but the list, so `count` processes planning the same list, each with its own
/// `index`, together take every item exactly once and no two ever write the same target. Items
/// with a problem are dealt too, so each failure is reported by one share only. The photos
/// left to other shares go to `otherSources`. False, `plan` unchanged, when `count` < 1 or
/// `index` is outside 0 … `count` − 1.
APP_EXPORT bool SelectShard(BatchPlan& plan, int index, int count);

/// What became of one photo.
enum class BatchOutcome : int {
    Written,
    Skipped, ///< an existing file kept (No or Cancel at the question)
    Failed,
    WouldWrite, ///< a dry run: the file would have been written
};

/// The answer to "replace the existing file?".
enum class ReplaceAnswer {
    Yes,
    YesToAll, ///< yes, and do not ask again in this run
    No,
    Cancel, ///< keep this file and end the run
};

/// Told about the run as it goes, on the run's thread.
class APP_EXPORT BatchObserver
{
public:
    virtual ~BatchObserver();
    virtual void Started(int total) = 0;
    virtual void FileStarted(int index, const BatchItem& item) = 0;
    /// `detail` is the reason of a failure or skip, empty otherwise.
    virtual void FileDone(
        int index, const BatchItem& item, BatchOutcome outcome, const QString& detail)
        = 0;
    virtual void Finished(int written, int skipped, int failed) = 0;
};

/// How the run asks its front end.
struct BatchRunOptions {
    /// Reports what would be written and writes nothing; no engine is needed.
    bool dryRun = false;
    /// A photo whose file is missing (offline) is skipped, not failed: the window's export
    /// warns about offline photos before it starts and then passes over them silently.
    bool skipOffline = false;
    /// Asked before each photo; true ends the run. Empty: never cancelled.
    std::function<bool()> cancelRequested;
    /// Asked before an existing target is replaced. Empty: existing files are kept (No).
    std::function<ReplaceAnswer(const BatchItem& item)> replaceExisting;
    /// Photos in flight at once (see the rules above); values below 1 count as 1. Each costs
    /// memory for its own intermediates (about five canvas-size pictures at the peak).
    int jobs = 1;
};

/// Counts of a finished run; `cancelled` when the cancel check or a Cancel answer ended it.
struct BatchSummary {
    int written = 0; ///< written, or would be in a dry run
    int skipped = 0;
    int failed = 0;
    bool cancelled = false;
};

/// A render engine for `plan` that only exports (`RenderEngine::ForExport`: no preview caches
/// at all): the background and overlay loaded once, the foreground layer from the first photo
/// to be written that loads (its export then reuses that decode and its screen colour; which
/// photo it is plays no part in the pictures), the three files decoded at the same time. A
/// background or overlay that does not load would spoil every picture, so that gives its code
/// and `message`, and no engine.
APP_EXPORT MTerr OpenExportEngine(
    const BatchPlan& plan, std::unique_ptr<RenderEngine>& engine, QString& message);

/// Makes sure the run can write into `plan.outputDir` before anything renders: creates it with
/// its parents, and checks that it is a folder that can be written. False with `reason`
/// (`OutputFolderText`) otherwise.
APP_EXPORT bool PrepareOutputFolder(const BatchPlan& plan, QString& reason);

/// Runs `plan` through `engine` (see the rules above), creating the output folder first.
/// `engine` may be null for a dry run only; otherwise every photo then fails.
APP_EXPORT BatchSummary RunBatch(const BatchPlan& plan, RenderEngine* engine,
    BatchObserver& observer, const BatchRunOptions& options = {});

} // namespace mtra::app
