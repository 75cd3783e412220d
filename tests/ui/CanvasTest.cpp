// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The canvas view: merged refresh requests, renders at paint time (quarter while dragging, one
// full on release), zoom and Fit To Window, the darkened surround and outline, the borrowed
// picture across a project replacement, out of memory in a paint, and the navigation row.

#include "MainWindow.h"
#include "UiFixture.h"
#include "canvas/CanvasGraphicsItem.h"
#include "canvas/CanvasNavigationWidget.h"
#include "canvas/CanvasView.h"
#include "canvas/ZoomWidget.h"

#include <app/Canvas.h>
#include <app/FilterItems.h>
#include <app/ForegroundImageList.h>
#include <app/ImageSettings.h>
#include <app/ItemLists.h>
#include <app/LayerImages.h>

#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <limits>
#include <new>
#include <vector>

namespace mtra::ui::test {
namespace {

using app::BackgroundLayer;
using app::ForegroundLayer;
using app::OverlayLayer;
using app::Stage;
using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;
using Factor = orv::image::OVDownsampleFactor;

// --- Merging of refresh requests -----------------------------------------------------------

struct Request {
    int layer; ///< -1: every layer
    Stage stage;
    Factor factor;
};

struct MergeCase {
    const char* name;
    std::vector<Request> requests;
    int singleLayer; ///< -1: a render of every layer
    int stage; ///< of `singleLayer`
    Factor factor;
};

TEST(PendingRenderTest, RequestsMergeSoThatNoneIsLost)
{
    const std::vector<MergeCase> cases = {
        { "one layer", { { 1, Stage::Filter, DownsampleQuarter } }, 1, 2, DownsampleQuarter },
        { "same layer keeps the earliest stage",
            { { 1, Stage::Filter, DownsampleQuarter }, { 1, Stage::Key, DownsampleQuarter },
                { 1, Stage::Transform, DownsampleQuarter } },
            1, 1, DownsampleQuarter },
        { "full wins over quarter",
            { { 0, Stage::Filter, DownsampleFull }, { 0, Stage::Filter, DownsampleQuarter } }, 0, 2,
            DownsampleFull },
        { "quarter then full is full",
            { { 2, Stage::Transform, DownsampleQuarter }, { 2, Stage::Transform, DownsampleFull } },
            2, 3, DownsampleFull },
        { "another layer renders all",
            { { 1, Stage::Key, DownsampleFull }, { 0, Stage::Filter, DownsampleQuarter } }, -1, 0,
            DownsampleFull },
        { "a single layer after render-all stays render-all",
            { { -1, Stage::Transform, DownsampleQuarter }, { 1, Stage::Key, DownsampleQuarter } },
            -1, 0, DownsampleQuarter },
        { "not a layer renders all", { { 7, Stage::Key, DownsampleQuarter } }, -1, 0,
            DownsampleQuarter },
        { "render-all after a single layer",
            { { 0, Stage::Filter, DownsampleQuarter }, { -1, Stage::Transform, DownsampleFull } },
            -1, 0, DownsampleFull },
    };
    for (const MergeCase& c : cases) {
        PendingRender pending;
        for (const Request& r : c.requests) {
            if (r.layer < 0) {
                pending.AddAll(r.factor);
            } else {
                pending.AddLayer(static_cast<app::LayerID>(r.layer), r.stage, r.factor);
            }
        }
        EXPECT_TRUE(pending.pending) << c.name;
        EXPECT_EQ(pending.SingleLayer(), c.singleLayer) << c.name;
        EXPECT_EQ(pending.allLayers, c.singleLayer < 0) << c.name;
        if (c.singleLayer >= 0) {
            EXPECT_EQ(pending.stages[c.singleLayer], c.stage) << c.name;
        }
        EXPECT_EQ(pending.factor, c.factor) << c.name;
    }
}

// --- The view ------------------------------------------------------------------------------

class CanvasTest : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        m_view = std::make_unique<CanvasView>(QSize(800, 600));
        m_view->resize(800, 600);
        // The 800 x 1200 canvas as 400 x 600 screen pixels in the middle of the view.
        app::Canvas& canvas = Project().GetCanvas();
        canvas.SetCentre(400, 300);
        canvas.SetScale(0.5f);
        canvas.SetPosition(0, 0);
        Item().SetNeedToDisplayImage(true);
    }
    void TearDown() override
    {
        m_view.reset();
        UiFixture::TearDown();
    }
    CanvasGraphicsItem& Item() { return *m_view->Item(); }
    QImage Paint() { return m_view->grab().toImage(); }
    void LoadLayers()
    {
        ASSERT_TRUE(App().SetBackgroundLayerImage(MakePhoto(QStringLiteral("back.png"), 80, 120)));
        AddCurrentPhoto(QStringLiteral("front.png"), 80, 120);
        Paint();
        App().ClearRenderLog();
    }
    void SendMouse(QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), QPointF(m_view->viewport()->mapToGlobal(at)),
            Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(m_view->viewport(), &event);
    }
    std::shared_ptr<app::BrightnessFilterItem> Brightness()
    {
        const auto settings = Project().GetForegroundImageList().DefaultForegroundSettings();
        for (auto it = settings->Filters().Begin(); it != settings->Filters().End(); ++it) {
            if (auto item = std::dynamic_pointer_cast<app::BrightnessFilterItem>(*it)) {
                return item;
            }
        }
        return nullptr;
    }

    std::unique_ptr<CanvasView> m_view;
};

