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
#include "RenderEngineSupport.h"
#include "RenderGuard.h"
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
