// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "toolset/ToolboxDockWidget.h"

#include <vector>

class QGridLayout;

namespace mtra::ui {

class AbstractCompositeWidget;

/// The combine section (toolbox page 5): one panel per composite of the current image
/// (transparency, light spill) and a reset button. Rebuilt whenever it is refreshed.
/// Owned by the toolbox; GUI thread only.
class CompositeSection : public ToolboxPage
{
    Q_OBJECT
public:
    explicit CompositeSection(QWidget* parent = nullptr);

    const std::vector<AbstractCompositeWidget*>& Widgets() const { return m_widgets; }

public slots:
    void UpdateFromProject() override;
    void ResetFilters();

private:
    QGridLayout* m_grid;
    std::vector<AbstractCompositeWidget*> m_widgets;
};

} // namespace mtra::ui
