// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractProjectItem.h>

#include <QString>

#include <string>

namespace mtra::app {

class Project;

/// File format of exported images; stored in project files. 0 and 1 are accepted when loading
/// but the program offers only TIFF, PNG and JPEG.
enum ExportFormat : int {
    FormatReserved0 = 0,
    FormatReserved1 = 1,
    FormatTIFF = 2,
    FormatPNG = 3,
    FormatJPEG = 4,
};

/// The formats a project file may store; loading refuses others.
constexpr ExportFormat kFirstExportFormat = FormatReserved0;
constexpr ExportFormat kLastExportFormat = FormatJPEG;

/// How the batch is written out: file format and quality, output folder, the prefix and suffix
/// put around each file name, and the collapsed state of the two export panels.
///
/// The project creates the default settings and owns them by value; the program copies them
/// freely. Element "exportSettings" under the project element. Setters store values unchanged.
/// GUI thread only.
class APP_EXPORT ExportSettings final : public AbstractProjectItem
{
public:
    ExportSettings(const ExportSettings& other) = default;
    ExportSettings& operator=(const ExportSettings& other) = default;
    ~ExportSettings() override;

    ExportFormat Format() const { return m_format; }
    /// Compression quality for formats that use one; not range-checked.
    int Quality() const { return m_quality; }
    const std::wstring& Path() const { return m_path; }
    const std::wstring& Prefix() const { return m_prefix; }
    const std::wstring& Suffix() const { return m_suffix; }
    bool IsCodecCollapsed() const { return m_codecCollapsed; }
    bool IsSelectionCollapsed() const { return m_selectionCollapsed; }

    void SetFormat(ExportFormat format) { m_format = format; }
    void SetQuality(int quality) { m_quality = quality; }
    void SetPath(const std::wstring& path) { m_path = path; }
    void SetPrefix(const std::wstring& prefix) { m_prefix = prefix; }
    void SetSuffix(const std::wstring& suffix) { m_suffix = suffix; }
    void SetCodecCollapsed(bool collapsed) { m_codecCollapsed = collapsed; }
    void SetSelectionCollapsed(bool collapsed) { m_selectionCollapsed = collapsed; }

private:
    friend class ModelAccess;
    friend class Project;

    /// PNG, quality 100, empty strings, panels expanded.
    ExportSettings() = default;
    ExportSettings(ExportFormat format, int quality, const std::wstring& path,
        const std::wstring& prefix, const std::wstring& suffix, bool codecCollapsed,
        bool selectionCollapsed);

    /// Reads the "exportSettings" child of the project element (required). Format 0 … 4,
    /// else 4.
    MTerr LoadFromXml(const QDomElement& project) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    ExportFormat m_format = FormatPNG;
    int m_quality = 100;
    std::wstring m_path;
    std::wstring m_prefix;
    std::wstring m_suffix;
    bool m_codecCollapsed = false;
    bool m_selectionCollapsed = false;
};

/// Whether `text` may stand before or after the exported file names: at most 20 UTF-16 code
/// units of word characters (letters, numbers and marks of any script, and the underscore),
/// dots, parentheses, ampersands, spaces and hyphens (what the program's prefix and postfix
/// editors accept). Path separators and every other character are refused, so no export
/// leaves the chosen folder.
APP_EXPORT bool IsValidExportAffix(const QString& text);

} // namespace mtra::app
