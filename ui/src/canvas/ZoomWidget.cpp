// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "canvas/ZoomWidget.h"

#include "Application.h"
#include "canvas/CanvasIcons.h"

#include <app/Canvas.h>
#include <app/Project.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

namespace mtra::ui {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

constexpr int kMinimumZoom = 10;
constexpr int kMaximumZoom = 400;

} // namespace

ZoomWidget::ZoomWidget(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("ZoomWidget"));
    // Readable over the black canvas until the style sheet gives the row its look.
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(10);

    auto* label = new QLabel(tr("Zoom"), this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(kMinimumZoom, kMaximumZoom);
    m_slider->setMinimumWidth(200);
    m_spinBox = new QSpinBox(this);
    m_spinBox->setRange(kMinimumZoom, kMaximumZoom);
    m_spinBox->setSuffix(QStringLiteral("%"));
    m_spinBox->setKeyboardTracking(false);
    m_focusButton = new QPushButton(
        CanvasIcon(QStringLiteral(":Icons/Focus.png")), tr("Fit To Window"), this);
    row->addWidget(label);
    row->addWidget(m_slider);
    row->addWidget(m_spinBox);
    row->addWidget(m_focusButton);

    // While the slider is held every step is a quarter preview; its release, a click on its
    // groove, the keyboard and a typed value are final and render at full resolution.
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        const QSignalBlocker block(m_spinBox);
        m_spinBox->setValue(value);
        ZoomChanged(value, m_slider->isSliderDown() ? DownsampleQuarter : DownsampleFull);
    });
    connect(m_slider, &QSlider::sliderReleased, this,
        [this] { ZoomChanged(m_slider->value(), DownsampleFull); });
    connect(m_spinBox, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) {
        const QSignalBlocker block(m_slider);
        m_slider->setValue(value);
        ZoomChanged(value, DownsampleFull);
    });
    connect(m_focusButton, &QPushButton::clicked, this, &ZoomWidget::ZoomHome);
    connect(Application::Instance(), &Application::UpdateZoomSlider, this,
        &ZoomWidget::UpdateZoomSlider);

    UpdateFromProject();
    Application::Instance()->SetZoomHeight(sizeHint().height() + 4);
}

void ZoomWidget::ZoomChanged(int value, orv::image::OVDownsampleFactor factor)
{
    Application& app = *Application::Instance();
    app.SetCanvasScale(static_cast<float>(value) / 100.0f);
    if (factor == DownsampleFull) {
        app.InvalidateAllLayers(DownsampleQuarter);
    }
    app.RefreshCanvas(factor);
}

void ZoomWidget::ZoomHome()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    emit FocusButtonClicked();
    Application& app = *Application::Instance();
    app.InvalidateAllLayers(DownsampleQuarter);
    app.RefreshCanvas(DownsampleFull);
    QGuiApplication::restoreOverrideCursor();
}

void ZoomWidget::ShowValue(float zoom)
{
    // A zoom read from a project file may be anything; the controls show what they can.
    if (!std::isfinite(zoom)) {
        return;
    }
    const int percent = static_cast<int>(std::clamp(zoom * 100.0f, 0.0f, 1000.0f));
    const QSignalBlocker blockSlider(m_slider);
    const QSignalBlocker blockSpin(m_spinBox);
    m_slider->setValue(percent);
    m_spinBox->setValue(percent);
}

void ZoomWidget::UpdateZoomSlider(float zoom)
{
    ShowValue(zoom);
}

void ZoomWidget::UpdateFromProject()
{
    ShowValue(Application::Instance()->GetProject()->GetCanvas().Scale());
}

} // namespace mtra::ui
