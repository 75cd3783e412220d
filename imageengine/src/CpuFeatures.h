// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

namespace orv::image {

/// The processor's vector extensions as reported by CPUID leaf 1, one byte each (1 present,
/// 0 absent): MMX (EDX bit 23), SSE (EDX bit 25), SSE2 (EDX bit 26), SSE3 (ECX bit 0).
///
/// Stages record the features when they are created and choose their vectorised loops from the
/// record, so that tests can build a stage with a feature forced off. Any thread.
struct CpuFeatures {
    unsigned char mmx = 0;
    unsigned char sse = 0;
    unsigned char sse2 = 0;
    unsigned char sse3 = 0;

    /// This processor's features, queried once per process. All zero on processors without
    /// CPUID (builds for other architectures).
    static CpuFeatures Detected();
    /// No vector extensions: every stage takes its plain path.
    static CpuFeatures None() { return {}; }

    /// True when SSE2 is reported and this build can use it.
    bool UsesSse2() const;
};

} // namespace orv::image
