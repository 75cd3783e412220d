// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVSystem.h>

#include <gtest/gtest.h>

#include <sched.h>

#include "ScopedCoreCount.h"

using mtra::test::ScopedCoreCount;
using orv::OVSystem;

namespace {

TEST(OVSystemTest, CountsTheCoresOfTheAffinityMask)
{
    unsetenv("OV_CPU_CORE_COUNT");
    cpu_set_t set;
    CPU_ZERO(&set);
    ASSERT_EQ(sched_getaffinity(0, sizeof(set), &set), 0);
    EXPECT_EQ(OVSystem::GetCPUCoreCount(), CPU_COUNT(&set));
    EXPECT_GE(OVSystem::GetCPUCoreCount(), 1);
}

TEST(OVSystemTest, EnvironmentOverridesOnlyWithAPositiveInteger)
{
    unsetenv("OV_CPU_CORE_COUNT");
    const int actual = OVSystem::GetCPUCoreCount();
    {
        const ScopedCoreCount cores(7);
        EXPECT_EQ(OVSystem::GetCPUCoreCount(), 7);
    }
    {
        const ScopedCoreCount cores(1000);
        EXPECT_EQ(OVSystem::GetCPUCoreCount(), 1000);
    }
    for (const char* bad : { "0", "-3", "two", "4x", "", "99999999999999999999" }) {
        const ScopedCoreCount cores { std::string(bad) };
        EXPECT_EQ(OVSystem::GetCPUCoreCount(), actual) << bad;
    }
}

} // namespace
