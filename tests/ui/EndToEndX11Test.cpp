// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The program end to end in a real window (run under Xvfb): open a project, import a folder
// of photos, brighten the subjects, export the batch through the export section, save, and
// compare every written file with mattora-render's output of the saved project. The demo
// batch supplies the photos, background and frame. MTRA_UPDATE_SCREENSHOTS=1 writes the
// window's picture under docs/screenshots/.

#include "MainWindow.h"
#include "UiFixture.h"
#include "controls/CompoundControls.h"
#include "controls/Controls.h"
#include "export/ExportSection.h"
#include "export/ExportSelectionWidget.h"
#include "import/BatchImport.h"
#include "import/ImportSection.h"
#include "items/FilterWidgets.h"
#include "sections/CanvasSizeSection.h"
#include "sections/FiltersSection.h"
#include "toolset/TitleWidget.h"
#include "toolset/ToolboxDockWidget.h"
#include "toolset/ToolsetButton.h"
#include "toolset/ToolsetWidget.h"

#include <app/Canvas.h>
#include <app/ExportSettings.h>
#include <app/FilterItems.h>
#include <app/ForegroundImageList.h>
#include <app/ImageSettings.h>
#include <app/ItemLists.h>
#include <app/RenderEngine.h>

#include <QDir>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QUrl>

