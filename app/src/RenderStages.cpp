// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "RenderStages.h"

#include <app/Canvas.h>

#include <ovimageengine/OVImageCompositor.h>
#include <ovimageengine/OVImageKeyer.h>
#include <ovimageengine/OVImageProcessor.h>
#include <ovimageengine/OVImageSupport.h>
#include <ovimageengine/OVResultCode.h>

#include "RenderGuard.h"
#include "WholePixels.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace mtra::app {

using orv::image::OVImage8;

namespace {

// Checks shared by the key and filter stages; MT_OK when the stage may run.
MTerr CheckSource(const ImagePtr& source)
{
    if (!source || (source->Width() == 0 && source->Height() == 0))
        return MT_NO_SOURCE_IMAGE;
    if (source->BitsPerChannel() != orv::image::Bits8)
        return MT_UNSUPPORTED_BIT_DEPTH;
    return MT_OK;
}

// A QImage over an engine image's pixels, without copying. ARGB32 is stored as blue, green,
// red, alpha on the little-endian machines the program runs on.
QImage WrapPixels(OVImage8& image)
{
    return QImage(image.Buffer(), static_cast<int>(image.Width()), static_cast<int>(image.Height()),
        static_cast<qsizetype>(image.Width()) * 4, QImage::Format_ARGB32);
}

const AutoColorDifferenceKeyItem* LastColourKey(const KeyList& keys)
{
    const AutoColorDifferenceKeyItem* colourKey = nullptr;
    for (auto it = keys.Begin(); it != keys.End(); ++it)
        if ((*it)->Type() == AutoColorDifferenceKey && IsApplied(**it))
            colourKey = static_cast<const AutoColorDifferenceKeyItem*>(it->get());
    return colourKey;
}

orv::image::OVKeyColor DetectedKeyColor(const ImagePtr& source)
{
    orv::image::OVKeyColor colour = orv::image::KeyColorGreen;
    if (auto* pixels = dynamic_cast<OVImage8*>(source.get()))
        orv::image::AutoDetectKeyColor(
            pixels, static_cast<int>(orv::image::RenderWorkerCount()), &colour);
    return colour;
}

orv::image::OVChannel SpillChannelOf(orv::image::OVKeyColor colour)
{
    return colour == orv::image::KeyColorBlue ? orv::image::ChannelBlue : orv::image::ChannelGreen;
}

// True when every pixel of `bytes` bytes of 8-bit BGRA pixels is opaque.
bool AllOpaque(const unsigned char* pixels, std::size_t bytes)
{
    unsigned char alpha = 255;
    for (std::size_t i = 3; i < bytes; i += 4)
        alpha &= pixels[i];
    return alpha == 255;
}

} // namespace

orv::image::OVChannel SpillChannelForKeys(const KeyList& keys, const ImagePtr& source)
{
    const AutoColorDifferenceKeyItem* colourKey = LastColourKey(keys);
    if (colourKey == nullptr)
        return orv::image::ChannelGreen;
    const orv::image::OVKeyColor colour = colourKey->KeyColor();
    return SpillChannelOf(colour == orv::image::KeyColorAuto ? DetectedKeyColor(source) : colour);
}

MTerr KeyStage(const KeyList& keys, orv::OVLookupTables& tables, const ImagePtr& source,
    const ImagePtr& destination, const orv::image::OVKeyColor* known)
{
    return Guarded(MT_STAGE_RENDER_FAILED, [&] {
        if (const MTerr checked = CheckSource(source))
            return checked;
        if (keys.Size() == 0 || keys.EnabledCount() == 0 || keys.ActiveCount() == 0)
            return MT_NOTHING_TO_KEY;

        // "Automatic" is resolved once for the whole stage: the colour keys and the spill
        // items then agree, and the photo is scanned once instead of once per item.
        bool anyAuto = false;
        for (auto it = keys.Begin(); it != keys.End(); ++it)
            anyAuto = anyAuto
                || ((*it)->Type() == AutoColorDifferenceKey && IsApplied(**it)
                    && static_cast<const AutoColorDifferenceKeyItem&>(**it).KeyColor()
                        == orv::image::KeyColorAuto);
        const orv::image::OVKeyColor detected = !anyAuto
            ? orv::image::KeyColorGreen
            : (known != nullptr ? *known : DetectedKeyColor(source));
        auto resolve = [&](orv::image::OVKeyColor colour) {
            return colour == orv::image::KeyColorAuto ? detected : colour;
        };
        const AutoColorDifferenceKeyItem* lastColourKey = LastColourKey(keys);
        // The spill channel is not stored with the project, so a spill item still says green on
        // a blue screen: it would pull the green of the subject and keep the blue fringe.
        const orv::image::OVChannel spillChannel = lastColourKey
            ? SpillChannelOf(resolve(lastColourKey->KeyColor()))
            : orv::image::ChannelGreen;

        // Previews at quarter size key at full factor too: the keyer's radii are image-relative.
        orv::image::OVImageKeyer keyer(source, destination, tables, orv::image::DownsampleFull);
        unsigned int handedOver = 0;
        for (auto it = keys.Begin(); it != keys.End(); ++it) {
            if (!IsApplied(**it))
                continue;
            ++handedOver;
            if ((*it)->Type() == SpillSuppressionKey) {
                SpillSuppressionKeyItem spill(static_cast<const SpillSuppressionKeyItem&>(**it));
                spill.SetChannel(spillChannel);
                spill.AddToImageKeyer(keyer);
            } else if ((*it)->Type() == AutoColorDifferenceKey) {
                AutoColorDifferenceKeyItem key(
                    static_cast<const AutoColorDifferenceKeyItem&>(**it));
                key.SetKeyColor(resolve(key.KeyColor()));
                key.AddToImageKeyer(keyer);
            } else {
                (*it)->AddToImageKeyer(keyer);
            }
        }
        // Items that are ticked but neutral key nothing: the photo passes on unkeyed, as with
        // an empty list, rather than as whatever the destination held.
        if (handedOver == 0)
            return MT_NOTHING_TO_KEY;
        return OutOfMemoryElse(keyer.Render(), MT_STAGE_RENDER_FAILED);
    });
}

