// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// OVImageEngine: 8-bit four-channel images and three facades (keyer, processor, compositor)
/// that queue stages and run each on worker threads. Namespace orv::image; no Qt.
///
/// Common rules:
/// - Results: every facade operation and `CopyPixels` return an int (`ResultCode`), 0 on
///   success. Parameter checks return their code (usually 7) without touching the queue.
///   No exception leaves a facade: each is mapped by its exact dynamic type — std::bad_alloc 8,
///   std::runtime_error 2, std::logic_error 3, std::invalid_argument 4, std::out_of_range 7 —
///   and any other type (subclasses included) gives the operation's default, 2 (1001 inside a
///   worker thread).
/// - Ownership: facades keep plain pointers to the images and lookup tables they are given and
///   never free them; shared pointers passed in are not retained. The caller keeps everything
///   alive until the facade is destroyed.
/// - Threads: a facade is used from one thread. `Render` runs each stage's `Prepare` on the
///   calling thread, then W = `OVSystem::GetCPUCoreCount()` workers (at most 255), each writing
///   only its own range; every worker is joined before the next stage.
/// - Downsample factors: radii and blur sizes are given in full-size pixels; a facade multiplies
///   them by `DownsampleValue(factor)`.
/// - Pixels: every stage names bytes by their meaning in `PixelOrderBGRA` (B, G, R, A).

#include <ovimageengine/OVEnums.h>
#include <ovimageengine/OVImage.h>
#include <ovimageengine/OVImageCompositor.h>
#include <ovimageengine/OVImageKeyer.h>
#include <ovimageengine/OVImageProcessor.h>
#include <ovimageengine/OVImageSupport.h>
#include <ovimageengine/OVResultCode.h>
