// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "ScopedCoreCount.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImage.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace mtra::test {

/// Worker counts every stage must give identical bytes for.
inline const std::vector<int>& WorkerCountsToCheck()
{
    static const std::vector<int> counts { 1, 2, 3, 4, 7, 16 };
    return counts;
}

/// An owning BGRA image filled with the given pixels (B, G, R, A each), row by row.
inline std::shared_ptr<orv::image::OVImage8> MakeImage(
    unsigned width, unsigned height, std::initializer_list<std::uint8_t> bytes)
{
    auto image
        = std::make_shared<orv::image::OVImage8>(width, height, orv::image::PixelOrderBGRA, true);
    std::size_t i = 0;
    for (std::uint8_t b : bytes) {
        if (i >= image->BufferByteSize())
            break;
        image->Buffer()[i++] = b;
    }
    return image;
}

/// An owning image of the given size filled with one pixel value.
inline std::shared_ptr<orv::image::OVImage8> MakeFilledImage(
    unsigned width, unsigned height, std::uint8_t b, std::uint8_t g, std::uint8_t r, std::uint8_t a)
{
    auto image
        = std::make_shared<orv::image::OVImage8>(width, height, orv::image::PixelOrderBGRA, false);
    for (std::size_t i = 0; i + 3 < image->BufferByteSize(); i += 4) {
        image->Buffer()[i] = b;
        image->Buffer()[i + 1] = g;
        image->Buffer()[i + 2] = r;
        image->Buffer()[i + 3] = a;
    }
    return image;
}

/// A reproducible image of random bytes; with `screenShare` > 0 that share of the pixels is a
/// noisy green screen, so that keys have dominant pixels of many differences.
inline std::shared_ptr<orv::image::OVImage8> MakeRandomImage(
    unsigned width, unsigned height, unsigned seed, double screenShare = 0.5)
{
    auto image
        = std::make_shared<orv::image::OVImage8>(width, height, orv::image::PixelOrderBGRA, false);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    unsigned char* p = image->Buffer();
    for (std::size_t i = 0; i + 3 < image->BufferByteSize(); i += 4) {
        if (unit(random) < screenShare) {
            p[i] = static_cast<unsigned char>(byte(random) / 4);
            p[i + 1] = static_cast<unsigned char>(128 + byte(random) / 2);
            p[i + 2] = static_cast<unsigned char>(byte(random) / 3);
        } else {
            p[i] = static_cast<unsigned char>(byte(random));
            p[i + 1] = static_cast<unsigned char>(byte(random));
            p[i + 2] = static_cast<unsigned char>(byte(random));
        }
        p[i + 3] = static_cast<unsigned char>(unit(random) < 0.8 ? 255 : byte(random));
    }
    return image;
}

/// An owning image that reports a depth other than 8 bits: stages must leave it alone.
class OtherDepthImage : public orv::image::OVImage8
{
public:
    OtherDepthImage(unsigned width, unsigned height)
        : OVImage8(width, height, orv::image::PixelOrderBGRA, true)
    {
        for (std::size_t i = 0; i < BufferByteSize(); ++i)
            Buffer()[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    orv::image::OVBitsPerChannel BitsPerChannel() const override
    {
        return static_cast<orv::image::OVBitsPerChannel>(1);
    }
};

/// An owning ARGB image with the bytes of `source`.
inline std::shared_ptr<orv::image::OVImage8> AsArgb(const orv::image::OVImage8& source)
{
    auto image = std::make_shared<orv::image::OVImage8>(
        source.Width(), source.Height(), orv::image::PixelOrderARGB, false);
    for (std::size_t i = 0; i < source.BufferByteSize(); ++i)
        image->Buffer()[i] = source.Buffer()[i];
    return image;
}

inline std::vector<std::uint8_t> BytesOf(const orv::image::OVImage8& image)
{
    return std::vector<std::uint8_t>(image.Buffer(), image.Buffer() + image.BufferByteSize());
}

/// Runs a keyer or processor over source with the stages `add` appends, on `workers` workers,
/// into a zeroed destination; expects every call to succeed and returns the destination's bytes.
template <typename Facade, typename AddStages>
std::vector<std::uint8_t> RunFacade(const std::shared_ptr<orv::image::OVImage8>& source,
    const AddStages& add, orv::OVLookupTables& tables, int workers,
    orv::image::OVDownsampleFactor factor)
{
    ScopedCoreCount cores(workers);
    auto destination = std::make_shared<orv::image::OVImage8>(
        source->Width(), source->Height(), source->PixelChannelOrder(), true);
    Facade facade(source, destination, tables, factor);
    EXPECT_EQ(add(facade), 0);
    EXPECT_EQ(facade.Render(), 0);
    return BytesOf(*destination);
}

} // namespace mtra::test
