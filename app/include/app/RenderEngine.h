// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AppExport.h>
#include <app/MTerr.h>
#include <app/ProjectTypes.h>

#include <ovimageengine/OVEnums.h>
#include <ovimageengine/OVImage.h>

#include <QImage>
#include <QRect>
#include <QString>

#include <memory>

namespace orv {
class OVLookupTables;
}

namespace mtra::app {

class Project;
class TransformList;

/// Turns a `Project` into pictures: holds the decoded layer images and, for each layer, the
/// caches of its stages (key, filter, transform; the stage number is its level) at full and
/// quarter resolution, with one validity flag per stage and resolution.
///
/// Only `DownsampleFull` and `DownsampleQuarter` have caches: operations given another factor
/// find no cache and every stage stale there. Only 8 bits per channel is implemented.
/// The engine owns every cache and shares the project with its creator. No exception leaves
/// it; failures are `MTerr` values. GUI thread only.
class APP_EXPORT RenderEngine
{
public:
    /// Creates the canvas and window caches for `window`, the screen the program runs on.
    /// `error` receives 0, `MT_CACHE_NOT_CREATED` (34) for a rectangle with right < left or
    /// bottom < top, or `MT_RENDER_OUT_OF_MEMORY` (39); the object is usable either way.
    RenderEngine(std::shared_ptr<Project> project, orv::image::OVBitsPerChannel bits,
        orv::image::OVPixelChannelOrder order, const QRect& window, MTerr& error);
    ~RenderEngine();
    RenderEngine(const RenderEngine&) = delete;
    RenderEngine& operator=(const RenderEngine&) = delete;

    /// Loads an image file into a layer (upright, after its EXIF orientation) at full and
    /// quarter resolution from one decode, with fresh render caches and every stage stale. For
    /// the foreground the screen colour is detected and stored in the project. All or nothing:
    /// on failure (34 unreadable or too large a file, 39 out of memory, 31 unknown layer) the
    /// layer, its flags and the project are as before.
    MTerr SetLayer(LayerID layer, const QString& path);
    /// Unloads a layer's images; its window cache stays allocated. 31 for an unknown layer.
    MTerr RemoveLayer(LayerID layer);
    /// False for a value outside `LayerID`.
    bool IsLayerSet(LayerID layer) const;
    /// Marks one stage of one layer stale at one factor. 31 for an unknown layer, 32 for a
    /// level that the layer does not have (background 2–3, foreground 1–3, overlay 3).
    MTerr InvalidateCache(LayerID layer, int level, orv::image::OVDownsampleFactor factor);
    /// The screen rectangle given at construction.
    const QRect WindowCacheRect() const;

    /// Brings one layer's window cache at `factor` up to date with the current foreground
    /// image's settings, re-running `level` and any stale earlier stage; the transform stage
    /// runs on every call. 0 also when the layer is disabled (nothing is drawn); 33 when the
    /// layer has no image; 31 unknown layer; 34 when the factor has no caches (not full or
    /// quarter, or between `RemoveCacheBeforeExport` and `RestoreCacheAfterExport`). A failed
    /// key or filter stage (26, 39; a failing result or an exception inside the stage alike)
    /// leaves the window cache opaque black and the stage stale at both factors, so the next
    /// render retries it.
    MTerr RenderLayer(LayerID layer, int level, orv::image::OVDownsampleFactor factor);
    /// Renders every stale layer at `factor`, composes them into the canvas cache and hands it
    /// out as `image` (see `CompositeQImage`). On failure `image` is a transparent canvas-sized
    /// picture and the result is 29 (a set and enabled layer whose last render failed or that
    /// was never rendered, or compositing failed), 39, or the failing layer's code.
    MTerr RenderCanvasImage(orv::image::OVDownsampleFactor factor, QImage& image);
    /// `image` becomes an ARGB32 picture over the canvas cache at `factor`, without a copy; it
    /// is valid until the next render at that factor, `RemoveCacheBeforeExport` or the
    /// engine's destruction, so a caller that keeps it longer copies it. A null image when
    /// the factor has no canvas cache.
    void CompositeQImage(orv::image::OVDownsampleFactor factor, QImage& image);
    /// The full-resolution, canvas-sized composite for the foreground image at `path`, with
    /// that image's settings; the photo is read from its file, upright (when it is the file of
    /// the foreground layer, unchanged since it was loaded, the layer's own decode serves
    /// instead: the same pixels without a second decode). A non-empty `path` is rendered
    /// whether or not a foreground layer is loaded; an empty one exports background and
    /// overlay only. The canvas position and zoom of the preview play no part. `error` is 0, or 35
    /// the photo did not load, 36 the background could not be prepared, 26 a key or filter stage
    /// failed, 29 compositing failed, 39 out of memory; the image is null whenever `error` is not
    /// 0, so a broken picture is never written as a success.
    QImage ExportQImage(const QString& path, MTerr& error);
    /// Frees the window and render caches before a batch export; the image caches and the
    /// canvas cache stay.
    void RemoveCacheBeforeExport();
    /// Rebuilds what `RemoveCacheBeforeExport` freed, with every stage stale. 39 out of
    /// memory, 34 any other failure; the caches are then as before the call.
    MTerr RestoreCacheAfterExport();

private:
    friend class RenderEngineAccess;

