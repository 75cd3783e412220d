// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/Canvas.h>

#include "XmlGuard.h"

#include <app/XmlValue.h>

namespace mtra::app {

Canvas::Canvas(unsigned int width, unsigned int height, int positionX, int positionY, float scale,
    CanvasOrientation orientation, unsigned int dpi)
    : m_width(width)
    , m_height(height)
    , m_positionX(positionX)
    , m_positionY(positionY)
    , m_scale(scale)
    , m_orientation(orientation)
    , m_dpi(static_cast<int>(dpi))
{
}

Canvas::~Canvas() = default;

MTerr Canvas::LoadFromXml(const QDomElement& project)
{
    return GuardedLoad([&] {
        // A missing "canvas" gives a null element, whose first value is then reported missing.
        const QDomElement canvas = project.firstChildElement(QStringLiteral("canvas"));
        m_dimensionType
            = ReadEnumInRange<CanvasDimensionType>(canvas, QStringLiteral("canvasDimensionType"),
                DimensionPrintSize, DimensionAsForeground, "Canvas dimension type data is invalid");
        m_width = ReadElementValue<unsigned int>(canvas, QStringLiteral("width"));
        m_height = ReadElementValue<unsigned int>(canvas, QStringLiteral("height"));
        m_positionX = ReadElementValue<int>(canvas, QStringLiteral("positionX"));
        m_positionY = ReadElementValue<int>(canvas, QStringLiteral("positionY"));
        m_scale = ReadElementValue<float>(canvas, QStringLiteral("scale"));
        m_orientation = ReadEnumInRange<CanvasOrientation>(canvas, QStringLiteral("orientation"),
            OrientationLandscape, OrientationPortrait, "Orientation data is invalid");
        m_dpi = ReadElementValue<int>(canvas, QStringLiteral("dpi"));
    });
}

MTerr Canvas::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("canvas"));
        WriteElementValue(
            writer, QStringLiteral("canvasDimensionType"), static_cast<int>(m_dimensionType));
        WriteElementValue(writer, QStringLiteral("width"), m_width);
        WriteElementValue(writer, QStringLiteral("height"), m_height);
        WriteElementValue(writer, QStringLiteral("positionX"), m_positionX);
        WriteElementValue(writer, QStringLiteral("positionY"), m_positionY);
        WriteElementValue(writer, QStringLiteral("scale"), m_scale);
        WriteElementValue(writer, QStringLiteral("orientation"), static_cast<int>(m_orientation));
        WriteElementValue(writer, QStringLiteral("dpi"), m_dpi);
        writer.writeEndElement();
    });
}

bool IsSupportedCanvasSize(quint64 width, quint64 height)
{
    constexpr quint64 kMaxCanvasPixels = 25'000'000;
    return width > 0 && height > 0 && width * height <= kMaxCanvasPixels;
}

} // namespace mtra::app
