// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// Draws the program's own pictures: the splash/About picture, the application icon at the
// hicolor sizes and the two layer placeholders. The PNGs are committed under ui/resources/;
// run this again (MakeProgramArt <ui/resources>) when the art has to change.

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

const QColor kScreenGreen(38, 178, 76);
const QColor kScreenGreenDark(18, 120, 52);
const QColor kInk(28, 31, 36);

/// A head-and-shoulders silhouette filling `box` (the subject a keyer cuts out).
QPainterPath Subject(const QRectF& box)
{
    QPainterPath path;
    const qreal w = box.width();
    const qreal h = box.height();
    const QPointF headCentre(box.center().x(), box.top() + h * 0.30);
    const qreal headRadius = w * 0.19;
    path.addEllipse(headCentre, headRadius, headRadius * 1.12);
    QPainterPath body;
    body.moveTo(box.left() + w * 0.08, box.bottom());
    body.cubicTo(box.left() + w * 0.08, box.top() + h * 0.62, box.left() + w * 0.30,
        box.top() + h * 0.56, box.center().x(), box.top() + h * 0.56);
    body.cubicTo(box.right() - w * 0.30, box.top() + h * 0.56, box.right() - w * 0.08,
        box.top() + h * 0.62, box.right() - w * 0.08, box.bottom());
    body.closeSubpath();
    return path.united(body);
}

/// The icon: a stack of photo cards, the front one half green screen, half sunset, with the
/// keyed subject standing across the seam.
QImage Icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal radius = s * 0.12;

    // Two cards behind: the batch.
    for (int i = 2; i >= 1; --i) {
        const QRectF card(s * (0.10 + 0.05 * i), s * (0.10 - 0.035 * i), s * 0.74, s * 0.74);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 150 + 40 * (2 - i)));
        p.drawRoundedRect(card, radius, radius);
        p.setBrush(QColor(60, 66, 74, 200));
        p.drawRoundedRect(card.adjusted(s * 0.02, s * 0.02, -s * 0.02, -s * 0.02), radius * 0.8,
            radius * 0.8);
    }

    const QRectF front(s * 0.06, s * 0.20, s * 0.76, s * 0.76);
    QPainterPath frame;
    frame.addRoundedRect(front, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(frame);
    const QRectF inner = front.adjusted(s * 0.03, s * 0.03, -s * 0.03, -s * 0.03);
    QPainterPath innerPath;
    innerPath.addRoundedRect(inner, radius * 0.7, radius * 0.7);
    p.setClipPath(innerPath);

    QLinearGradient sunset(inner.topLeft(), inner.bottomLeft());
    sunset.setColorAt(0.0, QColor(255, 183, 77));
    sunset.setColorAt(0.55, QColor(244, 96, 84));
    sunset.setColorAt(1.0, QColor(92, 52, 120));
    p.fillRect(inner, sunset);
    QLinearGradient green(inner.topLeft(), inner.bottomLeft());
    green.setColorAt(0.0, kScreenGreen);
    green.setColorAt(1.0, kScreenGreenDark);
    QPainterPath screenHalf;
    screenHalf.moveTo(inner.topLeft());
    screenHalf.lineTo(inner.left() + inner.width() * 0.62, inner.top());
    screenHalf.lineTo(inner.left() + inner.width() * 0.38, inner.bottom());
    screenHalf.lineTo(inner.bottomLeft());
    screenHalf.closeSubpath();
    p.fillPath(screenHalf, green);

    const QRectF subjectBox(inner.left() + inner.width() * 0.22, inner.top() + inner.height() * 0.16,
        inner.width() * 0.56, inner.height() * 0.84);
    p.fillPath(Subject(subjectBox), kInk);
    p.setClipping(false);
    return image;
}

