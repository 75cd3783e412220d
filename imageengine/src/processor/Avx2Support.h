// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// AVX2 loops of the per-pixel stages. They are compiled for AVX2 function by function
/// (`MTRA_AVX2_FUNCTION`), so that the rest of the engine keeps the SSE2 baseline, and run only
/// where `Avx2Available()` says the processor and the system support them. Each stage that has
/// one records the choice when it is created, so that tests can force its plain loop and
/// compare the two byte for byte.
///
/// A few stages also have an AVX-512 loop (`MTRA_AVX512_FUNCTION`, run where
/// `Avx512Available()`): eight pixels of doubles per vector, and fused multiply-adds where a
/// loop asks for them by name. The engine is built with -ffp-contract=off, so the compiler
/// itself never fuses a multiply and an add that the plain rules round separately.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define MTRA_HAVE_AVX2_PATHS 1
#define MTRA_AVX2_FUNCTION __attribute__((target("avx2")))
#define MTRA_AVX512_FUNCTION __attribute__((target("avx2,avx512f,avx512vl,avx512bw,avx512dq")))
#include <immintrin.h>
#else
#define MTRA_HAVE_AVX2_PATHS 0
#endif

namespace orv::image {

/// True when this build has AVX2 loops and the processor (with the system's register saving)
/// runs them. Any thread.
inline bool Avx2Available()
{
#if MTRA_HAVE_AVX2_PATHS
    // The explicit init makes the query safe even from another library's static initialiser.
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return available;
#else
    return false;
#endif
}

/// True when the processor and the system run AVX-512 (F, VL, BW, DQ) as well. Any thread.
inline bool Avx512Available()
{
#if MTRA_HAVE_AVX2_PATHS
    static const bool available = [] {
        __builtin_cpu_init();
        return Avx2Available() && __builtin_cpu_supports("avx512f") != 0
            && __builtin_cpu_supports("avx512vl") != 0 && __builtin_cpu_supports("avx512bw") != 0
            && __builtin_cpu_supports("avx512dq") != 0;
    }();
    return available;
#else
    return false;
#endif
}

} // namespace orv::image
