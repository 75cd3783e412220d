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
    virtual int SetStackBlur(
        unsigned int radius, bool horizontal, bool vertical, OVChannelsToProcess channels)
        = 0;
};

/// Processor facade: queues filter stages and runs them from the source into the destination.
/// Ownership and threads as for `OVImageKeyer`.
class OVIMAGEENGINE_EXPORT OVImageProcessor : public OVAbstractImageProcessor
{
public:
    OVImageProcessor(OVAbstractImage* source, OVAbstractImage* destination,
        OVLookupTables& tables, OVDownsampleFactor factor);
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

    /// Stack blur of all four bytes along rows and columns. radius in full-size pixels (scaled
    /// by the facade's factor; radii above 2^24 pixels are limited to that). 4 when both
    /// horizontal and vertical are false; otherwise the stage always blurs both directions and
    /// every byte (the flags and the channel selection are not consulted further).
    int SetStackBlur(
        unsigned int radius, bool horizontal, bool vertical, OVChannelsToProcess channels) override;

private:
    std::unique_ptr<RendererQueue> d;
};

} // namespace orv::image
