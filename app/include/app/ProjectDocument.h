// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AppExport.h>
#include <app/ExportSettings.h>
#include <app/MTerr.h>
#include <app/ProjectTypes.h>

#include <ovimageengine/OVEnums.h>

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

namespace mtra::app {

class Project;
class RenderEngine;

/// The open project and its render engine, and the one door through which every edit of the
/// model passes: each edit method writes the model, marks the stages it makes stale in the
/// engine, sets the modified state and announces what changed. Widgets read the model through
/// `GetProject()` and subscribe to the signals; they never write the model directly (an edit
/// made around the document would neither mark the project modified nor invalidate a cache).
///
/// Replacement: `New` and a successful `Open` build a new project and engine aside and only
/// then swap them in, announcing it with `AboutToReplaceProject()` before the old engine is
/// released (whoever borrowed a picture from `RenderEngine::CompositeQImage` drops it there)
/// and `ProjectReplaced()` after. A failed `Open` leaves project, engine, path and modified
/// state as they were.
///
/// Modified state: set by every model write made through the document (also those that render
/// nothing, such as an export prefix, making an image unique or an import into a non-empty
/// batch), cleared by `New`, `Open` and a successful `Save`.
///
/// The document owns the project and the engine through std::shared_ptr (the engine shares the
/// project); pointers handed out stay valid until `ProjectReplaced()`. Qt Core only, GUI
/// thread only. Results are `MTerr` values, as the model's and the engine's.
class APP_EXPORT ProjectDocument : public QObject
{
    Q_OBJECT

public:
    /// Application version and file format written into every saved project.
    static const QString& ApplicationVersion();
    static const QString& FileFormat();

    /// An empty document: call `New` or `Open` before anything else. `window` is the screen
    /// the program runs on; every engine the document builds sizes its caches from it.
    explicit ProjectDocument(const QRect& window, QObject* parent = nullptr);
    ~ProjectDocument() override;

    /// A new project from the built-in default document and a new engine. 7 when the default
    /// document fails to load, or the engine's error (34, 39); the old project then stays.
    MTerr New();
    /// The project stored at `path` with a new engine. On failure (1, 3, 4, 6 from the file,
    /// 34 or 39 from the engine) nothing changes.
    MTerr Open(const QString& path);
    /// Writes the project to `path` safely (see `Project::SaveToXml`). Success records `path`
    /// as the document's file and its base name as the project's name and clears the
    /// modified state; failure (8) changes none of them and leaves the old file intact.
    MTerr Save(const QString& path);
    /// `Save` to the document's own file; 8 when it has none yet.
    MTerr Save();
    /// The file the project was opened from or last saved to; empty for a new project.
    const QString& FilePath() const { return m_filePath; }

    bool IsModified() const { return m_modified; }
    /// For edits no method below covers (the program's toolset state, for instance): marks the
    /// project modified.
    void MarkModified();

    /// Empty before the first `New` or `Open`.
    std::shared_ptr<Project> GetProject() const { return m_project; }
    std::shared_ptr<RenderEngine> GetRenderEngine() const { return m_engine; }

    /// Reports an edit a widget made to an item of `layer` at `stage` in the current
    /// foreground image's settings (a value, a tick, an item added, removed or moved): the
    /// stage becomes stale at both factors, or at `factor` alone while a control is dragged
    /// (the release reports again without a factor). 31 or 32 for a layer or stage the engine
    /// does not have, and nothing changes.
    MTerr ItemChanged(LayerID layer, Stage stage);
    MTerr ItemChanged(LayerID layer, Stage stage, orv::image::OVDownsampleFactor factor);

    /// Loads `path` into a layer, all or nothing: the engine loads it first, and only then is
    /// the project changed (background and overlay: a new enabled image for the file;
    /// foreground: the current photo). 31, 34 or 39 from the engine leave project and engine
    /// as they were. Showing another photo of the batch is an edit (the current photo is
    /// stored); showing the current one again is not, nor is loading the project's own
    /// background or overlay file again (that image object, its switch and group state stay).
    MTerr SetLayerImage(LayerID layer, const QString& path);
    /// Unloads a layer; background and overlay images leave the project too. 31 for an
    /// unknown layer.
    MTerr RemoveLayerImage(LayerID layer);

    /// Adds photos to the batch under their file names, with the batch's shared settings.
    /// Paths already listed, empty or duplicated in `paths` are left out and listed in
    /// `skipped` (when given). 13 when none was added, else 0.
    MTerr ImportImages(const QStringList& paths, QStringList* skipped = nullptr);
    /// Adds one photo to the batch under the display name `name` (not yet viewed, not
    /// unique, not selected for export), with the batch's shared settings. 13 when its path
    /// is empty or listed already; nothing changes then.
    MTerr ImportImage(const QString& path, const QString& name);
    /// Points a photo of the batch at its file's new place (see `ForegroundImageList::Relink`):
    /// it keeps its flags and, while unique, its own settings; the project's current photo
    /// follows it. 14 when `oldPath` is not in the batch, 13 when `newPath` is empty or
    /// another photo's; nothing changes then.
    MTerr RelinkImage(const QString& oldPath, const QString& newPath, const QString& newName);
    /// Removes a photo from the batch; the current photo also leaves the foreground layer. 14
    /// when `path` is not in the batch.
    MTerr RemoveImage(const QString& path);
    /// Gives the photo its own copy of the settings (true) or returns it to the shared ones
    /// (false). 14 for a path not in the batch; 0 and no change when already so.
    MTerr SetImageUnique(const QString& path, bool unique);
    /// Whether the photo is in the export selection. 14 for a path not in the batch.
    MTerr SetImageBatched(const QString& path, bool batched);

    /// Replaces the export settings; no change, no signal when they are equal.
    void SetExportSettings(const ExportSettings& settings);

    /// Resizes the canvas. A size `IsSupportedCanvasSize` refuses gives 4 (what a project file
    /// with it gives) and nothing changes. Every overlay settings object (the defaults and
    /// each unique photo's) whose fit item says "fit to canvas" gets its transformation item
    /// reset to no translation or rotation and the scale canvas ÷ overlay (1 while no overlay
    /// is loaded).
    MTerr ResizeCanvas(unsigned int width, unsigned int height);
    /// Moves the canvas in the preview (canvas pixels).
    void SetCanvasPosition(int x, int y);
    /// Zooms the preview.
    void SetCanvasScale(float scale);

signals:
    /// The project and engine are about to be replaced; the old ones are still alive.
    void AboutToReplaceProject();
    /// A new project and engine are in place; every view rebuilds itself from them.
    void ProjectReplaced();
    void ModifiedChanged(bool modified);
    /// A stage of a layer is stale: the view renders the layer again from there.
    void LayerChanged(mtra::app::LayerID layer, mtra::app::Stage stage);
    /// Photos were added to or removed from the batch, or their flags changed.
    void BatchChanged();
    void ExportSettingsChanged();
    /// The canvas size, position or zoom changed.
    void CanvasChanged();

private:
    MTerr Replace(std::shared_ptr<Project> project, const QString& path);
    void SetModified(bool modified);
    void Changed(LayerID layer, Stage stage);
    void RefitOverlay();

    QRect m_window;
    std::shared_ptr<Project> m_project;
    std::shared_ptr<RenderEngine> m_engine;
    QString m_filePath;
    bool m_modified = false;
};

} // namespace mtra::app
