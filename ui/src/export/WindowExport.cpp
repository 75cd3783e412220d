// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "export/WindowExport.h"

#include "Application.h"
#include "ApplicationName.h"
#include "Dialogs.h"
#include "export/ExportFailureDialog.h"
#include "import/ImportSupport.h"

#include <app/BatchExport.h>
#include <app/ErrorTexts.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/ProcessHeap.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <memory>

namespace mtra::ui {

namespace {

using Stop = WindowExportResult::Stop;

QString Tr(const char* text)
{
    return QCoreApplication::translate("ExportSelectionWidget", text);
}

/// Marks the rows of the export list whose photo is gone; true when there was one.
bool MarkOfflineRows(int& count)
{
    Application& app = *Application::Instance();
    bool anyOffline = false;
    count = 0;
    for (int row = 0; row < app.BatchModel()->rowCount(); ++row) {
        if (!app.IsBatchRowBatched(row)) {
            continue;
        }
        ++count;
        if (!QFileInfo::exists(app.BatchPathOfRow(row))) {
            import::MarkOffline(row);
            anyOffline = true;
        } else if (app.IsBatchRowOffline(row)) {
            anyOffline = true;
        }
    }
    return anyOffline;
}

/// The background or overlay that is switched on but did not load: every picture would lack
/// it, so the run does not start. Empty when both are fine.
QString MissingLayer(const app::Project& project, const app::RenderEngine& engine)
{
    const std::pair<app::LayerID, std::shared_ptr<app::AbstractImage>> layers[] = {
        { app::BackgroundLayer, project.GetBackgroundImage() },
        { app::OverlayLayer, project.GetOverlayImage() },
    };
    for (const auto& [layer, image] : layers) {
        if (!image || !image->IsEnabled()) {
            continue;
        }
        QString reason = app::PhotoFileProblem(image->Path());
        if (reason.isEmpty() && !engine.IsLayerSet(layer)) {
            reason = app::OfflineText();
        }
        if (!reason.isEmpty()) {
            return app::LayerUnreadableText(layer, image->Path(), reason);
        }
    }
    return QString();
}

/// Frees the preview caches and suspends preview rendering for the run; the destructor undoes
/// both on every way out, exceptions included.
class ExportSuspension
{
public:
    explicit ExportSuspension(Application& app)
        : m_app(app)
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_app.SetRenderSuspended(true);
        m_app.GetRenderEngine().RemoveCacheBeforeExport();
    }
    ~ExportSuspension()
    {
        QGuiApplication::restoreOverrideCursor();
        const app::MTerr restored = m_app.GetRenderEngine().RestoreCacheAfterExport();
        m_app.SetRenderSuspended(false);
        if (restored != app::MT_OK) {
            // Without its caches the canvas cannot draw: the program's out-of-memory handling
            // (save, then quit) is the only safe way on.
            m_app.CheckMemory(app::MT_RENDER_OUT_OF_MEMORY);
        }
    }
    ExportSuspension(const ExportSuspension&) = delete;
    ExportSuspension& operator=(const ExportSuspension&) = delete;

private:
    Application& m_app;
    // Freed pictures stay in the heap for the next photo during the run, and go back after.
    app::BatchHeap m_heap;
};

/// Shows the run in the progress window and collects the failures.
class ProgressObserver : public app::BatchObserver
{
public:
    ProgressObserver(ProgressReporter& progress, WindowExportResult& result)
        : m_progress(progress)
        , m_result(result)
    {
    }
    void Started(int /*total*/) override { }
    void FileStarted(int index, const app::BatchItem& item) override
    {
        const QString name = item.target.isEmpty() ? item.name : QFileInfo(item.target).fileName();
        m_progress.SetLabelText(Tr("Exporting file... %1").arg(name));
        m_progress.SetValue(index);
        QCoreApplication::processEvents();
    }
    void FileDone(int index, const app::BatchItem& item, app::BatchOutcome outcome,
        const QString& detail) override
    {
        if (outcome == app::BatchOutcome::Failed) {
            m_result.failures << (detail.isEmpty()
                    ? item.source
                    : QStringLiteral("%1 (%2)").arg(item.source, detail));
        }
        m_progress.SetValue(index + 1);
        QCoreApplication::processEvents();
    }
    void Finished(int written, int skipped, int /*failed*/) override
    {
        m_result.written = written;
        m_result.skipped = skipped;
    }

private:
    ProgressReporter& m_progress;
    WindowExportResult& m_result;
};

app::ReplaceAnswer AskReplace(QWidget* parent, const QString& target)
{
    // The wait cursor gives way while the user is asked.
    QGuiApplication::restoreOverrideCursor();
    const int answer = Dialogs().Choose(DialogProvider::Kind::Question, parent, ApplicationName(),
        Tr("The following file already exists: \n\n%1\n\nDo you wish to overwrite it?")
            .arg(QDir::toNativeSeparators(target)),
        { Tr("Yes"), Tr("Yes to all"), Tr("No"), Tr("Cancel") }, 0, 3);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    switch (answer) {
    case 0:
        return app::ReplaceAnswer::Yes;
    case 1:
        return app::ReplaceAnswer::YesToAll;
    case 2:
        return app::ReplaceAnswer::No;
    default:
        return app::ReplaceAnswer::Cancel;
    }
}

} // namespace

