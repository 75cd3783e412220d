// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageSupport.h>

#include <ovimageengine/OVResultCode.h>

#include "ImageFill.h"
#include "LargeBuffer.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv::image {

namespace {

#if defined(__linux__)
// A mapping of fresh zero pages, trimmed so that its start lies on a huge-page boundary; the
// image borrows it and the holder unmaps it. The holder base is built before the image.
struct MappedPixels {
    explicit MappedPixels(std::size_t bytes)
        : size(bytes)
    {
        const std::size_t mapped = bytes + kHugePage;
        void* raw
            = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED)
            throw std::bad_alloc();
        auto* start = static_cast<unsigned char*>(raw);
        const std::size_t lead
            = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
        if (lead != 0)
            munmap(start, lead);
        const std::size_t tail = mapped - lead - bytes;
        if (tail != 0)
            munmap(start + lead + bytes, tail);
        pixels = start + lead;
#if defined(MADV_HUGEPAGE)
        // Only advice: without huge pages the image works the same, a little slower.
        madvise(pixels, bytes, MADV_HUGEPAGE);
#endif
    }
    ~MappedPixels()
    {
        munmap(pixels, size);
    }
    MappedPixels(const MappedPixels&) = delete;
    MappedPixels& operator=(const MappedPixels&) = delete;

    unsigned char* pixels = nullptr;
    std::size_t size = 0;
};

class MappedImage8 final : private MappedPixels, public OVImage8
{
public:
    MappedImage8(
        std::size_t bytes, unsigned int width, unsigned int height, OVPixelChannelOrder order)
        : MappedPixels(bytes)
        , OVImage8(pixels, width, height, order)
    {
    }
};
#endif

} // namespace

std::shared_ptr<OVAbstractImage> NewZeroedImage(
    unsigned int width, unsigned int height, OVPixelChannelOrder order)
{
    const std::uint64_t bytes = std::uint64_t(width) * height * 4u;
    if (bytes > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
#if defined(__linux__)
    if (bytes >= 2 * kHugePage)
        return std::make_shared<MappedImage8>(
            static_cast<std::size_t>(bytes), width, height, order);
#endif
    return std::make_shared<OVImage8>(width, height, order, true);
}

int FillImage(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha,
    OVAbstractImage* image, const CpuFeatures& features)
{
    auto* target = dynamic_cast<OVImage8*>(image);
    if (target == nullptr || target->BitsPerChannel() != Bits8
        || target->PixelChannelOrder() != PixelOrderBGRA)
        return ResultUnsupported;

    const unsigned char pixel[4] = { blue, green, red, alpha };
    unsigned char* out = target->Buffer();
    std::size_t remaining = target->BufferByteSize();
#if defined(__SSE2__)
    if (features.UsesSse2()) {
        // Single pixels until a whole number of 16-byte blocks is left, then four pixels a store.
        while (remaining % 16 != 0) {
            std::memcpy(out, pixel, 4);
            out += 4;
            remaining -= 4;
        }
        std::uint32_t word;
        std::memcpy(&word, pixel, 4);
        const __m128i block = _mm_set1_epi32(static_cast<int>(word));
        for (; remaining != 0; remaining -= 16, out += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
        return ResultSuccess;
    }
#else
    (void)features;
#endif
    for (; remaining != 0; remaining -= 4, out += 4)
        std::memcpy(out, pixel, 4);
    return ResultSuccess;
}

int FillImage(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha,
    OVAbstractImage* image)
{
    return FillImage(red, green, blue, alpha, image, CpuFeatures::Detected());
}

} // namespace orv::image
