// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVEnums.h>
#include <ovimageengine/OVImage.h>
#include <ovimageengine/OVImageEngineExport.h>

#include <exception>
#include <memory>

/// Helpers for code that holds engine images (the render engine above it): new images, filling
/// and the mapping of exceptions to result codes, shared with the engine's own stages so that
/// each exists once. Any thread; each call touches only the image it is given.

namespace orv::image {

/// The result code of a caught exception by its exact dynamic type: std::bad_alloc 8,
/// std::runtime_error 2, std::logic_error 3, std::invalid_argument 4, std::out_of_range 7;
/// any other type (subclasses such as std::length_error included, non-standard exceptions, a
/// null pointer) gives `defaultCode`. The one mapping every facade and worker uses.
OVIMAGEENGINE_EXPORT int CodeForException(const std::exception_ptr& error, int defaultCode);

/// A new owning, zero-filled (transparent black) 8-bit image. Images of several megabytes get
/// fresh pages from the system, already zero and offered as transparent huge pages: the first
/// touch of a camera-size buffer in 4 KiB pages costs more page faults than the stage that
/// fills it. Throws std::bad_alloc when memory runs out or width × height × 4 does not fit the
/// 32-bit size fields. Zero width or height gives an empty image.
OVIMAGEENGINE_EXPORT std::shared_ptr<OVAbstractImage> NewZeroedImage(
    unsigned int width, unsigned int height, OVPixelChannelOrder order);

/// The number of workers a render started on the calling thread runs on: the calling thread's
/// own limit while a `WorkerLimit` lives on it, else `OVSystem::GetCPUCoreCount()`; clamped to
/// 1 … 255. No result depends on it, only the time a render takes.
OVIMAGEENGINE_EXPORT unsigned RenderWorkerCount();

/// While it lives, renders started on the thread that made it run on `workers` workers (0: as
/// without a limit), so that several pictures in flight at once share the cores instead of
/// each taking all of them. The previous limit of the thread comes back when it goes.
class OVIMAGEENGINE_EXPORT WorkerLimit
{
public:
    explicit WorkerLimit(unsigned workers);
    ~WorkerLimit();
    WorkerLimit(const WorkerLimit&) = delete;
    WorkerLimit& operator=(const WorkerLimit&) = delete;

private:
    unsigned m_previous;
};

/// Writes every pixel as the bytes blue, green, red, alpha, with 16-byte stores when the
/// processor has SSE2. 10 (`ResultUnsupported`) and nothing written unless `image` is an 8-bit
/// `OVImage8` in `PixelOrderBGRA`; else 0.
OVIMAGEENGINE_EXPORT int FillImage(unsigned char red, unsigned char green, unsigned char blue,
    unsigned char alpha, OVAbstractImage* image);

} // namespace orv::image
