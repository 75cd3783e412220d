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
        return e.ValidLevel(ForegroundLayer, level, f);
    }
    int BackgroundLevel(int level, orv::image::OVDownsampleFactor f)
    {
        return e.ValidLevel(BackgroundLayer, level, f);
    }
    int OverlayLevel(int level, orv::image::OVDownsampleFactor f)
    {
        return e.ValidLevel(OverlayLayer, level, f);
    }
    bool ForegroundValid(orv::image::OVDownsampleFactor f, int& level)
    {
        return e.IsLayerValid(ForegroundLayer, f, level);
    }
    bool BackgroundValid(orv::image::OVDownsampleFactor f, int& level)
    {
        return e.IsLayerValid(BackgroundLayer, f, level);
    }
    bool OverlayValid(orv::image::OVDownsampleFactor f, int& level)
    {
        return e.IsLayerValid(OverlayLayer, f, level);
    }
    /// The validity flag of one stage of one layer at one factor.
    bool IsStageValid(LayerID layer, Stage stage, orv::image::OVDownsampleFactor f)
    {
        return RenderEngine::Flag(e.State(layer).Valid(stage), f);
    }

    // What a successful render of every stage of every layer at both factors leaves behind.
    void MarkAllValid()
    {
        for (const LayerID layer : { BackgroundLayer, ForegroundLayer, OverlayLayer })
            for (const Stage stage : { Stage::Key, Stage::Filter, Stage::Transform })
                if (RenderEngine::HasStage(layer, stage))
                    e.State(layer).Valid(stage).full = e.State(layer).Valid(stage).quarter = true;
    }

    RenderEngine::Images& BackgroundImage() { return e.State(BackgroundLayer).image; }
    RenderEngine::Images& BackgroundFilter() { return e.State(BackgroundLayer).filtered; }
    RenderEngine::Images& ForegroundImage() { return e.State(ForegroundLayer).image; }
    RenderEngine::Images& ForegroundKey() { return e.State(ForegroundLayer).keyed; }
    RenderEngine::Images& BackgroundWindow() { return e.State(BackgroundLayer).window; }
    RenderEngine::Images& ForegroundWindow() { return e.State(ForegroundLayer).window; }
    RenderEngine::Images& Canvas() { return e.m_canvasCache; }

private:
    RenderEngine& e;
};

} // namespace mtra::app
