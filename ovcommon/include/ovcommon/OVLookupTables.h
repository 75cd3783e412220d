// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovcommon/OVCommonExport.h>

#include <memory>

namespace orv {

/// The separable blend modes, one pure function each, computed directly (no tables).
///
/// Each follows the published definition of W3C "Compositing and Blending Level 1", section
/// 10.2, with Cs = top ÷ 255 (the source, the layer placed on top) and Cb = base ÷ 255 (the
/// backdrop). The result B(Cb, Cs) is scaled back by 255 and rounded to the nearest integer.
/// `OVLookupTables` serves the same values from tables; these are the reference.
namespace blend {

/// B = Cb × Cs
OVCOMMON_EXPORT unsigned char Multiply(unsigned char top, unsigned char base);
/// B = Cb + Cs − Cb × Cs
OVCOMMON_EXPORT unsigned char Screen(unsigned char top, unsigned char base);
/// B = HardLight(Cb, Cs) with the operands swapped: Cb ≤ 0.5 → Cs × 2Cb, else Screen(Cs, 2Cb − 1)
OVCOMMON_EXPORT unsigned char Overlay(unsigned char top, unsigned char base);
/// Cs ≤ 0.5 → Cb − (1 − 2Cs) × Cb × (1 − Cb); else Cb + (2Cs − 1) × (D(Cb) − Cb), where
/// D(Cb) = ((16Cb − 12) × Cb + 4) × Cb for Cb ≤ 0.25, else √Cb
OVCOMMON_EXPORT unsigned char SoftLight(unsigned char top, unsigned char base);
/// Cs ≤ 0.5 → Multiply(Cb, 2Cs); else Screen(Cb, 2Cs − 1)
OVCOMMON_EXPORT unsigned char HardLight(unsigned char top, unsigned char base);
/// Cb = 0 → 0; Cs = 1 → 1; else min(1, Cb ÷ (1 − Cs))
OVCOMMON_EXPORT unsigned char ColorDodge(unsigned char top, unsigned char base);
/// Cb = 1 → 1; Cs = 0 → 0; else 1 − min(1, (1 − Cb) ÷ Cs)
OVCOMMON_EXPORT unsigned char ColorBurn(unsigned char top, unsigned char base);
/// B = min(Cb, Cs)
OVCOMMON_EXPORT unsigned char Darken(unsigned char top, unsigned char base);
/// B = max(Cb, Cs)
OVCOMMON_EXPORT unsigned char Lighten(unsigned char top, unsigned char base);
/// B = |Cb − Cs|
OVCOMMON_EXPORT unsigned char Difference(unsigned char top, unsigned char base);
/// B = Cb + Cs − 2 × Cb × Cs
OVCOMMON_EXPORT unsigned char Exclusion(unsigned char top, unsigned char base);

} // namespace blend

/// 8-bit alpha and blend arithmetic for the image engine's inner loops.
///
/// Ownership: the render engine builds one object (flag true) for its lifetime and hands it by
/// reference to every facade. The tables themselves are immutable and shared: copying or
/// assigning an object copies the one pointer to them.
/// Threads: every operation may be called from any number of threads at once.
class OVCOMMON_EXPORT OVLookupTables
{
public:
    /// precompute true: the operations answer from 64 KiB tables (the fast path of the inner
    /// loops; the tables are built once per process and shared by every object).
    /// precompute false: the operations compute each value directly. Both give the same values.
    explicit OVLookupTables(bool precompute = true);
    ~OVLookupTables();
    OVLookupTables(const OVLookupTables& other);
    OVLookupTables& operator=(const OVLookupTables& other);

    /// value × alpha ÷ 255, rounded to nearest: (255, 255) → 255, (v, 0) → 0.
    unsigned char AlphaBlend(unsigned char value, unsigned char alpha) const;
    /// Coverage of top placed over base: top + base × (255 − top) ÷ 255, rounded to nearest;
    /// 0 … 255, and 0 only when both are 0.
    int AlphaChannelBlend(unsigned char base, unsigned char top) const;
    /// 1 ÷ value, for value ≠ 0 (value 0 gives 0, never infinity).
    float Invert(unsigned char value) const;
    /// value ÷ 255.
    float DivideBy255(unsigned char value) const;
    /// 256 floats, entry i = i ÷ 255; valid as long as this object.
    const float* DivideBy255Table() const;
    /// Whether the operations answer from the shared tables (the constructor's flag, or the
    /// flag of the object copied or assigned from).
    bool IsPrecomputed() const;

    unsigned char MultiplyBlend(unsigned char top, unsigned char base) const;
    unsigned char ScreenBlend(unsigned char top, unsigned char base) const;
    unsigned char OverlayBlend(unsigned char top, unsigned char base) const;
    unsigned char SoftLightBlend(unsigned char top, unsigned char base) const;
    unsigned char HardLightBlend(unsigned char top, unsigned char base) const;
    unsigned char ColorDodgeBlend(unsigned char top, unsigned char base) const;
    unsigned char ColorBurnBlend(unsigned char top, unsigned char base) const;
    unsigned char DarkenBlend(unsigned char top, unsigned char base) const;
    unsigned char LightenBlend(unsigned char top, unsigned char base) const;
    unsigned char DifferenceBlend(unsigned char top, unsigned char base) const;
    unsigned char ExclusionBlend(unsigned char top, unsigned char base) const;

    struct Tables;

private:
    std::shared_ptr<const Tables> m_tables;
    std::shared_ptr<const float[]> m_divideBy255;
};

} // namespace orv
