// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/MTerr.h>

#include <ovimageengine/OVImageSupport.h>
#include <ovimageengine/OVResultCode.h>

#include <exception>

namespace mtra::app {

/// An image engine result as the render engine reports it: 0 stays 0, out of memory (8) is
/// `MT_RENDER_OUT_OF_MEMORY` (39), the one failure the program reacts to differently (it may
/// free memory and retry), and every other failure is `otherwise`.
inline MTerr OutOfMemoryElse(int engineResult, MTerr otherwise)
{
    if (engineResult == orv::image::ResultSuccess)
        return MT_OK;
    return engineResult == orv::image::ResultOutOfMemory ? MT_RENDER_OUT_OF_MEMORY : otherwise;
}

/// Runs one step of the render engine and returns its `MTerr`; whatever it throws becomes a
/// value by the same rule as `OutOfMemoryElse` (the exception's engine code). Nothing leaves.
template <typename Fn> MTerr Guarded(MTerr otherwise, Fn&& step) noexcept
{
    try {
        return step();
    } catch (...) {
        return OutOfMemoryElse(
            orv::image::CodeForException(std::current_exception(), orv::image::ResultRuntimeError),
            otherwise);
    }
}

} // namespace mtra::app