TEST_F(CanvasTest, FiveRequestsBeforeAPaintRenderOnceAndCoverEveryLayer)
{
    LoadLayers();
    const QPoint subject(400, 300);
    const QRgb before = Paint().pixel(subject);
    App().ClearRenderLog();

    // The brightness changed without the full filter stage being marked stale: only the
    // foreground request from the filter stage brings it to the picture.
    const auto brightness = Brightness();
    ASSERT_TRUE(brightness);
    brightness->SetBrightness(0.5);
    brightness->SetActive(true);
    App().RefreshLayer(ForegroundLayer, Stage::Filter, DownsampleFull);
    App().RefreshLayer(BackgroundLayer, Stage::Filter, DownsampleQuarter);
    App().RefreshLayer(BackgroundLayer, Stage::Transform, DownsampleQuarter);
    App().RefreshCanvas(DownsampleQuarter);
    App().RefreshLayer(OverlayLayer, Stage::Transform, DownsampleQuarter);
    EXPECT_TRUE(App().RenderLog().empty()) << "requests only mark the canvas";

    const QRgb after = Paint().pixel(subject);
    ASSERT_EQ(App().RenderLog().size(), 1u);
    EXPECT_EQ(App().RenderLog()[0].layer, -1);
    EXPECT_EQ(App().RenderLog()[0].factor, DownsampleFull);
    EXPECT_GT(qGray(after), qGray(before) + 20) << "the foreground's filter ran again";
    Paint();
    EXPECT_EQ(App().RenderLog().size(), 1u) << "a paint with nothing asked renders nothing";
}

