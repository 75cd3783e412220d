// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"

namespace orv::image {

/// Alpha crop: clears the alpha outside a rectangle given by the fractions of the width and
/// height cut from each side. With l = trunc(width × left), r = trunc(width × right),
/// t = trunc(height × top), b = trunc(height × bottom), pixel (x, y) keeps its alpha when
/// l < x < width − r and t < y < height − b (so column 0 and row 0 are always cleared). Colour
/// bytes are copied. Workers take rows. Only `Bits8` sources in `PixelOrderBGRA`.
class AlphaCrop : public AbstractRenderer
{
public:
    AlphaCrop(double left, double top, double right, double bottom);

    bool NeedsWholeImage() const override { return false; }
    void Prepare(OVAbstractImage*) override { }
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

private:
    double m_left;
    double m_top;
    double m_right;
    double m_bottom;
};

} // namespace orv::image
