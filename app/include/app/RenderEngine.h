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
#include <QSize>
#include <QString>
#include <QTransform>

#include <array>
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
/// find no cache and every stage stale there. Only 8 bits per channel in blue-green-red-alpha
/// order is implemented.
/// The engine owns every cache and shares the project with its creator. No exception leaves
/// it; failures are `MTerr` values. GUI thread only, with one exception: `ExportQImage` may run
/// on several threads at once (the batch export's jobs) while nothing else uses the engine and
/// the project does not change.
class APP_EXPORT RenderEngine
{
public:
    /// Creates the canvas and window caches for `window`, the screen the program runs on.
    /// `error` receives 0, `MT_CACHE_NOT_CREATED` (34) for a rectangle with right < left or
    /// bottom < top or for a depth or channel order that is not implemented (anything but
    /// `Bits8` and `PixelOrderBGRA`: every operation then reports 34 or 33 and composes
    /// nothing), or `MT_RENDER_OUT_OF_MEMORY` (39); the object is usable either way.
    RenderEngine(std::shared_ptr<Project> project, orv::image::OVBitsPerChannel bits,
        orv::image::OVPixelChannelOrder order, const QRect& window, MTerr& error);
    /// An engine for the batch export alone (8 bits, blue-green-red-alpha): no screen, so no
    /// window, canvas, quarter or render caches are ever allocated, and layers load at full
    /// resolution only. `ExportQImage` gives what it gives on any engine; renders at any factor,
    /// `RestoreCacheAfterExport` and `RenderCanvasImage` find no caches (34), `CompositeQImage`
    /// a null image. `error` as for the constructor; null only when even the object could not
    /// be made (39).
    static std::unique_ptr<RenderEngine> ForExport(std::shared_ptr<Project> project, MTerr& error);
    ~RenderEngine();
    RenderEngine(const RenderEngine&) = delete;
    RenderEngine& operator=(const RenderEngine&) = delete;

    /// Loads an image file into a layer (upright, after its EXIF orientation) at full and
    /// quarter resolution from one decode, with fresh render caches and every stage stale. For
    /// the foreground the screen colour is detected and stored in the project. All or nothing:
    /// on failure (34 unreadable or too large a file, 39 out of memory, 31 unknown layer) the
    /// layer, its flags and the project are as before.
    MTerr SetLayer(LayerID layer, const QString& path);
    /// `SetLayer` for several layers at once, `paths` indexed by `LayerID` (an empty path leaves
    /// that layer alone): the files decode at the same time, each but the foreground on a
    /// thread of its own (one on the calling thread when none can be started). Each layer loads
    /// or fails on its own as with `SetLayer`; `results` gets its code (0 for a layer left
    /// alone) and `reasons` the photo reader's own finding for a file that did not load (as
    /// `LastPhotoFailure` would give on the loading thread), empty otherwise.
    void SetLayers(const std::array<QString, 3>& paths, std::array<MTerr, 3>& results,
        std::array<QString, 3>& reasons);
    /// Made by `ForExport`.
    bool IsExportOnly() const { return m_exportOnly; }
    /// Unloads a layer's images; its window cache stays allocated. 31 for an unknown layer.
    MTerr RemoveLayer(LayerID layer);
    /// False for a value outside `LayerID`.
    bool IsLayerSet(LayerID layer) const;
    /// Marks one stage of one layer stale at one factor; the next render re-runs it and every
    /// later stage. 31 for an unknown layer, 32 for a stage that the layer does not have
    /// (background filter and transform, foreground all three, overlay transform).
    MTerr Invalidate(LayerID layer, Stage stage, orv::image::OVDownsampleFactor factor);
    /// As above, at both cached factors.
    MTerr Invalidate(LayerID layer, Stage stage);
    /// The same with the stage as its level number (1 key, 2 filter, 3 transform); 32 for any
    /// other number.
    MTerr InvalidateCache(LayerID layer, int level, orv::image::OVDownsampleFactor factor);
    /// Whether `layer` goes through `stage` (see `Invalidate`).
    static bool HasStage(LayerID layer, Stage stage);
    /// The first stage `layer` goes through: filter for the background, key for the
    /// foreground, transform for the overlay (and for values outside `LayerID`).
    static Stage FirstStage(LayerID layer);
    /// The screen rectangle given at construction.
    const QRect WindowCacheRect() const;
    /// The size of the layer's loaded image in full-size pixels (upright); an empty size when
    /// the layer has no image or is unknown.
    QSize LayerSize(LayerID layer) const;

    /// Brings one layer's window cache at `factor` up to date with the current foreground
    /// image's settings, re-running `level` and any stale earlier stage; the transform stage
    /// runs on every call. 0 also when the layer is disabled (nothing is drawn); 33 when the
    /// layer has no image; 31 unknown layer; 34 when the factor has no caches (not full or
    /// quarter, or between `RemoveCacheBeforeExport` and `RestoreCacheAfterExport`). A failed
    /// key or filter stage (26, 39; a failing result or an exception inside the stage alike)
    /// leaves the window cache opaque black and the stage stale at both factors, so the next
    /// render retries it.
    MTerr RenderLayer(LayerID layer, int level, orv::image::OVDownsampleFactor factor);
    /// `RenderLayer` from `stage` (its level).
    MTerr RenderLayer(LayerID layer, Stage stage, orv::image::OVDownsampleFactor factor);
    /// `RenderLayer` forcing no stage: only stale stages run, and the transform.
    MTerr RenderStaleStages(LayerID layer, orv::image::OVDownsampleFactor factor);
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
    /// overlay only, whether or not a foreground layer is loaded. The canvas position and zoom
    /// of the preview play no part. `error` is 0, or 35 the photo did not load, 36 the
    /// background could not be prepared, 26 a key or filter stage failed, 29 placing or
    /// compositing a layer failed, 34 the engine has no caches (see the constructor), 39 out of
    /// memory; the image is null whenever `error` is not 0, so a broken picture is never
    /// written as a success.
    QImage ExportQImage(const QString& path, MTerr& error);
    /// Frees the window and render caches before a batch export; the image caches and the
    /// canvas cache stay.
    void RemoveCacheBeforeExport();
    /// Rebuilds what `RemoveCacheBeforeExport` freed, with every stage stale. 39 out of
    /// memory, 34 any other failure; the caches are then as before the call.
    MTerr RestoreCacheAfterExport();

private:
    friend class RenderEngineAccess;

