// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "PhotoLoading.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

using namespace mtra::app;
using orv::image::OVImage8;

namespace {

QString Photo(const char* name)
{
    return QStringLiteral(MTRA_TEST_DATA_DIR "/photos/") + QString::fromLatin1(name);
}

// Mean absolute channel difference of two pictures shrunk to 36 × 24: small when they show the
// same scene the same way up, whatever JPEG noise each file carries.
double Difference(const QImage& a, const QImage& b)
{
    const QImage sa = a.scaled(36, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage sb = b.scaled(36, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 36; ++x) {
            const QRgb p = sa.pixel(x, y);
            const QRgb q = sb.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (36 * 24 * 3);
}

std::uint32_t Crc32(const QByteArray& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendBigEndian(QByteArray& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

void AppendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    const QByteArray chunk = QByteArray(type) + data;
    AppendBigEndian(png, static_cast<std::uint32_t>(data.size()));
    png.append(chunk);
    AppendBigEndian(png, Crc32(chunk));
}

// A well-formed PNG declaring width × height RGBA pixels whose data stream holds almost nothing:
// what a decompression bomb's header looks like to a reader.
QByteArray PngDeclaring(std::uint32_t width, std::uint32_t height)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    AppendBigEndian(header, width);
    AppendBigEndian(header, height);
    header.append("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no filter, no interlace
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", QByteArray("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));
    AppendChunk(png, "IEND", QByteArray());
    return png;
}

} // namespace

TEST(PhotoLoadingTest, AppliesExifOrientation)
{
    const QImage reference = ReadPhoto(Photo("Landscape_1.jpg"));
    ASSERT_EQ(reference.size(), QSize(1800, 1200));
    EXPECT_EQ(reference.format(), QImage::Format_ARGB32);
    // Upside down must count as different, or the comparison below proves nothing.
    EXPECT_GT(Difference(reference, reference.mirrored(true, true)), 10.0);

    for (const char* name : { "Landscape_3.jpg", "Landscape_6.jpg", "Landscape_8.jpg" }) {
        const QImage photo = ReadPhoto(Photo(name));
        EXPECT_EQ(photo.size(), QSize(1800, 1200)) << name;
        EXPECT_LT(Difference(reference, photo), 4.0) << name;
    }
}

TEST(PhotoLoadingTest, UnreadableFilesThrowRuntimeError)
{
    QTemporaryDir dir;
    const QString garbage = dir.filePath(QStringLiteral("garbage.jpg"));
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
    file.close();

    EXPECT_THROW(ReadPhoto(garbage), std::runtime_error);
    EXPECT_THROW(ReadPhoto(dir.filePath(QStringLiteral("missing.png"))), std::runtime_error);
    EXPECT_THROW(ReadPhoto(QString()), std::runtime_error);
}

TEST(PhotoLoadingTest, RefusesDeclaredSizesAboveTheLimitBeforeDecoding)
{
    // The default limit admits a 100-megapixel photo, far above Qt's built-in 128 MiB.
    ASSERT_GE(PhotoAllocationLimitBytes(), std::int64_t(100'000'000) * 4);

    QTemporaryDir dir;
    const QString bomb = dir.filePath(QStringLiteral("bomb.png"));
    QFile file(bomb);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PngDeclaring(100000, 100000)); // 40 GB of pixels declared in 65 bytes
    file.close();
    try {
        ReadPhoto(bomb);
        FAIL() << "a 10-gigapixel header was accepted";
    } catch (const std::runtime_error& e) {
        // Refused by the header check, not by a decode that failed after allocating.
        EXPECT_STREQ(e.what(), "Image too large");
    }
}

TEST(PhotoLoadingTest, OneDecodeGivesFullAndQuarterImages)
{
    QImage source(10, 6, QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgba(x * 20, y * 40, 7, 200 + x));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grid.png"));
    ASSERT_TRUE(source.save(path));

    const auto images = LoadLayerImages(path, orv::image::PixelOrderBGRA);
    auto* full = dynamic_cast<OVImage8*>(images.full.get());
    auto* quarter = dynamic_cast<OVImage8*>(images.quarter.get());
    ASSERT_NE(full, nullptr);
    ASSERT_NE(quarter, nullptr);
    ASSERT_EQ(full->Width(), 10u);
    ASSERT_EQ(full->Height(), 6u);
    const unsigned char* p = full->ScanLine(2) + 3 * 4;
    EXPECT_EQ(p[0], 7); // blue
    EXPECT_EQ(p[1], 2 * 40); // green
    EXPECT_EQ(p[2], 3 * 20); // red
    EXPECT_EQ(p[3], 203); // alpha

    // trunc(10 × 0.25) = 2 columns, the same nearest-pixel rule as the full image scaled.
    const QImage expected = source.scaledToWidth(2, Qt::FastTransformation);
    ASSERT_EQ(quarter->Width(), 2u);
    ASSERT_EQ(quarter->Height(), static_cast<unsigned int>(expected.height()));
    for (int y = 0; y < expected.height(); ++y)
        EXPECT_EQ(std::memcmp(quarter->ScanLine(y), expected.constScanLine(y), 2 * 4), 0) << y;
}

TEST(PhotoLoadingTest, AdoptedImagesOwnTheirPixelsInTheRequestedOrder)
{
    QImage image(3, 1, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    const QImage callersCopy = image;

    const auto bgra = AdoptImage(image, orv::image::PixelOrderBGRA);
    const auto argb = AdoptImage(image, orv::image::PixelOrderARGB);
    auto* b = dynamic_cast<OVImage8*>(bgra.get());
    auto* a = dynamic_cast<OVImage8*>(argb.get());
    ASSERT_NE(b, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(argb->PixelChannelOrder(), orv::image::PixelOrderARGB);
    const unsigned char expectedBgra[4] = { 30, 20, 10, 255 };
    const unsigned char expectedArgb[4] = { 255, 10, 20, 30 };
    EXPECT_EQ(std::memcmp(b->Buffer() + 8, expectedBgra, 4), 0);
    EXPECT_EQ(std::memcmp(a->Buffer() + 8, expectedArgb, 4), 0);

    // Writing to an engine image must never reach a QImage that shared the pixels.
    b->Buffer()[0] = 99;
    EXPECT_EQ(callersCopy.pixel(0, 0), qRgb(10, 20, 30));

    const auto empty
        = AdoptImage(QuarterImage(QImage(3, 5, QImage::Format_ARGB32)), orv::image::PixelOrderBGRA);
    EXPECT_EQ(empty->Width(), 0u);
    EXPECT_EQ(empty->Height(), 0u);
}
