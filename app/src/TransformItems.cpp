// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/TransformItems.h>

#include "XmlGuard.h"

#include <app/XmlValue.h>

namespace mtra::app {

bool AbstractTransformItem::HasEffect() const
{
    return true;
}

// Transformation

TransformationTransformItem::TransformationTransformItem(
    double translateX, double translateY, double scaleX, double scaleY, double rotation)
    : m_translateX(translateX)
    , m_translateY(translateY)
    , m_scaleX(scaleX)
    , m_scaleY(scaleY)
    , m_rotation(rotation)
{
}

void TransformationTransformItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractTransformItem>>& items) const
{
    items.push_back(std::make_shared<TransformationTransformItem>(*this));
}

MTerr TransformationTransformItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_translateX = ReadElementValue<double>(element, QStringLiteral("translateX"));
        m_translateY = ReadElementValue<double>(element, QStringLiteral("translateY"));
        m_scaleX = ReadElementValue<double>(element, QStringLiteral("scaleX"));
        m_scaleY = ReadElementValue<double>(element, QStringLiteral("scaleY"));
        m_rotation = ReadElementValue<double>(element, QStringLiteral("rotation"));
    });
}

MTerr TransformationTransformItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("transformationTransformItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("translateX"), m_translateX);
        WriteElementValue(writer, QStringLiteral("translateY"), m_translateY);
        WriteElementValue(writer, QStringLiteral("scaleX"), m_scaleX);
        WriteElementValue(writer, QStringLiteral("scaleY"), m_scaleY);
        WriteElementValue(writer, QStringLiteral("rotation"), m_rotation);
        writer.writeEndElement();
    });
}

// Fit

FitTransformItem::FitTransformItem(FitTo fit)
    : m_fit(fit)
{
}

void FitTransformItem::CopyToVector(
    std::vector<std::shared_ptr<AbstractTransformItem>>& items) const
{
    items.push_back(std::make_shared<FitTransformItem>(*this));
}

MTerr FitTransformItem::LoadFromXml(const QDomElement& element)
{
    return GuardedLoad([&] {
        ReadFlags(element);
        m_fit = ReadEnumInRange<FitTo>(
            element, QStringLiteral("fit"), FitModeCanvas, FitModeNone, "m_fit is invalid");
    });
}

MTerr FitTransformItem::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("fitTransformItem"));
        WriteFlags(writer);
        WriteElementValue(writer, QStringLiteral("fit"), static_cast<int>(m_fit));
        writer.writeEndElement();
    });
}

} // namespace mtra::app
