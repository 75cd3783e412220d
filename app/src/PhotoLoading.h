// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/PhotoReader.h>

#include <ovimageengine/OVImage.h>

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

namespace mtra::app {

/// Decodes a photo upright (its EXIF orientation applied) as `QImage::Format_ARGB32`; the
/// engine's form of the public `ReadPhoto`, which reports the same failures as codes.
///
/// Throws std::runtime_error when the file cannot be read or decoded, or when its header
/// declares more pixels than the decode limit allows (checked before any pixel is decoded or
/// allocated, so a decompression bomb costs nothing), and std::bad_alloc when the conversion
/// runs out of memory.
QImage ReadPhoto(const QString& path);

/// The full and quarter resolution images of one file, both in the requested channel order.
struct DecodedLayer {
    std::shared_ptr<orv::image::OVAbstractImage> full;
    std::shared_ptr<orv::image::OVAbstractImage> quarter;
};

/// Takes over `image` (any 32-bit format is converted to ARGB32 first) as an `OVImage8` that
/// owns the pixels without copying them. Throws std::bad_alloc when a conversion runs out of
/// memory. A null image gives an empty (0 × 0) image.
std::shared_ptr<orv::image::OVAbstractImage> AdoptImage(
    QImage image, orv::image::OVPixelChannelOrder order);

/// The quarter-resolution copy used by previews: width trunc(width × 0.25), height by aspect
/// ratio, nearest-pixel scaling. Images narrower than four pixels give an empty image.
QImage QuarterImage(const QImage& full);

/// Decodes `path` once and derives the quarter image from that decode, so that both caches of
/// a layer hold the same picture; without `withQuarter` (an engine that never previews) the
/// quarter stays null. Throws as `ReadPhoto`.
DecodedLayer LoadLayerImages(
    const QString& path, orv::image::OVPixelChannelOrder order, bool withQuarter = true);

} // namespace mtra::app
