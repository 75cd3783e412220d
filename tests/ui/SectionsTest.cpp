// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The item panels and the key, filters, position, combine and overlay sections: what they show
// for a project, where their edits land, moves, resets, fitting the overlay and which layer
// they refresh.

#include "UiFixture.h"
#include "controls/CompoundControls.h"
#include "controls/Controls.h"
#include "items/CompositeWidgets.h"
#include "items/CurrentImage.h"
#include "items/FilterWidgets.h"
#include "items/KeyWidgets.h"
#include "sections/CompositeSection.h"
#include "sections/FiltersSection.h"
#include "sections/KeySection.h"
#include "sections/OverlaySection.h"
#include "sections/PositionSection.h"
#include "toolset/TitleWidget.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <vector>

namespace mtra::ui::test {
namespace {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

template <typename Widgets> QStringList Titles(const Widgets& widgets)
{
    QStringList titles;
    for (const auto* widget : widgets) {
        titles << widget->Title()->Title();
    }
    return titles;
}

template <typename T, typename Widgets> T* PanelOf(const Widgets& widgets)
{
    for (auto* widget : widgets) {
        if (auto* typed = qobject_cast<T*>(widget)) {
            return typed;
        }
    }
    return nullptr;
}

app::ForegroundImageSettings& Foreground()
{
    return *CurrentImage()->ForegroundSettings();
}

app::BackgroundImageSettings& Background()
{
    return *CurrentImage()->BackgroundSettings();
}

std::vector<int> FilterTypes(const app::FilterList& list)
{
    std::vector<int> types;
    for (auto it = list.Begin(); it != list.End(); ++it) {
        types.push_back((*it)->Type());
    }
    return types;
}

/// Every `CanvasRefreshRequested(layer, stage, factor)` while alive.
class RefreshSpy
{
public:
    RefreshSpy()
        : m_spy(&App(),
            qOverload<app::LayerID, app::Stage, orv::image::OVDownsampleFactor>(
                &Application::CanvasRefreshRequested))
    {
    }
    int Count() const { return static_cast<int>(m_spy.count()); }
    app::LayerID LastLayer() const { return m_spy.last().at(0).value<app::LayerID>(); }
    app::Stage LastStage() const { return m_spy.last().at(1).value<app::Stage>(); }

private:
    QSignalSpy m_spy;
};

using SectionsTest = UiFixture;

// --- What the sections show ------------------------------------------------------------------

TEST_F(SectionsTest, DefaultProjectShowsEveryListInOrder)
{
    KeySection keys;
    keys.UpdateFromProject();
    EXPECT_EQ(Titles(keys.Widgets()),
        QStringList({ "YUV Blur", "Auto Color Difference Key", "Crop", "Spill Suppression" }));

    FiltersSection filters;
    filters.UpdateFromProject();
    const auto& panels = filters.Widget(app::ForegroundLayer)->Widgets();
    ASSERT_EQ(panels.size(), 7u);
    EXPECT_EQ(panels.back()->Title()->Title(), "Blur");
    EXPECT_EQ(panels.back()->FilterType(), app::BlurFilter);
    EXPECT_EQ(filters.Widget(app::BackgroundLayer)->Widgets().size(), 7u);

    CompositeSection composites;
    composites.UpdateFromProject();
    EXPECT_EQ(Titles(composites.Widgets()), QStringList({ "Transparency", "Light Spill" }));
}

TEST_F(SectionsTest, FiltersWithoutPanelKeepTheirPlaceAndBlurEditsBlur)
{
    app::FilterList& list = Foreground().Filters();
    list.Add(std::make_shared<app::TransparencyFilterItem>(0.25));
    list.Add(std::make_shared<app::MirrorFilterItem>(true, false));
    FiltersSection filters;
    filters.UpdateFromProject();
    const auto& panels = filters.Widget(app::ForegroundLayer)->Widgets();
    ASSERT_EQ(panels.size(), 7u);
    for (const AbstractFilterWidget* panel : panels) {
        EXPECT_NE(panel->FilterType(), app::TransparencyFilter);
        EXPECT_NE(panel->FilterType(), app::MirrorFilter);
    }
    auto* blur = PanelOf<BlurFilterWidget>(panels);
    ASSERT_NE(blur, nullptr);
    blur->UpdateRadius(12, DownsampleFull, false);
    EXPECT_DOUBLE_EQ(FirstOf<app::BlurFilterItem>(list)->Radius(), 12.0);
    EXPECT_DOUBLE_EQ(FirstOf<app::TransparencyFilterItem>(list)->Transparency(), 0.25);
}

// --- Edits ---------------------------------------------------------------------------------

TEST_F(SectionsTest, RightClickOnBrightnessReturnsToNeutral)
{
    FirstOf<app::BrightnessFilterItem>(Foreground().Filters())->SetBrightness(0.4);
    FiltersSection filters;
    filters.UpdateFromProject();
    auto* panel = PanelOf<BrightnessFilterWidget>(filters.Widget(app::ForegroundLayer)->Widgets());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->BrightnessControl()->Value(), 40);
    EXPECT_TRUE(panel->IsActive());

