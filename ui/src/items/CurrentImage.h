// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "Application.h"

#include <app/ForegroundImageList.h>
#include <app/ItemLists.h>
#include <app/LayerImages.h>
#include <app/Project.h>

#include <memory>

namespace mtra::ui {

// The settings the toolbox edits: those of the current foreground image, which are its own
// when it is unique and the batch's shared settings otherwise. GUI thread only.

/// The current foreground image (the batch's empty image while none is current).
inline std::shared_ptr<app::ForegroundImage> CurrentImage()
{
    const app::Project& project = *Application::Instance()->GetProject();
    return project.GetForegroundImageList().Get(project.CurrentForegroundPath());
}

/// The filter list applied to `layer` (foreground or background); null for the overlay.
inline app::FilterList* LayerFilters(app::LayerID layer)
{
    const auto image = CurrentImage();
    if (!image) {
        return nullptr;
    }
    if (layer == app::ForegroundLayer) {
        return &image->ForegroundSettings()->Filters();
    }
    if (layer == app::BackgroundLayer) {
        return &image->BackgroundSettings()->Filters();
    }
    return nullptr;
}

/// The transform list placing `layer`.
inline app::TransformList* LayerTransforms(app::LayerID layer)
{
    const auto image = CurrentImage();
    if (!image) {
        return nullptr;
    }
    switch (layer) {
    case app::BackgroundLayer:
        return &image->BackgroundSettings()->Transforms();
    case app::ForegroundLayer:
        return &image->ForegroundSettings()->Transforms();
    case app::OverlayLayer:
        return &image->OverlaySettings()->Transforms();
    }
    return nullptr;
}

/// The first item of class `T` in `list`, or null.
template <typename T, typename List> std::shared_ptr<T> FirstOf(const List& list)
{
    for (auto it = list.Begin(); it != list.End(); ++it) {
        if (auto item = std::dynamic_pointer_cast<T>(*it)) {
            return item;
        }
    }
    return nullptr;
}

} // namespace mtra::ui