MTerr FilterStage(const FilterList& filters, orv::OVLookupTables& tables,
    orv::image::OVDownsampleFactor factor, const ImagePtr& source, const ImagePtr& destination)
{
    return Guarded(MT_STAGE_RENDER_FAILED, [&] {
        if (const MTerr checked = CheckSource(source))
            return checked;
        if (filters.Size() == 0 || filters.EnabledCount() == 0 || filters.ActiveCount() == 0)
            return MT_NOTHING_TO_FILTER;

        orv::image::OVImageProcessor processor(source, destination, tables, factor);
        unsigned int handedOver = 0;
        for (auto it = filters.Begin(); it != filters.End(); ++it) {
            if (!IsApplied(**it))
                continue;
            (*it)->AddToImageProcessor(processor);
            ++handedOver;
        }
        if (handedOver == 0)
            return MT_NOTHING_TO_FILTER;
        return OutOfMemoryElse(processor.Render(), MT_STAGE_RENDER_FAILED);
    });
}

MTerr AddForeground(orv::image::OVAbstractImageCompositor& compositor,
    const CompositeList* composites, const ImagePtr& layer, bool backgroundShown,
    orv::image::OVDownsampleFactor factor)
{
    const FlattenCompositeItem* flatten = nullptr;
    const LightSpillCompositeItem* lightSpill = nullptr;
    if (composites != nullptr) {
        for (auto it = composites->Begin(); it != composites->End(); ++it) {
            if (!IsApplied(**it))
                continue;
            if ((*it)->Type() == FlattenComposite)
                flatten = static_cast<const FlattenCompositeItem*>(it->get());
            else if ((*it)->Type() == LightSpillComposite)
                lightSpill = static_cast<const LightSpillCompositeItem*>(it->get());
        }
    }
    const float opacity
        = flatten ? 1.0f - static_cast<float>(flatten->ForegroundTransparency()) : 1.0f;
    int result = 0;
    // Light spill brings the background's light onto the subject; without a background there
    // is no light to spill.
    if (backgroundShown && lightSpill != nullptr)
        result = compositor.AddLightSpillLayer(layer,
            static_cast<int>(std::min<unsigned int>(
                WholePixels(lightSpill->Blur()), std::numeric_limits<int>::max())),
            opacity, lightSpill->BlendMode(), factor);
    else
        result = compositor.AddLayer(layer, opacity, orv::image::BlendModeNormal, true);
    return OutOfMemoryElse(result, MT_CANVAS_NOT_COMPOSED);
}

QTransform PreviewPlacement(const Canvas& canvas, orv::image::OVDownsampleFactor factor)
{
    const float v = static_cast<float>(orv::image::DownsampleValue(factor));
    QTransform transform;
    transform.translate(std::trunc(canvas.CentreX() * v), std::trunc(canvas.CentreY() * v));
    transform.scale(canvas.Scale(), canvas.Scale());
    transform.translate(std::trunc(canvas.PositionX() * v), std::trunc(canvas.PositionY() * v));
    return transform;
}

