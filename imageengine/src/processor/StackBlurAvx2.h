// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "processor/Avx2Support.h"

#include <cstddef>

/// AVX2 forms of the stack blur's passes for radii that divide in single precision
/// (`stackblur::FloatDivide`): the same running sums and the same division, eight sums per
/// instruction, so they give the bytes of the generic passes. Call only where
/// `Avx2Available()`.
namespace orv::image::stackblur {

#if MTRA_HAVE_AVX2_PATHS

/// Column pass over byte columns [begin, end) of `rows` (a single-channel image of `stride`
/// bytes per row and n ≥ 1 rows) into `destination` (same layout), in blocks of 64 byte columns.
/// Returns the first byte column it left undone: fewer than 64 remain for the generic code.
/// `destination` may be `rows` itself: the blocks are then blurred in place.
/// edge is `MakeEdgeIndex(n, r)`; r ≤ `kMaxFloatRadius`.
std::size_t BlurColumnsAvx2(const unsigned char* rows, unsigned char* destination,
    std::size_t stride, std::size_t n, std::size_t begin, std::size_t end, int r, const int* edge);

/// Interleaves rows `first` and `second` of n pixels into `pairs` (pixel i of the first row,
/// then pixel i of the second, 8 bytes per pair), for `BlurRowPairAvx2`. With alpha rows, the
/// alpha byte of each pixel becomes 255 − the alpha of the same pixel of its alpha row.
void InterleaveRowsAvx2(const unsigned char* first, const unsigned char* second,
    const unsigned char* firstAlpha, const unsigned char* secondAlpha, std::size_t n,
    unsigned char* pairs);

/// Row pass of two rows of n ≥ 1 four-byte pixels at once from their interleaved `pairs`, into
/// `first` and `second`. edge is `MakeEdgeIndex(n, r)`; r ≤ `kMaxFloatRadius`.
void BlurRowPairAvx2(const unsigned char* pairs, unsigned char* first, unsigned char* second,
    std::size_t n, int r, const int* edge);

#endif

} // namespace orv::image::stackblur
