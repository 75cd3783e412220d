// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/RenderEngine.h>

#include <app/ItemLists.h>
#include <app/Project.h>

#include <ovcommon/OVLookupTables.h>
#include <ovcommon/OVSystem.h>
#include <ovimageengine/OVImageKeyer.h>
#include <ovimageengine/OVResultCode.h>

#include "PhotoLoading.h"
#include "PixelRoutines.h"
#include "RenderStages.h"

#include <ovimageengine/OVImageCompositor.h>

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

// Every failure of a cache-building step in one place: out of memory is the one condition the
// program reacts to differently (it may free memory and retry); the rest means no cache.
template <typename Fn> MTerr GuardedCacheStep(Fn&& fn) noexcept
{
    try {
        return fn();
    } catch (const std::exception& e) {
        return ClassifyException(e) == orv::image::ResultOutOfMemory ? MT_RENDER_OUT_OF_MEMORY
                                                                     : MT_CACHE_NOT_CREATED;
    } catch (...) {
        return MT_CACHE_NOT_CREATED;
    }
}

// Failures of a render step: out of memory is reported as such, anything else as a failed stage.
template <typename Fn> MTerr GuardedRenderStep(MTerr otherwise, Fn&& fn) noexcept
{
    try {
        return fn();
    } catch (const std::exception& e) {
        return ClassifyException(e) == orv::image::ResultOutOfMemory ? MT_RENDER_OUT_OF_MEMORY
                                                                     : otherwise;
    } catch (...) {
        return otherwise;
    }
}

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

RenderEngine::RenderEngine(std::shared_ptr<Project> project, orv::image::OVBitsPerChannel bits,
    orv::image::OVPixelChannelOrder order, const QRect& window, MTerr& error)
    : m_project(std::move(project))
    , m_bits(bits)
    , m_order(order)
    , m_windowRect(window)
{
    error = GuardedCacheStep([&] {
        m_tables = std::make_unique<orv::OVLookupTables>(true);
        return CreateAllWindowCache();
    });
    // The flags start false already; a freshly built engine has rendered nothing.
}

RenderEngine::~RenderEngine() = default;

void RenderEngine::CheckImplemented() const
{
    if (m_bits != orv::image::Bits8
        || (m_order != orv::image::PixelOrderBGRA && m_order != orv::image::PixelOrderARGB))
        throw std::runtime_error("Not implemented");
}

RenderEngine::Images RenderEngine::CreateImageCaches(const QString& path) const
{
    CheckImplemented();
    // One decode for both resolutions: the quarter cache is the full one scaled, so the two
    // previews show the same picture and loading costs half as much.
    LayerImages loaded = LoadLayerImages(path, m_order);
    Images images;
    images.full = std::move(loaded.full);
    images.quarter = std::move(loaded.quarter);
    return images;
}

RenderEngine::ImagePtr RenderEngine::CreateRenderCache(const ImagePtr& like) const
{
    CheckImplemented();
    return NewImage(like->Width(), like->Height(), m_order);
}

RenderEngine::ImagePtr RenderEngine::CreateWindowCache(OVDownsampleFactor factor) const
{
    return CreateWindowImage(m_windowRect, factor, m_order);
}

MTerr RenderEngine::CreateAllWindowCache()
{
    return GuardedCacheStep([&] {
        for (Images* cache : { &m_canvasCache, &m_backgroundWindowCache, &m_foregroundWindowCache,
                 &m_overlayWindowCache }) {
            cache->full = CreateWindowCache(DownsampleFull);
            cache->quarter = CreateWindowCache(DownsampleQuarter);
        }
        return MT_OK;
    });
}

