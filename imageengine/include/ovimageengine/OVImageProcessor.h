// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImage.h>

#include <memory>

namespace orv {
class OVLookupTables;
}

namespace orv::image {

class RendererQueue;

/// Interface of the processor facade (see `OVImageProcessor`).
class OVIMAGEENGINE_EXPORT OVAbstractImageProcessor
{
public:
    virtual ~OVAbstractImageProcessor();
    virtual OVAbstractImage* SourceImage() const = 0;
    virtual unsigned short RenderQueueCount() const = 0;
    virtual int ClearRenderQueue() = 0;
    virtual int Render() = 0;
    virtual int SetBrightness(double brightness, OVChannelsToProcess channels) = 0;
    virtual int SetColorBalance(double red, double green, double blue) = 0;
    virtual int SetColorTemperature(double temperature) = 0;
    virtual int SetSuperContrast(double black, double white, OVChannelsToProcess channels) = 0;
    virtual int SetHueColorize(double hue, double strength) = 0;
    virtual int SetMirror(bool horizontal, bool vertical) = 0;
    virtual int SetOpacity(double opacity) = 0;
    virtual int SetSaturation(double saturation) = 0;
    virtual int SetStackBlur(
        unsigned int radius, bool horizontal, bool vertical, OVChannelsToProcess channels)
        = 0;
    virtual int SetYUVBlur(unsigned int radius, OVYUVBlurType type) = 0;
};

/// Processor facade: queues filter stages and runs them from the source into the destination.
/// Ownership and threads as for `OVImageKeyer`.
///
/// Stages act on `Bits8` images and leave any other destination untouched. Brightness, colour
/// balance, super contrast, opacity and saturation need `PixelOrderBGRA`; colour temperature
/// and hue colorize also read `PixelOrderARGB`; mirror and the blurs move whole pixels of any
/// order.
class OVIMAGEENGINE_EXPORT OVImageProcessor : public OVAbstractImageProcessor
{
public:
    OVImageProcessor(OVAbstractImage* source, OVAbstractImage* destination, OVLookupTables& tables,
        OVDownsampleFactor factor);
    OVImageProcessor(std::shared_ptr<OVAbstractImage> source,
        std::shared_ptr<OVAbstractImage> destination, OVLookupTables& tables,
        OVDownsampleFactor factor);
    ~OVImageProcessor() override;

    OVImageProcessor(const OVImageProcessor&) = delete;
    OVImageProcessor& operator=(const OVImageProcessor&) = delete;

    OVAbstractImage* SourceImage() const override;
    unsigned short RenderQueueCount() const override;
    int ClearRenderQueue() override;
    int Render() override;

    /// Adds trunc(brightness × 255) to the selected bytes (clamped): channels 4 the colour
    /// bytes, 3 alpha, 5 all four. 7 when brightness lies outside −1 … 1; 10 for channels 0, 1
    /// or 2 (other values are accepted and the stage writes nothing).
    int SetBrightness(double brightness, OVChannelsToProcess channels) override;
    /// Scales red, green and blue by their factors. 7 unless each lies in 0 … 2.
    int SetColorBalance(double red, double green, double blue) override;
    /// Tints by the colour of a black body at `temperature` kelvin. 7 outside 1500 … 13500.
    int SetColorTemperature(double temperature) override;
    /// Levels: maps black … white (fractions of 255) onto the full range. 7 unless both lie in
    /// 0 … 1; channels as for `SetBrightness` but not checked (0 … 2 write nothing).
    int SetSuperContrast(double black, double white, OVChannelsToProcess channels) override;
    /// Gives coloured pixels the hue (degrees, 0 … 360) with the strength (0 … 1); 7 outside.
    int SetHueColorize(double hue, double strength) override;
    /// Mirrors left to right and/or top to bottom; with neither flag the image is copied.
    int SetMirror(bool horizontal, bool vertical) override;
    /// Multiplies alpha by opacity (0 … 1); 7 outside.
    int SetOpacity(double opacity) override;
    /// Multiplies the HSV saturation by saturation (0 … 2); 7 outside.
    int SetSaturation(double saturation) override;
    /// Stack blur of all four bytes along rows and columns. radius in full-size pixels (scaled
    /// by the facade's factor; radii above 2^24 pixels are limited to that). 4 when both
    /// horizontal and vertical are false; otherwise the stage always blurs both directions and
    /// every byte (the flags and the channel selection are not consulted further).
    int SetStackBlur(
        unsigned int radius, bool horizontal, bool vertical, OVChannelsToProcess channels) override;
    /// Chroma blur (see `OVImageKeyer::SetYUVBlur`).
    int SetYUVBlur(unsigned int radius, OVYUVBlurType type) override;

private:
    std::unique_ptr<RendererQueue> d;
};

} // namespace orv::image
