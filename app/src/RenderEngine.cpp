// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/RenderEngine.h>

#include <app/Project.h>

#include <ovcommon/OVLookupTables.h>
#include <ovcommon/OVSystem.h>
#include <ovimageengine/OVImageKeyer.h>
#include <ovimageengine/OVResultCode.h>

#include "PhotoLoading.h"
#include "PixelRoutines.h"

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
    return std::make_shared<orv::image::OVImage8>(like->Width(), like->Height(), m_order, true);
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