TEST_F(CanvasTest, CanvasDragRendersQuarterWhileMovingAndOnceFullOnRelease)
{
    LoadLayers();
    SendMouse(QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    for (int step = 1; step <= 3; ++step) {
        SendMouse(QEvent::MouseMove, QPoint(100 + 20 * step, 100 + 8 * step), Qt::LeftButton);
        Paint();
    }
    // Two moves between paints still make one render.
    SendMouse(QEvent::MouseMove, QPoint(170, 130), Qt::LeftButton);
    SendMouse(QEvent::MouseMove, QPoint(180, 140), Qt::LeftButton);
    Paint();
    SendMouse(QEvent::MouseButtonRelease, QPoint(180, 140), Qt::NoButton);
    Paint();
    Paint();

    const auto& log = App().RenderLog();
    ASSERT_EQ(log.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(log[i].factor, DownsampleQuarter) << i;
    }
    EXPECT_EQ(log[4].factor, DownsampleFull);
    // 80 and 40 view pixels at a zoom of 0.5.
    EXPECT_EQ(Project().GetCanvas().PositionX(), 160);
    EXPECT_EQ(Project().GetCanvas().PositionY(), 80);
    EXPECT_FALSE(App().IsCanvasDragActive());
}

TEST_F(CanvasTest, FullFactorChangeShowsInTheNextQuarterFrame)
{
    LoadLayers();
    // A quarter frame, then a typed brightness committed at full resolution only.
    App().RefreshCanvas(DownsampleQuarter);
    const QRgb before = Paint().pixel(400, 300);
    const auto brightness = Brightness();
    brightness->SetBrightness(0.5);
    brightness->SetActive(true);
    App().InvalidateStage(ForegroundLayer, Stage::Filter, DownsampleFull);
    App().RefreshLayer(ForegroundLayer, Stage::Filter, DownsampleFull);
    Paint();
    // A canvas drag shows quarter frames: they must carry the new value.
    SendMouse(QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
    SendMouse(QEvent::MouseMove, QPoint(11, 10), Qt::LeftButton);
    const QRgb quarter = Paint().pixel(400, 300);
    EXPECT_EQ(App().RenderLog().back().factor, DownsampleQuarter);
    EXPECT_GT(qGray(quarter), qGray(before) + 20);
}

TEST_F(CanvasTest, SurroundIsDarkenedCanvasShowsThePictureOutlineIs77)
{
    Item().SetRenderer([](const PendingRender&, QImage& picture) {
        picture = QImage(800, 600, QImage::Format_ARGB32);
        picture.fill(QColor(250, 250, 250));
        return app::MT_OK;
    });
    App().RefreshCanvas(DownsampleFull);
    const QImage shot = Paint();
    const QRect canvas = CanvasGraphicsItem::CanvasRect(Project().GetCanvas());
    EXPECT_EQ(canvas, QRect(QPoint(200, 0), QPoint(599, 599)));
    const QColor inside = shot.pixelColor(400, 300);
    EXPECT_EQ(inside, QColor(250, 250, 250));
    for (const QPoint outside : { QPoint(100, 300), QPoint(700, 20), QPoint(150, 580) }) {
        const QColor dark = shot.pixelColor(outside);
        // 250 under black at alpha 220: 250 * 35 / 255.
        EXPECT_NEAR(dark.red(), 34, 2) << outside.x() << "," << outside.y();
        EXPECT_EQ(dark.red(), dark.green());
        EXPECT_EQ(dark.red(), dark.blue());
    }
    for (const QPoint edge :
        { canvas.topLeft(), QPoint(400, canvas.top()), QPoint(canvas.left(), 300) }) {
        EXPECT_EQ(shot.pixelColor(edge), QColor(77, 77, 77)) << edge.x() << "," << edge.y();
    }
}

TEST_F(CanvasTest, AQuarterPictureFillsTheWholeWindow)
{
    const QSize window = Item().boundingRect().size().toSize();
    Item().SetRenderer([window](const PendingRender& pending, QImage& picture) {
        EXPECT_EQ(pending.factor, DownsampleQuarter);
        picture = QImage(window / 4, QImage::Format_ARGB32);
        picture.fill(QColor(10, 200, 30));
        picture.setPixelColor(0, 0, QColor(200, 10, 30));
        return app::MT_OK;
    });
    App().RefreshCanvas(DownsampleQuarter);
    const QImage shot = Paint();
    EXPECT_EQ(shot.pixelColor(400, 300), QColor(10, 200, 30));
    // The first picture pixel covers the first 4 x 4 window pixels (darkened: outside the
    // canvas).
    EXPECT_GT(shot.pixelColor(3, 3).red(), 20);
    EXPECT_LT(shot.pixelColor(4, 4).red(), 5);
}

TEST_F(CanvasTest, BorrowedPictureIsDroppedBeforeTheProjectIsReplaced)
{
    LoadLayers();
    App().RefreshCanvas(DownsampleFull);
    Paint();
    ASSERT_TRUE(Item().HasPicture());
    bool heldDuringReplacement = true;
    const auto connection
        = QObject::connect(Application::Instance(), &Application::ProjectAboutToBeReplaced,
            [&] { heldDuringReplacement = Item().HasPicture(); });
    ASSERT_EQ(App().CreateProject(QString()), app::MT_OK);
    QObject::disconnect(connection);
    EXPECT_FALSE(heldDuringReplacement);
    EXPECT_TRUE(Item().Pending().pending) << "the new project is shown at the next paint";
    App().ClearRenderLog();
    Paint();
    EXPECT_EQ(App().RenderLog().size(), 1u);
}

TEST_F(CanvasTest, OutOfMemoryInAPaintGoesToTheOneHandler)
{
    Item().SetRenderer([](const PendingRender&, QImage&) -> app::MTerr { throw std::bad_alloc(); });
    App().RefreshCanvas(DownsampleFull);
    EXPECT_NO_THROW(Paint());
    QCoreApplication::processEvents();
    EXPECT_TRUE(App().RanOutOfMemory());
    ASSERT_EQ(Script().Texts().size(), 1);
    EXPECT_TRUE(Script().Texts().first().contains(
        QStringLiteral("has to exit because there is not enough available memory")));
}

TEST_F(CanvasTest, HiddenPaintRendersNothingAndTheOwedRenderFollows)
{
    LoadLayers();
    Item().SetNeedToDisplayImage(false);
    Item().SetNeedToRenderImage(true);
    Paint();
    EXPECT_TRUE(App().RenderLog().empty());
    EXPECT_TRUE(Item().Pending().pending);
    // The settle timer asks for the paint that renders.
    QTest::qWait(300);
    Paint();
    ASSERT_EQ(App().RenderLog().size(), 1u);
    EXPECT_EQ(App().RenderLog()[0].factor, DownsampleFull);
}

TEST_F(CanvasTest, RequestsWaitWhileRenderingIsSuspended)
{
    LoadLayers();
    App().SetRenderSuspended(true);
    App().RefreshLayer(ForegroundLayer, Stage::Key, DownsampleFull);
    Paint();
    EXPECT_TRUE(App().RenderLog().empty());
    EXPECT_TRUE(Item().HasPicture()) << "the picture over the canvas cache stays";
    App().SetRenderSuspended(false);
    Paint();
    ASSERT_EQ(App().RenderLog().size(), 1u);
    EXPECT_EQ(App().RenderLog()[0].layer, static_cast<int>(ForegroundLayer));
    EXPECT_EQ(App().RenderLog()[0].stage, Stage::Key);
}

// --- Zoom and Fit To Window ----------------------------------------------------------------

TEST(FitScaleTest, FitsTheCanvasIntoTheFreeArea)
{
    struct Case {
        unsigned width, height;
        int viewWidth, viewHeight, toolset, navigation, zoom;
        double scale;
    };
    // Free area = view - (toolset + 40) by view - (navigation + zoom + 40).
    const Case cases[] = {
        { 800, 1200, 1140, 700, 100, 30, 30, 0.5 }, // 1000 x 600: height decides
        { 1200, 800, 1140, 1700, 100, 30, 30, 1000.0 / 1200 }, // 1000 x 1600: width decides
        { 800, 1200, 139, 700, 100, 30, 30, 0.0 }, // narrower than toolset + 40
        { 800, 1200, 1140, 99, 100, 30, 30, 0.0 }, // lower than the rows + 40
        { 0, 1200, 1140, 700, 100, 30, 30, 0.0 }, // no canvas
        { 800, 1200, 1040, 700, -1, 30, 30, 0.5 }, // toolset not laid out yet
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(CanvasGraphicsItem::FitScale(c.width, c.height, c.viewWidth, c.viewHeight,
                             c.toolset, c.navigation, c.zoom),
            c.scale)
            << c.width << "x" << c.height << " in " << c.viewWidth << "x" << c.viewHeight;
    }
}

TEST_F(CanvasTest, FocusCanvasFitsOrLeavesTheZoomAlone)
{
    Project().GetCanvas().SetDimensions(800, 1200);
    Project().GetCanvas().SetPosition(30, 40);
    Project().GetCanvas().SetScale(0.25f);
    App().SetToolsetWidth(100);
    App().SetNavigationHeight(30);
    App().SetZoomHeight(30);
    QSignalSpy zoom(Application::Instance(), &Application::UpdateZoomSlider);
    Item().FocusCanvas(139, 700);
    EXPECT_FLOAT_EQ(Project().GetCanvas().Scale(), 0.25f);
    EXPECT_EQ(Project().GetCanvas().PositionX(), 30);
    EXPECT_EQ(zoom.count(), 0);
    Item().FocusCanvas(1140, 700);
    EXPECT_FLOAT_EQ(Project().GetCanvas().Scale(), 0.5f);
    EXPECT_EQ(Project().GetCanvas().PositionX(), 0);
    EXPECT_EQ(Project().GetCanvas().PositionY(), 0);
    ASSERT_EQ(zoom.count(), 1);
    EXPECT_FLOAT_EQ(zoom.at(0).at(0).toFloat(), 0.5f);
}

TEST_F(CanvasTest, ZoomDragPreviewsAtQuarterAndTheReleaseRendersFull)
{
    LoadLayers();
    ZoomWidget zoom;
    QSignalSpy refresh(
        Application::Instance(), qOverload<Factor>(&Application::CanvasRefreshRequested));
    zoom.Slider()->setSliderDown(true);
    zoom.Slider()->setValue(60);
    Paint();
    zoom.Slider()->setValue(80);
    Paint();
    EXPECT_EQ(zoom.SpinBox()->value(), 80);
    zoom.Slider()->setSliderDown(false);
    Paint();

    ASSERT_EQ(refresh.count(), 3);
    EXPECT_EQ(refresh.at(0).at(0).value<Factor>(), DownsampleQuarter);
    EXPECT_EQ(refresh.at(1).at(0).value<Factor>(), DownsampleQuarter);
    EXPECT_EQ(refresh.at(2).at(0).value<Factor>(), DownsampleFull);
    const auto& log = App().RenderLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].factor, DownsampleQuarter);
    EXPECT_EQ(log[1].factor, DownsampleQuarter);
    EXPECT_EQ(log[2].factor, DownsampleFull);
    EXPECT_FLOAT_EQ(Project().GetCanvas().Scale(), 0.8f);

    // A typed value is final.
    refresh.clear();
    zoom.SpinBox()->setValue(150);
    ASSERT_EQ(refresh.count(), 1);
    EXPECT_EQ(refresh.at(0).at(0).value<Factor>(), DownsampleFull);
    EXPECT_EQ(zoom.Slider()->value(), 150);
    EXPECT_FLOAT_EQ(Project().GetCanvas().Scale(), 1.5f);

    // The canvas's own fit moves the slider without asking for another render.
    refresh.clear();
    emit App().UpdateZoomSlider(0.257f);
    EXPECT_EQ(zoom.Slider()->value(), 25);
    EXPECT_EQ(zoom.SpinBox()->value(), 25);
    EXPECT_EQ(refresh.count(), 0);
    emit Application::Instance()->UpdateZoomSlider(std::numeric_limits<float>::infinity());
    emit Application::Instance()->UpdateZoomSlider(1e30f);
    EXPECT_EQ(zoom.Slider()->value(), 400) << "shown as far as the slider goes";
}

