// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "PngWriter.h"

#include <app/ExportFormats.h>

#include <ovimageengine/OVImageSupport.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <cstdint>

using namespace mtra::app;

namespace {

// Noise, flat runs and every alpha: all five filters get chosen somewhere.
QImage Picture(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int n = static_cast<int>(seed >> 27);
            line[x] = (x / 7 + y / 5) % 3 == 0
                ? qRgba(x % 256, y % 256, 90, 255)
                : qRgba((x * 3 + n) % 256, (y * 5) % 256, (x + y + n) % 256, (x * y + n) % 256);
        }
    }
    return image;
}

QImage Decoded(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

QByteArray WriterPng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, "png").write(image));
    return bytes;
}

// The file must read back as the picture written, as the image writer's file of it does, at
// sizes that cross band edges and at the smallest ones.
TEST(PngWriterTest, EveryDecoderReadsThePictureTheImageWriterWrites)
{
    const QSize sizes[] = { { 1, 1 }, { 1, 300 }, { 300, 1 }, { 123, kPngBandRows },
        { 77, kPngBandRows + 1 }, { 200, 3 * kPngBandRows + 17 } };
    for (const QSize size : sizes) {
        const QImage image = Picture(size.width(), size.height(), 3u);
        QByteArray bytes;
        ASSERT_TRUE(EncodePng(image, bytes)) << size.width() << "x" << size.height();
        const QImage read = Decoded(bytes);
        ASSERT_FALSE(read.isNull()) << size.width() << "x" << size.height();
        EXPECT_EQ(read.format(), QImage::Format_ARGB32);
        EXPECT_EQ(read, image) << size.width() << "x" << size.height();
        EXPECT_EQ(read, Decoded(WriterPng(image))) << size.width() << "x" << size.height();
        EXPECT_EQ(read.dotsPerMeterX(), image.dotsPerMeterX());
    }
}

// Bands are fixed by rows, not by workers: the same bytes on one worker as on three, so a
// picture is the same file whatever --jobs divided the workers into.
TEST(PngWriterTest, TheBytesDoNotDependOnTheWorkers)
{
    const QImage image = Picture(64, 5 * kPngBandRows + 3, 11u);
    QByteArray one;
    QByteArray three;
    {
        const orv::image::WorkerLimit limit(1);
        ASSERT_TRUE(EncodePng(image, one));
    }
    {
        const orv::image::WorkerLimit limit(3);
        ASSERT_TRUE(EncodePng(image, three));
    }
    EXPECT_TRUE(one == three);
}

// Only the export's own form goes this way; the rest is left to the image writer, through the
// program's encoder alike.
TEST(PngWriterTest, OtherFormatsAreLeftToTheImageWriter)
{
    QByteArray bytes;
    EXPECT_FALSE(EncodePng(QImage(), bytes));
    const QImage opaque = Picture(20, 10, 5u).convertToFormat(QImage::Format_RGB32);
    EXPECT_FALSE(EncodePng(opaque, bytes));
    ASSERT_TRUE(EncodeImage(opaque, ExportFormatFor(FormatPNG, -1), bytes));
    EXPECT_TRUE(bytes == WriterPng(opaque));
}

} // namespace
