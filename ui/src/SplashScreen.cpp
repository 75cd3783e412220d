// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "SplashScreen.h"

#include "ApplicationName.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace mtra::ui {

SplashPicture::SplashPicture()
    : m_picture(QStringLiteral(":/Splashscreen/SplashScreen.png"))
{
}

QPoint SplashPicture::CentredPosition() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {};
    }
    const QRect area = screen->geometry();
    return { area.x() + (area.width() - m_picture.width()) / 2,
        area.y() + (area.height() - m_picture.height()) / 2 };
}

void SplashPicture::GrabDesktop(const QPoint& topLeft)
{
    // The picture has soft corners: what lies under them is painted first so that they blend
    // with the desktop. Platforms that cannot grab (Wayland, offscreen) give a null pixmap.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        m_desktop = screen->grabWindow(0, topLeft.x() - screen->geometry().x(),
            topLeft.y() - screen->geometry().y(), m_picture.width(), m_picture.height());
    }
}

void SplashPicture::Paint(QPainter& painter, const QSize& widgetSize) const
{
    if (!m_desktop.isNull()) {
        painter.drawPixmap(0, 0, m_desktop);
    }
    painter.drawPixmap(0, 0, m_picture);
    QFont font(QStringLiteral("Tahoma"), 8);
    font.setStyleStrategy(QFont::PreferAntialias);
    painter.setFont(font);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::white);
    const QString version = QString::fromLatin1(kApplicationVersion);
    const int textWidth = QFontMetrics(font).horizontalAdvance(version);
    painter.drawText(widgetSize.width() - textWidth - 60, widgetSize.height() - 61, version);
}

SplashScreen::SplashScreen()
{
    resize(m_picture.Size());
    const QPoint topLeft = m_picture.CentredPosition();
    move(topLeft);
    m_picture.GrabDesktop(topLeft);
}

void SplashScreen::drawContents(QPainter* painter)
{
    m_picture.Paint(*painter, size());
}

void SplashScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawContents(&painter);
}

AboutWidget::AboutWidget(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setModal(true);
    setWindowTitle(ApplicationName());
    setFixedSize(m_picture.Size());
    const QPoint topLeft = m_picture.CentredPosition();
    move(topLeft);
    m_picture.GrabDesktop(topLeft);
}

void AboutWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_picture.Paint(painter, size());
}

void AboutWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

} // namespace mtra::ui
