// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageProcessor.h>

#include "RenderQueue.h"
#include "processor/StackBlurRenderer.h"

namespace orv::image {

OVAbstractImageProcessor::~OVAbstractImageProcessor() = default;

OVImageProcessor::OVImageProcessor(OVAbstractImage* source, OVAbstractImage* destination,
    OVLookupTables& tables, OVDownsampleFactor factor)
    : d(std::make_unique<RendererQueue>(source, destination, tables, factor))
{
}

OVImageProcessor::OVImageProcessor(std::shared_ptr<OVAbstractImage> source,
    std::shared_ptr<OVAbstractImage> destination, OVLookupTables& tables,
    OVDownsampleFactor factor)
    : OVImageProcessor(source.get(), destination.get(), tables, factor)
{
}

OVImageProcessor::~OVImageProcessor() = default;

OVAbstractImage* OVImageProcessor::SourceImage() const
{
    return d->Source();
}

unsigned short OVImageProcessor::RenderQueueCount() const
{
    return d->Count();
}

int OVImageProcessor::ClearRenderQueue()
{
    return d->Clear();
}

int OVImageProcessor::Render()
{
    return d->Render();
}

int OVImageProcessor::SetStackBlur(
    unsigned int radius, bool horizontal, bool vertical, OVChannelsToProcess channels)
{
    if (!horizontal && !vertical)
        return ResultInvalidArgument;
    const int scaled = ScaledRadius(radius, d->Factor());
    return d->Append([&] {
        return std::make_shared<StackBlurRenderer>(scaled, horizontal, vertical, channels);
    });
}

} // namespace orv::image
