// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ProjectDocument.h>

#include <app/Canvas.h>
#include <app/ExportSettings.h>
#include <app/ForegroundImageList.h>
#include <app/ImageSettings.h>
#include <app/ItemLists.h>
#include <app/LayerImages.h>
#include <app/Project.h>
#include <app/RenderEngine.h>
#include <app/TransformItems.h>

#include <QFileInfo>

#include <new>

namespace mtra::app {

ProjectDocument::ProjectDocument(const QRect& window, QObject* parent)
    : QObject(parent)
    , m_window(window)
{
}

ProjectDocument::~ProjectDocument() = default;

void ProjectDocument::SetModified(bool modified)
{
    if (m_modified != modified) {
        m_modified = modified;
        emit ModifiedChanged(modified);
    }
}

MTerr ProjectDocument::Replace(std::shared_ptr<Project> project)
{
    MTerr error = MT_OK;
    std::unique_ptr<RenderEngine> engine;
    try {
        engine = std::make_unique<RenderEngine>(project, orv::image::Bits8,
            orv::image::PixelOrderBGRA, m_window, error);
    } catch (const std::bad_alloc&) {
        return MT_RENDER_OUT_OF_MEMORY;
    }
    if (error != MT_OK) {
        return error;
    }
    emit AboutToReplaceProject();
    m_engine = std::move(engine);
    m_project = std::move(project);
    SetModified(false);
    emit ProjectReplaced();
    return MT_OK;
}

MTerr ProjectDocument::New()
{
    MTerr result = MT_OK;
    auto project = std::make_shared<Project>(result);
    if (result != MT_OK) {
        return result;
    }
    return Replace(std::move(project));
}

MTerr ProjectDocument::Open(const QString& path)
{
    MTerr result = MT_OK;
    auto project = std::make_shared<Project>(path, result);
    if (result != MT_OK) {
        return result;
    }
    project->SetName(path);
    return Replace(std::move(project));
}

MTerr ProjectDocument::Save(
    const QString& path, const QString& applicationVersion, const QString& format)
{
    const MTerr result = m_project->SaveToXml(path, applicationVersion, format);
    if (result == MT_OK) {
        m_project->SetName(path);
        SetModified(false);
    }
    return result;
}

MTerr ProjectDocument::Invalidate(LayerID layer, Stage stage, orv::image::OVDownsampleFactor factor)
{
    return m_engine->InvalidateCache(layer, static_cast<int>(stage), factor);
}

MTerr ProjectDocument::SetLayerImage(LayerID layer, const QString& path)
{
    const MTerr result = m_engine->SetLayer(layer, path);
    if (result != MT_OK) {
        return result;
    }
    const QFileInfo info(path);
    if (layer == BackgroundLayer) {
        m_project->SetBackgroundImage(
            std::make_shared<BackgroundImage>(info.fileName(), info.absoluteFilePath(), true));
    } else if (layer == OverlayLayer) {
        m_project->SetOverlayImage(
            std::make_shared<OverlayImage>(info.fileName(), info.absoluteFilePath(), true, false));
    }
    SetModified(true);
    return MT_OK;
}

MTerr ProjectDocument::SetCurrentForeground(const QString& path)
{
    const MTerr result = m_engine->SetLayer(ForegroundLayer, path);
    if (result == MT_OK) {
        m_project->SetCurrentForegroundPath(path);
    }
    return result;
}

MTerr ProjectDocument::RemoveLayerImage(LayerID layer)
{
    return m_engine->RemoveLayer(layer);
}

void ProjectDocument::SetCanvasPosition(double x, double y)
{
    m_project->GetCanvas().SetPosition(static_cast<int>(x), static_cast<int>(y));
    SetModified(true);
}

void ProjectDocument::SetCanvasCentre(int x, int y)
{
    m_project->GetCanvas().SetCentre(x, y);
}

MTerr ProjectDocument::ResizeCanvas(int width, int height, const QSize& overlaySize)
{
    if (width <= 0 || height <= 0
        || !IsSupportedCanvasSize(static_cast<quint64>(width), static_cast<quint64>(height))) {
        return MT_XML_INVALID;
    }
    m_project->GetCanvas().SetDimensions(
        static_cast<unsigned>(width), static_cast<unsigned>(height));
    ForegroundImageList& batch = m_project->GetForegroundImageList();
    std::vector<std::shared_ptr<OverlayImageSettings>> all { batch.DefaultOverlaySettings() };
    for (auto it = batch.Begin(); it != batch.End(); ++it) {
        if (it->second->IsUnique()) {
            all.push_back(it->second->OverlaySettings());
        }
    }
    for (const auto& settings : all) {
        std::shared_ptr<TransformationTransformItem> transform;
        bool fitted = false;
        const TransformList& transforms = settings->Transforms();
        for (auto it = transforms.Begin(); it != transforms.End(); ++it) {
            const auto& item = *it;
            if (auto t = std::dynamic_pointer_cast<TransformationTransformItem>(item)) {
                transform = t;
            } else if (auto f = std::dynamic_pointer_cast<FitTransformItem>(item)) {
                fitted = f->Fit() == FitModeCanvas;
            }
        }
        if (transform && fitted) {
            const bool known = overlaySize.width() > 0 && overlaySize.height() > 0;
            transform->SetTranslateX(0);
            transform->SetTranslateY(0);
            transform->SetRotation(0);
            transform->SetScaleX(known ? double(width) / overlaySize.width() : 1.0);
            transform->SetScaleY(known ? double(height) / overlaySize.height() : 1.0);
        }
    }
    SetModified(true);
    return MT_OK;
}

MTerr ProjectDocument::AddBatchImage(const QString& path, const QString& name)
{
    const MTerr result = m_project->GetForegroundImageList().Add(
        std::make_shared<ForegroundImage>(name, path, true, false, false, false));
    if (result == MT_OK) {
        SetModified(true);
    }
    return result;
}

MTerr ProjectDocument::SetUnique(const QString& path, bool unique)
{
    if (!m_project->GetForegroundImageList().Find(path)) {
        return MT_IMAGE_NOT_LISTED;
    }
    m_project->GetForegroundImageList().Get(path)->SetUnique(unique);
    SetModified(true);
    return MT_OK;
}

MTerr ProjectDocument::SetBatched(const QString& path, bool batched)
{
    if (!m_project->GetForegroundImageList().Find(path)) {
        return MT_IMAGE_NOT_LISTED;
    }
    m_project->GetForegroundImageList().Get(path)->SetBatched(batched);
    SetModified(true);
    return MT_OK;
}

MTerr ProjectDocument::SetExportPrefix(const QString& prefix)
{
    m_project->GetExportSettings().SetPrefix(prefix.toStdWString());
    SetModified(true);
    return MT_OK;
}

} // namespace mtra::app