MTerr RenderEngine::SetLayer(LayerID layer, const QString& path)
{
    if (layer != BackgroundLayer && layer != ForegroundLayer && layer != OverlayLayer)
        return MT_INVALID_LAYER;

    // Everything is built aside and swapped in at the end with operations that cannot fail:
    // a half-replaced layer (new image, old render caches of another size) would let the next
    // stage write past the end of a smaller buffer.
    return GuardedCacheStep([&] {
        const Images images = CreateImageCaches(path);
        switch (layer) {
        case BackgroundLayer: {
            const Images filter { CreateRenderCache(images.full),
                CreateRenderCache(images.quarter) };
            m_backgroundImageCache = images;
            m_backgroundFilterCache = filter;
            ClearBoth(m_backgroundFilterResultPresent);
            ClearBoth(m_backgroundFilterValid);
            ClearBoth(m_backgroundTransformValid);
            m_backgroundSet = true;
            break;
        }
        case ForegroundLayer: {
            orv::image::OVKeyColor keyColor = orv::image::KeyColorGreen;
            orv::image::AutoDetectKeyColor(static_cast<orv::image::OVImage8*>(images.full.get()),
                orv::OVSystem::GetCPUCoreCount(), &keyColor);
            const Images key { CreateRenderCache(images.full), CreateRenderCache(images.quarter) };
            const Images filter { CreateRenderCache(images.full),
                CreateRenderCache(images.quarter) };
            m_foregroundImageCache = images;
            m_foregroundKeyCache = key;
            m_foregroundFilterCache = filter;
            if (m_project)
                m_project->SetKeyColor(keyColor);
            const QFileInfo file(path);
            m_foregroundPath = path;
            m_foregroundFileSize = file.size();
            m_foregroundFileTime = file.lastModified().toMSecsSinceEpoch();
            ClearBoth(m_foregroundKeyValid);
            ClearBoth(m_foregroundFilterValid);
            ClearBoth(m_foregroundTransformValid);
            m_foregroundSet = true;
            break;
        }
        case OverlayLayer:
            m_overlayImageCache = images;
            ClearBoth(m_overlayTransformValid);
            m_overlaySet = true;
            break;
        }
        return MT_OK;
    });
}

MTerr RenderEngine::RemoveLayer(LayerID layer)
{
    switch (layer) {
    case BackgroundLayer:
        m_backgroundSet = false;
        m_backgroundImageCache = Images();
        m_backgroundFilterCache = Images();
        ClearBoth(m_backgroundFilterValid);
        return MT_OK;
    case ForegroundLayer:
        m_foregroundSet = false;
        m_foregroundPath.clear();
        m_foregroundImageCache = Images();
        m_foregroundKeyCache = Images();
        m_foregroundFilterCache = Images();
        ClearBoth(m_foregroundKeyValid);
        return MT_OK;
    case OverlayLayer:
        m_overlaySet = false;
        m_overlayImageCache = Images();
        ClearBoth(m_overlayTransformValid);
        return MT_OK;
    }
    return MT_INVALID_LAYER;
}

bool RenderEngine::IsLayerSet(LayerID layer) const
{
    switch (layer) {
    case BackgroundLayer:
        return m_backgroundSet;
    case ForegroundLayer:
        return m_foregroundSet;
    case OverlayLayer:
        return m_overlaySet;
    }
    return false;
}

MTerr RenderEngine::InvalidateCache(LayerID layer, int level, OVDownsampleFactor factor)
{
    Flags* flags = nullptr;
    switch (layer) {
    case BackgroundLayer:
        flags = level == 2 ? &m_backgroundFilterValid
                           : (level == 3 ? &m_backgroundTransformValid : nullptr);
        break;
    case ForegroundLayer:
        flags = level == 1 ? &m_foregroundKeyValid
                           : (level == 2 ? &m_foregroundFilterValid
                                         : (level == 3 ? &m_foregroundTransformValid : nullptr));
        break;
    case OverlayLayer:
        flags = level == 3 ? &m_overlayTransformValid : nullptr;
        break;
    default:
        return MT_INVALID_LAYER;
    }
    if (flags == nullptr)
        return MT_INVALID_LEVEL;
    // A factor without caches has nothing that could be stale.
    if (bool* flag = flags->At(factor))
        *flag = false;
    return MT_OK;
}

const QRect RenderEngine::WindowCacheRect() const
{
    return m_windowRect;
}

