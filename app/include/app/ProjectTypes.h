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
