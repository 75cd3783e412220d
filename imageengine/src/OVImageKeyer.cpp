// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageKeyer.h>

#include "RenderQueue.h"
#include "keyer/ColorDifferenceKeyer.h"

namespace orv::image {

OVAbstractImageKeyer::~OVAbstractImageKeyer() = default;

OVImageKeyer::OVImageKeyer(OVAbstractImage* source, OVAbstractImage* destination,
    OVLookupTables& tables, OVDownsampleFactor factor)
    : d(std::make_unique<RendererQueue>(source, destination, tables, factor))
{
}

OVImageKeyer::OVImageKeyer(std::shared_ptr<OVAbstractImage> source,
    std::shared_ptr<OVAbstractImage> destination, OVLookupTables& tables,
    OVDownsampleFactor factor)
    : OVImageKeyer(source.get(), destination.get(), tables, factor)
{
}

OVImageKeyer::~OVImageKeyer() = default;

OVAbstractImage* OVImageKeyer::SourceImage() const
{
    return d->Source();
}

unsigned short OVImageKeyer::RenderQueueCount() const
{
    return d->Count();
}

int OVImageKeyer::ClearRenderQueue()
{
    return d->Clear();
}

int OVImageKeyer::Render()
{
    return d->Render();
}

int OVImageKeyer::SetAutoColorDifferenceKey(
    OVKeyColor keyColor, double keyDetail, double greyDetail, double greyThreshold)
{
    if (!InRange(keyDetail, 0.0, 1.0) || !InRange(greyDetail, 0.0, 1.0)
        || !InRange(greyThreshold, 0.0, 1.0))
        return ResultOutOfRange;
    return d->Append([&] {
        return std::make_shared<ColorDifferenceKeyer>(
            keyColor, keyDetail, greyDetail, greyThreshold, d->Tables());
    });
}

} // namespace orv::image
