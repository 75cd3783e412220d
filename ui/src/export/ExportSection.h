// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "toolset/ToolboxDockWidget.h"

namespace mtra::ui {

class ExportCodecWidget;
class ExportSelectionWidget;

/// The export section (toolbox page 7): the export options over the batch selection. It
/// follows the project (New, Open) and the batch (imports, removals) on its own, and whenever
/// it is shown. Owned by the toolbox; GUI thread only.
class ExportSection : public ToolboxPage
{
    Q_OBJECT
public:
    explicit ExportSection(QWidget* parent = nullptr);

    ExportCodecWidget* Codec() const { return m_codec; }
    ExportSelectionWidget* Selection() const { return m_selection; }

signals:
    /// The canvas navigation's unique button.
    void SetUnique();
    void UpdateUniqueButton(bool unique, bool shown);

public slots:
    void UpdateFromProject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    ExportCodecWidget* m_codec;
    ExportSelectionWidget* m_selection;
};

} // namespace mtra::ui
