// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// App: the project model of MattoraBatch (namespace mtra::app). Built on OVImageEngine and
/// Qt Core, Gui and Xml; never Widgets.
///
/// Common rules:
/// - Results: every operation that can fail returns an `MTerr`, `MT_OK` (0) on success. No
///   exception leaves the library: inside the project-file code failures travel as
///   `XmlException`, and each object's `LoadFromXml`/`WriteToXml` returns its code.
/// - Values: setters store values unchanged, without clamping. Ranges are enforced where a
///   value is applied (the engine's setters) and by the program's controls. Enumerations read
///   from a project file are checked against their allowed values (4 otherwise).
/// - Ownership: items, images and settings are shared through std::shared_ptr; item lists, the
///   canvas and the export settings are held by value. A copied list is a deep copy whose items
///   keep their ids.
/// - Edits: the program changes the model through `ProjectDocument`, which marks the stages an
///   edit makes stale (`Stage`), sets the modified state and announces what changed.
/// - Threads: the model is used on the GUI thread only.
/// - Units: lengths and radii are in full-size pixels; fractions (transparency, crop, levels)
///   are 0 … 1.
/// - Front ends: the window and mattora-render share App's batch export (<app/BatchExport.h>),
///   photo reading (<app/PhotoReader.h>), import naming, safe writing and error texts; they
///   add only their own presentation.

#include <app/AbstractImageCache.h>
#include <app/AbstractProjectItem.h>
#include <app/AbstractRenderItem.h>
#include <app/BatchExport.h>
#include <app/Canvas.h>
#include <app/CompositeItems.h>
#include <app/ControlSteps.h>
#include <app/ErrorTexts.h>
#include <app/ExportFormats.h>
#include <app/ExportSettings.h>
#include <app/FilterItems.h>
#include <app/ForegroundImageList.h>
#include <app/ImageSettings.h>
#include <app/ImportNaming.h>
#include <app/ItemLists.h>
#include <app/ItemTypes.h>
#include <app/KeyItems.h>
#include <app/LayerImages.h>
#include <app/MTerr.h>
#include <app/PhotoReader.h>
#include <app/Project.h>
#include <app/ProjectDocument.h>
#include <app/ProjectTypes.h>
#include <app/RenderEngine.h>
#include <app/TransformItems.h>
#include <app/WholeFileWriter.h>
#include <app/XmlException.h>
#include <app/XmlValue.h>
