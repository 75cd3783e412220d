// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "ImageAccess.h"
#include "WorkSplit.h"
#include "WorkerThreads.h"

#include <ovimageengine/OVImageKeyer.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace orv::image {

namespace {

struct DetectThreadData {
    unsigned threadIndex;
    unsigned threadCount;
    const OVImage8* image;
    std::int64_t green;
    std::int64_t blue;
    std::int64_t other;
};

void DetectWorker(DetectThreadData& data)
{
    const WorkRange range
        = ThreadPixelRange(PixelCount(data.image), data.threadIndex, data.threadCount);
    const unsigned char* in = data.image->Buffer() + range.begin * 4;
    std::int64_t green = 0;
    std::int64_t blue = 0;
    // 32-bit counters per block keep the loop branch-free and vectorisable.
    constexpr std::size_t kBlock = 65536;
    for (std::size_t start = 0; start < range.Size(); start += kBlock) {
        const std::size_t end = std::min(range.Size(), start + kBlock);
        std::uint32_t blockGreen = 0;
        std::uint32_t blockBlue = 0;
        for (std::size_t i = start; i < end; ++i) {
            const unsigned char* p = in + i * 4;
            // Ties go to green: a white pixel counts as green.
            const bool isGreen = p[1] >= std::max(p[0], p[2]);
            const bool isBlue = p[0] > std::max(p[1], p[2]);
            blockGreen += isGreen;
            blockBlue += !isGreen & isBlue;
        }
        green += blockGreen;
        blue += blockBlue;
    }
    data.green = green;
    data.blue = blue;
    data.other = std::int64_t(range.Size()) - green - blue;
}

} // namespace

void AutoDetectKeyColor(OVImage8* image, int threadCount, OVKeyColor* keyColor)
{
    if (threadCount <= 0 || !image) {
        if (keyColor)
            *keyColor = KeyColorGreen;
        return;
    }
    const unsigned workers = std::min<unsigned>(static_cast<unsigned>(threadCount), kMaxWorkers);
    std::vector<DetectThreadData> records(workers);
    for (unsigned i = 0; i < workers; ++i)
        records[i] = DetectThreadData { i, workers, image, 0, 0, 0 };
    RunWorkerThreads(workers, [&records](unsigned i) {
        DetectWorker(records[i]);
        return 0;
    });

    std::int64_t green = 0;
    std::int64_t blue = 0;
    for (const DetectThreadData& record : records) {
        green += record.green;
        blue += record.blue;
    }
    if (keyColor)
        *keyColor = green < blue ? KeyColorBlue : KeyColorGreen;
}

} // namespace orv::image
