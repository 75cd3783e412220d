// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageKeyer.h>

#include "RenderQueue.h"
#include "keyer/AlphaCrop.h"
#include "keyer/ColorDifferenceKeyer.h"
#include "keyer/SpillSuppressor.h"

namespace orv::image {

OVAbstractImageKeyer::~OVAbstractImageKeyer() = default;

OVImageKeyer::OVImageKeyer(OVAbstractImage* source, OVAbstractImage* destination,
    OVLookupTables& tables, OVDownsampleFactor factor)
    : d(std::make_unique<RendererQueue>(source, destination, tables, factor))
{
}

OVImageKeyer::OVImageKeyer(std::shared_ptr<OVAbstractImage> source,
    std::shared_ptr<OVAbstractImage> destination, OVLookupTables& tables, OVDownsampleFactor factor)
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

int OVImageKeyer::SetYUVBlur(unsigned int radius, OVYUVBlurType type)
{
    return d->SetYUVBlur(radius, type);
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

int OVImageKeyer::SetSpillSuppression(OVChannel channel, bool extended, double transparency)
{
    if (!InRange(transparency, 0.0, 1.0))
        return ResultOutOfRange;
    // A preview at a smaller scale pulls proportionally less.
    const double strength = transparency * DownsampleValue(d->Factor());
    return d->Append(
        [&] { return std::make_shared<SpillSuppressor>(channel, extended, strength); });
}

int OVImageKeyer::SetAlphaCrop(double left, double top, double right, double bottom)
{
    if (!InRange(left, 0.0, 1.0) || !InRange(right, 0.0, 1.0) || !InRange(top, 0.0, 1.0)
        || !InRange(bottom, 0.0, 1.0))
        return ResultOutOfRange;
    return d->Append([&] { return std::make_shared<AlphaCrop>(left, top, right, bottom); });
}

} // namespace orv::image
