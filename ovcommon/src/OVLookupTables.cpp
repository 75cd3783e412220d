// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVLookupTables.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orv {

namespace blend {

namespace {

// Scales a unit-interval result back to 8 bits, rounding to nearest.
unsigned char ToByte(double value)
{
    return static_cast<unsigned char>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

double Unit(unsigned char value)
{
    return value / 255.0;
}

double MultiplyUnit(double cb, double cs)
{
    return cb * cs;
}

double ScreenUnit(double cb, double cs)
{
    return cb + cs - cb * cs;
}

double HardLightUnit(double cb, double cs)
{
    return cs <= 0.5 ? MultiplyUnit(cb, 2.0 * cs) : ScreenUnit(cb, 2.0 * cs - 1.0);
}

} // namespace

unsigned char Multiply(unsigned char top, unsigned char base)
{
    return ToByte(MultiplyUnit(Unit(base), Unit(top)));
}

unsigned char Screen(unsigned char top, unsigned char base)
{
    return ToByte(ScreenUnit(Unit(base), Unit(top)));
}

unsigned char Overlay(unsigned char top, unsigned char base)
{
    return ToByte(HardLightUnit(Unit(top), Unit(base)));
}

unsigned char SoftLight(unsigned char top, unsigned char base)
{
    const double cb = Unit(base);
    const double cs = Unit(top);
    if (cs <= 0.5)
        return ToByte(cb - (1.0 - 2.0 * cs) * cb * (1.0 - cb));
    const double d = cb <= 0.25 ? ((16.0 * cb - 12.0) * cb + 4.0) * cb : std::sqrt(cb);
    return ToByte(cb + (2.0 * cs - 1.0) * (d - cb));
}

unsigned char HardLight(unsigned char top, unsigned char base)
{
    return ToByte(HardLightUnit(Unit(base), Unit(top)));
}

unsigned char ColorDodge(unsigned char top, unsigned char base)
{
    if (base == 0)
        return 0;
    if (top == 255)
        return 255;
    return ToByte(std::min(1.0, Unit(base) / (1.0 - Unit(top))));
}

unsigned char ColorBurn(unsigned char top, unsigned char base)
{
    if (base == 255)
        return 255;
    if (top == 0)
        return 0;
    return ToByte(1.0 - std::min(1.0, (1.0 - Unit(base)) / Unit(top)));
}

unsigned char Darken(unsigned char top, unsigned char base)
{
    return std::min(top, base);
}

unsigned char Lighten(unsigned char top, unsigned char base)
{
    return std::max(top, base);
}

unsigned char Difference(unsigned char top, unsigned char base)
{
    return static_cast<unsigned char>(std::abs(int(base) - int(top)));
}

unsigned char Exclusion(unsigned char top, unsigned char base)
{
    const double cb = Unit(base);
    const double cs = Unit(top);
    return ToByte(cb + cs - 2.0 * cb * cs);
}

} // namespace blend

namespace {

using BlendFunction = unsigned char (*)(unsigned char, unsigned char);

enum TableIndex {
    kAlphaBlend,
    kAlphaChannelBlend,
    kMultiply,
    kScreen,
    kOverlay,
    kSoftLight,
    kHardLight,
    kColorDodge,
    kColorBurn,
    kDarken,
    kLighten,
    kDifference,
    kExclusion,
    kTableCount
};

// The exact integer forms; (x + 127) ÷ 255 rounds to nearest because x ÷ 255 is never
// halfway between two integers (255 is odd).
unsigned char AlphaBlendDirect(unsigned char value, unsigned char alpha)
{
    return static_cast<unsigned char>((unsigned(value) * alpha + 127u) / 255u);
}

unsigned char AlphaChannelBlendDirect(unsigned char base, unsigned char top)
{
    return static_cast<unsigned char>(top + (unsigned(base) * (255u - top) + 127u) / 255u);
}

constexpr BlendFunction kDirect[kTableCount] = {
    AlphaBlendDirect,
    AlphaChannelBlendDirect,
    blend::Multiply,
    blend::Screen,
    blend::Overlay,
    blend::SoftLight,
    blend::HardLight,
    blend::ColorDodge,
    blend::ColorBurn,
    blend::Darken,
    blend::Lighten,
    blend::Difference,
    blend::Exclusion,
};

} // namespace

// One 256 × 256 table per operation, indexed [first argument][second argument].
struct OVLookupTables::Tables {
    std::uint8_t values[kTableCount][256][256];
    float inverse[256];

