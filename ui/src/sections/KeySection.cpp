// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "sections/KeySection.h"

#include "Application.h"
#include "items/CurrentImage.h"
#include "items/KeyWidgets.h"
#include "sections/SectionFrame.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QPushButton>

namespace mtra::ui {

namespace {

/// The application's first-rebuild flag of the key list.
constexpr int kKeyListRebuild = 0;

} // namespace

KeySection::KeySection(QWidget* parent)
    : ToolboxPage(app::SectionKey, tr("Key"), Empty {}, parent)
    , m_grid(new QGridLayout(AddScrolledFrame(this)))
{
    m_grid->setContentsMargins(10, 10, 10, 10);
    m_grid->setVerticalSpacing(10);
}

void KeySection::UpdateFromProject()
{
    Application& app = *Application::Instance();
    const auto image = CurrentImage();
    const bool first = app.TakeFirstRebuild(kKeyListRebuild);
    if (!image->IsUnique() && m_showsSharedSettings && !first) {
        emit PageUpdated();
        return;
    }
    ClearGrid(m_grid);
    m_widgets.clear();
    const app::KeyList& keys = image->ForegroundSettings()->Keys();
    int row = 0;
    for (auto it = keys.Begin(); it != keys.End(); ++it) {
        if (AbstractKeyWidget* widget = CreateKeyWidget(*it, nullptr)) {
            m_grid->addWidget(widget, row++, 0);
            m_widgets.push_back(widget);
        }
    }
    m_showsSharedSettings = !image->IsUnique();
    QPushButton* reset = NewResetButton(nullptr);
    connect(reset, &QPushButton::clicked, this, &KeySection::ResetFilters);
    m_grid->addWidget(reset, row, 0, Qt::AlignRight);
    m_grid->setRowStretch(row + 1, 1);
    emit PageUpdated();
}

void KeySection::ResetFilters()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    for (AbstractKeyWidget* widget : m_widgets) {
        widget->Reset();
    }
    Application& app = *Application::Instance();
    app.ItemChanged(app::ForegroundLayer, app::Stage::Key);
    app.RefreshLayer(app::ForegroundLayer, app::Stage::Key, orv::image::DownsampleFull);
    QGuiApplication::restoreOverrideCursor();
}

} // namespace mtra::ui
