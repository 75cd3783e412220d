// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ItemLists.h>
#include <app/MTerr.h>
#include <app/RenderEngine.h>

#include <ovimageengine/OVImage.h>
#include <ovimageengine/OVResultCode.h>

#include <memory>

// What the render engine's state (RenderEngine.cpp) and its rendering (RenderEngineRender.cpp)
// share.

namespace mtra::app {

constexpr LayerID kRenderLayers[] = { BackgroundLayer, ForegroundLayer, OverlayLayer };

inline bool IsStageFailure(MTerr result)
{
    return result == MT_STAGE_RENDER_FAILED || result == MT_RENDER_OUT_OF_MEMORY;
}

/// A stage with nothing to apply passes its input on unchanged: copied into the stage's cache.
inline MTerr CopyWhenNothingToDo(MTerr result, MTerr nothing,
    const std::shared_ptr<orv::image::OVAbstractImage>& from,
    const std::shared_ptr<orv::image::OVAbstractImage>& to)
{
    if (result != nothing)
        return result;
    return orv::image::CopyPixels(from, to) == orv::image::ResultSuccess ? MT_OK
                                                                         : MT_STAGE_RENDER_FAILED;
}

/// The same for images that live only during one export: the input itself is the result, so a
/// camera-size copy is saved. The untouched output is released.
inline MTerr PassOnWhenNothingToDo(MTerr result, MTerr nothing,
    const std::shared_ptr<orv::image::OVAbstractImage>& from,
    std::shared_ptr<orv::image::OVAbstractImage>& to)
{
    if (result != nothing)
        return result;
    to = from;
    return MT_OK;
}

/// The item lists of one layer in the settings of one foreground image; lists a layer does not
/// have are empty. `hold` keeps the settings alive while the lists are used.
struct RenderEngine::LayerLists {
    static const KeyList& NoKeys()
    {
        static const KeyList none;
        return none;
    }
    static const FilterList& NoFilters()
    {
        static const FilterList none;
        return none;
    }
    static const TransformList& NoTransforms()
    {
        static const TransformList none;
        return none;
    }

    std::shared_ptr<const void> hold;
    const KeyList* keys = &NoKeys();
    const FilterList* filters = &NoFilters();
    const TransformList* transforms = &NoTransforms();
    const CompositeList* composites = nullptr;
};

} // namespace mtra::app
