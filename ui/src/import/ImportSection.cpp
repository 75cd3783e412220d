// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "import/ImportSection.h"

#include "Application.h"
#include "import/BatchImport.h"
#include "import/DragDropWindow.h"
#include "import/ListView.h"
#include "import/SingleImport.h"
#include "sections/SectionFrame.h"

#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/Project.h>

#include <QGridLayout>

namespace mtra::ui {

ImportSection::ImportSection(QWidget* parent)
    : ToolboxPage(app::SectionImport, tr("Import"), Empty {}, parent)
{
    QFrame* frame = AddScrolledFrame(this);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setVerticalSpacing(10);
    m_batch = new BatchImport(frame);
    m_background = new SingleImport(app::BackgroundLayer, tr("Background", "Base layer"), frame);
    m_spacer = new QWidget(frame);
    m_spacer->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_spacer->hide();
    grid->addWidget(m_batch, 0, 0);
    grid->addWidget(m_background, 1, 0);
    grid->addWidget(m_spacer, 2, 0);

    connect(this, &ImportSection::SetUnique, m_batch, &BatchImport::MakeImageUnique);
    connect(
        this, &ImportSection::NavigateButtonClicked, m_batch, &BatchImport::MoveCurrentSelection);
    connect(m_batch, &BatchImport::UpdateUniqueButton, this, &ImportSection::UpdateUniqueButton);
    connect(m_batch, &BatchImport::ForegroundIsCollapsed, m_spacer, &QWidget::setVisible);
}

void ImportSection::UpdateFromProject()
{
    m_batch->UpdateFromProject();
    m_background->UpdateFromProject();
    emit PageUpdated();
}

void ImportSection::Reselect()
{
    Application& application = *Application::Instance();
    const QModelIndex current = application.BatchSelectionModel()->currentIndex();
    if (!current.isValid()) {
        return;
    }
    application.BatchSelectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    const QString path = application.BatchPathOfIndex(current);
    const auto& batch = application.GetProject()->GetForegroundImageList();
    if (batch.Find(path) && !application.IsBatchRowOffline(current.row())) {
        m_batch->Preview()->UpdateThumbnail(
            batch.Get(path)->ThumbnailFilename(), app::ForegroundLayer);
    }
}

} // namespace mtra::ui
