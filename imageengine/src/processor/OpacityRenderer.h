// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "processor/TableRenderer.h"

namespace orv::image {

/// Opacity: alpha = clamp(trunc(alpha × opacity)); colour bytes copied. Only `Bits8` sources in
/// `PixelOrderBGRA`. SSE2: single-precision scaling, checked against the table in `Prepare`.
class OpacityRenderer : public TableRenderer
{
public:
    explicit OpacityRenderer(double opacity, const CpuFeatures& features = CpuFeatures::Detected());
    void Prepare(OVAbstractImage* source) override;

private:
    double m_opacity;
};

} // namespace orv::image
