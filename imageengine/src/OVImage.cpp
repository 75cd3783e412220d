// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImage.h>
#include <ovimageengine/OVResultCode.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace orv::image {

namespace {

// width × height × 4 in 64 bits; fits the 32-bit size fields or the image is refused, so no
// image ever reports a size larger than its buffer.
bool ByteSizeFits(unsigned int width, unsigned int height, std::uint32_t* byteSize)
{
    const std::uint64_t size = std::uint64_t(width) * height * 4u;
    if (size > std::numeric_limits<std::uint32_t>::max())
        return false;
    *byteSize = static_cast<std::uint32_t>(size);
    return true;
}

} // namespace

struct OVImage8::Private {
    bool ownsBuffer = false;
    unsigned char* buffer = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    OVBitsPerChannel bitsPerChannel = Bits8;
    OVPixelChannelOrder order = PixelOrderBGRA;
    std::uint32_t stride = 0;
    std::uint32_t bufferSize = 0;
    std::uint32_t bufferByteSize = 0;
};

OVAbstractImage::~OVAbstractImage() = default;

OVImage8::OVImage8(
    unsigned char* buffer, unsigned int width, unsigned int height, OVPixelChannelOrder order)
    : d(std::make_unique<Private>())
{
    std::uint32_t byteSize = 0;
    if (!ByteSizeFits(width, height, &byteSize))
        throw std::length_error("Image too large");
    d->buffer = buffer;
    d->width = width;
    d->height = height;
    d->order = order;
    d->stride = width * 4u;
    d->bufferSize = byteSize;
    d->bufferByteSize = byteSize;
}

OVImage8::OVImage8(
    unsigned int width, unsigned int height, OVPixelChannelOrder order, bool zeroFill)
    : d(std::make_unique<Private>())
{
    std::uint32_t byteSize = 0;
    if (!ByteSizeFits(width, height, &byteSize))
        throw std::bad_alloc();
    if (byteSize > 0) {
        d->buffer = static_cast<unsigned char*>(
            zeroFill ? std::calloc(byteSize, 1) : std::malloc(byteSize));
        if (!d->buffer)
            throw std::bad_alloc();
    }
    d->ownsBuffer = true;
    d->width = width;
    d->height = height;
    d->order = order;
    d->stride = width * 4u;
    d->bufferSize = byteSize;
    d->bufferByteSize = byteSize;
}

OVImage8::~OVImage8()
{
    if (d->ownsBuffer)
        std::free(d->buffer);
}

unsigned char* OVImage8::Buffer()
{
    return d->buffer;
}

const unsigned char* OVImage8::Buffer() const
{
    return d->buffer;
}

unsigned char* OVImage8::ScanLine(unsigned int row)
{
    return d->buffer + std::size_t(row) * d->stride;
}

const unsigned char* OVImage8::ScanLine(unsigned int row) const
{
    return d->buffer + std::size_t(row) * d->stride;
}

OVPixelChannelOrder OVImage8::PixelChannelOrder() const
{
    return d->order;
}

OVBitsPerChannel OVImage8::BitsPerChannel() const
{
    return d->bitsPerChannel;
}

unsigned int OVImage8::Width() const
{
    return d->width;
}

unsigned int OVImage8::Height() const
{
    return d->height;
}

unsigned int OVImage8::BufferSize() const
{
    return d->bufferSize;
}

unsigned int OVImage8::BufferByteSize() const
{
    return d->bufferByteSize;
}

std::shared_ptr<OVAbstractImage> CreateImage(
    unsigned char* buffer, unsigned int width, unsigned int height, OVPixelChannelOrder order)
{
    return std::make_shared<OVImage8>(buffer, width, height, order);
}

int CopyPixels(
    std::shared_ptr<OVAbstractImage> source, std::shared_ptr<OVAbstractImage> destination)
{
    if (!source || !destination)
        return ResultInvalidArgument;
    if (source->Width() != destination->Width() || source->Height() != destination->Height()
        || source->PixelChannelOrder() != destination->PixelChannelOrder()
        || source->BitsPerChannel() != destination->BitsPerChannel())
        return ResultImageMismatch;
    if (source->BitsPerChannel() != Bits8)
        return ResultUnsupported;
    const std::size_t bytes = std::size_t(source->Width()) * source->Height() * 4u;
    if (bytes > 0) {
        std::memmove(static_cast<OVImage8*>(destination.get())->Buffer(),
            static_cast<OVImage8*>(source.get())->Buffer(), bytes);
    }
    return ResultSuccess;
}

unsigned char NumberOfChannels(OVPixelChannelOrder)
{
    return 4;
}

double DownsampleValue(OVDownsampleFactor factor)
{
    switch (factor) {
    case DownsampleFull:
        return 1.0;
    case DownsampleHalf:
        return 0.5;
    case DownsampleThird:
        return 0.33;
    default:
        return 0.25;
    }
}

} // namespace orv::image
