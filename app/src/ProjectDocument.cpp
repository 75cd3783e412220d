// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ProjectDocument.h>

#include <app/Canvas.h>
#include <app/ImageSettings.h>
#include <app/ItemLists.h>
#include <app/LayerImages.h>
#include <app/Project.h>
#include <app/RenderEngine.h>
#include <app/TransformItems.h>

#include <QFileInfo>
#include <QSet>

#include <new>
#include <utility>

namespace mtra::app {

namespace {

bool SameExportSettings(const ExportSettings& a, const ExportSettings& b)
{
    return a.Format() == b.Format() && a.Quality() == b.Quality() && a.Path() == b.Path()
        && a.Prefix() == b.Prefix() && a.Suffix() == b.Suffix()
        && a.IsCodecCollapsed() == b.IsCodecCollapsed()
        && a.IsSelectionCollapsed() == b.IsSelectionCollapsed();
}

// "Fit to canvas": the overlay's transformation scales it onto the canvas exactly.
void FitToCanvas(OverlayImageSettings& settings, const QSize& overlay, const Canvas& canvas)
{
    TransformationTransformItem* transformation = nullptr;
    const FitTransformItem* fit = nullptr;
    TransformList& transforms = settings.Transforms();
    for (auto it = transforms.Begin(); it != transforms.End(); ++it) {
        if ((*it)->Type() == TransformationTransform && transformation == nullptr)
            transformation = static_cast<TransformationTransformItem*>(it->get());
        else if ((*it)->Type() == FitTransform && fit == nullptr)
            fit = static_cast<const FitTransformItem*>(it->get());
    }
    if (transformation == nullptr || fit == nullptr || fit->Fit() != FitModeCanvas)
        return;
    const bool known = !overlay.isEmpty() && canvas.Width() > 0 && canvas.Height() > 0;
    transformation->SetTranslateX(0);
    transformation->SetTranslateY(0);
    transformation->SetRotation(0);
    transformation->SetScaleX(known ? double(canvas.Width()) / overlay.width() : 1.0);
    transformation->SetScaleY(known ? double(canvas.Height()) / overlay.height() : 1.0);
}

} // namespace

const QString& ProjectDocument::ApplicationVersion()
{
    static const QString version = QStringLiteral("1.0.0020");
    return version;
}

const QString& ProjectDocument::FileFormat()
{
    static const QString format = QStringLiteral("1.0");
    return format;
}

ProjectDocument::ProjectDocument(const QRect& window, QObject* parent)
    : QObject(parent)
    , m_window(window)
{
}

ProjectDocument::~ProjectDocument() = default;

MTerr ProjectDocument::New()
{
    try {
        MTerr result = MT_DEFAULT_PROJECT_FAILED;
        auto project = std::make_shared<Project>(result);
        if (result != MT_OK)
            return result;
        return Replace(std::move(project), QString());
    } catch (const std::bad_alloc&) {
        return MT_RENDER_OUT_OF_MEMORY;
    }
}

MTerr ProjectDocument::Open(const QString& path)
{
    try {
        MTerr result = MT_FILE_OPEN_FAILED;
        auto project = std::make_shared<Project>(path, result);
        // The project falls back on the default document when the file fails; the caller
        // decides what to do instead, so the current project stays.
        if (result != MT_OK)
            return result;
        return Replace(std::move(project), path);
    } catch (const std::bad_alloc&) {
        return MT_RENDER_OUT_OF_MEMORY;
    }
}

MTerr ProjectDocument::Replace(std::shared_ptr<Project> project, const QString& path)
{
    MTerr error = MT_CACHE_NOT_CREATED;
    auto engine = std::make_shared<RenderEngine>(
        project, orv::image::Bits8, orv::image::PixelOrderBGRA, m_window, error);
    if (error != MT_OK)
        return error;
    if (!path.isEmpty()) {
        project->SetPath(path);
        project->SetName(QFileInfo(path).completeBaseName());
    }

    emit AboutToReplaceProject();
    // The old engine goes first: it shares the old project.
    m_engine = std::move(engine);
    m_project = std::move(project);
    m_filePath = path;
    SetModified(false);
    emit ProjectReplaced();
    return MT_OK;
}

MTerr ProjectDocument::Save(const QString& path)
{
    if (!m_project || path.isEmpty())
        return MT_XML_WRITE_FAILED;
    // The name is written with the project, so it is set first and put back on failure.
    const QString oldName = m_project->Name();
    const QString oldPath = m_project->Path();
    m_project->SetName(QFileInfo(path).completeBaseName());
    m_project->SetPath(path);
    const MTerr saved = m_project->SaveToXml(path, ApplicationVersion(), FileFormat());
    if (saved != MT_OK) {
        m_project->SetName(oldName);
        m_project->SetPath(oldPath);
        return saved;
    }
    m_filePath = path;
    SetModified(false);
    return MT_OK;
}

MTerr ProjectDocument::Save()
{
    return m_filePath.isEmpty() ? MT_XML_WRITE_FAILED : Save(m_filePath);
}

void ProjectDocument::MarkModified()
{
    SetModified(true);
}

void ProjectDocument::SetModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit ModifiedChanged(modified);
}

