// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace mtra::test {

/// Sets OV_CPU_CORE_COUNT for the lifetime of the object, then restores the earlier value.
class ScopedCoreCount
{
public:
    explicit ScopedCoreCount(int cores)
        : ScopedCoreCount(std::to_string(cores))
    {
    }
    explicit ScopedCoreCount(const std::string& value)
    {
        if (const char* old = std::getenv("OV_CPU_CORE_COUNT"))
            m_previous = old;
        setenv("OV_CPU_CORE_COUNT", value.c_str(), 1);
    }
    ~ScopedCoreCount()
    {
        if (m_previous)
            setenv("OV_CPU_CORE_COUNT", m_previous->c_str(), 1);
        else
            unsetenv("OV_CPU_CORE_COUNT");
    }
    ScopedCoreCount(const ScopedCoreCount&) = delete;
    ScopedCoreCount& operator=(const ScopedCoreCount&) = delete;

private:
    std::optional<std::string> m_previous;
};

} // namespace mtra::test
