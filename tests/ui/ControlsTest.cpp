// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The value controls with real mouse and key events: what a drag, a release, a typed value and
// a right click report, and which stage a press marks stale.

#include "controls/Controls.h"
#include "UiFixture.h"
#include "controls/CompoundControls.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <utility>
#include <vector>

namespace mtra::ui::test {
namespace {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;
using orv::image::OVDownsampleFactor;

using ControlsTest = UiFixture;

template <typename Value> using Updates = std::vector<std::pair<Value, OVDownsampleFactor>>;

void Mouse(
    QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

/// Press at `path.front()`, move through the rest, release at the last point.
void Drag(QWidget* widget, const std::vector<QPoint>& path)
{
    Mouse(widget, QEvent::MouseButtonPress, path.front(), Qt::LeftButton, Qt::LeftButton);
    for (std::size_t i = 1; i < path.size(); ++i) {
        Mouse(widget, QEvent::MouseMove, path[i], Qt::NoButton, Qt::LeftButton);
    }
    Mouse(widget, QEvent::MouseButtonRelease, path.back(), Qt::LeftButton, Qt::NoButton);
}

void RightClick(QWidget* widget)
{
    const QPoint centre = widget->rect().center();
    Mouse(widget, QEvent::MouseButtonPress, centre, Qt::RightButton, Qt::RightButton);
    Mouse(widget, QEvent::MouseButtonRelease, centre, Qt::RightButton, Qt::NoButton);
}

int FullUpdates(const Updates<int>& updates)
{
    int count = 0;
    for (const auto& update : updates) {
        count += update.second == DownsampleFull ? 1 : 0;
    }
    return count;
}

TEST_F(ControlsTest, SpinSliderDragReportsQuarterThenOneFullAtRelease)
{
    SpinSlider control(50, 0, 100);
    control.resize(400, 30);
    control.show();
    Updates<int> updates;
    QObject::connect(&control, &SpinSlider::SliderUpdate,
        [&](int value, OVDownsampleFactor factor) { updates.emplace_back(value, factor); });

    Slider* slider = control.GetSlider();
    const int y = slider->height() / 2;
    Drag(slider, { { 20, y }, { 60, y }, { 120, y }, { slider->width() - 20, y } });

    ASSERT_GE(updates.size(), 4U);
    // The press jumps to the pointer: the first value is far below the default.
    EXPECT_LT(updates.front().first, 20);
    for (std::size_t i = 0; i + 1 < updates.size(); ++i) {
        EXPECT_EQ(updates[i].second, DownsampleQuarter) << "update " << i;
    }
    for (std::size_t i = 1; i + 1 < updates.size(); ++i) {
        EXPECT_GT(updates[i].first, updates[i - 1].first) << "the drag moves right";
    }
    EXPECT_EQ(FullUpdates(updates), 1);
    EXPECT_EQ(updates.back().second, DownsampleFull);
    EXPECT_EQ(updates.back().first, updates[updates.size() - 2].first);
    EXPECT_EQ(control.GetSpinBox()->value(), updates.back().first);
    EXPECT_EQ(slider->value(), updates.back().first);
}

TEST_F(ControlsTest, LeftPressJumpsToThePointerAlsoUnderTheWindowsStyleSheet)
{
    QFile css(QStringLiteral(":CSS/MainWindow.css"));
    ASSERT_TRUE(css.open(QIODevice::ReadOnly));
    QWidget window;
    window.setStyleSheet(QString::fromUtf8(css.readAll()));
    auto* control = new SpinSlider(0, 0, 100, &window);
    control->resize(400, 30);
    window.show();
    Slider* slider = control->GetSlider();
    const int y = slider->height() / 2;
    Drag(slider, { { slider->width() - 10, y } });
    EXPECT_GT(control->Value(), 90);
    Drag(slider, { { slider->width() / 2, y } });
    EXPECT_NEAR(control->Value(), 50, 5);
}

TEST_F(ControlsTest, SpinSliderTypedValueReportsOnceAtFullResolution)
{
    SpinSlider control(50, 0, 100);
    control.show();
    Updates<int> updates;
    QObject::connect(&control, &SpinSlider::SliderUpdate,
        [&](int value, OVDownsampleFactor factor) { updates.emplace_back(value, factor); });

    QLineEdit* edit = control.GetSpinBox()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("42"));
    EXPECT_TRUE(updates.empty()) << "nothing is reported while typing";
    QTest::keyClick(edit, Qt::Key_Return);

    ASSERT_EQ(updates.size(), 1U);
    EXPECT_EQ(updates[0], std::make_pair(42, DownsampleFull));
    EXPECT_EQ(control.GetSlider()->value(), 42);
}

TEST_F(ControlsTest, RightClickReturnsEveryPartToItsDefault)
{
    SpinSlider control(25, 0, 200);
    control.resize(400, 30);
    control.show();
    Updates<int> updates;
    QObject::connect(&control, &SpinSlider::SliderUpdate,
        [&](int value, OVDownsampleFactor factor) { updates.emplace_back(value, factor); });

    struct Case {
        const char* what;
        QWidget* target;
    };
    for (const Case& c :
        { Case { "slider", control.GetSlider() }, Case { "spin box", control.GetSpinBox() } }) {
        SCOPED_TRACE(c.what);
        control.SetValue(140);
        updates.clear();
        RightClick(c.target);
        ASSERT_FALSE(updates.empty());
        EXPECT_EQ(updates.back(), std::make_pair(25, DownsampleFull));
        EXPECT_EQ(control.GetSlider()->value(), 25);
        EXPECT_EQ(control.GetSpinBox()->value(), 25);
    }
}

TEST_F(ControlsTest, DoubleSpinSliderCountsThousandths)
{
    DoubleSpinSlider control(nullptr, 0, 2, 1);
    control.resize(400, 30);
    control.show();
    EXPECT_EQ(control.GetSlider()->minimum(), 0);
    EXPECT_EQ(control.GetSlider()->maximum(), 2000);
    EXPECT_EQ(control.GetSlider()->value(), 1000);
    EXPECT_DOUBLE_EQ(control.GetSpinBox()->value(), 1.0);

    Updates<double> updates;
    QObject::connect(&control, &DoubleSpinSlider::SliderUpdate,
        [&](double value, OVDownsampleFactor factor) { updates.emplace_back(value, factor); });

    control.SliderDragging(1500);
    EXPECT_EQ(control.GetSpinBox()->text(), QStringLiteral("1.50"));
    ASSERT_EQ(updates.size(), 1U);
    EXPECT_EQ(updates[0], std::make_pair(1.5, DownsampleQuarter));

    // Typed values that a double holds just below their thousandths keep them.
    for (double typed : { 1.15, 0.29, 1.5, 0.01 }) {
        SCOPED_TRACE(typed);
        updates.clear();
        control.GetSpinBox()->setValue(typed);
        EXPECT_EQ(control.GetSlider()->value(), qRound(typed * 1000));
        ASSERT_EQ(updates.size(), 1U);
        EXPECT_EQ(updates[0], std::make_pair(typed, DownsampleFull));
    }

    updates.clear();
    RightClick(control.GetSlider());
    ASSERT_FALSE(updates.empty());
    EXPECT_EQ(updates.back(), std::make_pair(1.0, DownsampleFull));
}

TEST_F(ControlsTest, HueSpinSliderSpansTheCircleInDegrees)
{
    HueSpinSlider control(nullptr, 0);
    EXPECT_EQ(control.GetSlider()->maximum(), 360000);
    EXPECT_DOUBLE_EQ(control.GetSpinBox()->maximum(), 360.0);
    EXPECT_EQ(control.GetSpinBox()->suffix(), QStringLiteral("°"));
    control.GetSpinBox()->setValue(180.25);
    EXPECT_EQ(control.GetSlider()->value(), 180250);
    // It paints without a style of its own going wrong.
    control.resize(300, 30);
    EXPECT_FALSE(control.grab().isNull());
}

TEST_F(ControlsTest, DialAngleIsClockwiseFromTwelveInThousandths)
{
    Dial dial(0);
    dial.resize(100, 100);
    const struct {
        QPointF at;
        int value;
    } cases[] = {
        { { 50, 5 }, 0 },
        { { 95, 50 }, 90000 },
        { { 50, 95 }, 180000 },
        { { 5, 50 }, 270000 },
        { { 95, 95 }, 135000 },
        { { 5, 5 }, 315000 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(dial.ValueAt(c.at), c.value);
    }
}

TEST_F(ControlsTest, DoubleSpinDialDragReportsQuarterThenOneFull)
{
    DoubleSpinDial control(nullptr, -0.5, 359.5, 0);
    control.show();
    Dial* dial = control.GetDial();
    dial->setFixedSize(100, 100);
    control.adjustSize();
    Updates<double> updates;
    QObject::connect(&control, &DoubleSpinDial::DialUpdate,
        [&](double value, OVDownsampleFactor factor) { updates.emplace_back(value, factor); });

    Drag(dial, { { 50, 5 }, { 80, 20 }, { 95, 50 } });

    EXPECT_EQ(dial->value(), 90000);
    EXPECT_DOUBLE_EQ(control.GetSpinBox()->value(), 89.5);
    ASSERT_GE(updates.size(), 3U);
    EXPECT_EQ(updates[updates.size() - 2], std::make_pair(89.5, DownsampleQuarter));
    EXPECT_EQ(updates.back(), std::make_pair(89.5, DownsampleFull));
    int full = 0;
    for (const auto& update : updates) {
        full += update.second == DownsampleFull ? 1 : 0;
    }
    EXPECT_EQ(full, 1);

    // A click without movement on the current value still reports it once.
    updates.clear();
    Drag(dial, { { 95, 50 } });
    ASSERT_FALSE(updates.empty());
    EXPECT_EQ(updates.back(), std::make_pair(89.5, DownsampleFull));

    updates.clear();
    control.GetSpinBox()->setValue(10);
    EXPECT_EQ(dial->value(), 10500);
    ASSERT_EQ(updates.size(), 1U);
    EXPECT_EQ(updates[0], std::make_pair(10.0, DownsampleFull));
}

TEST_F(ControlsTest, PressMarksTheCurrentStageStaleOnlyWhenAsked)
{
    SpinSlider control(0, 0, 100);
    control.resize(400, 30);
    control.show();
    Slider* slider = control.GetSlider();
    const QPoint at(slider->width() / 2, slider->height() / 2);

    Project().SetCurrentToolset(app::SectionFilters);
    App().ClearInvalidationLog();
    Drag(slider, { at });
    EXPECT_TRUE(App().InvalidationLog().empty()) << "a control outside an item widget";

    control.SetInvalidatesOnPress(true);
    const struct {
        app::ToolsetSections section;
        app::LayerID layer;
        app::Stage stage;
    } cases[] = {
        { app::SectionCanvasSize, app::ForegroundLayer, app::Stage::Key },
        { app::SectionKey, app::ForegroundLayer, app::Stage::Key },
        { app::SectionFilters, app::BackgroundLayer, app::Stage::Filter },
        { app::SectionFilters, app::ForegroundLayer, app::Stage::Filter },
        { app::SectionPosition, app::OverlayLayer, app::Stage::Transform },
        { app::SectionExport, app::ForegroundLayer, app::Stage::Transform },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.section));
        Project().SetCurrentToolset(c.section);
        Project().SetCurrentLayer(c.layer);
        App().ClearInvalidationLog();
        Drag(slider, { at });
        ASSERT_EQ(App().InvalidationLog().size(), 1U);
        const auto& record = App().InvalidationLog().front();
        EXPECT_EQ(record.layer, static_cast<int>(c.layer));
        EXPECT_EQ(record.stage, c.stage);
        EXPECT_EQ(record.factor, DownsampleQuarter);
    }
}

} // namespace
} // namespace mtra::ui::test
