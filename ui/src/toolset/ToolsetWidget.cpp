// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "toolset/ToolsetWidget.h"

#include "Application.h"
#include "toolset/ToolsetButton.h"

#include <app/Project.h>

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QMouseEvent>
#include <QSettings>
#include <QVBoxLayout>

namespace mtra::ui {

using app::ToolsetSections;

namespace {

struct SectionButton {
    ToolsetSections section;
    const char* text;
    const char* icon;
};

const SectionButton kSections[] = {
    { app::SectionCanvasSize, QT_TRANSLATE_NOOP("Toolset section", "Canvas"),
        ":/Toolset/SectionCanvasSize.png" },
    { app::SectionImport, QT_TRANSLATE_NOOP("Toolset section", "Import"),
        ":/Toolset/SectionImport.png" },
    { app::SectionKey, QT_TRANSLATE_NOOP("Toolset section", "Key"), ":/Toolset/SectionKey.png" },
    { app::SectionFilters, QT_TRANSLATE_NOOP("Toolset section", "Filters"),
        ":/Toolset/SectionFilters.png" },
    { app::SectionPosition, QT_TRANSLATE_NOOP("Toolset section", "Position"),
        ":/Toolset/SectionPosition.png" },
    { app::SectionCombine, QT_TRANSLATE_NOOP("Toolset section", "Combine"),
        ":/Toolset/SectionCombine.png" },
    { app::SectionOverlay, QT_TRANSLATE_NOOP("Toolset section", "Overlay"),
        ":/Toolset/SectionOverlay.png" },
    { app::SectionExport, QT_TRANSLATE_NOOP("Toolset section", "Export"),
        ":/Toolset/SectionExport.png" },
};

QString FrameStyle(const char* frame, bool right)
{
    return right ? QStringLiteral("#%1 { border-image: url(:Toolset/ToolsetBackgroundRight.png) "
                                  "5px 0px 5px 5px; border-width: 4px 0px 4px 4px; }")
                       .arg(QLatin1String(frame))
                 : QStringLiteral("#%1 { border-image: url(:Toolset/ToolsetBackgroundLeft.png) "
                                  "5px 5px 5px 0px; border-width: 4px 4px 4px 0px; }")
                       .arg(QLatin1String(frame));
}

QString SlideStyle(const char* unchecked, const char* checked)
{
    return QStringLiteral("QPushButton#ToolsetSlideButton { border-image: url(:Toolset/%1) 0px "
                          "0px 0px 0px; }")
               .arg(QLatin1String(unchecked))
        + QString(11, QLatin1Char('\t'))
        + QStringLiteral(" QPushButton#ToolsetSlideButton:checked { border-image: "
                         "url(:Toolset/%1) 0px 0px 0px 0px; }")
              .arg(QLatin1String(checked));
}

QFrame* SpacerFrame(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    frame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return frame;
}

QVBoxLayout* Column(int left, int top, int right, int bottom, int spacing)
{
    auto* column = new QVBoxLayout;
    column->setContentsMargins(left, top, right, bottom);
    column->setSpacing(spacing);
    return column;
}

} // namespace

ToolsetWidget::ToolsetWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ToolsetWidget"));

    m_buttonFrame = new QFrame(this);
    m_buttonFrame->setObjectName(QStringLiteral("ButtonWidget"));
    m_buttonLayout = Column(5, 5, 5, 5, 5);
    m_buttonFrame->setLayout(m_buttonLayout);
    m_printFrame = new QFrame(this);
    m_printFrame->setObjectName(QStringLiteral("PrintWidget"));
    m_printFrame->setLayout(Column(5, 5, 5, 5, 5));

    m_slideButton = new QPushButton(m_buttonFrame);
    m_slideButton->setObjectName(QStringLiteral("ToolsetSlideButton"));
    m_slideButton->setCheckable(true);
    m_slideButton->setFixedSize(16, 16);
    connect(m_slideButton, &QPushButton::clicked, this, &ToolsetWidget::ToolsetSlideClicked);
    m_slideRow = new QHBoxLayout;
    m_slideRow->setContentsMargins(0, 0, 0, 0);
    m_slideRow->setSpacing(0);
    m_slideRow->addWidget(m_slideButton);
    m_slideRow->setAlignment(Qt::AlignRight);
    m_buttonLayout->addLayout(m_slideRow);

