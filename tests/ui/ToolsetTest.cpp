// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The toolset, the toolbox dock, the group frames and the buttons: page switching, position
// and state, the dock's notifications and the canvas drag through the toolset.

#include "MainWindow.h"
#include "UiFixture.h"
#include "toolset/ButtonDefault.h"
#include "toolset/ButtonMultiClick.h"
#include "toolset/TitleWidget.h"
#include "toolset/ToolboxDockWidget.h"
#include "toolset/ToolsetButton.h"
#include "toolset/ToolsetWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <vector>

namespace mtra::ui::test {
namespace {

using app::ToolsetSections;

const ToolsetSections kAllSections[]
    = { app::SectionCanvasSize, app::SectionImport, app::SectionKey, app::SectionFilters,
          app::SectionPosition, app::SectionCombine, app::SectionOverlay, app::SectionExport };

class ToolsetTest : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        Settings().clear();
    }
    static QSettings Settings()
    {
        return QSettings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch"));
    }
};

void Mouse(
    QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QAction* ActionNamed(QWidget& window, const QString& text)
{
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

TEST_F(ToolsetTest, ChangePageToTheShownSectionRefreshesNothing)
{
    Project().SetCurrentToolset(app::SectionKey);
    ToolboxDockWidget dock(QStringLiteral("Toolbox"));
    EXPECT_EQ(dock.ShownSection(), app::SectionKey) << "the dock opens on the project's section";
    Project().SetCurrentLayer(app::BackgroundLayer);
    std::vector<int> refreshed;
    for (ToolsetSections section : kAllSections) {
        QObject::connect(dock.Page(section), &ToolboxPage::PageUpdated,
            [&refreshed, section] { refreshed.push_back(section); });
    }

    dock.ChangePage(app::SectionKey);
    EXPECT_TRUE(refreshed.empty());
    EXPECT_EQ(Project().CurrentLayer(), app::BackgroundLayer) << "the layer stays as it was";

    // Every other section is shown and refreshed, except import and export, which keep
    // themselves in step; key and combine edit the foreground.
    for (ToolsetSections section : kAllSections) {
        if (section == app::SectionKey) {
            continue;
        }
        SCOPED_TRACE(static_cast<int>(section));
        refreshed.clear();
        Project().SetCurrentLayer(app::BackgroundLayer);
        dock.ChangePage(section);
        EXPECT_EQ(dock.ShownSection(), section);
        EXPECT_EQ(Project().CurrentToolset(), section);
        const bool selfRefreshing = section == app::SectionImport || section == app::SectionExport;
        EXPECT_EQ(refreshed, selfRefreshing ? std::vector<int>() : std::vector<int> { section });
        const bool foreground = section == app::SectionCombine;
        EXPECT_EQ(
            Project().CurrentLayer(), foreground ? app::ForegroundLayer : app::BackgroundLayer);
    }
    dock.ChangePage(app::SectionKey);
    EXPECT_EQ(Project().CurrentLayer(), app::ForegroundLayer);
}

TEST_F(ToolsetTest, UnknownSectionsFallBackToTheFirst)
{
    Project().SetCurrentToolset(static_cast<ToolsetSections>(12));
    MainWindow window { QString() };
    EXPECT_EQ(window.Toolbox()->ShownSection(), app::SectionCanvasSize);
    EXPECT_TRUE(window.Toolset()->Button(app::SectionCanvasSize)->isChecked());
    EXPECT_EQ(Project().CurrentToolset(), app::SectionCanvasSize);

    window.Toolbox()->ChangePage(static_cast<ToolsetSections>(-1));
    window.Toolbox()->ChangePage(static_cast<ToolsetSections>(8));
    EXPECT_EQ(window.Toolbox()->ShownSection(), app::SectionCanvasSize);
    EXPECT_EQ(Project().CurrentToolset(), app::SectionCanvasSize);
}

TEST_F(ToolsetTest, FilesDraggedInSwitchToImportExceptFromImportAndOverlay)
{
    ToolsetWidget toolset;
    QSignalSpy activated(&toolset, &ToolsetWidget::ActivateToolset);
    for (ToolsetSections section : kAllSections) {
        SCOPED_TRACE(static_cast<int>(section));
        toolset.Button(section)->click();
        ASSERT_EQ(toolset.CurrentSection(), section);
        activated.clear();
        toolset.SelectImportPage();
        const bool stays = section == app::SectionImport || section == app::SectionOverlay;
        EXPECT_EQ(toolset.CurrentSection(), stays ? section : app::SectionImport);
        EXPECT_TRUE(toolset.Button(toolset.CurrentSection())->isChecked());
        EXPECT_EQ(activated.count(), stays ? 0 : 1);
    }
}

TEST_F(ToolsetTest, ButtonsChooseTheDockPageInTheWindow)
{
    MainWindow window { QString() };
    for (ToolsetSections section : { app::SectionExport, app::SectionFilters }) {
        window.Toolset()->Button(section)->click();
        EXPECT_EQ(window.Toolbox()->ShownSection(), section);
        EXPECT_EQ(Project().CurrentToolset(), section);
    }
    // A new project brings the toolset and the dock back to its section.
    Project().SetCurrentToolset(app::SectionPosition);
    emit window.UpdateFromProject();
    EXPECT_TRUE(window.Toolset()->Button(app::SectionPosition)->isChecked());
    EXPECT_EQ(window.Toolbox()->ShownSection(), app::SectionPosition);
}

TEST_F(ToolsetTest, RightSideSwapsColumnsAndMirrorsButtons)
{
    ToolsetWidget toolset;
    toolset.resize(600, 700);
    toolset.show();
    auto tooltipIsLeftOfButton = [&] {
        QApplication::processEvents();
        toolset.layout()->activate();
        ToolsetButton* button = toolset.Button(app::SectionKey);
        const QPoint buttonAt = button->mapTo(&toolset, QPoint(0, 0));
        const QPoint tipAt = toolset.Tooltip(app::SectionKey)->mapTo(&toolset, QPoint(0, 0));
        return tipAt.x() < buttonAt.x();
    };

    toolset.SetToolsetPosition(app::ToolsetRight);
    EXPECT_TRUE(toolset.AreColumnsSwapped());
    EXPECT_TRUE(tooltipIsLeftOfButton());
    EXPECT_EQ(toolset.Button(app::SectionKey)->layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(toolset.PrintButton()->layoutDirection(), Qt::RightToLeft);
    EXPECT_TRUE(toolset.SlideButton()->styleSheet().contains(
        QStringLiteral("ToolsetCollapsed.png) 0px 0px 0px 0px; }\t")));
    EXPECT_EQ(Project().ToolsetPosition(), app::ToolsetRight);

    toolset.SetToolsetPosition(app::ToolsetRight);
    EXPECT_TRUE(toolset.AreColumnsSwapped()) << "a second call keeps the columns";
    EXPECT_TRUE(tooltipIsLeftOfButton());

    toolset.SetToolsetPosition(app::ToolsetLeft);
    EXPECT_FALSE(toolset.AreColumnsSwapped());
    EXPECT_FALSE(tooltipIsLeftOfButton());
    EXPECT_EQ(toolset.Button(app::SectionKey)->layoutDirection(), Qt::LeftToRight);
    EXPECT_TRUE(toolset.SlideButton()->styleSheet().contains(
        QStringLiteral("ToolsetExpanded.png) 0px 0px 0px 0px; }\t")));
    EXPECT_EQ(Project().ToolsetPosition(), app::ToolsetLeft);
}

TEST_F(ToolsetTest, CollapsedToolsetShowsIconsAndTipsOnlyThen)
{
    ToolsetWidget toolset;
    toolset.show();
    ToolsetButton* button = toolset.Button(app::SectionFilters);
    ToolsetTooltip* tip = toolset.Tooltip(app::SectionFilters);
    EXPECT_EQ(tip->Text(), QStringLiteral("Filters"));
    const int expandedWidth = App().ToolsetWidth();

    emit button->ButtonHoverEnter();
    EXPECT_FALSE(tip->IsShowingTip()) << "expanded: the button shows its own text";

    toolset.SetToolsetState(app::ToolsetCollapsed);
    EXPECT_TRUE(button->text().isEmpty());
    EXPECT_TRUE(toolset.SlideButton()->isChecked());
    EXPECT_EQ(Project().ToolsetState(), app::ToolsetCollapsed);
    EXPECT_LT(App().ToolsetWidth(), expandedWidth) << "the canvas gets the room";
    emit button->ButtonHoverEnter();
    EXPECT_TRUE(tip->IsShowingTip());
    emit button->ButtonHoverLeave();
    EXPECT_FALSE(tip->IsShowingTip());

    // Expanding while a tip is up takes it away.
    emit button->ButtonHoverEnter();
    toolset.SlideButton()->click();
    EXPECT_EQ(Project().ToolsetState(), app::ToolsetExpanded);
    EXPECT_EQ(button->text(), QStringLiteral("Filters"));
    EXPECT_FALSE(tip->IsShowingTip());
    EXPECT_EQ(App().ToolsetWidth(), expandedWidth);
}

TEST_F(ToolsetTest, StoredPlacementAnyNonZeroMeansRightAndCollapsed)
{
    QSettings settings = Settings();
    settings.setValue(QStringLiteral("MainWindow/ToolsetPosition"), 7);
    settings.setValue(QStringLiteral("MainWindow/ToolsetState"), -2);
    settings.sync();
    ToolsetWidget toolset;
    EXPECT_EQ(Project().ToolsetPosition(), app::ToolsetRight);
    EXPECT_EQ(Project().ToolsetState(), app::ToolsetCollapsed);
    EXPECT_TRUE(toolset.AreColumnsSwapped());
    EXPECT_TRUE(toolset.Button(app::SectionImport)->text().isEmpty());
}

TEST_F(ToolsetTest, ViewMenuMovesAndCollapsesTheToolset)
{
    MainWindow window { QString() };
    QAction* right = ActionNamed(window, QStringLiteral("Right"));
    QAction* collapse = ActionNamed(window, QStringLiteral("Collapse Toolset"));
    ASSERT_NE(right, nullptr);
    ASSERT_NE(collapse, nullptr);
    right->trigger();
    EXPECT_TRUE(window.Toolset()->AreColumnsSwapped());
    collapse->trigger();
    EXPECT_TRUE(window.Toolset()->Button(app::SectionKey)->text().isEmpty());
    // The slide button keeps the menu in step.
    window.Toolset()->SlideButton()->click();
    EXPECT_FALSE(collapse->isChecked());
    EXPECT_EQ(window.Toolset()->Button(app::SectionKey)->text(), QStringLiteral("Key"));
}

TEST_F(ToolsetTest, DockReportsFloatingDockedAndResized)
{
    MainWindow window { QString() };
    window.resize(1200, 800);
    window.show();
    ToolboxDockWidget* dock = window.Toolbox();
    std::vector<std::pair<int, int>> reports;
    QObject::connect(dock, &ToolboxDockWidget::DockHasBeenResized,
        [&](int state, int width) { reports.emplace_back(state, width); });
    QAction* undock = ActionNamed(window, QStringLiteral("Undock Toolbox"));
    ASSERT_NE(undock, nullptr);
    EXPECT_FALSE(undock->isChecked());

    dock->setFloating(true);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front(), std::make_pair(0, dock->width()));
    EXPECT_TRUE(undock->isChecked());

    reports.clear();
    dock->setFloating(false);
    ASSERT_FALSE(reports.empty());
    bool docked = false;
    for (const auto& report : reports) {
        docked = docked || report.first == 1;
    }
    EXPECT_TRUE(docked);
    EXPECT_FALSE(undock->isChecked());

    reports.clear();
    dock->resize(dock->width() + 40, dock->height());
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), std::make_pair(2, dock->width()));

    // The menu entry floats and docks it.
    undock->trigger();
    EXPECT_TRUE(dock->isFloating());
    undock->trigger();
    EXPECT_FALSE(dock->isFloating());
}

