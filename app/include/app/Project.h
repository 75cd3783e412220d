// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AppExport.h>
#include <app/Canvas.h>
#include <app/ExportSettings.h>
#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/MTerr.h>
#include <app/ProjectTypes.h>

#include <ovimageengine/OVEnums.h>

#include <QDomDocument>
#include <QString>

#include <memory>

namespace mtra::app {

/// The largest project file that is read: 128 MiB. A batch of 20,000 photos, every one with
/// its own settings, is a 79 MB file (75 MiB); parsing takes about 35 times a file's size in
/// memory, so the limit also bounds a hostile file's cost to a few GB.
constexpr qint64 kMaxProjectFileBytes = qint64(128) * 1024 * 1024;

/// The root of the model: canvas, export settings, background and overlay images, the batch
/// of foreground images with their settings, and the state of the program's toolset. Reads and
/// writes the project file (XML, extension "mtrabatch") and builds every new project from the
/// built-in default document ":/xml/default.xml".
///
/// After every load (file or default document) each item's active flag is set from its effect
/// (`HasEffect()`), so that the model agrees with what the program's widgets show.
///
/// A project file is untrusted input. Besides its well-formedness and enumerations, loading
/// checks the canvas size (1 … 25,000,000 pixels), the export prefix and suffix (at most 20 of
/// the characters the program's editor accepts, so that no export leaves the chosen folder)
/// and keeps a thumbnail folder name only in its generated form (17 digits).
///
/// The program holds the project through std::shared_ptr and replaces it as a whole on New and
/// Open. Setters store values unchanged. GUI thread only.
class APP_EXPORT Project
{
public:
    /// A new project from the default document; `result` is 0, or
    /// `MT_DEFAULT_PROJECT_FAILED` (7). `Path()` is empty.
    explicit Project(MTerr& result);
    /// The project stored at `path`. On failure `result` holds the failure's code (1 the file
    /// cannot be opened, 3 not well-formed, 4 invalid, 6 out of memory) and the default
    /// document is loaded on top of what was read, so the project stays usable; 7 if that
    /// fails as well.
    ///
    /// A file larger than `kMaxProjectFileBytes`, or nested deeper than a project file can be
    /// (32 elements), is refused with 4 before a document is built, and memory running out
    /// anywhere in loading gives 6: a hostile file costs neither minutes nor an abort.
    ///
    /// A project file may name its images relative to its own folder (a project moved with
    /// its photos): every relative image path (background, overlay, foreground images and the
    /// current foreground path) is made absolute against the folder of `path` as it is read,
    /// whatever the working directory. On success `Path()` is the file's absolute path.
    Project(const QString& path, MTerr& result);
    ~Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    /// Loads the default document into this project; `MT_DEFAULT_PROJECT_FAILED` (7) on any
    /// failure.
    MTerr LoadDefaultXML();
    /// Writes the project to `path` as one line of XML. The old file is replaced only once the
    /// whole new document has been written and flushed; on any failure (a value without a text
    /// form, a folder that cannot be written, a full disk, a failed rename) the result is
    /// `MT_XML_WRITE_FAILED` (8), the old file is left byte for byte and no temporary file
    /// remains.
    MTerr SaveToXml(
        const QString& path, const QString& applicationVersion, const QString& fileFormat) const;

    const QString& Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    /// The project's file: the absolute path it was loaded from, empty for a new project;
    /// the program sets it after Save As. Not stored in the file.
    const QString& Path() const { return m_path; }
    void SetPath(const QString& path) { m_path = path; }
    /// The folder of `Path()`, against which stored relative paths (such as an export folder)
    /// are read; empty for a new project.
    QString Folder() const;
    /// The version of the program that wrote the loaded file.
    const QString& ApplicationVersion() const { return m_applicationVersion; }
    const QString& FileFormat() const { return m_fileFormat; }

    Canvas& GetCanvas() { return m_canvas; }
    const Canvas& GetCanvas() const { return m_canvas; }
    ExportSettings& GetExportSettings() { return m_exportSettings; }
    const ExportSettings& GetExportSettings() const { return m_exportSettings; }
    ForegroundImageList& GetForegroundImageList() { return m_foregroundImages; }
    const ForegroundImageList& GetForegroundImageList() const { return m_foregroundImages; }

