// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"

namespace orv::image {

/// Mirror: the destination pixel (x, y) is the source pixel (width − 1 − x when horizontal,
/// else x; height − 1 − y when vertical, else y). With neither flag the image is copied. Whole
/// pixels move, so any `Bits8` order works. Each worker fills its `ThreadByteRange` of the
/// destination; the source is only read.
class MirrorRenderer : public AbstractRenderer
{
public:
    MirrorRenderer(bool horizontal, bool vertical);

    /// True: a worker reads pixels outside the range it writes.
    bool NeedsWholeImage() const override { return true; }
    void Prepare(OVAbstractImage*) override { }
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

private:
    bool m_horizontal;
    bool m_vertical;
};

} // namespace orv::image
