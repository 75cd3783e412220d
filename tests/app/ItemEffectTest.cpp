// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/CompositeItems.h>
#include <app/ControlSteps.h>
#include <app/FilterItems.h>
#include <app/KeyItems.h>
#include <app/TransformItems.h>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

using namespace mtra::app;
using namespace orv::image;

namespace {

struct EffectCase {
    std::string name;
    std::function<bool()> hasEffect;
    bool expected;
};

void PrintTo(const EffectCase& c, std::ostream* os)
{
    *os << c.name;
}

template <typename T, typename... Args> std::function<bool()> Effect(Args... args)
{
    return [=] { return T(args...).HasEffect(); };
}

class ItemEffectTest : public ::testing::TestWithParam<EffectCase>
{
};

TEST_P(ItemEffectTest, JudgedOnTheWidgetsControlSteps)
{
    EXPECT_EQ(GetParam().hasEffect(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, ItemEffectTest,
    ::testing::Values(
        // The widget shows temperature + 1500: 5000 is its neutral 6500, the constructor's
        // 6500 is 8000 and tints.
        EffectCase { "temperature_5000", Effect<ColorTemperatureFilterItem>(5000.0), false },
        EffectCase { "temperature_5000_4", Effect<ColorTemperatureFilterItem>(5000.4), false },
        EffectCase { "temperature_5000_6", Effect<ColorTemperatureFilterItem>(5000.6), true },
        EffectCase { "temperature_default", Effect<ColorTemperatureFilterItem>(), true },
        EffectCase { "brightness_0", Effect<BrightnessFilterItem>(0.0, ChannelsColor), false },
        EffectCase { "brightness_under_half_percent",
            Effect<BrightnessFilterItem>(-0.004, ChannelsColor), false },
        EffectCase {
            "brightness_1_percent", Effect<BrightnessFilterItem>(-0.01, ChannelsColor), true },
        EffectCase { "saturation_1", Effect<SaturationFilterItem>(1.0), false },
        EffectCase { "saturation_1_004", Effect<SaturationFilterItem>(1.004), false },
        EffectCase { "saturation_1_01", Effect<SaturationFilterItem>(1.01), true },
        EffectCase { "saturation_default", Effect<SaturationFilterItem>(), true },
        EffectCase { "balance_neutral", Effect<ColorBalanceFilterItem>(1.0, 1.0, 1.0), false },
        EffectCase { "balance_blue", Effect<ColorBalanceFilterItem>(1.0, 1.0, 0.99), true },
        EffectCase { "balance_default", Effect<ColorBalanceFilterItem>(), true },
        EffectCase { "colorize_no_strength", Effect<HueColorizeFilterItem>(120.0, 0.0), false },
        EffectCase { "colorize_1_percent", Effect<HueColorizeFilterItem>(0.0, 0.01), true },
        EffectCase {
            "levels_neutral", Effect<SuperContrastFilterItem>(0.0, 1.0, ChannelsColor), false },
        EffectCase {
            "levels_black", Effect<SuperContrastFilterItem>(0.01, 1.0, ChannelsColor), true },
        EffectCase {
            "levels_white", Effect<SuperContrastFilterItem>(0.0, 0.99, ChannelsColor), true },
        // The control holds 100 %, so a white level above 1 shows as neutral.
        EffectCase { "levels_white_above_range",
            Effect<SuperContrastFilterItem>(0.0, 1.2, ChannelsColor), false },
        EffectCase { "blur_0", Effect<BlurFilterItem>(0.0), false },
        EffectCase { "blur_0_4", Effect<BlurFilterItem>(0.4), false },
        EffectCase { "blur_1", Effect<BlurFilterItem>(1.0), true },
        EffectCase { "blur_negative", Effect<BlurFilterItem>(-3.0), false },
        EffectCase { "transparency_without_widget", Effect<TransparencyFilterItem>(0.0), true },
        EffectCase { "mirror_without_widget", Effect<MirrorFilterItem>(false, false), true },
        EffectCase { "yuv_blur_0", Effect<YuvBlurKeyItem>(0.0, YUVBlurStack), false },
        EffectCase { "yuv_blur_1", Effect<YuvBlurKeyItem>(1.0, YUVBlurStack), true },
        EffectCase { "auto_key_always", Effect<AutoColorDifferenceKeyItem>(), true },
        EffectCase { "spill_0", Effect<SpillSuppressionKeyItem>(ChannelGreen, true, 0.0), false },
        EffectCase {
            "spill_1_percent", Effect<SpillSuppressionKeyItem>(ChannelGreen, true, 0.01), true },
        EffectCase { "crop_none", Effect<CropKeyItem>(0.0, 0.0, 0.0, 0.0), false },
        EffectCase { "crop_top", Effect<CropKeyItem>(0.0, 0.0, 0.0, 0.01), true },
        EffectCase { "crop_bottom", Effect<CropKeyItem>(0.0, 0.0, 0.01, 0.0), true },
        EffectCase {
            "flatten_opaque", Effect<FlattenCompositeItem>(0.0, 0.0, BlendModeNormal), false },
        EffectCase {
            "flatten_1_percent", Effect<FlattenCompositeItem>(0.01, 0.0, BlendModeNormal), true },
        EffectCase {
            "light_spill_0", Effect<LightSpillCompositeItem>(0.0, BlendModeLighten), false },
        EffectCase {
            "light_spill_25", Effect<LightSpillCompositeItem>(25.0, BlendModeLighten), true },
        EffectCase { "transformation_without_widget", Effect<TransformationTransformItem>(), true },
        EffectCase { "fit_without_widget", Effect<FitTransformItem>(), true }),
    [](const auto& param) { return param.param.name; });

TEST(ControlStepsTest, EveryStepMapsBackToItself)
{
    // The widgets store FromControlSteps(s) and show ToControlSteps of the stored value; a
    // step that came back different would flip the item's effect under the user's hands.
    for (const ValueControl& control : { kRadiusControl, kYuvBlurControl, kBrightnessControl,
             kPercentControl, kFactorControl, kColorTemperatureControl }) {
        for (int step = control.minimum; step <= control.maximum; ++step)
            ASSERT_EQ(ToControlSteps(FromControlSteps(step, control), control), step)
                << "step " << step << " of " << control.minimum << " … " << control.maximum;
    }
    EXPECT_EQ(FromControlSteps(6500, kColorTemperatureControl), 5000.0);
    EXPECT_EQ(FromControlSteps(29, kPercentControl), 0.29);
}

TEST(ControlStepsTest, ValuesOutsideTheRangeAreHeldToIt)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ToControlSteps(1e300, kPercentControl), 100);
    EXPECT_EQ(ToControlSteps(inf, kPercentControl), 100);
    EXPECT_EQ(ToControlSteps(-inf, kBrightnessControl), -100);
    EXPECT_EQ(ToControlSteps(std::numeric_limits<double>::quiet_NaN(), kBrightnessControl), -100);
    EXPECT_EQ(ToControlSteps(0.0, kColorTemperatureControl), 3000);
    EXPECT_EQ(ToControlSteps(0.005, kPercentControl), 1) << "halves round away from zero";
    EXPECT_EQ(ToControlSteps(-0.005, kBrightnessControl), -1);
}

} // namespace