bool IsStorablePath(const QString& path)
{
    constexpr qsizetype kMaxName = 255;
    constexpr qsizetype kMaxPath = 4096;
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.size() >= kMaxPath) {
        return false;
    }
    for (const QByteArray& name : encoded.split('/')) {
        if (name.size() > kMaxName) {
            return false;
        }
    }
    return true;
}

WindowExportResult ExportBatchImages(QWidget* parent)
{
    Application& app = *Application::Instance();
    WindowExportResult result;

    int count = 0;
    const bool anyOffline = MarkOfflineRows(count);
    if (count == 0) {
        Warn(parent, Tr("Please add at least one image to the Export List."));
        result.stop = Stop::EmptyList;
        return result;
    }
    if (anyOffline
        && Ask(parent,
               Tr("One or more of the images you have chosen to export are offline (cannot be "
                  "found on your computer).\n\nDo you wish to continue?"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            != QMessageBox::Yes) {
        result.stop = Stop::OfflineDeclined;
        return result;
    }

    std::shared_ptr<app::Project> project = app.GetProject();
    app::ExportSettings settings = project->GetExportSettings();
    const QString folder = Dialogs().ExistingFolder(parent,
        Tr("Select the folder where you want to save the images."),
        QString::fromStdWString(settings.Path()));
    if (folder.isEmpty()) {
        result.stop = Stop::NoFolder;
        return result;
    }
    settings.SetPath(QDir::cleanPath(folder).toStdWString());
    app.Document().SetExportSettings(settings);

    app::ExportChoices choices;
    choices.outputDir = QDir::cleanPath(folder);
    const app::BatchPlan plan = app::PlanProjectBatch(project, choices, false);
    for (const app::BatchItem& item : plan.items) {
        if (!item.target.isEmpty() && !IsStorablePath(item.target)) {
            Warn(parent,
                Tr("The Prefix, Postfix and chosen destination folder would result in a filename "
                   "length that exceeds the maximum allowed size.")
                    + QStringLiteral("\n\n")
                    + Tr("Please use a smaller number of characters in the Prefix and Postfix "
                         "fields, and try exporting to a different folder."));
            result.stop = Stop::NameTooLong;
            return result;
        }
    }
    const QString missing = MissingLayer(*project, app.GetRenderEngine());
    if (!missing.isEmpty()) {
        Critical(parent, missing);
        result.stop = Stop::LayerMissing;
        return result;
    }

    {
        std::unique_ptr<ProgressReporter> progress
            = Dialogs().Progress(parent, Tr("Export Progress"), Tr("Exporting files..."),
                Tr("Abort"), static_cast<int>(plan.items.size()));
        ProgressObserver observer(*progress, result);
        app::BatchRunOptions options;
        options.skipOffline = true;
        options.cancelRequested = [&progress] { return progress->WasCanceled(); };
        options.replaceExisting
            = [parent](const app::BatchItem& item) { return AskReplace(parent, item.target); };
        const ExportSuspension suspension(app);
        const app::BatchSummary summary
            = app::RunBatch(plan, &app.GetRenderEngine(), observer, options);
        result.cancelled = summary.cancelled;
        progress->SetValue(static_cast<int>(plan.items.size()));
    }

    // The placement of every layer is drawn again from the rebuilt caches.
    for (app::LayerID layer : { app::BackgroundLayer, app::ForegroundLayer, app::OverlayLayer }) {
        app.InvalidateStage(layer, app::Stage::Transform, orv::image::DownsampleQuarter);
    }
    app.RefreshCanvas(orv::image::DownsampleFull);

    if (app.RanOutOfMemory()) {
        return result;
    }
    if (result.failures.isEmpty()) {
        Inform(parent, Tr("Finished exporting."));
    } else {
        ShowExportFailures(parent, result.failures);
    }
    return result;
}

} // namespace mtra::ui
