// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovcommon/OVCommonExport.h>

namespace orv {

/// Queries about the machine the process runs on. Stateless; any thread.
class OVCOMMON_EXPORT OVSystem
{
public:
    /// Number of processor cores this process may run on (its CPU affinity mask), at least 1.
    /// The environment variable OV_CPU_CORE_COUNT, when set to a positive integer, overrides
    /// it (tests, benchmarks, users who share a machine); any other value of it is ignored.
    /// Read afresh on every call: the engine asks once per render.
    static int GetCPUCoreCount();
};

} // namespace orv
