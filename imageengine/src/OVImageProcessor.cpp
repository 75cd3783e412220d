// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageProcessor.h>

#include "RenderQueue.h"
#include "processor/BrightnessRenderer.h"
#include "processor/ColorBalanceRenderer.h"
#include "processor/ColorTemperatureRenderer.h"
#include "processor/HueColorizeRenderer.h"
#include "processor/MirrorRenderer.h"
#include "processor/OpacityRenderer.h"
#include "processor/SaturationRenderer.h"
#include "processor/StackBlurRenderer.h"
#include "processor/SuperContrastRenderer.h"

namespace orv::image {

OVAbstractImageProcessor::~OVAbstractImageProcessor() = default;

OVImageProcessor::OVImageProcessor(OVAbstractImage* source, OVAbstractImage* destination,
    OVLookupTables& tables, OVDownsampleFactor factor)
    : d(std::make_unique<RendererQueue>(source, destination, tables, factor))
{
}

OVImageProcessor::OVImageProcessor(std::shared_ptr<OVAbstractImage> source,
    std::shared_ptr<OVAbstractImage> destination, OVLookupTables& tables, OVDownsampleFactor factor)
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

int OVImageProcessor::SetBrightness(double brightness, OVChannelsToProcess channels)
{
    if (!InRange(brightness, -1.0, 1.0))
        return ResultOutOfRange;
    if (channels == ChannelsNone0 || channels == ChannelsNone1 || channels == ChannelsNone2)
        return ResultUnsupported;
    return d->Append([&] { return std::make_shared<BrightnessRenderer>(brightness, channels); });
}

int OVImageProcessor::SetColorBalance(double red, double green, double blue)
{
    if (!InRange(red, 0.0, 2.0) || !InRange(green, 0.0, 2.0) || !InRange(blue, 0.0, 2.0))
        return ResultOutOfRange;
    return d->Append([&] { return std::make_shared<ColorBalanceRenderer>(red, green, blue); });
}

int OVImageProcessor::SetColorTemperature(double temperature)
{
    if (!InRange(temperature, 1500.0, 13500.0))
        return ResultOutOfRange;
    return d->Append([&] { return std::make_shared<ColorTemperatureRenderer>(temperature); });
}

int OVImageProcessor::SetSuperContrast(double black, double white, OVChannelsToProcess channels)
{
    if (!InRange(black, 0.0, 1.0) || !InRange(white, 0.0, 1.0))
        return ResultOutOfRange;
    return d->Append(
        [&] { return std::make_shared<SuperContrastRenderer>(black, white, channels); });
}

int OVImageProcessor::SetHueColorize(double hue, double strength)
{
    if (!InRange(hue, 0.0, 360.0) || !InRange(strength, 0.0, 1.0))
        return ResultOutOfRange;
    return d->Append([&] { return std::make_shared<HueColorizeRenderer>(hue, strength); });
}

int OVImageProcessor::SetMirror(bool horizontal, bool vertical)
{
    return d->Append([&] { return std::make_shared<MirrorRenderer>(horizontal, vertical); });
}

int OVImageProcessor::SetOpacity(double opacity)
{
    if (!InRange(opacity, 0.0, 1.0))
        return ResultOutOfRange;
    return d->Append([&] { return std::make_shared<OpacityRenderer>(opacity); });
}

int OVImageProcessor::SetSaturation(double saturation)
{
    if (!InRange(saturation, 0.0, 2.0))
        return ResultOutOfRange;
    return d->Append([&] { return std::make_shared<SaturationRenderer>(saturation); });
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

int OVImageProcessor::SetYUVBlur(unsigned int radius, OVYUVBlurType type)
{
    return d->SetYUVBlur(radius, type);
}

} // namespace orv::image
