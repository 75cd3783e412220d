// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImage.h>

#include "CpuFeatures.h"

namespace orv::image {

/// `FillImage` with the vector loop chosen from `features`, so that tests compare both loops.
int FillImage(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha,
    OVAbstractImage* image, const CpuFeatures& features);

} // namespace orv::image