// Level resolution: a stale earlier stage makes everything after it run again. Level 4 and
// above forces no stage, so only then does a stale transform alone pull the level down to 3.
int RenderEngine::ValidForegroundLevel(int level, OVDownsampleFactor factor) const
{
    if (level > 1 && !Flag(m_foregroundKeyValid, factor))
        return 1;
    if (level > 2 && !Flag(m_foregroundFilterValid, factor))
        return 2;
    if (level >= 4 && !Flag(m_foregroundTransformValid, factor))
        return 3;
    return level;
}

int RenderEngine::ValidBackgroundLevel(int level, OVDownsampleFactor factor) const
{
    if (level > 2 && !Flag(m_backgroundFilterValid, factor))
        return 2;
    if (level >= 4 && !Flag(m_backgroundTransformValid, factor))
        return 3;
    return level;
}

int RenderEngine::ValidOverlayLevel(int level, OVDownsampleFactor factor) const
{
    if (level >= 4 && !Flag(m_overlayTransformValid, factor))
        return 3;
    return level;
}

// Each later test overwrites the level, so the lowest stale stage is what remains.
bool RenderEngine::IsForegroundLayerValid(OVDownsampleFactor factor, int& level) const
{
    bool valid = true;
    if (!Flag(m_foregroundTransformValid, factor)) {
        level = 3;
        valid = false;
    }
    if (!Flag(m_foregroundFilterValid, factor)) {
        level = 2;
        valid = false;
    }
    if (!Flag(m_foregroundKeyValid, factor)) {
        level = 1;
        valid = false;
    }
    return valid;
}

bool RenderEngine::IsBackgroundLayerValid(OVDownsampleFactor factor, int& level) const
{
    bool valid = true;
    if (!Flag(m_backgroundTransformValid, factor)) {
        level = 3;
        valid = false;
    }
    if (!Flag(m_backgroundFilterValid, factor)) {
        level = 2;
        valid = false;
    }
    return valid;
}

bool RenderEngine::IsOverlayLayerValid(OVDownsampleFactor factor, int& level) const
{
    if (Flag(m_overlayTransformValid, factor))
        return true;
    level = 3;
    return false;
}

bool RenderEngine::IsBackgroundEnabled() const
{
    const auto image = m_project ? m_project->GetBackgroundImage() : nullptr;
    return !image || image->IsEnabled();
}

bool RenderEngine::IsForegroundEnabled() const
{
    return !m_project || m_project->GetForegroundImageList().IsEnabled();
}

bool RenderEngine::IsOverlayEnabled() const
{
    const auto image = m_project ? m_project->GetOverlayImage() : nullptr;
    return !image || image->IsEnabled();
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
    if (layer != BackgroundLayer && layer != ForegroundLayer && layer != OverlayLayer)
        return MT_INVALID_LAYER;
    if (!IsLayerSet(layer))
        return MT_LAYER_NOT_SET;
    if (!m_project || !m_tables)
        return MT_CACHE_NOT_CREATED;
    switch (layer) {
    case BackgroundLayer:
        return IsBackgroundEnabled() ? RenderBackground(level, factor) : MT_OK;
    case ForegroundLayer:
        return IsForegroundEnabled() ? RenderForeground(level, factor) : MT_OK;
    case OverlayLayer:
        return IsOverlayEnabled() ? RenderOverlay(factor) : MT_OK;
    }
    return MT_INVALID_LAYER;
}

