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

private:
    std::unique_ptr<RendererQueue> d;
};

} // namespace orv::image
