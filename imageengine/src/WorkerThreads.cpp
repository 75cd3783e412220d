// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "WorkerThreads.h"

#include <ovcommon/OVSystem.h>

#include <pthread.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include <ovimageengine/OVImageSupport.h>

namespace orv::image {

namespace {

ThreadCreateFunction g_threadCreate = pthread_create;
thread_local unsigned t_workerLimit = 0; // 0: the machine's core count

struct ThreadStart {
    const std::function<int(unsigned)>* work = nullptr;
    unsigned index = 0;
    int result = 0;
};

void* ThreadMain(void* argument)
{
    auto* start = static_cast<ThreadStart*>(argument);
    start->result = (*start->work)(start->index);
    return nullptr;
}

} // namespace

ThreadCreateFunction SetThreadCreateFunctionForTesting(ThreadCreateFunction function)
{
    const ThreadCreateFunction previous = g_threadCreate;
    g_threadCreate = function ? function : pthread_create;
    return previous;
}

unsigned WorkerCount()
{
    if (t_workerLimit != 0)
        return std::min(t_workerLimit, kMaxWorkers);
    const int cores = OVSystem::GetCPUCoreCount();
    return static_cast<unsigned>(std::clamp(cores, 1, static_cast<int>(kMaxWorkers)));
}

unsigned RenderWorkerCount()
{
    return WorkerCount();
}

WorkerLimit::WorkerLimit(unsigned workers)
    : m_previous(std::exchange(t_workerLimit, workers))
{
}

WorkerLimit::~WorkerLimit()
{
    t_workerLimit = m_previous;
}

std::vector<int> RunWorkerThreads(unsigned count, const std::function<int(unsigned)>& work)
{
    std::vector<ThreadStart> starts(count);
    std::vector<pthread_t> threads(count);
    unsigned started = 0;
    bool createFailed = false;
    for (; started < count; ++started) {
        starts[started].work = &work;
        starts[started].index = started;
        if (g_threadCreate(&threads[started], nullptr, ThreadMain, &starts[started]) != 0) {
            createFailed = true;
            break;
        }
    }

    // Join everything that runs, even after a failure, so that no worker outlives the data it
    // reads or writes.
    bool joinFailed = false;
    for (unsigned i = 0; i < started; ++i) {
        if (pthread_join(threads[i], nullptr) != 0)
            joinFailed = true;
    }
    if (createFailed)
        throw std::runtime_error("Cannot create thread");
    if (joinFailed)
        throw std::runtime_error("Cannot join thread");

    std::vector<int> results(count);
    for (unsigned i = 0; i < count; ++i)
        results[i] = starts[i].result;
    return results;
}

} // namespace orv::image
