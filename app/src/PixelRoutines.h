// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImage.h>

#include <QRect>

#include <exception>
#include <memory>

namespace mtra::app {

/// True when the processor reports SSE2 (CPUID leaf 1, EDX bit 26) and this build can use it.
bool CpuHasSse2();

/// Writes every pixel as the bytes blue, green, red, alpha. 10 (unsupported) unless the image
/// is an 8-bit `OVImage8` in blue-green-red-alpha order; else 0. `useSse2` picks the vector
/// loop; both loops give the same bytes.
int FillImage(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha,
    orv::image::OVAbstractImage* image, bool useSse2);
/// As above, with the vector loop when the processor has SSE2.
int FillImage(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha,
    orv::image::OVAbstractImage* image);

/// The type code of a caught exception by its exact dynamic type, as the image engine maps
/// them: bad_alloc 8, runtime_error 2, logic_error 3, invalid_argument 4, out_of_range 7, any
/// other type (subclasses included) 2.
int ClassifyException(const std::exception& e);

/// A new owning, zero-filled 8-bit image. Images of several megabytes get fresh pages from the
/// system, already zero and offered as transparent huge pages: the first touch of a
/// camera-size buffer in 4 KiB pages costs more page faults than the stage that fills it.
/// Throws std::bad_alloc when memory runs out or the size does not fit the engine's 32-bit
/// byte count.
std::shared_ptr<orv::image::OVAbstractImage> NewImage(
    unsigned int width, unsigned int height, orv::image::OVPixelChannelOrder order);

/// A zero-filled window-sized image: ceil(v × (right − left + 1)) by ceil(v × (bottom − top
/// + 1)) pixels for v = `DownsampleValue(factor)`. Throws std::runtime_error "Invalid screen
/// dimensions" when right < left or bottom < top, std::bad_alloc when memory runs out.
std::shared_ptr<orv::image::OVAbstractImage> CreateWindowImage(const QRect& window,
    orv::image::OVDownsampleFactor factor, orv::image::OVPixelChannelOrder order);

} // namespace mtra::app
