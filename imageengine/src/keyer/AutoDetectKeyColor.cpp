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
    const WorkRange range = ThreadPixelRange(PixelCount(data.image), data.threadIndex,
        data.threadCount);
    const unsigned char* in = data.image->Buffer() + range.begin * 4;
    std::int64_t green = 0;
    std::int64_t blue = 0;
    for (std::size_t i = 0; i < range.Size(); ++i, in += 4) {
        // Ties go to green: a white pixel counts as green.
        if (in[1] >= std::max(in[0], in[2]))
            ++green;
        else if (in[0] > std::max(in[1], in[2]))
            ++blue;
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
