// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVSystem.h>

#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace orv {

namespace {

int CoreCountFromEnvironment()
{
    const char* text = std::getenv("OV_CPU_CORE_COUNT");
    if (!text || !*text)
        return 0;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value <= 0 || value > INT_MAX)
        return 0;
    return static_cast<int>(value);
}

} // namespace

int OVSystem::GetCPUCoreCount()
{
    if (const int fromEnvironment = CoreCountFromEnvironment())
        return fromEnvironment;

    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0)
            return count;
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<int>(online) : 1;
}

} // namespace orv