TEST_F(ToolsetTest, ToolboxHelpOpensTheShownSectionsPageAlsoWhenFloating)
{
    MainWindow window { QString() };
    window.Toolset()->Button(app::SectionFilters)->click();
    ButtonDefault* help = window.Toolbox()->titleBarWidget()->findChild<ButtonDefault*>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->text(), QStringLiteral("Help"));
    UrlRecorder urls;
    help->click();
    window.Toolbox()->setFloating(true);
    window.Toolset()->Button(app::SectionOverlay)->click();
    help->click();
    ASSERT_EQ(urls.Opened().size(), 2);
    EXPECT_EQ(QFileInfo(urls.Opened()[0].toLocalFile()).fileName(), QStringLiteral("filters.htm"));
    EXPECT_EQ(QFileInfo(urls.Opened()[1].toLocalFile()).fileName(), QStringLiteral("overlay.htm"));
}

TEST_F(ToolsetTest, PrintButtonAsksTheWindowToPrint)
{
    MainWindow window { QString() };
    window.Toolset()->PrintButton()->click();
    EXPECT_EQ(Script().Texts(),
        QStringList { QStringLiteral("There is currently no foreground image to print.") });
}

TEST_F(ToolsetTest, DragOnTheFreeAreaMovesTheCanvasAndAsksForAFullRender)
{
    ToolsetWidget toolset;
    toolset.resize(800, 700);
    toolset.show();
    Project().GetCanvas().SetScale(0.5f);
    const double startX = Project().GetCanvas().PositionX();
    const double startY = Project().GetCanvas().PositionY();
    std::vector<orv::image::OVDownsampleFactor> refreshes;
    QObject::connect(&App(),
        qOverload<orv::image::OVDownsampleFactor>(&Application::CanvasRefreshRequested),
        [&](orv::image::OVDownsampleFactor factor) { refreshes.push_back(factor); });

    // Right of the button column (the toolset is on the left): free area.
    const QPoint from(700, 300);
    Mouse(&toolset, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(App().IsCanvasDragActive());
    Mouse(&toolset, QEvent::MouseMove, from + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(Project().GetCanvas().PositionX(), startX + 60);
    EXPECT_DOUBLE_EQ(Project().GetCanvas().PositionY(), startY + 40);
    refreshes.clear();
    Mouse(
        &toolset, QEvent::MouseButtonRelease, from + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(App().IsCanvasDragActive());
    EXPECT_EQ(
        refreshes, std::vector<orv::image::OVDownsampleFactor> { orv::image::DownsampleFull });

    // A move without a press moves nothing.
    Mouse(&toolset, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
    EXPECT_DOUBLE_EQ(Project().GetCanvas().PositionX(), startX + 60);
}

TEST_F(ToolsetTest, TitleWidgetReportsAndItsBodyFollows)
{
    TitleWidget title(QStringLiteral("Brightness"), true, true, true, true, true);
    BodyWidget body;
    QObject::connect(&title, &TitleWidget::EnableWidgetBody, &body, &BodyWidget::SetBodyEnabled);
    QObject::connect(&title, &TitleWidget::CollapseWidgetBody, &body, &QWidget::setVisible);
    body.show();
    std::vector<bool> collapses;
    QObject::connect(&title, &TitleWidget::CollapseWidgetBody,
        [&](bool expanded) { collapses.push_back(expanded); });
    QSignalSpy up(&title, &TitleWidget::MoveUp);
    QSignalSpy down(&title, &TitleWidget::MoveDown);

    EXPECT_EQ(title.Title(), QStringLiteral("Brightness"));
    EXPECT_TRUE(title.styleSheet().contains(QStringLiteral("FilterTitle.png")));
    title.CollapseButton()->click();
    EXPECT_FALSE(title.IsExpanded());
    EXPECT_FALSE(body.isVisible());
    EXPECT_TRUE(title.styleSheet().contains(QStringLiteral("FilterTitleCollapsed.png")));
    title.CollapseButton()->click();
    EXPECT_EQ(collapses, (std::vector<bool> { false, true }));
    EXPECT_TRUE(body.isVisible());

    title.EnableBox()->click();
    EXPECT_FALSE(body.isEnabled());
    title.EnableBox()->click();
    EXPECT_TRUE(body.isEnabled());

    title.UpButton()->click();
    title.DownButton()->click();
    title.DownButton()->click();
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(down.count(), 2);

    title.CollapseButton()->click();
    title.EnableBox()->click();
    title.Reset();
    EXPECT_TRUE(title.IsExpanded());
    EXPECT_TRUE(title.IsSwitchedOn());
    EXPECT_TRUE(body.isEnabled());
    EXPECT_TRUE(title.styleSheet().contains(QStringLiteral("FilterTitle.png")));

    TitleWidget plain(QStringLiteral("Options"), false, false, false, false, false);
    EXPECT_EQ(plain.CollapseButton(), nullptr);
    EXPECT_EQ(plain.EnableBox(), nullptr);
    EXPECT_TRUE(plain.IsExpanded()) << "what cannot collapse is always open";
    EXPECT_TRUE(plain.styleSheet().contains(QStringLiteral("FilterTitle.png")));
}

TEST_F(ToolsetTest, MultiClickButtonTellsLeftFromRight)
{
    ButtonMultiClick button(QStringLiteral("NavigateUpButton"), false);
    button.show();
    QSignalSpy left(&button, &ButtonMultiClick::LeftButtonClicked);
    QSignalSpy right(&button, &ButtonMultiClick::RightButtonClicked);
    const QPoint centre = button.rect().center();

    Mouse(&button, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(left.count(), 1) << "reported at the press";
    Mouse(&button, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(left.count(), 1);
    Mouse(&button, QEvent::MouseButtonPress, centre, Qt::RightButton, Qt::RightButton);
    Mouse(&button, QEvent::MouseButtonRelease, centre, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(right.count(), 1);
    EXPECT_EQ(left.count(), 1);
}

TEST_F(ToolsetTest, MultiClickButtonRepeatsWhileHeld)
{
    ButtonMultiClick button(QStringLiteral("BatchImageUpButton"), true);
    button.show();
    EXPECT_TRUE(button.autoRepeat());
    EXPECT_EQ(button.autoRepeatDelay(), 500);
    EXPECT_EQ(button.autoRepeatInterval(), 100);
    QSignalSpy left(&button, &ButtonMultiClick::LeftButtonClicked);
    const QPoint centre = button.rect().center();

    // A short click is one click, at the release.
    Mouse(&button, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(left.count(), 0);
    Mouse(&button, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(left.count(), 1);

    // Held, it repeats after the delay.
    left.clear();
    Mouse(&button, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    QTest::qWait(200);
    EXPECT_EQ(left.count(), 0) << "nothing before the delay";
    EXPECT_TRUE(QTest::qWaitFor([&] { return left.count() >= 3; }, 5000));
    Mouse(&button, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
}

} // namespace
} // namespace mtra::ui::test