void ProjectDocument::Changed(LayerID layer, Stage stage)
{
    SetModified(true);
    emit LayerChanged(layer, stage);
}

MTerr ProjectDocument::ItemChanged(LayerID layer, Stage stage)
{
    if (!m_engine)
        return MT_CACHE_NOT_CREATED;
    if (const MTerr result = m_engine->Invalidate(layer, stage))
        return result;
    Changed(layer, stage);
    return MT_OK;
}

MTerr ProjectDocument::ItemChanged(
    LayerID layer, Stage stage, orv::image::OVDownsampleFactor factor)
{
    if (!m_engine)
        return MT_CACHE_NOT_CREATED;
    if (const MTerr result = m_engine->Invalidate(layer, stage, factor))
        return result;
    Changed(layer, stage);
    return MT_OK;
}

MTerr ProjectDocument::SetLayerImage(LayerID layer, const QString& path)
{
    if (!m_engine)
        return MT_CACHE_NOT_CREATED;
    if (layer != BackgroundLayer && layer != ForegroundLayer && layer != OverlayLayer)
        return MT_INVALID_LAYER;
    // The engine first: a file it cannot load must not reach the project.
    if (const MTerr loaded = m_engine->SetLayer(layer, path))
        return loaded;
    const QFileInfo file(path);
    // Loading the project's own background or overlay again (as a view does after the project
    // was opened) is no edit: the image keeps its switch and group state.
    const auto isSameFile = [&file](const std::shared_ptr<AbstractImage>& image) {
        return image && image->Path() == file.absoluteFilePath();
    };
    switch (layer) {
    case BackgroundLayer:
        if (!isSameFile(m_project->GetBackgroundImage())) {
            m_project->SetBackgroundImage(
                std::make_shared<BackgroundImage>(file.fileName(), file.absoluteFilePath(), true));
            SetModified(true);
        }
        break;
    case OverlayLayer:
        if (!isSameFile(m_project->GetOverlayImage())) {
            m_project->SetOverlayImage(std::make_shared<OverlayImage>(
                file.fileName(), file.absoluteFilePath(), true, false));
            SetModified(true);
        }
        RefitOverlay();
        break;
    default:
        if (m_project->CurrentForegroundPath() != path) {
            m_project->SetCurrentForegroundPath(path);
            SetModified(true);
        }
        break;
    }
    emit LayerChanged(layer, RenderEngine::FirstStage(layer));
    return MT_OK;
}

MTerr ProjectDocument::RemoveLayerImage(LayerID layer)
{
    if (!m_engine)
        return MT_CACHE_NOT_CREATED;
    if (const MTerr removed = m_engine->RemoveLayer(layer))
        return removed;
    if (layer == BackgroundLayer && m_project->GetBackgroundImage()) {
        m_project->ClearBackgroundImage();
        SetModified(true);
    } else if (layer == OverlayLayer && m_project->GetOverlayImage()) {
        m_project->ClearOverlayImage();
        SetModified(true);
    }
    emit LayerChanged(layer, Stage::Transform);
    return MT_OK;
}

MTerr ProjectDocument::ImportImages(const QStringList& paths, QStringList* skipped)
{
    if (!m_project)
        return MT_IMAGE_ALREADY_LISTED;
    ForegroundImageList& batch = m_project->GetForegroundImageList();
    int added = 0;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        auto image
            = std::make_shared<ForegroundImage>(file.fileName(), path, true, false, false, true);
        if (batch.Add(std::move(image)) == MT_OK)
            ++added;
        else if (skipped != nullptr)
            skipped->append(path);
    }
    if (added == 0)
        return MT_IMAGE_ALREADY_LISTED;
    SetModified(true);
    emit BatchChanged();
    return MT_OK;
}

MTerr ProjectDocument::ImportImage(const QString& path, const QString& name)
{
    if (!m_project)
        return MT_IMAGE_ALREADY_LISTED;
    auto image = std::make_shared<ForegroundImage>(name, path, true, false, false, false);
    if (const MTerr added = m_project->GetForegroundImageList().Add(std::move(image)))
        return added;
    SetModified(true);
    emit BatchChanged();
    return MT_OK;
}

MTerr ProjectDocument::RelinkImage(
    const QString& oldPath, const QString& newPath, const QString& newName)
{
    if (!m_project)
        return MT_IMAGE_NOT_LISTED;
    if (const MTerr relinked
        = m_project->GetForegroundImageList().Relink(oldPath, newPath, newName))
        return relinked;
    if (m_project->CurrentForegroundPath() == oldPath)
        m_project->SetCurrentForegroundPath(newPath);
    SetModified(true);
    emit BatchChanged();
    return MT_OK;
}

