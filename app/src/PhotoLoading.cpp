// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "PhotoLoading.h"

#include <app/ErrorTexts.h>

#include <QFile>
#include <QImageReader>
#include <QStringList>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace mtra::app {

using orv::image::OVImage8;
using orv::image::OVPixelChannelOrder;

namespace {

// Keeps a QImage alive for the OVImage8 base that borrows its buffer: the member has to be
// constructed before the base, hence the holder base class listed first.
struct QImageHolder {
    explicit QImageHolder(QImage&& image)
        : held(std::move(image))
    {
    }
    QImage held;
};

class QImageBackedImage8 final : private QImageHolder, public OVImage8
{
public:
    QImageBackedImage8(QImage&& image, OVPixelChannelOrder order)
        : QImageHolder(std::move(image))
        , OVImage8(held.bits(), static_cast<unsigned int>(held.width()),
              static_cast<unsigned int>(held.height()), order)
    {
    }
};

void RaiseDecodeLimit()
{
    // The limit is process-wide; never lower one that the program (or a test) raised further.
    const int current = QImageReader::allocationLimit();
    if (current != 0 && current < kPhotoAllocationLimitMiB)
        QImageReader::setAllocationLimit(kPhotoAllocationLimitMiB);
}

// ARGB32 is stored as the bytes blue, green, red, alpha on little-endian machines; the other
// order the engine knows is the reverse of that within each pixel.
void ToEngineOrder(QImage& image, OVPixelChannelOrder order)
{
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    const bool wantReversed = (order == orv::image::PixelOrderARGB) == littleEndian;
    if (!wantReversed)
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto* pixel = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixel[x] = __builtin_bswap32(pixel[x]);
    }
}

} // namespace

std::int64_t PhotoAllocationLimitBytes()
{
    RaiseDecodeLimit();
    return static_cast<std::int64_t>(QImageReader::allocationLimit()) * 1024 * 1024;
}

