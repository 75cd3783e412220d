// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ExportSettings.h>

#include "XmlGuard.h"

#include <app/XmlValue.h>

#include <QList>

#include <algorithm>
#include <string_view>

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
    if (text.size() > kMaxAffixLength)
        return false;
    // A word character as the editor's validator defines it: a letter, a number or a mark
    // (so Devanagari, Thai and decomposed accents pass), or the underscore; then . ( ) & space -.
    const auto allowed = [](uint c) {
        constexpr std::u32string_view kPunctuation = U"_.()& -";
        return QChar::isLetterOrNumber(c) || QChar::isMark(c)
            || kPunctuation.find(static_cast<char32_t>(c)) != std::u32string_view::npos;
    };
    const QList<uint> codePoints = text.toUcs4();
    return std::all_of(codePoints.begin(), codePoints.end(), allowed);
}

} // namespace mtra::app
