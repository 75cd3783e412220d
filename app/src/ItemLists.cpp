// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/ItemLists.h>

#include "ModelAccess.h"
#include "XmlGuard.h"

#include <algorithm>
#include <new>

namespace mtra::app {

namespace {

template <typename Item> struct Factory {
    const char16_t* tag;
    std::shared_ptr<Item> (*create)();
};

template <typename Concrete, typename Item> std::shared_ptr<Item> Create()
{
    return std::make_shared<Concrete>();
}

// Per kind: the list's element, the message suffix for an unknown item element and the item
// elements the list knows, in the order they are compared.
template <typename Item> struct ListKind;

template <> struct ListKind<AbstractFilterItem> {
    static constexpr char16_t kElement[] = u"filterList";
    static constexpr char kUnknownSuffix[] = " is not a valid filter";
    static constexpr Factory<AbstractFilterItem> kFactories[] = {
        { u"brightnessFilterItem", &Create<BrightnessFilterItem, AbstractFilterItem> },
        { u"saturationFilterItem", &Create<SaturationFilterItem, AbstractFilterItem> },
        { u"superContrastFilterItem", &Create<SuperContrastFilterItem, AbstractFilterItem> },
        { u"colorTemperatureFilterItem", &Create<ColorTemperatureFilterItem, AbstractFilterItem> },
        { u"colorBalanceFilterItem", &Create<ColorBalanceFilterItem, AbstractFilterItem> },
        { u"hueColorizeFilterItem", &Create<HueColorizeFilterItem, AbstractFilterItem> },
        { u"transparencyFilterItem", &Create<TransparencyFilterItem, AbstractFilterItem> },
        { u"blurFilterItem", &Create<BlurFilterItem, AbstractFilterItem> },
        { u"mirrorFilterItem", &Create<MirrorFilterItem, AbstractFilterItem> },
    };
};

template <> struct ListKind<AbstractKeyItem> {
    static constexpr char16_t kElement[] = u"keyList";
    static constexpr char kUnknownSuffix[] = " is not a valid key";
    static constexpr Factory<AbstractKeyItem> kFactories[] = {
        { u"autoColorDifferenceKeyItem", &Create<AutoColorDifferenceKeyItem, AbstractKeyItem> },
        { u"spillSuppressionKeyItem", &Create<SpillSuppressionKeyItem, AbstractKeyItem> },
        { u"yuvBlurKeyItem", &Create<YuvBlurKeyItem, AbstractKeyItem> },
        { u"cropKeyItem", &Create<CropKeyItem, AbstractKeyItem> },
    };
};

template <> struct ListKind<AbstractCompositeItem> {
    static constexpr char16_t kElement[] = u"compositeList";
    static constexpr char kUnknownSuffix[] = " is not a valid composite";
    static constexpr Factory<AbstractCompositeItem> kFactories[] = {
        { u"lightSpillCompositeItem", &Create<LightSpillCompositeItem, AbstractCompositeItem> },
        { u"flattenCompositeItem", &Create<FlattenCompositeItem, AbstractCompositeItem> },
    };
};

template <> struct ListKind<AbstractTransformItem> {
    static constexpr char16_t kElement[] = u"transformList";
    static constexpr char kUnknownSuffix[] = " is not a valid transform";
    static constexpr Factory<AbstractTransformItem> kFactories[] = {
        { u"transformationTransformItem",
            &Create<TransformationTransformItem, AbstractTransformItem> },
        { u"fitTransformItem", &Create<FitTransformItem, AbstractTransformItem> },
    };
};

template <typename Item> QString ListElement()
{
    return QString::fromUtf16(ListKind<Item>::kElement);
}

[[noreturn]] void ThrowOutOfMemory()
{
    throw XmlException(MT_OUT_OF_MEMORY, "There was not enough memory to allocate to the project");
}

} // namespace

template <typename Item>
ItemList<Item>::ItemList(const ItemList& other)
    : AbstractProjectItem(other)
{
    CopyItems(other.m_items);
}

template <typename Item> ItemList<Item>& ItemList<Item>::operator=(const ItemList& other)
{
    if (this != &other)
        CopyItems(other.m_items);
    return *this;
}

template <typename Item> ItemList<Item>::~ItemList() = default;

template <typename Item> void ItemList<Item>::Add(ItemPointer item)
{
    // Every operation dereferences the items; an empty pointer would crash the first of them.
    if (item)
        m_items.push_back(std::move(item));
}

template <typename Item> void ItemList<Item>::Clear()
{
    m_items.clear();
}

template <typename Item> unsigned int ItemList<Item>::Size() const
{
    return static_cast<unsigned int>(m_items.size());
}

template <typename Item> unsigned int ItemList<Item>::EnabledCount() const
{
    return static_cast<unsigned int>(std::count_if(
        m_items.begin(), m_items.end(), [](const ItemPointer& item) { return item->IsEnabled(); }));
}

template <typename Item> unsigned int ItemList<Item>::ActiveCount() const
{
    return static_cast<unsigned int>(std::count_if(
        m_items.begin(), m_items.end(), [](const ItemPointer& item) { return item->IsActive(); }));
}

template <typename Item> typename ItemList<Item>::ConstIterator ItemList<Item>::Begin() const
{
    return m_items.cbegin();
}

template <typename Item> typename ItemList<Item>::ConstIterator ItemList<Item>::End() const
{
    return m_items.cend();
}

template <typename Item> MTerr ItemList<Item>::Get(const QUuid& id, ItemPointer& out) const
{
    auto found = std::find_if(
        m_items.begin(), m_items.end(), [&](const ItemPointer& item) { return item->Id() == id; });
    if (found == m_items.end())
        return MT_ITEM_NOT_FOUND;
    out = *found;
    return MT_OK;
}

template <typename Item> MTerr ItemList<Item>::MoveUp(const QUuid& id)
{
    auto found = std::find_if(
        m_items.begin(), m_items.end(), [&](const ItemPointer& item) { return item->Id() == id; });
    if (found == m_items.end())
        return MT_ITEM_NOT_FOUND;
    if (found != m_items.begin())
        std::iter_swap(found, found - 1);
    return MT_OK;
}

template <typename Item> MTerr ItemList<Item>::MoveDown(const QUuid& id)
{
    auto found = std::find_if(
        m_items.begin(), m_items.end(), [&](const ItemPointer& item) { return item->Id() == id; });
    if (found == m_items.end())
        return MT_ITEM_NOT_FOUND;
    if (found + 1 != m_items.end())
        std::iter_swap(found, found + 1);
    return MT_OK;
}

template <typename Item> MTerr ItemList<Item>::Remove(const QUuid& id)
{
    auto found = std::find_if(
        m_items.begin(), m_items.end(), [&](const ItemPointer& item) { return item->Id() == id; });
    if (found == m_items.end())
        return MT_ITEM_NOT_FOUND;
    m_items.erase(found);
    return MT_OK;
}

template <typename Item> void ItemList<Item>::CopyItems(const std::vector<ItemPointer>& source)
{
    // Built aside first: a failed copy leaves this list as it was.
    std::vector<ItemPointer> copies;
    copies.reserve(source.size());
    for (const ItemPointer& item : source)
        item->CopyToVector(copies);
    m_items.swap(copies);
}

template <typename Item>
void ItemList<Item>::AddFromXmlTag(const QString& tag, const QDomElement& element)
{
    for (const Factory<Item>& factory : ListKind<Item>::kFactories) {
        if (tag != QString::fromUtf16(factory.tag))
            continue;
        try {
            ItemPointer item = factory.create();
            const MTerr result = ModelAccess::Load(*item, element);
            if (result == MT_OUT_OF_MEMORY)
                ThrowOutOfMemory();
            if (result != MT_OK)
                throw XmlException(MT_XML_INVALID, tag.toStdString() + " failed to load");
            Add(std::move(item));
        } catch (const std::bad_alloc&) {
            ThrowOutOfMemory();
        }
        return;
    }
    throw XmlException(MT_XML_INVALID, tag.toStdString() + ListKind<Item>::kUnknownSuffix);
}

template <typename Item> MTerr ItemList<Item>::LoadFromXml(const QDomElement& parent)
{
    return GuardedLoad([&] {
        const QDomElement list = parent.firstChildElement(ListElement<Item>());
        for (QDomElement child = list.firstChildElement(); !child.isNull();
             child = child.nextSiblingElement())
            AddFromXmlTag(child.tagName(), child);
    });
}

template <typename Item> MTerr ItemList<Item>::WriteToXml(QXmlStreamWriter& writer) const
{
    MTerr itemResult = MT_OK;
    const MTerr result = GuardedWrite([&] {
        writer.writeStartElement(ListElement<Item>());
        for (const ItemPointer& item : m_items) {
            itemResult = ModelAccess::Write(*item, writer);
            if (itemResult != MT_OK)
                return;
        }
        writer.writeEndElement();
    });
    return itemResult != MT_OK ? itemResult : result;
}

template class ItemList<AbstractFilterItem>;
template class ItemList<AbstractKeyItem>;
template class ItemList<AbstractCompositeItem>;
template class ItemList<AbstractTransformItem>;

FilterList::~FilterList() = default;
KeyList::~KeyList() = default;
CompositeList::~CompositeList() = default;
TransformList::~TransformList() = default;

} // namespace mtra::app
