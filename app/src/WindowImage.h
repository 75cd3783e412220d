// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImage.h>

#include <QRect>

#include <memory>

namespace mtra::app {

/// A zero-filled window-sized image: ceil(v × (right − left + 1)) by ceil(v × (bottom − top
/// + 1)) pixels for v = `DownsampleValue(factor)`. Throws std::runtime_error "Invalid screen
/// dimensions" when right < left or bottom < top, std::bad_alloc when memory runs out.
std::shared_ptr<orv::image::OVAbstractImage> CreateWindowImage(const QRect& window,
    orv::image::OVDownsampleFactor factor, orv::image::OVPixelChannelOrder order);

} // namespace mtra::app