namespace {

thread_local QString t_lastFailure;

// Records `reason` as this thread's last failure and throws.
[[noreturn]] void Fail(const QString& reason, const char* what = "Cannot load image")
{
    t_lastFailure = reason;
    throw std::runtime_error(what);
}

// The image plugins report damage (a JPEG whose data ends early, corrupt entropy data) only
// as warnings while still returning a picture. While a decode runs on a thread, the warnings
// of the image-reading categories are collected for it; every other message, and those of
// other threads, go on to the handler that was installed before.
thread_local QStringList* t_decodeWarnings = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void CollectDecodeWarnings(
    QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (t_decodeWarnings != nullptr && type == QtWarningMsg && context.category != nullptr
        && std::strncmp(context.category, "qt.gui.imageio", 14) == 0) {
        t_decodeWarnings->append(message);
        return;
    }
    if (g_previousHandler != nullptr)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

class DecodeWarnings
{
public:
    DecodeWarnings()
    {
        static std::once_flag once;
        std::call_once(
            once, [] { g_previousHandler = qInstallMessageHandler(CollectDecodeWarnings); });
        t_decodeWarnings = &m_warnings;
    }
    ~DecodeWarnings() { t_decodeWarnings = nullptr; }
    DecodeWarnings(const DecodeWarnings&) = delete;
    DecodeWarnings& operator=(const DecodeWarnings&) = delete;
    const QStringList& Warnings() const { return m_warnings; }

private:
    QStringList m_warnings;
};

// The header alone tells the size; refusing here keeps a small file declaring a huge picture
// from ever reaching the decoder. Formats that cannot tell their size in advance are still
// bounded by Qt's own check of the same limit.
bool WithinDecodeLimit(const QSize& declared)
{
    if (!declared.isValid())
        return true;
    const std::int64_t limit = PhotoAllocationLimitBytes();
    const std::int64_t bytes = std::int64_t(declared.width()) * declared.height() * 4;
    // Without a limit the engine's 32-bit buffer sizes still bound an image.
    const std::int64_t cap = limit > 0 ? limit : std::numeric_limits<unsigned int>::max();
    return bytes <= cap;
}

// Only a regular file that can be read reaches a reader: opening a FIFO or a terminal would
// block until someone writes to it.
void CheckFile(const QString& path)
{
    const QString problem = PhotoFileProblem(path);
    if (!problem.isEmpty())
        Fail(problem);
}

// Decodes with `reader` as set up by the caller and converts to ARGB32; throws as ReadPhoto.
QImage Decode(QImageReader& reader)
{
    if (!WithinDecodeLimit(reader.size()))
        Fail(TooLargeText(), "Image too large");
    QImage image;
    DecodeWarnings warnings;
    const bool read = reader.read(&image);
    if (!read || image.isNull()) {
        if (reader.error() == QImageReader::UnsupportedFormatError)
            Fail(NotAnImageText());
        Fail(CorruptDataText());
    }
    for (const QString& warning : warnings.Warnings()) {
        if (warning.contains(QLatin1String("premature end"), Qt::CaseInsensitive))
            Fail(DataEndsEarlyText());
    }
    if (!warnings.Warnings().isEmpty())
        Fail(CorruptDataText());
    image.convertTo(QImage::Format_ARGB32);
    if (image.isNull())
        throw std::bad_alloc();
    t_lastFailure.clear();
    return image;
}

// Runs one of the throwing readers and turns its failures into codes.
template <typename Read> MTerr Guarded(QImage& image, Read&& read)
{
    image = QImage();
    try {
        image = read();
        return MT_OK;
    } catch (const std::bad_alloc&) {
        t_lastFailure = ErrorText(MT_RENDER_OUT_OF_MEMORY);
        return MT_RENDER_OUT_OF_MEMORY;
    } catch (const std::exception&) {
        return MT_CACHE_NOT_CREATED;
    }
}

} // namespace

QString PhotoFileProblem(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat status {
    };
    if (native.isEmpty() || ::stat(native.constData(), &status) != 0)
        return errno == ELOOP ? LinkLoopText() : OfflineText();
    if (!S_ISREG(status.st_mode))
        return NotRegularFileText();
    if (::access(native.constData(), R_OK) != 0)
        return PermissionDeniedText();
    if (status.st_size == 0)
        return EmptyFileText();
    return QString();
}

QString LastPhotoFailure()
{
    return t_lastFailure;
}

QImage ReadPhoto(const QString& path)
{
    PhotoAllocationLimitBytes(); // raises Qt's limit before the reader looks at it
    CheckFile(path);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return Decode(reader);
}

MTerr ReadPhoto(const QString& path, QImage& image)
{
    return Guarded(image, [&] { return ReadPhoto(path); });
}

MTerr PhotoSize(const QString& path, QSize& size, QString* reason)
{
    size = QSize();
    QString problem = PhotoFileProblem(path);
    if (problem.isEmpty()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        size = reader.size();
        if (reader.canRead() && size.isValid()) {
            // The header gives the stored size; a quarter turn makes it upright.
            if (reader.transformation() & QImageIOHandler::TransformationRotate90)
                size.transpose();
            t_lastFailure.clear();
            return MT_OK;
        }
        size = QSize();
        problem = reader.error() == QImageReader::UnsupportedFormatError ? NotAnImageText()
                                                                         : reader.errorString();
    }
    t_lastFailure = problem;
    if (reason != nullptr)
        *reason = problem;
    return MT_CACHE_NOT_CREATED;
}

MTerr ReadThumbnail(const QString& path, int width, QImage& image)
{
    if (width < 1) {
        image = QImage();
        t_lastFailure = NotAnImageText();
        return MT_CACHE_NOT_CREATED;
    }
    return Guarded(image, [&] {
        PhotoAllocationLimitBytes();
        CheckFile(path);
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QSize stored = reader.size();
        if (stored.isValid() && !stored.isEmpty()) {
            // The scaled size applies before the orientation: ask for the upright width along
            // the axis that becomes horizontal.
            const bool quarterTurn
                = reader.transformation() & QImageIOHandler::TransformationRotate90;
            const QSize upright = quarterTurn ? stored.transposed() : stored;
            const int height = std::max(1,
                static_cast<int>(std::lround(double(upright.height()) * width / upright.width())));
            const QSize wanted(width, height);
            reader.setScaledSize(quarterTurn ? wanted.transposed() : wanted);
            reader.setQuality(100); // smooth scaling after the codec's own reduction
            return Decode(reader);
        }
        // A reader that cannot tell the size in advance: decode whole, then scale.
        QImage full = Decode(reader);
        QImage scaled = full.scaledToWidth(width, Qt::SmoothTransformation);
        if (scaled.isNull())
            throw std::bad_alloc();
        scaled.convertTo(QImage::Format_ARGB32);
        return scaled;
    });
}

std::shared_ptr<orv::image::OVAbstractImage> AdoptImage(QImage image, OVPixelChannelOrder order)
{
    if (image.isNull() || image.width() == 0 || image.height() == 0)
        return std::make_shared<OVImage8>(0u, 0u, order, false);
    if (image.format() != QImage::Format_ARGB32) {
        image.convertTo(QImage::Format_ARGB32);
        if (image.isNull())
            throw std::bad_alloc();
    }
    // bits() detaches a shared image: a copy of a caller's image would be made here, and the
    // engine image must own unshared pixels that nothing else can change.
    if (image.bits() == nullptr)
        throw std::bad_alloc();
    ToEngineOrder(image, order);
    return std::make_shared<QImageBackedImage8>(std::move(image), order);
}

QImage QuarterImage(const QImage& full)
{
    const double factor = orv::image::DownsampleValue(orv::image::DownsampleQuarter);
    const int width = static_cast<int>(std::trunc(full.width() * factor));
    if (width <= 0)
        return QImage();
    QImage quarter = full.scaledToWidth(width, Qt::FastTransformation);
    if (quarter.isNull())
        throw std::bad_alloc();
    return quarter;
}

DecodedLayer LoadLayerImages(const QString& path, OVPixelChannelOrder order, bool withQuarter)
{
    QImage full = ReadPhoto(path);
    DecodedLayer images;
    if (withQuarter)
        images.quarter = AdoptImage(QuarterImage(full), order);
    images.full = AdoptImage(std::move(full), order);
    return images;
}

} // namespace mtra::app
