// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"
#include "LargeBuffer.h"
#include "processor/Avx2Support.h"

#include <ovimageengine/OVEnums.h>

#include <memory>
#include <vector>

namespace orv::image {

/// The engine's general blur: a stack blur (weights falling off linearly from the centre, an
/// approximation of a Gaussian) of all four bytes of every pixel, along rows and then columns.
///
/// `Prepare` blurs the rows of its input into a row-blurred copy (four bytes per pixel, the
/// divided row sums of each channel) on W worker threads of its own; each `Render` worker then
/// blurs its share of the columns of that copy into the destination. Where the AVX2 passes
/// run, `Prepare` also blurs the columns, in place over the copy, and each `Render` worker
/// copies its byte range of the result. Work per pixel does not depend on the radius. Only
/// `Bits8` inputs are blurred; for any other the destination is left untouched.
///
/// Used by the processor facade (`SetStackBlur`) and, constructed directly, by the light-spill
/// compositor, which runs it like a queue stage: `Prepare`, then the workers.
/// Threads: `Prepare` on the calling thread; `Render` from the workers, reading the stage only.
class StackBlurRenderer : public AbstractRenderer
{
public:
    /// radius: in pixels of the image to blur (already scaled by the preview factor). Negative
    /// values blur nothing; values above `stackblur::kMaxRadius` are limited to it. The two
    /// flags and the channel selection are kept for the facade's check only: the stage always
    /// blurs both directions and all four bytes. avx2: whether the passes may take their AVX2
    /// loops (tests turn it off to compare them with the generic ones).
    StackBlurRenderer(int radius, bool horizontal, bool vertical, OVChannelsToProcess channels,
        bool avx2 = Avx2Available());
    ~StackBlurRenderer() override;

    bool NeedsWholeImage() const override { return true; }
    void Prepare(OVAbstractImage* source) override;
    /// `Prepare` for the image that is `source` with the alpha of every pixel replaced by
    /// 255 − the alpha of the same pixel of `alphaSource` (same size and order), without making
    /// that image: the light-spill compositor's light outside the subject. `Render` then takes
    /// `source` as its input.
    void PrepareWithInvertedAlpha(
        const OVAbstractImage* source, const OVAbstractImage* alphaSource);
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    /// After a `Prepare`: true when the column pass can also run in place over the row-blurred
    /// copy (`BlurInPlace`) on `workers` workers; the copy is then the blurred image itself.
    bool CanBlurInPlace(unsigned workers) const
    {
        return m_rows && UsesRowPairs() && workers <= m_tailWorkers;
    }
    /// The column pass of worker `index` of `count` written over the row-blurred copy instead
    /// of a destination; only where `CanBlurInPlace(count)`. For users that run the blur inside
    /// a pass of their own (the light spill's `Prepare`), not for queue workers, which read the
    /// stage only.
    void BlurInPlace(unsigned index, unsigned count);
    /// After every `BlurInPlace` worker has been joined: the blurred image (width × height
    /// pixels of the last `Prepare`), handed over; the stage keeps nothing.
    LargeBuffer<unsigned char> TakeBlurred();

    /// The radius as constructed.
    int Radius() const { return m_radius; }
    /// The radius the stage blurs with (0 … `stackblur::kMaxRadius`).
    int EffectiveRadius() const { return m_effectiveRadius; }
    bool Horizontal() const { return m_horizontal; }
    bool Vertical() const { return m_vertical; }
    OVChannelsToProcess Channels() const { return m_channels; }

private:
    // How sums are divided by (r + 1)²: `stackblur::FloatDivide`, the table, or directly.
    enum class Division { Float, Table, Direct };

    void PrepareRows(const OVAbstractImage* source, const OVAbstractImage* alphaSource);
    // The AVX2 row pass blurs two rows at a time from their interleaved pixels.
    bool UsesRowPairs() const { return m_avx2 && m_division == Division::Float; }
    void BlurRows(const OVAbstractImage* source, const OVAbstractImage* alphaSource,
        unsigned char* assembled, unsigned index, unsigned count) const;

    int m_radius;
    int m_effectiveRadius;
    bool m_horizontal;
    bool m_vertical;
    OVChannelsToProcess m_channels;
    bool m_avx2;

    // Built by Prepare for its input.
    std::size_t m_width = 0;
    std::size_t m_height = 0;
    Division m_division = Division::Float;
    LargeBuffer<unsigned char> m_rows;
    // True when Prepare ran the column pass too: the copy is the blurred image.
    bool m_blurred = false;
    // Per worker, the results of the columns `BlurInPlace` leaves to the generic pass.
    std::vector<unsigned char> m_tails;
    unsigned m_tailWorkers = 0;
    std::vector<int> m_rowEdge;
    std::vector<int> m_columnEdge;
    std::unique_ptr<unsigned char[]> m_divisionTable;
};

} // namespace orv::image
