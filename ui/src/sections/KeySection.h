// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "toolset/ToolboxDockWidget.h"

#include <vector>

class QGridLayout;

namespace mtra::ui {

class AbstractKeyWidget;

/// The key section (toolbox page 2): one panel per key step of the current image, in list
/// order, and a reset button. Panels of shared settings stay when the user moves from one
/// shared image to another (they edit the same items); anything else rebuilds them.
/// Owned by the toolbox; GUI thread only.
class KeySection : public ToolboxPage
{
    Q_OBJECT
public:
    explicit KeySection(QWidget* parent = nullptr);

    const std::vector<AbstractKeyWidget*>& Widgets() const { return m_widgets; }

public slots:
    void UpdateFromProject() override;
    void ResetFilters();

private:
    QGridLayout* m_grid;
    std::vector<AbstractKeyWidget*> m_widgets;
    bool m_showsSharedSettings = false;
};

} // namespace mtra::ui
