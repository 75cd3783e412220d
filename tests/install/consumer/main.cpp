// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
// A program of another project that finds the installed libraries with find_package and keys a
// tiny green image through the public headers only.
#include <ovcommon/OVCommon.h>
#include <ovimageengine/OVImageEngine.h>

#include <cstdio>
#include <memory>

int main()
{
    using namespace orv::image;
    orv::OVLookupTables tables(true);
    auto source = std::make_shared<OVImage8>(2, 1, PixelOrderBGRA, true);
    auto destination = std::make_shared<OVImage8>(2, 1, PixelOrderBGRA, true);
    unsigned char* p = source->Buffer();
    p[1] = 200; // a green pixel
    p[3] = 255;
    p[6] = 90; // a red one
    p[7] = 255;
    OVImageKeyer keyer(source, destination, tables, DownsampleFull);
    if (keyer.SetAutoColorDifferenceKey(KeyColorAuto, 0.5, 0.0, 0.0) != 0 || keyer.Render() != 0)
        return 1;
    std::printf("alpha %d %d\n", destination->Buffer()[3], destination->Buffer()[7]);
    return destination->Buffer()[7] == 255 ? 0 : 1;
}
