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

/// Interface of the keyer facade (see `OVImageKeyer`).
class OVIMAGEENGINE_EXPORT OVAbstractImageKeyer
{
public:
    virtual ~OVAbstractImageKeyer();
    virtual OVAbstractImage* SourceImage() const = 0;
    virtual unsigned short RenderQueueCount() const = 0;
    virtual int ClearRenderQueue() = 0;
    virtual int Render() = 0;
    virtual int SetYUVBlur(unsigned int radius, OVYUVBlurType type) = 0;
    virtual int SetAutoColorDifferenceKey(
        OVKeyColor keyColor, double keyDetail, double greyDetail, double greyThreshold)
        = 0;
    virtual int SetSpillSuppression(OVChannel channel, bool extended, double transparency) = 0;
    virtual int SetAlphaCrop(double left, double top, double right, double bottom) = 0;
};

/// Keyer facade: queues keying stages and runs them from the source into the destination.
///
/// Ownership: keeps plain pointers to the images, also when given shared pointers; the caller
/// keeps both images and the lookup tables alive until the facade is destroyed. Source and
/// destination must agree in width, height, order and depth (`Render` returns 1000 otherwise).
/// Threads: one calling thread; `Render` blocks while the stages run on worker threads.
class OVIMAGEENGINE_EXPORT OVImageKeyer : public OVAbstractImageKeyer
{
public:
    OVImageKeyer(OVAbstractImage* source, OVAbstractImage* destination, OVLookupTables& tables,
        OVDownsampleFactor factor);
    OVImageKeyer(std::shared_ptr<OVAbstractImage> source,
        std::shared_ptr<OVAbstractImage> destination, OVLookupTables& tables,
        OVDownsampleFactor factor);
    ~OVImageKeyer() override;

    OVImageKeyer(const OVImageKeyer&) = delete;
    OVImageKeyer& operator=(const OVImageKeyer&) = delete;

    OVAbstractImage* SourceImage() const override;
    unsigned short RenderQueueCount() const override;
    int ClearRenderQueue() override;
    int Render() override;

    /// Chroma blur before keying: converts to YUV, blurs the two chroma bytes with the radius
    /// (full-size pixels, scaled by the facade's factor) and converts back. Types: 0 box along
    /// rows, 1 box along columns, 2 box along both, 3 stack blur along both; any other value
    /// only converts there and back. Nothing is checked; always 0 unless appending fails.
    int SetYUVBlur(unsigned int radius, OVYUVBlurType type) override;

    /// Colour-difference key with automatic levels. 7 when keyDetail, greyDetail or
    /// greyThreshold (checked in that order) lies outside 0 … 1; the key colour is not checked
    /// (a colour other than green or blue keys nothing).
    int SetAutoColorDifferenceKey(
        OVKeyColor keyColor, double keyDetail, double greyDetail, double greyThreshold) override;

    /// Pulls the spill channel (`ChannelGreen` for a green screen, `ChannelBlue` for blue; any
    /// other value changes nothing) towards the other channels; extended also pulls red. The
    /// strength is transparency × the facade's preview scale. 7 when transparency lies outside
    /// 0 … 1; the channel is not checked.
    int SetSpillSuppression(OVChannel channel, bool extended, double transparency) override;

    /// Clears the alpha outside the rectangle left by cutting the given fractions (0 … 1) of
    /// the width and height from each side; column 0 and row 0 are always cleared. 7 for the
    /// first value outside 0 … 1, checked in the order left, right, top, bottom.
    int SetAlphaCrop(double left, double top, double right, double bottom) override;

private:
    std::unique_ptr<RendererQueue> d;
};

/// Writes `KeyColorGreen` or `KeyColorBlue` into keyColor: blue when fewer pixels are
/// green-dominant than blue-dominant, else green. threadCount ≤ 0 gives green without reading
/// the image. Runs threadCount POSIX threads; throws std::runtime_error("Cannot create thread" /
/// "Cannot join thread") on a thread failure (no code mapping here: the caller catches).
OVIMAGEENGINE_EXPORT void AutoDetectKeyColor(
    OVImage8* image, int threadCount, OVKeyColor* keyColor);

} // namespace orv::image
