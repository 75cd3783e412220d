// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/RenderEngine.h>

namespace mtra::app {

/// White-box access to the render engine's caches, flags and level rules, for tests: the
/// engine's one friend.
class RenderEngineAccess
{
public:
    explicit RenderEngineAccess(RenderEngine& engine)
        : e(engine)
    {
    }

    int ForegroundLevel(int level, orv::image::OVDownsampleFactor f)
    {
        return e.ValidForegroundLevel(level, f);
    }
    int BackgroundLevel(int level, orv::image::OVDownsampleFactor f)
    {
        return e.ValidBackgroundLevel(level, f);
    }
    int OverlayLevel(int level, orv::image::OVDownsampleFactor f)
    {
        return e.ValidOverlayLevel(level, f);
    }
    bool ForegroundValid(orv::image::OVDownsampleFactor f, int& level)
    {
        return e.IsForegroundLayerValid(f, level);
    }
    bool BackgroundValid(orv::image::OVDownsampleFactor f, int& level)
    {
        return e.IsBackgroundLayerValid(f, level);
    }
    bool OverlayValid(orv::image::OVDownsampleFactor f, int& level)
    {
        return e.IsOverlayLayerValid(f, level);
    }

    // What a successful render of every stage of every layer at both factors leaves behind.
    void MarkAllValid()
    {
        for (RenderEngine::Flags* flags : { &e.m_foregroundKeyValid, &e.m_foregroundFilterValid,
                 &e.m_foregroundTransformValid, &e.m_backgroundFilterValid,
                 &e.m_backgroundTransformValid, &e.m_overlayTransformValid })
            flags->full = flags->quarter = true;
    }

    RenderEngine::Images& BackgroundImage() { return e.m_backgroundImageCache; }
    RenderEngine::Images& BackgroundFilter() { return e.m_backgroundFilterCache; }
    RenderEngine::Images& ForegroundImage() { return e.m_foregroundImageCache; }
    RenderEngine::Images& ForegroundKey() { return e.m_foregroundKeyCache; }
    RenderEngine::Images& BackgroundWindow() { return e.m_backgroundWindowCache; }
    RenderEngine::Images& ForegroundWindow() { return e.m_foregroundWindowCache; }
    RenderEngine::Images& Canvas() { return e.m_canvasCache; }

private:
    RenderEngine& e;
};

} // namespace mtra::app
