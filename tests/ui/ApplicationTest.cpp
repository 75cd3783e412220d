// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The application object: start-up projects, layers, render requests, canvas geometry, the
// batch model and the out-of-memory handling.

#include "Startup.h"
#include "UiFixture.h"

#include <app/Canvas.h>
#include <app/ForegroundImageList.h>
#include <app/ImageSettings.h>
#include <app/ItemLists.h>
#include <app/LayerImages.h>
#include <app/RenderEngine.h>
#include <app/TransformItems.h>

#include <app/ExportSettings.h>

#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <new>

namespace mtra::ui::test {
namespace {

using app::BackgroundLayer;
using app::ForegroundLayer;
using app::OverlayLayer;
using app::Stage;
using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

using ApplicationTest = UiFixture;

TEST_F(ApplicationTest, BrokenOrMissingStartProjectWarnsAndStartsTheDefaultProject)
{
    QFile broken(Path(QStringLiteral("broken.mtrabatch")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<mattora><unclosed>");
    broken.close();

    for (const QString& path : { broken.fileName(), Path(QStringLiteral("missing.mtrabatch")) }) {
        Script().Clear();
        const FirstProject first = CreateFirstProject(App(), { path }, nullptr);
        EXPECT_TRUE(first.ok) << path.toStdString();
        EXPECT_TRUE(first.path.isEmpty());
        EXPECT_EQ(Script().Texts(),
            QStringList { QStringLiteral(
                "The project cannot be opened because it is an invalid project file.") });
        EXPECT_EQ(Project().GetForegroundImageList().Size(), 0u);
        EXPECT_FALSE(App().IsProjectModified());
    }
}

TEST_F(ApplicationTest, ModifiedStateFollowsEveryKindOfEdit)
{
    EXPECT_FALSE(App().IsProjectModified()) << "after New";
    const QString photo = AddCurrentPhoto(QStringLiteral("a.png"));
    EXPECT_TRUE(App().IsProjectModified()) << "import";
    const QString project = Path(QStringLiteral("p.mtrabatch"));
    ASSERT_EQ(App().Document().Save(project), app::MT_OK);
    EXPECT_FALSE(App().IsProjectModified()) << "after Save";

    // Edits that render nothing still count.
    const std::vector<std::function<void()>> edits {
        [&] { App().Document().SetImageUnique(photo, true); },
        [&] {
            const bool batched = Project().GetForegroundImageList().Get(photo)->IsBatched();
            App().Document().SetImageBatched(photo, !batched);
        },
        [&] {
            app::ExportSettings settings = Project().GetExportSettings();
            settings.SetPrefix(L"booth_");
            App().Document().SetExportSettings(settings);
        },
        [&] { App().ItemChanged(ForegroundLayer, Stage::Filter); },
    };
    for (std::size_t i = 0; i < edits.size(); ++i) {
        ASSERT_EQ(App().CreateProject(project), app::MT_OK);
        EXPECT_FALSE(App().IsProjectModified()) << "after Open";
        edits[i]();
        EXPECT_TRUE(App().IsProjectModified()) << "edit " << i;
    }
    // Renders alone never do.
    ASSERT_EQ(App().CreateProject(project), app::MT_OK);
    QImage canvas;
    App().RenderAllLayersToCanvas(DownsampleFull, canvas);
    App().RenderAllLayersToCanvas(DownsampleFull, canvas);
    EXPECT_FALSE(App().IsProjectModified());
}

TEST_F(ApplicationTest, RefreshRequestsFollowTheLayersThatAreSet)
{
    QSignalSpy layerSpy(&App(),
        qOverload<app::LayerID, Stage, orv::image::OVDownsampleFactor>(
            &Application::CanvasRefreshRequested));
    App().RefreshLayer(OverlayLayer, Stage::Transform, DownsampleFull);
    EXPECT_EQ(layerSpy.count(), 0) << "an unset layer asks for nothing";

    App().RemoveLayerImage(OverlayLayer);
    ASSERT_EQ(layerSpy.count(), 1) << "removing always asks for a refresh";
    EXPECT_EQ(layerSpy.at(0).at(0).value<app::LayerID>(), OverlayLayer);
    EXPECT_EQ(layerSpy.at(0).at(1).value<Stage>(), Stage::Transform);

    ASSERT_TRUE(App().SetOverlayLayerImage(MakePhoto(QStringLiteral("frame.png"))));
    layerSpy.clear();
    App().RefreshLayer(OverlayLayer, Stage::Transform, DownsampleQuarter);
    EXPECT_EQ(layerSpy.count(), 1);
}

TEST_F(ApplicationTest, RendersComposeWithUnsetLayersAndStopWhileSuspended)
{
    QImage canvas;
    // Nothing is loaded: every layer reports "not set", the canvas still composes.
    EXPECT_EQ(App().RenderLayerToCanvas(ForegroundLayer, Stage::Key, DownsampleQuarter, canvas),
        app::MT_OK);
    EXPECT_FALSE(canvas.isNull());
    EXPECT_EQ(App().RenderAllLayersToCanvas(DownsampleFull, canvas), app::MT_OK);
    ASSERT_EQ(App().RenderLog().size(), 2u);
    EXPECT_EQ(App().RenderLog()[0].layer, ForegroundLayer);
    EXPECT_EQ(App().RenderLog()[0].factor, DownsampleQuarter);
    EXPECT_EQ(App().RenderLog()[1].layer, -1);

    App().SetRenderSuspended(true);
    EXPECT_EQ(App().RenderAllLayersToCanvas(DownsampleFull, canvas), app::MT_OK);
    EXPECT_EQ(App().RenderLog().size(), 2u) << "nothing renders while suspended";
    App().SetRenderSuspended(false);
}

TEST_F(ApplicationTest, CanvasCentreAndDragArithmetic)
{
    Project().SetWindowWidth(1000);
    Project().SetWindowHeight(700);
    App().SetToolsetWidth(104);
    App().SetNavigationHeight(34);
    App().SetZoomHeight(30);
    Project().SetToolsetPosition(app::ToolsetLeft);
    App().CentreCanvas();
    // w = 1000 - 104 - 40 = 856, h = 700 - 34 - 30 - 40 = 596.
    EXPECT_EQ(Project().GetCanvas().CentreX(), 856 / 2 + 104 + 20);
    EXPECT_EQ(Project().GetCanvas().CentreY(), 596 / 2 + 30 + 20);
    Project().SetToolsetPosition(app::ToolsetRight);
    App().CentreCanvas();
    EXPECT_EQ(Project().GetCanvas().CentreX(), 856 / 2 + 20);

    const int startX = Project().GetCanvas().PositionX();
    const int startY = Project().GetCanvas().PositionY();
    App().DragCanvas(500, 500);
    EXPECT_EQ(Project().GetCanvas().PositionX(), startX) << "no drag without an anchor";

    Project().GetCanvas().SetScale(0.5f);
    QSignalSpy spy(
        &App(), qOverload<orv::image::OVDownsampleFactor>(&Application::CanvasRefreshRequested));
    App().StartCanvasDrag(100, 100);
    App().DragCanvas(130, 90);
    EXPECT_EQ(Project().GetCanvas().PositionX(), startX + 60);
    EXPECT_EQ(Project().GetCanvas().PositionY(), startY - 20);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<orv::image::OVDownsampleFactor>(), DownsampleQuarter);
    App().EndCanvasDrag();
    App().DragCanvas(200, 200);
    EXPECT_EQ(Project().GetCanvas().PositionX(), startX + 60);
}

TEST_F(ApplicationTest, ResizeCanvasRefusesOversizedCanvasesAndRefitsEveryFittedOverlay)
{
    const unsigned oldWidth = Project().GetCanvas().Width();
    const unsigned oldHeight = Project().GetCanvas().Height();
    EXPECT_FALSE(App().ResizeCanvas(6000, 4500)) << "27 MP";
    EXPECT_EQ(Project().GetCanvas().Width(), oldWidth);
    EXPECT_EQ(Project().GetCanvas().Height(), oldHeight);
    ASSERT_EQ(Script().Texts().size(), 1);
    EXPECT_FALSE(App().ResizeCanvas(0, 100));
    EXPECT_FALSE(App().ResizeCanvas(-5, 100));

    // An overlay fitted to the canvas, in the defaults and in one unique image.
    ASSERT_TRUE(App().SetOverlayLayerImage(MakePhoto(QStringLiteral("frame.png"), 200, 100)));
    const QString photo = AddCurrentPhoto(QStringLiteral("a.png"));
    ASSERT_EQ(App().Document().SetImageUnique(photo, true), app::MT_OK);
    app::ForegroundImageList& batch = Project().GetForegroundImageList();
    const auto fitOf = [](const app::OverlayImageSettings& settings) {
        const app::TransformList& list = settings.Transforms();
        return std::vector<std::shared_ptr<app::AbstractTransformItem>>(list.Begin(), list.End());
    };
    for (auto settings : { batch.DefaultOverlaySettings(), batch.Get(photo)->OverlaySettings() }) {
        for (auto& item : fitOf(*settings)) {
            if (auto fit = std::dynamic_pointer_cast<app::FitTransformItem>(item)) {
                fit->SetFit(app::FitModeCanvas);
            }
        }
    }
    ASSERT_TRUE(App().ResizeCanvas(400, 300));
    for (auto settings : { batch.DefaultOverlaySettings(), batch.Get(photo)->OverlaySettings() }) {
        bool found = false;
        for (auto& item : fitOf(*settings)) {
            if (auto transform
                = std::dynamic_pointer_cast<app::TransformationTransformItem>(item)) {
                EXPECT_FLOAT_EQ(transform->ScaleX(), 2.0f);
                EXPECT_FLOAT_EQ(transform->ScaleY(), 3.0f);
                found = true;
            }
        }
        EXPECT_TRUE(found);
    }
}

TEST_F(ApplicationTest, ForegroundDeclaringMoreThanTheLimitChangesNothing)
{
    const QString good = AddCurrentPhoto(QStringLiteral("good.png"));
    const QString huge = MakeHugeHeaderBmp(QStringLiteral("huge.bmp"), 20000, 6000);
    App().InsertBatchRow(1, QStringLiteral("huge.bmp"), huge);
    App().BatchSelectionModel()->setCurrentIndex(
        App().BatchIndexOfRow(1), QItemSelectionModel::ClearAndSelect);
    Script().Clear();

    EXPECT_FALSE(App().SetForegroundLayerImage(huge, true));
    EXPECT_EQ(Project().CurrentForegroundPath(), good);
    EXPECT_EQ(App().CurrentForegroundPath(), good);
    EXPECT_TRUE(App().BatchModel()->item(0)->font().bold());
    EXPECT_FALSE(App().BatchModel()->item(1)->font().bold());
    EXPECT_TRUE(App().GetRenderEngine().IsLayerSet(ForegroundLayer));
    EXPECT_EQ(Script().Texts(),
        QStringList { QStringLiteral("The image you are trying to import is not supported.") });
}

TEST_F(ApplicationTest, BatchRowsByIndexPathAndFlags)
{
    App().InsertBatchRow(0, QStringLiteral("b"), QStringLiteral("/p/b.jpg"));
    App().InsertBatchRow(0, QStringLiteral("a"), QStringLiteral("/p/a.jpg"));
    EXPECT_EQ(App().BatchNameOfRow(1), QStringLiteral("b"));
    EXPECT_EQ(App().BatchPathOfIndex(App().BatchIndexOfRow(0)), QStringLiteral("/p/a.jpg"));
    EXPECT_FALSE(App().BatchIndexOfRow(-1).isValid());
    EXPECT_EQ(App().BatchRowOfIndex(QModelIndex()), -1);
    EXPECT_EQ(App().BatchRowOfPath(QStringLiteral("/p/B.jpg")), -1) << "case-sensitive";
    App().SetBatchRowBatched(1, true);
    App().SetBatchRowOffline(0);
    EXPECT_TRUE(App().IsBatchRowBatched(1));
    EXPECT_FALSE(App().IsBatchRowBatched(0));
    EXPECT_TRUE(App().IsBatchRowOffline(0));
    EXPECT_TRUE(App().RemoveBatchRow(0));
    EXPECT_EQ(App().BatchModel()->rowCount(), 1);
    App().ClearBatchList();
    EXPECT_EQ(App().BatchModel()->rowCount(), 0);
    EXPECT_EQ(App().BatchModel()->columnCount(), 4);
}

class ThrowOnEvent : public QObject
{
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User) {
            throw std::bad_alloc();
        }
        return QObject::event(event);
    }
};

TEST_F(ApplicationTest, OutOfMemoryInAnEventOffersSaveAsOnceAndEndsWith39)
{
    int saveAsOffers = 0;
    App().SetSaveAsHandler([&] {
        ++saveAsOffers;
        return true;
    });
    ThrowOnEvent target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QTimer::singleShot(5000, [] { QCoreApplication::exit(-1); });
    const int status = QCoreApplication::exec();
    EXPECT_EQ(status, app::MT_RENDER_OUT_OF_MEMORY);
    EXPECT_TRUE(App().RanOutOfMemory());
    EXPECT_EQ(saveAsOffers, 1);
    ASSERT_EQ(Script().Texts().size(), 1);
    EXPECT_TRUE(Script().Texts().first().contains(
        QStringLiteral("has to exit because there is not enough available memory")));
    App().SetSaveAsHandler({});
}

} // namespace
} // namespace mtra::ui::test