MTerr RenderEngine::RenderBackground(int level, OVDownsampleFactor factor)
{
    ImagePtr* image = m_backgroundImageCache.At(factor);
    ImagePtr* filtered = m_backgroundFilterCache.At(factor);
    ImagePtr* window = m_backgroundWindowCache.At(factor);
    if (!image || !*image || !filtered || !*filtered || !window || !*window)
        return MT_CACHE_NOT_CREATED;
    const auto current
        = m_project->GetForegroundImageList().Get(m_project->CurrentForegroundPath());
    const auto settings = current->BackgroundSettings();

    m_backgroundRendered = true;
    level = ValidBackgroundLevel(level, factor);
    return GuardedRenderStep(MT_STAGE_RENDER_FAILED, [&] {
        if (!Flag(m_backgroundFilterResultPresent, factor) || level < 3) {
            const MTerr filteredResult
                = CopyWhenNothingToDo(FilterStage(settings ? settings->Filters() : kNoFilters,
                                          *m_tables, factor, *image, *filtered),
                    MT_NOTHING_TO_FILTER, *image, *filtered);
            if (IsStageFailure(filteredResult)) {
                FillImage(0, 0, 0, 255, window->get());
                ClearBoth(m_backgroundFilterValid);
                m_backgroundRendered = false;
                return filteredResult;
            }
            *m_backgroundFilterResultPresent.At(factor) = true;
            *m_backgroundFilterValid.At(factor) = true;
        }
        FillImage(0, 0, 0, 255, window->get());
        const MTerr placed = RenderCanvasTransforms(*filtered, *window,
            settings ? settings->Transforms() : kNoTransforms, factor == DownsampleFull, factor);
        if (placed != MT_OK)
            return placed;
        *m_backgroundTransformValid.At(factor) = true;
        return MT_OK;
    });
}

MTerr RenderEngine::RenderForeground(int level, OVDownsampleFactor factor)
{
    ImagePtr* image = m_foregroundImageCache.At(factor);
    ImagePtr* keyed = m_foregroundKeyCache.At(factor);
    ImagePtr* filtered = m_foregroundFilterCache.At(factor);
    ImagePtr* window = m_foregroundWindowCache.At(factor);
    if (!image || !*image || !keyed || !*keyed || !filtered || !*filtered || !window || !*window)
        return MT_CACHE_NOT_CREATED;
    const auto current
        = m_project->GetForegroundImageList().Get(m_project->CurrentForegroundPath());
    const auto settings = current->ForegroundSettings();

    m_foregroundRendered = true;
    level = ValidForegroundLevel(level, factor);
    return GuardedRenderStep(MT_STAGE_RENDER_FAILED, [&] {
        auto fail = [&](MTerr code) {
            FillImage(0, 0, 0, 255, window->get());
            ClearBoth(m_foregroundKeyValid);
            m_foregroundRendered = false;
            return code;
        };
        if (level < 2) {
            const MTerr keyResult = CopyWhenNothingToDo(
                KeyStage(settings ? settings->Keys() : kNoKeys, *m_tables, *image, *keyed),
                MT_NOTHING_TO_KEY, *image, *keyed);
            if (IsStageFailure(keyResult))
                return fail(keyResult);
            *m_foregroundKeyValid.At(factor) = true;
        }
        if (level < 3) {
            const MTerr filterResult
                = CopyWhenNothingToDo(FilterStage(settings ? settings->Filters() : kNoFilters,
                                          *m_tables, factor, *keyed, *filtered),
                    MT_NOTHING_TO_FILTER, *keyed, *filtered);
            if (IsStageFailure(filterResult))
                return fail(filterResult);
            *m_foregroundFilterValid.At(factor) = true;
        }
        FillImage(0, 0, 0, 0, window->get());
        const MTerr placed = RenderCanvasTransforms(*filtered, *window,
            settings ? settings->Transforms() : kNoTransforms, factor == DownsampleFull, factor);
        if (placed != MT_OK)
            return placed;
        *m_foregroundTransformValid.At(factor) = true;
        return MT_OK;
    });
}

MTerr RenderEngine::RenderOverlay(OVDownsampleFactor factor)
{
    ImagePtr* image = m_overlayImageCache.At(factor);
    ImagePtr* window = m_overlayWindowCache.At(factor);
    if (!image || !*image || !window || !*window)
        return MT_CACHE_NOT_CREATED;
    const auto current
        = m_project->GetForegroundImageList().Get(m_project->CurrentForegroundPath());
    const auto settings = current->OverlaySettings();
    return GuardedRenderStep(MT_STAGE_RENDER_FAILED, [&] {
        FillImage(0, 0, 0, 0, window->get());
        const MTerr placed = RenderCanvasTransforms(*image, *window,
            settings ? settings->Transforms() : kNoTransforms, factor == DownsampleFull, factor);
        if (placed != MT_OK)
            return placed;
        *m_overlayTransformValid.At(factor) = true;
        return MT_OK;
    });
}

