// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/WholeFileWriter.h>

#include "FileWriteOps.h"

#include <app/ErrorTexts.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

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

namespace {

bool IsSymbolicLink(const QString& path)
{
    struct stat status {
    };
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

// The file at `path` replaced through a temporary file in the same folder.
bool WriteThroughSaveFile(const QString& path, const QByteArray& bytes, QString* reason)
{
    FileWriteOps& ops = t_ops != nullptr ? *t_ops : RealOps();
    QSaveFile file(path);
    // Writing straight into the target would truncate it first; never fall back to that.
    file.setDirectWriteFallback(false);
    const auto fail = [&] {
        // A failed write(2) leaves its reason in errno ("No space left on device") where the
        // device's own error string may only say "Unknown error".
        const int error = errno;
        if (reason != nullptr) {
            const bool vague = file.error() == QFileDevice::NoError
                || file.errorString() == QLatin1String("Unknown error");
            *reason = WriteFailedText(path,
                vague && error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                                    : file.errorString());
        }
        return false;
    };
    errno = 0;
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

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* reason)
{
    if (!IsSymbolicLink(path))
        return WriteThroughSaveFile(path, bytes, reason);
    // QSaveFile would write to the link's target, wherever it points. The link itself is
    // replaced instead: the file is written whole under a fresh name beside it, and renamed
    // over the link, which rename(2) replaces without following it.
    const QFileInfo link(path);
    const QString temporary = link.absolutePath() + QStringLiteral("/.") + link.fileName()
        + QStringLiteral(".%1.part")
              .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    if (!WriteThroughSaveFile(temporary, bytes, reason)) {
        QFile::remove(temporary);
        if (reason != nullptr)
            reason->replace(temporary, path);
        return false;
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData())
        != 0) {
        if (reason != nullptr)
            *reason = WriteFailedText(path, QString::fromLocal8Bit(std::strerror(errno)));
        QFile::remove(temporary);
        return false;
    }
    return true;
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