MTerr ProjectDocument::RemoveImage(const QString& path)
{
    if (!m_project)
        return MT_IMAGE_NOT_LISTED;
    if (const MTerr removed = m_project->GetForegroundImageList().Remove(path))
        return removed;
    SetModified(true);
    emit BatchChanged();
    // The canvas must not go on showing a photo that left the batch, under the shared settings
    // its entry no longer has.
    if (path == m_project->CurrentForegroundPath()) {
        m_project->SetCurrentForegroundPath(QString());
        m_engine->RemoveLayer(ForegroundLayer);
        emit LayerChanged(ForegroundLayer, Stage::Key);
    }
    return MT_OK;
}

MTerr ProjectDocument::SetImageUnique(const QString& path, bool unique)
{
    if (!m_project || !m_project->GetForegroundImageList().Find(path))
        return MT_IMAGE_NOT_LISTED;
    const auto image = m_project->GetForegroundImageList().Get(path);
    if (image->IsUnique() == unique)
        return MT_OK;
    image->SetUnique(unique);
    SetModified(true);
    emit BatchChanged();
    // Returning to the shared settings changes what the photo looks like.
    if (!unique && path == m_project->CurrentForegroundPath()) {
        for (const LayerID layer : { BackgroundLayer, ForegroundLayer, OverlayLayer }) {
            const Stage first = RenderEngine::FirstStage(layer);
            m_engine->Invalidate(layer, first);
            emit LayerChanged(layer, first);
        }
    }
    return MT_OK;
}

MTerr ProjectDocument::SetImageBatched(const QString& path, bool batched)
{
    if (!m_project || !m_project->GetForegroundImageList().Find(path))
        return MT_IMAGE_NOT_LISTED;
    const auto image = m_project->GetForegroundImageList().Get(path);
    if (image->IsBatched() == batched)
        return MT_OK;
    image->SetBatched(batched);
    SetModified(true);
    emit BatchChanged();
    return MT_OK;
}

void ProjectDocument::SetExportSettings(const ExportSettings& settings)
{
    if (!m_project || SameExportSettings(m_project->GetExportSettings(), settings))
        return;
    m_project->GetExportSettings() = settings;
    SetModified(true);
    emit ExportSettingsChanged();
}

MTerr ProjectDocument::ResizeCanvas(unsigned int width, unsigned int height)
{
    if (!m_project)
        return MT_XML_INVALID;
    if (!IsSupportedCanvasSize(width, height))
        return MT_XML_INVALID;
    Canvas& canvas = m_project->GetCanvas();
    if (canvas.Width() == width && canvas.Height() == height)
        return MT_OK;
    canvas.SetDimensions(width, height);
    RefitOverlay();
    SetModified(true);
    emit CanvasChanged();
    // Translations are in units of the canvas size: every layer is placed anew.
    for (const LayerID layer : { BackgroundLayer, ForegroundLayer, OverlayLayer }) {
        m_engine->Invalidate(layer, Stage::Transform);
        emit LayerChanged(layer, Stage::Transform);
    }
    return MT_OK;
}

void ProjectDocument::RefitOverlay()
{
    const QSize overlay = m_engine->LayerSize(OverlayLayer);
    const Canvas& canvas = m_project->GetCanvas();
    const ForegroundImageList& batch = m_project->GetForegroundImageList();
    // The defaults and every unique photo's own settings: a photo made unique before the
    // resize must not keep the old fit.
    QSet<const OverlayImageSettings*> done;
    auto refit = [&](const std::shared_ptr<OverlayImageSettings>& settings) {
        if (settings && !done.contains(settings.get())) {
            done.insert(settings.get());
            FitToCanvas(*settings, overlay, canvas);
        }
    };
    refit(batch.DefaultOverlaySettings());
    for (auto it = batch.Begin(); it != batch.End(); ++it)
        refit(it->second->OverlaySettings());
    m_engine->Invalidate(OverlayLayer, Stage::Transform);
}

void ProjectDocument::SetCanvasPosition(int x, int y)
{
    if (!m_project)
        return;
    Canvas& canvas = m_project->GetCanvas();
    if (canvas.PositionX() == x && canvas.PositionY() == y)
        return;
    canvas.SetPosition(x, y);
    SetModified(true);
    emit CanvasChanged();
    for (const LayerID layer : { BackgroundLayer, ForegroundLayer, OverlayLayer }) {
        m_engine->Invalidate(layer, Stage::Transform);
        emit LayerChanged(layer, Stage::Transform);
    }
}

void ProjectDocument::SetCanvasScale(float scale)
{
    if (!m_project || m_project->GetCanvas().Scale() == scale)
        return;
    m_project->GetCanvas().SetScale(scale);
    SetModified(true);
    emit CanvasChanged();
    for (const LayerID layer : { BackgroundLayer, ForegroundLayer, OverlayLayer }) {
        m_engine->Invalidate(layer, Stage::Transform);
        emit LayerChanged(layer, Stage::Transform);
    }
}

} // namespace mtra::app
