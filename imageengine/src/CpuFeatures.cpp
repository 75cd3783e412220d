// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "CpuFeatures.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace orv::image {

namespace {

CpuFeatures Query()
{
    CpuFeatures features;
#if defined(__x86_64__) || defined(__i386__)
    unsigned int eax = 0;
    unsigned int ebx = 0;
    unsigned int ecx = 0;
    unsigned int edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        features.mmx = (edx >> 23) & 1u;
        features.sse = (edx >> 25) & 1u;
        features.sse2 = (edx >> 26) & 1u;
        features.sse3 = ecx & 1u;
    }
#endif
    return features;
}

} // namespace

CpuFeatures CpuFeatures::Detected()
{
    static const CpuFeatures features = Query();
    return features;
}

bool CpuFeatures::UsesSse2() const
{
#if defined(__SSE2__)
    return sse2 != 0;
#else
    return false;
#endif
}

} // namespace orv::image
