// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "processor/TableRenderer.h"

namespace orv::image {

/// Colour temperature: scales blue, green and red by the colour of a black body at the given
/// temperature in kelvin (its chromaticity at luminance 1, in linear RGB):
/// clamp(trunc(v × coefficient)).
/// Any `Bits8` source: in `PixelOrderARGB` byte 0 (alpha) is copied and bytes 1 … 3 are red,
/// green, blue; in every other order bytes 0 … 2 are blue, green, red and byte 3 is copied.
/// Vectorised (where SSE2 is present) by single-precision scaling, checked against the tables.
class ColorTemperatureRenderer : public TableRenderer
{
public:
    explicit ColorTemperatureRenderer(
        double kelvin, const CpuFeatures& features = CpuFeatures::Detected());
    void Prepare(OVAbstractImage* source) override;

    /// The red, green and blue coefficients at a temperature.
    static void Coefficients(double kelvin, double* red, double* green, double* blue);

private:
    double m_kelvin;
};

} // namespace orv::image
