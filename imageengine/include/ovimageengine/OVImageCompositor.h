// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImage.h>

#include <memory>

namespace orv {
class OVLookupTables;
}

namespace orv::image {

class CompositorQueue;

/// Interface of the compositor facade (see `OVImageCompositor`).
class OVIMAGEENGINE_EXPORT OVAbstractImageCompositor
{
public:
    virtual ~OVAbstractImageCompositor();
    virtual OVAbstractImage* BackgroundLayer() const = 0;
    virtual unsigned short RenderQueueCount() const = 0;
    virtual int ClearRenderQueue() = 0;
    virtual int Render() = 0;
    virtual int AddLayer(
        OVAbstractImage* layer, double opacity, OVBlendMode mode, bool alphaCompositing)
        = 0;
    virtual int AddLayer(std::shared_ptr<OVAbstractImage> layer, double opacity, OVBlendMode mode,
        bool alphaCompositing)
        = 0;
    virtual int AddLightSpillLayer(OVAbstractImage* layer, int radius, double strength,
        OVBlendMode mode, OVDownsampleFactor factor)
        = 0;
    virtual int AddLightSpillLayer(std::shared_ptr<OVAbstractImage> layer, int radius,
        double strength, OVBlendMode mode, OVDownsampleFactor factor)
        = 0;
};

/// Compositor facade: blends queued layers onto the background image, in place, in the order
/// they were added.
///
/// Ownership: keeps plain pointers to the background and the layers, also when given shared
/// pointers; the caller keeps them and the lookup tables alive until the facade is destroyed.
/// Threads: one calling thread; `Render` blocks while the stages run on worker threads.
///
/// Every stage reads the bytes of a pixel as B, G, R, A and does nothing on an image that is
/// not `Bits8`. A layer may be the background itself.
class OVIMAGEENGINE_EXPORT OVImageCompositor : public OVAbstractImageCompositor
{
public:
    /// When opacity < 1 and the background is `Bits8` in `PixelOrderBGRA`, fades it at once
    /// on the calling thread: every alpha becomes the integer part of alpha × opacity, limited
    /// to 0 … 255 (a negative opacity gives 0); colours stay. The opacity is not range-checked
    /// and NaN fades nothing.
    OVImageCompositor(OVAbstractImage* background, double opacity, OVLookupTables& tables,
        OVDownsampleFactor factor);
    OVImageCompositor(std::shared_ptr<OVAbstractImage> background, double opacity,
        OVLookupTables& tables, OVDownsampleFactor factor);
    ~OVImageCompositor() override;

    OVImageCompositor(const OVImageCompositor&) = delete;
    OVImageCompositor& operator=(const OVImageCompositor&) = delete;

    OVAbstractImage* BackgroundLayer() const override;
    unsigned short RenderQueueCount() const override;
    int ClearRenderQueue() override;
    int Render() override;

    /// Queues a layer blended in `mode` with weight w = integer part of its alpha × opacity.
    /// With alphaCompositing the result is the layer (its colour mixed in `mode` with the
    /// premultiplied background) placed over the background, alpha included; without it the
    /// background alpha stays and each colour byte moves towards the mix by w ÷ 256
    /// (`BlendModeReplace` then copies the layer colour unweighted).
    /// Returns 4 for a null layer or background, 1000 when the layer differs from the
    /// background in width, height, order or depth, 7 when opacity lies outside 0 … 1 (NaN
    /// included), else 0. Any mode value is accepted: values outside 0 … 13 act as
    /// `BlendModeNormal`.
    int AddLayer(
        OVAbstractImage* layer, double opacity, OVBlendMode mode, bool alphaCompositing) override;
    int AddLayer(std::shared_ptr<OVAbstractImage> layer, double opacity, OVBlendMode mode,
        bool alphaCompositing) override;

    /// Queues a keyed layer lit by the background: each render blurs the background light
    /// outside the layer's subject (alpha 255 − layer alpha) with a stack blur of radius
    /// integer part of radius × `DownsampleValue` of this facade's factor (full-size pixels
    /// in), tints the layer colour with that light in `mode`, then moves the background colour
    /// towards the tinted colour by w = integer part of layer alpha × strength, limited to
    /// 0 … 255; the background alpha stays. The factor argument is kept but not used.
    /// Returns 4 for a null layer or background, 1000 on a layout mismatch, 7 when radius < 0,
    /// else 0. The strength is not range-checked.
    int AddLightSpillLayer(OVAbstractImage* layer, int radius, double strength, OVBlendMode mode,
        OVDownsampleFactor factor) override;
    int AddLightSpillLayer(std::shared_ptr<OVAbstractImage> layer, int radius, double strength,
        OVBlendMode mode, OVDownsampleFactor factor) override;

private:
    std::unique_ptr<CompositorQueue> d;
};

} // namespace orv::image
