// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ProjectTypes.h>

#include <QWidget>

#include <map>

class QFrame;
class QGridLayout;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

namespace mtra::ui {

class ToolsetButton;
class ToolsetTooltip;

/// The column of section buttons that lies over the left or right edge of the canvas view,
/// with a print button under it and a slide button that collapses it to icons. Choosing a
/// section emits `ActivateToolset`; the toolbox dock shows that section. The free area of the
/// toolset passes mouse drags on to the canvas. Lives as long as the main window; GUI thread
/// only.
class ToolsetWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ToolsetWidget(QWidget* parent = nullptr);

    app::ToolsetSections CurrentSection() const { return m_currentSection; }
    ToolsetButton* Button(app::ToolsetSections section) const;
    ToolsetButton* PrintButton() const { return m_printButton; }
    /// The tooltip beside a section button (nullptr for an unknown section).
    ToolsetTooltip* Tooltip(app::ToolsetSections section) const;
    QPushButton* SlideButton() const { return m_slideButton; }
    /// True while the tooltips stand to the left of the buttons (toolset on the right).
    bool AreColumnsSwapped() const { return m_swapped; }
    /// The width the button column asks for, plus its 4-pixel border.
    int ButtonColumnWidth() const;

signals:
    void ActivateToolset(mtra::app::ToolsetSections section);
    void ActivatePrintDialog();
    void MinimiseToolset(bool minimise);
    void TooltipMode(bool on);
    void FlipToolset(bool flip);

public slots:
    void ButtonChecked();
    /// Files were dragged into the program: show the import section, unless import or overlay
    /// (which takes an overlay image) is shown.
    void SelectImportPage();
    /// From the project (current section) and the settings (position, state).
    void SetupToolset();
    void ToolsetSlideClicked();
    void SetToolsetState(mtra::app::ToolsetStateID state);
    void SetToolsetPosition(mtra::app::ToolsetPositionID position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SwapColumns();
    QPoint ViewPosition(const QMouseEvent& event) const;

    std::map<app::ToolsetSections, ToolsetButton*> m_buttons;
    std::map<app::ToolsetSections, ToolsetTooltip*> m_tooltips;
    app::ToolsetSections m_currentSection = app::SectionCanvasSize;
    ToolsetButton* m_printButton = nullptr;
    QPushButton* m_slideButton = nullptr;
    QHBoxLayout* m_slideRow = nullptr;
    QFrame* m_buttonFrame = nullptr;
    QVBoxLayout* m_buttonLayout = nullptr;
    QFrame* m_printFrame = nullptr;
    QGridLayout* m_grid = nullptr;
    QFrame* m_leftSpacer = nullptr;
    QFrame* m_rightSpacer = nullptr;
    bool m_swapped = false;
    bool m_dragging = false;
};

} // namespace mtra::ui
