// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/RenderEngine.h>

#include <app/ItemLists.h>
#include <app/Project.h>

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageCompositor.h>
#include <ovimageengine/OVImageKeyer.h>
#include <ovimageengine/OVImageSupport.h>
#include <ovimageengine/OVResultCode.h>

#include "PhotoLoading.h"
#include "RenderEngineSupport.h"
#include "RenderGuard.h"
#include "WindowImage.h"

#include <QDateTime>
#include <QFileInfo>

#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace mtra::app {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;
using orv::image::OVDownsampleFactor;

RenderEngine::RenderEngine(std::shared_ptr<Project> project, orv::image::OVBitsPerChannel bits,
    orv::image::OVPixelChannelOrder order, const QRect& window, MTerr& error)
    : RenderEngine(std::move(project), bits, order, window, false, error)
{
}

RenderEngine::RenderEngine(std::shared_ptr<Project> project, orv::image::OVBitsPerChannel bits,
    orv::image::OVPixelChannelOrder order, const QRect& window, bool exportOnly, MTerr& error)
    : m_project(std::move(project))
    , m_bits(bits)
    , m_order(order)
    , m_windowRect(window)
    , m_exportOnly(exportOnly)
{
    // Without the lookup tables every operation reports 34 (or 33 for a layer without image):
    // an engine in an order it cannot compose must not hand out pictures in wrong colours.
    error = Guarded(MT_CACHE_NOT_CREATED, [&] {
        CheckImplemented();
        m_tables = std::make_unique<orv::OVLookupTables>(true);
        return m_exportOnly ? MT_OK : CreateAllWindowCache();
    });
    // The flags start false already; a freshly built engine has rendered nothing.
}

std::unique_ptr<RenderEngine> RenderEngine::ForExport(
    std::shared_ptr<Project> project, MTerr& error)
{
    error = MT_OK;
    std::unique_ptr<RenderEngine> engine;
    try {
        engine.reset(new RenderEngine(std::move(project), orv::image::Bits8,
            orv::image::PixelOrderBGRA, QRect(), true, error));
    } catch (const std::bad_alloc&) {
        error = MT_RENDER_OUT_OF_MEMORY;
    }
    return engine;
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

struct RenderEngine::PreparedLayer {
    LayerState state;
    QString path;
    orv::image::OVKeyColor keyColor = orv::image::KeyColorGreen;
    qint64 fileSize = -1;
    qint64 fileTime = -1;
};

MTerr RenderEngine::PrepareLayer(LayerID layer, const QString& path, PreparedLayer& prepared) const
{
    if (!IsKnownLayer(layer))
        return MT_INVALID_LAYER;
    return Guarded(MT_CACHE_NOT_CREATED, [&] {
        CheckImplemented();
        // One decode for both resolutions: the quarter cache is the full one scaled, so the two
        // previews show the same picture and loading costs half as much.
        DecodedLayer loaded = LoadLayerImages(path, m_order, !m_exportOnly);
        LayerState& next = prepared.state;
        next.image = Images { std::move(loaded.full), std::move(loaded.quarter) };
        // The export makes its own intermediates per picture; these serve the previews only.
        if (!m_exportOnly && HasStage(layer, Stage::Key))
            next.keyed = CreateRenderCaches(next.image);
        if (!m_exportOnly && HasStage(layer, Stage::Filter))
            next.filtered = CreateRenderCaches(next.image);
        if (layer == ForegroundLayer) {
            orv::image::AutoDetectKeyColor(
                static_cast<orv::image::OVImage8*>(next.image.full.get()),
                static_cast<int>(orv::image::RenderWorkerCount()), &prepared.keyColor);
            const QFileInfo file(path);
            prepared.path = path;
            prepared.fileSize = file.size();
            prepared.fileTime = file.lastModified().toMSecsSinceEpoch();
        }
        return MT_OK;
    });
}

void RenderEngine::CommitLayer(LayerID layer, PreparedLayer&& prepared)
{
    LayerState& state = State(layer);
    LayerState& next = prepared.state;
    next.window = std::move(state.window);
    next.rendered = state.rendered;
    next.set = true;
    state = std::move(next);
    if (layer == ForegroundLayer) {
        if (m_project)
            m_project->SetKeyColor(prepared.keyColor);
        m_foregroundKeyColor = prepared.keyColor;
        m_foregroundPath = prepared.path;
        m_foregroundFileSize = prepared.fileSize;
        m_foregroundFileTime = prepared.fileTime;
    }
}

MTerr RenderEngine::SetLayer(LayerID layer, const QString& path)
{
    // Everything is built aside and swapped in at the end with operations that cannot fail:
    // a half-replaced layer (new image, old render caches of another size) would let the next
    // stage write past the end of a smaller buffer.
    PreparedLayer prepared;
    if (const MTerr result = PrepareLayer(layer, path, prepared))
        return result;
    CommitLayer(layer, std::move(prepared));
    return MT_OK;
}

void RenderEngine::SetLayers(const std::array<QString, 3>& paths, std::array<MTerr, 3>& results,
    std::array<QString, 3>& reasons)
{
    std::array<PreparedLayer, 3> prepared;
    results.fill(MT_OK);
    reasons.fill(QString());
    // The decode limit is a process-wide setting the reader raises on first use: raised here,
    // the loading threads only read it.
    PhotoAllocationLimitBytes();
    const auto load = [&](LayerID layer) {
        const auto i = static_cast<std::size_t>(layer);
        results[i] = PrepareLayer(layer, paths[i], prepared[i]);
        if (results[i] != MT_OK)
            reasons[i] = LastPhotoFailure();
    };
    std::vector<std::thread> threads;
    for (const LayerID layer : kRenderLayers) {
        if (layer == ForegroundLayer || paths[static_cast<std::size_t>(layer)].isEmpty())
            continue;
        try {
            threads.emplace_back(load, layer);
        } catch (const std::system_error&) {
            load(layer); // no second thread to be had: one decode after the other
        }
    }
    if (!paths[ForegroundLayer].isEmpty())
        load(ForegroundLayer);
    for (std::thread& thread : threads)
        thread.join();
    for (const LayerID layer : kRenderLayers) {
        const auto i = static_cast<std::size_t>(layer);
        if (paths[i].isEmpty() || results[i] != MT_OK)
            continue;
        CommitLayer(layer, std::move(prepared[i]));
    }
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
    if (m_exportOnly)
        return MT_CACHE_NOT_CREATED;
    return Guarded(MT_CACHE_NOT_CREATED, [&] {
        CheckImplemented();
        // Built aside first, so that a failure leaves the engine as it was.
        Images windows[3];
        Images keyed[3];
        Images filtered[3];
        for (const LayerID layer : kRenderLayers) {
            const LayerState& state = State(layer);
            windows[layer] = CreateWindowCaches();
            if (state.set && HasStage(layer, Stage::Key))
                keyed[layer] = CreateRenderCaches(state.image);
            if (state.set && HasStage(layer, Stage::Filter))
                filtered[layer] = CreateRenderCaches(state.image);
        }
        for (const LayerID layer : kRenderLayers) {
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
