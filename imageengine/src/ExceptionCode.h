// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImageSupport.h>
#include <ovimageengine/OVResultCode.h>

#include <exception>

namespace orv::image {

/// Runs fn() and returns its int result, or the code of whatever it threw (`CodeForException`).
/// Used by every facade operation (default 2) and every worker (default 1001).
template <typename Fn> int GuardedCall(int defaultCode, Fn&& fn) noexcept
{
    try {
        return fn();
    } catch (...) {
        return CodeForException(std::current_exception(), defaultCode);
    }
}

} // namespace orv::image
