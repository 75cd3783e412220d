// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// How files become photos of the batch: which files the import takes, how folders are
/// walked and which display name each photo gets. GUI thread for anything that touches the
/// batch; the pure functions on any thread.

#include <app/AppExport.h>

#include <QString>
#include <QStringList>

#include <set>

namespace mtra::app {

class ForegroundImageList;

/// The import's image suffixes: the whole path matches ".*\.(bmp|jpg|jpeg|png|tif|tiff)" in
/// any case.
APP_EXPORT bool HasImageSuffix(const QString& path);

/// Display names as the import gives them: a file's complete base name, and for a name already
/// taken " (n)" with n one more than the highest number in use for that name (at least 2).
/// Names are never given twice, so exports of photos with the same base name never overwrite
/// each other: with "img" … "img (10)" taken, the next "img" is "img (11)", whatever order the
/// names came in. Case-sensitive, as the batch list compares names.
class APP_EXPORT UniqueNames
{
public:
    UniqueNames() = default;
    /// Seeded with the display names already in `batch`.
    explicit UniqueNames(const ForegroundImageList& batch);

    /// Marks `name` as taken as it is (a name that came from elsewhere).
    void Reserve(const QString& name);
    /// The unique form of `baseName`, now taken.
    QString Add(const QString& baseName);

private:
    std::set<QString> m_taken;
};

/// The files of a folder as the import walks it: sub-folders first, each level by name,
/// recursively. `images` are the files with an image suffix, in that order; `leftOut` the
/// files without one and the symbolic links, which are never followed.
struct FolderContents {
    QStringList images;
    QStringList leftOut;
};

APP_EXPORT FolderContents WalkImageFolder(const QString& folder);

/// Whether the file at the absolute `path` may join `batch`.
enum class ImportCheck {
    Accepted,
    AlreadyListed, ///< a photo with this path is in the batch
    Incompatible, ///< no image suffix, or the image reader cannot read it
    Unstorable, ///< the path holds characters a project file cannot store (`UnstorablePathText`)
};

APP_EXPORT ImportCheck CheckImportPath(const ForegroundImageList& batch, const QString& path);

} // namespace mtra::app
