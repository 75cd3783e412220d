// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVImage.h>

#include <cstddef>

namespace orv::image {

/// Stages receive `OVAbstractImage` pointers and treat the buffer as `OVImage8`'s.
inline unsigned char* Bytes(OVAbstractImage* image)
{
    return static_cast<OVImage8*>(image)->Buffer();
}

inline const unsigned char* Bytes(const OVAbstractImage* image)
{
    return static_cast<const OVImage8*>(image)->Buffer();
}

inline std::size_t PixelCount(const OVAbstractImage* image)
{
    return std::size_t(image->Width()) * image->Height();
}

/// Width, height, channel order and depth all agree.
inline bool SameLayout(const OVAbstractImage* a, const OVAbstractImage* b)
{
    return a->Width() == b->Width() && a->Height() == b->Height()
        && a->PixelChannelOrder() == b->PixelChannelOrder()
        && a->BitsPerChannel() == b->BitsPerChannel();
}

} // namespace orv::image