MTerr RenderEngine::RenderCanvasImage(OVDownsampleFactor factor, QImage& image)
{
    const ImagePtr* canvas = m_canvasCache.At(factor);
    const ImagePtr* windows[] = { m_backgroundWindowCache.At(factor),
        m_foregroundWindowCache.At(factor), m_overlayWindowCache.At(factor) };
    bool cached = canvas != nullptr && *canvas && m_project && m_tables;
    for (const ImagePtr* window : windows)
        cached = cached && window != nullptr && *window;
    if (!cached) {
        image = QImage();
        return MT_CACHE_NOT_CREATED;
    }
    // On failure the caller still gets a canvas-sized picture; a transparent one rather than
    // whatever the memory held.
    auto failed = [&](MTerr code) {
        image = QImage(static_cast<int>((*canvas)->Width()), static_cast<int>((*canvas)->Height()),
            QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        return code;
    };
    const MTerr composed = GuardedRenderStep(MT_CANVAS_NOT_COMPOSED, [&] {
        FillImage(0, 0, 0, 0, canvas->get());
        // Only layers that are shown must have been rendered: a background disabled since
        // it was loaded (a project opened that way) is never rendered, and must not keep the
        // canvas from being composed.
        if ((m_foregroundSet && IsForegroundEnabled() && !m_foregroundRendered)
            || (m_backgroundSet && IsBackgroundEnabled() && !m_backgroundRendered))
            return MT_CANVAS_NOT_COMPOSED;
        orv::image::OVImageCompositor compositor(*canvas, 1.0, *m_tables, factor);

        const bool backgroundShown = m_backgroundSet && IsBackgroundEnabled();
        int level = 0;
        if (backgroundShown) {
            if (!IsBackgroundLayerValid(factor, level))
                if (const MTerr rendered = RenderLayer(BackgroundLayer, level, factor))
                    return rendered;
            if (orv::image::CopyPixels(*m_backgroundWindowCache.At(factor), *canvas) != 0)
                return MT_CANVAS_NOT_COMPOSED;
        }
        if (m_foregroundSet && IsForegroundEnabled()) {
            if (!IsForegroundLayerValid(factor, level))
                if (const MTerr rendered = RenderLayer(ForegroundLayer, level, factor))
                    return rendered;
            const auto current
                = m_project->GetForegroundImageList().Get(m_project->CurrentForegroundPath());
            const auto settings = current->ForegroundSettings();
            if (const MTerr added
                = AddForeground(compositor, settings ? &settings->Compositors() : nullptr,
                    *m_foregroundWindowCache.At(factor), backgroundShown, factor))
                return added;
        }
        if (m_overlaySet && IsOverlayEnabled()) {
            if (!Flag(m_overlayTransformValid, factor))
                if (const MTerr rendered = RenderLayer(OverlayLayer, 3, factor))
                    return rendered;
            const int added = compositor.AddLayer(
                *m_overlayWindowCache.At(factor), 1.0, orv::image::BlendModeNormal, true);
            if (added != orv::image::ResultSuccess)
                return added == orv::image::ResultOutOfMemory ? MT_RENDER_OUT_OF_MEMORY
                                                              : MT_CANVAS_NOT_COMPOSED;
        }
        const int rendered = compositor.Render();
        if (rendered != orv::image::ResultSuccess)
            return rendered == orv::image::ResultOutOfMemory ? MT_RENDER_OUT_OF_MEMORY
                                                             : MT_CANVAS_NOT_COMPOSED;
        return MT_OK;
    });
    if (composed != MT_OK)
        return GuardedRenderStep(MT_CANVAS_NOT_COMPOSED, [&] { return failed(composed); });
    CompositeQImage(factor, image);
    return MT_OK;
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
    const auto target = m_project->GetForegroundImageList().Get(path);
    const Canvas& canvas = m_project->GetCanvas();
    const unsigned int width = canvas.Width();
    const unsigned int height = canvas.Height();
    auto canvasSized = [&](unsigned char alpha) {
        ImagePtr image = NewImage(width, height, m_order);
        if (alpha != 0) // new images are zero: transparent black already
            FillImage(0, 0, 0, alpha, image.get());
        return image;
    };
    // Key and filter failures end the export: a half-keyed picture must not be saved as if
    // it were the result.
    auto stageFailed = [&](MTerr result) {
        if (!IsStageFailure(result))
            return false;
        error = result;
        return true;
    };

    QImage result;
    ImagePtr exported;
    std::unique_ptr<orv::image::OVImageCompositor> compositor;
    error = GuardedRenderStep(MT_CANVAS_NOT_COMPOSED, [&] {
        result = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
        if (result.isNull())
            throw std::bad_alloc();
        result.fill(Qt::transparent);
        exported = orv::image::CreateImage(result.bits(), width, height, m_order);
        compositor = std::make_unique<orv::image::OVImageCompositor>(
            exported, 1.0, *m_tables, DownsampleFull);
        return MT_OK;
    });
    if (error != MT_OK)
        return QImage();

    const bool backgroundShown = m_backgroundSet && IsBackgroundEnabled();
    if (backgroundShown) {
        error = GuardedRenderStep(MT_EXPORT_BACKGROUND_FAILED, [&] {
            const auto settings = target->BackgroundSettings();
            const ImagePtr& source = m_backgroundImageCache.full;
            ImagePtr filtered = CreateRenderCache(source);
            const MTerr filterResult
                = PassOnWhenNothingToDo(FilterStage(settings ? settings->Filters() : kNoFilters,
                                            *m_tables, DownsampleFull, source, filtered),
                    MT_NOTHING_TO_FILTER, source, filtered);
            if (stageFailed(filterResult))
                return filterResult;
            // Drawn straight into the export image, which nothing else has touched yet.
            FillImage(0, 0, 0, 255, exported.get());
            return RenderExportTransforms(
                       filtered, exported, settings ? settings->Transforms() : kNoTransforms)
                    == MT_OK
                ? MT_OK
                : MT_EXPORT_BACKGROUND_FAILED;
        });
        if (error != MT_OK)
            return QImage();
    }

    // A photo asked for by path is rendered even when no foreground layer is loaded (the
    // program unloads it when the current photo goes offline): the other photos of a batch
    // must not be written without their subject as if that were the result.
    if ((m_foregroundSet || !path.isEmpty()) && IsForegroundEnabled()) {
        ImagePtr photo;
        error = GuardedCacheStep([&] {
            CheckImplemented();
            // The layer's photo was decoded the same way when it was loaded; the stages below
            // only read it.
            const QFileInfo file(path);
            if (!path.isEmpty() && path == m_foregroundPath && m_foregroundImageCache.full
                && file.size() == m_foregroundFileSize
                && file.lastModified().toMSecsSinceEpoch() == m_foregroundFileTime)
                photo = m_foregroundImageCache.full;
            else
                photo = AdoptImage(ReadPhoto(path), m_order);
            return MT_OK;
        });
        if (error != MT_OK) {
            error = error == MT_RENDER_OUT_OF_MEMORY ? error : MT_EXPORT_FOREGROUND_FAILED;
            return QImage();
        }
        error = GuardedRenderStep(MT_CANVAS_NOT_COMPOSED, [&] {
            const auto settings = target->ForegroundSettings();
            ImagePtr keyed = CreateRenderCache(photo);
            const MTerr keyResult = PassOnWhenNothingToDo(
                KeyStage(settings ? settings->Keys() : kNoKeys, *m_tables, photo, keyed),
                MT_NOTHING_TO_KEY, photo, keyed);
            if (stageFailed(keyResult))
                return keyResult;
            photo.reset(); // the decoded photo is no longer needed; free it early
            ImagePtr filtered = CreateRenderCache(keyed);
            const MTerr filterResult
                = PassOnWhenNothingToDo(FilterStage(settings ? settings->Filters() : kNoFilters,
                                            *m_tables, DownsampleFull, keyed, filtered),
                    MT_NOTHING_TO_FILTER, keyed, filtered);
            if (stageFailed(filterResult))
                return filterResult;
            keyed.reset();
            ImagePtr placed = canvasSized(0);
            RenderExportTransforms(
                filtered, placed, settings ? settings->Transforms() : kNoTransforms);
            if (const MTerr added
                = AddForeground(*compositor, settings ? &settings->Compositors() : nullptr, placed,
                    backgroundShown, DownsampleFull))
                return added;
            const int rendered = compositor->Render();
            if (rendered != orv::image::ResultSuccess)
                return rendered == orv::image::ResultOutOfMemory ? MT_RENDER_OUT_OF_MEMORY
                                                                 : MT_CANVAS_NOT_COMPOSED;
            return MT_OK;
        });
        if (error != MT_OK)
            return QImage();
    }

    if (m_overlaySet && IsOverlayEnabled()) {
        error = GuardedRenderStep(MT_CANVAS_NOT_COMPOSED, [&] {
            const auto settings = target->OverlaySettings();
            orv::image::OVImageCompositor overlayCompositor(
                exported, 1.0, *m_tables, DownsampleFull);
            ImagePtr placed = canvasSized(0);
            RenderExportTransforms(m_overlayImageCache.full, placed,
                settings ? settings->Transforms() : kNoTransforms);
            int code = overlayCompositor.AddLayer(placed, 1.0, orv::image::BlendModeNormal, true);
            if (code == orv::image::ResultSuccess)
                code = overlayCompositor.Render();
            if (code == orv::image::ResultSuccess)
                return MT_OK;
            return code == orv::image::ResultOutOfMemory ? MT_RENDER_OUT_OF_MEMORY
                                                         : MT_CANVAS_NOT_COMPOSED;
        });
        if (error != MT_OK)
            return QImage();
    }
    return result;
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
    for (Images* cache :
        { &m_backgroundWindowCache, &m_foregroundWindowCache, &m_overlayWindowCache,
            &m_backgroundFilterCache, &m_foregroundKeyCache, &m_foregroundFilterCache })
        *cache = Images();
}

MTerr RenderEngine::RestoreCacheAfterExport()
{
    return GuardedCacheStep([&] {
        // Built aside first, so that a failure leaves the engine as it was.
        Images windows[3];
        for (Images& window : windows) {
            window.full = CreateWindowCache(DownsampleFull);
            window.quarter = CreateWindowCache(DownsampleQuarter);
        }
        Images backgroundFilter;
        if (m_backgroundSet) {
            backgroundFilter.full = CreateRenderCache(m_backgroundImageCache.full);
            backgroundFilter.quarter = CreateRenderCache(m_backgroundImageCache.quarter);
        }
        Images key;
        Images filter;
        if (m_foregroundSet) {
            key.full = CreateRenderCache(m_foregroundImageCache.full);
            key.quarter = CreateRenderCache(m_foregroundImageCache.quarter);
            filter.full = CreateRenderCache(m_foregroundImageCache.full);
            filter.quarter = CreateRenderCache(m_foregroundImageCache.quarter);
        }
        m_backgroundWindowCache = windows[0];
        m_foregroundWindowCache = windows[1];
        m_overlayWindowCache = windows[2];
        if (m_backgroundSet)
            m_backgroundFilterCache = backgroundFilter;
        if (m_foregroundSet) {
            m_foregroundKeyCache = key;
            m_foregroundFilterCache = filter;
        }
        for (Flags* flags :
            { &m_backgroundTransformValid, &m_foregroundTransformValid, &m_overlayTransformValid,
                &m_backgroundFilterValid, &m_backgroundFilterResultPresent, &m_foregroundKeyValid,
                &m_foregroundFilterValid })
            ClearBoth(*flags);
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
