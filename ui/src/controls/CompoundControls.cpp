// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "controls/CompoundControls.h"

#include "Application.h"
#include "controls/Controls.h"

#include <app/Project.h>

#include <QHBoxLayout>
#include <QSignalBlocker>

#include <cmath>

namespace mtra::ui {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

/// Thousandths as the sliders and dials count them. Rounded, not truncated: 1.15 is held as
/// 1149.999… and would otherwise come back as 1.149.
int Thousandths(double value)
{
    return static_cast<int>(std::lround(value * 1000.0));
}

QHBoxLayout* PairLayout(QWidget* owner)
{
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    return layout;
}

} // namespace

void PressInvalidation::InvalidateOnPress() const
{
    if (!m_on) {
        return;
    }
    Application& app = *Application::Instance();
    const app::Project& project = *app.GetProject();
    app::Stage stage = app::Stage::Transform;
    if (project.CurrentToolset() <= app::SectionKey) {
        stage = app::Stage::Key;
    } else if (project.CurrentToolset() == app::SectionFilters) {
        stage = app::Stage::Filter;
    }
    app.InvalidateStage(project.CurrentLayer(), stage, DownsampleQuarter);
}

// --- SpinSlider ----------------------------------------------------------------------------

SpinSlider::SpinSlider(int defaultValue, int minimum, int maximum, QWidget* parent)
    : QWidget(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_slider(new Slider(defaultValue, this))
    , m_spinBox(new SpinBox(defaultValue, this))
{
    m_slider->setRange(minimum, maximum);
    m_slider->setValue(defaultValue);
    m_spinBox->setRange(minimum, maximum);
    m_spinBox->setValue(defaultValue);
    QHBoxLayout* layout = PairLayout(this);
    layout->addWidget(m_slider);
    layout->addWidget(m_spinBox);

    connect(m_spinBox, qOverload<int>(&QSpinBox::valueChanged), this, &SpinSlider::SpinBoxChanged);
    connect(m_slider, &QSlider::sliderMoved, this, &SpinSlider::SliderDragging);
    connect(m_slider, &QSlider::sliderPressed, this, qOverload<>(&SpinSlider::SliderClicked));
    connect(m_slider, &Slider::RightClicked, this, qOverload<bool>(&SpinSlider::SliderClicked));
    connect(m_slider, &QSlider::sliderReleased, this, &SpinSlider::SliderChangedUpdate);
}

int SpinSlider::Value() const
{
    return m_spinBox->value();
}

void SpinSlider::SetValue(int value)
{
    const QSignalBlocker sliderBlock(m_slider);
    const QSignalBlocker spinBlock(m_spinBox);
    m_slider->setValue(value);
    m_spinBox->setValue(value);
}

void SpinSlider::SetSuffix(const QString& suffix)
{
    m_spinBox->setSuffix(suffix);
}

void SpinSlider::SpinBoxChanged(int value)
{
    {
        const QSignalBlocker block(m_slider);
        m_slider->setValue(value);
    }
    emit SliderUpdate(m_slider->value(), DownsampleFull);
}

void SpinSlider::SliderDragging(int value)
{
    {
        const QSignalBlocker block(m_spinBox);
        m_spinBox->setValue(value);
    }
    emit SliderUpdate(value, DownsampleQuarter);
}

void SpinSlider::SliderClicked(bool updateFull)
{
    // A left press has already moved the handle to the pointer; the position, not the value,
    // is what the user sees (tracking is off).
    const int value = m_slider->isSliderDown() ? m_slider->sliderPosition() : m_slider->value();
    {
        const QSignalBlocker block(m_spinBox);
        m_spinBox->setValue(value);
    }
    emit SliderUpdate(value, updateFull ? DownsampleFull : DownsampleQuarter);
    InvalidateOnPress();
}

void SpinSlider::SliderChangedUpdate()
{
    emit SliderUpdate(m_spinBox->value(), DownsampleFull);
}

// --- DoubleSpinSlider ----------------------------------------------------------------------

DoubleSpinSlider::DoubleSpinSlider(
    QWidget* parent, double minimum, double maximum, double defaultValue)
    : DoubleSpinSlider(
        parent, minimum, maximum, defaultValue, new Slider(Thousandths(defaultValue), nullptr))
{
}

DoubleSpinSlider::DoubleSpinSlider(
    QWidget* parent, double minimum, double maximum, double defaultValue, Slider* slider)
    : QWidget(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_slider(slider)
    , m_spinBox(new DoubleSpinBox(defaultValue, this))
{
    m_slider->setParent(this);
    m_slider->setRange(Thousandths(minimum), Thousandths(maximum));
    m_slider->setValue(Thousandths(defaultValue));
    m_spinBox->setRange(minimum, maximum);
    m_spinBox->setSingleStep(0.01);
    m_spinBox->setValue(defaultValue);
    QHBoxLayout* layout = PairLayout(this);
    layout->addWidget(m_slider);
    layout->addWidget(m_spinBox);

    connect(m_spinBox, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
        &DoubleSpinSlider::DoubleSpinBoxChanged);
    connect(m_slider, &QSlider::sliderMoved, this, &DoubleSpinSlider::SliderDragging);
    connect(m_slider, &QSlider::sliderPressed, this, qOverload<>(&DoubleSpinSlider::SliderClicked));
    connect(
        m_slider, &Slider::RightClicked, this, qOverload<bool>(&DoubleSpinSlider::SliderClicked));
    connect(m_slider, &QSlider::sliderReleased, this, &DoubleSpinSlider::SliderChangedUpdate);
}

double DoubleSpinSlider::Value() const
{
    return m_spinBox->value();
}

void DoubleSpinSlider::SetValue(double value)
{
    const QSignalBlocker sliderBlock(m_slider);
    const QSignalBlocker spinBlock(m_spinBox);
    m_slider->setValue(Thousandths(value));
    m_spinBox->setValue(value);
}

void DoubleSpinSlider::SetSuffix(const QString& suffix)
{
    m_spinBox->setSuffix(suffix);
}

void DoubleSpinSlider::DoubleSpinBoxChanged(double value)
{
    {
        const QSignalBlocker block(m_slider);
        m_slider->setValue(Thousandths(value));
    }
    // The typed value itself: the slider's thousandths could only round it.
    emit SliderUpdate(value, DownsampleFull);
}

void DoubleSpinSlider::SliderDragging(int value)
{
    {
        const QSignalBlocker block(m_spinBox);
        m_spinBox->setValue(value / 1000.0);
    }
    emit SliderUpdate(value / 1000.0, DownsampleQuarter);
}

void DoubleSpinSlider::SliderClicked(bool updateFull)
{
    const int value = m_slider->isSliderDown() ? m_slider->sliderPosition() : m_slider->value();
    {
        const QSignalBlocker block(m_spinBox);
        m_spinBox->setValue(value / 1000.0);
    }
    emit SliderUpdate(value / 1000.0, updateFull ? DownsampleFull : DownsampleQuarter);
    InvalidateOnPress();
}

void DoubleSpinSlider::SliderChangedUpdate()
{
    emit SliderUpdate(m_spinBox->value(), DownsampleFull);
}

HueSpinSlider::HueSpinSlider(QWidget* parent, double defaultValue)
    : DoubleSpinSlider(parent, 0.0, 360.0, defaultValue, new HueSlider(Thousandths(defaultValue)))
{
    SetSuffix(QStringLiteral("°"));
}

// --- DoubleSpinDial ------------------------------------------------------------------------

int DoubleSpinDial::DialValue(double value)
{
    return Thousandths(value + 0.5);
}

double DoubleSpinDial::SpinValue(int dialValue)
{
    return dialValue / 1000.0 - 0.5;
}

DoubleSpinDial::DoubleSpinDial(QWidget* parent, double minimum, double maximum, double defaultValue)
    : QWidget(parent)
    , m_dial(new Dial(DialValue(defaultValue), this))
    , m_spinBox(new DoubleSpinBox(defaultValue, this))
{
    m_dial->setRange(DialValue(minimum), DialValue(maximum));
    m_dial->setWrapping(true);
    m_dial->setValue(DialValue(defaultValue));
    m_spinBox->setRange(minimum, maximum);
    m_spinBox->setWrapping(true);
    m_spinBox->setValue(defaultValue);
    QHBoxLayout* layout = PairLayout(this);
    layout->addWidget(m_dial);
    layout->addWidget(m_spinBox);

    connect(m_spinBox, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
        &DoubleSpinDial::DoubleSpinBoxChanged);
    connect(m_dial, &QDial::sliderMoved, this, &DoubleSpinDial::DialDragging);
    connect(m_dial, &QDial::sliderPressed, this, &DoubleSpinDial::DialPressed);
    connect(m_dial, &QDial::valueChanged, this, &DoubleSpinDial::DialChanged);
    connect(m_dial, &QDial::sliderReleased, this, &DoubleSpinDial::DialReleased);
}

double DoubleSpinDial::Value() const
{
    return m_spinBox->value();
}

void DoubleSpinDial::SetValue(double value)
{
    const QSignalBlocker dialBlock(m_dial);
    const QSignalBlocker spinBlock(m_spinBox);
    m_dial->setValue(DialValue(value));
    m_spinBox->setValue(value);
}

void DoubleSpinDial::DoubleSpinBoxChanged(double value)
{
    {
        const QSignalBlocker block(m_dial);
        m_dial->setValue(DialValue(value));
    }
    emit DialUpdate(value, DownsampleFull);
}

void DoubleSpinDial::DialDragging(int value)
{
    const double spinValue = SpinValue(value);
    {
        const QSignalBlocker block(m_spinBox);
        m_spinBox->setValue(spinValue);
    }
    emit DialUpdate(spinValue, DownsampleQuarter);
}

void DoubleSpinDial::DialPressed()
{
    InvalidateOnPress();
}

void DoubleSpinDial::DialChanged()
{
    const double value = SpinValue(m_dial->value());
    {
        const QSignalBlocker block(m_spinBox);
        m_spinBox->setValue(value);
    }
    emit DialUpdate(value, DownsampleFull);
}

void DoubleSpinDial::DialReleased()
{
    // Without tracking the release is followed by valueChanged whenever the pointer moved the
    // value; that one reports it. Only a release on the old value is reported here, so that a
    // release gives exactly one full-resolution update.
    if (m_dial->sliderPosition() == m_dial->value()) {
        DialChanged();
    }
}

} // namespace mtra::ui
