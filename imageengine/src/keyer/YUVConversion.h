// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <cstddef>

/// The chroma blur's colour conversions, whole rows at a time.
///
/// Forward, per pixel of bytes B, G, R, A: Y = ⌊0.299 R⌋ + ⌊0.587 G⌋ + ⌊0.114 B⌋,
/// V = 128 + trunc(0.713 (R − Y)), U = 128 + trunc(0.565 (B − Y)); stored as bytes V, U, Y, A.
/// Back: B = clamp(Y + trunc(1.77 (U − 128))), G = clamp(Y − trunc(0.714 (V − 128))
/// − trunc(0.344 (U − 128))), R = clamp(Y + trunc(1.403 (V − 128))), A kept. (BT.601 luma
/// weights; every product in double precision, truncated toward zero.)
///
/// The plain loops look the products up in tables built from exactly those expressions. The
/// SSE2 loops compute each product as (|c| × M) >> 16 on 16-bit lanes, with M chosen so that
/// this equals the truncated double product for every c that can occur; the multipliers are
/// checked against the tables once per process, and the plain loops serve if any differs.
namespace orv::image::yuv {

/// Both forms, for tests: the plain tables, or SSE2 where it is available and checked.
void ToYUVPlain(const unsigned char* in, unsigned char* out, std::size_t pixels);
void FromYUVPlain(const unsigned char* in, unsigned char* out, std::size_t pixels);
/// True when the SSE2 loops are available and reproduce the tables; the two calls below then
/// use them, else the plain loops.
bool HasVectorLoops();
void ToYUV(const unsigned char* in, unsigned char* out, std::size_t pixels);
void FromYUV(const unsigned char* in, unsigned char* out, std::size_t pixels);

/// One pixel each way, through the tables.
void PixelToYUV(int b, int g, int r, int* v, int* u, int* y);
void PixelFromYUV(int v, int u, int y, int* b, int* g, int* r);

} // namespace orv::image::yuv
