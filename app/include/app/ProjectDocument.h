// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

// Interim project document: the window is built against this interface until the library's
// edit funnel lands; then this file is replaced by it.

#include <app/AppExport.h>
#include <app/MTerr.h>
#include <app/ProjectTypes.h>

#include <ovimageengine/OVEnums.h>

#include <QObject>
#include <QRect>
#include <QSize>

#include <memory>

namespace mtra::app {

class Project;
class RenderEngine;

enum class Stage : int { Key = 1, Filter = 2, Transform = 3 };

class APP_EXPORT ProjectDocument : public QObject
{
    Q_OBJECT
public:
    explicit ProjectDocument(const QRect& window, QObject* parent = nullptr);
    ~ProjectDocument() override;

    MTerr New();
    MTerr Open(const QString& path);
    MTerr Save(const QString& path, const QString& applicationVersion, const QString& format);

    std::shared_ptr<Project> GetProject() const { return m_project; }
    RenderEngine& Engine() const { return *m_engine; }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified);

    MTerr Invalidate(LayerID layer, Stage stage, orv::image::OVDownsampleFactor factor);
    MTerr SetLayerImage(LayerID layer, const QString& path);
    MTerr SetCurrentForeground(const QString& path);
    MTerr RemoveLayerImage(LayerID layer);
    void SetCanvasPosition(double x, double y);
    void SetCanvasCentre(int x, int y);
    MTerr ResizeCanvas(int width, int height, const QSize& overlaySize);
    MTerr AddBatchImage(const QString& path, const QString& name);
    MTerr SetUnique(const QString& path, bool unique);
    MTerr SetBatched(const QString& path, bool batched);
    MTerr SetExportPrefix(const QString& prefix);

signals:
    void AboutToReplaceProject();
    void ProjectReplaced();
    void ModifiedChanged(bool modified);

private:
    MTerr Replace(std::shared_ptr<Project> project);

    QRect m_window;
    std::shared_ptr<Project> m_project;
    std::unique_ptr<RenderEngine> m_engine;
    bool m_modified = false;
};

} // namespace mtra::app
