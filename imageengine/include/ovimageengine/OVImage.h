// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVEnums.h>
#include <ovimageengine/OVImageEngineExport.h>

#include <memory>

namespace orv::image {

/// Read-only description of an engine image. The engine reads images only through these
/// queries and the buffer of `OVImage8`.
class OVIMAGEENGINE_EXPORT OVAbstractImage
{
public:
    virtual ~OVAbstractImage();
    virtual OVPixelChannelOrder PixelChannelOrder() const = 0;
    virtual OVBitsPerChannel BitsPerChannel() const = 0;
    /// Pixels per row.
    virtual unsigned int Width() const = 0;
    /// Rows.
    virtual unsigned int Height() const = 0;
    /// Channel values in the buffer: width × height × 4.
    virtual unsigned int BufferSize() const = 0;
    /// Bytes in the buffer: width × height × 4.
    virtual unsigned int BufferByteSize() const = 0;
};

/// 8-bit, four-channel, row-major image with no row padding: pixel (x, y) starts at byte
/// y × width × 4 + x × 4.
///
/// Ownership: either borrows a caller's buffer (the caller keeps it alive and frees it) or owns
/// one it allocated. Never copied: create once, pass by pointer or shared pointer.
/// Threads: no lock. During a facade's render many workers read and write disjoint ranges.
class OVIMAGEENGINE_EXPORT OVImage8 : public OVAbstractImage
{
public:
    /// Wraps buffer (at least width × height × 4 bytes) without owning it. Throws
    /// std::length_error when width × height × 4 does not fit the 32-bit size fields.
    OVImage8(
        unsigned char* buffer, unsigned int width, unsigned int height, OVPixelChannelOrder order);
    /// Allocates width × height × 4 bytes, zeroed when zeroFill is true (transparent black),
    /// else undefined. Zero width or height gives an empty image with a null buffer.
    /// Throws std::bad_alloc when the allocation fails or width × height × 4 does not fit the
    /// 32-bit size fields.
    OVImage8(unsigned int width, unsigned int height, OVPixelChannelOrder order, bool zeroFill);
    ~OVImage8() override;

    OVImage8(const OVImage8&) = delete;
    OVImage8& operator=(const OVImage8&) = delete;

    unsigned char* Buffer();
    const unsigned char* Buffer() const;
    /// Buffer + row × stride; the row is not checked.
    unsigned char* ScanLine(unsigned int row);
    const unsigned char* ScanLine(unsigned int row) const;

    OVPixelChannelOrder PixelChannelOrder() const override;
    OVBitsPerChannel BitsPerChannel() const override;
    unsigned int Width() const override;
    unsigned int Height() const override;
    unsigned int BufferSize() const override;
    unsigned int BufferByteSize() const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

/// A new borrowing `OVImage8` owned by the returned pointer.
OVIMAGEENGINE_EXPORT std::shared_ptr<OVAbstractImage> CreateImage(
    unsigned char* buffer, unsigned int width, unsigned int height, OVPixelChannelOrder order);

/// Copies width × height × 4 bytes. 1000 when the images differ in width, height, order or
/// depth; 10 when the source is not `Bits8`; nothing is copied in either case; else 0.
OVIMAGEENGINE_EXPORT int CopyPixels(
    std::shared_ptr<OVAbstractImage> source, std::shared_ptr<OVAbstractImage> destination);

/// 4 for every order.
OVIMAGEENGINE_EXPORT unsigned char NumberOfChannels(OVPixelChannelOrder order);

/// 1.0, 0.5, 0.33 for factors 0, 1, 2; 0.25 for 3 and any other value.
OVIMAGEENGINE_EXPORT double DownsampleValue(OVDownsampleFactor factor);

} // namespace orv::image
