// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/WholeFileWriter.h>

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