    QVBoxLayout* tooltips = Column(0, 30, 0, 5, 5);
    for (const SectionButton& entry : kSections) {
        auto* button = new ToolsetButton(QIcon(QLatin1String(entry.icon)),
            QCoreApplication::translate("Toolset section", entry.text), m_buttonFrame);
        button->setCheckable(true);
        button->setAutoExclusive(true);
        connect(button, &QPushButton::clicked, this, &ToolsetWidget::ButtonChecked);
        connect(this, &ToolsetWidget::MinimiseToolset, button, &ToolsetButton::MinimiseToolset);
        connect(this, &ToolsetWidget::FlipToolset, button, &ToolsetButton::FlipToolset);
        m_buttons[entry.section] = button;

        auto* tooltip = new ToolsetTooltip(button->Label(), this);
        connect(button, &ToolsetButton::ButtonHoverEnter, tooltip, &ToolsetTooltip::ShowTooltip);
        connect(button, &ToolsetButton::ButtonHoverLeave, tooltip, &ToolsetTooltip::HideTooltip);
        connect(this, &ToolsetWidget::TooltipMode, tooltip, &ToolsetTooltip::TooltipMode);
        m_tooltips[entry.section] = tooltip;
        m_buttonLayout->addWidget(button);
        tooltips->addWidget(tooltip);
    }
    tooltips->addStretch();

    m_printButton = new ToolsetButton(
        QIcon(QStringLiteral(":/Toolset/SectionPrint.png")), tr("Print"), m_printFrame);
    connect(m_printButton, &QPushButton::clicked, this, &ToolsetWidget::ActivatePrintDialog);
    connect(this, &ToolsetWidget::MinimiseToolset, m_printButton, &ToolsetButton::MinimiseToolset);
    connect(this, &ToolsetWidget::FlipToolset, m_printButton, &ToolsetButton::FlipToolset);
    m_printFrame->layout()->addWidget(m_printButton);
    auto* printTooltip = new ToolsetTooltip(m_printButton->Label(), this);
    connect(m_printButton, &ToolsetButton::ButtonHoverEnter, printTooltip,
        &ToolsetTooltip::ShowTooltip);
    connect(m_printButton, &ToolsetButton::ButtonHoverLeave, printTooltip,
        &ToolsetTooltip::HideTooltip);
    connect(this, &ToolsetWidget::TooltipMode, printTooltip, &ToolsetTooltip::TooltipMode);
    QVBoxLayout* printTooltips = Column(0, 0, 0, 0, 0);
    printTooltips->addWidget(printTooltip);

    m_grid = new QGridLayout;
    m_grid->setContentsMargins(0, 25, 0, 0);
    m_grid->setHorizontalSpacing(10);
    m_grid->setVerticalSpacing(0);
    m_grid->addWidget(m_buttonFrame, 0, 0);
    m_grid->addLayout(tooltips, 0, 1);
    m_grid->setRowMinimumHeight(1, 10);
    m_grid->addWidget(m_printFrame, 2, 0);
    m_grid->addLayout(printTooltips, 2, 1);

    m_leftSpacer = SpacerFrame(this);
    m_rightSpacer = SpacerFrame(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_leftSpacer);
    layout->addLayout(m_grid);
    layout->addWidget(m_rightSpacer);

    SetupToolset();
}

ToolsetButton* ToolsetWidget::Button(ToolsetSections section) const
{
    const auto found = m_buttons.find(section);
    return found == m_buttons.end() ? nullptr : found->second;
}

ToolsetTooltip* ToolsetWidget::Tooltip(ToolsetSections section) const
{
    const auto found = m_tooltips.find(section);
    return found == m_tooltips.end() ? nullptr : found->second;
}

int ToolsetWidget::ButtonColumnWidth() const
{
    return m_buttonLayout->sizeHint().width() + 4;
}

void ToolsetWidget::ButtonChecked()
{
    for (const auto& [section, button] : m_buttons) {
        if (button->isChecked()) {
            m_currentSection = section;
            emit ActivateToolset(section);
            return;
        }
    }
}

void ToolsetWidget::SelectImportPage()
{
    if (m_currentSection == app::SectionImport || m_currentSection == app::SectionOverlay) {
        return;
    }
    m_buttons.at(app::SectionImport)->setChecked(true);
    m_currentSection = app::SectionImport;
    emit ActivateToolset(app::SectionImport);
}

