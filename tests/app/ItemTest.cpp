// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "XmlTestSupport.h"

#include <app/CompositeItems.h>
#include <app/FilterItems.h>
#include <app/KeyItems.h>
#include <app/TransformItems.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace mtra::app;
using namespace orv::image;
using mtra::test::Load;
using mtra::test::Write;

namespace {

int TypeOf(const AbstractRenderItem& item)
{
    if (auto* filter = dynamic_cast<const AbstractFilterItem*>(&item))
        return filter->Type();
    if (auto* key = dynamic_cast<const AbstractKeyItem*>(&item))
        return key->Type();
    if (auto* composite = dynamic_cast<const AbstractCompositeItem*>(&item))
        return composite->Type();
    if (auto* transform = dynamic_cast<const AbstractTransformItem*>(&item))
        return transform->Type();
    return -1;
}

using MakeItem = std::function<std::shared_ptr<AbstractRenderItem>()>;

template <typename T, typename... Args> MakeItem Maker(Args... args)
{
    return [=] { return std::make_shared<T>(args...); };
}

// A sample item differs from the default one in every stored value and in both flags.
template <typename T, typename... Args> MakeItem SampleMaker(Args... args)
{
    return [=] {
        auto item = std::make_shared<T>(args...);
        item->SetCollapsed(true);
        item->SetEnabled(false);
        return item;
    };
}

struct ItemCase {
    std::string name;
    int type;
    MakeItem makeDefault;
    QString defaultXml;
    MakeItem makeSample;
    QString sampleXml;
};

void PrintTo(const ItemCase& c, std::ostream* os)
{
    *os << c.name;
}

class ItemXmlTest : public ::testing::TestWithParam<ItemCase>
{
};

TEST_P(ItemXmlTest, DefaultAndParameterisedConstructorsWriteTheirValues)
{
    const ItemCase& c = GetParam();
    const auto defaults = c.makeDefault();
    const auto sample = c.makeSample();
    EXPECT_EQ(TypeOf(*defaults), c.type);
    EXPECT_EQ(Write(*defaults).result, MT_OK);
    EXPECT_EQ(Write(*defaults).xml, c.defaultXml);
    EXPECT_EQ(Write(*sample).result, MT_OK);
    EXPECT_EQ(Write(*sample).xml, c.sampleXml);
    EXPECT_TRUE(defaults->IsActive());
    EXPECT_NE(defaults->Id(), sample->Id());
}

TEST_P(ItemXmlTest, RoundTripGivesEqualValuesInBothDirections)
{
    // Loading the sample into a default item and the defaults into a sample item shows that
    // every stored value is read, since each differs between the two.
    const ItemCase& c = GetParam();
    const auto intoDefault = c.makeDefault();
    const QUuid id = intoDefault->Id();
    ASSERT_EQ(Load(*intoDefault, Write(*c.makeSample()).xml).result, MT_OK);
    EXPECT_EQ(Write(*intoDefault).xml, c.sampleXml);
    EXPECT_EQ(intoDefault->Id(), id);
    EXPECT_TRUE(intoDefault->IsActive());

    const auto intoSample = c.makeSample();
    intoSample->SetActive(false);
    ASSERT_EQ(Load(*intoSample, c.defaultXml).result, MT_OK);
    EXPECT_EQ(Write(*intoSample).xml, c.defaultXml);
    EXPECT_FALSE(intoSample->IsActive()) << "the active flag is not stored";
}

TEST_P(ItemXmlTest, EachMissingAttributeOrValueFailsWithItsName)
{
    const ItemCase& c = GetParam();
    const auto fragment = mtra::test::Parse(c.sampleXml);
    std::vector<QString> names { QStringLiteral("enabled"), QStringLiteral("collapsed") };
    for (auto child = fragment.root.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        names.push_back(child.tagName());
    for (const QString& name : names) {
        const auto fragmentCopy = mtra::test::Parse(c.sampleXml);
        QDomElement root = fragmentCopy.root;
        const bool attribute = root.hasAttribute(name);
        if (attribute)
            root.removeAttribute(name);
        else
            root.removeChild(root.firstChildElement(name));
        const auto item = c.makeDefault();
        const auto loaded = Load(*item, fragmentCopy.document.toString(-1));
        EXPECT_EQ(loaded.result, MT_XML_INVALID) << name.toStdString();
        EXPECT_EQ(loaded.LastMessage(),
            name.toStdString() + (attribute ? " Attribute is missing" : " Tag is missing"));
    }
}

INSTANTIATE_TEST_SUITE_P(AllItems, ItemXmlTest,
    ::testing::Values(
        ItemCase { "Brightness", BrightnessFilter, Maker<BrightnessFilterItem>(),
            QStringLiteral("<brightnessFilterItem collapsed=\"0\" enabled=\"1\"><brightness>0"
                           "</brightness><colorOrAlpha>4</colorOrAlpha></brightnessFilterItem>"),
            SampleMaker<BrightnessFilterItem>(-0.25, ChannelsAll),
            QStringLiteral("<brightnessFilterItem collapsed=\"1\" enabled=\"0\"><brightness>-0.25"
                           "</brightness><colorOrAlpha>5</colorOrAlpha></brightnessFilterItem>") },
        ItemCase { "Saturation", SaturationFilter, Maker<SaturationFilterItem>(),
            QStringLiteral("<saturationFilterItem collapsed=\"0\" enabled=\"1\"><saturation>0"
                           "</saturation></saturationFilterItem>"),
            SampleMaker<SaturationFilterItem>(1.5),
            QStringLiteral("<saturationFilterItem collapsed=\"1\" enabled=\"0\"><saturation>1.5"
                           "</saturation></saturationFilterItem>") },
        ItemCase { "SuperContrast", SuperContrastFilter, Maker<SuperContrastFilterItem>(),
            QStringLiteral("<superContrastFilterItem collapsed=\"0\" enabled=\"1\"><blackLevel>0"
                           "</blackLevel><whiteLevel>1</whiteLevel><colorOrAlpha>4</colorOrAlpha>"
                           "</superContrastFilterItem>"),
            SampleMaker<SuperContrastFilterItem>(0.125, 0.875, ChannelsAlpha),
            QStringLiteral("<superContrastFilterItem collapsed=\"1\" enabled=\"0\"><blackLevel>"
                           "0.125</blackLevel><whiteLevel>0.875</whiteLevel><colorOrAlpha>3"
                           "</colorOrAlpha></superContrastFilterItem>") },
        ItemCase { "ColorTemperature", ColorTemperatureFilter, Maker<ColorTemperatureFilterItem>(),
            QStringLiteral(
                "<colorTemperatureFilterItem collapsed=\"0\" enabled=\"1\">"
                "<temperatureShift>6500</temperatureShift></colorTemperatureFilterItem>"),
            SampleMaker<ColorTemperatureFilterItem>(5000.0),
            QStringLiteral(
                "<colorTemperatureFilterItem collapsed=\"1\" enabled=\"0\">"
                "<temperatureShift>5000</temperatureShift></colorTemperatureFilterItem>") },
        ItemCase { "ColorBalance", ColorBalanceFilter, Maker<ColorBalanceFilterItem>(),
            QStringLiteral("<colorBalanceFilterItem collapsed=\"0\" enabled=\"1\"><red>0</red>"
                           "<green>0</green><blue>0</blue></colorBalanceFilterItem>"),
            SampleMaker<ColorBalanceFilterItem>(0.5, 1.25, 2.0),
            QStringLiteral("<colorBalanceFilterItem collapsed=\"1\" enabled=\"0\"><red>0.5</red>"
                           "<green>1.25</green><blue>2</blue></colorBalanceFilterItem>") },
        ItemCase { "HueColorize", HueColorizeFilter, Maker<HueColorizeFilterItem>(),
            QStringLiteral("<hueColorizeFilterItem collapsed=\"0\" enabled=\"1\"><hue>0</hue>"
                           "<strength>0</strength></hueColorizeFilterItem>"),
            SampleMaker<HueColorizeFilterItem>(270.5, 0.75),
            QStringLiteral("<hueColorizeFilterItem collapsed=\"1\" enabled=\"0\"><hue>270.5</hue>"
                           "<strength>0.75</strength></hueColorizeFilterItem>") },
        ItemCase { "Transparency", TransparencyFilter, Maker<TransparencyFilterItem>(),
            QStringLiteral("<transparencyFilterItem collapsed=\"0\" enabled=\"1\"><transparency>0"
                           "</transparency></transparencyFilterItem>"),
            SampleMaker<TransparencyFilterItem>(0.25),
            QStringLiteral("<transparencyFilterItem collapsed=\"1\" enabled=\"0\"><transparency>"
                           "0.25</transparency></transparencyFilterItem>") },
        ItemCase { "Blur", BlurFilter, Maker<BlurFilterItem>(),
            QStringLiteral("<blurFilterItem collapsed=\"0\" enabled=\"1\"><blur>0</blur>"
                           "</blurFilterItem>"),
            SampleMaker<BlurFilterItem>(3.9),
            QStringLiteral("<blurFilterItem collapsed=\"1\" enabled=\"0\"><blur>3.8999999999999999"
                           "</blur></blurFilterItem>") },
        ItemCase { "Mirror", MirrorFilter, Maker<MirrorFilterItem>(),
            QStringLiteral("<mirrorFilterItem collapsed=\"0\" enabled=\"1\"><horizontal>0"
                           "</horizontal><vertical>0</vertical></mirrorFilterItem>"),
            SampleMaker<MirrorFilterItem>(true, true),
            QStringLiteral("<mirrorFilterItem collapsed=\"1\" enabled=\"0\"><horizontal>1"
                           "</horizontal><vertical>1</vertical></mirrorFilterItem>") },
        ItemCase { "YuvBlur", YuvBlurKey, Maker<YuvBlurKeyItem>(),
            QStringLiteral("<yuvBlurKeyItem collapsed=\"0\" enabled=\"1\"><blur>0</blur>"
                           "<blurType>3</blurType></yuvBlurKeyItem>"),
            SampleMaker<YuvBlurKeyItem>(2.5, YUVBlurBoxColumns),
            QStringLiteral("<yuvBlurKeyItem collapsed=\"1\" enabled=\"0\"><blur>2.5</blur>"
                           "<blurType>1</blurType></yuvBlurKeyItem>") },
        ItemCase { "AutoColorDifference", AutoColorDifferenceKey,
            Maker<AutoColorDifferenceKeyItem>(),
            QStringLiteral("<autoColorDifferenceKeyItem collapsed=\"0\" enabled=\"1\"><keyColor>1"
                           "</keyColor><keyDetail>0</keyDetail><greyDetail>0</greyDetail>"
                           "<greyThreshold>0</greyThreshold><autoKeyColor>1</autoKeyColor>"
                           "</autoColorDifferenceKeyItem>"),
            [] {
                auto item
                    = std::make_shared<AutoColorDifferenceKeyItem>(KeyColorBlue, 0.75, 0.5, 0.33);
                item->SetAutoKeyColor(KeyColorBlue);
                item->SetCollapsed(true);
                item->SetEnabled(false);
                return item;
            },
            QStringLiteral("<autoColorDifferenceKeyItem collapsed=\"1\" enabled=\"0\"><keyColor>2"
                           "</keyColor><keyDetail>0.75</keyDetail><greyDetail>0.5</greyDetail>"
                           "<greyThreshold>0.33000000000000002</greyThreshold><autoKeyColor>2"
                           "</autoKeyColor></autoColorDifferenceKeyItem>") },
        ItemCase { "SpillSuppression", SpillSuppressionKey, Maker<SpillSuppressionKeyItem>(),
            QStringLiteral("<spillSuppressionKeyItem collapsed=\"0\" enabled=\"1\"><extended>1"
                           "</extended><transparency>0</transparency></spillSuppressionKeyItem>"),
            SampleMaker<SpillSuppressionKeyItem>(ChannelBlue, false, 0.5),
            QStringLiteral("<spillSuppressionKeyItem collapsed=\"1\" enabled=\"0\"><extended>0"
                           "</extended><transparency>0.5</transparency>"
                           "</spillSuppressionKeyItem>") },
        ItemCase { "Crop", CropKey, Maker<CropKeyItem>(),
            QStringLiteral("<cropKeyItem collapsed=\"0\" enabled=\"1\"><left>0</left><right>0"
                           "</right><bottom>0</bottom><top>0</top></cropKeyItem>"),
            SampleMaker<CropKeyItem>(0.1, 0.2, 0.3, 0.4),
            QStringLiteral("<cropKeyItem collapsed=\"1\" enabled=\"0\"><left>0.10000000000000001"
                           "</left><right>0.20000000000000001</right><bottom>0.29999999999999999"
                           "</bottom><top>0.40000000000000002</top></cropKeyItem>") },
        ItemCase { "Flatten", FlattenComposite, Maker<FlattenCompositeItem>(),
            QStringLiteral("<flattenCompositeItem collapsed=\"0\" enabled=\"1\">"
                           "<foregroundTransparency>0</foregroundTransparency>"
                           "</flattenCompositeItem>"),
            SampleMaker<FlattenCompositeItem>(0.5, 0.25, BlendModeScreen),
            QStringLiteral("<flattenCompositeItem collapsed=\"1\" enabled=\"0\">"
                           "<foregroundTransparency>0.5</foregroundTransparency>"
                           "</flattenCompositeItem>") },
        ItemCase { "LightSpill", LightSpillComposite, Maker<LightSpillCompositeItem>(),
            QStringLiteral("<lightSpillCompositeItem collapsed=\"0\" enabled=\"1\"><blur>0</blur>"
                           "<blendMode>9</blendMode></lightSpillCompositeItem>"),
            SampleMaker<LightSpillCompositeItem>(25.0, BlendModeLighten),
            QStringLiteral("<lightSpillCompositeItem collapsed=\"1\" enabled=\"0\"><blur>25</blur>"
                           "<blendMode>7</blendMode></lightSpillCompositeItem>") },
        ItemCase { "Transformation", TransformationTransform, Maker<TransformationTransformItem>(),
            QStringLiteral("<transformationTransformItem collapsed=\"0\" enabled=\"1\">"
                           "<translateX>0</translateX><translateY>0</translateY><scaleX>1</scaleX>"
                           "<scaleY>1</scaleY><rotation>0</rotation>"
                           "</transformationTransformItem>"),
            SampleMaker<TransformationTransformItem>(10.5, -20.0, 0.5, 2.0, 45.0),
            QStringLiteral("<transformationTransformItem collapsed=\"1\" enabled=\"0\">"
                           "<translateX>10.5</translateX><translateY>-20</translateY>"
                           "<scaleX>0.5</scaleX><scaleY>2</scaleY><rotation>45</rotation>"
                           "</transformationTransformItem>") },
        ItemCase { "Fit", FitTransform, Maker<FitTransformItem>(),
            QStringLiteral("<fitTransformItem collapsed=\"0\" enabled=\"1\"><fit>3</fit>"
                           "</fitTransformItem>"),
            SampleMaker<FitTransformItem>(FitModeCanvas),
            QStringLiteral("<fitTransformItem collapsed=\"1\" enabled=\"0\"><fit>0</fit>"
                           "</fitTransformItem>") }),
    [](const auto& param) { return param.param.name; });

// --- Enumerated values read from a file ---

struct EnumCase {
    std::string name;
    MakeItem make;
    QString xml; // %1 is the value
    std::vector<int> accepted;
    std::vector<int> refused;
    std::string message;
};

void PrintTo(const EnumCase& c, std::ostream* os)
{
    *os << c.name;
}

class ItemEnumTest : public ::testing::TestWithParam<EnumCase>
{
};

TEST_P(ItemEnumTest, AcceptsExactlyTheAllowedValues)
{
    const EnumCase& c = GetParam();
    for (int value : c.accepted) {
        const auto item = c.make();
        const QString xml = c.xml.arg(value);
        EXPECT_EQ(Load(*item, xml).result, MT_OK) << value;
        EXPECT_EQ(Write(*item).xml, xml) << "stored as read";
    }
    for (int value : c.refused) {
        const auto item = c.make();
        const auto loaded = Load(*item, c.xml.arg(value));
        EXPECT_EQ(loaded.result, MT_XML_INVALID) << value;
        EXPECT_EQ(loaded.LastMessage(), c.message) << value;
    }
}

INSTANTIATE_TEST_SUITE_P(AllEnumerations, ItemEnumTest,
    ::testing::Values(
        EnumCase { "BrightnessColorOrAlpha", Maker<BrightnessFilterItem>(),
            QStringLiteral("<brightnessFilterItem collapsed=\"0\" enabled=\"1\"><brightness>0"
                           "</brightness><colorOrAlpha>%1</colorOrAlpha></brightnessFilterItem>"),
            { 3, 4, 5 }, { -1, 0, 2, 6 }, "colorOrAlpha is invalid" },
        EnumCase { "SuperContrastColorOrAlpha", Maker<SuperContrastFilterItem>(),
            QStringLiteral("<superContrastFilterItem collapsed=\"0\" enabled=\"1\"><blackLevel>0"
                           "</blackLevel><whiteLevel>1</whiteLevel><colorOrAlpha>%1"
                           "</colorOrAlpha></superContrastFilterItem>"),
            { 3, 4, 5 }, { 2, 6 }, "colorOrAlpha is invalid" },
        EnumCase { "YuvBlurType", Maker<YuvBlurKeyItem>(),
            QStringLiteral("<yuvBlurKeyItem collapsed=\"0\" enabled=\"1\"><blur>0</blur>"
                           "<blurType>%1</blurType></yuvBlurKeyItem>"),
            { 0, 1, 2, 3 }, { -1, 4 }, "m_blurType is invalid" },
        EnumCase { "KeyColor", Maker<AutoColorDifferenceKeyItem>(),
            QStringLiteral("<autoColorDifferenceKeyItem collapsed=\"0\" enabled=\"1\"><keyColor>%1"
                           "</keyColor><keyDetail>0</keyDetail><greyDetail>0</greyDetail>"
                           "<greyThreshold>0</greyThreshold><autoKeyColor>1</autoKeyColor>"
                           "</autoColorDifferenceKeyItem>"),
            { 0, 1, 2 }, { -1, 3 }, "keyColor is invalid" },
        EnumCase { "AutoKeyColor", Maker<AutoColorDifferenceKeyItem>(),
            QStringLiteral("<autoColorDifferenceKeyItem collapsed=\"0\" enabled=\"1\"><keyColor>0"
                           "</keyColor><keyDetail>0</keyDetail><greyDetail>0</greyDetail>"
                           "<greyThreshold>0</greyThreshold><autoKeyColor>%1</autoKeyColor>"
                           "</autoColorDifferenceKeyItem>"),
            { 1, 2 }, { 0, 3 }, "autoKeyColor is invalid" },
        EnumCase { "LightSpillBlendMode", Maker<LightSpillCompositeItem>(),
            QStringLiteral("<lightSpillCompositeItem collapsed=\"0\" enabled=\"1\"><blur>0</blur>"
                           "<blendMode>%1</blendMode></lightSpillCompositeItem>"),
            { 0, 7, 12 }, { -1, 13 }, "blendmode is invalid" },
        EnumCase { "Fit", Maker<FitTransformItem>(),
            QStringLiteral("<fitTransformItem collapsed=\"0\" enabled=\"1\"><fit>%1</fit>"
                           "</fitTransformItem>"),
            { 0, 1, 2, 3 }, { -1, 4 }, "m_fit is invalid" }),
    [](const auto& param) { return param.param.name; });

// --- Values that are not stored, partial loads, copies ---

TEST(ItemTest, ValuesWithoutAnElementKeepWhatTheObjectHad)
{
    SpillSuppressionKeyItem spill(ChannelBlue, true, 0.5);
    ASSERT_EQ(Load(spill, Write(SpillSuppressionKeyItem()).xml).result, MT_OK);
    EXPECT_EQ(spill.Channel(), ChannelBlue);
    SpillSuppressionKeyItem fresh;
    ASSERT_EQ(Load(fresh, Write(spill).xml).result, MT_OK);
    EXPECT_EQ(fresh.Channel(), ChannelGreen) << "the constructor's channel";

    FlattenCompositeItem written(0.5, 0.25, BlendModeScreen);
    FlattenCompositeItem loaded;
    ASSERT_EQ(Load(loaded, Write(written).xml).result, MT_OK);
    EXPECT_EQ(loaded.ForegroundTransparency(), 0.5);
    EXPECT_EQ(loaded.BackgroundTransparency(), 0.0);
    EXPECT_EQ(loaded.BlendMode(), BlendModeNormal);
}

TEST(ItemTest, FailedLoadKeepsTheValuesReadBeforeTheFailure)
{
    CropKeyItem crop(0.1, 0.2, 0.3, 0.4);
    const auto loaded = Load(crop,
        QStringLiteral("<cropKeyItem collapsed=\"1\" enabled=\"0\"><left>0.5</left>"
                       "<right>nan</right><bottom>0.5</bottom><top>0.5</top></cropKeyItem>"));
    EXPECT_EQ(loaded.result, MT_XML_INVALID);
    EXPECT_EQ(loaded.LastMessage(), "right data is corrupted, lexical cast failure.");
    EXPECT_TRUE(crop.IsCollapsed());
    EXPECT_FALSE(crop.IsEnabled());
    EXPECT_EQ(crop.Left(), 0.5);
    EXPECT_EQ(crop.Right(), 0.2);
    EXPECT_EQ(crop.Bottom(), 0.3);
}

TEST(ItemTest, NonFiniteValuesFailTheWriteInsteadOfSavingAFileThatCannotBeOpened)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Write(CropKeyItem(0.0, 0.0, nan, 0.0)).result, MT_XML_WRITE_FAILED);
    EXPECT_EQ(Write(TransformationTransformItem(0, 0, 1, HUGE_VAL, 0)).result, MT_XML_WRITE_FAILED);
}

