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
    virtual int SetAutoColorDifferenceKey(OVKeyColor keyColor, double keyDetail,
        double greyDetail, double greyThreshold)
        = 0;
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

    /// Colour-difference key with automatic levels. 7 when keyDetail, greyDetail or
    /// greyThreshold (checked in that order) lies outside 0 … 1; the key colour is not checked
    /// (a colour other than green or blue keys nothing).
    int SetAutoColorDifferenceKey(OVKeyColor keyColor, double keyDetail, double greyDetail,
        double greyThreshold) override;

private:
    std::unique_ptr<RendererQueue> d;
};

/// Writes `KeyColorGreen` or `KeyColorBlue` into keyColor: blue when fewer pixels are
/// green-dominant than blue-dominant, else green. threadCount ≤ 0 gives green without reading
/// the image. Runs threadCount POSIX threads; throws std::runtime_error("Cannot create thread" /
/// "Cannot join thread") on a thread failure (no code mapping here: the caller catches).
OVIMAGEENGINE_EXPORT void AutoDetectKeyColor(OVImage8* image, int threadCount,
    OVKeyColor* keyColor);

} // namespace orv::image
