// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// The engine's enumerations. Several are stored as integers in project files, so every value
/// is fixed. Each has `int` as its underlying type: project files and callers may hand over any
/// integer, and the stages define what values outside the named ones do.

namespace orv::image {

/// Byte order of a pixel. Every pixel takes four bytes whatever the order.
enum OVPixelChannelOrder : int {
    PixelOrderBGRA = 1, ///< blue, green, red, alpha: a 0xAARRGGBB word stored little-endian
    PixelOrderARGB = 2, ///< alpha, red, green, blue
};

/// Depth of a channel; the engine knows 8 bits only.
enum OVBitsPerChannel : int {
    Bits8 = 0,
};

/// Scale of a preview relative to full size; facades multiply radii by `DownsampleValue`.
enum OVDownsampleFactor : int {
    DownsampleFull = 0, ///< 1.0
    DownsampleHalf = 1, ///< 0.5
    DownsampleThird = 2, ///< 0.33 (not one third)
    DownsampleQuarter = 3, ///< 0.25
};

/// Screen colour of a key; stored in project files.
enum OVKeyColor : int {
    KeyColorAuto = 0, ///< detect from the image at every render
    KeyColorGreen = 1,
    KeyColorBlue = 2,
};

/// Channel that carries spill. Note the reverse numbering of `OVKeyColor`.
enum OVChannel : int {
    ChannelBlue = 1,
    ChannelGreen = 2,
};

/// Kind of the chroma blur; stored in project files (default 3). Other values blur nothing.
enum OVYUVBlurType : int {
    YUVBlurBoxRows = 0,
    YUVBlurBoxColumns = 1,
    YUVBlurBoxRowsColumns = 2,
    YUVBlurStack = 3, ///< shown to users as "Gaussian"
};

/// Bytes a filter acts on; stored in project files under `colorOrAlpha` (default 4).
/// Values 0 … 2 exist and are refused where a setter says so.
enum OVChannelsToProcess : int {
    ChannelsNone0 = 0,
    ChannelsNone1 = 1,
    ChannelsNone2 = 2,
    ChannelsAlpha = 3, ///< alpha byte only
    ChannelsColor = 4, ///< the three colour bytes, alpha copied
    ChannelsAll = 5, ///< all four bytes
};

/// Blend mode of a composited layer; stored in project files (default 7). Values above 13
/// behave as `BlendModeNormal`.
enum OVBlendMode : int {
    BlendModeAdd = 0,
    BlendModeColorBurn = 1,
    BlendModeColorDodge = 2,
    BlendModeDarken = 3,
    BlendModeDifference = 4,
    BlendModeExclusion = 5,
    BlendModeHardLight = 6,
    BlendModeLighten = 7,
    BlendModeMultiply = 8,
    BlendModeNormal = 9,
    BlendModeOverlay = 10,
    BlendModeScreen = 11,
    BlendModeSoftLight = 12,
    BlendModeReplace = 13,
};

/// The blend modes a project file may store, `BlendModeAdd` … `BlendModeSoftLight`;
/// `BlendModeReplace` is the engine's own.
constexpr OVBlendMode kFirstStoredBlendMode = BlendModeAdd;
constexpr OVBlendMode kLastStoredBlendMode = BlendModeSoftLight;
/// The number of named blend modes, 0 … 13.
constexpr int kBlendModeCount = BlendModeReplace + 1;

} // namespace orv::image
