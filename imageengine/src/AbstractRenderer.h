// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImage.h>

namespace orv::image {

/// A stage of the keyer or processor queue.
///
/// `Prepare` runs on the facade's calling thread before the workers start and may compute
/// whatever the workers share (tables, statistics, whole-image passes). `Render` is one
/// worker's work: it reads the stage read-only and writes only its own range of destination.
/// Both may throw; the facade maps exceptions to codes.
class AbstractRenderer
{
public:
    virtual ~AbstractRenderer() = default;
    /// True for stages that read pixels other than the one they write.
    virtual bool NeedsWholeImage() const = 0;
    virtual void Prepare(OVAbstractImage* source) = 0;
    virtual void Render(OVAbstractImage* source, OVAbstractImage* destination,
        unsigned char threadIndex, unsigned char threadCount)
        = 0;
};

} // namespace orv::image