TEST(ItemTest, CopiesShareTheIdAndKeepTheirOwnValues)
{
    CropKeyItem original(0.1, 0.2, 0.3, 0.4);
    original.SetCollapsed(true);
    original.SetActive(false);

    CropKeyItem copy(original);
    EXPECT_EQ(copy.Id(), original.Id());
    EXPECT_TRUE(copy.IsCollapsed());
    EXPECT_FALSE(copy.IsActive());
    copy.SetLeft(0.9);
    EXPECT_EQ(original.Left(), 0.1);

    CropKeyItem assigned;
    EXPECT_NE(assigned.Id(), original.Id());
    assigned = original;
    EXPECT_EQ(assigned.Id(), original.Id());
    EXPECT_EQ(assigned.Top(), 0.4);

    std::vector<std::shared_ptr<AbstractKeyItem>> items;
    original.CopyToVector(items);
    original.CopyToVector(items);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_NE(items[0], items[1]) << "each call makes a new object";
    auto* copied = dynamic_cast<CropKeyItem*>(items[0].get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->Id(), original.Id());
    EXPECT_EQ(Write(*copied).xml, Write(original).xml);
    EXPECT_FALSE(copied->IsActive());
}

TEST(ItemTest, CopyToVectorKeepsTheClassOfEveryItem)
{
    std::vector<std::shared_ptr<AbstractFilterItem>> filters;
    for (const auto& item :
        std::vector<std::shared_ptr<AbstractFilterItem>> { std::make_shared<BrightnessFilterItem>(),
            std::make_shared<SaturationFilterItem>(), std::make_shared<SuperContrastFilterItem>(),
            std::make_shared<ColorTemperatureFilterItem>(),
            std::make_shared<ColorBalanceFilterItem>(), std::make_shared<HueColorizeFilterItem>(),
            std::make_shared<TransparencyFilterItem>(), std::make_shared<BlurFilterItem>(),
            std::make_shared<MirrorFilterItem>() })
        item->CopyToVector(filters);
    for (std::size_t i = 0; i < filters.size(); ++i)
        EXPECT_EQ(filters[i]->Type(), static_cast<int>(i));

    std::vector<std::shared_ptr<AbstractKeyItem>> keys;
    YuvBlurKeyItem().CopyToVector(keys);
    AutoColorDifferenceKeyItem().CopyToVector(keys);
    SpillSuppressionKeyItem().CopyToVector(keys);
    CropKeyItem().CopyToVector(keys);
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(keys[i]->Type(), static_cast<int>(i));

    std::vector<std::shared_ptr<AbstractCompositeItem>> composites;
    FlattenCompositeItem().CopyToVector(composites);
    LightSpillCompositeItem().CopyToVector(composites);
    EXPECT_EQ(composites[1]->Type(), LightSpillComposite);

    std::vector<std::shared_ptr<AbstractTransformItem>> transforms;
    TransformationTransformItem().CopyToVector(transforms);
    FitTransformItem().CopyToVector(transforms);
    EXPECT_EQ(transforms[1]->Type(), FitTransform);
}

TEST(ItemTest, ParameterisedAutoKeyConstructorLeavesTheDetectedColourGreen)
{
    const AutoColorDifferenceKeyItem item(KeyColorBlue, 1.0, 0.0, 0.33);
    EXPECT_EQ(item.KeyColor(), KeyColorBlue);
    EXPECT_EQ(item.AutoKeyColor(), KeyColorGreen);
}

} // namespace
