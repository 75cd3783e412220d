// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QComboBox>
#include <QDial>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

class QStyle;

namespace mtra::ui {

// The single value controls of the toolbox. Each knows its default value and returns to it on a
// right click. All of them live on the GUI thread and are owned by their Qt parent.

/// The one style the toolbox's sliders share: Fusion, except that a left press moves the handle
/// straight to the pointer instead of paging towards it. Owned by the application object.
QStyle* ControlStyle();

/// A horizontal slider without tracking: it reports the final value on release, and
/// `sliderMoved` while dragged. A right press returns it to the default and emits
/// `RightClicked(true)`.
class Slider : public QSlider
{
    Q_OBJECT
public:
    explicit Slider(int defaultValue, QWidget* parent = nullptr);

    int DefaultValue() const { return m_defaultValue; }
    void SetDefaultValue(int value) { m_defaultValue = value; }

signals:
    /// `updateFull`: the change is final (render at full preview resolution).
    void RightClicked(bool updateFull);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_defaultValue;
};

/// A `Slider` over a strip of every hue, red at both ends (values are thousandths of a degree
/// in the hue spin slider, but the strip spans whatever range is set).
class HueSlider : public Slider
{
    Q_OBJECT
public:
    explicit HueSlider(int defaultValue, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

/// An integer spin box of 90 x 25 with centred text and no context menu; a right press
/// returns it to the default (and so emits `valueChanged`).
class SpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit SpinBox(int defaultValue, QWidget* parent = nullptr);

    int DefaultValue() const { return m_defaultValue; }
    void SetDefaultValue(int value) { m_defaultValue = value; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_defaultValue;
};

/// The `SpinBox` for decimal values.
class DoubleSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
public:
    explicit DoubleSpinBox(double defaultValue, QWidget* parent = nullptr);

    double DefaultValue() const { return m_defaultValue; }
    void SetDefaultValue(double value) { m_defaultValue = value; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    double m_defaultValue;
};

/// A combo box 25 pixels high that takes the width it is given.
class ComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);
};

/// A dial whose value is the pointer's angle, clockwise from twelve o'clock, in thousandths of
/// a degree (0 … 359999). Tracking is off: `sliderMoved` while dragged, the value on release.
/// A right click returns it to the default.
class Dial : public QDial
{
    Q_OBJECT
public:
    explicit Dial(int defaultValue, QWidget* parent = nullptr);

    int DefaultValue() const { return m_defaultValue; }
    void SetDefaultValue(int value) { m_defaultValue = value; }
    /// The value a pointer at `position` (widget pixels) stands for.
    int ValueAt(const QPointF& position) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_defaultValue;
    bool m_thousandths = true;
    bool m_pressed = false;
};

/// The labels beside the toolbox's controls ("ToolboxLabel", 8 points).
class ToolboxLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ToolboxLabel(const QString& text, QWidget* parent = nullptr);
};

} // namespace mtra::ui
