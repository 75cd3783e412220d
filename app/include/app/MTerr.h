// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

namespace mtra::app {

/// Result of every model and render-engine operation that can fail; `MT_OK` (0) is success.
/// The numbers are part of the library's interface (the program reacts to 39, for example), so
/// every value is fixed and the gaps are deliberate.
enum MTerr : int {
    MT_OK = 0,
    MT_FILE_OPEN_FAILED = 1, ///< a project file cannot be opened for reading
    MT_XML_PARSE_FAILED = 3, ///< the file is not well-formed XML
    /// A required element or attribute is missing, a value cannot be converted (this includes
    /// "nan" and "inf"), a value is outside its enumeration, or a contained object failed to load.
    MT_XML_INVALID = 4,
    MT_OUT_OF_MEMORY = 6, ///< memory ran out while objects were built during loading
    MT_DEFAULT_PROJECT_FAILED = 7, ///< the built-in default project failed to load
    /// The project file cannot be opened for writing, or a value cannot be converted to text.
    MT_XML_WRITE_FAILED = 8,
    MT_ITEM_NOT_FOUND = 9, ///< no item with the given id is in the list
    MT_IMAGE_ALREADY_LISTED = 13, ///< a foreground image with that path is already in the batch
    MT_IMAGE_NOT_LISTED = 14, ///< no foreground image with that path is in the batch

    // Render engine. 15, 16, 22 and 38 are stage results that never leave the engine.
    MT_NOTHING_TO_FILTER = 15, ///< the filter level has nothing to apply
    MT_NOTHING_TO_KEY = 16, ///< the key level has nothing to apply
    MT_NO_SOURCE_IMAGE = 22, ///< a stage's source image is missing or has no pixels
    /// A key or filter stage failed inside the image engine (any failure but out of memory).
    MT_STAGE_RENDER_FAILED = 26,
    /// The canvas cannot be composed: a set layer has not been rendered, or compositing failed.
    MT_CANVAS_NOT_COMPOSED = 29,
    MT_INVALID_LAYER = 31, ///< layer value outside `LayerID`
    MT_INVALID_LEVEL = 32, ///< level not valid for the layer
    MT_LAYER_NOT_SET = 33, ///< the layer to render has no image
    /// A cache was not created: unloadable image, invalid screen rectangle, unsupported depth.
    MT_CACHE_NOT_CREATED = 34,
    MT_EXPORT_FOREGROUND_FAILED = 35, ///< export: the foreground image file did not load
    MT_EXPORT_BACKGROUND_FAILED = 36, ///< export: preparing the background failed
    MT_UNSUPPORTED_BIT_DEPTH = 38, ///< a stage's source image is not 8-bit
    MT_RENDER_OUT_OF_MEMORY = 39, ///< out of memory while rendering
};

} // namespace mtra::app
