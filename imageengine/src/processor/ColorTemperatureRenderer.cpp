// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "processor/ColorTemperatureRenderer.h"

#include <algorithm>
#include <cmath>

namespace orv::image {

namespace {

// CIE 1931 2° standard observer colour-matching functions x̄, ȳ, z̄ from 380 nm to 780 nm in
// 5 nm steps, to four decimals: the standard colorimetric observer as published by the CIE
// (CIE 15, Colorimetry).
constexpr double kObserver[81][3] = {
    { 0.0014, 0.0000, 0.0065 }, { 0.0022, 0.0001, 0.0105 }, // 380 nm
    { 0.0042, 0.0001, 0.0201 }, { 0.0076, 0.0002, 0.0362 }, // 390 nm
    { 0.0143, 0.0004, 0.0679 }, { 0.0232, 0.0006, 0.1102 }, // 400 nm
    { 0.0435, 0.0012, 0.2074 }, { 0.0776, 0.0022, 0.3713 }, // 410 nm
    { 0.1344, 0.0040, 0.6456 }, { 0.2148, 0.0073, 1.0391 }, // 420 nm
    { 0.2839, 0.0116, 1.3856 }, { 0.3285, 0.0168, 1.6230 }, // 430 nm
    { 0.3483, 0.0230, 1.7471 }, { 0.3481, 0.0298, 1.7826 }, // 440 nm
    { 0.3362, 0.0380, 1.7721 }, { 0.3187, 0.0480, 1.7441 }, // 450 nm
    { 0.2908, 0.0600, 1.6692 }, { 0.2511, 0.0739, 1.5281 }, // 460 nm
    { 0.1954, 0.0910, 1.2876 }, { 0.1421, 0.1126, 1.0419 }, // 470 nm
    { 0.0956, 0.1390, 0.8130 }, { 0.0580, 0.1693, 0.6162 }, // 480 nm
    { 0.0320, 0.2080, 0.4652 }, { 0.0147, 0.2586, 0.3533 }, // 490 nm
    { 0.0049, 0.3230, 0.2720 }, { 0.0024, 0.4073, 0.2123 }, // 500 nm
    { 0.0093, 0.5030, 0.1582 }, { 0.0291, 0.6082, 0.1117 }, // 510 nm
    { 0.0633, 0.7100, 0.0782 }, { 0.1096, 0.7932, 0.0573 }, // 520 nm
    { 0.1655, 0.8620, 0.0422 }, { 0.2257, 0.9149, 0.0298 }, // 530 nm
    { 0.2904, 0.9540, 0.0203 }, { 0.3597, 0.9803, 0.0134 }, // 540 nm
    { 0.4334, 0.9950, 0.0087 }, { 0.5121, 1.0000, 0.0057 }, // 550 nm
    { 0.5945, 0.9950, 0.0039 }, { 0.6784, 0.9786, 0.0027 }, // 560 nm
    { 0.7621, 0.9520, 0.0021 }, { 0.8425, 0.9154, 0.0018 }, // 570 nm
    { 0.9163, 0.8700, 0.0017 }, { 0.9786, 0.8163, 0.0014 }, // 580 nm
    { 1.0263, 0.7570, 0.0011 }, { 1.0567, 0.6949, 0.0010 }, // 590 nm
    { 1.0622, 0.6310, 0.0008 }, { 1.0456, 0.5668, 0.0006 }, // 600 nm
    { 1.0026, 0.5030, 0.0003 }, { 0.9384, 0.4412, 0.0002 }, // 610 nm
    { 0.8544, 0.3810, 0.0002 }, { 0.7514, 0.3210, 0.0001 }, // 620 nm
    { 0.6424, 0.2650, 0.0000 }, { 0.5419, 0.2170, 0.0000 }, // 630 nm
    { 0.4479, 0.1750, 0.0000 }, { 0.3608, 0.1382, 0.0000 }, // 640 nm
    { 0.2835, 0.1070, 0.0000 }, { 0.2187, 0.0816, 0.0000 }, // 650 nm
    { 0.1649, 0.0610, 0.0000 }, { 0.1212, 0.0446, 0.0000 }, // 660 nm
    { 0.0874, 0.0320, 0.0000 }, { 0.0636, 0.0232, 0.0000 }, // 670 nm
    { 0.0468, 0.0170, 0.0000 }, { 0.0329, 0.0119, 0.0000 }, // 680 nm
    { 0.0227, 0.0082, 0.0000 }, { 0.0158, 0.0057, 0.0000 }, // 690 nm
    { 0.0114, 0.0041, 0.0000 }, { 0.0081, 0.0029, 0.0000 }, // 700 nm
    { 0.0058, 0.0021, 0.0000 }, { 0.0041, 0.0015, 0.0000 }, // 710 nm
    { 0.0029, 0.0010, 0.0000 }, { 0.0020, 0.0007, 0.0000 }, // 720 nm
    { 0.0014, 0.0005, 0.0000 }, { 0.0010, 0.0004, 0.0000 }, // 730 nm
    { 0.0007, 0.0002, 0.0000 }, { 0.0005, 0.0002, 0.0000 }, // 740 nm
    { 0.0003, 0.0001, 0.0000 }, { 0.0002, 0.0001, 0.0000 }, // 750 nm
    { 0.0002, 0.0001, 0.0000 }, { 0.0001, 0.0000, 0.0000 }, // 760 nm
    { 0.0001, 0.0000, 0.0000 }, { 0.0001, 0.0000, 0.0000 }, // 770 nm
    { 0.0000, 0.0000, 0.0000 }, // 780 nm
};

} // namespace

ColorTemperatureRenderer::ColorTemperatureRenderer(double kelvin, const CpuFeatures& features)
    : TableRenderer(features)
    , m_kelvin(kelvin)
{
    RequireOrder(0);
}

void ColorTemperatureRenderer::Coefficients(double kelvin, double* red, double* green, double* blue)
{
    // Planck's law for the spectral exitance of a black body, M(λ) = c1 λ⁻⁵ ÷ (exp(c2 ÷ λT) − 1)
    // with c1 = 2πhc² = 3.74183e-16 W m² and c2 = hc ÷ k = 0.014388 m K, weighted by the
    // colour-matching functions.
    double x = 0;
    double y = 0;
    double z = 0;
    int row = 0;
    for (double nm = 380; nm < 780.1; nm += 5, ++row) {
        const double lambda = nm * 1e-9;
        const double m
            = 3.74183e-16 * std::pow(lambda, -5.0) / (std::exp(0.014388 / (lambda * kelvin)) - 1.0);
        x += m * kObserver[row][0];
        y += m * kObserver[row][1];
        z += m * kObserver[row][2];
    }
    // Chromaticity, then the XYZ of that chromaticity at luminance 1.
    const double sum = x + y + z;
    const double cx = x / sum;
    const double cy = y / sum;
    double xn = 0;
    double yn = 0;
    double zn = 0;
    if (cy != 0) {
        xn = cx / cy;
        yn = 1;
        zn = (1 - cx - cy) / cy;
    }
    // XYZ to linear RGB.
    *red = 1.78276 * xn - 0.496985 * yn - 0.26901 * zn;
    *green = -0.959362 * xn + 1.9478 * yn - 0.0275807 * zn;
    *blue = 0.0859318 * xn - 0.174467 * yn + 1.32283 * zn;
}

void ColorTemperatureRenderer::Prepare(OVAbstractImage* source)
{
    double red = 0;
    double green = 0;
    double blue = 0;
    Coefficients(m_kelvin, &red, &green, &blue);
    double factor[4];
    if (source->PixelChannelOrder() == PixelOrderARGB) {
        const double argb[4] = { 1.0, red, green, blue };
        std::copy(argb, argb + 4, factor);
    } else {
        const double bgra[4] = { blue, green, red, 1.0 };
        std::copy(bgra, bgra + 4, factor);
    }
    for (int c = 0; c < 4; ++c) {
        for (int v = 0; v < 256; ++v)
            m_tables.entry[c][v] = pixeltables::Clamp(static_cast<int>(v * factor[c]));
    }
    const double offset[4] = { 0, 0, 0, 0 };
    UseScale(offset, factor);
}

} // namespace orv::image
