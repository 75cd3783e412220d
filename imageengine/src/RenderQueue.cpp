// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "RenderQueue.h"

#include "ImageAccess.h"
#include "WorkerThreads.h"
#include "keyer/YUVBlurRenderer.h"

#include <algorithm>
#include <limits>

namespace orv::image {

namespace {

unsigned short ClampedCount(std::size_t size)
{
    return static_cast<unsigned short>(
        std::min<std::size_t>(size, std::numeric_limits<unsigned short>::max()));
}

} // namespace

RendererQueue::RendererQueue(OVAbstractImage* source, OVAbstractImage* destination,
    OVLookupTables& tables, OVDownsampleFactor factor)
    : m_source(source)
    , m_destination(destination)
    , m_tables(&tables)
    , m_factor(factor)
{
}

unsigned short RendererQueue::Count() const
{
    return ClampedCount(m_queue.size());
}

int RendererQueue::Clear()
{
    m_queue.clear();
    return 0;
}

int RendererQueue::SetYUVBlur(unsigned int radius, OVYUVBlurType type)
{
    const int scaled = ScaledRadius(radius, m_factor);
    return Append([&] { return std::make_shared<YUVBlurRenderer>(scaled, type); });
}

int RendererQueue::Render()
{
    return GuardedCall(ResultRuntimeError, [this] { return RunStages(); });
}

int RendererQueue::RunStages()
{
    if (m_queue.empty())
        return 0;
    if (!m_source || !m_destination)
        return ResultInvalidArgument;
    // Workers index the destination by the source's size: a smaller destination would be
    // written past its end.
    if (!SameLayout(m_source, m_destination))
        return ResultImageMismatch;
    // Every stage leaves images of another depth alone. A queue of several must too: its
    // intermediates are 8-bit, so the stages after the first would write zeros through.
    if (m_source->BitsPerChannel() != Bits8)
        return ResultSuccess;

    const unsigned workers = WorkerCount();
    const std::size_t stageCount = m_queue.size();
    std::vector<std::shared_ptr<OVImage8>> intermediates(stageCount);
    int result = 0;

    for (std::size_t d = 0; d < stageCount; ++d) {
        OVAbstractImage* input = d == 0 ? m_source : intermediates[d - 1].get();
        OVAbstractImage* output = m_destination;
        if (d + 1 < stageCount) {
            intermediates[d] = std::make_shared<OVImage8>(
                input->Width(), input->Height(), input->PixelChannelOrder(), true);
            output = intermediates[d].get();
        }

        const std::shared_ptr<AbstractRenderer>& stage = m_queue[d];
        stage->Prepare(input);

        std::vector<std::shared_ptr<RenderThreadData>> records;
        records.reserve(workers);
        for (unsigned i = 0; i < workers; ++i) {
            records.push_back(
                std::make_shared<RenderThreadData>(RenderThreadData { static_cast<unsigned char>(i),
                    static_cast<unsigned char>(workers), input, output, stage }));
        }
        const std::vector<int> results = RunWorkerThreads(workers, [&records](unsigned i) {
            const RenderThreadData& r = *records[i];
            return GuardedCall(ResultWorkerException, [&r] {
                r.renderer->Render(r.source, r.destination, r.threadIndex, r.threadCount);
                return 0;
            });
        });
        for (const int code : results) {
            if (code != 0)
                result = code;
        }
        records.clear();
        if (d > 0)
            intermediates[d - 1].reset();
    }
    return result;
}

CompositorQueue::CompositorQueue(
    OVAbstractImage* background, double opacity, OVLookupTables& tables, OVDownsampleFactor factor)
    : m_background(background)
    , m_opacity(opacity)
    , m_tables(&tables)
    , m_factor(factor)
{
}

unsigned short CompositorQueue::Count() const
{
    return ClampedCount(m_queue.size());
}

int CompositorQueue::Clear()
{
    m_queue.clear();
    return 0;
}

int CompositorQueue::Render()
{
    return GuardedCall(ResultRuntimeError, [this] { return RunStages(); });
}

int CompositorQueue::RunStages()
{
    if (m_queue.empty())
        return 0;
    if (!m_background)
        return ResultInvalidArgument;

    const unsigned workers = WorkerCount();
    int result = 0;
    for (const std::shared_ptr<AbstractCompositor>& stage : m_queue) {
        stage->Prepare(m_background);
        std::vector<std::shared_ptr<CompositeThreadData>> records;
        records.reserve(workers);
        for (unsigned i = 0; i < workers; ++i) {
            records.push_back(std::make_shared<CompositeThreadData>(
                CompositeThreadData { static_cast<unsigned char>(i),
                    static_cast<unsigned char>(workers), m_background, stage }));
        }
        const std::vector<int> results = RunWorkerThreads(workers, [&records](unsigned i) {
            const CompositeThreadData& r = *records[i];
            return GuardedCall(ResultWorkerException, [&r] {
                r.compositor->Render(r.background, r.threadIndex, r.threadCount);
                return 0;
            });
        });
        for (const int code : results) {
            if (code != 0)
                result = code;
        }
    }
    return result;
}

} // namespace orv::image
