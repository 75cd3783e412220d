// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/KeyItems.h>

#include "WholePixels.h"
#include "XmlGuard.h"

#include <app/ControlSteps.h>
#include <app/XmlValue.h>

#include <ovimageengine/OVImageKeyer.h>

using namespace orv::image;

namespace mtra::app {

bool AbstractKeyItem::HasEffect() const
{
    return true;
}

// YUV blur

YuvBlurKeyItem::YuvBlurKeyItem(double radius, OVYUVBlurType blurType)
    : m_radius(radius)
    , m_blurType(blurType)
{
}

void YuvBlurKeyItem::AddToImageKeyer(OVAbstractImageKeyer& keyer) const
{
    keyer.SetYUVBlur(WholePixels(m_radius), m_blurType);
}

void YuvBlurKeyItem::CopyToVector(std::vector<std::shared_ptr<AbstractKeyItem>>& items) const
{
    items.push_back(std::make_shared<YuvBlurKeyItem>(*this));
}

bool YuvBlurKeyItem::HasEffect() const
{
    return ToControlSteps(m_radius, kYuvBlurControl) > 0;
}

MTerr YuvBlurKeyItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_radius = ReadElementValue<double>(element, QStringLiteral("blur"));
        m_blurType = ReadEnumInRange<OVYUVBlurType>(element, QStringLiteral("blurType"),
            YUVBlurBoxRows, YUVBlurStack, "m_blurType is invalid");
    });
}

MTerr YuvBlurKeyItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("yuvBlurKeyItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("blur"), m_radius);
        WriteElementValue(writer, QStringLiteral("blurType"), static_cast<int>(m_blurType));
        writer.writeEndElement();
    });
}

// Auto colour difference key

AutoColorDifferenceKeyItem::AutoColorDifferenceKeyItem(
    OVKeyColor keyColor, double keyDetail, double greyDetail, double greyThreshold)
    : m_keyColor(keyColor)
    , m_keyDetail(keyDetail)
    , m_greyDetail(greyDetail)
    , m_greyThreshold(greyThreshold)
{
}

void AutoColorDifferenceKeyItem::AddToImageKeyer(OVAbstractImageKeyer& keyer) const
{
    keyer.SetAutoColorDifferenceKey(m_keyColor, m_keyDetail, m_greyDetail, m_greyThreshold);
}

void AutoColorDifferenceKeyItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractKeyItem>>& items) const
{
    items.push_back(std::make_shared<AutoColorDifferenceKeyItem>(*this));
}

MTerr AutoColorDifferenceKeyItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        // The key colour may be automatic (0); the detected colour is green or blue only.
        m_keyColor = ReadEnumInRange<OVKeyColor>(
            element, QStringLiteral("keyColor"), KeyColorAuto, KeyColorBlue, "keyColor is invalid");
        m_keyDetail = ReadElementValue<double>(element, QStringLiteral("keyDetail"));
        m_greyDetail = ReadElementValue<double>(element, QStringLiteral("greyDetail"));
        m_greyThreshold = ReadElementValue<double>(element, QStringLiteral("greyThreshold"));
        m_autoKeyColor = ReadEnumInRange<OVKeyColor>(element, QStringLiteral("autoKeyColor"),
            KeyColorGreen, KeyColorBlue, "autoKeyColor is invalid");
    });
}

MTerr AutoColorDifferenceKeyItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("autoColorDifferenceKeyItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("keyColor"), static_cast<int>(m_keyColor));
        WriteElementValue(writer, QStringLiteral("keyDetail"), m_keyDetail);
        WriteElementValue(writer, QStringLiteral("greyDetail"), m_greyDetail);
        WriteElementValue(writer, QStringLiteral("greyThreshold"), m_greyThreshold);
        WriteElementValue(writer, QStringLiteral("autoKeyColor"), static_cast<int>(m_autoKeyColor));
        writer.writeEndElement();
    });
}

// Spill suppression

SpillSuppressionKeyItem::SpillSuppressionKeyItem(
    OVChannel channel, bool extended, double transparency)
    : m_channel(channel)
    , m_extended(extended)
    , m_transparency(transparency)
{
}

void SpillSuppressionKeyItem::AddToImageKeyer(OVAbstractImageKeyer& keyer) const
{
    keyer.SetSpillSuppression(m_channel, m_extended, m_transparency);
}

void SpillSuppressionKeyItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractKeyItem>>& items) const
{
    items.push_back(std::make_shared<SpillSuppressionKeyItem>(*this));
}

bool SpillSuppressionKeyItem::HasEffect() const
{
    return ToControlSteps(m_transparency, kPercentControl) > 0;
}

MTerr SpillSuppressionKeyItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_extended = ReadElementValue<bool>(element, QStringLiteral("extended"));
        m_transparency = ReadElementValue<double>(element, QStringLiteral("transparency"));
    });
}

MTerr SpillSuppressionKeyItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("spillSuppressionKeyItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("extended"), m_extended);
        WriteElementValue(writer, QStringLiteral("transparency"), m_transparency);
        writer.writeEndElement();
    });
}

// Crop

CropKeyItem::CropKeyItem(double left, double right, double bottom, double top)
    : m_left(left)
    , m_right(right)
    , m_bottom(bottom)
    , m_top(top)
{
}

void CropKeyItem::AddToImageKeyer(OVAbstractImageKeyer& keyer) const
{
    keyer.SetAlphaCrop(m_left, m_top, m_right, m_bottom);
}

void CropKeyItem::CopyToVector(std::vector<std::shared_ptr<AbstractKeyItem>>& items) const
{
    items.push_back(std::make_shared<CropKeyItem>(*this));
}

bool CropKeyItem::HasEffect() const
{
    for (double edge : { m_left, m_right, m_bottom, m_top })
        if (ToControlSteps(edge, kPercentControl) != 0)
            return true;
    return false;
}

MTerr CropKeyItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_left = ReadElementValue<double>(element, QStringLiteral("left"));
        m_right = ReadElementValue<double>(element, QStringLiteral("right"));
        m_bottom = ReadElementValue<double>(element, QStringLiteral("bottom"));
        m_top = ReadElementValue<double>(element, QStringLiteral("top"));
    });
}

MTerr CropKeyItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("cropKeyItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("left"), m_left);
        WriteElementValue(writer, QStringLiteral("right"), m_right);
        WriteElementValue(writer, QStringLiteral("bottom"), m_bottom);
        WriteElementValue(writer, QStringLiteral("top"), m_top);
        writer.writeEndElement();
    });
}

} // namespace mtra::app
