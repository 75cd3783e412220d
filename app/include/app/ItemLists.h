// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractProjectItem.h>
#include <app/CompositeItems.h>
#include <app/FilterItems.h>
#include <app/KeyItems.h>
#include <app/TransformItems.h>

#include <QUuid>

#include <memory>
#include <vector>

namespace mtra::app {

/// An ordered list of render items of one kind: the order in which the render engine applies
/// them and in which the program shows their panels. `FilterList`, `KeyList`, `CompositeList`
/// and `TransformList` are this template for their item base class.
///
/// Ownership: items are shared with whoever fetched them (`Get`, iteration); a removed item
/// lives on while such a pointer is held. Copying a list is deep: the copy holds new item
/// objects with the same ids, so ids found in one are found in the other, and changing an item
/// of the copy leaves the original alone. Lists are held by value. GUI thread only.
///
/// In the project file a list is one element ("filterList", "keyList", "compositeList",
/// "transformList") holding one element per item in list order.
template <typename Item> class APP_EXPORT ItemList : public AbstractProjectItem
{
public:
    using ItemPointer = std::shared_ptr<Item>;
    using ConstIterator = typename std::vector<ItemPointer>::const_iterator;

    ItemList() = default;
    ItemList(const ItemList& other);
    ItemList& operator=(const ItemList& other);
    ~ItemList() override;

    /// Appends `item`; the same item may be added twice. An empty pointer is not added.
    void Add(ItemPointer item);
    void Clear();
    unsigned int Size() const;
    /// Number of items whose `IsEnabled()` is true.
    unsigned int EnabledCount() const;
    /// Number of items whose `IsActive()` is true, whatever their enabled flag.
    unsigned int ActiveCount() const;
    ConstIterator Begin() const;
    ConstIterator End() const;

    /// The first item with `id` into `out`; `MT_ITEM_NOT_FOUND` (9) and `out` unchanged if
    /// there is none.
    MTerr Get(const QUuid& id, ItemPointer& out) const;
    /// Swaps the first item with `id` with the one before it; the first item stays where it
    /// is (0). 9 if there is no such item.
    MTerr MoveUp(const QUuid& id);
    /// Swaps the first item with `id` with the one after it; the last item stays where it is
    /// (0). 9 if there is no such item.
    MTerr MoveDown(const QUuid& id);
    /// Erases the first item with `id`; 9 if there is none.
    MTerr Remove(const QUuid& id);

private:
    /// Finds the list's element among the children of `parent` (none: unchanged, 0) and
    /// appends one item per child element, after the items already in the list. An unknown
    /// element name or a failing item gives 4 (running out of memory 6) and keeps the items
    /// appended before it.
    MTerr LoadFromXml(const QDomElement& parent) override;
    /// Writes the list element; stops at the first item that fails and returns its code.
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    void CopyItems(const std::vector<ItemPointer>& source);
    /// Creates the item class named by `tag`, loads it from `element` and appends it;
    /// throws XmlException.
    void AddFromXmlTag(const QString& tag, const QDomElement& element);

    std::vector<ItemPointer> m_items;
};

extern template class ItemList<AbstractFilterItem>;
extern template class ItemList<AbstractKeyItem>;
extern template class ItemList<AbstractCompositeItem>;
extern template class ItemList<AbstractTransformItem>;

/// Filters of a layer. Element "filterList"; items "brightnessFilterItem",
/// "saturationFilterItem", "superContrastFilterItem", "colorTemperatureFilterItem",
/// "colorBalanceFilterItem", "hueColorizeFilterItem", "transparencyFilterItem",
/// "blurFilterItem", "mirrorFilterItem".
class APP_EXPORT FilterList final : public ItemList<AbstractFilterItem>
{
public:
    FilterList() = default;
    FilterList(const FilterList& other) = default;
    FilterList& operator=(const FilterList& other) = default;
    ~FilterList() override;
};

/// Key steps of the foreground. Element "keyList"; items "autoColorDifferenceKeyItem",
/// "spillSuppressionKeyItem", "yuvBlurKeyItem", "cropKeyItem".
class APP_EXPORT KeyList final : public ItemList<AbstractKeyItem>
{
public:
    KeyList() = default;
    KeyList(const KeyList& other) = default;
    KeyList& operator=(const KeyList& other) = default;
    ~KeyList() override;
};

/// Composites of a layer. Element "compositeList"; items "lightSpillCompositeItem",
/// "flattenCompositeItem".
class APP_EXPORT CompositeList final : public ItemList<AbstractCompositeItem>
{
public:
    CompositeList() = default;
    CompositeList(const CompositeList& other) = default;
    CompositeList& operator=(const CompositeList& other) = default;
    ~CompositeList() override;
};

/// Placement of a layer. Element "transformList"; items "transformationTransformItem",
/// "fitTransformItem".
class APP_EXPORT TransformList final : public ItemList<AbstractTransformItem>
{
public:
    TransformList() = default;
    TransformList(const TransformList& other) = default;
    TransformList& operator=(const TransformList& other) = default;
    ~TransformList() override;
};

} // namespace mtra::app
