// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageSupport.h>
#include <ovimageengine/OVResultCode.h>

#include <new>
#include <stdexcept>
#include <typeinfo>

namespace orv::image {

int CodeForException(const std::exception_ptr& error, int defaultCode)
{
    if (!error)
        return defaultCode;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        // Exact types only: a std::length_error is a logic_error by inheritance, but maps to
        // the default like every type not named here.
        const std::type_info& type = typeid(e);
        if (type == typeid(std::bad_alloc))
            return ResultOutOfMemory;
        if (type == typeid(std::runtime_error))
            return ResultRuntimeError;
        if (type == typeid(std::logic_error))
            return ResultLogicError;
        if (type == typeid(std::invalid_argument))
            return ResultInvalidArgument;
        if (type == typeid(std::out_of_range))
            return ResultOutOfRange;
        return defaultCode;
    } catch (...) {
        return defaultCode;
    }
}

} // namespace orv::image
