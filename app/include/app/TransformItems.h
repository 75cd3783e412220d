// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractRenderItem.h>
#include <app/ItemTypes.h>

#include <memory>
#include <vector>

namespace mtra::app {

/// Placement of a layer on the canvas; the render engine reads the values. Held by
/// `TransformList` through shared pointers; GUI thread only. No widget edits a transform as an
/// item, so transforms always count as having an effect.
class APP_EXPORT AbstractTransformItem : public AbstractRenderItem
{
public:
    virtual TransformItemType Type() const = 0;
    /// Appends a copy of this item (same class, id, flags and values) to `items`.
    virtual void CopyToVector(std::vector<std::shared_ptr<AbstractTransformItem>>& items) const = 0;
    virtual bool HasEffect() const;

protected:
    AbstractTransformItem() = default;
    AbstractTransformItem(const AbstractTransformItem&) = default;
    AbstractTransformItem& operator=(const AbstractTransformItem&) = default;
};

/// Element "transformationTransformItem": translation (full-size pixels), scale factors and
/// rotation of the layer.
class APP_EXPORT TransformationTransformItem final : public AbstractTransformItem
{
public:
    TransformationTransformItem() = default;
    TransformationTransformItem(
        double translateX, double translateY, double scaleX, double scaleY, double rotation);

    double TranslateX() const { return m_translateX; }
    double TranslateY() const { return m_translateY; }
    double ScaleX() const { return m_scaleX; }
    double ScaleY() const { return m_scaleY; }
    double Rotation() const { return m_rotation; }
    void SetTranslateX(double translateX) { m_translateX = translateX; }
    void SetTranslateY(double translateY) { m_translateY = translateY; }
    void SetScaleX(double scaleX) { m_scaleX = scaleX; }
    void SetScaleY(double scaleY) { m_scaleY = scaleY; }
    void SetRotation(double rotation) { m_rotation = rotation; }

    TransformItemType Type() const override { return TransformationTransform; }
    void CopyToVector(std::vector<std::shared_ptr<AbstractTransformItem>>& items) const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    double m_translateX = 0.0;
    double m_translateY = 0.0;
    double m_scaleX = 1.0;
    double m_scaleY = 1.0;
    double m_rotation = 0.0;
};

/// Element "fitTransformItem": how the overlay is fitted (`FitTo`, stored 0 … 3). Rendering
/// does not use it; the program derives the overlay's scale from it.
class APP_EXPORT FitTransformItem final : public AbstractTransformItem
{
public:
    FitTransformItem() = default;
    explicit FitTransformItem(FitTo fit);

    FitTo Fit() const { return m_fit; }
    void SetFit(FitTo fit) { m_fit = fit; }

    TransformItemType Type() const override { return FitTransform; }
    void CopyToVector(std::vector<std::shared_ptr<AbstractTransformItem>>& items) const override;

private:
    MTerr LoadFromXml(const QDomElement& element) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    FitTo m_fit = FitModeNone;
};

} // namespace mtra::app
