// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <ovimageengine/OVEnums.h>

#include <QWidget>

namespace mtra::ui {

class Dial;
class DoubleSpinBox;
class Slider;
class SpinBox;

// A slider (or dial) paired with a spin box, kept in step, reporting each change with the
// resolution to preview it at: quarter (`DownsampleQuarter`, 3) while the slider is dragged,
// full (`DownsampleFull`, 0) when it is released, typed into the spin box or reset with a
// right click. GUI thread only; owned by the Qt parent.
//
// A control inside an item widget also marks the current layer's stage stale at quarter
// resolution when its slider is pressed, so that a drag starts from a fresh quarter preview
// (`SetInvalidatesOnPress(true)`; off by default, for controls that edit no render stage).

/// The stage the toolbox's current section edits, and the press invalidation for it.
class PressInvalidation
{
public:
    void SetInvalidatesOnPress(bool on) { m_on = on; }
    bool InvalidatesOnPress() const { return m_on; }

protected:
    /// Canvas size, import and key sections: the key stage; filters: the filter stage; the
    /// rest: the transform stage; of the project's current layer, at quarter resolution.
    void InvalidateOnPress() const;

private:
    bool m_on = false;
};

/// An integer `Slider` and `SpinBox` side by side.
class SpinSlider : public QWidget, public PressInvalidation
{
    Q_OBJECT
public:
    SpinSlider(int defaultValue, int minimum, int maximum, QWidget* parent = nullptr);

    int Value() const;
    /// Sets both parts without emitting anything.
    void SetValue(int value);
    void SetSuffix(const QString& suffix);
    Slider* GetSlider() const { return m_slider; }
    SpinBox* GetSpinBox() const { return m_spinBox; }

signals:
    void SliderUpdate(int value, orv::image::OVDownsampleFactor factor);

public slots:
    void SpinBoxChanged(int value);
    void SliderDragging(int value);
    void SliderClicked() { SliderClicked(false); }
    void SliderClicked(bool updateFull);
    void SliderChangedUpdate();

private:
    int m_minimum;
    int m_maximum;
    Slider* m_slider;
    SpinBox* m_spinBox;
};

/// A `Slider` in thousandths and a `DoubleSpinBox` (step 0.01): slider value v stands for
/// v / 1000.
class DoubleSpinSlider : public QWidget, public PressInvalidation
{
    Q_OBJECT
public:
    DoubleSpinSlider(QWidget* parent, double minimum, double maximum, double defaultValue);

    double Value() const;
    /// Sets both parts without emitting anything.
    void SetValue(double value);
    void SetSuffix(const QString& suffix);
    Slider* GetSlider() const { return m_slider; }
    DoubleSpinBox* GetSpinBox() const { return m_spinBox; }

signals:
    void SliderUpdate(double value, orv::image::OVDownsampleFactor factor);

public slots:
    void DoubleSpinBoxChanged(double value);
    void SliderDragging(int value);
    void SliderClicked() { SliderClicked(false); }
    void SliderClicked(bool updateFull);
    void SliderChangedUpdate();

protected:
    /// `slider` becomes this widget's child; the hue spin slider passes its own.
    DoubleSpinSlider(
        QWidget* parent, double minimum, double maximum, double defaultValue, Slider* slider);

private:
    double m_minimum;
    double m_maximum;
    Slider* m_slider;
    DoubleSpinBox* m_spinBox;
};

/// A hue in degrees, 0 … 360: a `HueSlider` (thousandths of a degree) and a spin box with "°".
class HueSpinSlider : public DoubleSpinSlider
{
    Q_OBJECT
public:
    explicit HueSpinSlider(QWidget* parent = nullptr, double defaultValue = 0.0);
};

/// A `Dial` and a wrapping `DoubleSpinBox`: dial value v stands for v / 1000 − 0.5, so a dial
/// of 0 … 360000 gives angles −0.5 … 359.5.
class DoubleSpinDial : public QWidget, public PressInvalidation
{
    Q_OBJECT
public:
    DoubleSpinDial(QWidget* parent, double minimum, double maximum, double defaultValue);

    double Value() const;
    /// Sets both parts without emitting anything.
    void SetValue(double value);
    Dial* GetDial() const { return m_dial; }
    DoubleSpinBox* GetSpinBox() const { return m_spinBox; }

    static int DialValue(double value);
    static double SpinValue(int dialValue);

signals:
    void DialUpdate(double value, orv::image::OVDownsampleFactor factor);

public slots:
    void DoubleSpinBoxChanged(double value);
    void DialDragging(int value);
    void DialChanged();
    void DialPressed();

private:
    void DialReleased();

    Dial* m_dial;
    DoubleSpinBox* m_spinBox;
};

} // namespace mtra::ui
