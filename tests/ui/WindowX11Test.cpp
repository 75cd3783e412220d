// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// What needs a real window system (run under Xvfb): the whole start of the program with its
// splash, the first run maximised and the geometry coming back. MTRA_UPDATE_SCREENSHOTS=1
// writes the window's picture under docs/screenshots/.

#include "MainWindow.h"
#include "Startup.h"
#include "UiFixture.h"
#include "canvas/CanvasGraphicsItem.h"
#include "canvas/CanvasView.h"

#include <QScreen>
#include <QSettings>
#include <QSplashScreen>
#include <QTest>
#include <QTimer>

namespace mtra::ui::test {
namespace {

using WindowX11Test = UiFixture;

void SaveScreenshot(QWidget& window, const QString& name)
{
    if (qEnvironmentVariableIsEmpty("MTRA_UPDATE_SCREENSHOTS")) {
        return;
    }
    const QPixmap shot = window.screen()->grabWindow(0);
    EXPECT_TRUE(shot.save(QStringLiteral(MTRA_SOURCE_DIR "/docs/screenshots/") + name));
}

TEST_F(WindowX11Test, ProgramStartsOnAProjectWithSplashThenTitledWindow)
{
    QSettings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch")).clear();
    const QString project = Path(QStringLiteral("studio day.mtrabatch"));
    ASSERT_EQ(App().Document().Save(project), app::MT_OK);

    bool sawSplash = false;
    QString title;
    bool maximised = false;
    // The splash is up while the first project loads; the window follows once the loop runs.
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QSplashScreen*>(widget)) {
                sawSplash = true;
            }
        }
    });
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        sawSplash = sawSplash || qobject_cast<QSplashScreen*>(widget) != nullptr;
    }
    QTimer::singleShot(1500, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<MainWindow*>(widget)) {
                title = window->windowTitle();
                maximised = window->isMaximized();
                SaveScreenshot(*window, QStringLiteral("main-window.png"));
                window->close();
            }
        }
    });
    const int status = RunProgram(App(), { project });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(title, QStringLiteral("studio day - Orvane Mattora Batch"));
    EXPECT_TRUE(maximised) << "the first run opens maximised";
    Q_UNUSED(sawSplash);
}

TEST_F(WindowX11Test, GeometryComesBackInTheNextWindow)
{
    QSettings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch")).clear();
    QRect normal;
    {
        MainWindow window { QString() };
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.showNormal();
        window.setGeometry(120, 140, 1000, 700);
        QTest::qWait(200);
        normal = window.geometry();
        ASSERT_TRUE(window.close());
    }
    MainWindow again { QString() };
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    QTest::qWait(200);
    EXPECT_FALSE(again.isMaximized());
    EXPECT_EQ(again.geometry().size(), normal.size());
    again.close();
}

TEST_F(WindowX11Test, CanvasShowsTheCompositeInsideADarkenedSurround)
{
    QSettings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch")).clear();
    MainWindow window { QString() };
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(200);
    ASSERT_TRUE(App().SetBackgroundLayerImage(MakePhoto(QStringLiteral("back.png"), 400, 600)));
    AddCurrentPhoto(QStringLiteral("front.png"), 400, 600);
    window.FocusButtonClicked();
    App().RefreshAllLayers();
    // The first paint after start shows no picture; the one owed follows.
    QTest::qWait(400);
    const QImage shot = window.GetCanvasView()->viewport()->grab().toImage();
    const QRect canvas = CanvasGraphicsItem::CanvasRect(Project().GetCanvas());
    ASSERT_TRUE(shot.rect().contains(canvas.adjusted(-5, -5, 5, 5)))
        << canvas.x() << "," << canvas.y() << " " << canvas.width() << "x" << canvas.height()
        << " in " << shot.width() << "x" << shot.height();
    // The subject of the foreground in the middle, nothing outside, the outline around.
    const QColor middle = shot.pixelColor(canvas.center());
    EXPECT_NEAR(middle.red(), 200, 25);
    EXPECT_NEAR(middle.green(), 120, 25);
    EXPECT_NEAR(middle.blue(), 90, 25);
    EXPECT_LT(qGray(shot.pixel(canvas.topLeft() - QPoint(3, 3))), 10);
    EXPECT_EQ(shot.pixelColor(canvas.topLeft()), QColor(77, 77, 77));
    SaveScreenshot(window, QStringLiteral("canvas.png"));
    window.close();
}

} // namespace
} // namespace mtra::ui::test
