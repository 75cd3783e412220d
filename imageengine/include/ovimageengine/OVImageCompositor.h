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
};

/// Compositor facade: blends queued layers onto the background image, in place.
/// Ownership: keeps plain pointers to the background and the layers; the caller keeps them and
/// the lookup tables alive until the facade is destroyed.
/// Threads: one calling thread; `Render` blocks while the stages run on worker threads.
class OVIMAGEENGINE_EXPORT OVImageCompositor : public OVAbstractImageCompositor
{
public:
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

private:
    std::unique_ptr<CompositorQueue> d;
};

} // namespace orv::image
