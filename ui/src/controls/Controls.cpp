// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "controls/Controls.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include <cmath>

namespace mtra::ui {

namespace {

/// Fusion with a left press that sets the slider to the pointer's position.
class ControlProxyStyle : public QProxyStyle
{
public:
    ControlProxyStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    {
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons) {
            return Qt::LeftButton;
        }
        if (hint == SH_Slider_PageSetButtons) {
            return Qt::NoButton;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QStyle* ControlStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new ControlProxyStyle();
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

// --- Slider --------------------------------------------------------------------------------

Slider::Slider(int defaultValue, QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
    , m_defaultValue(defaultValue)
{
    setTracking(false);
    setStyle(ControlStyle());
}

void Slider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        setValue(m_defaultValue);
        emit RightClicked(true);
        event->accept();
        return;
    }
    QSlider::mousePressEvent(event);
}

HueSlider::HueSlider(int defaultValue, QWidget* parent)
    : Slider(defaultValue, parent)
{
}

void HueSlider::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QStyleOptionSlider option;
    initStyleOption(&option);

    // The strip runs under the handle's centre from one end of its travel to the other.
    const QRect handle
        = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const qreal inset = handle.width() / 2.0;
    const QRectF strip(inset, height() / 2.0 - 4, width() - 2 * inset, 8);
    QLinearGradient hues(strip.topLeft(), strip.topRight());
    for (int step = 0; step <= 6; ++step) {
        hues.setColorAt(step / 6.0, QColor::fromHsv((step * 60) % 360, 255, 255));
    }
    painter.setPen(QPen(QColor(77, 77, 77), 1));
    painter.setBrush(hues);
    painter.drawRoundedRect(strip, 3, 3);

    option.subControls = QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

// --- Spin boxes and combo box --------------------------------------------------------------

namespace {

template <typename Box> void SetUpSpinBox(Box& box)
{
    box.setContextMenuPolicy(Qt::NoContextMenu);
    box.setAlignment(Qt::AlignHCenter);
    box.setFixedSize(90, 25);
    box.setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A typed value counts once it is entered: each keystroke would be a full-resolution
    // render of a value the user is still typing.
    box.setKeyboardTracking(false);
}

} // namespace

SpinBox::SpinBox(int defaultValue, QWidget* parent)
    : QSpinBox(parent)
    , m_defaultValue(defaultValue)
{
    SetUpSpinBox(*this);
}

void SpinBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        setValue(m_defaultValue);
    }
    QSpinBox::mousePressEvent(event);
}

DoubleSpinBox::DoubleSpinBox(double defaultValue, QWidget* parent)
    : QDoubleSpinBox(parent)
    , m_defaultValue(defaultValue)
{
    SetUpSpinBox(*this);
}

void DoubleSpinBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        setValue(m_defaultValue);
    }
    QDoubleSpinBox::mousePressEvent(event);
}

ComboBox::ComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setFixedHeight(25);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// --- Dial ----------------------------------------------------------------------------------

Dial::Dial(int defaultValue, QWidget* parent)
    : QDial(parent)
    , m_defaultValue(defaultValue)
{
    setTracking(false);
}

int Dial::ValueAt(const QPointF& position) const
{
    // Clockwise from twelve o'clock; y grows downwards, so atan(dy / dx) + π/2 is 0 at twelve
    // and π/2 at three o'clock on the right half, + 3π/2 on the left half.
    const double dx = position.x() - width() / 2.0;
    const double dy = position.y() - height() / 2.0;
    double angle = 0;
    if (std::fabs(dx) < 0.1) {
        angle = dy > 0 ? M_PI : 0;
    } else if (dx > 0) {
        angle = std::atan(dy / dx) + M_PI / 2;
    } else {
        angle = std::atan(dy / dx) + 3 * M_PI / 2;
    }
    const double degrees = angle * 180.0 / M_PI;
    return static_cast<int>(m_thousandths ? degrees * 1000.0 : degrees);
}

void Dial::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_pressed = true;
    setSliderDown(true);
    setSliderPosition(ValueAt(event->position()));
}

void Dial::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (m_pressed && (event->buttons() & Qt::LeftButton)) {
        setSliderPosition(ValueAt(event->position()));
    }
}

void Dial::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::RightButton) {
        if (!m_pressed) {
            setValue(m_defaultValue);
        }
        return;
    }
    if (!m_pressed) {
        return;
    }
    setSliderPosition(ValueAt(event->position()));
    m_pressed = false;
    setSliderDown(false);
}

void Dial::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height()) - 4.0;
    const QRectF face(
        (width() - side) / 2.0, (height() - side) / 2.0, qMax(side, 1.0), qMax(side, 1.0));

    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    shade.setColorAt(0, QColor(77, 77, 77));
    shade.setColorAt(1, QColor(38, 38, 38));
    painter.setPen(QPen(QColor(26, 26, 26), 1.5));
    painter.setBrush(shade);
    painter.drawEllipse(face);

    // The pointer shows the angle the value stands for, clockwise from twelve o'clock.
    const double degrees = m_thousandths ? sliderPosition() / 1000.0 : sliderPosition();
    const double radians = degrees * M_PI / 180.0;
    const QPointF centre = face.center();
    const qreal radius = side / 2.0 - 4.0;
    const QPointF tip(
        centre.x() + radius * std::sin(radians), centre.y() - radius * std::cos(radians));
    painter.setPen(QPen(isEnabled() ? QColor(203, 203, 203) : QColor(110, 110, 110), 2,
        Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, tip);
    painter.setBrush(QColor(203, 203, 203));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, 2.5, 2.5);
}

// --- Label ---------------------------------------------------------------------------------

ToolboxLabel::ToolboxLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setObjectName(QStringLiteral("ToolboxLabel"));
    QFont labelFont = font();
    labelFont.setPointSize(8);
    setFont(labelFont);
}

} // namespace mtra::ui
