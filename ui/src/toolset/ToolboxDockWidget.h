// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ProjectTypes.h>

#include <QDockWidget>

#include <array>

class QStackedWidget;

namespace mtra::ui {

/// One section's page in the toolbox. `UpdateFromProject()` rebuilds it after the project was
/// replaced; `RefreshPage()` brings it up to date when it is shown again or the current
/// image's unique state changed (the same rebuild unless a section needs less). Sections
/// derive from it; until a section exists its page is this empty, named page.
class ToolboxPage : public QWidget
{
    Q_OBJECT
public:
    ToolboxPage(app::ToolsetSections section, const QString& name, QWidget* parent = nullptr);

    app::ToolsetSections Section() const { return m_section; }
    const QString& Name() const { return m_name; }

signals:
    /// After every rebuild or refresh of the page.
    void PageUpdated();

public slots:
    virtual void UpdateFromProject();
    virtual void RefreshPage();

protected:
    /// For a section's own page: no placeholder content and no layout.
    struct Empty {
    };
    ToolboxPage(app::ToolsetSections section, const QString& name, Empty, QWidget* parent);

private:
    app::ToolsetSections m_section;
    QString m_name;
};

/// The toolbox dock's title bar ("ToolboxDockTitleBar", 25 pixels): float button, "Toolbox"
/// and a help button that opens the help page of the shown section.
class ToolboxDockTitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit ToolboxDockTitleBar(QDockWidget* dock);

    QSize sizeHint() const override { return minimumSizeHint(); }
    QSize minimumSizeHint() const override;

public slots:
    /// Docks a floating toolbox, floats a docked one.
    void FloatDock();
    void OpenHelp();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QDockWidget* m_dock;
};

/// The dock on the right of the main window whose stacked pages hold the eight sections in
/// `ToolsetSections` order. The toolset's choice arrives in `ChangePage`. It tells the main
/// window when it floats (`DockHasBeenResized(0, width)`), docks (1) or is resized while docked
/// (2). Lives as long as the main window; GUI thread only.
class ToolboxDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit ToolboxDockWidget(const QString& title, QWidget* parent = nullptr);

    ToolboxPage* Page(app::ToolsetSections section) const;
    /// The section whose page is shown.
    app::ToolsetSections ShownSection() const;

signals:
    void UpdateFromProject();
    void SetUnique();
    void NavigateButtonClicked(int step, bool batchedOnly);
    void DockHasBeenResized(int state, int width);
    void UpdateUniqueButton(bool unique, bool enabled);
    void FilesDraggedIntoApplication();

public slots:
    void UpdateUniqueUI();
    /// Shows `section` and brings its page up to date; nothing when it is shown already.
    void ChangePage(mtra::app::ToolsetSections section);
    void UpdateToolboxPage(int index);
    void DockIsFloating(bool floating);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RefreshShownPage();

    QStackedWidget* m_pages;
    std::array<ToolboxPage*, 8> m_page {};
};

} // namespace mtra::ui
