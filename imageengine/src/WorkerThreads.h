// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <pthread.h>

#include <functional>
#include <vector>

namespace orv::image {

/// Largest worker count: thread index and count are 8-bit in the worker records.
constexpr unsigned kMaxWorkers = 255;

/// `OVSystem::GetCPUCoreCount()`, or the calling thread's `WorkerLimit`, clamped to 1 … 255.
/// Read once per render or pass.
unsigned WorkerCount();

/// Runs work(index) for index 0 … count − 1 on `count` POSIX threads with default attributes,
/// started and joined in index order, and returns their results in index order. `work` must not
/// throw (wrap it in `GuardedCall`).
///
/// Throws std::runtime_error("Cannot create thread") when a thread cannot be started and
/// std::runtime_error("Cannot join thread") when one cannot be joined; in both cases every
/// thread that was started has been joined before the exception leaves, so the caller may free
/// whatever the workers use.
std::vector<int> RunWorkerThreads(unsigned count, const std::function<int(unsigned)>& work);

/// Thread creation used by `RunWorkerThreads`; tests swap it to simulate a failure. Returns
/// the previous function. Not thread-safe: set it only while no render runs.
using ThreadCreateFunction = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
ThreadCreateFunction SetThreadCreateFunctionForTesting(ThreadCreateFunction function);

} // namespace orv::image
