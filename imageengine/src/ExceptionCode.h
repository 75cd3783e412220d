// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVResultCode.h>

#include <exception>

namespace orv::image {

/// The engine's one mapping from an exception to a result code, by exact dynamic type:
/// bad_alloc 8, runtime_error 2, logic_error 3, invalid_argument 4, out_of_range 7; anything
/// else (subclasses such as length_error included, and non-standard exceptions) gives
/// defaultCode. A null pointer gives defaultCode too.
int CodeForException(const std::exception_ptr& error, int defaultCode);

/// Runs fn() and returns its int result, or the code of whatever it threw. Used by every facade
/// operation (default 2) and every worker (default 1001).
template <typename Fn>
int GuardedCall(int defaultCode, Fn&& fn) noexcept
{
    try {
        return fn();
    } catch (...) {
        return CodeForException(std::current_exception(), defaultCode);
    }
}

} // namespace orv::image
