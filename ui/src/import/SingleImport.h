// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ProjectTypes.h>

#include <QWidget>

#include <memory>

class QMimeData;
class QPushButton;

namespace mtra::app {
class AbstractImage;
} // namespace mtra::app

namespace mtra::ui {

class BodyWidget;
class DragDropWindow;
class TitleWidget;

/// The group of a single-image layer: the background on the import page, the overlay on the
/// overlay page. It shows the layer's picture and changes, relinks (while its file is missing)
/// and removes it through the application. Owned by its page; GUI thread only.
class SingleImport : public QWidget
{
    Q_OBJECT
public:
    /// `layer` is `BackgroundLayer` or `OverlayLayer`.
    SingleImport(app::LayerID layer, const QString& title, QWidget* parent = nullptr);

    app::LayerID Layer() const { return m_layer; }
    TitleWidget* Title() const { return m_title; }
    DragDropWindow* Preview() const { return m_window; }
    QPushButton* ChangeButton() const { return m_changeButton; }
    QPushButton* RemoveButton() const { return m_removeButton; }
    const QString& CurrentPath() const { return m_path; }
    bool IsOffline() const { return m_offline; }
    bool IsGroupEnabled() const { return m_enabled; }

    /// Loads `path` into the layer. A user's action (`byUser`) does nothing while the group is
    /// switched off; loading the project's own image always proceeds. True when it loaded.
    bool LoadSingleImage(const QString& path, bool byUser = true);
    /// Shows the project's image of the layer again (after the project was replaced).
    void UpdateFromProject();

signals:
    void NewOverlayAdded();

public slots:
    void ReplaceImage(const QMimeData* mime);
    void SetEnabled(int state);
    void SetCollapsed(bool shown);
    void ChangeImage();
    void RelinkImage();
    void RemoveImage();

private:
    std::shared_ptr<app::AbstractImage> LayerImage() const;
    void ApplyEnabled(bool enabled);
    void ApplyCollapsed(bool shown);
    void RefreshLayer();

    app::LayerID m_layer;
    bool m_enabled = true;
    bool m_shown = true;
    TitleWidget* m_title;
    BodyWidget* m_body;
    DragDropWindow* m_window;
    QPushButton* m_changeButton;
    QPushButton* m_removeButton;
    QString m_path;
    bool m_offline = false;
};

} // namespace mtra::ui
