// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "import/ImportSupport.h"

#include "Application.h"
#include "Dialogs.h"

#include <app/Canvas.h>
#include <app/ImportNaming.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace mtra::ui::import {

namespace {

constexpr int kThumbnailWidth = 400;
/// Qt writes a PNG of quality q at zlib level (100 - q) x 9 / 91: 80 is level 1 (fast).
constexpr int kThumbnailPngQuality = 80;

bool IsOpaque(const QImage& image)
{
    if (!image.hasAlphaChannel()) {
        return true;
    }
    if (image.format() != QImage::Format_ARGB32) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 255) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

const QIcon& Icon(RowIcon which)
{
    static const QIcon unviewed(QStringLiteral(":/Icons/ImageUnviewed.png"));
    static const QIcon viewed(QStringLiteral(":/Icons/ImageViewed.png"));
    static const QIcon unique(QStringLiteral(":/Icons/ImageUniqueEnabled.png"));
    static const QIcon offline(QStringLiteral(":/Icons/Offline.png"));
    switch (which) {
    case RowIcon::Viewed:
        return viewed;
    case RowIcon::Unique:
        return unique;
    case RowIcon::Offline:
        return offline;
    case RowIcon::Unviewed:
        break;
    }
    return unviewed;
}

const QIcon& IconFor(const app::ForegroundImage& image)
{
    if (image.IsUnique()) {
        return Icon(RowIcon::Unique);
    }
    return Icon(image.IsViewed() ? RowIcon::Viewed : RowIcon::Unviewed);
}

QString ImageFilter()
{
    return QCoreApplication::translate(
        "mtra::ui::import", "Image files (*.bmp *.jpg *.jpeg *.png *.tif *.tiff)");
}

QString MakeUniqueName(const QString& baseName)
{
    const Application* application = Application::Instance();
    app::UniqueNames names;
    const int rows = application->BatchModel()->rowCount();
    for (int row = 0; row < rows; ++row) {
        names.Reserve(application->BatchNameOfRow(row));
    }
    return names.Add(baseName);
}

QString ThumbnailFolder()
{
    QString cache;
    const auto project = Application::Instance()->GetProject();
    if (!project || !Application::CacheFolder(cache)) {
        return {};
    }
    if (project->CurrentThumbnailFolder().isEmpty()) {
        project->SetCurrentThumbnailFolder(
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz")));
    }
    const QString folder = cache + QLatin1Char('/') + project->CurrentThumbnailFolder();
    if (!QDir().mkpath(folder)) {
        return {};
    }
    return folder + QLatin1Char('/');
}

QString ThumbnailPath(const QString& folder, const QString& sourcePath)
{
    const QFileInfo source(sourcePath);
    const QString key = source.absoluteFilePath()
        + QStringLiteral("%1%2").arg(source.lastModified().toSecsSinceEpoch()).arg(source.size());
    const QByteArray digest
        = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Md5).toHex();
    return folder + QString::fromLatin1(digest) + QStringLiteral(".png");
}

bool MakeThumbnail(const QString& sourcePath, app::ForegroundImage& image, QWidget* parent)
{
    const QString folder = ThumbnailFolder();
    if (folder.isEmpty()) {
        return false;
    }
    const QString path = ThumbnailPath(folder, sourcePath);
    if (path != image.ThumbnailFilename() || !QFileInfo::exists(path)) {
        QImage thumbnail;
        if (app::ReadThumbnail(sourcePath, kThumbnailWidth, thumbnail) != app::MT_OK) {
            return false;
        }
        // An opaque photo is written without its alpha channel and with light compression:
        // the thumbnail is rewritten whenever its photo changes, and a quarter fewer bytes
        // and a fast deflate make the write a small part of the cost next to the decode.
        if (IsOpaque(thumbnail)) {
            thumbnail.convertTo(QImage::Format_RGB32);
        }
        if (!thumbnail.save(path, "PNG", kThumbnailPngQuality)) {
            Warn(parent,
                QCoreApplication::translate("mtra::ui::import", "Failed to save the file\n%1")
                    .arg(folder));
            return false;
        }
    }
    image.SetThumbnailFilename(path);
    return true;
}

bool ResizeCanvasTo(int follows, const QSize& size)
{
    Application* application = Application::Instance();
    const app::Canvas& canvas = application->GetProject()->GetCanvas();
    if (canvas.DimensionType() != follows || size.width() <= 0 || size.height() <= 0) {
        return false;
    }
    // Showing another photo of the same size must not render the canvas a second time.
    if (static_cast<int>(canvas.Width()) == size.width()
        && static_cast<int>(canvas.Height()) == size.height()) {
        return false;
    }
    return application->ResizeCanvas(size.width(), size.height());
}

bool FollowForegroundSize()
{
    return ResizeCanvasTo(app::DimensionAsForeground, Application::Instance()->ForegroundSize());
}

void MarkOffline(int row)
{
    Application::Instance()->SetBatchThumbnail(row, Icon(RowIcon::Offline));
    Application::Instance()->SetBatchRowOffline(row);
}

void MarkViewed(int row, app::ForegroundImage& image)
{
    image.SetViewed(true);
    Application::Instance()->SetBatchThumbnail(row, IconFor(image));
}

app::ForegroundImageList& ProjectBatch()
{
    return Application::Instance()->GetProject()->GetForegroundImageList();
}

} // namespace mtra::ui::import
