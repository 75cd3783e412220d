// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

namespace mtra::app {

/// The sections of the program's toolset; the open one is stored in project files.
enum ToolsetSections : int {
    SectionCanvasSize = 0,
    SectionImport = 1,
    SectionKey = 2,
    SectionFilters = 3,
    SectionPosition = 4,
    SectionCombine = 5,
    SectionOverlay = 6,
    SectionExport = 7,
};

/// The three layers of a composite; the selected one is stored in project files.
enum LayerID : int {
    BackgroundLayer = 0,
    ForegroundLayer = 1,
    OverlayLayer = 2,
};

/// The stages a layer goes through when it is rendered, in order. Each stage's number is its
/// level in the render engine: running a stage runs every later one too. The background has
/// the filter and transform stages, the foreground all three, the overlay the transform only.
enum class Stage : int {
    Key = 1, ///< the keyed foreground (key items through the image keyer)
    Filter = 2, ///< the filtered layer (filter items through the image processor)
    Transform = 3, ///< the layer placed, scaled and rotated into its window cache
};

/// Side of the main window the toolset is docked to; stored in project files.
enum ToolsetPositionID : int {
    ToolsetLeft = 0,
    ToolsetRight = 1,
};

/// Whether the toolset shows its labels; stored in project files.
enum ToolsetStateID : int {
    ToolsetExpanded = 0,
    ToolsetCollapsed = 1,
};

} // namespace mtra::app
