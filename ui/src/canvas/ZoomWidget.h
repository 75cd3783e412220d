// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVEnums.h>

#include <QFrame>

class QPushButton;
class QSlider;
class QSpinBox;

namespace mtra::ui {

/// The zoom row over the canvas: "Zoom", a slider with a percentage box (10 % to 400 %) and
/// "Fit To Window". Dragging the slider previews at quarter resolution, its release and a
/// typed value render at full resolution. Stores its height + 4 in the application for the
/// canvas geometry. GUI thread only.
class ZoomWidget : public QFrame
{
    Q_OBJECT
public:
    explicit ZoomWidget(QWidget* parent = nullptr);

    QSlider* Slider() const { return m_slider; }
    QSpinBox* SpinBox() const { return m_spinBox; }
    QPushButton* FocusButton() const { return m_focusButton; }

signals:
    void FocusButtonClicked();

public slots:
    /// The canvas zoom := `value` %; a full-resolution change (the drag ended, or a typed
    /// value) also makes every quarter cache stale.
    void ZoomChanged(int value, orv::image::OVDownsampleFactor factor);
    /// "Fit To Window".
    void ZoomHome();
    void UpdateZoomSlider(float zoom);
    void UpdateFromProject();

private:
    /// Both controls := trunc(`zoom` x 100) %, without signals.
    void ShowValue(float zoom);

    QSlider* m_slider = nullptr;
    QSpinBox* m_spinBox = nullptr;
    QPushButton* m_focusButton = nullptr;
};

} // namespace mtra::ui
