// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// Draws the program's own pictures: the splash/About picture, the application icon at the
// hicolor sizes, the two layer placeholders and the toolset and toolbox art. The PNGs are
// committed under ui/resources/; run this again (MakeProgramArt <ui/resources>) when the art
// has to change.

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
        p.drawRoundedRect(
            card.adjusted(s * 0.02, s * 0.02, -s * 0.02, -s * 0.02), radius * 0.8, radius * 0.8);
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

    const QRectF subjectBox(inner.left() + inner.width() * 0.22,
        inner.top() + inner.height() * 0.16, inner.width() * 0.56, inner.height() * 0.84);
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

// --- Toolset and toolbox art ---------------------------------------------------------------

const QColor kLine(203, 203, 203);
const QColor kAccent(72, 200, 110);

QImage Blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPen LinePen(qreal width, const QColor& colour = kLine)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

/// A 48 x 48 section icon; `which` names the section.
QImage SectionIcon(const QString& which)
{
    QImage image = Blank(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(LinePen(3));
    p.setBrush(Qt::NoBrush);
    if (which == QLatin1String("CanvasSize")) {
        // A canvas with a size arrow along its diagonal.
        p.drawRect(QRectF(8, 12, 32, 24));
        p.setPen(LinePen(2.5, kAccent));
        p.drawLine(QPointF(14, 30), QPointF(34, 18));
        p.drawPolyline(QPolygonF({ QPointF(27, 17), QPointF(34, 18), QPointF(31, 24) }));
        p.drawPolyline(QPolygonF({ QPointF(21, 31), QPointF(14, 30), QPointF(17, 24) }));
    } else if (which == QLatin1String("Import")) {
        p.drawPolyline(
            QPolygonF({ QPointF(8, 28), QPointF(8, 40), QPointF(40, 40), QPointF(40, 28) }));
        p.setPen(LinePen(3, kAccent));
        p.drawLine(QPointF(24, 6), QPointF(24, 32));
        p.drawPolyline(QPolygonF({ QPointF(15, 23), QPointF(24, 32), QPointF(33, 23) }));
    } else if (which == QLatin1String("Key")) {
        // A green screen with the subject cut out of it.
        p.setPen(Qt::NoPen);
        p.setBrush(kScreenGreen);
        p.drawRoundedRect(QRectF(6, 6, 36, 36), 5, 5);
        p.setBrush(kLine);
        p.drawPath(Subject(QRectF(12, 10, 24, 32)));
    } else if (which == QLatin1String("Filters")) {
        p.setPen(Qt::NoPen);
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        p.setBrush(QColor(200, 40, 40));
        p.drawEllipse(QPointF(18, 19), 12, 12);
        p.setBrush(QColor(40, 170, 60));
        p.drawEllipse(QPointF(30, 19), 12, 12);
        p.setBrush(QColor(40, 70, 210));
        p.drawEllipse(QPointF(24, 30), 12, 12);
    } else if (which == QLatin1String("Position")) {
        p.drawLine(QPointF(24, 6), QPointF(24, 42));
        p.drawLine(QPointF(6, 24), QPointF(42, 24));
        p.setPen(LinePen(3, kAccent));
        p.drawPolyline(QPolygonF({ QPointF(18, 12), QPointF(24, 6), QPointF(30, 12) }));
        p.drawPolyline(QPolygonF({ QPointF(18, 36), QPointF(24, 42), QPointF(30, 36) }));
        p.drawPolyline(QPolygonF({ QPointF(12, 18), QPointF(6, 24), QPointF(12, 30) }));
        p.drawPolyline(QPolygonF({ QPointF(36, 18), QPointF(42, 24), QPointF(36, 30) }));
    } else if (which == QLatin1String("Combine")) {
        p.setBrush(QColor(203, 203, 203, 70));
        p.drawRoundedRect(QRectF(6, 6, 24, 24), 3, 3);
        p.setPen(LinePen(3, kAccent));
        p.setBrush(QColor(72, 200, 110, 90));
        p.drawRoundedRect(QRectF(18, 18, 24, 24), 3, 3);
    } else if (which == QLatin1String("Overlay")) {
        // Three layers of a stack, the top one highlighted.
        for (int i = 2; i >= 0; --i) {
            const qreal y = 14 + i * 8;
            p.setPen(LinePen(2.5, i == 0 ? kAccent : kLine));
            p.setBrush(i == 0 ? QColor(72, 200, 110, 110) : QColor(40, 40, 40));
            p.drawPolygon(QPolygonF(
                { QPointF(24, y - 9), QPointF(42, y), QPointF(24, y + 9), QPointF(6, y) }));
        }
    } else if (which == QLatin1String("Export")) {
        p.drawPolyline(
            QPolygonF({ QPointF(8, 28), QPointF(8, 40), QPointF(40, 40), QPointF(40, 28) }));
        p.setPen(LinePen(3, kAccent));
        p.drawLine(QPointF(24, 32), QPointF(24, 6));
        p.drawPolyline(QPolygonF({ QPointF(15, 15), QPointF(24, 6), QPointF(33, 15) }));
    } else if (which == QLatin1String("Print")) {
        p.drawRect(QRectF(14, 6, 20, 12));
        p.setBrush(QColor(203, 203, 203, 60));
        p.drawRoundedRect(QRectF(6, 18, 36, 16), 3, 3);
        p.setBrush(QColor(40, 40, 40));
        p.drawRect(QRectF(14, 28, 20, 14));
        p.setPen(LinePen(2, kAccent));
        p.drawLine(QPointF(18, 34), QPointF(30, 34));
        p.drawLine(QPointF(18, 38), QPointF(27, 38));
    }
    return image;
}

/// The toolset's panel: rounded towards the canvas, square and without an edge line where
/// it meets the window's side (that column is stretched along the panel's height).
QImage ToolsetBackground(bool right)
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn for the left side, mirrored for the right.
    if (right) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath edge;
    edge.moveTo(0, 0.5);
    edge.lineTo(11, 0.5);
    edge.quadTo(15.5, 0.5, 15.5, 5);
    edge.lineTo(15.5, 11);
    edge.quadTo(15.5, 15.5, 11, 15.5);
    edge.lineTo(0, 15.5);
    QPainterPath fill = edge;
    fill.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(26, 26, 26, 215));
    p.drawPath(fill);
    p.setPen(QPen(QColor(77, 77, 77), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(edge);
    return image;
}

/// An arrow in a 16 x 16 square: `direction` 0 left, 1 right, 2 up, 3 down.
QImage Arrow(int direction, const QColor& colour = kLine)
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPolygonF shape;
    switch (direction) {
    case 0:
        shape = QPolygonF({ QPointF(11, 3), QPointF(4, 8), QPointF(11, 13) });
        break;
    case 1:
        shape = QPolygonF({ QPointF(5, 3), QPointF(12, 8), QPointF(5, 13) });
        break;
    case 2:
        shape = QPolygonF({ QPointF(3, 11), QPointF(8, 4), QPointF(13, 11) });
        break;
    default:
        shape = QPolygonF({ QPointF(3, 5), QPointF(8, 12), QPointF(13, 5) });
        break;
    }
    p.drawPolygon(shape);
    return image;
}

