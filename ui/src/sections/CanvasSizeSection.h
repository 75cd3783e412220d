// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "toolset/ToolboxDockWidget.h"

#include <QString>

#include <utility>
#include <vector>

class QIODevice;
class QPushButton;

namespace mtra::ui {

class ComboBox;

/// The print sizes (inches, width x height) and resolutions (dots per inch) the canvas size
/// section offers, read from the canvas options document (root "canvas_options" with
/// "canvas_sizes" of "size" elements holding "width" and "height", and "resolution_sizes" of
/// "resolution" elements). A size value that cannot be read stays -1; a resolution that cannot
/// be read is left out; other elements are skipped with their content.
struct CanvasOptions {
    std::vector<std::pair<float, float>> sizes;
    std::vector<int> resolutions;
    /// Empty after a successful read, else what went wrong; the lists keep what was read
    /// before the error.
    QString error;

    bool Read(QIODevice& device);
    /// The program's own document (":Temp/canvas.xml").
    static CanvasOptions Shipped();
};

/// The canvas size controls: "As foreground", "As background" or a print size at a
/// resolution and orientation. Every accepted choice is stored in the project at once; a
/// choice whose canvas would be unsupported (more than 25,000,000 pixels, or an empty side) is
/// refused with a warning and the combo box returns to the previous entry. Owned by its
/// section; GUI thread only.
class CanvasSizeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CanvasSizeWidget(QWidget* parent = nullptr);

    ComboBox* SizeBox() const { return m_sizeBox; }
    ComboBox* ResolutionBox() const { return m_resolutionBox; }
    QPushButton* PortraitButton() const { return m_portrait; }
    QPushButton* LandscapeButton() const { return m_landscape; }
    const CanvasOptions& Options() const { return m_options; }

signals:
    void FocusCanvasRequested();

public slots:
    void UpdateSize(int index);
    void UpdateOrientation();
    void UpdateResolution(int index);
    /// Shows the project's canvas choices, without storing anything back.
    void UpdateFromProject();

private:
    /// Resizes the canvas when `width` x `height` is supported (the resize renders every layer
    /// again); warns and returns false else.
    bool ApplySize(qint64 width, qint64 height);
    void SetPrintControlsEnabled(bool enabled);

    CanvasOptions m_options;
    ComboBox* m_sizeBox;
    QPushButton* m_portrait;
    QPushButton* m_landscape;
    ComboBox* m_resolutionBox;
    int m_sizeIndex = -1;
    int m_resolutionIndex = -1;
};

/// The canvas size section (toolbox page 0): one `CanvasSizeWidget` in a scrolled frame.
class CanvasSizeSection : public ToolboxPage
{
    Q_OBJECT
public:
    explicit CanvasSizeSection(QWidget* parent = nullptr);

    CanvasSizeWidget* Widget() const { return m_widget; }

signals:
    void FocusCanvasRequested();

public slots:
    void UpdateFromProject() override;

private:
    CanvasSizeWidget* m_widget;
};

} // namespace mtra::ui
