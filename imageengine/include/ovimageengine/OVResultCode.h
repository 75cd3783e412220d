// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

namespace orv::image {

/// Result of every facade operation and of `CopyPixels`; 0 is success. Exceptions are mapped
/// to these by their exact dynamic type (see OVImageEngine.h).
enum ResultCode : int {
    ResultSuccess = 0,
    ResultRuntimeError = 2, ///< thread start/join failure, or an unlisted exception type
    ResultLogicError = 3, ///< std::logic_error
    ResultInvalidArgument = 4, ///< std::invalid_argument; `SetStackBlur` with no direction
    ResultOutOfRange = 7, ///< a parameter outside its documented interval
    ResultOutOfMemory = 8, ///< std::bad_alloc
    ResultUnsupported = 10, ///< refused channel selection; a source that is not 8-bit
    ResultImageMismatch = 1000, ///< images differ in width, height, order or depth
    ResultWorkerException = 1001, ///< a worker ended with an unlisted exception type
};

} // namespace orv::image
