// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "PixelRoutines.h"

#include <app/AbstractImageCache.h>

#include <ovimageengine/OVResultCode.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <typeinfo>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mtra::app {

using orv::image::OVImage8;

namespace {

#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t(2) << 20;

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
    MappedImage8(std::size_t bytes, unsigned int width, unsigned int height,
        orv::image::OVPixelChannelOrder order)
        : MappedPixels(bytes)
        , OVImage8(pixels, width, height, order)
    {
    }
};
#endif

} // namespace

AbstractImageCache::AbstractImageCache() = default;
AbstractImageCache::AbstractImageCache(const AbstractImageCache&) = default;
AbstractImageCache& AbstractImageCache::operator=(const AbstractImageCache&) = default;
AbstractImageCache::~AbstractImageCache() = default;

bool CpuHasSse2()
{
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
    static const bool hasSse2 = [] {
        unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
        return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && ((edx >> 26) & 1u) != 0;
    }();
    return hasSse2;
#else
    return false;
#endif
}

int FillImage(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha,
    orv::image::OVAbstractImage* image, bool useSse2)
{
    auto* target = dynamic_cast<OVImage8*>(image);
    if (target == nullptr || target->BitsPerChannel() != orv::image::Bits8
        || target->PixelChannelOrder() != orv::image::PixelOrderBGRA)
        return orv::image::ResultUnsupported;

    const unsigned char pixel[4] = { blue, green, red, alpha };
    unsigned char* out = target->Buffer();
    std::size_t remaining = target->BufferByteSize();
#if defined(__SSE2__)
    if (useSse2) {
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
        return orv::image::ResultSuccess;
    }
#else
    (void)useSse2;
#endif
    for (; remaining != 0; remaining -= 4, out += 4)
        std::memcpy(out, pixel, 4);
    return orv::image::ResultSuccess;
}

int FillImage(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha,
    orv::image::OVAbstractImage* image)
{
    return FillImage(red, green, blue, alpha, image, CpuHasSse2());
}

int ClassifyException(const std::exception& e)
{
    // Exact types only, as in the image engine: std::length_error is a logic_error by
    // inheritance but maps to the default like every type not named here.
    const std::type_info& type = typeid(e);
    if (type == typeid(std::bad_alloc))
        return orv::image::ResultOutOfMemory;
    if (type == typeid(std::runtime_error))
        return orv::image::ResultRuntimeError;
    if (type == typeid(std::logic_error))
        return orv::image::ResultLogicError;
    if (type == typeid(std::invalid_argument))
        return orv::image::ResultInvalidArgument;
    if (type == typeid(std::out_of_range))
        return orv::image::ResultOutOfRange;
    return orv::image::ResultRuntimeError;
}

std::shared_ptr<orv::image::OVAbstractImage> NewImage(
    unsigned int width, unsigned int height, orv::image::OVPixelChannelOrder order)
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
    return NewImage(static_cast<unsigned int>(width), static_cast<unsigned int>(height), order);
}

} // namespace mtra::app
