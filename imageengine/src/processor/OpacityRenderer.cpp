// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/OpacityRenderer.h"

namespace orv::image {

OpacityRenderer::OpacityRenderer(double opacity, const CpuFeatures& features)
    : TableRenderer(features)
    , m_opacity(opacity)
{
}

void OpacityRenderer::Prepare(OVAbstractImage*)
{
    for (int c = 0; c < 3; ++c)
        m_tables.SetIdentity(c);
    for (int v = 0; v < 256; ++v)
        m_tables.entry[3][v] = pixeltables::Clamp(static_cast<int>(v * m_opacity));
    const double factor[4] = { 1.0, 1.0, 1.0, m_opacity };
    const double offset[4] = { 0, 0, 0, 0 };
    UseScale(offset, factor);
}

} // namespace orv::image
