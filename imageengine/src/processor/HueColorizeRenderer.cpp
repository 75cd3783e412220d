// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/HueColorizeRenderer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"
#include "processor/PixelTables.h"

#include <algorithm>

namespace orv::image {

namespace {

// One channel of the HLS to RGB conversion on the 0 … 360 scale (Foley and van Dam, Computer
// Graphics: Principles and Practice, HLS_TO_RGB), in integers; t is brought into 0 … 360 once.
int HueValue(int m1, int m2, int t)
{
    if (t < 0)
        t += 360;
    else if (t > 360)
        t -= 360;
    if (t < 60)
        return m1 + ((m2 - m1) * t + 30) / 60;
    if (t < 180)
        return m2;
    if (t < 240)
        return m1 + ((m2 - m1) * (240 - t) + 30) / 60;
    return m1;
}

} // namespace

HueColorizeRenderer::HueColorizeRenderer(double hue, double strength)
    : m_hue(hue)
    , m_keep(1.0 - strength)
{
}

void HueColorizeRenderer::Colorize(int hue, int& r, int& g, int& b)
{
    // RGB to HLS with lightness and saturation on 0 … 360; the pixel's own hue is not needed.
    const int mx = std::max({ r, g, b });
    const int mn = std::min({ r, g, b });
    const int l = ((mx + mn) * 360 + 255) / 510;
    if (mx == mn)
        return;
    const int f = l <= 180 ? mx + mn : 510 - mx - mn;
    const int s = ((mx - mn) * 360 + f / 2) / f;
    if (s == 0)
        return;
    const int m2 = l <= 180 ? (l * (360 + s) + 180) / 360 : l + s - (l * s + 180) / 360;
    const int m1 = 2 * l - m2;
    r = (HueValue(m1, m2, hue + 120) * 255 + 180) / 360;
    g = (HueValue(m1, m2, hue) * 255 + 180) / 360;
    b = (HueValue(m1, m2, hue - 120) * 255 + 180) / 360;
}

void HueColorizeRenderer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8)
        return;
    const WorkRange range = ThreadByteRange(PixelCount(source), threadIndex, threadCount);
    const bool argb = source->PixelChannelOrder() == PixelOrderARGB;
    const int ib = argb ? 3 : 0;
    const int ig = argb ? 2 : 1;
    const int ir = argb ? 1 : 2;
    const int ia = argb ? 0 : 3;
    const int hue = static_cast<int>(m_hue);
    const unsigned char* in = Bytes(source);
    unsigned char* out = Bytes(destination);
    for (std::size_t i = range.begin; i < range.end; i += 4) {
        const int ownB = in[i + ib];
        const int ownG = in[i + ig];
        const int ownR = in[i + ir];
        int r = ownR;
        int g = ownG;
        int b = ownB;
        Colorize(hue, r, g, b);
        auto mix = [this](int own, int colorized) {
            return pixeltables::Clamp(static_cast<int>((own - colorized) * m_keep + colorized));
        };
        out[i + ib] = mix(ownB, b);
        out[i + ig] = mix(ownG, g);
        out[i + ir] = mix(ownR, r);
        out[i + ia] = in[i + ia];
    }
}

} // namespace orv::image
