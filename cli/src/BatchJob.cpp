// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "BatchJob.h"

#include <app/Canvas.h>
#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <future>
#include <map>
#include <set>
#include <system_error>
#include <utility>

namespace mtra::cli {

namespace {

// Relative image paths of a project are read from the project's folder while it renders.
class CurrentFolder
{
public:
    explicit CurrentFolder(const QString& folder)
        : m_previous(QDir::currentPath())
    {
        if (!folder.isEmpty())
            QDir::setCurrent(folder);
    }
    ~CurrentFolder() { QDir::setCurrent(m_previous); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    QString m_previous;
};

// The size of an image as it is shown (after its EXIF orientation), read from its header.
bool UprightSize(const QString& path, QSize& size, QString& error)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    size = reader.size();
    if (!reader.canRead() || !size.isValid()) {
        error = reader.errorString();
        return false;
    }
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return true;
}

bool CheckLayerFile(const QString& path, const char* what, QString& message)
{
    QSize size;
    QString error;
    if (UprightSize(path, size, error))
        return true;
    message = QStringLiteral("the %1 %2 cannot be read: %3").arg(QLatin1String(what), path, error);
    return false;
}

// The names the run writes, once each: a second photo with the same output name (possible
// only with a hand-made project) is refused rather than written over the first.
void AssignTargets(BatchPlan& plan, const QString& prefix, const QString& postfix)
{
    std::map<QString, QString> writtenBy;
    for (BatchItem& item : plan.items) {
        if (!item.problem.isEmpty())
            continue;
        if (!IsPlainFileName(item.name)) {
            item.problem
                = QStringLiteral("its stored name \"%1\" is not a plain file name").arg(item.name);
            continue;
        }
        item.target
            = QDir(plan.outputDir)
                  .filePath(ExportFileName(prefix, item.name, postfix, plan.format.extension));
        const auto [it, added] = writtenBy.emplace(item.target, item.source);
        if (!added) {
            item.problem = QStringLiteral("it would be written to %1, as %2 is")
                               .arg(item.target, it->second);
            item.target.clear();
        }
    }
}

FormatInfo ChosenFormat(const app::ExportSettings& settings, const RenderOptions& options)
{
    const int quality = std::clamp(options.quality.value_or(settings.Quality()), 0, 100);
    return InfoForFormat(options.format.value_or(settings.Format()), quality);
}

} // namespace

QString DescribeError(app::MTerr error)
{
    switch (error) {
    case app::MT_OK:
        return QStringLiteral("no error");
    case app::MT_FILE_OPEN_FAILED:
        return QStringLiteral("the file cannot be opened");
    case app::MT_XML_PARSE_FAILED:
        return QStringLiteral("the file is not a well-formed project file");
    case app::MT_XML_INVALID:
        return QStringLiteral("the project is invalid: a value is missing, out of range or unsafe");
    case app::MT_OUT_OF_MEMORY:
    case app::MT_RENDER_OUT_OF_MEMORY:
        return QStringLiteral("out of memory");
    case app::MT_DEFAULT_PROJECT_FAILED:
        return QStringLiteral("the built-in default project failed to load");
    case app::MT_STAGE_RENDER_FAILED:
        return QStringLiteral("keying or filtering failed");
    case app::MT_CANVAS_NOT_COMPOSED:
        return QStringLiteral("the layers could not be composited");
    case app::MT_CACHE_NOT_CREATED:
        return QStringLiteral(
            "the image cannot be read (not an image, damaged, or above 100 megapixels)");
    case app::MT_EXPORT_FOREGROUND_FAILED:
        return QStringLiteral("the photo cannot be read (not an image or damaged)");
    case app::MT_EXPORT_BACKGROUND_FAILED:
        return QStringLiteral("the background could not be prepared");
    default:
        return QStringLiteral("error %1").arg(static_cast<int>(error));
    }
}

bool PlanFromProject(const RenderOptions& options, BatchPlan& plan, QString& message)
{
    const QFileInfo file(options.project);
    if (!file.isFile()) {
        message = QStringLiteral("%1: no such project file").arg(options.project);
        return false;
    }
    app::MTerr result = app::MT_OK;
    plan = BatchPlan();
    plan.project = std::make_shared<app::Project>(file.absoluteFilePath(), result);
    if (result != app::MT_OK) {
        message = QStringLiteral("%1: %2").arg(options.project, DescribeError(result));
        return false;
    }
    const app::Project& project = *plan.project;
    if (!app::IsSupportedCanvasSize(project.GetCanvas().Width(), project.GetCanvas().Height())) {
        message = QStringLiteral("%1: the canvas size is unsupported").arg(options.project);
        return false;
    }
    plan.baseDir = file.absolutePath();

    const app::ExportSettings& settings = project.GetExportSettings();
    plan.format = ChosenFormat(settings, options);
    // -o is relative to where the command runs, a stored folder to the project's folder.
    const QString stored = QString::fromStdWString(settings.Path());
    if (!options.outputDir.isEmpty())
        plan.outputDir = QFileInfo(options.outputDir).absoluteFilePath();
    else if (!stored.isEmpty())
        plan.outputDir = QDir(plan.baseDir).absoluteFilePath(stored);
    else {
        message
            = QStringLiteral("%1 has no export folder: give one with -o DIR").arg(options.project);
        return false;
    }

    const app::ForegroundImageList& images = project.GetForegroundImageList();
    for (auto it = images.Begin(); it != images.End(); ++it) {
        const app::ForegroundImage& image = *it->second;
        if (options.all || image.IsBatched())
            plan.items.push_back({ image.Path(), image.Filename(), QString(), QString() });
    }
    // The program's export list is sorted by name.
    std::stable_sort(plan.items.begin(), plan.items.end(),
        [](const BatchItem& a, const BatchItem& b) { return a.name < b.name; });
    AssignTargets(plan, options.prefix.value_or(QString::fromStdWString(settings.Prefix())),
        options.postfix.value_or(QString::fromStdWString(settings.Suffix())));
    return true;
}

bool PlanFromPhotos(const RenderOptions& options, BatchPlan& plan, QString& message)
{
    plan = BatchPlan();
    QSize canvas;
    QString error;
    if (!UprightSize(options.background, canvas, error)) {
        message
            = QStringLiteral("the background %1 cannot be read: %2").arg(options.background, error);
        return false;
    }
    if (!app::IsSupportedCanvasSize(canvas.width(), canvas.height())) {
        message = QStringLiteral("the background is %1 x %2 pixels: a canvas above 25 megapixels "
                                 "is unsupported")
                      .arg(canvas.width())
                      .arg(canvas.height());
        return false;
    }
    if (!options.overlay.isEmpty() && !CheckLayerFile(options.overlay, "overlay", message))
        return false;

    app::MTerr result = app::MT_OK;
    plan.project = std::make_shared<app::Project>(result);
    if (result != app::MT_OK) {
        message = DescribeError(result);
        return false;
    }
    app::Project& project = *plan.project;
    project.GetCanvas().SetDimensions(canvas.width(), canvas.height());
    const QFileInfo background(options.background);
    project.SetBackgroundImage(std::make_shared<app::BackgroundImage>(
        background.completeBaseName(), background.absoluteFilePath(), true));
    if (!options.overlay.isEmpty()) {
        const QFileInfo overlay(options.overlay);
        project.SetOverlayImage(std::make_shared<app::OverlayImage>(
            overlay.completeBaseName(), overlay.absoluteFilePath(), true, false));
    }

    plan.format = ChosenFormat(project.GetExportSettings(), options);
    plan.outputDir = QFileInfo(options.outputDir).absoluteFilePath();

    UniqueNames names;
    std::set<QString> seen;
    auto addPhoto = [&](const QString& path) {
        const QFileInfo info(path);
        const QString absolute = info.absoluteFilePath();
        if (!seen.insert(absolute).second)
            return; // named twice: rendered once
        BatchItem item { absolute, names.Add(info.completeBaseName()), QString(), QString() };
        if (!HasImageSuffix(absolute))
            item.problem = QStringLiteral("not a compatible image file (bmp, jpg, jpeg, png, tif, "
                                          "tiff)");
        else if (project.GetForegroundImageList().Add(std::make_shared<app::ForegroundImage>(
                     item.name, absolute, true, false, false, true))
            != app::MT_OK)
            item.problem = QStringLiteral("cannot be added to the batch");
        plan.items.push_back(item);
    };
    for (const QString& input : options.photos) {
        if (QFileInfo(input).isDir()) {
            for (const QString& photo : ImageFilesInFolder(input))
                addPhoto(photo);
        } else {
            addPhoto(input);
        }
    }
    AssignTargets(plan, options.prefix.value_or(QString()), options.postfix.value_or(QString()));
    return true;
}

bool EncodeImage(const QImage& image, const FormatInfo& format, QByteArray& bytes, QString& error)
{
    bytes.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format.writerFormat);
    writer.setQuality(format.quality);
    if (writer.write(image))
        return true;
    error = QStringLiteral("cannot encode as %1: %2")
                .arg(QString::fromLatin1(format.writerFormat), writer.errorString());
    return false;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        file.commit(); // removes the temporary file
        return false;
    }
    if (!file.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool RunBatch(const BatchPlan& plan, const RenderOptions& options, BatchObserver& observer,
    RunSummary& summary, QString& message)
{
    summary = RunSummary();
    CurrentFolder inProject(plan.baseDir);
    app::Project& project = *plan.project;

    std::unique_ptr<app::RenderEngine> engine;
    if (!options.dryRun) {
        // No screen: the preview's window caches stay tiny, and go before the export as the
        // program's export frees them.
        app::MTerr result = app::MT_OK;
        engine = std::make_unique<app::RenderEngine>(plan.project, orv::image::Bits8,
            orv::image::PixelOrderBGRA, QRect(0, 0, 16, 16), result);
        if (result != app::MT_OK) {
            message = DescribeError(result);
            return false;
        }
        // Background and overlay are loaded once; a batch without them would be wrong as a
        // whole, so nothing is written when either does not load.
        auto setLayer = [&](app::LayerID layer, const app::AbstractImage* image, const char* what) {
            if (!image || image->Path().isEmpty())
                return true;
            const app::MTerr set = engine->SetLayer(layer, image->Path());
            if (set == app::MT_OK)
                return true;
            message = QStringLiteral("the %1 %2 cannot be read: %3")
                          .arg(QLatin1String(what), image->Path(), DescribeError(set));
            return false;
        };
        if (!setLayer(app::BackgroundLayer, project.GetBackgroundImage().get(), "background")
            || !setLayer(app::OverlayLayer, project.GetOverlayImage().get(), "overlay"))
            return false;
        // The program's foreground layer holds one photo of the batch; which one plays no part
        // in the exports. The first one to be written is taken (its export then reuses the
        // layer's decode), else the project's current one.
        std::vector<QString> candidates;
        for (const BatchItem& item : plan.items) {
            const bool kept
                = options.existing == ExistingFiles::Skip && QFileInfo::exists(item.target);
            if (item.problem.isEmpty() && !kept)
                candidates.push_back(item.source);
        }
        candidates.push_back(project.CurrentForegroundPath());
        for (const QString& path : candidates) {
            if (!path.isEmpty() && project.GetForegroundImageList().Find(path)
                && QFileInfo::exists(path)
                && engine->SetLayer(app::ForegroundLayer, path) == app::MT_OK)
                break;
        }
        engine->RemoveCacheBeforeExport();
        QDir().mkpath(plan.outputDir);
    }

    const int total = static_cast<int>(plan.items.size());
    observer.Started(total);
    auto count = [&](int index, FileOutcome outcome, const QString& detail) {
        switch (outcome) {
        case FileOutcome::Written:
        case FileOutcome::WouldWrite:
            ++summary.written;
            break;
        case FileOutcome::Skipped:
            ++summary.skipped;
            break;
        case FileOutcome::Failed:
            ++summary.failed;
            break;
        }
        observer.FileDone(index, plan.items[static_cast<std::size_t>(index)], outcome, detail);
    };
    // Encoding and writing one picture overlaps the rendering of the next: the encoder is
    // single-threaded, and so are the engine's decodes, so on two cores the pair keeps both
    // busy. Outcomes are still reported in order, the written file one picture behind.
    struct Pending {
        int index = -1;
        std::future<QString> failure; // empty once the file is written
    } pending;
    auto finishPending = [&] {
        if (pending.index < 0)
            return;
        const QString failure = pending.failure.get();
        const int index = std::exchange(pending.index, -1);
        count(index, failure.isEmpty() ? FileOutcome::Written : FileOutcome::Failed, failure);
    };
    for (int index = 0; index < total; ++index) {
        const BatchItem& item = plan.items[static_cast<std::size_t>(index)];
        observer.FileStarted(index, item);
        auto done = [&](FileOutcome outcome, const QString& detail) {
            finishPending();
            count(index, outcome, detail);
        };
        if (!item.problem.isEmpty()) {
            done(FileOutcome::Failed, item.problem);
            continue;
        }
        if (options.existing == ExistingFiles::Skip && QFileInfo::exists(item.target)) {
            done(FileOutcome::Skipped, QStringLiteral("already exists"));
            continue;
        }
        if (!QFileInfo::exists(item.source)) {
            done(FileOutcome::Failed, QStringLiteral("file not found (offline)"));
            continue;
        }
        if (options.dryRun) {
            done(FileOutcome::WouldWrite, QString());
            continue;
        }
        app::MTerr error = app::MT_OK;
        QImage image = engine->ExportQImage(item.source, error);
        if (error != app::MT_OK || image.isNull()) {
            done(FileOutcome::Failed, DescribeError(error));
            continue;
        }
        finishPending();
        pending.index = index;
        // Encodes and writes one composite; the reason of a failure, or empty.
        auto encodeAndWrite = [format = plan.format, target = item.target](QImage composite) {
            QString failure;
            try {
                QByteArray bytes;
                const bool encoded = EncodeImage(composite, format, bytes, failure);
                composite = QImage(); // the composite's memory goes before the file is written
                if (encoded)
                    WriteWholeFile(target, bytes, failure);
            } catch (const std::bad_alloc&) {
                failure = QStringLiteral("out of memory while encoding");
            }
            return failure;
        };
        try {
            // A shared copy: the image stays whole here should the thread not start.
            pending.failure = std::async(std::launch::async, encodeAndWrite, image);
            image = QImage();
        } catch (const std::system_error&) {
            // No second thread to be had: this picture is written before the next renders.
            std::promise<QString> now;
            now.set_value(encodeAndWrite(std::move(image)));
            pending.failure = now.get_future();
        }
    }
    finishPending();
    observer.Finished(summary.written, summary.skipped, summary.failed);
    return true;
}

} // namespace mtra::cli
