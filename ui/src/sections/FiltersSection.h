// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "toolset/ToolboxDockWidget.h"

#include <app/ProjectTypes.h>

#include <vector>

class QGridLayout;
class QTabWidget;

namespace mtra::ui {

class AbstractFilterWidget;

/// The filter panels of one layer's filter list (foreground or background) of the current
/// image, in list order, with a reset button. Filters without a panel (transparency, mirror)
/// keep their place in the list but show nothing. Owned by the filters section; GUI thread.
class FiltersWidget : public QWidget
{
    Q_OBJECT
public:
    FiltersWidget(app::LayerID layer, QWidget* parent = nullptr);

    app::LayerID Layer() const { return m_layer; }
    const std::vector<AbstractFilterWidget*>& Widgets() const { return m_widgets; }
    /// Rebuilds the panels unless shared settings are shown and stay shown (`force`: always).
    void Rebuild(bool force);

public slots:
    void MoveFilterUp();
    void MoveFilterDown();
    void ResetFilters();

private:
    /// Moves the sender's filter past the neighbouring panel's filter in the list.
    void MoveFilter(AbstractFilterWidget* widget, bool up);

    app::LayerID m_layer;
    QGridLayout* m_grid;
    std::vector<AbstractFilterWidget*> m_widgets;
    bool m_showsSharedSettings = false;
};

/// The filters section (toolbox page 3): "Foreground" and "Background" tabs, each a
/// `FiltersWidget`; the tab shown is the project's current layer. Owned by the toolbox.
class FiltersSection : public ToolboxPage
{
    Q_OBJECT
public:
    explicit FiltersSection(QWidget* parent = nullptr);

    FiltersWidget* Widget(app::LayerID layer) const;
    QTabWidget* Tabs() const { return m_tabs; }

public slots:
    void UpdateFromProject() override;
    void TabChange(int index);

private:
    QTabWidget* m_tabs;
    FiltersWidget* m_foreground;
    FiltersWidget* m_background;
};

} // namespace mtra::ui
