// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "PhotoLoading.h"

#include <QImageReader>
#include <QSysInfo>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace mtra::app {

using orv::image::OVImage8;
using orv::image::OVPixelChannelOrder;

namespace {

// Keeps a QImage alive for the OVImage8 base that borrows its buffer: the member has to be
// constructed before the base, hence the holder base class listed first.
struct QImageHolder {
    explicit QImageHolder(QImage&& image)
        : held(std::move(image))
    {
    }
    QImage held;
};

class QImageBackedImage8 final : private QImageHolder, public OVImage8
{
public:
    QImageBackedImage8(QImage&& image, OVPixelChannelOrder order)
        : QImageHolder(std::move(image))
        , OVImage8(held.bits(), static_cast<unsigned int>(held.width()),
              static_cast<unsigned int>(held.height()), order)
    {
    }
};

void RaiseDecodeLimit()
{
    // The limit is process-wide; never lower one that the program (or a test) raised further.
    const int current = QImageReader::allocationLimit();
    if (current != 0 && current < kPhotoAllocationLimitMiB)
        QImageReader::setAllocationLimit(kPhotoAllocationLimitMiB);
}

// ARGB32 is stored as the bytes blue, green, red, alpha on little-endian machines; the other
// order the engine knows is the reverse of that within each pixel.
void ToEngineOrder(QImage& image, OVPixelChannelOrder order)
{
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    const bool wantReversed = (order == orv::image::PixelOrderARGB) == littleEndian;
    if (!wantReversed)
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto* pixel = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixel[x] = __builtin_bswap32(pixel[x]);
    }
}

} // namespace

std::int64_t PhotoAllocationLimitBytes()
{
    RaiseDecodeLimit();
    return static_cast<std::int64_t>(QImageReader::allocationLimit()) * 1024 * 1024;
}

QImage ReadPhoto(const QString& path)
{
    const std::int64_t limit = PhotoAllocationLimitBytes();
    QImageReader reader(path);
    reader.setAutoTransform(true);

    // The header alone tells the size; refuse here so that a small file declaring a huge
    // picture never reaches the decoder. Formats that cannot tell their size in advance are
    // still bounded by Qt's own check of the same limit.
    const QSize declared = reader.size();
    if (declared.isValid()) {
        const std::int64_t bytes = std::int64_t(declared.width()) * declared.height() * 4;
        // Without a limit the engine's 32-bit buffer sizes still bound an image.
        const std::int64_t cap = limit > 0 ? limit : std::numeric_limits<unsigned int>::max();
        if (bytes > cap)
            throw std::runtime_error("Image too large");
    }

    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw std::runtime_error("Cannot load image");
    image.convertTo(QImage::Format_ARGB32);
    if (image.isNull())
        throw std::bad_alloc();
    return image;
}

std::shared_ptr<orv::image::OVAbstractImage> AdoptImage(QImage image, OVPixelChannelOrder order)
{
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return std::make_shared<OVImage8>(0u, 0u, order, false);
    if (image.format() != QImage::Format_ARGB32) {
        image.convertTo(QImage::Format_ARGB32);
        if (image.isNull())
            throw std::bad_alloc();
    }
    // bits() detaches a shared image: a copy of a caller's image would be made here, and the
    // engine image must own unshared pixels that nothing else can change.
    if (image.bits() == nullptr)
        throw std::bad_alloc();
    ToEngineOrder(image, order);
    return std::make_shared<QImageBackedImage8>(std::move(image), order);
}

QImage QuarterImage(const QImage& full)
{
    const double factor = orv::image::DownsampleValue(orv::image::DownsampleQuarter);
    const int width = static_cast<int>(std::trunc(full.width() * factor));
    if (width <= 0)
        return QImage();
    QImage quarter = full.scaledToWidth(width, Qt::FastTransformation);
    if (quarter.isNull())
        throw std::bad_alloc();
    return quarter;
}

DecodedLayer LoadLayerImages(const QString& path, OVPixelChannelOrder order)
{
    QImage full = ReadPhoto(path);
    DecodedLayer images;
    images.quarter = AdoptImage(QuarterImage(full), order);
    images.full = AdoptImage(std::move(full), order);
    return images;
}

} // namespace mtra::app
