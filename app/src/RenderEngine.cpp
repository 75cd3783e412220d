// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/RenderEngine.h>

#include <app/ItemLists.h>
#include <app/Project.h>

#include <ovcommon/OVLookupTables.h>
#include <ovcommon/OVSystem.h>
#include <ovimageengine/OVImageCompositor.h>
#include <ovimageengine/OVImageKeyer.h>
#include <ovimageengine/OVImageSupport.h>
#include <ovimageengine/OVResultCode.h>

#include "PhotoLoading.h"
#include "RenderGuard.h"
#include "RenderStages.h"
#include "WindowImage.h"

#include <QDateTime>
#include <QFileInfo>

#include <new>
#include <stdexcept>
#include <utility>

namespace mtra::app {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;
using orv::image::OVDownsampleFactor;

namespace {

constexpr LayerID kLayers[] = { BackgroundLayer, ForegroundLayer, OverlayLayer };

bool IsStageFailure(MTerr result)
{
    return result == MT_STAGE_RENDER_FAILED || result == MT_RENDER_OUT_OF_MEMORY;
}

// A stage with nothing to apply passes its input on unchanged.
MTerr CopyWhenNothingToDo(MTerr result, MTerr nothing, const ImagePtr& from, const ImagePtr& to)
{
    if (result != nothing)
        return result;
    return orv::image::CopyPixels(from, to) == orv::image::ResultSuccess ? MT_OK
                                                                         : MT_STAGE_RENDER_FAILED;
}

// The same for images that live only during one export: the input itself is the result, so a
// camera-size copy is saved. The untouched output is released.
MTerr PassOnWhenNothingToDo(MTerr result, MTerr nothing, const ImagePtr& from, ImagePtr& to)
{
    if (result != nothing)
        return result;
    to = from;
    return MT_OK;
}

const TransformList kNoTransforms;
const FilterList kNoFilters;
const KeyList kNoKeys;

} // namespace

// The item lists of one layer in the settings of one foreground image; lists a layer does not
// have are empty. `hold` keeps the settings alive while the lists are used.
struct RenderEngine::LayerLists {
    std::shared_ptr<const void> hold;
    const KeyList* keys = &kNoKeys;
    const FilterList* filters = &kNoFilters;
    const TransformList* transforms = &kNoTransforms;
    const CompositeList* composites = nullptr;
};

RenderEngine::RenderEngine(std::shared_ptr<Project> project, orv::image::OVBitsPerChannel bits,
    orv::image::OVPixelChannelOrder order, const QRect& window, MTerr& error)
    : m_project(std::move(project))
    , m_bits(bits)
    , m_order(order)
    , m_windowRect(window)
{
    // Without the lookup tables every operation reports 34 (or 33 for a layer without image):
    // an engine in an order it cannot compose must not hand out pictures in wrong colours.
    error = Guarded(MT_CACHE_NOT_CREATED, [&] {
        CheckImplemented();
        m_tables = std::make_unique<orv::OVLookupTables>(true);
        return CreateAllWindowCache();
    });
    // The flags start false already; a freshly built engine has rendered nothing.
}

RenderEngine::~RenderEngine() = default;

void RenderEngine::CheckImplemented() const
{
    if (m_bits != orv::image::Bits8 || m_order != orv::image::PixelOrderBGRA)
        throw std::runtime_error("Not implemented");
}

RenderEngine::ImagePtr RenderEngine::CreateRenderCache(const ImagePtr& like) const
{
    CheckImplemented();
    return orv::image::NewZeroedImage(like->Width(), like->Height(), m_order);
}

RenderEngine::Images RenderEngine::CreateRenderCaches(const Images& like) const
{
    return Images { CreateRenderCache(like.full), CreateRenderCache(like.quarter) };
}

RenderEngine::Images RenderEngine::CreateWindowCaches() const
{
    return Images { CreateWindowImage(m_windowRect, DownsampleFull, m_order),
        CreateWindowImage(m_windowRect, DownsampleQuarter, m_order) };
}

MTerr RenderEngine::CreateAllWindowCache()
{
    return Guarded(MT_CACHE_NOT_CREATED, [&] {
        m_canvasCache = CreateWindowCaches();
        for (LayerState& state : m_layers)
            state.window = CreateWindowCaches();
        return MT_OK;
    });
}

bool RenderEngine::IsKnownLayer(LayerID layer)
{
    return layer == BackgroundLayer || layer == ForegroundLayer || layer == OverlayLayer;
}

Stage RenderEngine::FirstStage(LayerID layer)
{
    switch (layer) {
    case BackgroundLayer:
        return Stage::Filter;
    case ForegroundLayer:
        return Stage::Key;
    default:
        return Stage::Transform;
    }
}

bool RenderEngine::HasStage(LayerID layer, Stage stage)
{
    return IsKnownLayer(layer) && stage >= FirstStage(layer) && stage <= Stage::Transform;
}

MTerr RenderEngine::SetLayer(LayerID layer, const QString& path)
{
    if (!IsKnownLayer(layer))
        return MT_INVALID_LAYER;

    // Everything is built aside and swapped in at the end with operations that cannot fail:
    // a half-replaced layer (new image, old render caches of another size) would let the next
    // stage write past the end of a smaller buffer.
    return Guarded(MT_CACHE_NOT_CREATED, [&] {
        CheckImplemented();
        // One decode for both resolutions: the quarter cache is the full one scaled, so the two
        // previews show the same picture and loading costs half as much.
        DecodedLayer loaded = LoadLayerImages(path, m_order);
        LayerState next;
        next.image = Images { std::move(loaded.full), std::move(loaded.quarter) };
        if (HasStage(layer, Stage::Key))
            next.keyed = CreateRenderCaches(next.image);
        if (HasStage(layer, Stage::Filter))
            next.filtered = CreateRenderCaches(next.image);
        orv::image::OVKeyColor keyColor = orv::image::KeyColorGreen;
        QFileInfo file;
        if (layer == ForegroundLayer) {
            orv::image::AutoDetectKeyColor(
                static_cast<orv::image::OVImage8*>(next.image.full.get()),
                orv::OVSystem::GetCPUCoreCount(), &keyColor);
            file = QFileInfo(path);
        }

        LayerState& state = State(layer);
        next.window = std::move(state.window);
        next.rendered = state.rendered;
        next.set = true;
        state = std::move(next);
        if (layer == ForegroundLayer) {
            if (m_project)
                m_project->SetKeyColor(keyColor);
            m_foregroundPath = path;
            m_foregroundFileSize = file.size();
            m_foregroundFileTime = file.lastModified().toMSecsSinceEpoch();
        }
        return MT_OK;
    });
}

MTerr RenderEngine::RemoveLayer(LayerID layer)
{
    if (!IsKnownLayer(layer))
        return MT_INVALID_LAYER;
    LayerState& state = State(layer);
    state.set = false;
    state.image = Images();
    state.keyed = Images();
    state.filtered = Images();
    ClearBoth(state.Valid(FirstStage(layer)));
    if (layer == ForegroundLayer)
        m_foregroundPath.clear();
    return MT_OK;
}

bool RenderEngine::IsLayerSet(LayerID layer) const
{
    return IsKnownLayer(layer) && State(layer).set;
}

MTerr RenderEngine::Invalidate(LayerID layer, Stage stage, OVDownsampleFactor factor)
{
    if (!IsKnownLayer(layer))
        return MT_INVALID_LAYER;
    if (!HasStage(layer, stage))
        return MT_INVALID_LEVEL;
    // A factor without caches has nothing that could be stale.
    if (bool* flag = State(layer).Valid(stage).At(factor))
        *flag = false;
    return MT_OK;
}

MTerr RenderEngine::Invalidate(LayerID layer, Stage stage)
{
    if (const MTerr result = Invalidate(layer, stage, DownsampleFull))
        return result;
    return Invalidate(layer, stage, DownsampleQuarter);
}

MTerr RenderEngine::InvalidateCache(LayerID layer, int level, OVDownsampleFactor factor)
{
    if (!IsKnownLayer(layer))
        return MT_INVALID_LAYER;
    if (level < static_cast<int>(Stage::Key) || level > static_cast<int>(Stage::Transform))
        return MT_INVALID_LEVEL;
    return Invalidate(layer, static_cast<Stage>(level), factor);
}

const QRect RenderEngine::WindowCacheRect() const
{
    return m_windowRect;
}

QSize RenderEngine::LayerSize(LayerID layer) const
{
    if (!IsLayerSet(layer) || !State(layer).image.full)
        return QSize();
    const auto& image = *State(layer).image.full;
    return QSize(static_cast<int>(image.Width()), static_cast<int>(image.Height()));
}

// Level resolution: a stale earlier stage makes everything after it run again. Level 4 and
// above forces no stage, so only then does a stale transform alone pull the level down to 3.
int RenderEngine::ValidLevel(LayerID layer, int level, OVDownsampleFactor factor) const
{
    const LayerState& state = State(layer);
    for (int stage = static_cast<int>(FirstStage(layer)); stage < 3; ++stage)
        if (level > stage && !Flag(state.valid[stage - 1], factor))
            return stage;
    if (level >= 4 && !Flag(state.Valid(Stage::Transform), factor))
        return 3;
    return level;
}

// Each earlier stage found stale overwrites the level, so the lowest stale stage remains.
bool RenderEngine::IsLayerValid(LayerID layer, OVDownsampleFactor factor, int& level) const
{
    const LayerState& state = State(layer);
    bool valid = true;
    for (int stage = 3; stage >= static_cast<int>(FirstStage(layer)); --stage) {
        if (!Flag(state.valid[stage - 1], factor)) {
            level = stage;
            valid = false;
        }
    }
    return valid;
}

bool RenderEngine::IsShown(LayerID layer) const
{
    if (!IsLayerSet(layer))
        return false;
    if (!m_project)
        return true;
    switch (layer) {
    case BackgroundLayer: {
        const auto image = m_project->GetBackgroundImage();
        return !image || image->IsEnabled();
    }
    case ForegroundLayer:
        return m_project->GetForegroundImageList().IsEnabled();
    default: {
        const auto image = m_project->GetOverlayImage();
        return !image || image->IsEnabled();
    }
    }
}

RenderEngine::LayerLists RenderEngine::ListsFor(LayerID layer, const QString& foregroundPath) const
{
    LayerLists lists;
    const auto image = m_project->GetForegroundImageList().Get(foregroundPath);
    if (!image)
        return lists;
    switch (layer) {
    case BackgroundLayer:
        if (const auto settings = image->BackgroundSettings()) {
            lists.filters = &settings->Filters();
            lists.transforms = &settings->Transforms();
            lists.hold = settings;
        }
        break;
    case ForegroundLayer:
        if (const auto settings = image->ForegroundSettings()) {
            lists.keys = &settings->Keys();
            lists.filters = &settings->Filters();
            lists.transforms = &settings->Transforms();
            lists.composites = &settings->Compositors();
            lists.hold = settings;
        }
        break;
    default:
        if (const auto settings = image->OverlaySettings()) {
            lists.transforms = &settings->Transforms();
            lists.hold = settings;
        }
        break;
    }
    return lists;
}

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
        for (const LayerID layer : kLayers)
            if (FirstStage(layer) != Stage::Transform && IsShown(layer) && !State(layer).rendered)
                return MT_CANVAS_NOT_COMPOSED;
        orv::image::OVImageCompositor compositor(*canvas, 1.0, *m_tables, factor);
        const bool backgroundShown = IsShown(BackgroundLayer);
        for (const LayerID layer : kLayers) {
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

MTerr RenderEngine::RenderExportTransforms(
    const ImagePtr& source, const ImagePtr& destination, const TransformList& transforms) const
{
    const Canvas& canvas = m_project->GetCanvas();
    QTransform centre;
    centre.translate(destination->Width() * 0.5, destination->Height() * 0.5);
    const QTransform transform = LayerTransform(centre, transforms, source->Width(),
        source->Height(), canvas.Width(), canvas.Height(), 1.0f);
    return DrawTransformed(source, destination, transform, true);
}

QImage RenderEngine::ExportQImage(const QString& path, MTerr& error)
{
    error = MT_OK;
    if (!m_project || !m_tables) {
        error = MT_CACHE_NOT_CREATED;
        return QImage();
    }
    const Canvas& canvas = m_project->GetCanvas();
    QImage result;
    ImagePtr exported;
    error = Guarded(MT_CANVAS_NOT_COMPOSED, [&] {
        result = QImage(static_cast<int>(canvas.Width()), static_cast<int>(canvas.Height()),
            QImage::Format_ARGB32);
        if (result.isNull())
            throw std::bad_alloc();
        result.fill(Qt::transparent);
        exported = orv::image::CreateImage(result.bits(), canvas.Width(), canvas.Height(), m_order);
        return MT_OK;
    });
    // An empty path has no photo: background and overlay only. A photo asked for by path is
    // rendered even when no foreground layer is loaded (the program unloads it when the
    // current photo goes offline): the other photos of a batch must not be written without
    // their subject as if that were the result.
    const bool foreground
        = !path.isEmpty() && (!m_project || m_project->GetForegroundImageList().IsEnabled());
    if (error == MT_OK && IsShown(BackgroundLayer))
        error = ExportBackground(path, exported);
    if (error == MT_OK && foreground)
        error = ExportForeground(path, exported);
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
        // Drawn straight into the export image, which nothing else has touched yet.
        orv::image::FillImage(0, 0, 0, 255, exported.get());
        return RenderExportTransforms(filtered, exported, *lists.transforms) == MT_OK
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

MTerr RenderEngine::ExportForeground(const QString& path, const ImagePtr& exported) const
{
    ImagePtr photo;
    if (const MTerr read = Guarded(MT_EXPORT_FOREGROUND_FAILED, [&] {
            photo = ExportPhoto(path);
            return MT_OK;
        }))
        return read;
    return Guarded(MT_CANVAS_NOT_COMPOSED, [&] {
        const LayerLists lists = ListsFor(ForegroundLayer, path);
        ImagePtr keyed = CreateRenderCache(photo);
        const MTerr keyResult = PassOnWhenNothingToDo(
            KeyStage(*lists.keys, *m_tables, photo, keyed), MT_NOTHING_TO_KEY, photo, keyed);
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
        const ImagePtr placed
            = orv::image::NewZeroedImage(exported->Width(), exported->Height(), m_order);
        if (RenderExportTransforms(filtered, placed, *lists.transforms) != MT_OK)
            return MT_CANVAS_NOT_COMPOSED;
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

void RenderEngine::RemoveCacheBeforeExport()
{
    for (LayerState& state : m_layers) {
        state.window = Images();
        state.keyed = Images();
        state.filtered = Images();
    }
}

MTerr RenderEngine::RestoreCacheAfterExport()
{
    return Guarded(MT_CACHE_NOT_CREATED, [&] {
        CheckImplemented();
        // Built aside first, so that a failure leaves the engine as it was.
        Images windows[3];
        Images keyed[3];
        Images filtered[3];
        for (const LayerID layer : kLayers) {
            const LayerState& state = State(layer);
            windows[layer] = CreateWindowCaches();
            if (state.set && HasStage(layer, Stage::Key))
                keyed[layer] = CreateRenderCaches(state.image);
            if (state.set && HasStage(layer, Stage::Filter))
                filtered[layer] = CreateRenderCaches(state.image);
        }
        for (const LayerID layer : kLayers) {
            LayerState& state = State(layer);
            state.window = std::move(windows[layer]);
            if (state.set) {
                state.keyed = std::move(keyed[layer]);
                state.filtered = std::move(filtered[layer]);
            }
            for (Flags& flags : state.valid)
                ClearBoth(flags);
            ClearBoth(state.filterResultPresent);
        }
        return MT_OK;
    });
}

bool RenderEngine::Flag(const Flags& flags, OVDownsampleFactor factor)
{
    const bool* flag = flags.At(factor);
    return flag != nullptr && *flag;
}

void RenderEngine::ClearBoth(Flags& flags)
{
    flags.full = false;
    flags.quarter = false;
}

} // namespace mtra::app
