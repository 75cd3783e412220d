// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "import/SingleImport.h"

#include "Application.h"
#include "Dialogs.h"
#include "WaitCursor.h"
#include "import/DragDropWindow.h"
#include "import/ImportSupport.h"
#include "sections/SectionFrame.h"
#include "toolset/TitleWidget.h"

#include <app/Canvas.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace mtra::ui {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

Application& App()
{
    return *Application::Instance();
}

} // namespace

SingleImport::SingleImport(app::LayerID layer, const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_layer(layer)
    , m_title(new TitleWidget(title, true, false, true, true, true, this))
    , m_body(new BodyWidget(this))
    , m_window(new DragDropWindow(DragDropWindow::SingleImageMode, false, m_body))
    , m_changeButton(new QPushButton(QIcon(QStringLiteral(":/Icons/Plus.png")),
          tr("Change", "Exchange an image for another"), m_body))
    , m_removeButton(new QPushButton(
          QIcon(QStringLiteral(":/Icons/Minus.png")), tr("Remove", "Remove the image"), m_body))
{
    StackTitleOverBody(this, m_title, m_body);
    auto* body = new QVBoxLayout(m_body);
    body->addWidget(m_window);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_changeButton);
    buttons->addWidget(m_removeButton);
    body->addLayout(buttons);

    connect(m_window, qOverload<const QMimeData*>(&DragDropWindow::DragDropDataAdded), this,
        &SingleImport::ReplaceImage);
    connect(m_window, &DragDropWindow::MousePressDetected, this, &SingleImport::RelinkImage);
    connect(m_changeButton, &QPushButton::clicked, this, &SingleImport::ChangeImage);
    connect(m_removeButton, &QPushButton::clicked, this, &SingleImport::RemoveImage);
    connect(m_title, &TitleWidget::CollapseWidgetBody, this, &SingleImport::SetCollapsed);
    connect(m_title, &TitleWidget::EnableWidgetBody, this, &SingleImport::SetEnabled);
}

std::shared_ptr<app::AbstractImage> SingleImport::LayerImage() const
{
    const auto project = App().GetProject();
    if (!project) {
        return nullptr;
    }
    if (m_layer == app::OverlayLayer) {
        return project->GetOverlayImage();
    }
    return project->GetBackgroundImage();
}

bool SingleImport::LoadSingleImage(const QString& path, bool byUser)
{
    if ((byUser && !m_enabled) || path.isEmpty()) {
        return false;
    }
    WaitCursor wait;
    const auto previous = LayerImage();
    const bool wasEnabled = !previous || previous->IsEnabled();
    const bool loaded = m_layer == app::OverlayLayer ? App().SetOverlayLayerImage(path)
                                                     : App().SetBackgroundLayerImage(path);
    if (!loaded) {
        return false;
    }
    m_path = path;
    if (const auto image = LayerImage(); image && !wasEnabled) {
        image->SetEnabled(false);
    }
    m_window->UpdateThumbnail(QString(), m_layer);
    if (m_layer == app::BackgroundLayer) {
        import::ResizeCanvasTo(app::DimensionAsBackground, App().BackgroundSize());
        App().RefreshLayer(app::BackgroundLayer, app::Stage::Filter, DownsampleFull);
    } else {
        emit NewOverlayAdded();
    }
    return true;
}

void SingleImport::ChangeImage()
{
    const QString file = Dialogs().OpenFileName(this,
        m_layer == app::OverlayLayer ? tr("Import overlay image") : tr("Import background image"),
        m_path, import::ImageFilter());
    if (!file.isEmpty() && LoadSingleImage(file)) {
        m_offline = false;
    }
}

void SingleImport::RelinkImage()
{
    if (!m_offline) {
        return;
    }
    const QString file = Dialogs().OpenFileName(this,
        m_layer == app::OverlayLayer ? tr("Relink overlay image") : tr("Relink background image"),
        m_path, import::ImageFilter());
    if (!file.isEmpty() && LoadSingleImage(file)) {
        m_offline = false;
    }
}

