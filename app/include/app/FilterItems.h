// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractRenderItem.h>
#include <app/ItemTypes.h>

#include <ovimageengine/OVEnums.h>

#include <memory>
#include <vector>

namespace orv::image {
class OVAbstractImageProcessor;
}

namespace mtra::app {

/// A colour filter of a layer, applied by the image processor. Held by `FilterList` through
/// shared pointers; GUI thread only. Setters store values unchanged: the processor's setters
/// check ranges when the item is applied.
class APP_EXPORT AbstractFilterItem : public AbstractRenderItem
{
public:
    virtual FilterItemType Type() const = 0;
    /// Queues this filter on `processor`; the setter's result is ignored (a refused value
    /// queues nothing).
    virtual void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const = 0;
    /// Appends a copy of this item (same class, id, flags and values) to `items`.
    virtual void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const = 0;
    /// Whether applying the filter changes anything, judged on the steps of its widget's
    /// controls (see `ValueControl`). Filters without a widget always count.
    virtual bool HasEffect() const;

protected:
    AbstractFilterItem() = default;
    AbstractFilterItem(const AbstractFilterItem&) = default;
    AbstractFilterItem& operator=(const AbstractFilterItem&) = default;
};

/// Element "brightnessFilterItem": brightness (−1 … 1 for the processor) on the colour bytes,
/// the alpha byte or both (`OVChannelsToProcess` 3, 4 or 5). Effect: step ≠ 0.
class APP_EXPORT BrightnessFilterItem final : public AbstractFilterItem
{
public:
    BrightnessFilterItem() = default;
    BrightnessFilterItem(double brightness, orv::image::OVChannelsToProcess colorOrAlpha);

    double Brightness() const { return m_brightness; }
    orv::image::OVChannelsToProcess ColorOrAlpha() const { return m_colorOrAlpha; }
    void SetBrightness(double brightness) { m_brightness = brightness; }
    void SetColorOrAlpha(orv::image::OVChannelsToProcess colorOrAlpha)
    {
        m_colorOrAlpha = colorOrAlpha;
    }

    FilterItemType Type() const override { return BrightnessFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_brightness = 0.0;
    orv::image::OVChannelsToProcess m_colorOrAlpha = orv::image::ChannelsColor;
};

/// Element "saturationFilterItem": saturation factor (0 … 2, 1 neutral). Effect: step ≠ 1.00.
class APP_EXPORT SaturationFilterItem final : public AbstractFilterItem
{
public:
    SaturationFilterItem() = default;
    explicit SaturationFilterItem(double saturation);

    double Saturation() const { return m_saturation; }
    void SetSaturation(double saturation) { m_saturation = saturation; }

    FilterItemType Type() const override { return SaturationFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_saturation = 0.0;
};

/// Element "superContrastFilterItem": black and white levels (0 … 1) stretched to the full
/// range. Effect: black step ≠ 0 or white step ≠ 100.
class APP_EXPORT SuperContrastFilterItem final : public AbstractFilterItem
{
public:
    SuperContrastFilterItem() = default;
    SuperContrastFilterItem(
        double blackLevel, double whiteLevel, orv::image::OVChannelsToProcess colorOrAlpha);

    double BlackLevel() const { return m_blackLevel; }
    double WhiteLevel() const { return m_whiteLevel; }
    orv::image::OVChannelsToProcess ColorOrAlpha() const { return m_colorOrAlpha; }
    void SetBlackLevel(double blackLevel) { m_blackLevel = blackLevel; }
    void SetWhiteLevel(double whiteLevel) { m_whiteLevel = whiteLevel; }
    void SetColorOrAlpha(orv::image::OVChannelsToProcess colorOrAlpha)
    {
        m_colorOrAlpha = colorOrAlpha;
    }