/// A title bar of a toolbox group: rounded top corners, and all four when collapsed.
QImage FilterTitle(bool collapsed)
{
    QImage image = Blank(32, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 0, 25);
    shade.setColorAt(0, QColor(77, 77, 77));
    shade.setColorAt(0.5, QColor(58, 58, 58));
    shade.setColorAt(1, QColor(46, 46, 46));
    QPainterPath bar;
    bar.addRoundedRect(QRectF(0.5, 0.5, 31, 24), 4, 4);
    if (!collapsed) {
        bar.addRect(QRectF(0.5, 12, 31, 12.5));
        bar.setFillRule(Qt::WindingFill);
    }
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(shade);
    p.drawPath(bar.simplified());
    return image;
}

/// The ordinary button: `state` 0 normal, 1 under the pointer, 2 pressed.
QImage DefaultButton(int state)
{
    QImage image = Blank(32, 27);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 0, 27);
    const int lift = state == 1 ? 14 : 0;
    if (state == 2) {
        shade.setColorAt(0, QColor(30, 30, 30));
        shade.setColorAt(1, QColor(52, 52, 52));
    } else {
        shade.setColorAt(0, QColor(82 + lift, 82 + lift, 82 + lift));
        shade.setColorAt(1, QColor(50 + lift, 50 + lift, 50 + lift));
    }
    p.setPen(QPen(state == 1 ? QColor(120, 120, 120) : QColor(20, 20, 20), 1));
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 26), 4, 4);
    return image;
}

QImage HelpIcon()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 130, 200));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    return image;
}

/// The dock's float button: a window with an arrow leaving it.
QImage RipoffIcon()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(LinePen(1.5));
    p.drawRect(QRectF(1.5, 4.5, 10, 10));
    p.setPen(LinePen(1.8, kAccent));
    p.drawLine(QPointF(7, 9), QPointF(14, 2));
    p.drawPolyline(QPolygonF({ QPointF(9, 2), QPointF(14, 2), QPointF(14, 7) }));
    return image;
}

/// The reset buttons' icon: an arrow turning back on itself.
QImage ResetIcon()
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(LinePen(1.8, kAccent));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 290 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPolygon(QPolygonF({ QPointF(4, 0.5), QPointF(9.5, 3), QPointF(4.5, 6.5) }));
    return image;
}

