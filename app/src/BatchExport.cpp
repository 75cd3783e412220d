// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/BatchExport.h>

#include <app/Canvas.h>
#include <app/ErrorTexts.h>
#include <app/ForegroundImageList.h>
#include <app/ImportNaming.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>
#include <app/RenderEngine.h>
#include <app/WholeFileWriter.h>

#include <ovimageengine/OVImageSupport.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <future>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace mtra::app {

namespace {

// The names the run writes, once each: a second photo with the same target (possible only
// with a hand-made project) is refused rather than written over the first.
void AssignTargets(BatchPlan& plan, const QString& prefix, const QString& postfix)
{
    std::map<QString, QString> writtenBy;
    for (BatchItem& item : plan.items) {
        if (!item.problem.isEmpty())
            continue;
        if (!IsPlainFileName(item.name)) {
            item.problem = UnsafeStoredNameText(item.name);
            continue;
        }
        item.target
            = QDir(plan.outputDir)
                  .filePath(ExportFileName(prefix, item.name, postfix, plan.format.extension));
        const auto [it, added] = writtenBy.emplace(item.target, item.source);
        if (!added) {
            item.problem = SameTargetText(item.target, it->second);
            item.target.clear();
        }
    }
}

// An output name counts as taken when anything is there, a symbolic link included, whether
// it points to a file, a folder or nowhere: a link is never written through.
bool TargetExists(const QString& target)
{
    const QFileInfo info(target);
    return info.isSymLink() || info.exists();
}

// A file's identity: device and inode, the same for every path that reaches it.
using FileId = std::pair<dev_t, ino_t>;

std::optional<FileId> IdOf(const QString& path, bool followLink)
{
    struct stat status {
    };
    const QByteArray native = QFile::encodeName(path);
    const int result
        = followLink ? ::stat(native.constData(), &status) : ::lstat(native.constData(), &status);
    if (result != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return FileId(status.st_dev, status.st_ino);
}

// Every file the run reads: its photos, background and overlay.
std::set<FileId> InputsOf(const BatchPlan& plan)
{
    std::set<FileId> inputs;
    const auto add = [&](const QString& path) {
        if (const auto id = IdOf(path, true))
            inputs.insert(*id);
    };
    for (const BatchItem& item : plan.items)
        add(item.source);
    for (const QString& source : plan.otherSources)
        add(source);
    if (const auto background = plan.project->GetBackgroundImage())
        add(background->Path());
    if (const auto overlay = plan.project->GetOverlayImage())
        add(overlay->Path());
    return inputs;
}

ExportFormatInfo ChosenFormat(const ExportSettings& settings, const ExportChoices& choices)
{
    return ExportFormatFor(
        choices.format.value_or(settings.Format()), choices.quality.value_or(settings.Quality()));
}

QString Absolute(const QString& folder)
{
    return folder.isEmpty() ? folder : QFileInfo(folder).absoluteFilePath();
}

} // namespace

BatchObserver::~BatchObserver() = default;

QString StoredExportFolder(const Project& project)
{
    const QString stored = QString::fromStdWString(project.GetExportSettings().Path());
    if (stored.isEmpty())
        return stored;
    return project.Folder().isEmpty() ? Absolute(stored) : ResolvedPath(project.Folder(), stored);
}

BatchPlan PlanProjectBatch(
    std::shared_ptr<Project> project, const ExportChoices& choices, bool allImages)
{
    BatchPlan plan;
    plan.project = std::move(project);
    const ExportSettings& settings = plan.project->GetExportSettings();
    plan.format = ChosenFormat(settings, choices);
    plan.outputDir = choices.outputDir.isEmpty() ? StoredExportFolder(*plan.project)
                                                 : Absolute(choices.outputDir);
    const ForegroundImageList& images = plan.project->GetForegroundImageList();
    for (auto it = images.Begin(); it != images.End(); ++it) {
        const ForegroundImage& image = *it->second;
        if (allImages || image.IsBatched())
            plan.items.push_back({ image.Path(), image.Filename(), QString(), QString() });
    }
    // The program's export list is sorted by name.
    std::stable_sort(plan.items.begin(), plan.items.end(),
        [](const BatchItem& a, const BatchItem& b) { return a.name < b.name; });
    AssignTargets(plan, choices.prefix.value_or(QString::fromStdWString(settings.Prefix())),
        choices.postfix.value_or(QString::fromStdWString(settings.Suffix())));
    return plan;
}

bool PlanPhotoBatch(const QString& background, const QString& overlay, const QStringList& photos,
    const ExportChoices& choices, BatchPlan& plan, QString& message)
{
    plan = BatchPlan();
    QSize canvas;
    QString reason;
    if (PhotoSize(background, canvas, &reason) != MT_OK) {
        message = LayerUnreadableText(BackgroundLayer, background, reason);
        return false;
    }
    if (!IsSupportedCanvasSize(canvas.width(), canvas.height())) {
        message = CanvasUnsupportedText(canvas.width(), canvas.height());
        return false;
    }
    QSize overlaySize;
    if (!overlay.isEmpty() && PhotoSize(overlay, overlaySize, &reason) != MT_OK) {
        message = LayerUnreadableText(OverlayLayer, overlay, reason);
        return false;
    }

    MTerr result = MT_OK;
    auto project = std::make_shared<Project>(result);
    if (result != MT_OK) {
        message = ErrorText(result);
        return false;
    }
    project->GetCanvas().SetDimensions(canvas.width(), canvas.height());
    const QFileInfo backgroundFile(background);
    project->SetBackgroundImage(std::make_shared<BackgroundImage>(
        backgroundFile.completeBaseName(), backgroundFile.absoluteFilePath(), true));
    if (!overlay.isEmpty()) {
        const QFileInfo overlayFile(overlay);
        project->SetOverlayImage(std::make_shared<OverlayImage>(
            overlayFile.completeBaseName(), overlayFile.absoluteFilePath(), true, false));
    }

    BatchPlan planned;
    planned.project = project;
    planned.format = ChosenFormat(project->GetExportSettings(), choices);
    planned.outputDir = Absolute(choices.outputDir);
    UniqueNames names;
    std::set<QString> seen;
    ForegroundImageList& batch = project->GetForegroundImageList();
    const auto addPhoto = [&](const QString& path) {
        const QFileInfo info(path);
        const QString absolute = info.absoluteFilePath();
        if (!seen.insert(absolute).second)
            return; // named twice: rendered once
        BatchItem item { absolute, names.Add(info.completeBaseName()), QString(), QString() };
        if (!HasImageSuffix(absolute))
            item.problem = IncompatibleFileText();
        else if (batch.Add(std::make_shared<ForegroundImage>(
                     item.name, absolute, true, false, false, true))
            != MT_OK)
            item.problem = NotAddedToBatchText();
        planned.items.push_back(item);
    };
    for (const QString& input : photos) {
        if (QFileInfo(input).isDir()) {
            const FolderContents contents = WalkImageFolder(input);
            for (const QString& photo : contents.images)
                addPhoto(photo);
            planned.leftOut += static_cast<int>(contents.leftOut.size());
        } else {
            addPhoto(input);
        }
    }
    const ExportSettings& settings = project->GetExportSettings();
    AssignTargets(planned, choices.prefix.value_or(QString::fromStdWString(settings.Prefix())),
        choices.postfix.value_or(QString::fromStdWString(settings.Suffix())));
    plan = std::move(planned);
    return true;
}

bool SelectShard(BatchPlan& plan, int index, int count)
{
    if (count < 1 || index < 0 || index >= count)
        return false;
    std::vector<BatchItem> kept;
    kept.reserve(plan.items.size() / static_cast<std::size_t>(count) + 1);
    for (std::size_t place = 0; place < plan.items.size(); ++place) {
        BatchItem& item = plan.items[place];
        if (place % static_cast<std::size_t>(count) == static_cast<std::size_t>(index))
            kept.push_back(std::move(item));
        else
            plan.otherSources.push_back(item.source);
    }
    plan.items = std::move(kept);
    return true;
}

MTerr OpenExportEngine(
    const BatchPlan& plan, std::unique_ptr<RenderEngine>& engine, QString& message)
{
    engine.reset();
    const Project& project = *plan.project;
    // No screen and no preview: the engine allocates only what the export itself needs.
    MTerr result = MT_OK;
    std::unique_ptr<RenderEngine> made = RenderEngine::ForExport(plan.project, result);
    if (result != MT_OK || !made) {
        message = ErrorText(result);
        return result;
    }

    // The foreground layer holds one photo of the batch. The first one to be written is
    // taken, then the project's current one, then one whose file may be kept.
    std::vector<QString> candidates;
    std::vector<QString> existing;
    for (const BatchItem& item : plan.items) {
        if (item.problem.isEmpty())
            (TargetExists(item.target) ? existing : candidates).push_back(item.source);
    }
    candidates.push_back(project.CurrentForegroundPath());
    candidates.insert(candidates.end(), existing.begin(), existing.end());
    const auto usable = [&](const QString& path) {
        return !path.isEmpty() && project.GetForegroundImageList().Find(path)
            && PhotoFileProblem(path).isEmpty();
    };
    auto candidate = std::find_if(candidates.begin(), candidates.end(), usable);

    // Background, overlay and the first candidate decode at the same time.
    std::array<QString, 3> paths;
    const auto pathOf
        = [](const AbstractImage* image) { return image == nullptr ? QString() : image->Path(); };
    paths[BackgroundLayer] = pathOf(project.GetBackgroundImage().get());
    paths[OverlayLayer] = pathOf(project.GetOverlayImage().get());
    if (candidate != candidates.end())
        paths[ForegroundLayer] = *candidate;
    std::array<MTerr, 3> results {};
    std::array<QString, 3> reasons;
    made->SetLayers(paths, results, reasons);
    for (const LayerID layer : { BackgroundLayer, OverlayLayer }) {
        const MTerr set = results[layer];
        if (set != MT_OK) {
            const QString& found = reasons[layer];
            message = LayerUnreadableText(layer, paths[layer],
                set == MT_CACHE_NOT_CREATED && !found.isEmpty() ? found : ErrorText(set));
            return set;
        }
    }
    // A first candidate that does not load leaves the layer to the next one that does.
    if (candidate != candidates.end() && results[ForegroundLayer] != MT_OK) {
        for (++candidate; candidate != candidates.end(); ++candidate) {
            if (usable(*candidate) && made->SetLayer(ForegroundLayer, *candidate) == MT_OK)
                break;
        }
    }
    engine = std::move(made);
    return MT_OK;
}

bool PrepareOutputFolder(const BatchPlan& plan, QString& reason)
{
    const QString& folder = plan.outputDir;
    const QFileInfo info(folder);
    if (folder.isEmpty() || (info.exists() && !info.isDir())) {
        reason = OutputFolderText(folder, NotAFolderText());
        return false;
    }
    if (!QDir().mkpath(folder)) {
        reason = OutputFolderText(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0) {
        reason = OutputFolderText(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

namespace {

using Outcome = std::pair<BatchOutcome, QString>;

// Encodes and writes one composite: written, or failed with the reason.
Outcome EncodeAndWrite(QImage composite, const ExportFormatInfo& format, const QString& target)
{
    QString failure;
    try {
        QByteArray bytes;
        const bool encoded = EncodeImage(composite, format, bytes, &failure);
        composite = QImage(); // the composite's memory goes before the file is written
        if (encoded)
            WriteWholeFile(target, bytes, &failure);
    } catch (const std::bad_alloc&) {
        failure = EncodeOutOfMemoryText();
    }
    return Outcome(failure.isEmpty() ? BatchOutcome::Written : BatchOutcome::Failed, failure);
}

// The reason an export gave no picture: the reader's own finding ("data ends early") says more
// than "cannot be read". Read on the thread that rendered.
QString ExportFailureText(MTerr error)
{
    const QString found = LastPhotoFailure();
    return error == MT_EXPORT_FOREGROUND_FAILED && !found.isEmpty() ? found : ErrorText(error);
}

// Runs `work` on a thread of its own; on the calling thread when none can be started. The
// thread gets a copy: `std::async` takes its callable before it tries to start the thread, so a
// callable moved into it would be empty here when no thread can be had.
template <typename Work> std::future<Outcome> Launch(const Work& work)
{
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        Work here = work;
        std::promise<Outcome> now;
        now.set_value(here());
        return now.get_future();
    }
}

std::future<Outcome> Ready(BatchOutcome outcome, const QString& detail)
{
    std::promise<Outcome> now;
    now.set_value(Outcome(outcome, detail));
    return now.get_future();
}

} // namespace

BatchSummary RunBatch(const BatchPlan& plan, RenderEngine* engine, BatchObserver& observer,
    const BatchRunOptions& options)
{
    BatchSummary summary;
    if (!options.dryRun)
        QDir().mkpath(plan.outputDir);

    const int total = static_cast<int>(plan.items.size());
    observer.Started(total);
    const auto count = [&](int index, BatchOutcome outcome, const QString& detail) {
        switch (outcome) {
        case BatchOutcome::Written:
        case BatchOutcome::WouldWrite:
            ++summary.written;
            break;
        case BatchOutcome::Skipped:
            ++summary.skipped;
            break;
        case BatchOutcome::Failed:
            ++summary.failed;
            break;
        }
        observer.FileDone(index, plan.items[static_cast<std::size_t>(index)], outcome, detail);
    };

    // Photos whose outcome is not reported yet, oldest first. With one job the next photo
    // renders here while the one before is encoded and written on a thread; with more, each
    // photo renders, encodes and writes on a thread of its own, at most `jobs` at once, the
    // engine's workers divided among them.
    const int jobs = std::max(1, options.jobs);
    const unsigned workersPerJob = std::max(1u, orv::image::RenderWorkerCount() / unsigned(jobs));
    struct InFlight {
        int index = -1;
        bool renders = false; // holds a picture (or will), not just an outcome known at once
        std::future<Outcome> outcome;
    };
    std::deque<InFlight> inFlight;
    int rendering = 0;
    const auto reportOldest = [&] {
        InFlight oldest = std::move(inFlight.front());
        inFlight.pop_front();
        rendering -= oldest.renders ? 1 : 0;
        const Outcome outcome = oldest.outcome.get();
        count(oldest.index, outcome.first, outcome.second);
    };
    const auto reportAll = [&] {
        while (!inFlight.empty())
            reportOldest();
    };

    // A target that is one of the run's own inputs (the output folder holding the photos) is
    // never replaced, whatever the answer: the original would be lost. A link is replaced
    // itself, so only a target that is the file itself counts.
    const std::set<FileId> inputs = InputsOf(plan);
    bool replaceAll = false;
    for (int index = 0; index < total; ++index) {
        if (options.cancelRequested && options.cancelRequested()) {
            summary.cancelled = true;
            break;
        }
        const BatchItem& item = plan.items[static_cast<std::size_t>(index)];
        observer.FileStarted(index, item);
        const auto done = [&](BatchOutcome outcome, const QString& detail) {
            if (jobs > 1) {
                inFlight.push_back({ index, false, Ready(outcome, detail) });
            } else {
                reportAll();
                count(index, outcome, detail);
            }
        };
        if (!item.problem.isEmpty()) {
            done(BatchOutcome::Failed, item.problem);
            continue;
        }
        if (const auto target = IdOf(item.target, false); target && inputs.count(*target) != 0) {
            done(BatchOutcome::Failed, SameAsInputText(item.target));
            continue;
        }
        if (!replaceAll && TargetExists(item.target)) {
            const ReplaceAnswer answer
                = options.replaceExisting ? options.replaceExisting(item) : ReplaceAnswer::No;
            if (answer == ReplaceAnswer::Cancel) {
                done(BatchOutcome::Skipped, CancelledText());
                summary.cancelled = true;
                break;
            }
            if (answer == ReplaceAnswer::No) {
                done(BatchOutcome::Skipped, AlreadyExistsText());
                continue;
            }
            replaceAll = answer == ReplaceAnswer::YesToAll;
        }
        // A missing, unreadable or non-regular photo fails here, before a reader could block
        // on a pipe.
        const QString fileProblem = PhotoFileProblem(item.source);
        if (!fileProblem.isEmpty()) {
            const bool offline = fileProblem == OfflineText();
            done(offline && options.skipOffline ? BatchOutcome::Skipped : BatchOutcome::Failed,
                fileProblem);
            continue;
        }
        if (options.dryRun) {
            done(BatchOutcome::WouldWrite, QString());
            continue;
        }
        if (engine == nullptr) {
            done(BatchOutcome::Failed, ErrorText(MT_LAYER_NOT_SET));
            continue;
        }

        if (jobs > 1) {
            while (rendering >= jobs)
                reportOldest();
            ++rendering;
            inFlight.push_back({ index, true,
                Launch([engine, format = plan.format, source = item.source, target = item.target,
                           workersPerJob]() -> Outcome {
                    const orv::image::WorkerLimit limit(workersPerJob);
                    MTerr error = MT_OK;
                    QImage image = engine->ExportQImage(source, error);
                    if (error != MT_OK || image.isNull())
                        return Outcome(BatchOutcome::Failed, ExportFailureText(error));
                    return EncodeAndWrite(std::move(image), format, target);
                }) });
            // Outcomes known by now are told at once, in order.
            while (!inFlight.empty()
                && inFlight.front().outcome.wait_for(std::chrono::seconds(0))
                    == std::future_status::ready)
                reportOldest();
            continue;
        }

        MTerr error = MT_OK;
        QImage image = engine->ExportQImage(item.source, error);
        if (error != MT_OK || image.isNull()) {
            done(BatchOutcome::Failed, ExportFailureText(error));
            continue;
        }
        // The foreground layer of an engine made for the run holds the first photo that
        // renders, for this export to reuse; after it, that decode only takes room.
        if (engine->IsExportOnly() && engine->IsLayerSet(ForegroundLayer))
            engine->RemoveLayer(ForegroundLayer);
        reportAll();
        // A shared copy: the image stays whole here should the thread not start.
        inFlight.push_back(
            { index, true, Launch([image, format = plan.format, target = item.target]() mutable {
                 return EncodeAndWrite(std::move(image), format, target);
             }) });
        image = QImage();
    }
    reportAll();
    observer.Finished(summary.written, summary.skipped, summary.failed);
    return summary;
}

} // namespace mtra::app
