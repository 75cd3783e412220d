// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVEnums.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace orv {
class OVLookupTables;
}

namespace orv::image {

/// Linear dodge (additive blending): B(Cb, Cs) = min(1, Cb + Cs), the colour sum of the
/// "plus-lighter" operator of W3C Compositing and Blending Level 1, clamped to white. On 8-bit
/// values no rounding is involved.
inline unsigned char AddBlend(unsigned char top, unsigned char base)
{
    const int sum = int(top) + int(base);
    return static_cast<unsigned char>(sum > 255 ? 255 : sum);
}

/// W3C Compositing and Blending Level 1, blend mode "normal": B(Cb, Cs) = Cs.
inline unsigned char NormalBlend(unsigned char top, unsigned char /*base*/)
{
    return top;
}

/// True for the modes whose mix is the layer colour itself: `BlendModeNormal`,
/// `BlendModeReplace` and every value outside 0 … 13 (stored files may hold any integer).
inline bool MixesToTop(OVBlendMode mode)
{
    return mode == BlendModeNormal || mode < BlendModeAdd || mode > BlendModeSoftLight;
}

/// Colour of the mix of one byte in `mode`, with top the layer value and base the value
/// underneath. The eleven modes of `OVLookupTables` come from the given tables (the one
/// definition of each in the system); add and normal are above; `BlendModeReplace` and values
/// outside 0 … 13 give top, like normal.
unsigned char BlendColor(
    const OVLookupTables& tables, OVBlendMode mode, unsigned char top, unsigned char base);

/// `BlendColor` of one mode for every pair, indexed [top][base]. Stages build one at creation
/// so that their inner loops read 64 KiB of their own instead of calling into the tables'
/// library once per byte.
class BlendTable
{
public:
    BlendTable(const OVLookupTables& tables, OVBlendMode mode);
    unsigned char operator()(unsigned char top, unsigned char base) const
    {
        return m_values[std::size_t(top) << 8 | base];
    }

private:
    std::array<std::uint8_t, 256 * 256> m_values;
};

/// Integer part of alpha × factor, limited to 0 … 255; NaN gives 0. The engine's one opacity
/// rule: layer weights, the compositor's background fade and the light-spill strength.
inline unsigned char ScaledAlpha(unsigned char alpha, double factor)
{
    const double value = alpha * factor;
    if (!(value > 0.0))
        return 0;
    if (value >= 255.0)
        return 255;
    return static_cast<unsigned char>(value);
}

/// `ScaledAlpha` of every alpha for one factor.
inline std::array<std::uint8_t, 256> ScaledAlphaTable(double factor)
{
    std::array<std::uint8_t, 256> table {};
    for (int alpha = 0; alpha < 256; ++alpha)
        table[alpha] = ScaledAlpha(static_cast<unsigned char>(alpha), factor);
    return table;
}

} // namespace orv::image