    QTest::mouseClick(panel->BrightnessControl()->GetSlider(), Qt::RightButton);
    const auto item = FirstOf<app::BrightnessFilterItem>(Foreground().Filters());
    EXPECT_DOUBLE_EQ(item->Brightness(), 0.0);
    EXPECT_FALSE(item->IsActive());
    EXPECT_FALSE(panel->IsActive());
    EXPECT_TRUE(App().IsProjectModified());
}

TEST_F(SectionsTest, DraggingPreviewsAtQuarterAndReleaseRendersFull)
{
    AddCurrentPhoto("photo.png");
    Project().SetCurrentToolset(app::SectionFilters);
    FiltersSection filters;
    filters.UpdateFromProject();
    auto* panel = PanelOf<BrightnessFilterWidget>(filters.Widget(app::ForegroundLayer)->Widgets());
    ASSERT_NE(panel, nullptr);
    SpinSlider* control = panel->BrightnessControl();
    App().ClearInvalidationLog();
    QSignalSpy spy(&App(),
        qOverload<app::LayerID, app::Stage, orv::image::OVDownsampleFactor>(
            &Application::CanvasRefreshRequested));

    control->SliderClicked(false);
    control->SliderDragging(20);
    control->SliderDragging(30);
    control->SliderChangedUpdate();
    // The press marks the filter stage stale at quarter resolution (press invalidation is on).
    ASSERT_FALSE(App().InvalidationLog().empty());
    EXPECT_EQ(App().InvalidationLog().front().stage, app::Stage::Filter);
    EXPECT_EQ(App().InvalidationLog().front().factor, DownsampleQuarter);
    ASSERT_EQ(spy.count(), 4);
    EXPECT_EQ(spy.at(1).at(2).value<orv::image::OVDownsampleFactor>(), DownsampleQuarter);
    EXPECT_EQ(spy.at(2).at(2).value<orv::image::OVDownsampleFactor>(), DownsampleQuarter);
    EXPECT_EQ(spy.at(3).at(2).value<orv::image::OVDownsampleFactor>(), DownsampleFull);
    EXPECT_DOUBLE_EQ(FirstOf<app::BrightnessFilterItem>(Foreground().Filters())->Brightness(), 0.3);
}

TEST_F(SectionsTest, ValueControlsStoreItemValues)
{
    FiltersSection filters;
    filters.UpdateFromProject();
    const auto& panels = filters.Widget(app::ForegroundLayer)->Widgets();
    auto* temperature = PanelOf<ColorTemperatureFilterWidget>(panels);
    ASSERT_NE(temperature, nullptr);
    temperature->TemperatureControl()->GetSpinBox()->setValue(8000);
    auto temperatureItem = FirstOf<app::ColorTemperatureFilterItem>(Foreground().Filters());
    EXPECT_DOUBLE_EQ(temperatureItem->TemperatureShift(), 6500.0);
    EXPECT_TRUE(temperatureItem->IsActive());
    temperature->TemperatureControl()->GetSpinBox()->setValue(6500);
    EXPECT_DOUBLE_EQ(temperatureItem->TemperatureShift(), 5000.0);
    EXPECT_FALSE(temperatureItem->IsActive());

    struct Case {
        const char* name;
        std::function<void()> edit;
        std::function<bool()> stored;
    };
    auto* levels = PanelOf<SuperContrastFilterWidget>(panels);
    auto* balance = PanelOf<ColorBalanceFilterWidget>(panels);
    auto* hue = PanelOf<HueColorizeFilterWidget>(panels);
    auto* saturation = PanelOf<SaturationFilterWidget>(panels);
    ASSERT_TRUE(levels && balance && hue && saturation);
    const app::FilterList& list = Foreground().Filters();
    const Case cases[] = {
        { "white level", [&] { levels->WhiteControl()->GetSpinBox()->setValue(80); },
            [&] { return FirstOf<app::SuperContrastFilterItem>(list)->WhiteLevel() == 0.8; } },
        { "green balance", [&] { balance->GreenControl()->GetSpinBox()->setValue(1.5); },
            [&] { return FirstOf<app::ColorBalanceFilterItem>(list)->Green() == 1.5; } },
        { "hue strength", [&] { hue->StrengthControl()->GetSpinBox()->setValue(30); },
            [&] { return FirstOf<app::HueColorizeFilterItem>(list)->Strength() == 0.3; } },
        { "saturation", [&] { saturation->SaturationControl()->GetSpinBox()->setValue(0.5); },
            [&] { return FirstOf<app::SaturationFilterItem>(list)->Saturation() == 0.5; } },
    };
    for (const Case& c : cases) {
        c.edit();
        EXPECT_TRUE(c.stored()) << c.name;
    }
}

TEST_F(SectionsTest, CombineBlendModesAndTransparency)
{
    CompositeSection composites;
    composites.UpdateFromProject();
    auto* spill = PanelOf<LightSpillCompositeWidget>(composites.Widgets());
    auto* flatten = PanelOf<FlattenCompositeWidget>(composites.Widgets());
    ASSERT_TRUE(spill && flatten);
    const app::CompositeList& list = Foreground().Compositors();
    const std::pair<int, orv::image::OVBlendMode> modes[]
        = { { 0, orv::image::BlendModeAdd }, { 3, orv::image::BlendModeScreen },
              { 4, orv::image::BlendModeSoftLight }, { 1, orv::image::BlendModeLighten } };
    for (const auto& [index, mode] : modes) {
        spill->BlendControl()->setCurrentIndex(index);
        EXPECT_EQ(FirstOf<app::LightSpillCompositeItem>(list)->BlendMode(), mode) << index;
    }
    flatten->TransparencyControl()->GetSpinBox()->setValue(40);
    EXPECT_DOUBLE_EQ(FirstOf<app::FlattenCompositeItem>(list)->ForegroundTransparency(), 0.4);
    EXPECT_TRUE(FirstOf<app::FlattenCompositeItem>(list)->IsActive());

    composites.ResetFilters();
    EXPECT_DOUBLE_EQ(FirstOf<app::FlattenCompositeItem>(list)->ForegroundTransparency(), 0.0);
    EXPECT_EQ(
        FirstOf<app::LightSpillCompositeItem>(list)->BlendMode(), orv::image::BlendModeLighten);
    EXPECT_DOUBLE_EQ(FirstOf<app::LightSpillCompositeItem>(list)->Blur(), 25.0);
}

TEST_F(SectionsTest, KeyColourSetsEverySpillChannel)
{
    app::KeyList& keys = Foreground().Keys();
    keys.Add(std::make_shared<app::SpillSuppressionKeyItem>(orv::image::ChannelGreen, false, 0.5));
    KeySection section;
    section.UpdateFromProject();
    auto* key = PanelOf<AutoColorDifferenceKeyWidget>(section.Widgets());
    ASSERT_NE(key, nullptr);
    const auto channels = [&] {
        std::vector<int> found;
        for (auto it = keys.Begin(); it != keys.End(); ++it) {
            if (auto spill = std::dynamic_pointer_cast<app::SpillSuppressionKeyItem>(*it)) {
                found.push_back(spill->Channel());
            }
        }
        return found;
    };
    key->ColorControl()->setCurrentIndex(2);
    EXPECT_EQ(FirstOf<app::AutoColorDifferenceKeyItem>(keys)->KeyColor(), orv::image::KeyColorBlue);
    EXPECT_EQ(channels(), std::vector<int>({ 1, 1 }));
    key->ColorControl()->setCurrentIndex(1);
    EXPECT_EQ(channels(), std::vector<int>({ 2, 2 }));
    // "Automatic" follows the project's key colour.
    Project().SetKeyColor(orv::image::KeyColorBlue);
    key->ColorControl()->setCurrentIndex(0);
    EXPECT_EQ(channels(), std::vector<int>({ 1, 1 }));
}

TEST_F(SectionsTest, BackgroundTabEditsTheBackgroundListAndRefreshesThatLayer)
{
    ASSERT_TRUE(App().SetBackgroundLayerImage(MakePhoto("background.png")));
    FiltersSection filters;
    filters.UpdateFromProject();
    filters.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(Project().CurrentLayer(), app::BackgroundLayer);
    auto* panel = PanelOf<BrightnessFilterWidget>(filters.Widget(app::BackgroundLayer)->Widgets());
    ASSERT_NE(panel, nullptr);

    // Even with the foreground current again, the background panel edits its own layer.
    Project().SetCurrentLayer(app::ForegroundLayer);
    RefreshSpy spy;
    panel->BrightnessControl()->GetSpinBox()->setValue(25);
    EXPECT_DOUBLE_EQ(
        FirstOf<app::BrightnessFilterItem>(Background().Filters())->Brightness(), 0.25);
    EXPECT_DOUBLE_EQ(FirstOf<app::BrightnessFilterItem>(Foreground().Filters())->Brightness(), 0.0);
    ASSERT_EQ(spy.Count(), 1);
    EXPECT_EQ(spy.LastLayer(), app::BackgroundLayer);
    EXPECT_EQ(spy.LastStage(), app::Stage::Filter);
}

TEST_F(SectionsTest, SwitchingAPanelOffDisablesItsItem)
{
    KeySection section;
    section.UpdateFromProject();
    auto* crop = PanelOf<CropKeyWidget>(section.Widgets());
    ASSERT_NE(crop, nullptr);
    crop->Title()->EnableBox()->setChecked(false);
    EXPECT_FALSE(FirstOf<app::CropKeyItem>(Foreground().Keys())->IsEnabled());
    crop->Title()->CollapseButton()->setChecked(false);
    EXPECT_FALSE(FirstOf<app::CropKeyItem>(Foreground().Keys())->IsCollapsed());

    crop->LeftControl()->GetSpinBox()->setValue(10);
    section.ResetFilters();
    const auto item = FirstOf<app::CropKeyItem>(Foreground().Keys());
    EXPECT_TRUE(item->IsEnabled());
    EXPECT_TRUE(item->IsCollapsed());
    EXPECT_DOUBLE_EQ(item->Left(), 0.0);
}

// --- Moves ---------------------------------------------------------------------------------

TEST_F(SectionsTest, MovingFiltersFollowsThePanels)
{
    FiltersSection filters;
    filters.UpdateFromProject();
    FiltersWidget* widget = filters.Widget(app::ForegroundLayer);
    app::FilterList& list = Foreground().Filters();
    const std::vector<int> start = FilterTypes(list);

    emit widget->Widgets().front()->MoveUp();
    EXPECT_EQ(FilterTypes(list), start);
    emit widget->Widgets().back()->MoveDown();
    EXPECT_EQ(FilterTypes(list), start);

    widget->Widgets().front()->Title()->DownButton()->click();
    EXPECT_EQ(FilterTypes(list), std::vector<int>({ 1, 0, 2, 3, 4, 5, 7 }));
    EXPECT_EQ(widget->Widgets()[1]->FilterType(), app::BrightnessFilter);

    // A filter without a panel between two panels does not swallow the move.
    list.Add(std::make_shared<app::TransparencyFilterItem>(0.5));
    app::FilterList reordered;
    std::vector<std::shared_ptr<app::AbstractFilterItem>> items(list.Begin(), list.End());
    std::swap(items[6], items[7]);
    list.Clear();
    for (const auto& item : items) {
        list.Add(item);
    }
    EXPECT_EQ(FilterTypes(list), std::vector<int>({ 1, 0, 2, 3, 4, 5, 6, 7 }));
    widget->Rebuild(true);
    emit widget->Widgets().back()->MoveUp();
    EXPECT_EQ(FilterTypes(list), std::vector<int>({ 1, 0, 2, 3, 4, 7, 5, 6 }));
    EXPECT_EQ(widget->Widgets()[5]->FilterType(), app::BlurFilter);
}

TEST_F(SectionsTest, MovingFiltersChangesTheExport)
{
    const QString path = AddCurrentPhoto("photo.png");
    FirstOf<app::BrightnessFilterItem>(Foreground().Filters())->SetBrightness(0.6);
    FirstOf<app::SuperContrastFilterItem>(Foreground().Filters())->SetBlackLevel(0.5);
    Foreground().UpdateActiveFlags();
    FiltersSection filters;
    filters.UpdateFromProject();
    QImage before;
    ASSERT_TRUE(App().RenderExportImage(path, before));

    FiltersWidget* widget = filters.Widget(app::ForegroundLayer);
    emit widget->Widgets()[0]->MoveDown(); // brightness after saturation
    emit widget->Widgets()[1]->MoveDown(); // brightness after levels
    EXPECT_EQ(FilterTypes(Foreground().Filters()), std::vector<int>({ 1, 2, 0, 3, 4, 5, 7 }));
    QImage after;
    ASSERT_TRUE(App().RenderExportImage(path, after));
    EXPECT_NE(before, after);
}

// --- Shared and unique settings ------------------------------------------------------------

TEST_F(SectionsTest, SharedToSharedKeepsPanelsUniqueRebuilds)
{
    const QString first = AddCurrentPhoto("first.png");
    const QString second = AddCurrentPhoto("second.png");
    KeySection keys;
    FiltersSection filters;
    keys.UpdateFromProject();
    filters.UpdateFromProject();
    const auto keyPanels = keys.Widgets();
    const auto filterPanels = filters.Widget(app::ForegroundLayer)->Widgets();

    ASSERT_TRUE(App().SetForegroundLayerImage(first, false));
    keys.RefreshPage();
    filters.RefreshPage();
    EXPECT_EQ(keys.Widgets(), keyPanels);
    EXPECT_EQ(filters.Widget(app::ForegroundLayer)->Widgets(), filterPanels);

    ASSERT_EQ(App().Document().SetImageUnique(first, true), app::MT_OK);
    keys.RefreshPage();
    filters.RefreshPage();
    EXPECT_NE(keys.Widgets(), keyPanels);
    EXPECT_NE(filters.Widget(app::ForegroundLayer)->Widgets(), filterPanels);

    // The unique image's panels edit its own copy, not the shared settings.
    auto* brightness
        = PanelOf<BrightnessFilterWidget>(filters.Widget(app::ForegroundLayer)->Widgets());
    brightness->BrightnessControl()->GetSpinBox()->setValue(30);
    EXPECT_DOUBLE_EQ(FirstOf<app::BrightnessFilterItem>(Foreground().Filters())->Brightness(), 0.3);
    const auto shared = Project().GetForegroundImageList().DefaultForegroundSettings();
    EXPECT_DOUBLE_EQ(FirstOf<app::BrightnessFilterItem>(shared->Filters())->Brightness(), 0.0);

    const auto uniquePanels = keys.Widgets();
    ASSERT_TRUE(App().SetForegroundLayerImage(second, false));
    keys.RefreshPage();
    EXPECT_NE(keys.Widgets(), uniquePanels);
}

// --- Position ------------------------------------------------------------------------------

TEST_F(SectionsTest, PositionWritesTheLayersTransformation)
{
    PositionSection section;
    section.UpdateFromProject();
    PositionWidget* widget = section.Widget(app::ForegroundLayer);
    const auto item = FirstOf<app::TransformationTransformItem>(Foreground().Transforms());

    widget->HorizontalControl()->GetSpinBox()->setValue(50);
    EXPECT_DOUBLE_EQ(item->TranslateX(), 0.5);
    widget->ScaleControl()->GetSpinBox()->setValue(200);
    widget->FlipHorizontal();
    EXPECT_DOUBLE_EQ(item->ScaleX(), -2.0);
    widget->ScaleControl()->GetSpinBox()->setValue(150);
    EXPECT_DOUBLE_EQ(item->ScaleX(), -1.5);
    EXPECT_DOUBLE_EQ(item->ScaleY(), 1.5);
    widget->FlipHorizontal();
    EXPECT_DOUBLE_EQ(item->ScaleX(), 1.5);
    widget->FlipVertical();
    widget->UpdateFromProject();
    EXPECT_EQ(widget->ScaleControl()->Value(), 150);

    widget->ResetPosition();
    EXPECT_DOUBLE_EQ(item->TranslateX(), 0.0);
    EXPECT_DOUBLE_EQ(item->TranslateY(), 0.0);
    EXPECT_DOUBLE_EQ(item->ScaleX(), 1.0);
    EXPECT_DOUBLE_EQ(item->ScaleY(), 1.0);
    EXPECT_DOUBLE_EQ(item->Rotation(), 0.0);
    EXPECT_EQ(widget->HorizontalControl()->Value(), 0);
}

TEST_F(SectionsTest, BackgroundPositionRefreshesTheBackground)
{
    ASSERT_TRUE(App().SetBackgroundLayerImage(MakePhoto("background.png")));
    PositionSection section;
    section.UpdateFromProject();
    Project().SetCurrentLayer(app::ForegroundLayer);
    RefreshSpy spy;
    section.Widget(app::BackgroundLayer)->UpdateVerticalPosition(-20, DownsampleQuarter);
    EXPECT_DOUBLE_EQ(
        FirstOf<app::TransformationTransformItem>(Background().Transforms())->TranslateY(), -0.2);
    ASSERT_EQ(spy.Count(), 1);
    EXPECT_EQ(spy.LastLayer(), app::BackgroundLayer);
}

// --- Overlay -------------------------------------------------------------------------------

TEST_F(SectionsTest, FitToCanvasRefitsEveryFittedSettingsObject)
{
    const QString unique = AddCurrentPhoto("unique.png");
    const QString actual = AddCurrentPhoto("actual.png");
    ASSERT_EQ(App().Document().SetImageUnique(unique, true), app::MT_OK);
    ASSERT_EQ(App().Document().SetImageUnique(actual, true), app::MT_OK);
    AddCurrentPhoto("shared.png"); // the section edits the shared settings
    const auto& batch = Project().GetForegroundImageList();
    FirstOf<app::FitTransformItem>(batch.Get(unique)->OverlaySettings()->Transforms())
        ->SetFit(app::FitModeCanvas);
    FirstOf<app::FitTransformItem>(batch.Get(actual)->OverlaySettings()->Transforms())
        ->SetFit(app::FitModeNone);
    ASSERT_TRUE(App().SetOverlayLayerImage(MakePhoto("overlay.png", 400, 300)));
    const auto kept = FirstOf<app::TransformationTransformItem>(
        batch.Get(actual)->OverlaySettings()->Transforms());
    kept->SetScaleX(0.75);
    FirstOf<app::TransformationTransformItem>(batch.Get(unique)->OverlaySettings()->Transforms())
        ->SetScaleX(0.5);

    OverlaySection section;
    section.FitToCanvas(false, true);
    section.FitToCanvas(true, true);
    EXPECT_TRUE(section.IsFitted());
    for (QWidget* control : { static_cast<QWidget*>(section.HorizontalControl()),
             static_cast<QWidget*>(section.VerticalControl()),
             static_cast<QWidget*>(section.ScaleControl()),
             static_cast<QWidget*>(section.RotationControl()) }) {
        EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_EQ(section.HorizontalControl()->Value(), 0);
    EXPECT_EQ(section.VerticalControl()->Value(), 0);
    EXPECT_EQ(section.ScaleControl()->Value(), 100);
    EXPECT_DOUBLE_EQ(section.RotationControl()->Value(), 0.0);

    const double sx = Project().GetCanvas().Width() / 400.0;
    const double sy = Project().GetCanvas().Height() / 300.0;
    for (const QString& path : { QString(), unique }) {
        const auto settings
            = path.isEmpty() ? batch.DefaultOverlaySettings() : batch.Get(path)->OverlaySettings();
        const auto item = FirstOf<app::TransformationTransformItem>(settings->Transforms());
        EXPECT_DOUBLE_EQ(item->ScaleX(), sx) << path.toStdString();
        EXPECT_DOUBLE_EQ(item->ScaleY(), sy) << path.toStdString();
    }
    EXPECT_DOUBLE_EQ(kept->ScaleX(), 0.75);

    section.FitToCanvas(false, true);
    EXPECT_TRUE(section.ScaleControl()->isEnabled());
    section.ScaleControl()->GetSpinBox()->setValue(50);
    const auto current = FirstOf<app::TransformationTransformItem>(
        CurrentImage()->OverlaySettings()->Transforms());
    EXPECT_DOUBLE_EQ(current->ScaleX(), 0.5);
    EXPECT_DOUBLE_EQ(current->ScaleY(), 0.5);
    section.ResetOverlay();
    EXPECT_TRUE(section.IsFitted());
    EXPECT_TRUE(section.FitButton()->isChecked());
}

TEST_F(SectionsTest, ShowingAFittedProjectWithoutOverlayChangesNothing)
{
    const auto& batch = Project().GetForegroundImageList();
    const auto settings = batch.DefaultOverlaySettings();
    FirstOf<app::FitTransformItem>(settings->Transforms())->SetFit(app::FitModeCanvas);
    FirstOf<app::TransformationTransformItem>(settings->Transforms())->SetScaleX(3.0);
    OverlaySection section;
    EXPECT_TRUE(section.IsFitted());
    EXPECT_DOUBLE_EQ(
        FirstOf<app::TransformationTransformItem>(settings->Transforms())->ScaleX(), 3.0);
    EXPECT_FALSE(App().IsProjectModified());
}

TEST_F(SectionsTest, OverlayDragLeavesTheCurrentLayerAlone)
{
    OverlaySection section;
    Project().SetCurrentToolset(app::SectionOverlay);
    Project().SetCurrentLayer(app::ForegroundLayer);
    App().ClearInvalidationLog();
    section.HorizontalControl()->SliderClicked(false);
    section.HorizontalControl()->SliderDragging(-30);
    for (const auto& record : App().InvalidationLog()) {
        EXPECT_EQ(record.layer, app::OverlayLayer);
    }
    EXPECT_DOUBLE_EQ(
        FirstOf<app::TransformationTransformItem>(CurrentImage()->OverlaySettings()->Transforms())
            ->TranslateX(),
        -0.3);
}

TEST_F(SectionsTest, OverlayTakesTheImportWidget)
{
    OverlaySection section;
    auto* chooser = new QWidget;
    section.SetImportWidget(chooser);
    EXPECT_EQ(section.ImportWidget(), chooser);
    EXPECT_TRUE(section.isAncestorOf(chooser));
}

// --- End to end ----------------------------------------------------------------------------

TEST_F(SectionsTest, WidgetEditChangesTheExportAndNeutralRestoresIt)
{
    const QString path = AddCurrentPhoto("photo.png");
    FiltersSection filters;
    filters.UpdateFromProject();
    auto* brightness
        = PanelOf<BrightnessFilterWidget>(filters.Widget(app::ForegroundLayer)->Widgets());
    ASSERT_NE(brightness, nullptr);
    QImage neutral;
    ASSERT_TRUE(App().RenderExportImage(path, neutral));

    brightness->BrightnessControl()->GetSpinBox()->setValue(40);
    QImage brighter;
    ASSERT_TRUE(App().RenderExportImage(path, brighter));
    EXPECT_NE(neutral, brighter);

    brightness->BrightnessControl()->GetSpinBox()->setValue(0);
    QImage again;
    ASSERT_TRUE(App().RenderExportImage(path, again));
    ASSERT_EQ(again.sizeInBytes(), neutral.sizeInBytes());
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(again.constBits()), again.sizeInBytes()),
        QByteArray(reinterpret_cast<const char*>(neutral.constBits()), neutral.sizeInBytes()));
}

} // namespace
} // namespace mtra::ui::test