TEST_F(CanvasTest, FitToWindowInTheMainWindowFitsAndRendersFull)
{
    MainWindow window { QString() };
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Project().GetCanvas().SetScale(3.0f);
    App().ClearRenderLog();
    window.GetZoomWidget()->FocusButton()->click();
    const float scale = Project().GetCanvas().Scale();
    EXPECT_LT(scale, 1.0f);
    EXPECT_EQ(window.GetZoomWidget()->Slider()->value(), static_cast<int>(scale * 100));
    window.GetCanvasView()->Item()->SetNeedToDisplayImage(true);
    window.GetCanvasView()->grab();
    ASSERT_EQ(App().RenderLog().size(), 1u);
    EXPECT_EQ(App().RenderLog()[0].factor, DownsampleFull);
}

// --- Navigation ----------------------------------------------------------------------------

TEST_F(CanvasTest, NavigationStepsAndTheApplicationFollows)
{
    const QString first = AddCurrentPhoto(QStringLiteral("a.png"));
    const QString second = AddCurrentPhoto(QStringLiteral("b.png"));
    AddCurrentPhoto(QStringLiteral("c.png"));
    ASSERT_TRUE(App().SetForegroundLayerImage(first, false));

    CanvasNavigationWidget navigation;
    QSignalSpy steps(&navigation, &CanvasNavigationWidget::NavigateButtonClicked);
    navigation.DownButton()->click();
    navigation.UpButton()->click();
    emit navigation.UpButton()->customContextMenuRequested(QPoint());
    emit navigation.DownButton()->customContextMenuRequested(QPoint());
    ASSERT_EQ(steps.count(), 4);
    EXPECT_EQ(steps.at(0).at(0).toInt(), +1);
    EXPECT_EQ(steps.at(1).at(0).toInt(), -1);
    EXPECT_EQ(steps.at(2).at(0).toInt(), +1) << "right click steps the other way";
    EXPECT_EQ(steps.at(3).at(0).toInt(), -1);
    EXPECT_TRUE(steps.at(0).at(1).toBool());
    EXPECT_EQ(App().BatchSelectionModel()->currentIndex().row(), 0)
        << "the canvas image's row is made current first";

    EXPECT_FALSE(App().MoveCurrentForeground(-1)) << "before the first image";
    EXPECT_TRUE(App().MoveCurrentForeground(+1));
    EXPECT_EQ(App().CurrentForegroundPath(), second);
    EXPECT_EQ(App().BatchSelectionModel()->currentIndex().row(), 1);
    EXPECT_TRUE(App().MoveCurrentForeground(+1));
    EXPECT_FALSE(App().MoveCurrentForeground(+1)) << "past the last image";
    EXPECT_EQ(App().BatchSelectionModel()->currentIndex().row(), 2);
}

