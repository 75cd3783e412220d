// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/WholeFileWriter.h>

#include "FileWriteOps.h"

#include <app/ErrorTexts.h>

namespace mtra::app {

namespace {

FileWriteOps& RealOps()
{
    static FileWriteOps ops;
    return ops;
}

thread_local FileWriteOps* t_ops = nullptr;

} // namespace

FileWriteOps::~FileWriteOps() = default;

bool FileWriteOps::Open(QSaveFile& file)
{
    return file.open(QIODevice::WriteOnly);
}

qint64 FileWriteOps::Write(QSaveFile& file, const QByteArray& bytes)
{
    return file.write(bytes);
}

bool FileWriteOps::Flush(QSaveFile& file)
{
    return file.flush();
}

bool FileWriteOps::Commit(QSaveFile& file)
{
    return file.commit();
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* reason)
{
    FileWriteOps& ops = t_ops != nullptr ? *t_ops : RealOps();
    QSaveFile file(path);
    // Writing straight into the target would truncate it first; never fall back to that.
    file.setDirectWriteFallback(false);
    const auto fail = [&] {
        if (reason != nullptr)
            *reason = WriteFailedText(path, file.errorString());
        return false;
    };
    if (!ops.Open(file))
        return fail();
    // QSaveFile::commit() alone can commit a short file (a write error on a full disk is not
    // always remembered), so every step is checked here; any failure cancels, and the
    // destructor then removes the temporary file.
    if (ops.Write(file, bytes) != bytes.size() || !ops.Flush(file)
        || file.error() != QFileDevice::NoError) {
        fail();
        file.cancelWriting();
        return false;
    }
    return ops.Commit(file) || fail();
}

ScopedFileWriteOps::ScopedFileWriteOps(FileWriteOps& ops)
    : m_previous(t_ops)
{
    t_ops = &ops;
}

ScopedFileWriteOps::~ScopedFileWriteOps()
{
    t_ops = m_previous;
}

} // namespace mtra::app