    FilterItemType Type() const override { return SuperContrastFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_blackLevel = 0.0;
    double m_whiteLevel = 1.0;
    orv::image::OVChannelsToProcess m_colorOrAlpha = orv::image::ChannelsColor;
};

/// Element "colorTemperatureFilterItem": target colour temperature in kelvin (1500 … 13500 for
/// the processor). The widget shows it 1500 higher, so 5000 is neutral (step 6500) and the
/// constructor's 6500 is not. Effect: step ≠ 6500.
class APP_EXPORT ColorTemperatureFilterItem final : public AbstractFilterItem
{
public:
    ColorTemperatureFilterItem() = default;
    explicit ColorTemperatureFilterItem(double temperatureShift);

    double TemperatureShift() const { return m_temperatureShift; }
    void SetTemperatureShift(double temperatureShift) { m_temperatureShift = temperatureShift; }

    FilterItemType Type() const override { return ColorTemperatureFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_temperatureShift = 6500.0;
};

/// Element "colorBalanceFilterItem": factors for red, green and blue (0 … 2, 1 neutral).
/// Effect: any step ≠ 1.00.
class APP_EXPORT ColorBalanceFilterItem final : public AbstractFilterItem
{
public:
    ColorBalanceFilterItem() = default;
    ColorBalanceFilterItem(double red, double green, double blue);

    double Red() const { return m_red; }
    double Green() const { return m_green; }
    double Blue() const { return m_blue; }
    void SetRed(double red) { m_red = red; }
    void SetGreen(double green) { m_green = green; }
    void SetBlue(double blue) { m_blue = blue; }

    FilterItemType Type() const override { return ColorBalanceFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_red = 0.0;
    double m_green = 0.0;
    double m_blue = 0.0;
};

/// Element "hueColorizeFilterItem": tint towards a hue (degrees, 0 … 360) with a strength
/// (0 … 1). Effect: strength step ≠ 0, whatever the hue.
class APP_EXPORT HueColorizeFilterItem final : public AbstractFilterItem
{
public:
    HueColorizeFilterItem() = default;
    HueColorizeFilterItem(double hue, double strength);

    double Hue() const { return m_hue; }
    double Strength() const { return m_strength; }
    void SetHue(double hue) { m_hue = hue; }
    void SetStrength(double strength) { m_strength = strength; }

    FilterItemType Type() const override { return HueColorizeFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_hue = 0.0;
    double m_strength = 0.0;
};

/// Element "transparencyFilterItem": transparency 0 … 1, applied as opacity 1 − transparency.
/// No widget edits it, so it always counts as having an effect.
class APP_EXPORT TransparencyFilterItem final : public AbstractFilterItem
{
public:
    TransparencyFilterItem() = default;
    explicit TransparencyFilterItem(double transparency);

    double Transparency() const { return m_transparency; }
    void SetTransparency(double transparency) { m_transparency = transparency; }

    FilterItemType Type() const override { return TransparencyFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_transparency = 0.0;
};

/// Element "blurFilterItem" (value element "blur"): stack blur over colour and alpha with a
/// radius in full-size pixels, truncated to a whole pixel when applied. Effect: step ≠ 0.
class APP_EXPORT BlurFilterItem final : public AbstractFilterItem
{
public:
    BlurFilterItem() = default;
    explicit BlurFilterItem(double radius);

    double Radius() const { return m_radius; }
    void SetRadius(double radius) { m_radius = radius; }

    FilterItemType Type() const override { return BlurFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_radius = 0.0;
};

/// Element "mirrorFilterItem": flips the layer horizontally and/or vertically. No widget edits
/// it, so it always counts as having an effect.
class APP_EXPORT MirrorFilterItem final : public AbstractFilterItem
{
public:
    MirrorFilterItem() = default;
    MirrorFilterItem(bool horizontal, bool vertical);

    bool Horizontal() const { return m_horizontal; }
    bool Vertical() const { return m_vertical; }
    void SetHorizontal(bool horizontal) { m_horizontal = horizontal; }
    void SetVertical(bool vertical) { m_vertical = vertical; }

    FilterItemType Type() const override { return MirrorFilter; }
    void AddToImageProcessor(orv::image::OVAbstractImageProcessor& processor) const override;
    void CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    bool m_horizontal = false;
    bool m_vertical = false;
};

} // namespace mtra::app
