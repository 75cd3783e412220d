// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/PhotoReader.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace mtra::app;

namespace {

QString Photo(const char* name)
{
    return QStringLiteral(MTRA_TEST_DATA_DIR "/photos/") + QString::fromLatin1(name);
}

// Mean absolute channel difference of two pictures shrunk to 36 × 24.
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

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

// The size from the header is the upright one, for every EXIF orientation of the same scene.
TEST(PhotoReaderTest, SizesAndPicturesAreUpright)
{
    QImage reference;
    ASSERT_EQ(ReadPhoto(Photo("Landscape_1.jpg"), reference), MT_OK);
    for (const char* name :
        { "Landscape_1.jpg", "Landscape_3.jpg", "Landscape_6.jpg", "Landscape_8.jpg" }) {
        QSize size;
        EXPECT_EQ(PhotoSize(Photo(name), size), MT_OK) << name;
        EXPECT_EQ(size, QSize(1800, 1200)) << name;
        QImage photo;
        ASSERT_EQ(ReadPhoto(Photo(name), photo), MT_OK) << name;
        EXPECT_EQ(photo.size(), size) << name;
        EXPECT_EQ(photo.format(), QImage::Format_ARGB32) << name;
        QImage thumbnail;
        ASSERT_EQ(ReadThumbnail(Photo(name), 400, thumbnail), MT_OK) << name;
        EXPECT_EQ(thumbnail.size(), QSize(400, 267)) << name;
        EXPECT_LT(Difference(reference, thumbnail), 4.0) << name;
    }
}

TEST(PhotoReaderTest, UnreadableFilesGiveCodesAndEmptyResults)
{
    QTemporaryDir dir;
    const QString garbage = dir.filePath(QStringLiteral("garbage.jpg"));
    WriteBytes(garbage, QByteArray("not a picture at all"));
    for (const QString& path :
        { garbage, dir.filePath(QStringLiteral("missing.png")), QString() }) {
        QSize size(1, 1);
        QString reason;
        EXPECT_EQ(PhotoSize(path, size, &reason), MT_CACHE_NOT_CREATED);
        EXPECT_FALSE(size.isValid());
        EXPECT_FALSE(reason.isEmpty());
        QImage image(2, 2, QImage::Format_ARGB32);
        EXPECT_EQ(ReadPhoto(path, image), MT_CACHE_NOT_CREATED);
        EXPECT_TRUE(image.isNull());
        image = QImage(2, 2, QImage::Format_ARGB32);
        EXPECT_EQ(ReadThumbnail(path, 400, image), MT_CACHE_NOT_CREATED);
        EXPECT_TRUE(image.isNull());
    }
    QImage image;
    EXPECT_EQ(ReadThumbnail(Photo("Landscape_1.jpg"), 0, image), MT_CACHE_NOT_CREATED);
}

// A camera-size JPEG stored sideways with an EXIF quarter turn: the thumbnail is 400 wide and
// shows the scene upright, decoded at a fraction of the size by the codec.
TEST(PhotoReaderTest, ThumbnailOfA24MegapixelJpegIsUprightAnd400Wide)
{
    QImage upright(6000, 4000, QImage::Format_RGB32);
    upright.fill(QColor(30, 160, 60));
    {
        QPainter painter(&upright);
        painter.fillRect(0, 0, 6000, 1000, QColor(220, 40, 40)); // red band on top
        painter.fillRect(0, 1000, 1500, 3000, QColor(40, 40, 220)); // blue block on the left
    }
    // Stored a quarter turn anticlockwise; the EXIF tag turns it back clockwise.
    const QImage stored = upright.transformed(QTransform().rotate(-90));
    ASSERT_EQ(stored.size(), QSize(4000, 6000));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("camera.jpg"));
    QImageWriter writer(path, "jpg");
    writer.setQuality(85);
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(stored)) << writer.errorString().toStdString();

    QSize size;
    ASSERT_EQ(PhotoSize(path, size), MT_OK);
    EXPECT_EQ(size, QSize(6000, 4000));
    QImage thumbnail;
    ASSERT_EQ(ReadThumbnail(path, 400, thumbnail), MT_OK);
    EXPECT_EQ(thumbnail.size(), QSize(400, 267));
    EXPECT_EQ(thumbnail.format(), QImage::Format_ARGB32);
    EXPECT_LT(Difference(upright, thumbnail), 3.0);
}
