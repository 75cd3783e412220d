// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/FilterItems.h>
#include <app/KeyItems.h>

#include <ovimageengine/OVImageKeyer.h>
#include <ovimageengine/OVImageProcessor.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

using namespace mtra::app;
using namespace orv::image;
using ::testing::DoubleEq;
using ::testing::Return;
using ::testing::StrictMock;

namespace {

// Records the setter calls; anything not expected fails the test (StrictMock).
class MockProcessor : public OVAbstractImageProcessor
{
public:
    MOCK_METHOD(OVAbstractImage*, SourceImage, (), (const, override));
    MOCK_METHOD(unsigned short, RenderQueueCount, (), (const, override));
    MOCK_METHOD(int, ClearRenderQueue, (), (override));
    MOCK_METHOD(int, Render, (), (override));
    MOCK_METHOD(int, SetBrightness, (double, OVChannelsToProcess), (override));
    MOCK_METHOD(int, SetColorBalance, (double, double, double), (override));
    MOCK_METHOD(int, SetColorTemperature, (double), (override));
    MOCK_METHOD(int, SetSuperContrast, (double, double, OVChannelsToProcess), (override));
    MOCK_METHOD(int, SetHueColorize, (double, double), (override));
    MOCK_METHOD(int, SetMirror, (bool, bool), (override));
    MOCK_METHOD(int, SetOpacity, (double), (override));
    MOCK_METHOD(int, SetSaturation, (double), (override));
    MOCK_METHOD(int, SetStackBlur, (unsigned int, bool, bool, OVChannelsToProcess), (override));
    MOCK_METHOD(int, SetYUVBlur, (unsigned int, OVYUVBlurType), (override));
};

class MockKeyer : public OVAbstractImageKeyer
{
public:
    MOCK_METHOD(OVAbstractImage*, SourceImage, (), (const, override));
    MOCK_METHOD(unsigned short, RenderQueueCount, (), (const, override));
    MOCK_METHOD(int, ClearRenderQueue, (), (override));
    MOCK_METHOD(int, Render, (), (override));
    MOCK_METHOD(int, SetAutoColorDifferenceKey, (OVKeyColor, double, double, double), (override));
    MOCK_METHOD(int, SetSpillSuppression, (OVChannel, bool, double), (override));
    MOCK_METHOD(int, SetAlphaCrop, (double, double, double, double), (override));
    MOCK_METHOD(int, SetYUVBlur, (unsigned int, OVYUVBlurType), (override));
};

TEST(FacadeCallTest, FiltersPassTheirValuesToTheProcessor)
{
    StrictMock<MockProcessor> processor;
    EXPECT_CALL(processor, SetBrightness(-0.25, ChannelsAlpha)).WillOnce(Return(0));
    EXPECT_CALL(processor, SetSaturation(1.5)).WillOnce(Return(0));
    EXPECT_CALL(processor, SetSuperContrast(0.125, 0.875, ChannelsAll)).WillOnce(Return(0));
    EXPECT_CALL(processor, SetColorTemperature(5000.0)).WillOnce(Return(0));
    EXPECT_CALL(processor, SetColorBalance(0.5, 1.25, 2.0)).WillOnce(Return(0));
    EXPECT_CALL(processor, SetHueColorize(270.5, 0.75)).WillOnce(Return(0));
    EXPECT_CALL(processor, SetOpacity(DoubleEq(0.75))).WillOnce(Return(0));
    EXPECT_CALL(processor, SetStackBlur(3u, true, true, ChannelsAll)).WillOnce(Return(0));
    EXPECT_CALL(processor, SetMirror(false, true)).WillOnce(Return(0));

    BrightnessFilterItem(-0.25, ChannelsAlpha).AddToImageProcessor(processor);
    SaturationFilterItem(1.5).AddToImageProcessor(processor);
    SuperContrastFilterItem(0.125, 0.875, ChannelsAll).AddToImageProcessor(processor);
    ColorTemperatureFilterItem(5000.0).AddToImageProcessor(processor);
    ColorBalanceFilterItem(0.5, 1.25, 2.0).AddToImageProcessor(processor);
    HueColorizeFilterItem(270.5, 0.75).AddToImageProcessor(processor);
    TransparencyFilterItem(0.25).AddToImageProcessor(processor);
    BlurFilterItem(3.9).AddToImageProcessor(processor);
    MirrorFilterItem(false, true).AddToImageProcessor(processor);
}

TEST(FacadeCallTest, KeysPassTheirValuesToTheKeyerWithCropInTheKeyersOrder)
{
    StrictMock<MockKeyer> keyer;
    EXPECT_CALL(keyer, SetYUVBlur(2u, YUVBlurBoxRows)).WillOnce(Return(0));
    // The detected colour (AutoKeyColor) is not passed.
    EXPECT_CALL(keyer, SetAutoColorDifferenceKey(KeyColorAuto, 0.75, 0.5, 0.33))
        .WillOnce(Return(0));
    EXPECT_CALL(keyer, SetSpillSuppression(ChannelBlue, false, 0.5)).WillOnce(Return(0));
    // CropKeyItem(left, right, bottom, top) → SetAlphaCrop(left, top, right, bottom).
    EXPECT_CALL(keyer, SetAlphaCrop(0.1, 0.4, 0.2, 0.3)).WillOnce(Return(0));

    YuvBlurKeyItem(2.7, YUVBlurBoxRows).AddToImageKeyer(keyer);
    AutoColorDifferenceKeyItem item(KeyColorAuto, 0.75, 0.5, 0.33);
    item.SetAutoKeyColor(KeyColorBlue);
    item.AddToImageKeyer(keyer);
    SpillSuppressionKeyItem(ChannelBlue, false, 0.5).AddToImageKeyer(keyer);
    CropKeyItem(0.1, 0.2, 0.3, 0.4).AddToImageKeyer(keyer);
}

TEST(FacadeCallTest, RadiiOutsideTheUnsignedRangeBecomeValidRadii)
{
    // A plain cast of these to unsigned is undefined; the model accepts any value.
    StrictMock<MockProcessor> processor;
    EXPECT_CALL(processor, SetStackBlur(0u, true, true, ChannelsAll)).Times(3);
    EXPECT_CALL(
        processor, SetStackBlur(std::numeric_limits<unsigned int>::max(), true, true, ChannelsAll));
    BlurFilterItem(-2.5).AddToImageProcessor(processor);
    BlurFilterItem(std::numeric_limits<double>::quiet_NaN()).AddToImageProcessor(processor);
    BlurFilterItem(0.99).AddToImageProcessor(processor);
    BlurFilterItem(1e12).AddToImageProcessor(processor);

    StrictMock<MockKeyer> keyer;
    EXPECT_CALL(keyer, SetYUVBlur(0u, YUVBlurStack));
    YuvBlurKeyItem(-1.0, YUVBlurStack).AddToImageKeyer(keyer);
}

TEST(FacadeCallTest, RefusedValuesAreLeftToTheFacade)
{
    StrictMock<MockProcessor> processor;
    EXPECT_CALL(processor, SetSaturation(5.0)).WillOnce(Return(7));
    SaturationFilterItem(5.0).AddToImageProcessor(processor);
}

} // namespace
