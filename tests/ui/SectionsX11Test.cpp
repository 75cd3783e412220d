// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The editing sections in the real toolbox of a main window (run under Xvfb) with the demo
// batch: each page shows its panels for the current image. MTRA_UPDATE_SCREENSHOTS=1 writes
// each page's picture under docs/screenshots/.

#include "MainWindow.h"
#include "UiFixture.h"
#include "items/FilterWidgets.h"
#include "sections/CompositeSection.h"
#include "sections/FiltersSection.h"
#include "sections/KeySection.h"
#include "sections/OverlaySection.h"
#include "sections/PositionSection.h"
#include "toolset/TitleWidget.h"
#include "toolset/ToolboxDockWidget.h"

#include <app/ForegroundImageList.h>

#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace mtra::ui::test {
namespace {

using SectionsX11Test = UiFixture;

void SaveScreenshot(QWidget& widget, const QString& name)
{
    if (qEnvironmentVariableIsEmpty("MTRA_UPDATE_SCREENSHOTS")) {
        return;
    }
    EXPECT_TRUE(widget.grab().save(QStringLiteral(MTRA_SOURCE_DIR "/docs/screenshots/") + name));
}

TEST_F(SectionsX11Test, EverySectionShowsTheDemoBatch)
{
    QProcess demo;
    demo.start(QStringLiteral(MTRA_DEMO_EXE), { Path("demo"), Path("out") });
    ASSERT_TRUE(demo.waitForFinished(120000));
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    ASSERT_EQ(App().CreateProject(Path("demo/demo.mtrabatch")), app::MT_OK);
    const auto& batch = Project().GetForegroundImageList();
    ASSERT_GT(batch.Size(), 0u);
    const QString first = batch.Begin()->first;
    ASSERT_TRUE(App().SetForegroundLayerImage(first, true));

    MainWindow window { QString() };
    window.resize(1400, 1000);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* dock = window.findChild<ToolboxDockWidget*>();
    ASSERT_NE(dock, nullptr);
    // The pages show the project as after opening it.
    emit window.UpdateFromProject();
    for (TitleWidget* title : dock->Page(app::SectionExport)->findChildren<TitleWidget*>()) {
        if (!title->IsExpanded()) {
            title->CollapseButton()->click();
        }
    }

    const struct {
        app::ToolsetSections section;
        const char* file;
    } pages[] = { { app::SectionCanvasSize, "section-canvas-size.png" },
        { app::SectionImport, "section-import.png" }, { app::SectionKey, "section-key.png" },
        { app::SectionFilters, "section-filters.png" },
        { app::SectionPosition, "section-position.png" },
        { app::SectionCombine, "section-combine.png" },
        { app::SectionOverlay, "section-overlay.png" },
        { app::SectionExport, "section-export.png" } };
    for (const auto& page : pages) {
        dock->ChangePage(page.section);
        QTest::qWait(100);
        EXPECT_EQ(dock->ShownSection(), page.section);
        EXPECT_TRUE(dock->Page(page.section)->isVisible());
        SaveScreenshot(*dock, QLatin1String(page.file));
    }
    auto* keys = qobject_cast<KeySection*>(dock->Page(app::SectionKey));
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->Widgets().size(), 4u);
    auto* filters = qobject_cast<FiltersSection*>(dock->Page(app::SectionFilters));
    ASSERT_NE(filters, nullptr);
    EXPECT_EQ(filters->Widget(app::ForegroundLayer)->Widgets().size(), 7u);
    auto* composites = qobject_cast<CompositeSection*>(dock->Page(app::SectionCombine));
    ASSERT_NE(composites, nullptr);
    EXPECT_EQ(composites->Widgets().size(), 2u);
    EXPECT_NE(qobject_cast<OverlaySection*>(dock->Page(app::SectionOverlay)), nullptr);
    EXPECT_NE(qobject_cast<PositionSection*>(dock->Page(app::SectionPosition)), nullptr);
}

} // namespace
} // namespace mtra::ui::test