    unsigned int WindowWidth() const { return m_windowWidth; }
    unsigned int WindowHeight() const { return m_windowHeight; }
    int WindowOffsetX() const { return m_windowOffsetX; }
    int WindowOffsetY() const { return m_windowOffsetY; }
    void SetWindowWidth(unsigned int width) { m_windowWidth = width; }
    void SetWindowHeight(unsigned int height) { m_windowHeight = height; }
    void SetWindowOffsetX(int x) { m_windowOffsetX = x; }
    void SetWindowOffsetY(int y) { m_windowOffsetY = y; }

    std::shared_ptr<BackgroundImage> GetBackgroundImage() const { return m_backgroundImage; }
    void SetBackgroundImage(std::shared_ptr<BackgroundImage> image)
    {
        m_backgroundImage = std::move(image);
    }
    void ClearBackgroundImage() { m_backgroundImage.reset(); }
    std::shared_ptr<OverlayImage> GetOverlayImage() const { return m_overlayImage; }
    void SetOverlayImage(std::shared_ptr<OverlayImage> image) { m_overlayImage = std::move(image); }
    void ClearOverlayImage() { m_overlayImage.reset(); }

    ToolsetSections CurrentToolset() const { return m_currentToolset; }
    void SetCurrentToolset(ToolsetSections section) { m_currentToolset = section; }
    LayerID CurrentLayer() const { return m_currentLayer; }
    void SetCurrentLayer(LayerID layer) { m_currentLayer = layer; }
    /// The `Path()` of the foreground image on the canvas; the key for
    /// `ForegroundImageList::Get`.
    const QString& CurrentForegroundPath() const { return m_currentForegroundPath; }
    void SetCurrentForegroundPath(const QString& path) { m_currentForegroundPath = path; }
    /// Name of the thumbnail cache folder ("yyyyMMddhhmmsszzz"), or empty for a new one.
    const QString& CurrentThumbnailFolder() const { return m_currentThumbnailFolder; }
    void SetCurrentThumbnailFolder(const QString& folder) { m_currentThumbnailFolder = folder; }
    ToolsetPositionID ToolsetPosition() const { return m_toolsetPosition; }
    void SetToolsetPosition(ToolsetPositionID position) { m_toolsetPosition = position; }
    ToolsetStateID ToolsetState() const { return m_toolsetState; }
    void SetToolsetState(ToolsetStateID state) { m_toolsetState = state; }
    orv::image::OVKeyColor KeyColor() const { return m_keyColor; }
    void SetKeyColor(orv::image::OVKeyColor color) { m_keyColor = color; }

private:
    friend class ModelAccess;

    Project();

    MTerr LoadFromXml(const QString& path);
    /// Makes the relative image paths read from a file in `folder` absolute.
    void ResolveRelativePaths(const QString& folder);
    /// Opens, parses and reads one document; whatever was read before a failure stays.
    MTerr LoadDocument(const QString& path);
    MTerr LoadDocumentOrThrow(const QString& path);
    MTerr LoadXmlFileFormat1(QDomDocument& document);
    MTerr SaveToXmlAsFileFormat1(
        const QString& path, const QString& applicationVersion, const QString& fileFormat) const;
    /// Every stored format is read by the format-1 reader.
    int FileFormatToInt(const QString& fileFormat) const;

    QString m_name;
    QString m_path;
    QString m_applicationVersion;
    QString m_fileFormat;
    Canvas m_canvas;
    unsigned int m_windowWidth = 0;
    unsigned int m_windowHeight = 0;
    int m_windowOffsetX = 0;
    int m_windowOffsetY = 0;
    ExportSettings m_exportSettings;
    std::shared_ptr<BackgroundImage> m_backgroundImage;
    std::shared_ptr<OverlayImage> m_overlayImage;
    ForegroundImageList m_foregroundImages;
    ToolsetSections m_currentToolset = SectionCanvasSize;
    LayerID m_currentLayer = ForegroundLayer;
    QString m_currentForegroundPath;
    QString m_currentThumbnailFolder;
    ToolsetPositionID m_toolsetPosition = ToolsetLeft;
    ToolsetStateID m_toolsetState = ToolsetExpanded;
    orv::image::OVKeyColor m_keyColor = orv::image::KeyColorGreen;
};

/// `path` read against `folder`: an empty or absolute path as it is, a relative one joined to
/// `folder` and cleaned ("a/../b.png" becomes "<folder>/b.png").
APP_EXPORT QString ResolvedPath(const QString& folder, const QString& path);

} // namespace mtra::app
