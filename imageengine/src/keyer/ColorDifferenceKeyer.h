// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"

#include <ovimageengine/OVEnums.h>

#include <cstdint>
#include <memory>

namespace orv {
class OVLookupTables;
}

namespace orv::image {

/// Statistics of one worker of the matte pass. The totals are 64-bit: a camera-size photo
/// overflows a 32-bit sum of differences on a single worker.
struct MatteInfo {
    std::int64_t count = 0; ///< dominant pixels seen
    std::int64_t sum = 0; ///< sum of their differences
    std::int32_t minimum = 255;
    std::int32_t maximum = 0;
};

/// Colour-difference key with automatic levels. `Prepare` resolves the key colour, builds the
/// matte (one difference value per pixel) and the statistics that set the transparent and
/// opaque thresholds; each `Render` worker turns matte values into alpha over its byte range.
class ColorDifferenceKeyer : public AbstractRenderer
{
public:
    ColorDifferenceKeyer(OVKeyColor keyColor, double keyDetail, double greyDetail,
        double greyThreshold, const OVLookupTables& tables);

    bool NeedsWholeImage() const override { return true; }
    void Prepare(OVAbstractImage* source) override;
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    /// Valid after `Prepare`.
    OVKeyColor ResolvedKeyColor() const { return m_resolvedKeyColor; }
    double Minimum() const { return m_minimum; }
    double Level() const { return m_level; }
    const unsigned char* Matte() const { return m_matte.get(); }

    /// Matte value of one pixel (bytes blue, green, red) by the statistics rule; T and L are the
    /// grey limit and the grey threshold level of that rule. Exposed for the tests.
    static int MatteValue(unsigned char b0, unsigned char b1, unsigned char b2, OVKeyColor keyColor,
        int greyLimit, double greyLevel, double greyThreshold);

private:
    void RunStatistics(const OVAbstractImage* source, unsigned workers);

    OVKeyColor m_keyColor;
    double m_keyDetail;
    double m_greyDetail;
    double m_greyThreshold;
    OVKeyColor m_resolvedKeyColor = KeyColorGreen;
    const OVLookupTables* m_tables;
    std::shared_ptr<unsigned char[]> m_matte;
    std::shared_ptr<MatteInfo[]> m_matteInfo;
    double m_minimum = 255.0;
    double m_level = 0.0;
    // 255 − keyness of each matte value, derived from minimum and level by `Prepare`.
    unsigned char m_keptAlpha[256] = {};
};

} // namespace orv::image