namespace mtra::ui::test {
namespace {

using EndToEndX11Test = UiFixture;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SaveScreenshot(QWidget& window, const QString& name)
{
    if (qEnvironmentVariableIsEmpty("MTRA_UPDATE_SCREENSHOTS")) {
        return;
    }
    QTest::qWait(300);
    const QPixmap shot = window.screen()->grabWindow(0);
    EXPECT_TRUE(shot.save(QStringLiteral(MTRA_SOURCE_DIR "/docs/screenshots/") + name));
}

TEST_F(EndToEndX11Test, ImportBrightenExportMatchesTheCommandLine)
{
    // The demo's photos, background and frame.
    QProcess demo;
    demo.start(QStringLiteral(MTRA_DEMO_EXE), { Path("demo"), Path("demo-out") });
    ASSERT_TRUE(demo.waitForFinished(120000));
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().constData();
    const QDir demoDir(Path("demo"));
    ASSERT_TRUE(QDir().mkpath(Path("shoot")));
    for (const QString& photo : demoDir.entryList({ "guest_*.jpg" }, QDir::Files)) {
        ASSERT_TRUE(QFile::copy(demoDir.filePath(photo), Path("shoot/" + photo)));
    }

    // The starting project: background, frame, JPEG at 90, an empty batch.
    ASSERT_TRUE(App().SetBackgroundLayerImage(demoDir.filePath("sunset.jpg")));
    ASSERT_TRUE(App().SetOverlayLayerImage(demoDir.filePath("frame.png")));
    app::ExportSettings settings = Project().GetExportSettings();
    settings.SetFormat(app::FormatJPEG);
    settings.SetQuality(90);
    settings.SetPrefix(L"booth_");
    App().Document().SetExportSettings(settings);
    const QString start = Path("start.mtrabatch");
    ASSERT_EQ(App().Document().Save(start), app::MT_OK);

    MainWindow window(start);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ToolboxDockWidget& toolbox = *window.Toolbox();
    // Pages change as the user changes them: with the toolset's buttons.
    auto showPage = [&window](app::ToolsetSections section) {
        QTest::mouseClick(window.Toolset()->Button(section), Qt::LeftButton);
        QCoreApplication::processEvents();
    };

    // Import the folder, as if dropped on the program.
    showPage(app::SectionImport);
    auto* import = qobject_cast<ImportSection*>(toolbox.Page(app::SectionImport));
    ASSERT_NE(import, nullptr);
    QMimeData dropped;
    dropped.setUrls({ QUrl::fromLocalFile(Path("shoot")) });
    import->Batch()->UpdateBatchList(&dropped);
    ASSERT_EQ(App().BatchModel()->rowCount(), 6);
    EXPECT_EQ(Project().CurrentForegroundPath(), QDir(Path("shoot")).filePath("guest_01.jpg"));

    // Brighten every subject (the shared settings).
    showPage(app::SectionFilters);
    auto* filters = qobject_cast<FiltersSection*>(toolbox.Page(app::SectionFilters));
    ASSERT_NE(filters, nullptr);
    BrightnessFilterWidget* brightness = nullptr;
    for (AbstractFilterWidget* panel : filters->Widget(app::ForegroundLayer)->Widgets()) {
        brightness = brightness ? brightness : qobject_cast<BrightnessFilterWidget*>(panel);
    }
    ASSERT_NE(brightness, nullptr);
    brightness->BrightnessControl()->GetSpinBox()->setValue(25);
    QTest::qWait(100);

    // The canvas takes the background's size.
    showPage(app::SectionCanvasSize);
    auto* canvasSize = qobject_cast<CanvasSizeSection*>(toolbox.Page(app::SectionCanvasSize));
    ASSERT_NE(canvasSize, nullptr);
    canvasSize->Widget()->SizeBox()->setCurrentIndex(1);
    EXPECT_EQ(Project().GetCanvas().Width(), 1800u);

    // Every photo onto the export list, then the export button.
    showPage(app::SectionExport);
    auto* exportSection = qobject_cast<ExportSection*>(toolbox.Page(app::SectionExport));
    ASSERT_NE(exportSection, nullptr);
    for (TitleWidget* title : exportSection->findChildren<TitleWidget*>()) {
        if (!title->IsExpanded()) {
            title->CollapseButton()->click();
        }
    }
    exportSection->Selection()->AddAllImagesToBatch();
    Script().Clear();
    Script().Queue(Path("window-out"));
    QTest::mouseClick(exportSection->Selection()->ExportButton(), Qt::LeftButton);
    EXPECT_EQ(Script().Texts(), QStringList({ "Finished exporting." }));
    QTest::qWait(200);
    SaveScreenshot(window, QStringLiteral("export-section.png"));

    const QString saved = Path("saved.mtrabatch");
    ASSERT_TRUE(window.SaveProjectTo(saved));

    QProcess render;
    render.start(QStringLiteral(MTRA_RENDER_EXE),
        { saved, QStringLiteral("-q"), QStringLiteral("-o"), Path("cli-out") });
    ASSERT_TRUE(render.waitForFinished(300000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().constData();

    const QStringList written = QDir(Path("window-out")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(written.size(), 6);
    EXPECT_EQ(written.first(), "booth_guest_01.jpg");
    EXPECT_EQ(QDir(Path("cli-out")).entryList(QDir::Files, QDir::Name), written);
    for (const QString& name : written) {
        EXPECT_EQ(ReadAll(Path("window-out/" + name)), ReadAll(Path("cli-out/" + name)))
            << name.toStdString();
    }

    // The brightness made a difference: back to neutral, the window writes other bytes.
    brightness->BrightnessControl()->GetSpinBox()->setValue(0);
    Script().Clear();
    Script().Queue(Path("neutral-out"));
    QTest::mouseClick(exportSection->Selection()->ExportButton(), Qt::LeftButton);
    EXPECT_NE(ReadAll(Path("neutral-out/booth_guest_01.jpg")),
        ReadAll(Path("cli-out/booth_guest_01.jpg")));
    window.close();
}

TEST_F(EndToEndX11Test, OpeningTheDemoProjectShowsItsLayers)
{
    QProcess demo;
    demo.start(QStringLiteral(MTRA_DEMO_EXE), { Path("demo"), Path("demo-out") });
    ASSERT_TRUE(demo.waitForFinished(120000));
    ASSERT_EQ(demo.exitCode(), 0);
    // As the program starts: the project first, then the window on it.
    ASSERT_EQ(App().CreateProject(Path("demo/demo.mtrabatch")), app::MT_OK);
    MainWindow window(Path("demo/demo.mtrabatch"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(500);
    EXPECT_TRUE(App().GetRenderEngine().IsLayerSet(app::BackgroundLayer));
    EXPECT_TRUE(App().GetRenderEngine().IsLayerSet(app::OverlayLayer));
    EXPECT_EQ(App().BatchModel()->rowCount(), 6);
    QImage canvas;
    ASSERT_EQ(App().RenderAllLayersToCanvas(orv::image::DownsampleFull, canvas), app::MT_OK);
    // The sunset's sky, not black, in the upper middle of the picture.
    const QRgb sky = canvas.pixel(canvas.width() / 2, canvas.height() / 4);
    EXPECT_GT(qRed(sky) + qGreen(sky) + qBlue(sky), 150) << std::hex << sky;
    window.close();
}

} // namespace
} // namespace mtra::ui::test
