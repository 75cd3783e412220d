// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ItemLists.h>
#include <app/MTerr.h>

#include <ovimageengine/OVImage.h>

#include <QTransform>

#include <memory>

namespace orv {
class OVLookupTables;
}
namespace orv::image {
class OVAbstractImageCompositor;
}

namespace mtra::app {

class Canvas;

using ImagePtr = std::shared_ptr<orv::image::OVAbstractImage>;

/// Whether rendering applies an item: enabled by the user, active, and doing something at all
/// (an item the program never showed is not applied while it is neutral).
template <typename Item> bool IsApplied(const Item& item)
{
    return item.IsEnabled() && item.IsActive() && item.HasEffect();
}

/// The spill channel matching the screen colour the key list keys: that of its last applied
/// colour-difference item, or for "automatic" the colour detected in `source`. Green when
/// the list has no such item.
orv::image::OVChannel SpillChannelForKeys(const KeyList& keys, const ImagePtr& source);

/// Keys `source` into `destination` with the applied items of `keys`, in list order; the
/// keyer always runs at full factor. Spill items pull the channel of the screen colour keyed
/// (`SpillChannelForKeys`), whatever channel they store. Results: 22 no source or no pixels,
/// 38 not 8-bit, 16 nothing to apply (the caller copies), 0 done, 39 out of memory, 26 any
/// other failure, exceptions included: nothing is thrown. `known`, when given, is the screen
/// colour already detected in this very `source`; "automatic" then takes it without scanning the
/// photo again.
MTerr KeyStage(const KeyList& keys, orv::OVLookupTables& tables, const ImagePtr& source,
    const ImagePtr& destination, const orv::image::OVKeyColor* known = nullptr);

/// Filters `source` into `destination` at `factor` with the applied items of `filters`. As
/// `KeyStage`, with 15 for nothing to apply; nothing is thrown.
MTerr FilterStage(const FilterList& filters, orv::OVLookupTables& tables,
    orv::image::OVDownsampleFactor factor, const ImagePtr& source, const ImagePtr& destination);

/// Queues the foreground window image on `compositor` as the foreground's composite items
/// say: the opacity is 1 − the transparency of the last applied flatten item (1 without one);
/// with `backgroundShown` and an applied light-spill item (the last one) the layer is lit by
/// the background, else it is laid over it normally. The compositor's result, mapped: 0, 39
/// for out of memory, 29 otherwise.
MTerr AddForeground(orv::image::OVAbstractImageCompositor& compositor,
    const CompositeList* composites, const ImagePtr& layer, bool backgroundShown,
    orv::image::OVDownsampleFactor factor);

/// Where the preview puts a layer before its own transforms: the window anchor, the zoom and
/// the canvas offset, each converted to the factor's pixels by truncation.
QTransform PreviewPlacement(const Canvas& canvas, orv::image::OVDownsampleFactor factor);

/// Appends the layer's transforms to `placement`: each applied, non-identity transformation
/// item (translation in units of half the scaled layer plus half the canvas, rotation in
/// degrees, scale; negative scales mirror), then the move of the layer's centre to the origin.
/// `scale` is the factor's value (1 for export); canvas sizes are in full-size pixels.
QTransform LayerTransform(QTransform placement, const TransformList& transforms,
    unsigned int sourceWidth, unsigned int sourceHeight, unsigned int canvasWidth,
    unsigned int canvasHeight, float scale);

/// Draws `source` into `destination` (both 8-bit blue-green-red-alpha `OVImage8`) through
/// `transform`, over what `destination` holds. 22 when either image is missing or not an
/// `OVImage8`, else 0.
MTerr DrawTransformed(
    const ImagePtr& source, const ImagePtr& destination, const QTransform& transform, bool smooth);

/// Copies `source` into `destination` where `DrawTransformed` over opaque pixels would give
/// `source` itself, byte for byte: the transform is the identity, both are `OVImage8` of the
/// same size and every pixel of `source` is opaque. False otherwise; `destination` may then hold
/// part of the copy, so the caller fills it before it draws.
bool CopyWhenPlacedAsIs(
    const ImagePtr& source, const ImagePtr& destination, const QTransform& transform);

/// Makes `layer` itself what `DrawTransformed` would draw of it onto a fresh transparent picture
/// of `width` × `height`, byte for byte, when that is the identity (the transform is the identity
/// and the sizes agree): the painter's own rounding of translucent pixels included, without a
/// second canvas-size picture. False, `layer` untouched, otherwise. The caller owns `layer`
/// alone. Throws std::bad_alloc when memory runs out.
bool PlaceAsIsInPlace(
    const ImagePtr& layer, unsigned int width, unsigned int height, const QTransform& transform);

} // namespace mtra::app
