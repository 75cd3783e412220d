// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "compositor/BlendModes.h"

#include <ovcommon/OVLookupTables.h>

namespace orv::image {

unsigned char BlendColor(
    const OVLookupTables& tables, OVBlendMode mode, unsigned char top, unsigned char base)
{
    // In enumerator order; the formulas are documented with the functions.
    switch (mode) {
    case BlendModeAdd:
        return AddBlend(top, base);
    case BlendModeColorBurn:
        return tables.ColorBurnBlend(top, base);
    case BlendModeColorDodge:
        return tables.ColorDodgeBlend(top, base);
    case BlendModeDarken:
        return tables.DarkenBlend(top, base);
    case BlendModeDifference:
        return tables.DifferenceBlend(top, base);
    case BlendModeExclusion:
        return tables.ExclusionBlend(top, base);
    case BlendModeHardLight:
        return tables.HardLightBlend(top, base);
    case BlendModeLighten:
        return tables.LightenBlend(top, base);
    case BlendModeMultiply:
        return tables.MultiplyBlend(top, base);
    case BlendModeNormal:
        return NormalBlend(top, base);
    case BlendModeOverlay:
        return tables.OverlayBlend(top, base);
    case BlendModeScreen:
        return tables.ScreenBlend(top, base);
    case BlendModeSoftLight:
        return tables.SoftLightBlend(top, base);
    case BlendModeReplace:
        break;
    }
    return NormalBlend(top, base);
}

BlendTable::BlendTable(const OVLookupTables& tables, OVBlendMode mode)
{
    for (int top = 0; top < 256; ++top) {
        for (int base = 0; base < 256; ++base) {
            m_values[std::size_t(top) << 8 | std::size_t(base)] = BlendColor(
                tables, mode, static_cast<unsigned char>(top), static_cast<unsigned char>(base));
        }
    }
}

} // namespace orv::image
