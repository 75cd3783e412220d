// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/SaturationRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"

#include <algorithm>

namespace orv::image {

SaturationRenderer::SaturationRenderer(double saturation)
    : m_saturation(saturation)
{
}

void SaturationRenderer::Prepare(OVAbstractImage*)
{
    m_reciprocals[0] = 0.0;
    for (int i = 1; i < 256; ++i)
        m_reciprocals[i] = 1.0 / i;
}

void SaturationRenderer::Saturate(double saturation, const double* reciprocals, unsigned char& r,
    unsigned char& g, unsigned char& b)
{
    // RGB to HSV and back (Smith, "Color Gamut Transform Pairs", SIGGRAPH 1978), with value on
    // 0 … 255.
    const int v = std::max({ r, g, b });
    const int mn = std::min({ r, g, b });
    const double s = v == 0 ? 0.0 : (v - mn) * reciprocals[v];
    double hue = 0;
    if (s != 0) {
        double h;
        if (r == v)
            h = double(g - b) / (v - mn);
        else if (g == v)
            h = 2 + double(b - r) / (v - mn);
        else
            h = 4 + double(r - g) / (v - mn);
        hue = 60 * h;
        if (hue < 0)
            hue += 360;
    }
    const double s2 = std::min(s * saturation, 1.0);
    if (s == 0 || s2 == 0) {
        r = g = b = static_cast<unsigned char>(v);
        return;
    }
    const double q = hue / 60;
    int i = static_cast<int>(q);
    const double f = q - i;
    const int p = static_cast<int>(v * (1 - s2));
    const int qv = static_cast<int>(v * (1 - s2 * f));
    const int t = static_cast<int>(v * (1 - s2 * (1 - f)));
    int rr;
    int gg;
    int bb;
    switch (i) {
    case 1:
        rr = qv, gg = v, bb = p;
        break;
    case 2:
        rr = p, gg = v, bb = t;
        break;
    case 3:
        rr = p, gg = qv, bb = v;
        break;
    case 4:
        rr = t, gg = p, bb = v;
        break;
    case 5:
        rr = v, gg = p, bb = qv;
        break;
    default: // 0 (and 6, a hue of exactly 360)
        rr = v, gg = t, bb = p;
        break;
    }
    r = static_cast<unsigned char>(rr);
    g = static_cast<unsigned char>(gg);
    b = static_cast<unsigned char>(bb);
}

void SaturationRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8 || source->PixelChannelOrder() != PixelOrderBGRA)
        return;
    const WorkRange range = ThreadByteRange(PixelCount(source), threadIndex, threadCount);
    const unsigned char* in = Bytes(source);
    unsigned char* out = Bytes(destination);
    for (std::size_t i = range.begin; i < range.end; i += 4) {
        unsigned char b = in[i];
        unsigned char g = in[i + 1];
        unsigned char r = in[i + 2];
        Saturate(m_saturation, m_reciprocals, r, g, b);
        out[i] = b;
        out[i + 1] = g;
        out[i + 2] = r;
        out[i + 3] = in[i + 3];
    }
}

} // namespace orv::image