bool SaveToolsetArt(const QDir& dir)
{
    dir.mkpath(QStringLiteral("toolset"));
    auto path
        = [&](const QString& name) { return dir.filePath(QStringLiteral("toolset/") + name); };
    bool ok = true;
    for (const char* section : { "CanvasSize", "Import", "Key", "Filters", "Position", "Combine",
             "Overlay", "Export", "Print" }) {
        const QString name = QLatin1String(section);
        ok = Save(SectionIcon(name), path(QStringLiteral("Section%1.png").arg(name))) && ok;
    }
    ok = Save(ToolsetBackground(false), path(QStringLiteral("ToolsetBackgroundLeft.png"))) && ok;
    ok = Save(ToolsetBackground(true), path(QStringLiteral("ToolsetBackgroundRight.png"))) && ok;
    // The slide button points the way the toolset will move.
    ok = Save(Arrow(0), path(QStringLiteral("ToolsetExpanded.png"))) && ok;
    ok = Save(Arrow(1), path(QStringLiteral("ToolsetCollapsed.png"))) && ok;
    ok = Save(FilterTitle(false), path(QStringLiteral("FilterTitle.png"))) && ok;
    ok = Save(FilterTitle(true), path(QStringLiteral("FilterTitleCollapsed.png"))) && ok;
    ok = Save(DefaultButton(0), path(QStringLiteral("ButtonDefault.png"))) && ok;
    ok = Save(DefaultButton(1), path(QStringLiteral("ButtonOver.png"))) && ok;
    ok = Save(DefaultButton(2), path(QStringLiteral("ButtonDown.png"))) && ok;
    ok = Save(Arrow(1), path(QStringLiteral("Collapsed.png"))) && ok;
    ok = Save(Arrow(3), path(QStringLiteral("Expanded.png"))) && ok;
    ok = Save(Arrow(2, QColor(160, 160, 160)), path(QStringLiteral("FilterUp.png"))) && ok;
    ok = Save(Arrow(3, QColor(160, 160, 160)), path(QStringLiteral("FilterDown.png"))) && ok;
    ok = Save(HelpIcon(), path(QStringLiteral("Help.png"))) && ok;
    ok = Save(RipoffIcon(), path(QStringLiteral("ToolboxRipoff.png"))) && ok;
    ok = Save(ResetIcon(), path(QStringLiteral("Reset.png"))) && ok;
    return ok;
}

// --- Import page art -------------------------------------------------------------------------

const QColor kWarning(214, 74, 64);

/// A 16 x 16 plus or minus sign for the import and remove buttons.
QImage SignIcon(bool plus)
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(LinePen(2.2, plus ? kAccent : kLine));
    p.drawLine(QPointF(3.5, 8), QPointF(12.5, 8));
    if (plus) {
        p.drawLine(QPointF(8, 3.5), QPointF(8, 12.5));
    }
    return image;
}

/// A 16 x 16 photo frame for a batch row: `state` 0 not yet viewed (an empty frame), 1 viewed
/// (a small landscape in it), 2 unique (the landscape and a green corner), 3 offline (the
/// frame crossed out in red).
QImage RowIcon(int state)
{
    QImage image = Blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(1.5, 3.5, 13, 10);
    p.setPen(LinePen(1.2, state == 3 ? QColor(140, 140, 140) : kLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    if (state == 1 || state == 2) {
        p.setPen(Qt::NoPen);
        p.setBrush(kLine);
        p.drawPolygon(QPolygonF({ QPointF(3, 12), QPointF(7, 7), QPointF(9.5, 10), QPointF(11, 8.5),
            QPointF(13, 12) }));
        p.drawEllipse(QPointF(11, 6), 1.2, 1.2);
    }
    if (state == 2) {
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(12.5, 3.5), 3, 3);
    }
    if (state == 3) {
        p.setPen(LinePen(1.8, kWarning));
        p.drawLine(QPointF(3, 2.5), QPointF(13, 14.5));
        p.drawLine(QPointF(13, 2.5), QPointF(3, 14.5));
    }
    return image;
}

bool SaveImportArt(const QDir& dir)
{
    dir.mkpath(QStringLiteral("import"));
    auto path = [&](const QString& name) { return dir.filePath(QStringLiteral("import/") + name); };
    bool ok = Save(SignIcon(true), path(QStringLiteral("Plus.png")));
    ok = Save(SignIcon(false), path(QStringLiteral("Minus.png"))) && ok;
    ok = Save(RowIcon(0), path(QStringLiteral("ImageUnviewed.png"))) && ok;
    ok = Save(RowIcon(1), path(QStringLiteral("ImageViewed.png"))) && ok;
    ok = Save(RowIcon(2), path(QStringLiteral("ImageUniqueEnabled.png"))) && ok;
    ok = Save(RowIcon(3), path(QStringLiteral("Offline.png"))) && ok;
    return ok;
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
    ok = SaveToolsetArt(dir) && ok;
    ok = SaveImportArt(dir) && ok;
    return ok ? 0 : 1;
}
