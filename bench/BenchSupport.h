// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImage.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace mtra::bench {

/// Camera-size test frame: 6000 × 4000 (24 MP).
constexpr unsigned kPhotoWidth = 6000;
constexpr unsigned kPhotoHeight = 4000;

/// A generated green-screen photo: a noisy screen with a soft-edged, skin- and cloth-coloured
/// subject in the middle, so keys see dominant, grey and foreground pixels in camera-like
/// proportions. Deterministic.
inline std::shared_ptr<orv::image::OVImage8> MakeGreenScreenPhoto(
    unsigned width = kPhotoWidth, unsigned height = kPhotoHeight)
{
    auto image
        = std::make_shared<orv::image::OVImage8>(width, height, orv::image::PixelOrderBGRA, false);
    std::uint32_t state = 12345u;
    auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>(state >> 28); // 0 … 15
    };
    const double cx = width * 0.5;
    const double cy = height * 0.55;
    const double rx = width * 0.22;
    const double ry = height * 0.4;
    for (unsigned y = 0; y < height; ++y) {
        unsigned char* p = image->ScanLine(y);
        for (unsigned x = 0; x < width; ++x, p += 4) {
            const double dx = (x - cx) / rx;
            const double dy = (y - cy) / ry;
            const double r2 = dx * dx + dy * dy;
            if (r2 < 1.0) {
                const bool face = dy < -0.5;
                p[0] = static_cast<unsigned char>((face ? 120 : 60) + noise());
                p[1] = static_cast<unsigned char>((face ? 150 : 50) + noise());
                p[2] = static_cast<unsigned char>((face ? 210 : 140) + noise());
            } else {
                // Screen, a little darker towards the corners.
                const int fall = static_cast<int>(std::min(60.0, (r2 - 1.0) * 12.0));
                p[0] = static_cast<unsigned char>(40 + noise());
                p[1] = static_cast<unsigned char>(190 - fall + noise());
                p[2] = static_cast<unsigned char>(50 + noise());
            }
            p[3] = 255;
        }
    }
    return image;
}

/// An image of random bytes, alpha included: every colour equally likely, so that no branch of
/// a per-pixel rule is predictable and no table stays in the cache. Deterministic.
inline std::shared_ptr<orv::image::OVImage8> MakeRandomColours(
    unsigned width = kPhotoWidth, unsigned height = kPhotoHeight, std::uint64_t seed = 1)
{
    auto image
        = std::make_shared<orv::image::OVImage8>(width, height, orv::image::PixelOrderBGRA, false);
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    unsigned char* p = image->Buffer();
    const std::size_t bytes = image->BufferByteSize();
    for (std::size_t i = 0; i < bytes; i += 8) {
        // xorshift64*
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        const std::uint64_t word = state * 0x2545F4914F6CDD1Dull;
        std::memcpy(p + i, &word, std::min<std::size_t>(8, bytes - i));
    }
    return image;
}

/// Sets OV_CPU_CORE_COUNT to the benchmark's first argument for the run.
inline void UseWorkers(benchmark::State& state)
{
    setenv("OV_CPU_CORE_COUNT", std::to_string(state.range(0)).c_str(), 1);
}

/// Reports megapixels per second of the given frame size.
inline void ReportMegapixels(benchmark::State& state, unsigned width, unsigned height)
{
    state.counters["MP/s"] = benchmark::Counter(
        double(width) * height * 1e-6 * state.iterations(), benchmark::Counter::kIsRate);
}

/// Times one keyer or processor per iteration over `source`, with the stages that `add`
/// appends; the benchmark's argument is the worker count.
template <typename Facade>
void RunFacade(benchmark::State& state, const std::shared_ptr<orv::image::OVImage8>& source,
    const std::function<int(Facade&)>& add)
{
    UseWorkers(state);
    const auto destination = std::make_shared<orv::image::OVImage8>(
        source->Width(), source->Height(), orv::image::PixelOrderBGRA, false);
    orv::OVLookupTables tables(true);
    for (auto _ : state) {
        Facade facade(source, destination, tables, orv::image::DownsampleFull);
        if (add(facade) != 0 || facade.Render() != 0)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(destination->Buffer());
    }
    ReportMegapixels(state, source->Width(), source->Height());
}

/// `RunFacade` over the generated 24 MP photo.
template <typename Facade>
void RunFacadeOnPhoto(benchmark::State& state, const std::function<int(Facade&)>& add)
{
    static const auto photo = MakeGreenScreenPhoto();
    RunFacade<Facade>(state, photo, add);
}

/// `RunFacade` over 24 MP of random colours.
template <typename Facade>
void RunFacadeOnRandomColours(benchmark::State& state, const std::function<int(Facade&)>& add)
{
    static const auto colours = MakeRandomColours();
    RunFacade<Facade>(state, colours, add);
}

} // namespace mtra::bench
