// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// Writes the small projects that the golden render tests export: generated shots against a
// green and a blue screen, a background, an overlay, and one project file per case, saved by
// the project's own writer so that it is exactly what the program would store. Images are
// referred to by file name; the tests open each project from its own folder.
//
// Usage: MakeRenderProjects <folder>   (normally tests/data/projects)
// Afterwards run AppGoldenRenderTest with MTRA_UPDATE_GOLDEN=1 to write the expected images,
// and look at them before committing.

#include <app/CompositeItems.h>
#include <app/FilterItems.h>
#include <app/ItemLists.h>
#include <app/KeyItems.h>
#include <app/LayerImages.h>
#include <app/Project.h>
#include <app/TransformItems.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

using namespace mtra::app;

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 64;

// Deterministic noise in −amplitude … amplitude, so that keys meet camera-like screens.
class Noise
{
public:
    int Next(int amplitude)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<int>((m_state >> 16) % static_cast<unsigned>(2 * amplitude + 1))
            - amplitude;
    }

private:
    std::uint32_t m_state = 2024u;
};

int Clamp(int v)
{
    return std::clamp(v, 0, 255);
}

// A person in front of an evenly lit screen: a skin-coloured head and a dark red shirt with
// soft (antialiased) edges, a little screen light spilled onto the subject's rim.
QImage ScreenShot(QRgb screen)
{
    QImage subject(kWidth, kHeight, QImage::Format_ARGB32);
    subject.fill(Qt::transparent);
    {
        QPainter painter(&subject);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(150, 40, 50));
        painter.drawEllipse(QPointF(48, 60), 22, 24);
        painter.setBrush(QColor(240, 200, 60)); // a badge on the left of the shirt
        painter.drawRect(QRectF(36, 46, 6, 5));
        painter.setBrush(QColor(225, 180, 150));
        painter.drawEllipse(QPointF(48, 22), 10, 12);
        painter.setBrush(QColor(70, 45, 30)); // hair
        painter.drawChord(QRectF(38, 9, 20, 16), 0, 180 * 16);
    }
    Noise noise;
    QImage shot(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // The screen falls off a little towards the corners, as under real lights.
            const double dx = (x - kWidth / 2.0) / kWidth;
            const double dy = (y - kHeight / 2.0) / kHeight;
            const double fall = 1.0 - 0.2 * (dx * dx + dy * dy);
            const int n = noise.Next(5);
            const int sr = Clamp(static_cast<int>(qRed(screen) * fall) + n);
            const int sg = Clamp(static_cast<int>(qGreen(screen) * fall) + n);
            const int sb = Clamp(static_cast<int>(qBlue(screen) * fall) + n);
            const QRgb s = subject.pixel(x, y);
            const int a = qAlpha(s);
            // Rim light: the screen tints the subject's edge pixels a little.
            const int rim = a > 0 && a < 255 ? 40 : 0;
            const int r = (qRed(s) * a + sr * (255 - a)) / 255;
            const int g = (qGreen(s) * a + sg * (255 - a)) / 255;
            const int b = (qBlue(s) * a + sb * (255 - a)) / 255;
            shot.setPixel(x, y,
                qRgb(Clamp(r + (sr - r) * rim / 255 + n / 2),
                    Clamp(g + (sg - g) * rim / 255 + n / 2),
                    Clamp(b + (sb - b) * rim / 255 + n / 2)));
        }
    }
    return shot;
}

// Evening sky over a meadow with a low sun: smooth gradients, one bright feature.
QImage Background()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 40);
    sky.setColorAt(0, QColor(70, 110, 200));
    sky.setColorAt(1, QColor(245, 190, 140));
    painter.fillRect(0, 0, kWidth, 40, sky);
    QLinearGradient meadow(0, 40, 0, kHeight);
    meadow.setColorAt(0, QColor(90, 140, 60));
    meadow.setColorAt(1, QColor(40, 80, 30));
    painter.fillRect(0, 40, kWidth, kHeight - 40, meadow);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 230, 120));
    painter.drawEllipse(QPointF(78, 30), 7, 7);
    painter.setBrush(QColor(50, 70, 45));
    painter.drawRect(QRectF(8, 28, 6, 14)); // a tree trunk and crown at the left
    painter.setBrush(QColor(40, 100, 45));
    painter.drawEllipse(QPointF(11, 24), 8, 9);
    return image;
}