void SingleImport::RemoveImage()
{
    if (m_path.isEmpty()
        || Ask(this, tr("Are you sure you wish to remove the selected image?"),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            != QMessageBox::Yes) {
        return;
    }
    m_path.clear();
    m_offline = false;
    const bool overlay = m_layer == app::OverlayLayer;
    App().RemoveLayerImage(m_layer);
    // An offline image never reached the engine; it leaves the project all the same.
    if (const auto project = App().GetProject(); LayerImage()) {
        if (overlay) {
            project->ClearOverlayImage();
        } else {
            project->ClearBackgroundImage();
        }
        App().MarkProjectModified();
    }
    App().ShowLayerPlaceholder(overlay);
    m_window->UpdateThumbnail(QString(), m_layer);
}

void SingleImport::ReplaceImage(const QMimeData* mime)
{
    if (mime == nullptr || !mime->hasUrls()) {
        return;
    }
    const QList<QUrl> urls = mime->urls();
    if (urls.size() > 1) {
        const QString question = m_layer == app::OverlayLayer
            ? tr("The overlay layer only supports 1 image?")
            : tr("The background layer only supports 1 image?");
        if (Ask(this, question, QMessageBox::Ok | QMessageBox::No, QMessageBox::Ok)
            != QMessageBox::Ok) {
            return;
        }
    }
    if (urls.front().isLocalFile() && LoadSingleImage(urls.front().toLocalFile())) {
        m_offline = false;
    }
}

// --- Group state ---------------------------------------------------------------------------

void SingleImport::RefreshLayer()
{
    if (m_layer == app::OverlayLayer) {
        App().InvalidateStage(app::OverlayLayer, app::Stage::Transform, DownsampleQuarter);
        App().RefreshLayer(app::OverlayLayer, app::Stage::Transform, DownsampleFull);
    } else {
        App().InvalidateStage(app::BackgroundLayer, app::Stage::Filter, DownsampleQuarter);
        App().RefreshLayer(app::BackgroundLayer, app::Stage::Filter, DownsampleFull);
    }
}

void SingleImport::ApplyEnabled(bool enabled)
{
    m_enabled = enabled;
    m_body->setEnabled(enabled);
    m_title->ShowSwitchedOn(enabled);
    if (const auto image = LayerImage()) {
        image->SetEnabled(enabled);
    }
    m_window->UpdateThumbnail(QString(), m_layer);
}

void SingleImport::SetEnabled(int state)
{
    const bool enabled = state == Qt::Checked;
    const auto image = LayerImage();
    const bool changed = image && image->IsEnabled() != enabled;
    ApplyEnabled(enabled);
    if (changed) {
        App().MarkProjectModified();
    }
    RefreshLayer();
}

void SingleImport::ApplyCollapsed(bool shown)
{
    m_shown = shown;
    m_body->setVisible(shown);
    m_title->ShowExpanded(shown);
    if (const auto image = LayerImage()) {
        image->SetCollapsed(!shown);
    }
}

void SingleImport::SetCollapsed(bool shown)
{
    const auto image = LayerImage();
    const bool changed = image && image->IsCollapsed() == shown;
    ApplyCollapsed(shown);
    if (changed) {
        App().MarkProjectModified();
    }
}

void SingleImport::UpdateFromProject()
{
    m_offline = false;
    const bool overlay = m_layer == app::OverlayLayer;
    const auto image = LayerImage();
    if (!image) {
        m_path.clear();
        ApplyEnabled(true);
        ApplyCollapsed(true);
        m_title->Reset();
        App().ShowLayerPlaceholder(overlay);
        m_window->UpdateThumbnail(QString(), m_layer);
        return;
    }
    const bool enabled = image->IsEnabled();
    const bool collapsed = image->IsCollapsed();
    const QString path = image->Path();
    QSize size;
    if (app::PhotoSize(path, size) != app::MT_OK || !LoadSingleImage(path, false)) {
        App().ShowLayerOfflinePreview(overlay);
        m_window->UpdateThumbnail(QString(), m_layer);
        m_path = path;
        m_offline = true;
    }
    ApplyEnabled(enabled);
    ApplyCollapsed(!collapsed);
}

} // namespace mtra::ui