QTransform LayerTransform(QTransform placement, const TransformList& transforms,
    unsigned int sourceWidth, unsigned int sourceHeight, unsigned int canvasWidth,
    unsigned int canvasHeight, float scale)
{
    for (auto it = transforms.Begin(); it != transforms.End(); ++it) {
        if ((*it)->Type() != TransformationTransform || !(*it)->IsEnabled() || !(*it)->IsActive())
            continue;
        const auto& item = static_cast<const TransformationTransformItem&>(**it);
        // qFuzzyCompare cannot compare with 0, so the zero tests are exact, as Qt's own
        // identity test of a transform does.
        if (item.TranslateX() == 0 && item.TranslateY() == 0 && item.Rotation() == 0
            && qFuzzyCompare(item.ScaleX(), 1.0) && qFuzzyCompare(item.ScaleY(), 1.0))
            continue;
        // A translation of 1 moves the layer's centre by half its scaled size plus half the
        // canvas: the layer then lies just outside the canvas. Mirroring keeps the unit's sign.
        const float absX = std::fabs(static_cast<float>(item.ScaleX()));
        const float absY = std::fabs(static_cast<float>(item.ScaleY()));
        const double unitX = std::trunc(sourceWidth * 0.5 * absX + canvasWidth * scale * 0.5);
        const double unitY = std::trunc(sourceHeight * 0.5 * absY + canvasHeight * scale * 0.5);
        placement.translate(item.TranslateX() * unitX, item.TranslateY() * unitY);
        placement.rotate(item.Rotation(), Qt::ZAxis);
        placement.scale(item.ScaleX(), item.ScaleY());
    }
    placement.translate(-(sourceWidth * 0.5), -(sourceHeight * 0.5));
    return placement;
}

bool CopyWhenPlacedAsIs(
    const ImagePtr& source, const ImagePtr& destination, const QTransform& transform)
{
    auto* from = dynamic_cast<OVImage8*>(source.get());
    auto* to = dynamic_cast<OVImage8*>(destination.get());
    if (from == nullptr || to == nullptr || transform.type() != QTransform::TxNone
        || from->Width() != to->Width() || from->Height() != to->Height()
        || from->Buffer() == nullptr || to->Buffer() == nullptr)
        return false;
    const std::size_t row = std::size_t(from->Width()) * 4;
    for (unsigned int y = 0; y < from->Height(); ++y) {
        const unsigned char* in = from->Buffer() + y * row;
        // Row by row, while the row is in the cache: check its alpha, then copy it.
        if (!AllOpaque(in, row))
            return false;
        std::memcpy(to->Buffer() + y * row, in, row);
    }
    return true;
}

bool PlaceAsIsInPlace(
    const ImagePtr& layer, unsigned int width, unsigned int height, const QTransform& transform)
{
    auto* pixels = dynamic_cast<OVImage8*>(layer.get());
    if (pixels == nullptr || pixels->Buffer() == nullptr || transform.type() != QTransform::TxNone
        || pixels->Width() != width || pixels->Height() != height || width == 0 || height == 0)
        return false;
    // At the identity every pixel is drawn on its own, so a band of rows drawn by the painter
    // from a copy of itself onto cleared rows is what the whole picture drawn at once would be.
    // Bands without a translucent pixel (most of a keyed photo) are kept as they are.
    constexpr unsigned int kBand = 32;
    const std::size_t row = std::size_t(width) * 4;
    QImage copy(static_cast<int>(width), static_cast<int>(kBand), QImage::Format_ARGB32);
    if (copy.isNull())
        throw std::bad_alloc();
    for (unsigned int top = 0; top < height; top += kBand) {
        const unsigned int rows = std::min(kBand, height - top);
        unsigned char* band = pixels->Buffer() + top * row;
        if (AllOpaque(band, rows * row))
            continue;
        for (unsigned int y = 0; y < rows; ++y)
            std::memcpy(copy.scanLine(static_cast<int>(y)), band + y * row, row);
        std::memset(band, 0, rows * row);
        QImage target(band, static_cast<int>(width), static_cast<int>(rows),
            static_cast<qsizetype>(row), QImage::Format_ARGB32);
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QPointF(0, 0), copy, QRectF(0, 0, width, rows));
    }
    return true;
}

MTerr DrawTransformed(
    const ImagePtr& source, const ImagePtr& destination, const QTransform& transform, bool smooth)
{
    auto* from = dynamic_cast<OVImage8*>(source.get());
    auto* to = dynamic_cast<OVImage8*>(destination.get());
    if (from == nullptr || to == nullptr)
        return MT_NO_SOURCE_IMAGE;
    if (from->Width() == 0 || from->Height() == 0 || to->Width() == 0 || to->Height() == 0)
        return MT_OK;
    const QImage layer = WrapPixels(*from);
    QImage target = WrapPixels(*to);
    QPainter painter(&target);
    painter.setTransform(transform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.drawImage(QPointF(0, 0), layer);
    painter.end();
    return MT_OK;
}

} // namespace mtra::app