QImage Splash()
{
    const int width = 560;
    const int height = 340;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient backdrop(0, 0, 0, height);
    backdrop.setColorAt(0.0, QColor(44, 48, 56));
    backdrop.setColorAt(1.0, QColor(22, 24, 28));
    p.fillRect(image.rect(), backdrop);

    // Right: the photograph as it comes from the camera and as it leaves the batch.
    const QRectF photo(300, 40, 220, 220);
    QLinearGradient sunset(photo.topLeft(), photo.bottomLeft());
    sunset.setColorAt(0.0, QColor(255, 190, 92));
    sunset.setColorAt(0.6, QColor(236, 92, 82));
    sunset.setColorAt(1.0, QColor(84, 46, 112));
    QPainterPath photoPath;
    photoPath.addRoundedRect(photo, 14, 14);
    p.setClipPath(photoPath);
    p.fillRect(photo, sunset);
    QRadialGradient sun(photo.center() + QPointF(50, -10), 40);
    sun.setColorAt(0.0, QColor(255, 246, 200, 230));
    sun.setColorAt(1.0, QColor(255, 246, 200, 0));
    p.fillRect(photo, sun);
    QLinearGradient green(photo.topLeft(), photo.bottomLeft());
    green.setColorAt(0.0, kScreenGreen);
    green.setColorAt(1.0, kScreenGreenDark);
    QPainterPath screenHalf;
    screenHalf.moveTo(photo.topLeft());
    screenHalf.lineTo(photo.left() + photo.width() * 0.58, photo.top());
    screenHalf.lineTo(photo.left() + photo.width() * 0.42, photo.bottom());
    screenHalf.lineTo(photo.bottomLeft());
    screenHalf.closeSubpath();
    p.fillPath(screenHalf, green);
    p.fillPath(Subject(QRectF(photo.left() + 45, photo.top() + 40, 130, 180)), kInk);
    p.setClipping(false);
    p.setPen(QPen(QColor(255, 255, 255, 200), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(photo, 14, 14);

    // Left: the name.
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QPointF(36, 130), QStringLiteral("Mattora"));
    p.setPen(kScreenGreen.lighter(130));
    p.drawText(QPointF(36, 176), QStringLiteral("Batch"));
    QFont maker(QStringLiteral("DejaVu Sans"));
    maker.setPixelSize(15);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(maker);
    p.setPen(QColor(190, 196, 204));
    p.drawText(QPointF(38, 82), QStringLiteral("ORVANE"));
    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(13);
    p.setFont(line);
    p.setPen(QColor(160, 166, 174));
    p.drawText(QPointF(38, 214), QStringLiteral("Chroma key photographs in batches"));
    return image;
}

/// The layer placeholders shown before an image is chosen and when its file is missing.
QImage Placeholder(bool offline)
{
    const int width = 400;
    const int height = 260;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(52, 56, 62));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(14, 14, width - 28, height - 28);
    QPen dashed(QColor(150, 156, 164), 3, Qt::DashLine);
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box, 16, 16);

    const QPointF centre(width / 2.0, height / 2.0 - 18);
    p.setPen(QPen(offline ? QColor(230, 120, 96) : QColor(170, 220, 180), 8, Qt::SolidLine,
        Qt::RoundCap, Qt::RoundJoin));
    if (offline) {
        // A broken link: two rings pulled apart.
        p.drawEllipse(centre + QPointF(-30, 0), 22, 14);
        p.drawEllipse(centre + QPointF(30, 0), 22, 14);
        p.drawLine(centre + QPointF(-6, -26), centre + QPointF(-12, -38));
        p.drawLine(centre + QPointF(6, 26), centre + QPointF(12, 38));
    } else {
        // An arrow into a tray.
        p.drawLine(centre + QPointF(0, -40), centre + QPointF(0, 14));
        p.drawLine(centre + QPointF(-20, -6), centre + QPointF(0, 14));
        p.drawLine(centre + QPointF(20, -6), centre + QPointF(0, 14));
        p.drawPolyline(QPolygonF({ centre + QPointF(-40, 10), centre + QPointF(-40, 34),
            centre + QPointF(40, 34), centre + QPointF(40, 10) }));
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(17);
    p.setFont(font);
    p.setPen(QColor(220, 224, 228));
    p.drawText(QRectF(0, height - 86, width, 40), Qt::AlignCenter,
        offline ? QStringLiteral("Image file not found") : QStringLiteral("Drop an image here"));
    return image;
}

bool Save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeProgramArt <ui/resources folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("images"));
    dir.mkpath(QStringLiteral("icons"));
    bool ok = Save(Splash(), dir.filePath(QStringLiteral("images/SplashScreen.png")));
    ok = Save(Placeholder(false), dir.filePath(QStringLiteral("images/DragAndDrop.png"))) && ok;
    ok = Save(Placeholder(true), dir.filePath(QStringLiteral("images/OfflinePreview.png"))) && ok;
    for (int size : { 16, 24, 32, 48, 64, 128, 256 }) {
        ok = Save(Icon(size), dir.filePath(QStringLiteral("icons/mattorabatch-%1.png").arg(size)))
            && ok;
    }
    return ok ? 0 : 1;
}
