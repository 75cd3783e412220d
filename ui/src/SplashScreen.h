// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QSplashScreen>

namespace mtra::ui {

/// The program's picture (":/Splashscreen/SplashScreen.png") over a grab of the desktop area it
/// covers, with the version at the bottom right. Shared by the splash and the About dialog.
class SplashPicture
{
public:
    SplashPicture();
    /// The picture's size; the widget takes this size.
    QSize Size() const { return m_picture.size(); }
    /// The top-left corner that centres the picture on the primary screen.
    QPoint CentredPosition() const;
    /// Grabs the desktop under `topLeft` (nothing where the platform cannot grab).
    void GrabDesktop(const QPoint& topLeft);
    void Paint(QPainter& painter, const QSize& widgetSize) const;

private:
    QPixmap m_picture;
    QPixmap m_desktop;
};

/// Shown while the first project loads; finished on the main window.
class SplashScreen : public QSplashScreen
{
    Q_OBJECT
public:
    SplashScreen();

protected:
    void drawContents(QPainter* painter) override;
    void paintEvent(QPaintEvent* event) override;

private:
    SplashPicture m_picture;
};

/// The frameless, modal About dialog: the splash picture; a left click closes it.
class AboutWidget : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    SplashPicture m_picture;
};

} // namespace mtra::ui
