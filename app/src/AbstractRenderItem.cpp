// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/AbstractRenderItem.h>

#include <app/XmlValue.h>

namespace mtra::app {

AbstractRenderItem::AbstractRenderItem()
    : m_id(QUuid::createUuid())
{
}

void AbstractRenderItem::ReadFlags(const QDomElement& element)
{
    m_enabled = ReadAttributeValue<bool>(element, QStringLiteral("enabled"));
    m_collapsed = ReadAttributeValue<bool>(element, QStringLiteral("collapsed"));
}

void AbstractRenderItem::WriteFlags(QXmlStreamWriter& writer) const
{
    WriteAttributeValue(writer, QStringLiteral("collapsed"), m_collapsed);
    WriteAttributeValue(writer, QStringLiteral("enabled"), m_enabled);
}

} // namespace mtra::app
