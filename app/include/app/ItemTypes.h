// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

namespace mtra::app {

/// What `AbstractFilterItem::Type()` returns.
enum FilterItemType : int {
    BrightnessFilter = 0,
    SaturationFilter = 1,
    SuperContrastFilter = 2,
    ColorTemperatureFilter = 3,
    ColorBalanceFilter = 4,
    HueColorizeFilter = 5,
    TransparencyFilter = 6,
    BlurFilter = 7,
    MirrorFilter = 8,
};

/// What `AbstractKeyItem::Type()` returns.
enum KeyItemType : int {
    YuvBlurKey = 0,
    AutoColorDifferenceKey = 1,
    SpillSuppressionKey = 2,
    CropKey = 3,
};

/// What `AbstractCompositeItem::Type()` returns.
enum CompositeItemType : int {
    FlattenComposite = 0,
    LightSpillComposite = 1,
};

/// What `AbstractTransformItem::Type()` returns.
enum TransformItemType : int {
    TransformationTransform = 0,
    FitTransform = 1,
};

/// How the overlay is fitted; stored in project files. 1 and 2 are accepted when loading but
/// have no meaning of their own.
enum FitTo : int {
    FitModeCanvas = 0, ///< the program derives the overlay's scale from canvas and overlay sizes
    FitModeNone = 3, ///< actual size
};

} // namespace mtra::app
