// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// OVCommon: shared 8-bit arithmetic and system queries (namespace orv).
///
/// Common rules:
/// - Every operation is a pure function of its arguments and may be called from any number of
///   threads at once; nothing is written after construction.
/// - 8-bit values are 0 … 255; "top" is the value of the layer placed on top, "base" the value
///   underneath (the backdrop).

#include <ovcommon/OVLookupTables.h>
#include <ovcommon/OVSystem.h>
