// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ExportSettings.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <set>

namespace mtra::cli {

/// How one export format is written: file extension, image writer format and quality.
struct FormatInfo {
    QString extension;
    QByteArray writerFormat;
    int quality = -1; ///< −1: the writer's default
};

/// The program's format table: JPEG "jpg" with `quality`, TIFF "tiff" and PNG "png" with the
/// writer's default quality; every value other than TIFF and JPEG is written as PNG.
FormatInfo InfoForFormat(app::ExportFormat format, int quality);

/// The format named on the command line ("jpeg"/"jpg", "png", "tiff"/"tif", any case);
/// false for any other name.
bool ParseFormatName(const QString& name, app::ExportFormat& format);

/// "prefix + name + postfix . extension", the program's export file name.
QString ExportFileName(
    const QString& prefix, const QString& name, const QString& postfix, const QString& extension);

/// Whether `name` can be used as part of a file name in the output folder: not empty, no
/// folder separator, not "." or "..", no control characters. A stored display name comes from
/// a project file, which is untrusted.
bool IsPlainFileName(const QString& name);

/// The import's image suffixes: bmp, jpg, jpeg, png, tif and tiff, in any case.
bool HasImageSuffix(const QString& path);

/// Display names as the program's import gives them: a file's complete base name, and for a
/// name already taken " (2)", " (3)" and so on. Numbers continue after the highest one given
/// so far, so the tenth "img" is "img (10)" and never a second "img (9)".
class UniqueNames
{
public:
    QString Add(const QString& baseName);

private:
    std::set<QString> m_taken;
};

/// The files of a folder as the import walks it: sub-folders first, each level by name,
/// recursively, without symbolic links; only files with an image suffix are returned.
QStringList ImageFilesInFolder(const QString& folder);

} // namespace mtra::cli
