// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "toolset/ToolboxDockWidget.h"

#include "Application.h"
#include "MainWindow.h"
#include "controls/Controls.h"
#include "export/ExportSection.h"
#include "import/ImportSection.h"
#include "sections/CanvasSizeSection.h"
#include "sections/CompositeSection.h"
#include "sections/FiltersSection.h"
#include "sections/KeySection.h"
#include "sections/OverlaySection.h"
#include "sections/PositionSection.h"
#include "toolset/ButtonDefault.h"

#include <app/Project.h>

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace mtra::ui {

using app::ToolsetSections;

namespace {

app::Project& CurrentProject()
{
    return *Application::Instance()->GetProject();
}

const char* const kPageNames[] = {
    QT_TRANSLATE_NOOP("Toolbox page", "Canvas Size"),
    QT_TRANSLATE_NOOP("Toolbox page", "Import"),
    QT_TRANSLATE_NOOP("Toolbox page", "Key"),
    QT_TRANSLATE_NOOP("Toolbox page", "Filters"),
    QT_TRANSLATE_NOOP("Toolbox page", "Position"),
    QT_TRANSLATE_NOOP("Toolbox page", "Combine"),
    QT_TRANSLATE_NOOP("Toolbox page", "Overlay"),
    QT_TRANSLATE_NOOP("Toolbox page", "Export"),
};

const char* const kPageObjectNames[] = { "CanvasSizeSection", "ImportSection", "KeySection",
    "FiltersSection", "PositionSection", "CompositeSection", "OverlaySection", "ExportSection" };

QFont BoldFont()
{
    QFont font(QStringLiteral("Tahoma"), 8, QFont::Bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

/// The section's own page where one exists, else the named placeholder.
ToolboxPage* CreatePage(ToolsetSections section, QWidget* parent)
{
    switch (section) {
    case app::SectionCanvasSize:
        return new CanvasSizeSection(parent);
    case app::SectionImport:
        return new ImportSection(parent);
    case app::SectionKey:
        return new KeySection(parent);
    case app::SectionFilters:
        return new FiltersSection(parent);
    case app::SectionPosition:
        return new PositionSection(parent);
    case app::SectionCombine:
        return new CompositeSection(parent);
    case app::SectionOverlay:
        return new OverlaySection(parent);
    case app::SectionExport:
        return new ExportSection(parent);
    default:
        return new ToolboxPage(
            section, QCoreApplication::translate("Toolbox page", kPageNames[section]), parent);
    }
}

} // namespace

// --- ToolboxPage ---------------------------------------------------------------------------

ToolboxPage::ToolboxPage(ToolsetSections section, const QString& name, QWidget* parent)
    : QWidget(parent)
    , m_section(section)
    , m_name(name)
{
    setObjectName(QLatin1String(kPageObjectNames[section]));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(new ToolboxLabel(name, this));
    layout->addStretch();
}

ToolboxPage::ToolboxPage(ToolsetSections section, const QString& name, Empty, QWidget* parent)
    : QWidget(parent)
    , m_section(section)
    , m_name(name)
{
    setObjectName(QLatin1String(kPageObjectNames[section]));
}

void ToolboxPage::UpdateFromProject()
{
    emit PageUpdated();
}

void ToolboxPage::RefreshPage()
{
    UpdateFromProject();
}

// --- ToolboxDockTitleBar -------------------------------------------------------------------

ToolboxDockTitleBar::ToolboxDockTitleBar(QDockWidget* dock)
    : QWidget(dock)
    , m_dock(dock)
{
    setObjectName(QStringLiteral("ToolboxDockTitleBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* floatButton = new QPushButton(this);
    floatButton->setObjectName(QStringLiteral("ToolboxFloatButton"));
    floatButton->setFlat(true);
    floatButton->setFixedSize(16, 16);
    floatButton->setToolTip(tr("Undock Toolbox"));
    connect(floatButton, &QPushButton::clicked, this, &ToolboxDockTitleBar::FloatDock);
    layout->addWidget(floatButton);

    auto* label = new QLabel(tr("Toolbox"), this);
    label->setFont(BoldFont());
    layout->addWidget(label);
    layout->addStretch();

    auto* help = new ButtonDefault(QIcon(QStringLiteral(":Icons/Help.png")), tr("Help"), this);
    help->setFixedHeight(20);
    connect(help, &QPushButton::clicked, this, &ToolboxDockTitleBar::OpenHelp);
    layout->addWidget(help);
    layout->addSpacing(10);
}

QSize ToolboxDockTitleBar::minimumSizeHint() const
{
    return QSize(QWidget::minimumSizeHint().width(), 25);
}

void ToolboxDockTitleBar::FloatDock()
{
    m_dock->setFloating(!m_dock->isFloating());
}

void ToolboxDockTitleBar::OpenHelp()
{
    // A floating dock keeps the main window as its parent.
    for (QWidget* widget = m_dock->parentWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (auto* window = qobject_cast<MainWindow*>(widget)) {
            window->OpenHelp(static_cast<int>(CurrentProject().CurrentToolset()));
            return;
        }
    }
}

void ToolboxDockTitleBar::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor(77, 77, 77));
    shade.setColorAt(0.5, QColor(52, 52, 52));
    shade.setColorAt(0.51, QColor(38, 38, 38));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRect(rect());
}

// --- ToolboxDockWidget ---------------------------------------------------------------------

ToolboxDockWidget::ToolboxDockWidget(const QString& title, QWidget* parent)
    : QDockWidget(title, parent)
    , m_pages(new QStackedWidget(this))
{
    setTitleBarWidget(new ToolboxDockTitleBar(this));
    setObjectName(QStringLiteral("ToolboxDockWidget"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    setAcceptDrops(false);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    m_pages->setMinimumWidth(300);
    m_pages->setMaximumWidth(400);
    connect(m_pages, &QStackedWidget::currentChanged, this, &ToolboxDockWidget::UpdateToolboxPage);
    connect(this, &QDockWidget::topLevelChanged, this, &ToolboxDockWidget::DockIsFloating);

    for (int section = app::SectionCanvasSize; section <= app::SectionExport; ++section) {
        ToolboxPage* page = CreatePage(static_cast<ToolsetSections>(section), m_pages);
        connect(this, &ToolboxDockWidget::UpdateFromProject, page, &ToolboxPage::UpdateFromProject);
        m_page[static_cast<std::size_t>(section)] = page;
        m_pages->addWidget(page);
        if (auto* import = qobject_cast<ImportSection*>(page)) {
            connect(this, &ToolboxDockWidget::SetUnique, import, &ImportSection::SetUnique);
            connect(this, &ToolboxDockWidget::NavigateButtonClicked, import,
                &ImportSection::NavigateButtonClicked);
            connect(import, &ImportSection::UpdateUniqueButton, this,
                &ToolboxDockWidget::UpdateUniqueButton);
        }
        if (auto* exportPage = qobject_cast<ExportSection*>(page)) {
            connect(exportPage, &ExportSection::UpdateUniqueButton, this,
                &ToolboxDockWidget::UpdateUniqueButton);
        }
    }
    setWidget(m_pages);
    const int current = CurrentProject().CurrentToolset();
    m_pages->setCurrentIndex(current >= 0 && current < m_pages->count() ? current : 0);
    setContentsMargins(0, 0, 0, 0);
}

ToolboxPage* ToolboxDockWidget::Page(ToolsetSections section) const
{
    const int index = static_cast<int>(section);
    return index >= 0 && index < static_cast<int>(m_page.size())
        ? m_page[static_cast<std::size_t>(index)]
        : nullptr;
}

ToolsetSections ToolboxDockWidget::ShownSection() const
{
    return static_cast<ToolsetSections>(m_pages->currentIndex());
}

void ToolboxDockWidget::ChangePage(ToolsetSections section)
{
    const int index = static_cast<int>(section);
    if (index < 0 || index >= m_pages->count() || index == m_pages->currentIndex()) {
        return;
    }
    app::Project& project = CurrentProject();
    project.SetCurrentToolset(section);
    m_pages->setCurrentIndex(index);
    // The key and combine sections edit the foreground.
    if (section == app::SectionKey || section == app::SectionCombine) {
        project.SetCurrentLayer(app::ForegroundLayer);
    }
    RefreshShownPage();
}

void ToolboxDockWidget::UpdateUniqueUI()
{
    RefreshShownPage();
}

void ToolboxDockWidget::RefreshShownPage()
{
    // Import and export keep their own state in step (see UpdateToolboxPage).
    const ToolsetSections section = CurrentProject().CurrentToolset();
    if (section == app::SectionImport || section == app::SectionExport) {
        return;
    }
    if (ToolboxPage* page = Page(section)) {
        page->RefreshPage();
    }
}

void ToolboxDockWidget::UpdateToolboxPage(int index)
{
    // The import page reselects the current batch row when it is shown; the export page
    // refreshes its lists in its own page.
    if (index == app::SectionImport) {
        if (auto* import = qobject_cast<ImportSection*>(Page(app::SectionImport))) {
            import->Reselect();
        }
    }
}

void ToolboxDockWidget::DockIsFloating(bool floating)
{
    emit DockHasBeenResized(floating ? 0 : 1, width());
}

void ToolboxDockWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(77, 77, 77), 1));
    painter.setBrush(QColor(26, 26, 26));
    painter.drawRect(rect());
}

void ToolboxDockWidget::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    if (!isFloating()) {
        emit DockHasBeenResized(2, width());
    }
}

} // namespace mtra::ui
