// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractRenderItem.h>
#include <app/ItemTypes.h>

#include <ovimageengine/OVEnums.h>

#include <memory>
#include <vector>

namespace orv::image {
class OVAbstractImageKeyer;
}

namespace mtra::app {

/// A step of the key of a foreground layer, applied by the image keyer. Held by `KeyList`
/// through shared pointers; GUI thread only. Setters store values unchanged: the keyer's
/// setters check ranges when the item is applied.
class APP_EXPORT AbstractKeyItem : public AbstractRenderItem
{
public:
    virtual KeyItemType Type() const = 0;
    /// Queues this step on `keyer`; the setter's result is ignored (a refused value queues
    /// nothing).
    virtual void AddToImageKeyer(orv::image::OVAbstractImageKeyer& keyer) const = 0;
    /// Appends a copy of this item (same class, id, flags and values) to `items`.
    virtual void CopyToVector(std::vector<std::shared_ptr<AbstractKeyItem>>& items) const = 0;
    /// Whether applying the step changes anything, judged on the steps of its widget's
    /// controls (see `ValueControl`).
    virtual bool HasEffect() const;

protected:
    AbstractKeyItem() = default;
    AbstractKeyItem(const AbstractKeyItem&) = default;
    AbstractKeyItem& operator=(const AbstractKeyItem&) = default;
};

/// Element "yuvBlurKeyItem" (value elements "blur", "blurType"): blurs the chroma before
/// keying, radius in full-size pixels truncated to a whole pixel when applied.
/// Effect: radius step (0 … 10) > 0.
class APP_EXPORT YuvBlurKeyItem final : public AbstractKeyItem
{
public:
    YuvBlurKeyItem() = default;
    YuvBlurKeyItem(double radius, orv::image::OVYUVBlurType blurType);

    double Radius() const { return m_radius; }
    orv::image::OVYUVBlurType BlurType() const { return m_blurType; }
    void SetRadius(double radius) { m_radius = radius; }
    void SetBlurType(orv::image::OVYUVBlurType blurType) { m_blurType = blurType; }

    KeyItemType Type() const override { return YuvBlurKey; }
    void AddToImageKeyer(orv::image::OVAbstractImageKeyer& keyer) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractKeyItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_radius = 0.0;
    orv::image::OVYUVBlurType m_blurType = orv::image::YUVBlurStack;
};

/// Element "autoColorDifferenceKeyItem": the colour-difference key with automatic levels.
/// `AutoKeyColor` is stored but not applied (the program keeps the detected colour there);
/// the parameterised constructor leaves it green. Always has an effect.
class APP_EXPORT AutoColorDifferenceKeyItem final : public AbstractKeyItem
{
public:
    AutoColorDifferenceKeyItem() = default;
    AutoColorDifferenceKeyItem(
        orv::image::OVKeyColor keyColor, double keyDetail, double greyDetail, double greyThreshold);

    orv::image::OVKeyColor KeyColor() const { return m_keyColor; }
    double KeyDetail() const { return m_keyDetail; }
    double GreyDetail() const { return m_greyDetail; }
    double GreyThreshold() const { return m_greyThreshold; }
    orv::image::OVKeyColor AutoKeyColor() const { return m_autoKeyColor; }
    void SetKeyColor(orv::image::OVKeyColor keyColor) { m_keyColor = keyColor; }
    void SetKeyDetail(double keyDetail) { m_keyDetail = keyDetail; }
    void SetGreyDetail(double greyDetail) { m_greyDetail = greyDetail; }
    void SetGreyThreshold(double greyThreshold) { m_greyThreshold = greyThreshold; }
    void SetAutoKeyColor(orv::image::OVKeyColor autoKeyColor) { m_autoKeyColor = autoKeyColor; }

    KeyItemType Type() const override { return AutoColorDifferenceKey; }
    void AddToImageKeyer(orv::image::OVAbstractImageKeyer& keyer) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractKeyItem>>& items) const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    orv::image::OVKeyColor m_keyColor = orv::image::KeyColorGreen;
    double m_keyDetail = 0.0;
    double m_greyDetail = 0.0;
    double m_greyThreshold = 0.0;
    orv::image::OVKeyColor m_autoKeyColor = orv::image::KeyColorGreen;
};

/// Element "spillSuppressionKeyItem": removes screen-coloured spill. The channel is not stored:
/// the program derives it from the key colour, and a loaded item keeps the one it had
/// (green after construction). Effect: strength step (0 … 100) > 0.
class APP_EXPORT SpillSuppressionKeyItem final : public AbstractKeyItem
{
public:
    SpillSuppressionKeyItem() = default;
    SpillSuppressionKeyItem(orv::image::OVChannel channel, bool extended, double transparency);

    orv::image::OVChannel Channel() const { return m_channel; }
    bool Extended() const { return m_extended; }
    double Transparency() const { return m_transparency; }
    void SetChannel(orv::image::OVChannel channel) { m_channel = channel; }
    void SetExtended(bool extended) { m_extended = extended; }
    void SetTransparency(double transparency) { m_transparency = transparency; }

    KeyItemType Type() const override { return SpillSuppressionKey; }
    void AddToImageKeyer(orv::image::OVAbstractImageKeyer& keyer) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractKeyItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    orv::image::OVChannel m_channel = orv::image::ChannelGreen;
    bool m_extended = true;
    double m_transparency = 0.0;
};

/// Element "cropKeyItem": makes the given share (0 … 1) of each edge transparent.
/// Effect: any edge step (0 … 100) ≠ 0.
class APP_EXPORT CropKeyItem final : public AbstractKeyItem
{
public:
    CropKeyItem() = default;
    /// Note the order, which is the stored order; the keyer takes left, top, right, bottom.
    CropKeyItem(double left, double right, double bottom, double top);

    double Left() const { return m_left; }
    double Right() const { return m_right; }
    double Bottom() const { return m_bottom; }
    double Top() const { return m_top; }
    void SetLeft(double left) { m_left = left; }
    void SetRight(double right) { m_right = right; }
    void SetBottom(double bottom) { m_bottom = bottom; }
    void SetTop(double top) { m_top = top; }

    KeyItemType Type() const override { return CropKey; }
    void AddToImageKeyer(orv::image::OVAbstractImageKeyer& keyer) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractKeyItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_left = 0.0;
    double m_right = 0.0;
    double m_bottom = 0.0;
    double m_top = 0.0;
};

} // namespace mtra::app
