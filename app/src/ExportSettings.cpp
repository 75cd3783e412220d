// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ExportSettings.h>

#include "XmlGuard.h"

#include <app/XmlValue.h>

#include <QRegularExpression>

namespace mtra::app {

ExportSettings::ExportSettings(ExportFormat format, int quality, const std::wstring& path,
    const std::wstring& prefix, const std::wstring& suffix, bool codecCollapsed,
    bool selectionCollapsed)
    : m_format(format)
    , m_quality(quality)
    , m_path(path)
    , m_prefix(prefix)
    , m_suffix(suffix)
    , m_codecCollapsed(codecCollapsed)
    , m_selectionCollapsed(selectionCollapsed)
{
}

ExportSettings::~ExportSettings() = default;

MTerr ExportSettings::LoadFromXml(const QDomElement& project)
{
    return GuardedLoad([&] {
        const QDomElement settings = project.firstChildElement(QStringLiteral("exportSettings"));
        m_format = ReadEnumInRange<ExportFormat>(settings, QStringLiteral("format"),
            kFirstExportFormat, kLastExportFormat, "Format data is invalid");
        m_quality = ReadElementValue<int>(settings, QStringLiteral("quality"));
        m_path = ReadElementValue<std::wstring>(settings, QStringLiteral("path"));
        m_prefix = ReadElementValue<std::wstring>(settings, QStringLiteral("prefix"));
        m_suffix = ReadElementValue<std::wstring>(settings, QStringLiteral("suffix"));
        m_codecCollapsed = ReadElementValue<bool>(settings, QStringLiteral("codecCollapsed"));
        m_selectionCollapsed
            = ReadElementValue<bool>(settings, QStringLiteral("selectionCollapsed"));
    });
}

MTerr ExportSettings::WriteToXml(QXmlStreamWriter& writer) const
{
    return GuardedWrite([&] {
        writer.writeStartElement(QStringLiteral("exportSettings"));
        WriteElementValue(writer, QStringLiteral("format"), static_cast<int>(m_format));
        WriteElementValue(writer, QStringLiteral("quality"), m_quality);
        WriteElementValue(writer, QStringLiteral("path"), m_path);
        WriteElementValue(writer, QStringLiteral("prefix"), m_prefix);
        WriteElementValue(writer, QStringLiteral("suffix"), m_suffix);
        WriteElementValue(writer, QStringLiteral("codecCollapsed"), m_codecCollapsed);
        WriteElementValue(writer, QStringLiteral("selectionCollapsed"), m_selectionCollapsed);
        writer.writeEndElement();
    });
}

bool IsValidExportAffix(const QString& text)
{
    constexpr int kMaxAffixLength = 20;
    static const QRegularExpression allowed(
        QStringLiteral("^[\\w\\.\\(\\)\\& \\-]*$"), QRegularExpression::UseUnicodePropertiesOption);
    return text.size() <= kMaxAffixLength && allowed.match(text).hasMatch();
}

} // namespace mtra::app
