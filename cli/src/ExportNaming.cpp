// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "ExportNaming.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace mtra::cli {

FormatInfo InfoForFormat(app::ExportFormat format, int quality)
{
    switch (format) {
    case app::FormatJPEG:
        return { QStringLiteral("jpg"), QByteArrayLiteral("jpg"), quality };
    case app::FormatTIFF:
        return { QStringLiteral("tiff"), QByteArrayLiteral("tiff"), -1 };
    default:
        return { QStringLiteral("png"), QByteArrayLiteral("png"), -1 };
    }
}

bool ParseFormatName(const QString& name, app::ExportFormat& format)
{
    const QString lower = name.toLower();
    if (lower == QLatin1String("jpeg") || lower == QLatin1String("jpg"))
        format = app::FormatJPEG;
    else if (lower == QLatin1String("png"))
        format = app::FormatPNG;
    else if (lower == QLatin1String("tiff") || lower == QLatin1String("tif"))
        format = app::FormatTIFF;
    else
        return false;
    return true;
}

QString ExportFileName(
    const QString& prefix, const QString& name, const QString& postfix, const QString& extension)
{
    return QStringLiteral("%1%2%3.%4").arg(prefix, name, postfix, extension);
}

bool IsPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool HasImageSuffix(const QString& path)
{
    static const QRegularExpression suffix(QStringLiteral("^.*\\.(bmp|jpg|jpeg|png|tif|tiff)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return suffix.match(path).hasMatch();
}

QString UniqueNames::Add(const QString& baseName)
{
    QString name = baseName;
    if (m_taken.count(name) != 0) {
        // The highest number in use for this name, whatever the order names came in.
        static const QRegularExpression numbered(QStringLiteral("^ \\((\\d+)\\)$"));
        int highest = 1;
        for (auto it = m_taken.lower_bound(baseName + QStringLiteral(" (")); it != m_taken.end();
             ++it) {
            if (!it->startsWith(baseName + QStringLiteral(" (")))
                break;
            const auto match = numbered.match(it->mid(baseName.size()));
            if (match.hasMatch())
                highest = std::max(highest, match.captured(1).toInt());
        }
        name = QStringLiteral("%1 (%2)").arg(baseName).arg(highest + 1);
    }
    m_taken.insert(name);
    return name;
}

QStringList ImageFilesInFolder(const QString& folder)
{
    QStringList files;
    const QDir dir(folder);
    const auto entries = dir.entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden,
        QDir::DirsFirst | QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir())
            files += ImageFilesInFolder(entry.absoluteFilePath());
        else if (HasImageSuffix(entry.fileName()))
            files += entry.absoluteFilePath();
    }
    return files;
}

} // namespace mtra::cli