// A frame with a translucent caption band and an opaque badge; transparent in the middle.
QImage Overlay()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1.5, 1.5, kWidth - 3, kHeight - 3));
    painter.fillRect(QRect(3, kHeight - 12, kWidth - 6, 9), QColor(0, 0, 0, 128));
    painter.fillRect(QRect(kWidth - 18, 5, 12, 10), QColor(200, 30, 40));
    painter.fillRect(QRect(kWidth - 15, 8, 6, 4), QColor(255, 255, 255));
    return image;
}

template <typename Item, typename List> std::shared_ptr<Item> Find(List& list)
{
    for (auto it = list.Begin(); it != list.End(); ++it)
        if (auto item = std::dynamic_pointer_cast<Item>(*it))
            return item;
    return nullptr;
}

struct Case {
    const char* name;
    const char* foreground; // nullptr: none
    bool background;
    bool overlay;
    void (*adjust)(ForegroundImageList&);
};

void Unchanged(ForegroundImageList&) { }

// Filters and a placement on the subject, a softened and warmed background, and the light of
// the background screened onto the subject.
void FiltersAndTransform(ForegroundImageList& list)
{
    const auto fg = list.DefaultForegroundSettings();
    Find<BrightnessFilterItem>(fg->Filters())->SetBrightness(0.1);
    Find<SaturationFilterItem>(fg->Filters())->SetSaturation(1.4);
    const auto place = Find<TransformationTransformItem>(fg->Transforms());
    place->SetScaleX(-0.75); // mirrored and smaller
    place->SetScaleY(0.75);
    place->SetTranslateX(-0.3);
    place->SetTranslateY(0.1);
    const auto spill = Find<LightSpillCompositeItem>(fg->Compositors());
    spill->SetBlendMode(orv::image::BlendModeScreen);
    spill->SetBlur(10);
    Find<FlattenCompositeItem>(fg->Compositors())->SetForegroundTransparency(0.15);

    const auto bg = list.DefaultBackgroundSettings();
    Find<BlurFilterItem>(bg->Filters())->SetRadius(2);
    Find<ColorTemperatureFilterItem>(bg->Filters())->SetTemperatureShift(3500);
    Find<TransformationTransformItem>(bg->Transforms())->SetRotation(8);
    Find<TransformationTransformItem>(bg->Transforms())->SetScaleX(1.3);
    Find<TransformationTransformItem>(bg->Transforms())->SetScaleY(1.3);
    list.UpdateActiveFlags();
}

bool Save(const QImage& image, const QDir& dir, const char* name)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <projects folder>\n", argv[0]);
        return 2;
    }
    const Case cases[] = {
        { "green_default", "foreground_green.png", true, false, Unchanged },
        { "blue_screen", "foreground_blue.png", true, false, Unchanged },
        { "with_overlay", "foreground_green.png", true, true, Unchanged },
        { "filters_transform", "foreground_green.png", true, false, FiltersAndTransform },
        { "overlay_only", nullptr, false, true, Unchanged },
    };
    for (const Case& c : cases) {
        const QDir dir(QDir(QString::fromLocal8Bit(argv[1])).filePath(QString::fromLatin1(c.name)));
        if (!QDir().mkpath(dir.path()))
            return 1;
        MTerr result = MT_OK;
        Project project(result);
        if (result != MT_OK)
            return 1;
        project.GetCanvas().SetDimensions(kWidth, kHeight);
        if (c.foreground) {
            const bool green = QByteArray(c.foreground).contains("green");
            if (!Save(ScreenShot(green ? qRgb(40, 190, 60) : qRgb(35, 70, 205)), dir, c.foreground))
                return 1;
            const QString name = QString::fromLatin1(c.foreground);
            project.GetForegroundImageList().Add(
                std::make_shared<ForegroundImage>(name, name, true, true, false, true));
            project.SetCurrentForegroundPath(name);
        }
        if (c.background) {
            if (!Save(Background(), dir, "background.png"))
                return 1;
            project.SetBackgroundImage(std::make_shared<BackgroundImage>(
                QStringLiteral("background.png"), QStringLiteral("background.png"), true));
        }
        if (c.overlay) {
            if (!Save(Overlay(), dir, "overlay.png"))
                return 1;
            project.SetOverlayImage(std::make_shared<OverlayImage>(
                QStringLiteral("overlay.png"), QStringLiteral("overlay.png"), true, false));
        }
        c.adjust(project.GetForegroundImageList());
        if (project.SaveToXml(dir.filePath(QStringLiteral("project.mtrabatch")),
                QStringLiteral("1.0.0020"), QStringLiteral("1.0"))
            != MT_OK)
            return 1;
        std::printf("%s\n", qPrintable(dir.path()));
    }
    return 0;
}
