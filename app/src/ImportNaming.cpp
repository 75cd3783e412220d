// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ImportNaming.h>

#include <app/ForegroundImageList.h>
#include <app/XmlValue.h>

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

#include <algorithm>

namespace mtra::app {

bool HasImageSuffix(const QString& path)
{
    static const QRegularExpression suffix(QStringLiteral("^.*\\.(bmp|jpg|jpeg|png|tif|tiff)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return suffix.match(path).hasMatch();
}

UniqueNames::UniqueNames(const ForegroundImageList& batch)
{
    for (auto it = batch.Begin(); it != batch.End(); ++it)
        m_taken.insert(it->second->Filename());
}

void UniqueNames::Reserve(const QString& name)
{
    m_taken.insert(name);
}

QString UniqueNames::Add(const QString& baseName)
{
    QString name = baseName;
    if (m_taken.count(name) != 0) {
        // The highest number in use for this name; the last one in sorted order would repeat
        // "img (10)" after nine repeats, since it sorts before "img (9)".
        static const QRegularExpression numbered(QStringLiteral("^ \\((\\d+)\\)$"));
        const QString stem = baseName + QStringLiteral(" (");
        int highest = 1;
        for (auto it = m_taken.lower_bound(stem); it != m_taken.end() && it->startsWith(stem);
             ++it) {
            const auto match = numbered.match(it->mid(baseName.size()));
            if (match.hasMatch())
                highest = std::max(highest, match.captured(1).toInt());
        }
        name = QStringLiteral("%1 (%2)").arg(baseName).arg(highest + 1);
    }
    m_taken.insert(name);
    return name;
}

namespace {

void Walk(const QString& folder, FolderContents& contents)
{
    const QDir dir(folder);
    const auto entries
        = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
            QDir::DirsFirst | QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink())
            contents.leftOut += entry.absoluteFilePath();
        else if (entry.isDir())
            Walk(entry.absoluteFilePath(), contents);
        else if (entry.isFile() && HasImageSuffix(entry.fileName()))
            contents.images += entry.absoluteFilePath();
        else
            contents.leftOut += entry.absoluteFilePath();
    }
}

} // namespace

FolderContents WalkImageFolder(const QString& folder)
{
    FolderContents contents;
    Walk(folder, contents);
    return contents;
}

ImportCheck CheckImportPath(const ForegroundImageList& batch, const QString& path)
{
    if (batch.Find(path))
        return ImportCheck::AlreadyListed;
    if (!HasImageSuffix(path))
        return ImportCheck::Incompatible;
    if (!IsStorableText(path))
        return ImportCheck::Unstorable;
    QImageReader reader(path);
    return reader.canRead() ? ImportCheck::Accepted : ImportCheck::Incompatible;
}

} // namespace mtra::app
