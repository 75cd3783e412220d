// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "XmlTestSupport.h"

#include <app/App.h>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace mtra::app;
using namespace orv::image;
using mtra::test::Load;
using mtra::test::Write;

namespace {

// Per list: one item class whose value the tests change, one item of every class the list
// knows, and the names used in its file.
template <typename List> struct Kind;

template <> struct Kind<FilterList> {
    using Item = AbstractFilterItem;
    using Sample = BlurFilterItem;
    static void Set(Item& item, double v) { static_cast<Sample&>(item).SetRadius(v); }
    static double Value(const Item& item) { return static_cast<const Sample&>(item).Radius(); }
    static std::vector<std::shared_ptr<Item>> EveryClass()
    {
        return { std::make_shared<BrightnessFilterItem>(-0.5, ChannelsAll),
            std::make_shared<SaturationFilterItem>(1.0),
            std::make_shared<SuperContrastFilterItem>(0.25, 0.75, ChannelsAlpha),
            std::make_shared<ColorTemperatureFilterItem>(5000.0),
            std::make_shared<ColorBalanceFilterItem>(1.0, 0.5, 2.0),
            std::make_shared<HueColorizeFilterItem>(90.0, 0.5),
            std::make_shared<TransparencyFilterItem>(0.25), std::make_shared<BlurFilterItem>(3.0),
            std::make_shared<MirrorFilterItem>(true, false) };
    }
    static constexpr const char* kElement = "filterList";
    static constexpr const char* kSuffix = " is not a valid filter";
    static constexpr const char* kForeign = "cropKeyItem";
};

template <> struct Kind<KeyList> {
    using Item = AbstractKeyItem;
    using Sample = CropKeyItem;
    static void Set(Item& item, double v) { static_cast<Sample&>(item).SetLeft(v); }
    static double Value(const Item& item) { return static_cast<const Sample&>(item).Left(); }
    static std::vector<std::shared_ptr<Item>> EveryClass()
    {
        return { std::make_shared<AutoColorDifferenceKeyItem>(KeyColorAuto, 1.0, 0.0, 0.33),
            std::make_shared<SpillSuppressionKeyItem>(ChannelGreen, true, 1.0),
            std::make_shared<YuvBlurKeyItem>(0.0, YUVBlurStack),
            std::make_shared<CropKeyItem>(0.0, 0.25, 0.0, 0.5) };
    }
    static constexpr const char* kElement = "keyList";
    static constexpr const char* kSuffix = " is not a valid key";
    static constexpr const char* kForeign = "blurFilterItem";
};

template <> struct Kind<CompositeList> {
    using Item = AbstractCompositeItem;
    using Sample = LightSpillCompositeItem;
    static void Set(Item& item, double v) { static_cast<Sample&>(item).SetBlur(v); }
    static double Value(const Item& item) { return static_cast<const Sample&>(item).Blur(); }
    static std::vector<std::shared_ptr<Item>> EveryClass()
    {
        return { std::make_shared<FlattenCompositeItem>(0.0, 0.0, BlendModeNormal),
            std::make_shared<LightSpillCompositeItem>(25.0, BlendModeLighten) };
    }
    static constexpr const char* kElement = "compositeList";
    static constexpr const char* kSuffix = " is not a valid composite";
    static constexpr const char* kForeign = "fitTransformItem";
};

template <> struct Kind<TransformList> {
    using Item = AbstractTransformItem;
    using Sample = TransformationTransformItem;
    static void Set(Item& item, double v) { static_cast<Sample&>(item).SetRotation(v); }
    static double Value(const Item& item) { return static_cast<const Sample&>(item).Rotation(); }
    static std::vector<std::shared_ptr<Item>> EveryClass()
    {
        return { std::make_shared<TransformationTransformItem>(1.0, 2.0, 0.5, 0.5, 90.0),
            std::make_shared<FitTransformItem>(FitModeCanvas) };
    }
    static constexpr const char* kElement = "transformList";
    static constexpr const char* kSuffix = " is not a valid transform";
    static constexpr const char* kForeign = "flattenCompositeItem";
};

template <typename List> class ItemListTest : public ::testing::Test
{
protected:
    using K = Kind<List>;
    using Pointer = std::shared_ptr<typename K::Item>;

    Pointer MakeSample(double value)
    {
        auto item = std::make_shared<typename K::Sample>();
        K::Set(*item, value);
        return item;
    }

    // A list P, Q, R with values 1, 2, 3.
    List MakePqr()
    {
        List list;
        for (double v : { 1.0, 2.0, 3.0 })
            list.Add(MakeSample(v));
        return list;
    }

    static std::vector<double> Values(const List& list)
    {
        std::vector<double> values;
        for (auto it = list.Begin(); it != list.End(); ++it)
            values.push_back(K::Value(**it));
        return values;
    }

    static QUuid IdAt(const List& list, unsigned int index)
    {
        return (*(list.Begin() + index))->Id();
    }

    static QString Wrapped(const QString& inner)
    {
        return QStringLiteral("<parent>%1</parent>").arg(inner);
    }
};

struct ListName {
    template <typename List> static std::string GetName(int) { return Kind<List>::kElement; }
};

using ListTypes = ::testing::Types<FilterList, KeyList, CompositeList, TransformList>;
TYPED_TEST_SUITE(ItemListTest, ListTypes, ListName);

TYPED_TEST(ItemListTest, MovesSwapWithTheNeighbourAndStopAtTheEnds)
{
    TypeParam list = this->MakePqr();
    const QUuid p = this->IdAt(list, 0);
    const QUuid r = this->IdAt(list, 2);
    EXPECT_EQ(list.MoveUp(p), MT_OK);
    EXPECT_EQ(this->Values(list), (std::vector<double> { 1, 2, 3 }));
    EXPECT_EQ(list.MoveDown(r), MT_OK);
    EXPECT_EQ(this->Values(list), (std::vector<double> { 1, 2, 3 }));

    EXPECT_EQ(list.MoveDown(p), MT_OK);
    EXPECT_EQ(this->Values(list), (std::vector<double> { 2, 1, 3 }));
    EXPECT_EQ(list.MoveUp(r), MT_OK);
    EXPECT_EQ(this->Values(list), (std::vector<double> { 2, 3, 1 }));

    const QUuid unknown = QUuid::createUuid();
    EXPECT_EQ(list.MoveUp(unknown), MT_ITEM_NOT_FOUND);
    EXPECT_EQ(list.MoveDown(unknown), MT_ITEM_NOT_FOUND);
    EXPECT_EQ(this->Values(list), (std::vector<double> { 2, 3, 1 }));
}

TYPED_TEST(ItemListTest, GetAndRemoveFindTheFirstItemWithTheId)
{
    TypeParam list = this->MakePqr();
    auto q = *(list.Begin() + 1);
    list.Add(q); // the same item twice: P, Q, R, Q

    typename TypeParam::ItemPointer found;
    EXPECT_EQ(list.Get(q->Id(), found), MT_OK);
    EXPECT_EQ(found, q);

    typename TypeParam::ItemPointer untouched = q;
    EXPECT_EQ(list.Get(QUuid::createUuid(), untouched), MT_ITEM_NOT_FOUND);
    EXPECT_EQ(untouched, q);

    EXPECT_EQ(list.Remove(QUuid::createUuid()), MT_ITEM_NOT_FOUND);
    EXPECT_EQ(list.Size(), 4u);
    EXPECT_EQ(list.Remove(q->Id()), MT_OK);
    EXPECT_EQ(this->Values(list), (std::vector<double> { 1, 3, 2 }));

    // A removed item lives on while someone holds it.
    auto p = *list.Begin();
    list.Clear();
    EXPECT_EQ(list.Size(), 0u);
    EXPECT_EQ(TestFixture::K::Value(*p), 1.0);
    list.Add(nullptr);
    EXPECT_EQ(list.Size(), 0u);
}

TYPED_TEST(ItemListTest, CountsOfEnabledAndActiveItemsAreIndependent)
{
    TypeParam list = this->MakePqr();
    (*list.Begin())->SetEnabled(false);
    EXPECT_EQ(list.EnabledCount(), 2u);
    EXPECT_EQ(list.ActiveCount(), 3u);
    (*(list.Begin() + 1))->SetActive(false);
    (*(list.Begin() + 2))->SetActive(false);
    EXPECT_EQ(list.EnabledCount(), 2u);
    EXPECT_EQ(list.ActiveCount(), 1u);
}

TYPED_TEST(ItemListTest, CopiesAreDeepAndKeepTheIds)
{
    const TypeParam a = this->MakePqr();
    TypeParam b;
    b.Add(this->MakeSample(9.0));
    b = a;
    TypeParam c(a);
    for (TypeParam* copy : { &b, &c }) {
        ASSERT_EQ(copy->Size(), 3u);
        for (auto it = a.Begin(); it != a.End(); ++it) {
            typename TypeParam::ItemPointer item;
            ASSERT_EQ(copy->Get((*it)->Id(), item), MT_OK);
            EXPECT_NE(item, *it) << "a new object";
            TestFixture::K::Set(*item, 42.0);
            EXPECT_NE(TestFixture::K::Value(**it), 42.0);
        }
    }
    EXPECT_EQ(this->Values(a), (std::vector<double> { 1, 2, 3 }));

    TypeParam& self = b;
    b = self;
    EXPECT_EQ(b.Size(), 3u);
    EXPECT_EQ(this->Values(b), (std::vector<double> { 42, 42, 42 }));
}

TYPED_TEST(ItemListTest, EveryItemClassRoundTripsInOrder)
{
    TypeParam list;
    for (const auto& item : TestFixture::K::EveryClass())
        list.Add(item);
    const auto written = Write(list);
    ASSERT_EQ(written.result, MT_OK);
    EXPECT_TRUE(written.xml.startsWith(
        QStringLiteral("<%1>").arg(QString::fromLatin1(TestFixture::K::kElement))));

    TypeParam loaded;
    ASSERT_EQ(Load(loaded, this->Wrapped(written.xml)).result, MT_OK);
    EXPECT_EQ(loaded.Size(), list.Size());
    EXPECT_EQ(Write(loaded).xml, written.xml);
    EXPECT_NE((*loaded.Begin())->Id(), (*list.Begin())->Id()) << "ids are not stored";

    // Loading appends: the same element twice doubles the list.
    ASSERT_EQ(Load(loaded, this->Wrapped(written.xml)).result, MT_OK);
    EXPECT_EQ(loaded.Size(), 2 * list.Size());
}

TYPED_TEST(ItemListTest, EmptyAndMissingLists)
{
    const TypeParam empty;
    const QString element = QString::fromLatin1(TestFixture::K::kElement);
    EXPECT_EQ(Write(empty).xml, QStringLiteral("<%1/>").arg(element));

    TypeParam list = this->MakePqr();
    const auto loaded = Load(list, QStringLiteral("<parent><other/></parent>"));
    EXPECT_EQ(loaded.result, MT_OK);
    EXPECT_EQ(list.Size(), 3u);
}

TYPED_TEST(ItemListTest, UnknownElementFailsAndKeepsTheItemsBeforeIt)
{
    TypeParam source;
    source.Add(this->MakeSample(5.0));
    const QString item = Write(*this->MakeSample(5.0)).xml;
    const QString element = QString::fromLatin1(TestFixture::K::kElement);
    const QString foreign = QString::fromLatin1(TestFixture::K::kForeign);
    TypeParam list;
    const auto loaded = Load(
        list, QStringLiteral("<parent><%1>%2<%3/>%2</%1></parent>").arg(element, item, foreign));
    EXPECT_EQ(loaded.result, MT_XML_INVALID);
    EXPECT_EQ(
        loaded.LastMessage(), std::string(TestFixture::K::kForeign) + TestFixture::K::kSuffix);
    EXPECT_EQ(this->Values(list), (std::vector<double> { 5.0 }));
}

TEST(ItemListTest, FailingItemIsDiscardedWithItsOwnMessageFirst)
{
    FilterList list;
    const auto loaded = Load(list,
        QStringLiteral("<p><filterList><blurFilterItem collapsed=\"0\" enabled=\"1\"><blur>2"
                       "</blur></blurFilterItem><brightnessFilterItem collapsed=\"0\" "
                       "enabled=\"1\"><brightness>0</brightness><colorOrAlpha>1</colorOrAlpha>"
                       "</brightnessFilterItem></filterList></p>"));
    EXPECT_EQ(loaded.result, MT_XML_INVALID);
    EXPECT_EQ(loaded.messages,
        (std::vector<std::string> {
            "colorOrAlpha is invalid", "brightnessFilterItem failed to load" }));
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ((*list.Begin())->Type(), BlurFilter);
}

TEST(ItemListTest, WriteStopsAtTheFirstFailingItem)
{
    KeyList list;
    list.Add(std::make_shared<CropKeyItem>());
    list.Add(
        std::make_shared<YuvBlurKeyItem>(std::numeric_limits<double>::infinity(), YUVBlurStack));
    list.Add(std::make_shared<CropKeyItem>());
    const auto written = Write(list);
    EXPECT_EQ(written.result, MT_XML_WRITE_FAILED);
    EXPECT_EQ(written.xml.count(QStringLiteral("<cropKeyItem")), 1);
}

} // namespace
