// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"
#include "CpuFeatures.h"
#include "processor/PixelTables.h"

#include <ovimageengine/OVEnums.h>

namespace orv::image {

/// Common part of the pixel-wise filters driven by per-byte tables (brightness, colour
/// balance, colour temperature, super contrast, opacity): `Prepare` of the subclass builds the
/// tables and names a vectorised form; `Render` runs each worker's `ThreadByteRange` through
/// the SSE2 form when the recorded features allow it, else through the tables. Both give the
/// same bytes.
class TableRenderer : public AbstractRenderer
{
public:
    bool NeedsWholeImage() const override { return false; }
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    /// The features recorded at construction.
    const CpuFeatures& Features() const { return m_features; }
    /// After `Prepare`: true when `Render` will take a vectorised loop.
    bool IsVectorised() const;
    /// After `Prepare`: the tables (entry [c][v] for byte c of value v).
    const pixeltables::Tables& Tables() const { return m_tables; }

    /// The bytes a channel selection acts on: 3 alpha, 4 the colour bytes, 5 all four; false
    /// (and nothing selected) for any other value.
    static bool SelectedBytes(OVChannelsToProcess channels, bool selected[4]);

protected:
    explicit TableRenderer(const CpuFeatures& features)
        : m_features(features)
    {
    }

    /// Called by `Prepare` after the tables are built: the vectorised form when the tables
    /// follow clamp(v + delta[c]) ...
    void UseAdd(const int delta[4]);
    /// ... or clamp(trunc((v + offset[c]) × factor[c])) (used when a single-precision fit
    /// reproduces the tables) ...
    void UseScale(const double offset[4], const double factor[4]);
    /// ... or the tables alone; or nothing at all (`Render` then writes nothing).
    void UseTablesOnly();
    void WriteNothing();
    /// Sources whose order differs from this are left alone; 0 accepts every order.
    void RequireOrder(int order) { m_requiredOrder = order; }

    pixeltables::Tables m_tables {};

private:
    enum class Path { Nothing, Tables, Add, Scale };

    CpuFeatures m_features;
    Path m_path = Path::Nothing;
    int m_delta[4] = { 0, 0, 0, 0 };
    pixeltables::Scale m_scale;
    int m_requiredOrder = PixelOrderBGRA;
};

} // namespace orv::image
