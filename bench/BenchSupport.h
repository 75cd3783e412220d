// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImage.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

/// Times one keyer or processor per iteration over the generated 24 MP photo, with the stages
/// that `add` appends; the benchmark's argument is the worker count.
template <typename Facade>
void RunFacadeOnPhoto(benchmark::State& state, const std::function<int(Facade&)>& add)
{
    UseWorkers(state);
    static const auto photo = MakeGreenScreenPhoto();
    static const auto destination = std::make_shared<orv::image::OVImage8>(
        photo->Width(), photo->Height(), orv::image::PixelOrderBGRA, false);
    orv::OVLookupTables tables(true);
    for (auto _ : state) {
        Facade facade(photo, destination, tables, orv::image::DownsampleFull);
        if (add(facade) != 0 || facade.Render() != 0)
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(destination->Buffer());
    }
    ReportMegapixels(state, photo->Width(), photo->Height());
}

} // namespace mtra::bench
