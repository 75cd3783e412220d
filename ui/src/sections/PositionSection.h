// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "toolset/ToolboxDockWidget.h"

#include <app/ProjectTypes.h>

#include <ovimageengine/OVEnums.h>

#include <QUuid>

#include <memory>

class QTabWidget;

namespace mtra::app {
class TransformationTransformItem;
}

namespace mtra::ui {

class DoubleSpinDial;
class SpinSlider;

/// The placement of one layer (foreground or background) of the current image: position in
/// percent of the layer, scale, rotation, flips and a reset. Writes the layer's
/// transformation item and refreshes that layer. Owned by the position section; GUI thread.
class PositionWidget : public QWidget
{
    Q_OBJECT
public:
    using Factor = orv::image::OVDownsampleFactor;

    PositionWidget(app::LayerID layer, QWidget* parent = nullptr);

    app::LayerID Layer() const { return m_layer; }
    SpinSlider* HorizontalControl() const { return m_horizontal; }
    SpinSlider* VerticalControl() const { return m_vertical; }
    SpinSlider* ScaleControl() const { return m_scale; }
    DoubleSpinDial* RotationControl() const { return m_rotation; }

    /// Shows the values of the layer's transformation item.
    void UpdateFromProject();

public slots:
    void UpdateHorizontalPosition(int value, Factor factor, bool update = true);
    void UpdateVerticalPosition(int value, Factor factor, bool update = true);
    void UpdateScale(int value, Factor factor, bool update = true);
    void UpdateRotation(double value, Factor factor, bool update = true);
    void FlipHorizontal();
    void FlipVertical();
    void ResetPosition();

private:
    std::shared_ptr<app::TransformationTransformItem> Item() const;
    void Edited(Factor factor, bool update);

    app::LayerID m_layer;
    QUuid m_transformId;
    bool m_flippedHorizontally = false;
    bool m_flippedVertically = false;
    SpinSlider* m_horizontal;
    SpinSlider* m_vertical;
    SpinSlider* m_scale;
    DoubleSpinDial* m_rotation;
};

/// The position section (toolbox page 4): "Foreground" and "Background" tabs, each a
/// `PositionWidget`; the tab shown is the project's current layer. Owned by the toolbox.
class PositionSection : public ToolboxPage
{
    Q_OBJECT
public:
    explicit PositionSection(QWidget* parent = nullptr);

    PositionWidget* Widget(app::LayerID layer) const;
    QTabWidget* Tabs() const { return m_tabs; }

public slots:
    void UpdateFromProject() override;
    void TabChange(int index);

private:
    QTabWidget* m_tabs;
    PositionWidget* m_foreground;
    PositionWidget* m_background;
};

} // namespace mtra::ui
