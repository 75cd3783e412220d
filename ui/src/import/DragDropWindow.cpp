// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "import/DragDropWindow.h"

#include "Application.h"
#include "import/ImportSupport.h"
#include "toolset/ButtonMultiClick.h"

#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace mtra::ui {

namespace {

const QColor kFrame(77, 77, 77);

QString Placeholder()
{
    return QStringLiteral(":/DragDropWindow/DragAndDrop.png");
}

} // namespace

DragDropWindow::DragDropWindow(Mode mode, bool uniqueButton, QWidget* parent)
    : QFrame(parent)
    , m_mode(mode)
{
    QPalette shades = palette();
    shades.setColor(QPalette::Shadow, QColor(26, 26, 26));
    shades.setColor(QPalette::Midlight, QColor(38, 38, 38));
    setPalette(shades);
    setBackgroundRole(QPalette::Shadow);
    setAutoFillBackground(true);
    setAcceptDrops(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    if (mode == BatchMode) {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(4, 4, 4, 4);
        auto* top = new QHBoxLayout;
        m_upButton = new ButtonMultiClick(QStringLiteral("BatchImageUpButton"), true, this);
        m_downButton = new ButtonMultiClick(QStringLiteral("BatchImageDownButton"), true, this);
        for (QPushButton* button :
            { static_cast<QPushButton*>(m_upButton), static_cast<QPushButton*>(m_downButton) }) {
            button->setFixedSize(16, 16);
        }
        m_upButton->setToolTip(tr("Previous image"));
        m_downButton->setToolTip(tr("Next image"));
        // "Up" goes to the row above (one back), "down" to the row below; the right button
        // goes the other way.
        connect(m_upButton, &ButtonMultiClick::LeftButtonClicked, this,
            &DragDropWindow::DownButtonClicked);
        connect(m_upButton, &ButtonMultiClick::RightButtonClicked, this,
            &DragDropWindow::UpButtonClicked);
        connect(m_downButton, &ButtonMultiClick::LeftButtonClicked, this,
            &DragDropWindow::UpButtonClicked);
        connect(m_downButton, &ButtonMultiClick::RightButtonClicked, this,
            &DragDropWindow::DownButtonClicked);
        top->addWidget(m_upButton);
        top->addWidget(m_downButton);
        top->addStretch(1);
        if (uniqueButton) {
            m_uniqueButton = new QPushButton(this);
            m_uniqueButton->setObjectName(QStringLiteral("BatchImageUniqueButton"));
            m_uniqueButton->setFixedSize(16, 16);
            m_uniqueButton->setCheckable(true);
            m_uniqueButton->setFlat(true);
            m_uniqueButton->setIcon(import::Icon(import::RowIcon::Unique));
            m_uniqueButton->setToolTip(tr("Unique settings for this image"));
            connect(
                m_uniqueButton, &QPushButton::clicked, this, &DragDropWindow::UniqueButtonClicked);
            top->addWidget(m_uniqueButton);
        }
        column->addLayout(top);
        column->addStretch(1);
        auto* bottom = new QHBoxLayout;
        m_viewButton = new QPushButton(tr("View"), this);
        m_viewButton->hide();
        connect(m_viewButton, &QPushButton::clicked, this, &DragDropWindow::UseSelectedImage);
        bottom->addStretch(1);
        bottom->addWidget(m_viewButton);
        bottom->addStretch(1);
        column->addLayout(bottom);
    }
    ShowPlaceholder();
}

void DragDropWindow::ShowPlaceholder()
{
    m_image = QImage(Placeholder());
    update();
}

// --- Pictures ------------------------------------------------------------------------------

void DragDropWindow::UpdateThumbnail(const QString& path, app::LayerID layer)
{
    Application* application = Application::Instance();
    const auto project = application->GetProject();
    if (layer == app::ForegroundLayer) {
        m_bright = !project || project->GetForegroundImageList().IsEnabled();
        // A thumbnail name may come from a project file: only a regular file (or one of the
        // program's own pictures) is read, so a name pointing at a pipe cannot block.
        const bool readable = !path.isEmpty()
            && (path.startsWith(QLatin1Char(':')) || app::PhotoFileProblem(path).isEmpty());
        m_image = readable ? QImage(path) : QImage();
        if (m_image.isNull()) {
            m_image = QImage(Placeholder());
        }
    } else {
        const bool overlay = layer == app::OverlayLayer;
        std::shared_ptr<app::AbstractImage> image;
        if (project) {
            image = overlay
                ? std::static_pointer_cast<app::AbstractImage>(project->GetOverlayImage())
                : std::static_pointer_cast<app::AbstractImage>(project->GetBackgroundImage());
        }
        m_bright = !image || image->IsEnabled();
        const auto thumbnail
            = overlay ? application->OverlayThumbnail() : application->BackgroundThumbnail();
        m_image = thumbnail && !thumbnail->isNull() ? *thumbnail : QImage(Placeholder());
    }
    update();
}

void DragDropWindow::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const int side = width();
    if (!m_image.isNull() && side > 0) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // The longer side fills the square; the picture is centred in it.
        const QSize scaled = m_image.size().scaled(side, side, Qt::KeepAspectRatio);
        const QRect target((side - scaled.width()) / 2, (side - scaled.height()) / 2,
            scaled.width(), scaled.height());
        painter.drawImage(target, m_image);
        if (!m_bright) {
            painter.fillRect(target, QColor(77, 77, 77, 200));
        }
    }
    painter.setPen(QPen(kFrame, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DragDropWindow::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    // A square: the height follows the width the layout gives.
    if (height() != width()) {
        setFixedHeight(width());
    }
}

void DragDropWindow::mousePressEvent(QMouseEvent* event)
{
    QFrame::mousePressEvent(event);
    emit MousePressDetected();
}

// --- Batch buttons -------------------------------------------------------------------------

void DragDropWindow::UpButtonClicked()
{
    emit NavigateButtonClicked(+1, false);
}

void DragDropWindow::DownButtonClicked()
{
    emit NavigateButtonClicked(-1, false);
}

void DragDropWindow::UpdateUniqueButton(bool unique, bool shown)
{
    Q_UNUSED(shown);
    if (m_uniqueButton) {
        const QSignalBlocker block(m_uniqueButton);
        m_uniqueButton->setChecked(unique);
    }
}

void DragDropWindow::UniqueButtonClicked()
{
    const Application* application = Application::Instance();
    const int row = application->BatchRowOfPath(application->CurrentForegroundPath());
    if (row >= 0 && !application->IsBatchRowOffline(row)) {
        emit MakeImageUnique();
        return;
    }
    // Nothing changed: the button goes back to what the canvas image is.
    if (m_uniqueButton) {
        const QSignalBlocker block(m_uniqueButton);
        m_uniqueButton->setChecked(!m_uniqueButton->isChecked());
    }
}

void DragDropWindow::AllowUseButton(bool allowed)
{
    if (!m_viewButton) {
        return;
    }
    const Application* application = Application::Instance();
    const QString chosen
        = application->BatchPathOfIndex(application->BatchSelectionModel()->currentIndex());
    m_viewButton->setVisible(
        allowed && !chosen.isEmpty() && chosen != application->CurrentForegroundPath());
}

void DragDropWindow::UseSelectedImage()
{
    Application* application = Application::Instance();
    const QModelIndex current = application->BatchSelectionModel()->currentIndex();
    const int row = application->BatchRowOfIndex(current);
    const QString path = application->BatchPathOfRow(row);
    auto& batch = application->GetProject()->GetForegroundImageList();
    if (row >= 0 && batch.Find(path)) {
        const auto image = batch.Get(path);
        if (application->SetForegroundLayerImage(path, image->IsUnique())) {
            import::MarkViewed(row, *image);
            import::FollowForegroundSize();
            UpdateUniqueButton(image->IsUnique(), true);
            emit SetNewForegroundImage();
        }
    }
    if (m_viewButton) {
        m_viewButton->hide();
    }
}

// --- Drops ---------------------------------------------------------------------------------

void DragDropWindow::SetHighlighted(bool highlighted)
{
    setBackgroundRole(highlighted ? QPalette::Midlight : QPalette::Shadow);
    update();
}

void DragDropWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (!mime->hasUrls()) {
        return;
    }
    if (m_mode == SingleImageMode) {
        const QList<QUrl> urls = mime->urls();
        if (urls.size() == 1
            && (!urls.front().isLocalFile() || QFileInfo(urls.front().toLocalFile()).isDir())) {
            return;
        }
    }
    SetHighlighted(true);
    event->acceptProposedAction();
}

void DragDropWindow::dragLeaveEvent(QDragLeaveEvent* event)
{
    SetHighlighted(false);
    QFrame::dragLeaveEvent(event);
}

void DragDropWindow::dropEvent(QDropEvent* event)
{
    SetHighlighted(false);
    event->acceptProposedAction();
    emit DragDropDataAdded(event->mimeData());
    emit DragDropDataAdded();
}

} // namespace mtra::ui
