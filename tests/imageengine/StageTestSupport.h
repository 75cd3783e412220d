// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"
#include "WorkerThreads.h"

#include <ovimageengine/OVImage.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "EngineTestSupport.h"

namespace mtra::test {

/// Runs a stage the way the queue does, without a facade: `Prepare` (whose own passes use
/// `workers` threads), then `workers` worker threads. Returns the destination's bytes; the
/// destination starts as `fill` in every byte.
inline std::vector<std::uint8_t> RunStage(orv::image::AbstractRenderer& stage,
    orv::image::OVImage8& source, unsigned workers, std::uint8_t fill = 0)
{
    orv::image::OVImage8 destination(
        source.Width(), source.Height(), source.PixelChannelOrder(), true);
    for (std::size_t i = 0; i < destination.BufferByteSize(); ++i)
        destination.Buffer()[i] = fill;
    ScopedCoreCount cores(static_cast<int>(workers));
    stage.Prepare(&source);
    orv::image::RunWorkerThreads(workers, [&](unsigned i) {
        stage.Render(&source, &destination, static_cast<unsigned char>(i),
            static_cast<unsigned char>(workers));
        return 0;
    });
    return BytesOf(destination);
}

} // namespace mtra::test
