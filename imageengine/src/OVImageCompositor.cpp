// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovimageengine/OVImageCompositor.h>

#include "ImageAccess.h"
#include "RenderQueue.h"
#include "compositor/BlendModes.h"
#include "compositor/LayerCompositor.h"
#include "compositor/LightSpillLayerCompositor.h"

#include <array>
#include <cstdint>

namespace orv::image {

namespace {

    // The background fade of the constructor; runs on the calling thread before any stage.
    void FadeBackground(OVAbstractImage* background, double opacity)
    {
        if (!background || !(opacity < 1.0) || background->BitsPerChannel() != Bits8
            || background->PixelChannelOrder() != PixelOrderBGRA)
            return;
        // An empty image has no buffer at all.
        const std::size_t pixels = PixelCount(background);
        if (pixels == 0)
            return;
        const std::array<std::uint8_t, 256> faded = ScaledAlphaTable(opacity);
        unsigned char* alpha = Bytes(background) + 3;
        for (std::size_t i = 0; i < pixels; ++i)
            alpha[i * 4] = faded[alpha[i * 4]];
    }

    // Checks shared by both setters, in the order of their codes.
    int CheckLayer(const OVAbstractImage* background, const OVAbstractImage* layer)
    {
        if (!background || !layer)
            return ResultInvalidArgument;
        if (!SameLayout(background, layer))
            return ResultImageMismatch;
        return ResultSuccess;
    }

} // namespace

OVAbstractImageCompositor::~OVAbstractImageCompositor() = default;

OVImageCompositor::OVImageCompositor(
    OVAbstractImage* background, double opacity, OVLookupTables& tables, OVDownsampleFactor factor)
    : d(std::make_unique<CompositorQueue>(background, opacity, tables, factor))
{
    FadeBackground(background, opacity);
}

OVImageCompositor::OVImageCompositor(std::shared_ptr<OVAbstractImage> background, double opacity,
    OVLookupTables& tables, OVDownsampleFactor factor)
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

int OVImageCompositor::AddLayer(
    OVAbstractImage* layer, double opacity, OVBlendMode mode, bool alphaCompositing)
{
    if (const int check = CheckLayer(d->Background(), layer))
        return check;
    if (!InRange(opacity, 0.0, 1.0))
        return ResultOutOfRange;
    return d->Append([&] {
        return std::make_shared<LayerCompositor>(
            layer, opacity, mode, alphaCompositing, d->Tables());
    });
}

int OVImageCompositor::AddLayer(
    std::shared_ptr<OVAbstractImage> layer, double opacity, OVBlendMode mode, bool alphaCompositing)
{
    return AddLayer(layer.get(), opacity, mode, alphaCompositing);
}

int OVImageCompositor::AddLightSpillLayer(OVAbstractImage* layer, int radius, double strength,
    OVBlendMode mode, OVDownsampleFactor factor)
{
    if (const int check = CheckLayer(d->Background(), layer))
        return check;
    if (radius < 0)
        return ResultOutOfRange;
    // The facade's own factor scales the radius; the argument is only kept by the stage.
    const int scaled = ScaledRadius(static_cast<unsigned>(radius), d->Factor());
    return d->Append([&] {
        return std::make_shared<LightSpillLayerCompositor>(
            layer, scaled, strength, mode, factor, d->Tables());
    });
}

int OVImageCompositor::AddLightSpillLayer(std::shared_ptr<OVAbstractImage> layer, int radius,
    double strength, OVBlendMode mode, OVDownsampleFactor factor)
{
    return AddLightSpillLayer(layer.get(), radius, strength, mode, factor);
}

} // namespace orv::image
