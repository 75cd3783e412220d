// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractProjectItem.h>
#include <app/ItemLists.h>

namespace mtra::app {

/// The settings one foreground image applies to its own layer: filters, transforms, keys and
/// composites. Shared by the whole batch as its default, or owned by one unique image.
///
/// Copying is deep (new items with the same ids), so ids found in the default settings are
/// valid in a unique copy. Held through std::shared_ptr by images and the batch. Element
/// "foregroundImageSettings", found among the children of the element it is loaded from; a
/// missing element gives empty lists. GUI thread only.
class APP_EXPORT ForegroundImageSettings final : public AbstractProjectItem
{
public:
    ForegroundImageSettings() = default;
    ForegroundImageSettings(const ForegroundImageSettings& other) = default;
    ForegroundImageSettings& operator=(const ForegroundImageSettings& other) = default;
    ~ForegroundImageSettings() override;

    FilterList& Filters() { return m_filters; }
    TransformList& Transforms() { return m_transforms; }
    KeyList& Keys() { return m_keys; }
    CompositeList& Compositors() { return m_composites; }
    const FilterList& Filters() const { return m_filters; }
    const TransformList& Transforms() const { return m_transforms; }
    const KeyList& Keys() const { return m_keys; }
    const CompositeList& Compositors() const { return m_composites; }

    /// Marks every item active exactly when it has an effect (`HasEffect()`), as the item
    /// widgets would show it.
    void UpdateActiveFlags();

private:
    friend class ModelAccess;

    MTerr LoadFromXml(const QDomElement& parent) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    FilterList m_filters;
    TransformList m_transforms;
    KeyList m_keys;
    CompositeList m_composites;
};

/// What a foreground image applies to the background layer: filters and transforms. Element
/// "backgroundImageSettings"; otherwise as `ForegroundImageSettings`.
class APP_EXPORT BackgroundImageSettings final : public AbstractProjectItem
{
public:
    BackgroundImageSettings() = default;
    BackgroundImageSettings(const BackgroundImageSettings& other) = default;
    BackgroundImageSettings& operator=(const BackgroundImageSettings& other) = default;
    ~BackgroundImageSettings() override;

    FilterList& Filters() { return m_filters; }
    TransformList& Transforms() { return m_transforms; }
    const FilterList& Filters() const { return m_filters; }
    const TransformList& Transforms() const { return m_transforms; }

    void UpdateActiveFlags();

private:
    friend class ModelAccess;

    MTerr LoadFromXml(const QDomElement& parent) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    FilterList m_filters;
    TransformList m_transforms;
};

/// What a foreground image applies to the overlay layer: composites and transforms. Element
/// "overlayImageSettings"; otherwise as `ForegroundImageSettings`.
class APP_EXPORT OverlayImageSettings final : public AbstractProjectItem
{
public:
    OverlayImageSettings() = default;
    OverlayImageSettings(const OverlayImageSettings& other) = default;
    OverlayImageSettings& operator=(const OverlayImageSettings& other) = default;
    ~OverlayImageSettings() override;

    CompositeList& Compositors() { return m_composites; }
    TransformList& Transforms() { return m_transforms; }
    const CompositeList& Compositors() const { return m_composites; }
    const TransformList& Transforms() const { return m_transforms; }

    void UpdateActiveFlags();

private:
    friend class ModelAccess;

    MTerr LoadFromXml(const QDomElement& parent) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    CompositeList m_composites;
    TransformList m_transforms;
};

} // namespace mtra::app
