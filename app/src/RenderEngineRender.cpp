// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
// The render engine's pictures: the layer pipeline, the preview composite and the export image.
// The state they work on is in RenderEngine.cpp.
#include <app/RenderEngine.h>

#include <app/ItemLists.h>
#include <app/Project.h>

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageCompositor.h>
#include <ovimageengine/OVImageSupport.h>
#include <ovimageengine/OVResultCode.h>

#include "PhotoLoading.h"
#include "RenderEngineSupport.h"
#include "RenderGuard.h"
#include "RenderStages.h"

#include <QDateTime>
#include <QFileInfo>

#include <new>

namespace mtra::app {

using orv::image::DownsampleFull;
using orv::image::OVDownsampleFactor;

namespace {
/// 100 dots per inch in the export's file headers.
constexpr int kExportDotsPerMeter = 3937;
} // namespace

MTerr RenderEngine::RenderCanvasTransforms(const ImagePtr& source, const ImagePtr& destination,
    const TransformList& transforms, bool smooth, OVDownsampleFactor factor) const
{
    const Canvas& canvas = m_project->GetCanvas();
    const float v = static_cast<float>(orv::image::DownsampleValue(factor));
    const QTransform transform = LayerTransform(PreviewPlacement(canvas, factor), transforms,
        source->Width(), source->Height(), canvas.Width(), canvas.Height(), v);
    return DrawTransformed(source, destination, transform, smooth);
}

MTerr RenderEngine::RenderLayer(LayerID layer, int level, OVDownsampleFactor factor)
{
    if (!IsKnownLayer(layer))
        return MT_INVALID_LAYER;
    if (!IsLayerSet(layer))
        return MT_LAYER_NOT_SET;
    if (!m_project || !m_tables)
        return MT_CACHE_NOT_CREATED;
    // A disabled layer draws nothing, so there is nothing to bring up to date.
    return IsShown(layer) ? RenderShownLayer(layer, level, factor) : MT_OK;
}

MTerr RenderEngine::RenderLayer(LayerID layer, Stage stage, OVDownsampleFactor factor)
{
    return RenderLayer(layer, static_cast<int>(stage), factor);
}

MTerr RenderEngine::RenderStaleStages(LayerID layer, OVDownsampleFactor factor)
{
    return RenderLayer(layer, static_cast<int>(Stage::Transform) + 1, factor);
}

MTerr RenderEngine::RenderShownLayer(LayerID layer, int level, OVDownsampleFactor factor)
{
    LayerState& state = State(layer);
    const bool keys = HasStage(layer, Stage::Key);
    const bool filters = HasStage(layer, Stage::Filter);
    ImagePtr* image = state.image.At(factor);
    ImagePtr* keyed = state.keyed.At(factor);
    ImagePtr* filtered = state.filtered.At(factor);
    ImagePtr* window = state.window.At(factor);
    if (!image || !*image || !window || !*window || (keys && (!keyed || !*keyed))
        || (filters && (!filtered || !*filtered)))
        return MT_CACHE_NOT_CREATED;
    const LayerLists lists = ListsFor(layer, m_project->CurrentForegroundPath());
    const Stage first = FirstStage(layer);
    // The background is opaque black where the photo does not reach; the others leave the
    // layers below visible.
    const unsigned char windowAlpha = layer == BackgroundLayer ? 255 : 0;

    if (first != Stage::Transform)
        state.rendered = true;
    level = ValidLevel(layer, level, factor);
    return Guarded(MT_STAGE_RENDER_FAILED, [&] {
        // A failed stage shows black and stays stale at both factors, so the next render
        // retries it from the start.
        auto fail = [&](MTerr code) {
            orv::image::FillImage(0, 0, 0, 255, window->get());
            ClearBoth(state.Valid(first));
            state.rendered = false;
            return code;
        };
        ImagePtr placed = *image;
        if (keys) {
            if (level < static_cast<int>(Stage::Key) + 1) {
                const MTerr keyResult
                    = CopyWhenNothingToDo(KeyStage(*lists.keys, *m_tables, *image, *keyed),
                        MT_NOTHING_TO_KEY, *image, *keyed);
                if (IsStageFailure(keyResult))
                    return fail(keyResult);
                *state.Valid(Stage::Key).At(factor) = true;
            }
            placed = *keyed;
        }
        if (filters) {
            if (level < static_cast<int>(Stage::Filter) + 1
                || !Flag(state.filterResultPresent, factor)) {
                const MTerr filterResult = CopyWhenNothingToDo(
                    FilterStage(*lists.filters, *m_tables, factor, placed, *filtered),
                    MT_NOTHING_TO_FILTER, placed, *filtered);
                if (IsStageFailure(filterResult))
                    return fail(filterResult);
                *state.filterResultPresent.At(factor) = true;
                *state.Valid(Stage::Filter).At(factor) = true;
            }
            placed = *filtered;
        }
        orv::image::FillImage(0, 0, 0, windowAlpha, window->get());
        if (const MTerr drawn = RenderCanvasTransforms(
                placed, *window, *lists.transforms, factor == DownsampleFull, factor))
            return drawn;
        *state.Valid(Stage::Transform).At(factor) = true;
        return MT_OK;
    });
}

MTerr RenderEngine::RenderCanvasImage(OVDownsampleFactor factor, QImage& image)
{
    const ImagePtr* canvas = m_canvasCache.At(factor);
    bool cached = canvas != nullptr && *canvas && m_project && m_tables;
    for (const LayerState& state : m_layers)
        cached = cached && state.window.At(factor) != nullptr && *state.window.At(factor);
    if (!cached) {
        image = QImage();
        return MT_CACHE_NOT_CREATED;
    }
    const MTerr composed = Guarded(MT_CANVAS_NOT_COMPOSED, [&] {
        orv::image::FillImage(0, 0, 0, 0, canvas->get());
        // Only layers that are shown must have been rendered: a background disabled since
        // it was loaded (a project opened that way) is never rendered, and must not keep the
        // canvas from being composed.
        for (const LayerID layer : kRenderLayers)
            if (FirstStage(layer) != Stage::Transform && IsShown(layer) && !State(layer).rendered)
                return MT_CANVAS_NOT_COMPOSED;
        orv::image::OVImageCompositor compositor(*canvas, 1.0, *m_tables, factor);
        const bool backgroundShown = IsShown(BackgroundLayer);
        for (const LayerID layer : kRenderLayers) {
            if (!IsShown(layer))
                continue;
            int level = 0;
            if (!IsLayerValid(layer, factor, level))
                if (const MTerr rendered = RenderLayer(layer, level, factor))
                    return rendered;
            const ImagePtr& window = *State(layer).window.At(factor);
            MTerr added = MT_OK;
            if (layer == BackgroundLayer)
                added = orv::image::CopyPixels(window, *canvas) == orv::image::ResultSuccess
                    ? MT_OK
                    : MT_CANVAS_NOT_COMPOSED;
            else if (layer == ForegroundLayer)
                added = AddForeground(compositor,
                    ListsFor(layer, m_project->CurrentForegroundPath()).composites, window,
                    backgroundShown, factor);
            else
                added = OutOfMemoryElse(
                    compositor.AddLayer(window, 1.0, orv::image::BlendModeNormal, true),
                    MT_CANVAS_NOT_COMPOSED);
            if (added != MT_OK)
                return added;
        }
        return OutOfMemoryElse(compositor.Render(), MT_CANVAS_NOT_COMPOSED);
    });
    if (composed == MT_OK) {
        CompositeQImage(factor, image);
        return MT_OK;
    }
    // On failure the caller still gets a canvas-sized picture; a transparent one rather than
    // whatever the memory held.
    return Guarded(MT_CANVAS_NOT_COMPOSED, [&] {
        image = QImage(static_cast<int>((*canvas)->Width()), static_cast<int>((*canvas)->Height()),
            QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        return composed;
    });
}

QTransform RenderEngine::ExportTransform(
    const ImagePtr& source, const ImagePtr& destination, const TransformList& transforms) const
{
    return ExportTransform(source, destination->Width(), destination->Height(), transforms);
}

QTransform RenderEngine::ExportTransform(
    const ImagePtr& source, unsigned width, unsigned height, const TransformList& transforms) const
{
    const Canvas& canvas = m_project->GetCanvas();
    QTransform centre;
    centre.translate(width * 0.5, height * 0.5);
    return LayerTransform(centre, transforms, source->Width(), source->Height(), canvas.Width(),
        canvas.Height(), 1.0f);
}

MTerr RenderEngine::RenderExportTransforms(
    const ImagePtr& source, const ImagePtr& destination, const TransformList& transforms) const
{
    return DrawTransformed(
        source, destination, ExportTransform(source, destination, transforms), true);
}

QImage RenderEngine::ExportQImage(const QString& path, MTerr& error)
{
    error = MT_OK;
    if (!m_project || !m_tables) {
        error = MT_CACHE_NOT_CREATED;
        return QImage();
    }
    // An empty path has no photo: background and overlay only. A photo asked for by path is
    // rendered even when no foreground layer is loaded (the program unloads it when the
    // current photo goes offline): the other photos of a batch must not be written without
    // their subject as if that were the result.
    const bool foreground
        = !path.isEmpty() && (!m_project || m_project->GetForegroundImageList().IsEnabled());
    // The photo is read, keyed, filtered and placed before the picture is made: the decoder's
    // and the keyer's own buffers and the decode itself are gone by the time the picture takes
    // its room. (In a batch the picture before this one may still be encoding: both at once
    // would be one camera-size picture more at the peak.)
    ImagePtr photo;
    if (foreground) {
        error = Guarded(MT_EXPORT_FOREGROUND_FAILED, [&] {
            photo = ExportPhoto(path);
            return MT_OK;
        });
        if (error != MT_OK)
            return QImage();
    }
    const Canvas& canvas = m_project->GetCanvas();
    ImagePtr placed;
    if (foreground) {
        error = PlaceExportForeground(
            path, std::move(photo), canvas.Width(), canvas.Height(), placed);
        if (error != MT_OK)
            return QImage();
    }
    QImage result;
    ImagePtr exported;
    error = Guarded(MT_CANVAS_NOT_COMPOSED, [&] {
        result = QImage(static_cast<int>(canvas.Width()), static_cast<int>(canvas.Height()),
            QImage::Format_ARGB32);
        if (result.isNull())
            throw std::bad_alloc();
        // A new QImage takes its density from the screen where there is one: fixed here, so
        // the program and mattora-render write the same bytes (100 dpi, what files have said).
        result.setDotsPerMeterX(kExportDotsPerMeter);
        result.setDotsPerMeterY(kExportDotsPerMeter);
        // A shown background covers the whole picture first (opaque black, then the photo).
        if (!IsShown(BackgroundLayer))
            result.fill(Qt::transparent);
        exported = orv::image::CreateImage(result.bits(), canvas.Width(), canvas.Height(), m_order);
        return MT_OK;
    });
    if (error == MT_OK && IsShown(BackgroundLayer))
        error = ExportBackground(path, exported);
    if (error == MT_OK && foreground)
        error = ExportForeground(path, std::move(placed), exported);
    if (error == MT_OK && IsShown(OverlayLayer))
        error = ExportOverlay(path, exported);
    return error == MT_OK ? result : QImage();
}

MTerr RenderEngine::ExportBackground(const QString& path, const ImagePtr& exported) const
{
    return Guarded(MT_EXPORT_BACKGROUND_FAILED, [&] {
        const LayerLists lists = ListsFor(BackgroundLayer, path);
        const ImagePtr& source = State(BackgroundLayer).image.full;
        ImagePtr filtered = CreateRenderCache(source);
        const MTerr filterResult = PassOnWhenNothingToDo(
            FilterStage(*lists.filters, *m_tables, DownsampleFull, source, filtered),
            MT_NOTHING_TO_FILTER, source, filtered);
        // Key and filter failures end the export: a half-filtered picture must not be saved as
        // if it were the result.
        if (IsStageFailure(filterResult))
            return filterResult;
        // Drawn straight into the export image, which nothing else has touched yet. An opaque
        // background the canvas's size in its place (the usual case) is a copy.
        const QTransform transform = ExportTransform(filtered, exported, *lists.transforms);
        if (CopyWhenPlacedAsIs(filtered, exported, transform))
            return MT_OK;
        orv::image::FillImage(0, 0, 0, 255, exported.get());
        return DrawTransformed(filtered, exported, transform, true) == MT_OK
            ? MT_OK
            : MT_EXPORT_BACKGROUND_FAILED;
    });
}

RenderEngine::ImagePtr RenderEngine::ExportPhoto(const QString& path) const
{
    CheckImplemented();
    // The layer's photo was decoded the same way when it was loaded, and the stages only read
    // it; a file changed on disk since then is read again.
    const QFileInfo file(path);
    const ImagePtr& loaded = State(ForegroundLayer).image.full;
    if (path == m_foregroundPath && loaded && file.size() == m_foregroundFileSize
        && file.lastModified().toMSecsSinceEpoch() == m_foregroundFileTime)
        return loaded;
    return AdoptImage(ReadPhoto(path), m_order);
}

MTerr RenderEngine::PlaceExportForeground(
    const QString& path, ImagePtr photo, unsigned width, unsigned height, ImagePtr& placed) const
{
    placed.reset();
    return Guarded(MT_CANVAS_NOT_COMPOSED, [&] {
        const LayerLists lists = ListsFor(ForegroundLayer, path);
        ImagePtr keyed = CreateRenderCache(photo);
        // The layer's own decode was scanned for its screen colour when it was loaded.
        const bool layerPhoto = photo == State(ForegroundLayer).image.full;
        const MTerr keyResult
            = PassOnWhenNothingToDo(KeyStage(*lists.keys, *m_tables, photo, keyed,
                                        layerPhoto ? &m_foregroundKeyColor : nullptr),
                MT_NOTHING_TO_KEY, photo, keyed);
        if (IsStageFailure(keyResult))
            return keyResult;
        photo.reset(); // the decoded photo is no longer needed; free it early
        ImagePtr filtered = CreateRenderCache(keyed);
        const MTerr filterResult = PassOnWhenNothingToDo(
            FilterStage(*lists.filters, *m_tables, DownsampleFull, keyed, filtered),
            MT_NOTHING_TO_FILTER, keyed, filtered);
        if (IsStageFailure(filterResult))
            return filterResult;
        keyed.reset();
        // A photo the canvas's size in its place is placed where it lies, when it is this
        // export's own intermediate (not the layer's decode, which other exports read).
        const QTransform transform = ExportTransform(filtered, width, height, *lists.transforms);
        if (filtered.use_count() == 1 && filtered != State(ForegroundLayer).image.full
            && PlaceAsIsInPlace(filtered, width, height, transform)) {
            placed = std::move(filtered);
            return MT_OK;
        }
        ImagePtr drawn = orv::image::NewZeroedImage(width, height, m_order);
        if (DrawTransformed(filtered, drawn, transform, true) != MT_OK)
            return MT_CANVAS_NOT_COMPOSED;
        placed = std::move(drawn);
        return MT_OK;
    });
}

MTerr RenderEngine::ExportForeground(
    const QString& path, ImagePtr placed, const ImagePtr& exported) const
{
    return Guarded(MT_CANVAS_NOT_COMPOSED, [&] {
        const LayerLists lists = ListsFor(ForegroundLayer, path);
        orv::image::OVImageCompositor compositor(exported, 1.0, *m_tables, DownsampleFull);
        if (const MTerr added = AddForeground(
                compositor, lists.composites, placed, IsShown(BackgroundLayer), DownsampleFull))
            return added;
        return OutOfMemoryElse(compositor.Render(), MT_CANVAS_NOT_COMPOSED);
    });
}

MTerr RenderEngine::ExportOverlay(const QString& path, const ImagePtr& exported) const
{
    return Guarded(MT_CANVAS_NOT_COMPOSED, [&] {
        const LayerLists lists = ListsFor(OverlayLayer, path);
        const ImagePtr placed
            = orv::image::NewZeroedImage(exported->Width(), exported->Height(), m_order);
        if (RenderExportTransforms(State(OverlayLayer).image.full, placed, *lists.transforms)
            != MT_OK)
            return MT_CANVAS_NOT_COMPOSED;
        orv::image::OVImageCompositor compositor(exported, 1.0, *m_tables, DownsampleFull);
        int code = compositor.AddLayer(placed, 1.0, orv::image::BlendModeNormal, true);
        if (code == orv::image::ResultSuccess)
            code = compositor.Render();
        return OutOfMemoryElse(code, MT_CANVAS_NOT_COMPOSED);
    });
}

void RenderEngine::CompositeQImage(OVDownsampleFactor factor, QImage& image)
{
    const ImagePtr* canvas = m_canvasCache.At(factor);
    auto* pixels = canvas ? dynamic_cast<orv::image::OVImage8*>(canvas->get()) : nullptr;
    if (pixels == nullptr || pixels->Buffer() == nullptr) {
        image = QImage();
        return;
    }
    image = QImage(pixels->Buffer(), static_cast<int>(pixels->Width()),
        static_cast<int>(pixels->Height()), static_cast<qsizetype>(pixels->Width()) * 4,
        QImage::Format_ARGB32);
}

} // namespace mtra::app
