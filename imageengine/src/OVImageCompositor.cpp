// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageCompositor.h>

#include "RenderQueue.h"

namespace orv::image {

OVAbstractImageCompositor::~OVAbstractImageCompositor() = default;

OVImageCompositor::OVImageCompositor(OVAbstractImage* background, double opacity,
    OVLookupTables& tables, OVDownsampleFactor factor)
    : d(std::make_unique<CompositorQueue>(background, opacity, tables, factor))
{
}

OVImageCompositor::OVImageCompositor(std::shared_ptr<OVAbstractImage> background,
    double opacity, OVLookupTables& tables, OVDownsampleFactor factor)
    : OVImageCompositor(background.get(), opacity, tables, factor)
{
}

OVImageCompositor::~OVImageCompositor() = default;

OVAbstractImage* OVImageCompositor::BackgroundLayer() const
{
    return d->Background();
}

unsigned short OVImageCompositor::RenderQueueCount() const
{
    return d->Count();
}

int OVImageCompositor::ClearRenderQueue()
{
    return d->Clear();
}

int OVImageCompositor::Render()
{
    return d->Render();
}

} // namespace orv::image
