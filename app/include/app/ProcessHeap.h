// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// How a process that exports batches uses its heap. A batch allocates and frees several
/// camera-size blocks (≈ 100 MB each at 24 MP) per photo; left to the allocator's defaults
/// every one is mapped afresh and its pages faulted in and zeroed by the kernel again, which
/// costs more than some stages of the render. Front ends of the batch export (mattora-render,
/// the program) use these; both are process-wide and affect every thread.

#include <app/AppExport.h>

namespace mtra::app {

/// One heap for every thread of the process: a second arena cannot hold a camera-size block,
/// so pictures made on other threads (encoding, --jobs) would each map fresh memory. Call once
/// at start, before any thread is created.
APP_EXPORT void UseOneHeap();

/// While alive, freed camera-size blocks stay in the heap for the next photo instead of going
/// back to the system, and the heap's room for them (about 900 MB of address space, nothing
/// resident until used) is advised for transparent huge pages: each 2 MB is faulted in at once
/// rather than page by page. On destruction the defaults return and the memory kept is handed
/// back, so a long-running program does not hold a batch's memory after its export. Not
/// nested; GUI (or main) thread.
class APP_EXPORT BatchHeap
{
public:
    BatchHeap();
    ~BatchHeap();
    BatchHeap(const BatchHeap&) = delete;
    BatchHeap& operator=(const BatchHeap&) = delete;
};

} // namespace mtra::app
