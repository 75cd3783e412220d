// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "keyer/SpillSuppressor.h"

#include "ImageAccess.h"
#include "WorkSplit.h"

#include <cstring>

namespace orv::image {

namespace {

// X + ((X* − X) × k) >> 8 with a flooring shift: the pull is k ÷ 256 of the way, rounded
// towards minus infinity. (Right shifts of negative values are arithmetic on every compiler we
// build with, and defined so from C++20.)
inline int Pull(int value, int target, int k)
{
    return value + (((target - value) * k) >> 8);
}

// The rule for one pixel layout, written so that the compiler can keep several pixels in
// vector registers: selects instead of branches.
template <OVChannel Channel, bool Extended>
void SuppressRange(
    const unsigned char* __restrict in, unsigned char* __restrict out, std::size_t pixels, int k)
{
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned char* p = in + i * 4;
        unsigned char* q = out + i * 4;
        const int b = p[0];
        const int g = p[1];
        const int r = p[2];
        int tb = b;
        int tg = g;
        int tr = r;
        if (Channel == ChannelGreen) {
            if (Extended) {
                const int average = (b + r) >> 1;
                const bool spill = g > average;
                tg = spill ? average : g;
                tr = spill && b > r ? average : r;
            } else {
                tg = g > b ? b : g;
            }
        } else {
            if (Extended) {
                const int average = (g + r) >> 1;
                const bool spill = b > average;
                tb = spill ? average : b;
                tr = spill && g > r ? average : r;
            } else {
                tb = b > g ? g : b;
            }
        }
        q[0] = static_cast<unsigned char>(Pull(b, tb, k));
        q[1] = static_cast<unsigned char>(Pull(g, tg, k));
        q[2] = static_cast<unsigned char>(Pull(r, tr, k));
        q[3] = p[3];
    }
}

} // namespace

SpillSuppressor::SpillSuppressor(OVChannel channel, bool extended, double strength)
    : m_channel(channel)
    , m_extended(extended)
    , m_strength(strength)
{
}

void SpillSuppressor::Suppress(
    OVChannel channel, bool extended, int k, unsigned char& b, unsigned char& g, unsigned char& r)
{
    const unsigned char in[4] = { b, g, r, 0 };
    unsigned char out[4] = { b, g, r, 0 };
    if (channel == ChannelGreen && extended)
        SuppressRange<ChannelGreen, true>(in, out, 1, k);
    else if (channel == ChannelGreen)
        SuppressRange<ChannelGreen, false>(in, out, 1, k);
    else if (channel == ChannelBlue && extended)
        SuppressRange<ChannelBlue, true>(in, out, 1, k);
    else if (channel == ChannelBlue)
        SuppressRange<ChannelBlue, false>(in, out, 1, k);
    b = out[0];
    g = out[1];
    r = out[2];
}

void SpillSuppressor::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8)
        return;
    const WorkRange range = ThreadPixelRange(PixelCount(source), threadIndex, threadCount);
    const unsigned char* in = Bytes(source) + range.begin * 4;
    unsigned char* out = Bytes(destination) + range.begin * 4;
    const int k = static_cast<int>(m_strength * 255);
    if (m_channel == ChannelGreen && m_extended)
        SuppressRange<ChannelGreen, true>(in, out, range.Size(), k);
    else if (m_channel == ChannelGreen)
        SuppressRange<ChannelGreen, false>(in, out, range.Size(), k);
    else if (m_channel == ChannelBlue && m_extended)
        SuppressRange<ChannelBlue, true>(in, out, range.Size(), k);
    else if (m_channel == ChannelBlue)
        SuppressRange<ChannelBlue, false>(in, out, range.Size(), k);
    else
        std::memcpy(out, in, range.Size() * 4);
}

} // namespace orv::image
