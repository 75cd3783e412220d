// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The toolset in a real window (run under Xvfb): the pointer entering and leaving a section
// button, and the window's pictures with the toolset on either side, expanded and collapsed
// (MTRA_UPDATE_SCREENSHOTS=1 writes them under docs/screenshots/).

#include "MainWindow.h"
#include "UiFixture.h"
#include "toolset/ToolsetButton.h"
#include "toolset/ToolsetWidget.h"

#include <QCursor>
#include <QSettings>
#include <QTest>

namespace mtra::ui::test {
namespace {

class ToolsetX11Test : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        QSettings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch")).clear();
        m_window = std::make_unique<MainWindow>(QString());
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->showNormal();
        m_window->setGeometry(40, 40, 1280, 800);
        QTest::qWait(200);
    }
    void TearDown() override
    {
        m_window.reset();
        UiFixture::TearDown();
    }

    ToolsetWidget& Toolset() { return *m_window->Toolset(); }

    /// Moves the real pointer; the window system sends the enter and leave events.
    static void PointAt(const QPoint& global)
    {
        QCursor::setPos(global);
        QTest::qWait(50);
    }

    std::unique_ptr<MainWindow> m_window;
};

void SaveScreenshot(QWidget& window, const QString& name)
{
    if (qEnvironmentVariableIsEmpty("MTRA_UPDATE_SCREENSHOTS")) {
        return;
    }
    QTest::qWait(150);
    EXPECT_TRUE(window.grab().save(QStringLiteral(MTRA_SOURCE_DIR "/docs/screenshots/") + name));
}

TEST_F(ToolsetX11Test, HoverShowsTheSectionNameOnlyWhenCollapsed)
{
    ToolsetButton* button = Toolset().Button(app::SectionCombine);
    ToolsetTooltip* tip = Toolset().Tooltip(app::SectionCombine);
    const QPoint onButton = button->mapToGlobal(button->rect().center());
    const QPoint away = m_window->mapToGlobal(m_window->rect().center());

    for (app::ToolsetPositionID side : { app::ToolsetLeft, app::ToolsetRight }) {
        SCOPED_TRACE(static_cast<int>(side));
        Toolset().SetToolsetPosition(side);
        Toolset().SetToolsetState(app::ToolsetExpanded);
        QTest::qWait(100);
        PointAt(away);
        PointAt(button->mapToGlobal(button->rect().center()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return button->IsHovered(); }, 2000));
        EXPECT_FALSE(tip->IsShowingTip()) << "expanded: no tip";

        PointAt(away);
        Toolset().SetToolsetState(app::ToolsetCollapsed);
        QTest::qWait(100);
        PointAt(button->mapToGlobal(button->rect().center()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return tip->IsShowingTip(); }, 2000));
        EXPECT_TRUE(tip->isVisible());
        EXPECT_EQ(tip->Text(), QStringLiteral("Combine"));
        const int tipX = tip->mapToGlobal(QPoint(0, 0)).x();
        const int buttonX = button->mapToGlobal(QPoint(0, 0)).x();
        EXPECT_EQ(tipX < buttonX, side == app::ToolsetRight) << "the tip stands on the inner side";

        PointAt(away);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !tip->IsShowingTip(); }, 2000));
    }
    Q_UNUSED(onButton);
}

TEST_F(ToolsetX11Test, WindowWithTheToolsetOnBothSides)
{
    const struct {
        app::ToolsetPositionID side;
        app::ToolsetStateID state;
        const char* file;
    } shots[] = {
        { app::ToolsetLeft, app::ToolsetExpanded, "toolset-left-expanded.png" },
        { app::ToolsetLeft, app::ToolsetCollapsed, "toolset-left-collapsed.png" },
        { app::ToolsetRight, app::ToolsetExpanded, "toolset-right-expanded.png" },
        { app::ToolsetRight, app::ToolsetCollapsed, "toolset-right-collapsed.png" },
    };
    for (const auto& shot : shots) {
        SCOPED_TRACE(shot.file);
        Toolset().SetToolsetPosition(shot.side);
        Toolset().SetToolsetState(shot.state);
        QTest::qWait(100);
        // The button column keeps to its own side of the canvas area.
        const QWidget* area = m_window->centralWidget();
        const QRect column
            = Toolset()
                  .Button(app::SectionKey)
                  ->geometry()
                  .translated(
                      Toolset().Button(app::SectionKey)->parentWidget()->mapTo(area, QPoint(0, 0)));
        if (shot.side == app::ToolsetLeft) {
            EXPECT_LT(column.center().x(), area->width() / 2);
        } else {
            EXPECT_GT(column.center().x(), area->width() / 2);
        }
        // Collapsed, the pointer over a button shows its name.
        ToolsetButton* key = Toolset().Button(app::SectionKey);
        PointAt(shot.state == app::ToolsetCollapsed ? key->mapToGlobal(key->rect().center())
                                                    : m_window->mapToGlobal(QPoint(640, 700)));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return Toolset().Tooltip(app::SectionKey)->IsShowingTip()
                    == (shot.state == app::ToolsetCollapsed);
            },
            2000));
        SaveScreenshot(*m_window, QLatin1String(shot.file));
    }
}

} // namespace
} // namespace mtra::ui::test
