// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/CompositeItems.h>

#include "XmlGuard.h"

#include <app/ControlSteps.h>
#include <app/XmlValue.h>

using namespace orv::image;

namespace mtra::app {

bool AbstractCompositeItem::HasEffect() const
{
    return true;
}

// Flatten

FlattenCompositeItem::FlattenCompositeItem(
    double foregroundTransparency, double backgroundTransparency, OVBlendMode blendMode)
    : m_foregroundTransparency(foregroundTransparency)
    , m_backgroundTransparency(backgroundTransparency)
    , m_blendMode(blendMode)
{
}

void FlattenCompositeItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractCompositeItem>>& items) const
{
    items.push_back(std::make_shared<FlattenCompositeItem>(*this));
}

bool FlattenCompositeItem::HasEffect() const
{
    return ToControlSteps(m_foregroundTransparency, kPercentControl) > 0;
}

MTerr FlattenCompositeItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_foregroundTransparency
            = ReadElementValue<double>(element, QStringLiteral("foregroundTransparency"));
    });
}

MTerr FlattenCompositeItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("flattenCompositeItem"));
        WriteFlags(writer);
        WriteElementValue(
            writer, QStringLiteral("foregroundTransparency"), m_foregroundTransparency);
        writer.writeEndElement();
    });
}

// Light spill

LightSpillCompositeItem::LightSpillCompositeItem(double blur, OVBlendMode blendMode)
    : m_blur(blur)
    , m_blendMode(blendMode)
{
}

void LightSpillCompositeItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractCompositeItem>>& items) const
{
    items.push_back(std::make_shared<LightSpillCompositeItem>(*this));
}

bool LightSpillCompositeItem::HasEffect() const
{
    return ToControlSteps(m_blur, kRadiusControl) > 0;
}

MTerr LightSpillCompositeItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_blur = ReadElementValue<double>(element, QStringLiteral("blur"));
        // Replace (13) is not a light-spill mode.
        m_blendMode = ReadEnumInRange<OVBlendMode>(element, QStringLiteral("blendMode"),
            orv::image::kFirstStoredBlendMode, orv::image::kLastStoredBlendMode,
            "blendmode is invalid");
    });
}

MTerr LightSpillCompositeItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("lightSpillCompositeItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("blur"), m_blur);
        WriteElementValue(writer, QStringLiteral("blendMode"), static_cast<int>(m_blendMode));
        writer.writeEndElement();
    });
}

} // namespace mtra::app
