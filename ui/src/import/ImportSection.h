// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "toolset/ToolboxDockWidget.h"

namespace mtra::ui {

class BatchImport;
class SingleImport;

/// The import page (toolbox page 1): the batch of foreground photos over the background
/// image's group, and a spacer that takes the free height while the batch is collapsed. The
/// canvas's unique and navigation buttons act on the batch through `SetUnique()` and
/// `NavigateButtonClicked`. Owned by the toolbox; GUI thread only.
class ImportSection : public ToolboxPage
{
    Q_OBJECT
public:
    explicit ImportSection(QWidget* parent = nullptr);

    BatchImport* Batch() const { return m_batch; }
    SingleImport* Background() const { return m_background; }

    /// The page is shown again: the current row is selected again and its thumbnail shown.
    void Reselect();

signals:
    void SetUnique();
    void NavigateButtonClicked(int step, bool show);
    void UpdateUniqueButton(bool unique, bool shown);

public slots:
    void UpdateFromProject() override;
    void RefreshPage() override { }

private:
    BatchImport* m_batch;
    SingleImport* m_background;
    QWidget* m_spacer;
};

} // namespace mtra::ui