    using ImagePtr = std::shared_ptr<orv::image::OVAbstractImage>;

    /// One value per cached resolution; other factors have no slot.
    template <typename T> struct PerFactor {
        T full {};
        T quarter {};
        T* At(orv::image::OVDownsampleFactor factor)
        {
            return factor == orv::image::DownsampleFull
                ? &full
                : (factor == orv::image::DownsampleQuarter ? &quarter : nullptr);
        }
        const T* At(orv::image::OVDownsampleFactor factor) const
        {
            return const_cast<PerFactor*>(this)->At(factor);
        }
    };
    using Images = PerFactor<ImagePtr>;
    using Flags = PerFactor<bool>;

    void CheckImplemented() const;
    Images CreateImageCaches(const QString& path) const;
    ImagePtr CreateRenderCache(const ImagePtr& like) const;
    ImagePtr CreateWindowCache(orv::image::OVDownsampleFactor factor) const;
    MTerr CreateAllWindowCache();

    int ValidBackgroundLevel(int level, orv::image::OVDownsampleFactor factor) const;
    int ValidForegroundLevel(int level, orv::image::OVDownsampleFactor factor) const;
    int ValidOverlayLevel(int level, orv::image::OVDownsampleFactor factor) const;
    bool IsBackgroundLayerValid(orv::image::OVDownsampleFactor factor, int& level) const;
    bool IsForegroundLayerValid(orv::image::OVDownsampleFactor factor, int& level) const;
    bool IsOverlayLayerValid(orv::image::OVDownsampleFactor factor, int& level) const;

    MTerr RenderBackground(int level, orv::image::OVDownsampleFactor factor);
    MTerr RenderForeground(int level, orv::image::OVDownsampleFactor factor);
    MTerr RenderOverlay(orv::image::OVDownsampleFactor factor);
    bool IsBackgroundEnabled() const;
    bool IsForegroundEnabled() const;
    bool IsOverlayEnabled() const;
    MTerr RenderExportTransforms(
        const ImagePtr& source, const ImagePtr& destination, const TransformList& transforms) const;
    MTerr RenderCanvasTransforms(const ImagePtr& source, const ImagePtr& destination,
        const TransformList& transforms, bool smooth, orv::image::OVDownsampleFactor factor) const;

    static bool Flag(const Flags& flags, orv::image::OVDownsampleFactor factor);
    static void ClearBoth(Flags& flags);

    bool m_backgroundSet = false;
    bool m_foregroundSet = false;
    bool m_overlaySet = false;
    bool m_backgroundRendered = false;
    bool m_foregroundRendered = false;

    std::shared_ptr<Project> m_project;
    orv::image::OVBitsPerChannel m_bits;
    orv::image::OVPixelChannelOrder m_order;
    std::unique_ptr<orv::OVLookupTables> m_tables;
    QRect m_windowRect;
    /// The file the foreground layer was loaded from, as it was then (see `ExportQImage`).
    QString m_foregroundPath;
    qint64 m_foregroundFileSize = -1;
    qint64 m_foregroundFileTime = -1;

    Images m_backgroundImageCache;
    Images m_foregroundImageCache;
    Images m_overlayImageCache;
    Images m_foregroundKeyCache;
    Images m_foregroundFilterCache;
    Flags m_foregroundKeyValid;
    Flags m_foregroundFilterValid;
    Flags m_foregroundTransformValid;
    Images m_backgroundFilterCache;
    Flags m_backgroundFilterResultPresent;
    Flags m_backgroundFilterValid;
    Flags m_backgroundTransformValid;
    Flags m_overlayTransformValid;
    Images m_canvasCache;
    Images m_backgroundWindowCache;
    Images m_foregroundWindowCache;
    Images m_overlayWindowCache;
};

} // namespace mtra::app
