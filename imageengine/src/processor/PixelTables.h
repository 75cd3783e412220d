// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "CpuFeatures.h"

#include <cstddef>

/// Per-byte tables of the pixel-wise filters (brightness, colour balance, colour temperature,
/// super contrast, opacity) and their two vectorised forms.
///
/// The tables are the definition: entry [c][v] is the new value of byte c (0 … 3 in memory
/// order) of a pixel whose byte c is v. The vectorised loops give exactly the same bytes:
/// - saturating addition (brightness): clamp(v + delta[c]);
/// - "offset and scale" (the rest): clamp(trunc((v + offset[c]) × factor[c])), in single
///   precision with a float factor near the double one (four values per step), where the
///   products of the few values that the double rule rounds onto an integer and the float one
///   just below it (or the reverse) are corrected one by one; else in double precision, the very
///   operations of the plain rule (two values per step). `FitScale` chooses, and checks its
///   choice by running the vector loop itself over all 256 values.
namespace orv::image::pixeltables {

struct Tables {
    unsigned char entry[4][256];

    /// Entry [c][v] = v for every byte c (a byte that is copied).
    void SetIdentity(int channel);
    bool IsIdentity(int channel) const;
};

/// Offset and factor of the scaled form, per byte of a pixel.
struct Scale {
    /// Most values the single-precision loop corrects one by one before doubles are cheaper.
    static constexpr int kMaxCorrections = 8;
    /// Where the input byte is `value`, byte c comes out delta[c] (mod 256) too low from the
    /// float loop.
    struct Correction {
        int value;
        int delta[4];
    };

    bool single = true;
    float offset[4] = { 0, 0, 0, 0 };
    float factor[4] = { 1, 1, 1, 1 };
    int correctionCount = 0;
    Correction corrections[kMaxCorrections] = {};
    double offsetDouble[4] = { 0, 0, 0, 0 };
    double factorDouble[4] = { 1, 1, 1, 1 };
};

/// The plain loop: bytes (a multiple of 4) from in to out through the tables.
void Apply(const unsigned char* in, unsigned char* out, std::size_t bytes, const Tables& tables);

/// Finds the scaled form of `tables` (offset[c] must be an integer): single precision when
/// factors near `factor` reproduce every entry, else double precision when that does. True and
/// *scale when the vector loop gives every table entry; always false without SSE2.
/// maxCorrections (at most `Scale::kMaxCorrections`) lets tests force the double form.
bool FitScale(const Tables& tables, const double offset[4], const double factor[4], Scale* scale,
    int maxCorrections = Scale::kMaxCorrections);

/// SSE2 loop of a fitted scale: 16 bytes at a time, the rest through the tables. Only when
/// `CpuFeatures::UsesSse2()`.
void ApplyScaleSse2(const unsigned char* in, unsigned char* out, std::size_t bytes,
    const Scale& scale, const Tables& tables);

/// SSE2 loop of clamp(v + delta[c]): 16 bytes at a time, the rest through the tables (which
/// must hold the same rule). Only when `CpuFeatures::UsesSse2()`.
void ApplyAddSse2(const unsigned char* in, unsigned char* out, std::size_t bytes,
    const int delta[4], const Tables& tables);

/// Clamp to 0 … 255.
inline unsigned char Clamp(int value)
{
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

} // namespace orv::image::pixeltables
