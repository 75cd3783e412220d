// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "toolset/ToolboxDockWidget.h"

#include <ovimageengine/OVEnums.h>

#include <QUuid>

#include <memory>

class QPushButton;
class QVBoxLayout;

namespace mtra::app {
class FitTransformItem;
class TransformationTransformItem;
} // namespace mtra::app

namespace mtra::ui {

class DoubleSpinDial;
class SpinSlider;

/// The overlay section (toolbox page 6): the overlay's image chooser at the top (supplied by
/// the import code through `SetImportWidget`), position, scale and rotation of the overlay,
/// "Fit to canvas" and a reset. While fitted, the controls are disabled and show the neutral
/// placement; the overlay's scale follows canvas and overlay sizes in every settings object
/// that is fitted. Owned by the toolbox; GUI thread only.
class OverlaySection : public ToolboxPage
{
    Q_OBJECT
public:
    using Factor = orv::image::OVDownsampleFactor;

    explicit OverlaySection(QWidget* parent = nullptr);

    /// Puts the overlay's image chooser at the top of the section (the section takes it over;
    /// a previous one is deleted). Its "new overlay" report belongs on `NewOverlayAdded()`.
    void SetImportWidget(QWidget* widget);
    QWidget* ImportWidget() const { return m_import; }

    bool IsFitted() const { return m_fitted; }
    SpinSlider* HorizontalControl() const { return m_horizontal; }
    SpinSlider* VerticalControl() const { return m_vertical; }
    SpinSlider* ScaleControl() const { return m_scale; }
    DoubleSpinDial* RotationControl() const { return m_rotation; }
    QPushButton* FitButton() const { return m_fitButton; }

    /// Every overlay settings object of the batch (shared and unique) whose fit item says
    /// "fit to canvas" gets translation 0, rotation 0 and the scale from the canvas to an
    /// overlay of `overlaySize`; nothing changes while either size is unknown. True when
    /// anything changed.
    static bool RefitOverlays(const QSize& canvasSize, const QSize& overlaySize);

signals:
    /// The image chooser is to show the project's overlay again.
    void ImportRefreshRequested();

public slots:
    void UpdateFromProject(bool updateOverlay);
    void UpdateFromProject() override { UpdateFromProject(true); }
    void RefreshPage() override { UpdateFromProject(false); }
    void UpdateHorizontalPosition(int value, Factor factor, bool update = true);
    void UpdateVerticalPosition(int value, Factor factor, bool update = true);
    void UpdateScale(int value, Factor factor, bool update = true);
    void UpdateRotation(double value, Factor factor, bool update = true);
    void FitToCanvas(bool fit, bool update);
    void FitToCanvas(bool fit) { FitToCanvas(fit, true); }
    void ActualSize(bool update);
    void ActualSize() { ActualSize(true); }
    void ResetOverlay();
    void NewOverlayAdded();

private:
    std::shared_ptr<app::TransformationTransformItem> Transformation() const;
    std::shared_ptr<app::FitTransformItem> Fit() const;
    void ShowNeutral();
    void SetControlsEnabled(bool enabled);
    void SetFitChecked(bool checked);
    void Edited(Factor factor, bool update);
    void RefreshOverlay();

    QVBoxLayout* m_column;
    QWidget* m_import = nullptr;
    QUuid m_transformId;
    QUuid m_fitId;
    bool m_fitted = false;
    SpinSlider* m_horizontal;
    SpinSlider* m_vertical;
    SpinSlider* m_scale;
    DoubleSpinDial* m_rotation;
    QPushButton* m_fitButton;
};

} // namespace mtra::ui
