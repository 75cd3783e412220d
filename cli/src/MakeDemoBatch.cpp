// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// mattora-demo-batch FOLDER OUTPUT: draws a small photo-booth batch into FOLDER (six portraits
// shot against a green screen, a sunset background and a frame overlay, all generated, with
// a camera's noise) and saves demo.mtrabatch there, exporting JPEGs into OUTPUT. Used by the
// quick start (scripts/run); not installed.
#include <app/LayerImages.h>
#include <app/Project.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kWidth = 1800;
constexpr int kHeight = 1200;

void AddNoise(QImage& image, unsigned seed)
{
    std::minstd_rand random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = static_cast<int>(random() % 11) - 5;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                std::clamp(qBlue(p) + n, 0, 255));
        }
    }
}

// A head-and-shoulders figure, its clothes and position varying from shot to shot.
QImage Portrait(int index)
{
    static const QColor clothes[] = { QColor(170, 40, 45), QColor(40, 60, 150),
        QColor(200, 160, 40), QColor(90, 50, 120), QColor(230, 230, 225), QColor(50, 50, 55) };
    static const QColor skin[]
        = { QColor(236, 188, 160), QColor(198, 140, 105), QColor(141, 94, 66) };
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    // A lit screen: brighter in the middle, as behind a booth's subject.
    QPainter painter(&image);
    QRadialGradient screen(kWidth / 2, kHeight / 2, kWidth * 0.7);
    screen.setColorAt(0, QColor(60, 200, 75));
    screen.setColorAt(1, QColor(35, 150, 55));
    painter.fillRect(image.rect(), screen);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double cx = kWidth / 2.0 + (index % 3 - 1) * 220.0;
    painter.setBrush(clothes[index % 6]);
    painter.drawRoundedRect(QRectF(cx - 330, 720, 660, 600), 160, 160);
    painter.setBrush(skin[index % 3]);
    painter.drawRect(QRectF(cx - 60, 620, 120, 140)); // neck
    painter.drawEllipse(QPointF(cx, 480), 170, 215);
    painter.setBrush(QColor(50 + index * 20, 35 + index * 8, 25));
    painter.drawChord(QRectF(cx - 180, 250, 360, 300), 0, 180 * 16); // hair
    painter.setBrush(QColor(30, 30, 30));
    painter.drawEllipse(QPointF(cx - 60, 470), 14, 10); // eyes
    painter.drawEllipse(QPointF(cx + 60, 470), 14, 10);
    painter.end();
    AddNoise(image, 1000u + static_cast<unsigned>(index));
    return image;
}

QImage Sunset()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(40, 60, 140));
    sky.setColorAt(0.55, QColor(240, 130, 80));
    sky.setColorAt(0.72, QColor(255, 200, 120));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 235, 170));
    painter.drawEllipse(QPointF(kWidth * 0.78, kHeight * 0.62), 110, 110);
    painter.setBrush(QColor(30, 45, 60)); // hills
    QPainterPath hills;
    hills.moveTo(0, kHeight);
    hills.lineTo(0, kHeight * 0.74);
    hills.cubicTo(
        kWidth * 0.3, kHeight * 0.62, kWidth * 0.6, kHeight * 0.85, kWidth, kHeight * 0.70);
    hills.lineTo(kWidth, kHeight);
    painter.drawPath(hills);
    painter.end();
    AddNoise(image, 7u);
    return image;
}

// A white frame with a half-transparent banner along the bottom.
QImage Frame()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    QPainterPath frame;
    frame.addRect(0, 0, kWidth, kHeight);
    frame.addRoundedRect(QRectF(40, 40, kWidth - 80, kHeight - 80), 30, 30);
    painter.setBrush(QColor(250, 250, 245));
    painter.drawPath(frame);
    painter.setBrush(QColor(20, 20, 60, 150));
    painter.drawRect(QRectF(40, kHeight - 200, kWidth - 80, 120));
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: mattora-demo-batch FOLDER OUTPUT\n");
        return 2;
    }
    const QDir folder(arguments[1]);
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    using namespace mtra::app;
    MTerr result = MT_OK;
    Project project(result);
    if (result != MT_OK)
        return 1;
    project.GetCanvas().SetDimensions(kWidth, kHeight);
    const QString background = folder.absoluteFilePath(QStringLiteral("sunset.jpg"));
    const QString overlay = folder.absoluteFilePath(QStringLiteral("frame.png"));
    if (!Sunset().save(background, "JPEG", 92) || !Frame().save(overlay))
        return 1;
    project.SetBackgroundImage(
        std::make_shared<BackgroundImage>(QStringLiteral("sunset"), background, true));
    project.SetOverlayImage(
        std::make_shared<OverlayImage>(QStringLiteral("frame"), overlay, true, false));
    for (int i = 0; i < 6; ++i) {
        const QString name = QStringLiteral("guest_%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        const QString path = folder.absoluteFilePath(name + QStringLiteral(".jpg"));
        if (!Portrait(i).save(path, "JPEG", 92))
            return 1;
        project.GetForegroundImageList().Add(
            std::make_shared<ForegroundImage>(name, path, true, false, false, true));
        // The program opens the demo on its first guest.
        if (i == 0)
            project.SetCurrentForegroundPath(path);
    }
    ExportSettings& settings = project.GetExportSettings();
    settings.SetFormat(FormatJPEG);
    settings.SetQuality(90);
    settings.SetPath(QDir(arguments[2]).absolutePath().toStdWString());
    const QString file = folder.absoluteFilePath(QStringLiteral("demo.mtrabatch"));
    if (project.SaveToXml(file, QStringLiteral(MTRA_VERSION), QStringLiteral("1.0")) != MT_OK)
        return 1;
    std::printf("%s\n", qPrintable(file));
    return 0;
}
