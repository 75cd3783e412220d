// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// A 400-pixel-wide thumbnail of a 24 MP camera JPEG, as the batch list makes one per photo:
// by the reader's scaled decode (ReadThumbnail) against a full decode and a smooth scale.
// The thread count is the number of thumbnails made at once (2: both cores busy).
#include "BenchSupport.h"

#include <app/PhotoReader.h>

#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kThumbnailWidth = 400;

// One generated camera JPEG for the whole program (quality 90, as cameras write).
const QString& CameraJpeg()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const auto photo = mtra::bench::MakeGreenScreenPhoto();
        const QImage image(
            photo->ScanLine(0), int(photo->Width()), int(photo->Height()), QImage::Format_ARGB32);
        const QString file = dir.filePath(QStringLiteral("camera.jpg"));
        QImageWriter writer(file, "jpg");
        writer.setQuality(90);
        writer.write(image.convertToFormat(QImage::Format_RGB32));
        return file;
    }();
    return path;
}

void BM_ThumbnailScaledDecode(benchmark::State& state)
{
    const QString& path = CameraJpeg();
    for (auto _ : state) {
        QImage thumbnail;
        if (mtra::app::ReadThumbnail(path, kThumbnailWidth, thumbnail) != mtra::app::MT_OK) {
            state.SkipWithError("thumbnail failed");
            break;
        }
        benchmark::DoNotOptimize(thumbnail.constBits());
    }
}

void BM_ThumbnailFullDecodeAndSmoothScale(benchmark::State& state)
{
    const QString& path = CameraJpeg();
    for (auto _ : state) {
        QImage photo;
        if (mtra::app::ReadPhoto(path, photo) != mtra::app::MT_OK) {
            state.SkipWithError("decode failed");
            break;
        }
        const QImage thumbnail = photo.scaledToWidth(kThumbnailWidth, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(thumbnail.constBits());
    }
}

} // namespace

BENCHMARK(BM_ThumbnailScaledDecode)
    ->Threads(1)
    ->Threads(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ThumbnailFullDecodeAndSmoothScale)
    ->Threads(1)
    ->Threads(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