void ToolsetWidget::SetupToolset()
{
    Application& app = *Application::Instance();
    ToolsetSections section = app.GetProject()->CurrentToolset();
    if (m_buttons.count(section) == 0) {
        // A project file may name a section that does not exist: the first one stands in.
        section = app::SectionCanvasSize;
        app.GetProject()->SetCurrentToolset(section);
    }
    m_buttons.at(section)->setChecked(true);
    m_currentSection = section;
    ButtonChecked();

    // Any stored value but 0 stands for the other choice.
    QSettings settings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch"));
    settings.beginGroup(QStringLiteral("MainWindow"));
    SetToolsetPosition(settings.value(QStringLiteral("ToolsetPosition"), 0).toInt() != 0
            ? app::ToolsetRight
            : app::ToolsetLeft);
    SetToolsetState(settings.value(QStringLiteral("ToolsetState"), 0).toInt() != 0
            ? app::ToolsetCollapsed
            : app::ToolsetExpanded);
    app.SetToolsetWidth(ButtonColumnWidth());
}

void ToolsetWidget::ToolsetSlideClicked()
{
    SetToolsetState(m_slideButton->isChecked() ? app::ToolsetCollapsed : app::ToolsetExpanded);
}

void ToolsetWidget::SetToolsetState(app::ToolsetStateID state)
{
    Application& app = *Application::Instance();
    app.GetProject()->SetToolsetState(state);
    const bool collapsed = state == app::ToolsetCollapsed;
    // The buttons' texts go or come first, so that the width below is the new one.
    emit MinimiseToolset(collapsed);
    emit TooltipMode(collapsed);
    m_slideButton->setChecked(collapsed);
    if (m_buttonLayout->count() > 0) {
        app.SetToolsetWidth(ButtonColumnWidth());
    }
}

void ToolsetWidget::SwapColumns()
{
    for (int row : { 0, 2 }) {
        QLayoutItem* first = m_grid->itemAtPosition(row, 0);
        QLayoutItem* second = m_grid->itemAtPosition(row, 1);
        if (first == nullptr || second == nullptr) {
            continue;
        }
        m_grid->removeItem(first);
        m_grid->removeItem(second);
        m_grid->addItem(second, row, 0);
        m_grid->addItem(first, row, 1);
    }
    m_grid->update();
}

void ToolsetWidget::SetToolsetPosition(app::ToolsetPositionID position)
{
    const bool right = position != app::ToolsetLeft;
    m_buttonFrame->setStyleSheet(FrameStyle("ButtonWidget", right));
    m_printFrame->setStyleSheet(FrameStyle("PrintWidget", right));
    if (right != m_swapped) {
        SwapColumns();
        m_swapped = right;
    }
    if (right) {
        m_slideButton->setStyleSheet(SlideStyle("ToolsetCollapsed.png", "ToolsetExpanded.png"));
        m_slideRow->setAlignment(Qt::AlignLeft);
    } else {
        m_slideButton->setStyleSheet(SlideStyle("ToolsetExpanded.png", "ToolsetCollapsed.png"));
        m_slideRow->setAlignment(Qt::AlignRight);
    }
    m_leftSpacer->setVisible(right);
    m_rightSpacer->setVisible(!right);
    emit FlipToolset(!right);
    Application::Instance()->GetProject()->SetToolsetPosition(
        right ? app::ToolsetRight : app::ToolsetLeft);
}

QPoint ToolsetWidget::ViewPosition(const QMouseEvent& event) const
{
    return mapToParent(event.position().toPoint());
}

void ToolsetWidget::mousePressEvent(QMouseEvent* event)
{
    // The press reached the toolset itself: it fell on its free area, not on a button.
    if (event->button() == Qt::LeftButton) {
        const QPoint at = ViewPosition(*event);
        Application::Instance()->StartCanvasDrag(at.x(), at.y());
        m_dragging = true;
    }
    // Accepted: passed on, the view beneath would start a second drag of its own.
    event->accept();
}

void ToolsetWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) {
        const QPoint at = ViewPosition(*event);
        Application::Instance()->DragCanvas(at.x(), at.y());
    }
    event->accept();
}

void ToolsetWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        Application& app = *Application::Instance();
        app.EndCanvasDrag();
        app.RefreshCanvas(orv::image::DownsampleFull);
    }
    event->accept();
}

} // namespace mtra::ui
