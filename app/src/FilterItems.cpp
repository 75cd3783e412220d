// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/FilterItems.h>

#include "WholePixels.h"
#include "XmlGuard.h"

#include <app/ControlSteps.h>
#include <app/XmlValue.h>

#include <ovimageengine/OVImageProcessor.h>

using namespace orv::image;

namespace mtra::app {

namespace {

OVChannelsToProcess ReadColorOrAlpha(const QDomElement& element)
{
    return ReadEnumInRange<OVChannelsToProcess>(element, QStringLiteral("colorOrAlpha"),
        ChannelsAlpha, ChannelsAll, "colorOrAlpha is invalid");
}

bool DiffersFromStep(double value, const ValueControl& control, int neutralStep)
{
    return ToControlSteps(value, control) != neutralStep;
}

} // namespace

bool AbstractFilterItem::HasEffect() const
{
    return true;
}

// Brightness

BrightnessFilterItem::BrightnessFilterItem(double brightness, OVChannelsToProcess colorOrAlpha)
    : m_brightness(brightness)
    , m_colorOrAlpha(colorOrAlpha)
{
}

void BrightnessFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetBrightness(m_brightness, m_colorOrAlpha);
}

void BrightnessFilterItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<BrightnessFilterItem>(*this));
}

bool BrightnessFilterItem::HasEffect() const
{
    return DiffersFromStep(m_brightness, kBrightnessControl, 0);
}

MTerr BrightnessFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_brightness = ReadElementValue<double>(element, QStringLiteral("brightness"));
        m_colorOrAlpha = ReadColorOrAlpha(element);
    });
}

MTerr BrightnessFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("brightnessFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("brightness"), m_brightness);
        WriteElementValue(writer, QStringLiteral("colorOrAlpha"), static_cast<int>(m_colorOrAlpha));
        writer.writeEndElement();
    });
}

// Saturation

SaturationFilterItem::SaturationFilterItem(double saturation)
    : m_saturation(saturation)
{
}

void SaturationFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetSaturation(m_saturation);
}

void SaturationFilterItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<SaturationFilterItem>(*this));
}

bool SaturationFilterItem::HasEffect() const
{
    return DiffersFromStep(m_saturation, kFactorControl, 100);
}

MTerr SaturationFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_saturation = ReadElementValue<double>(element, QStringLiteral("saturation"));
    });
}

MTerr SaturationFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("saturationFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("saturation"), m_saturation);
        writer.writeEndElement();
    });
}

// Super contrast

SuperContrastFilterItem::SuperContrastFilterItem(
    double blackLevel, double whiteLevel, OVChannelsToProcess colorOrAlpha)
    : m_blackLevel(blackLevel)
    , m_whiteLevel(whiteLevel)
    , m_colorOrAlpha(colorOrAlpha)
{
}

void SuperContrastFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetSuperContrast(m_blackLevel, m_whiteLevel, m_colorOrAlpha);
}

void SuperContrastFilterItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<SuperContrastFilterItem>(*this));
}

bool SuperContrastFilterItem::HasEffect() const
{
    return DiffersFromStep(m_blackLevel, kPercentControl, 0)
        || DiffersFromStep(m_whiteLevel, kPercentControl, 100);
}

MTerr SuperContrastFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_blackLevel = ReadElementValue<double>(element, QStringLiteral("blackLevel"));
        m_whiteLevel = ReadElementValue<double>(element, QStringLiteral("whiteLevel"));
        m_colorOrAlpha = ReadColorOrAlpha(element);
    });
}

MTerr SuperContrastFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("superContrastFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("blackLevel"), m_blackLevel);
        WriteElementValue(writer, QStringLiteral("whiteLevel"), m_whiteLevel);
        WriteElementValue(writer, QStringLiteral("colorOrAlpha"), static_cast<int>(m_colorOrAlpha));
        writer.writeEndElement();
    });
}

// Colour temperature

ColorTemperatureFilterItem::ColorTemperatureFilterItem(double temperatureShift)
    : m_temperatureShift(temperatureShift)
{
}

void ColorTemperatureFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetColorTemperature(m_temperatureShift);
}

void ColorTemperatureFilterItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<ColorTemperatureFilterItem>(*this));
}

bool ColorTemperatureFilterItem::HasEffect() const
{
    return DiffersFromStep(m_temperatureShift, kColorTemperatureControl, 6500);
}

