// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractRenderItem.h>
#include <app/ItemTypes.h>

#include <ovimageengine/OVEnums.h>

#include <memory>
#include <vector>

namespace mtra::app {

/// How a layer is blended onto the canvas; the render engine reads the values. Held by
/// `CompositeList` through shared pointers; GUI thread only.
class APP_EXPORT AbstractCompositeItem : public AbstractRenderItem
{
public:
    virtual CompositeItemType Type() const = 0;
    /// Appends a copy of this item (same class, id, flags and values) to `items`.
    virtual void CopyToVector(std::vector<std::shared_ptr<AbstractCompositeItem>>& items) const = 0;
    /// Whether applying the item changes anything, judged on the steps of its widget's
    /// controls (see `ValueControl`).
    virtual bool HasEffect() const;

protected:
    AbstractCompositeItem() = default;
    AbstractCompositeItem(const AbstractCompositeItem&) = default;
    AbstractCompositeItem& operator=(const AbstractCompositeItem&) = default;
};

/// Element "flattenCompositeItem": transparency of the layer (0 … 1) when it is flattened onto
/// the canvas. Only the foreground transparency is stored; the background transparency and the
/// blend mode stay as they were when loading. Effect: foreground step (0 … 100) > 0.
class APP_EXPORT FlattenCompositeItem final : public AbstractCompositeItem
{
public:
    FlattenCompositeItem() = default;
    FlattenCompositeItem(double foregroundTransparency, double backgroundTransparency,
        orv::image::OVBlendMode blendMode);

    double ForegroundTransparency() const { return m_foregroundTransparency; }
    double BackgroundTransparency() const { return m_backgroundTransparency; }
    orv::image::OVBlendMode BlendMode() const { return m_blendMode; }
    void SetForegroundTransparency(double transparency) { m_foregroundTransparency = transparency; }
    void SetBackgroundTransparency(double transparency) { m_backgroundTransparency = transparency; }
    void SetBlendMode(orv::image::OVBlendMode blendMode) { m_blendMode = blendMode; }

    CompositeItemType Type() const override { return FlattenComposite; }
    void CopyToVector(std::vector<std::shared_ptr<AbstractCompositeItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_foregroundTransparency = 0.0;
    double m_backgroundTransparency = 0.0;
    orv::image::OVBlendMode m_blendMode = orv::image::BlendModeNormal;
};

/// Element "lightSpillCompositeItem": spills the blurred background onto the foreground's
/// edges; blur size in full-size pixels, blend mode 0 … 12. Effect: size step (0 … 200) > 0.
class APP_EXPORT LightSpillCompositeItem final : public AbstractCompositeItem
{
public:
    LightSpillCompositeItem() = default;
    LightSpillCompositeItem(double blur, orv::image::OVBlendMode blendMode);

    double Blur() const { return m_blur; }
    orv::image::OVBlendMode BlendMode() const { return m_blendMode; }
    void SetBlur(double blur) { m_blur = blur; }
    void SetBlendMode(orv::image::OVBlendMode blendMode) { m_blendMode = blendMode; }

    CompositeItemType Type() const override { return LightSpillComposite; }
    void CopyToVector(std::vector<std::shared_ptr<AbstractCompositeItem>>& items) const override;
    bool HasEffect() const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_blur = 0.0;
    orv::image::OVBlendMode m_blendMode = orv::image::BlendModeNormal;
};

} // namespace mtra::app
