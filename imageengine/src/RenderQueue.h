// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractCompositor.h"
#include "AbstractRenderer.h"
#include "ExceptionCode.h"

#include <ovimageengine/OVImage.h>

#include <climits>
#include <memory>
#include <vector>

namespace orv {
class OVLookupTables;
}

namespace orv::image {

/// True when value lies in [low, high]; NaN never does.
inline bool InRange(double value, double low, double high)
{
    return value >= low && value <= high;
}

/// A radius given in full-size pixels scaled by the preview factor: the integer part of
/// radius × `DownsampleValue(factor)`, limited to INT_MAX (a larger product has no int value).
inline int ScaledRadius(unsigned int radius, OVDownsampleFactor factor)
{
    const double scaled = radius * DownsampleValue(factor);
    return scaled >= double(INT_MAX) ? INT_MAX : static_cast<int>(scaled);
}

/// Record of one worker of a keyer or processor stage; lives until the stage is joined.
struct RenderThreadData {
    unsigned char threadIndex;
    unsigned char threadCount;
    OVAbstractImage* source;
    OVAbstractImage* destination;
    std::shared_ptr<AbstractRenderer> renderer;
};

/// Record of one worker of a compositor stage.
struct CompositeThreadData {
    unsigned char threadIndex;
    unsigned char threadCount;
    OVAbstractImage* background;
    std::shared_ptr<AbstractCompositor> compositor;
};

/// The private record and queue shared by `OVImageKeyer` and `OVImageProcessor`: stages run in
/// the order appended, chained from the source through at most two intermediate images into
/// the destination.
class RendererQueue
{
public:
    RendererQueue(OVAbstractImage* source, OVAbstractImage* destination, OVLookupTables& tables,
        OVDownsampleFactor factor);

    OVAbstractImage* Source() const { return m_source; }
    OVLookupTables& Tables() const { return *m_tables; }
    OVDownsampleFactor Factor() const { return m_factor; }
    unsigned short Count() const;
    int Clear();
    /// 0, or the code of the last failure; see OVImageEngine.h for the rules.
    int Render();

    /// The chroma blur shared by keyer and processor: appends a `YUVBlurRenderer` with the
    /// radius scaled by the factor and the type unchecked; 0, or the code of a failure.
    int SetYUVBlur(unsigned int radius, OVYUVBlurType type);

    /// Appends the stage that make() returns; 0, or the code of what make() threw.
    template <typename MakeStage> int Append(MakeStage&& make)
    {
        return GuardedCall(ResultRuntimeError, [&] {
            m_queue.push_back(make());
            return 0;
        });
    }

private:
    int RunStages();

    OVAbstractImage* m_source;
    OVAbstractImage* m_destination;
    OVLookupTables* m_tables;
    OVDownsampleFactor m_factor;
    std::vector<std::shared_ptr<AbstractRenderer>> m_queue;
};

/// The private record and queue of `OVImageCompositor`: every stage works in place on the
/// background.
class CompositorQueue
{
public:
    CompositorQueue(OVAbstractImage* background, double opacity, OVLookupTables& tables,
        OVDownsampleFactor factor);

    OVAbstractImage* Background() const { return m_background; }
    double Opacity() const { return m_opacity; }
    OVLookupTables& Tables() const { return *m_tables; }
    OVDownsampleFactor Factor() const { return m_factor; }
    unsigned short Count() const;
    int Clear();
    int Render();

    template <typename MakeStage> int Append(MakeStage&& make)
    {
        return GuardedCall(ResultRuntimeError, [&] {
            m_queue.push_back(make());
            return 0;
        });
    }

private:
    int RunStages();

    OVAbstractImage* m_background;
    double m_opacity;
    OVLookupTables* m_tables;
    OVDownsampleFactor m_factor;
    std::vector<std::shared_ptr<AbstractCompositor>> m_queue;
};

} // namespace orv::image