MTerr ColorTemperatureFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_temperatureShift = ReadElementValue<double>(element, QStringLiteral("temperatureShift"));
    });
}

MTerr ColorTemperatureFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("colorTemperatureFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("temperatureShift"), m_temperatureShift);
        writer.writeEndElement();
    });
}

// Colour balance

ColorBalanceFilterItem::ColorBalanceFilterItem(double red, double green, double blue)
    : m_red(red)
    , m_green(green)
    , m_blue(blue)
{
}

void ColorBalanceFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetColorBalance(m_red, m_green, m_blue);
}

void ColorBalanceFilterItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<ColorBalanceFilterItem>(*this));
}

bool ColorBalanceFilterItem::HasEffect() const
{
    return DiffersFromStep(m_red, kFactorControl, 100)
        || DiffersFromStep(m_green, kFactorControl, 100)
        || DiffersFromStep(m_blue, kFactorControl, 100);
}

MTerr ColorBalanceFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_red = ReadElementValue<double>(element, QStringLiteral("red"));
        m_green = ReadElementValue<double>(element, QStringLiteral("green"));
        m_blue = ReadElementValue<double>(element, QStringLiteral("blue"));
    });
}

MTerr ColorBalanceFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("colorBalanceFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("red"), m_red);
        WriteElementValue(writer, QStringLiteral("green"), m_green);
        WriteElementValue(writer, QStringLiteral("blue"), m_blue);
        writer.writeEndElement();
    });
}

// Hue colorize

HueColorizeFilterItem::HueColorizeFilterItem(double hue, double strength)
    : m_hue(hue)
    , m_strength(strength)
{
}

void HueColorizeFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetHueColorize(m_hue, m_strength);
}

void HueColorizeFilterItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<HueColorizeFilterItem>(*this));
}

bool HueColorizeFilterItem::HasEffect() const
{
    return DiffersFromStep(m_strength, kPercentControl, 0);
}

MTerr HueColorizeFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_hue = ReadElementValue<double>(element, QStringLiteral("hue"));
        m_strength = ReadElementValue<double>(element, QStringLiteral("strength"));
    });
}

MTerr HueColorizeFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("hueColorizeFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("hue"), m_hue);
        WriteElementValue(writer, QStringLiteral("strength"), m_strength);
        writer.writeEndElement();
    });
}

// Transparency

TransparencyFilterItem::TransparencyFilterItem(double transparency)
    : m_transparency(transparency)
{
}

void TransparencyFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetOpacity(1.0 - m_transparency);
}

void TransparencyFilterItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<TransparencyFilterItem>(*this));
}

MTerr TransparencyFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_transparency = ReadElementValue<double>(element, QStringLiteral("transparency"));
    });
}

MTerr TransparencyFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("transparencyFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("transparency"), m_transparency);
        writer.writeEndElement();
    });
}

// Blur

BlurFilterItem::BlurFilterItem(double radius)
    : m_radius(radius)
{
}

void BlurFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetStackBlur(WholePixels(m_radius), true, true, ChannelsAll);
}

void BlurFilterItem::CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<BlurFilterItem>(*this));
}

bool BlurFilterItem::HasEffect() const
{
    return DiffersFromStep(m_radius, kRadiusControl, 0);
}

MTerr BlurFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_radius = ReadElementValue<double>(element, QStringLiteral("blur"));
    });
}

MTerr BlurFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("blurFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("blur"), m_radius);
        writer.writeEndElement();
    });
}

// Mirror

MirrorFilterItem::MirrorFilterItem(bool horizontal, bool vertical)
    : m_horizontal(horizontal)
    , m_vertical(vertical)
{
}

void MirrorFilterItem::AddToImageProcessor(OVAbstractImageProcessor& processor) const
{
    processor.SetMirror(m_horizontal, m_vertical);
}

void MirrorFilterItem::CopyToVector(std::vector<std::shared_ptr<AbstractFilterItem>>& items) const
{
    items.push_back(std::make_shared<MirrorFilterItem>(*this));
}

MTerr MirrorFilterItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_horizontal = ReadElementValue<bool>(element, QStringLiteral("horizontal"));
        m_vertical = ReadElementValue<bool>(element, QStringLiteral("vertical"));
    });
}

MTerr MirrorFilterItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("mirrorFilterItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("horizontal"), m_horizontal);
        WriteElementValue(writer, QStringLiteral("vertical"), m_vertical);
        writer.writeEndElement();
    });
}

} // namespace mtra::app
