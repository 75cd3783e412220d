// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "export/ExportSection.h"

#include "export/ExportCodecWidget.h"
#include "export/ExportSelectionWidget.h"
#include "sections/SectionFrame.h"

#include <QVBoxLayout>

namespace mtra::ui {

ExportSection::ExportSection(QWidget* parent)
    : ToolboxPage(app::SectionExport, tr("Export"), Empty {}, parent)
    , m_codec(new ExportCodecWidget)
    , m_selection(new ExportSelectionWidget)
{
    auto* layout = new QVBoxLayout(AddScrolledFrame(this));
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(m_codec);
    layout->addWidget(m_selection);
    layout->addStretch(1);
    connect(m_selection, &ExportSelectionWidget::UpdateUniqueButton, this,
        &ExportSection::UpdateUniqueButton);
    connect(this, &ExportSection::SetUnique, m_selection, &ExportSelectionWidget::MakeImageUnique);
}

void ExportSection::UpdateFromProject()
{
    m_codec->UpdateFromProject();
    m_selection->UpdateFromProject();
    emit PageUpdated();
}

void ExportSection::showEvent(QShowEvent* event)
{
    ToolboxPage::showEvent(event);
    m_selection->UpdateFromProject();
}

} // namespace mtra::ui