    RenderEngine(std::shared_ptr<Project> project, orv::image::OVBitsPerChannel bits,
        orv::image::OVPixelChannelOrder order, const QRect& window, bool exportOnly, MTerr& error);

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

    /// Everything the engine keeps for one layer. Caches of stages the layer does not have
    /// stay empty and their flags false.
    struct LayerState {
        bool set = false; ///< an image is loaded (`SetLayer` succeeded, no `RemoveLayer` since)
        /// The last render of the layer's key or filter stage did not fail (and there was one).
        bool rendered = false;
        Images image; ///< the decoded file
        Images keyed; ///< result of the key stage
        Images filtered; ///< result of the filter stage
        Images window; ///< the layer after the transform stage, window-sized
        /// Per stage (index: level − 1): the stage's cache at a factor matches the items.
        Flags valid[3];
        /// The filter cache at a factor holds a filter result (reset by loads and restores).
        Flags filterResultPresent;

        Flags& Valid(Stage stage) { return valid[static_cast<int>(stage) - 1]; }
        const Flags& Valid(Stage stage) const { return valid[static_cast<int>(stage) - 1]; }
    };

    /// Where the items of a layer come from for one foreground image.
    struct LayerLists;

    /// A layer decoded and its caches made, not yet in the engine (see `SetLayer`).
    struct PreparedLayer;
    MTerr PrepareLayer(LayerID layer, const QString& path, PreparedLayer& prepared) const;
    void CommitLayer(LayerID layer, PreparedLayer&& prepared);

    void CheckImplemented() const;
    ImagePtr CreateRenderCache(const ImagePtr& like) const;
    Images CreateRenderCaches(const Images& like) const;
    Images CreateWindowCaches() const;
    MTerr CreateAllWindowCache();

    static bool IsKnownLayer(LayerID layer);
    LayerState& State(LayerID layer) { return m_layers[static_cast<int>(layer)]; }
    const LayerState& State(LayerID layer) const { return m_layers[static_cast<int>(layer)]; }
    bool IsShown(LayerID layer) const;
    LayerLists ListsFor(LayerID layer, const QString& foregroundPath) const;

    int ValidLevel(LayerID layer, int level, orv::image::OVDownsampleFactor factor) const;
    bool IsLayerValid(LayerID layer, orv::image::OVDownsampleFactor factor, int& level) const;
    MTerr RenderShownLayer(LayerID layer, int level, orv::image::OVDownsampleFactor factor);

    MTerr ExportBackground(const QString& path, const ImagePtr& exported) const;
    /// The photo keyed, filtered and placed on a width × height canvas, into `placed`.
    MTerr PlaceExportForeground(const QString& path, ImagePtr photo, unsigned width,
        unsigned height, ImagePtr& placed) const;
    /// The placed photo composited onto the picture (light spill and all); `placed` is freed
    /// on return.
    MTerr ExportForeground(const QString& path, ImagePtr placed, const ImagePtr& exported) const;
    MTerr ExportOverlay(const QString& path, const ImagePtr& exported) const;
    ImagePtr ExportPhoto(const QString& path) const;
    QTransform ExportTransform(
        const ImagePtr& source, const ImagePtr& destination, const TransformList& transforms) const;
    QTransform ExportTransform(const ImagePtr& source, unsigned width, unsigned height,
        const TransformList& transforms) const;
    MTerr RenderExportTransforms(
        const ImagePtr& source, const ImagePtr& destination, const TransformList& transforms) const;
    MTerr RenderCanvasTransforms(const ImagePtr& source, const ImagePtr& destination,
        const TransformList& transforms, bool smooth, orv::image::OVDownsampleFactor factor) const;

    static bool Flag(const Flags& flags, orv::image::OVDownsampleFactor factor);
    static void ClearBoth(Flags& flags);

    std::shared_ptr<Project> m_project;
    orv::image::OVBitsPerChannel m_bits;
    orv::image::OVPixelChannelOrder m_order;
    std::unique_ptr<orv::OVLookupTables> m_tables;
    QRect m_windowRect;
    /// Made by `ForExport`: no preview caches of any kind.
    bool m_exportOnly = false;
    /// The file the foreground layer was loaded from, as it was then (see `ExportQImage`).
    QString m_foregroundPath;
    qint64 m_foregroundFileSize = -1;
    qint64 m_foregroundFileTime = -1;
    /// The screen colour detected in the foreground layer's image when it was loaded.
    orv::image::OVKeyColor m_foregroundKeyColor = orv::image::KeyColorGreen;

    /// Indexed by `LayerID`.
    std::array<LayerState, 3> m_layers;
    Images m_canvasCache;
};

} // namespace mtra::app
