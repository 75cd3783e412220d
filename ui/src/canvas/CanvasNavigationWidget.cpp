// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "canvas/CanvasNavigationWidget.h"

#include "Application.h"
#include "canvas/CanvasIcons.h"

#include <app/ForegroundImageList.h>
#include <app/LayerImages.h>
#include <app/Project.h>

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

namespace mtra::ui {

namespace {

constexpr int kRepeatDelay = 500;
constexpr int kRepeatInterval = 100;

// The arrows stand in for the two-button push buttons of the toolset's controls: a left click
// (held: repeated) steps one way, a right click the other.
QToolButton* MakeArrow(QWidget* parent, const QString& name, Qt::ArrowType arrow)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setArrowType(arrow);
    button->setFixedSize(32, 32);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(kRepeatDelay);
    button->setAutoRepeatInterval(kRepeatInterval);
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    return button;
}

bool IsCurrentImageUnique()
{
    Application& app = *Application::Instance();
    const QString& path = app.CurrentForegroundPath();
    if (path.isEmpty() || app.BatchRowOfPath(path) < 0) {
        return false;
    }
    const auto image = app.GetProject()->GetForegroundImageList().Get(path);
    return image && image->IsUnique();
}

} // namespace

CanvasNavigationWidget::CanvasNavigationWidget(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("CanvasNavigationWidget"));
    // Readable over the black canvas until the style sheet gives the row its look.
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(10);

    m_upButton = MakeArrow(this, QStringLiteral("NavigateUpButton"), Qt::UpArrow);
    m_uniqueButton = new QPushButton(
        CanvasIcon(QStringLiteral(":Icons/ImageUnique.png")), tr("Set Unique"), this);
    m_uniqueButton->setCheckable(true);
    m_downButton = MakeArrow(this, QStringLiteral("NavigateDownButton"), Qt::DownArrow);
    row->addWidget(m_upButton);
    row->addWidget(m_uniqueButton);
    row->addWidget(m_downButton);

    connect(m_upButton, &QToolButton::clicked, this, &CanvasNavigationWidget::DownButtonClicked);
    connect(m_upButton, &QToolButton::customContextMenuRequested, this,
        &CanvasNavigationWidget::UpButtonClicked);
    connect(m_downButton, &QToolButton::clicked, this, &CanvasNavigationWidget::UpButtonClicked);
    connect(m_downButton, &QToolButton::customContextMenuRequested, this,
        &CanvasNavigationWidget::DownButtonClicked);
    connect(
        m_uniqueButton, &QPushButton::clicked, this, &CanvasNavigationWidget::UniqueButtonClicked);

    UpdateFromProject();
    Application::Instance()->SetNavigationHeight(sizeHint().height() + 4);
}

void CanvasNavigationWidget::ShowUnique(bool unique)
{
    m_uniqueButton->setChecked(unique);
    m_uniqueButton->setIcon(CanvasIcon(unique ? QStringLiteral(":Icons/ImageUniqueEnabled.png")
                                              : QStringLiteral(":Icons/ImageUnique.png")));
}

void CanvasNavigationWidget::UpdateUniqueButton(bool unique, bool show)
{
    if (show) {
        ShowUnique(unique);
    }
}

void CanvasNavigationWidget::UpdateFromProject()
{
    ShowUnique(IsCurrentImageUnique());
}

int CanvasNavigationWidget::SelectCanvasRow() const
{
    Application& app = *Application::Instance();
    const QString& path = app.CurrentForegroundPath();
    const int row = path.isEmpty() ? -1 : app.BatchRowOfPath(path);
    if (row >= 0) {
        app.BatchSelectionModel()->setCurrentIndex(
            app.BatchIndexOfRow(row), QItemSelectionModel::ClearAndSelect);
    }
    return row;
}

void CanvasNavigationWidget::UniqueButtonClicked()
{
    Application& app = *Application::Instance();
    const QString& path = app.CurrentForegroundPath();
    const int row = path.isEmpty() ? -1 : app.BatchRowOfPath(path);
    // An image that is not in the batch, offline or gone from the disk keeps its settings as
    // they are.
    if (row < 0 || app.IsBatchRowOffline(row) || !QFileInfo::exists(path)) {
        ShowUnique(IsCurrentImageUnique());
        return;
    }
    SelectCanvasRow();
    ShowUnique(m_uniqueButton->isChecked());
    emit SetUnique();
    emit UpdateUniqueUI();
}

void CanvasNavigationWidget::UpButtonClicked()
{
    SelectCanvasRow();
    emit NavigateButtonClicked(+1, true);
    emit UpdateUniqueUI();
}

void CanvasNavigationWidget::DownButtonClicked()
{
    SelectCanvasRow();
    emit NavigateButtonClicked(-1, true);
    emit UpdateUniqueUI();
}

} // namespace mtra::ui
