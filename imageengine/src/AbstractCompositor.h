// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImage.h>

namespace orv::image {

/// A stage of the compositor queue: blends onto the background in place. Threads as for
/// `AbstractRenderer`.
class AbstractCompositor
{
public:
    virtual ~AbstractCompositor() = default;
    virtual bool NeedsWholeImage() const = 0;
    virtual void Prepare(OVAbstractImage* background) = 0;
    virtual void Render(
        OVAbstractImage* background, unsigned char threadIndex, unsigned char threadCount)
        = 0;
};

} // namespace orv::image