TEST_F(CanvasTest, MainWindowNavigationMovesThroughTheBatchAndSetsUnique)
{
    MainWindow window { QString() };
    const QString first = AddCurrentPhoto(QStringLiteral("a.png"));
    const QString second = AddCurrentPhoto(QStringLiteral("b.png"));
    ASSERT_TRUE(App().SetForegroundLayerImage(first, false));
    CanvasNavigationWidget& navigation = *window.GetNavigationWidget();
    navigation.DownButton()->click();
    EXPECT_EQ(App().CurrentForegroundPath(), second);
    navigation.DownButton()->click();
    EXPECT_EQ(App().CurrentForegroundPath(), second) << "past the last image nothing moves";
    navigation.UniqueButton()->click();
    EXPECT_TRUE(Project().GetForegroundImageList().Get(second)->IsUnique());
    EXPECT_FALSE(Project().GetForegroundImageList().Get(first)->IsUnique());
    navigation.UniqueButton()->click();
    EXPECT_FALSE(Project().GetForegroundImageList().Get(second)->IsUnique());
    navigation.UpButton()->click();
    EXPECT_EQ(App().CurrentForegroundPath(), first);
}

TEST_F(CanvasTest, SetUniqueRefusesAMissingOrOfflineImage)
{
    CanvasNavigationWidget navigation;
    QSignalSpy unique(&navigation, &CanvasNavigationWidget::SetUnique);
    // No canvas image.
    navigation.UniqueButton()->click();
    EXPECT_FALSE(navigation.UniqueButton()->isChecked());

    const QString path = AddCurrentPhoto(QStringLiteral("a.png"));
    App().SetBatchRowOffline(0);
    navigation.UniqueButton()->click();
    EXPECT_FALSE(navigation.UniqueButton()->isChecked());
    EXPECT_EQ(unique.count(), 0);

    // Online again in the model, but the file is gone.
    App().SetBatchRow(0, QStringLiteral("a.png"), path);
    ASSERT_TRUE(QFile::remove(path));
    navigation.UniqueButton()->click();
    EXPECT_FALSE(navigation.UniqueButton()->isChecked());
    EXPECT_EQ(unique.count(), 0);

    MakePhoto(QStringLiteral("a.png"));
    navigation.UniqueButton()->click();
    EXPECT_TRUE(navigation.UniqueButton()->isChecked());
    EXPECT_EQ(unique.count(), 1);
    ASSERT_TRUE(App().SetCurrentForegroundUnique(true));
    EXPECT_TRUE(Project().GetForegroundImageList().Get(path)->IsUnique());
    navigation.UpdateFromProject();
    EXPECT_TRUE(navigation.UniqueButton()->isChecked());
}

} // namespace
} // namespace mtra::ui::test
