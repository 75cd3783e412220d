// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "WindowImage.h"

#include <ovimageengine/OVImageSupport.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

namespace mtra::app {

std::shared_ptr<orv::image::OVAbstractImage> CreateWindowImage(const QRect& window,
    orv::image::OVDownsampleFactor factor, orv::image::OVPixelChannelOrder order)
{
    if (window.right() < window.left() || window.bottom() < window.top())
        throw std::runtime_error("Invalid screen dimensions");
    const double scale = orv::image::DownsampleValue(factor);
    // 64-bit spans: right − left + 1 of an extreme rectangle does not fit an int.
    const double width = std::ceil(scale * (std::int64_t(window.right()) - window.left() + 1));
    const double height = std::ceil(scale * (std::int64_t(window.bottom()) - window.top() + 1));
    const double largest = std::numeric_limits<unsigned int>::max();
    if (width > largest || height > largest)
        throw std::bad_alloc();
    return orv::image::NewZeroedImage(
        static_cast<unsigned int>(width), static_cast<unsigned int>(height), order);
}

} // namespace mtra::app
