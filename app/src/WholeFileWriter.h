// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace mtra::app {

/// The file operations of `WriteWholeFile`, replaceable so that tests can make each step fail
/// the way a full disk, a read-only folder or a failed rename would.
class FileWriteOps
{
public:
    virtual ~FileWriteOps();
    virtual bool Open(QSaveFile& file);
    virtual qint64 Write(QSaveFile& file, const QByteArray& bytes);
    virtual bool Flush(QSaveFile& file);
    /// Renames the finished temporary file over the target.
    virtual bool Commit(QSaveFile& file);
};

/// Replaces the file at `path` with `bytes` or leaves it untouched: the bytes go to a temporary
/// file in the same folder, which replaces the old file only once every byte was written and
/// flushed. On failure the temporary file is removed. Returns whether the file was replaced.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);

/// While it lives, `WriteWholeFile` on this thread uses `ops` (test seam).
class ScopedFileWriteOps
{
public:
    explicit ScopedFileWriteOps(FileWriteOps& ops);
    ~ScopedFileWriteOps();
    ScopedFileWriteOps(const ScopedFileWriteOps&) = delete;
    ScopedFileWriteOps& operator=(const ScopedFileWriteOps&) = delete;

private:
    FileWriteOps* m_previous;
};

} // namespace mtra::app
