// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/TableRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"

namespace orv::image {

bool TableRenderer::SelectedBytes(OVChannelsToProcess channels, bool selected[4])
{
    const bool colour = channels == ChannelsColor || channels == ChannelsAll;
    const bool alpha = channels == ChannelsAlpha || channels == ChannelsAll;
    selected[0] = selected[1] = selected[2] = colour;
    selected[3] = alpha;
    return colour || alpha;
}

bool TableRenderer::IsVectorised() const
{
    return m_features.UsesSse2() && (m_path == Path::Add || m_path == Path::Scale);
}

void TableRenderer::UseAdd(const int delta[4])
{
    for (int c = 0; c < 4; ++c)
        m_delta[c] = delta[c];
    m_path = Path::Add;
}

void TableRenderer::UseScale(const double offset[4], const double factor[4])
{
    m_path = m_features.UsesSse2() && pixeltables::FitScale(m_tables, offset, factor, &m_scale)
        ? Path::Scale
        : Path::Tables;
}

void TableRenderer::UseTablesOnly()
{
    m_path = Path::Tables;
}

void TableRenderer::WriteNothing()
{
    m_path = Path::Nothing;
}

void TableRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (m_path == Path::Nothing || source->BitsPerChannel() != Bits8
        || (m_requiredOrder != 0 && source->PixelChannelOrder() != m_requiredOrder))
        return;
    const WorkRange range = ThreadByteRange(PixelCount(source), threadIndex, threadCount);
    if (range.IsEmpty())
        return;
    const unsigned char* in = Bytes(source) + range.begin;
    unsigned char* out = Bytes(destination) + range.begin;
    const bool sse2 = m_features.UsesSse2();
    if (sse2 && m_path == Path::Add)
        pixeltables::ApplyAddSse2(in, out, range.Size(), m_delta, m_tables);
    else if (sse2 && m_path == Path::Scale)
        pixeltables::ApplyScaleSse2(in, out, range.Size(), m_scale, m_tables);
    else
        pixeltables::Apply(in, out, range.Size(), m_tables);
}

} // namespace orv::image