    Tables()
    {
        for (int t = 0; t < kTableCount; ++t)
            for (int a = 0; a < 256; ++a)
                for (int b = 0; b < 256; ++b)
                    values[t][a][b]
                        = kDirect[t](static_cast<unsigned char>(a), static_cast<unsigned char>(b));
        inverse[0] = 0.0f;
        for (int i = 1; i < 256; ++i)
            inverse[i] = 1.0f / static_cast<float>(i);
    }
};

namespace {

std::shared_ptr<const OVLookupTables::Tables> SharedTables()
{
    // Built once, on first use, by whichever thread gets here first (thread-safe static).
    static const std::shared_ptr<const OVLookupTables::Tables> tables
        = std::make_shared<const OVLookupTables::Tables>();
    return tables;
}

std::shared_ptr<const float[]> SharedDivideBy255()
{
    static const std::shared_ptr<const float[]> table = [] {
        std::shared_ptr<float[]> values(new float[256]);
        for (int i = 0; i < 256; ++i)
            values[i] = static_cast<float>(i) / 255.0f;
        return std::shared_ptr<const float[]>(values);
    }();
    return table;
}

} // namespace

OVLookupTables::OVLookupTables(bool precompute)
    : m_tables(precompute ? SharedTables() : nullptr)
    , m_divideBy255(SharedDivideBy255())
{
}

OVLookupTables::~OVLookupTables() = default;
OVLookupTables::OVLookupTables(const OVLookupTables& other) = default;
OVLookupTables& OVLookupTables::operator=(const OVLookupTables& other) = default;

#define OV_TABLE_OR_DIRECT(index, a, b)                                                            \
    (m_tables ? m_tables->values[index][a][b] : kDirect[index](a, b))

unsigned char OVLookupTables::AlphaBlend(unsigned char value, unsigned char alpha) const
{
    return OV_TABLE_OR_DIRECT(kAlphaBlend, value, alpha);
}

int OVLookupTables::AlphaChannelBlend(unsigned char base, unsigned char top) const
{
    return OV_TABLE_OR_DIRECT(kAlphaChannelBlend, base, top);
}

float OVLookupTables::Invert(unsigned char value) const
{
    if (m_tables)
        return m_tables->inverse[value];
    return value ? 1.0f / static_cast<float>(value) : 0.0f;
}

float OVLookupTables::DivideBy255(unsigned char value) const
{
    return m_divideBy255[value];
}

const float* OVLookupTables::DivideBy255Table() const
{
    return m_divideBy255.get();
}

bool OVLookupTables::IsPrecomputed() const
{
    return m_tables != nullptr;
}

unsigned char OVLookupTables::MultiplyBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kMultiply, top, base);
}

unsigned char OVLookupTables::ScreenBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kScreen, top, base);
}

unsigned char OVLookupTables::OverlayBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kOverlay, top, base);
}

unsigned char OVLookupTables::SoftLightBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kSoftLight, top, base);
}

unsigned char OVLookupTables::HardLightBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kHardLight, top, base);
}

unsigned char OVLookupTables::ColorDodgeBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kColorDodge, top, base);
}

unsigned char OVLookupTables::ColorBurnBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kColorBurn, top, base);
}

unsigned char OVLookupTables::DarkenBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kDarken, top, base);
}

unsigned char OVLookupTables::LightenBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kLighten, top, base);
}

unsigned char OVLookupTables::DifferenceBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kDifference, top, base);
}

unsigned char OVLookupTables::ExclusionBlend(unsigned char top, unsigned char base) const
{
    return OV_TABLE_OR_DIRECT(kExclusion, top, base);
}

#undef OV_TABLE_OR_DIRECT

} // namespace orv
