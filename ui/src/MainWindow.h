// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/ProjectTypes.h>

#include <QImage>
#include <QMainWindow>

class QAction;
class QActionGroup;
class QHBoxLayout;
class QPainter;
class QPrinter;

namespace mtra::ui {

class ToolboxDockWidget;
class ToolsetWidget;
class CanvasNavigationWidget;
class CanvasView;
class ZoomWidget;

/// The program's only top-level window: menus, the project cycle (New, Open, Save, Save As,
/// Exit with the save prompt), window settings, help, About, printing and the thumbnail cache.
/// Hosts the canvas view, the toolset and the toolbox dock. Broadcasts `UpdateFromProject()`
/// whenever the project was replaced. GUI thread only.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    /// `projectPath`: the file the start-up project came from, empty for the default project.
    explicit MainWindow(const QString& projectPath, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The project's file; empty while it was never saved or opened.
    const QString& ProjectPath() const { return m_projectPath; }

    /// Saves the window settings, then asks whether to save a modified project. True: go on
    /// (saved, or the user said No); false: stay (Cancel, or the save failed or was cancelled).
    bool MaybeSaveProject();
    /// Opens a project file without the dialog; false (the project unchanged) on failure.
    bool LoadProject(const QString& path);
    /// Saves to `path`; on failure the reason is shown and nothing about the project changes.
    bool SaveProjectTo(const QString& path);

    CanvasView* GetCanvasView() const { return m_canvasView; }
    ZoomWidget* GetZoomWidget() const { return m_zoomWidget; }
    CanvasNavigationWidget* GetNavigationWidget() const { return m_navigationWidget; }

    /// Draws `image` onto `printer`'s page, scaled to fit and keeping its aspect ratio.
    static void PaintForPrint(QPrinter& printer, const QImage& image);
    /// The help page of a toolset section ("index.html" outside 0 … 7), absolute path.
    static QString HelpPagePath(int section);

    ToolsetWidget* Toolset() const { return m_toolset; }
    ToolboxDockWidget* Toolbox() const { return m_toolbox; }

signals:
    void SetToolsetPosition(mtra::app::ToolsetPositionID position);
    void SetToolsetState(mtra::app::ToolsetStateID state);
    void UpdateFromProject();
    void FilesDraggedIntoApplication();
    void SetNeedToDisplayImage(bool display);
    void SetNeedToRenderImage(bool render);
    void FocusCanvas(int width, int height);

public slots:
    void NewProject();
    void OpenProject();
    bool SaveProject();
    bool SaveAsProject();
    void ExitProject();
    void ToolsetPosition();
    void ToolsetState();
    void DeleteCache();
    bool DeleteProjectCache();
    void DockToolbox();
    void OpenHelp(int section);
    void OpenHelp();
    void ShowAboutPage();
    void LinkSupportForums();
    void LinkOrvane();
    void LinkOrvaneNews();
    void LinkOrvaneForums();
    void LinkOrvaneChat();
    void LinkOrvaneGallery();
    void LinkOrvaneSubmitPhoto();
    void LayoutCanvasUI();
    void DisplayPrintDialog();
    void DockHasBeenResized(int state, int width);
    void SetToolsetStateMenu(bool minimised);
    void FocusButtonClicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void SaveWindowSettings();
    void RestoreWindowSettings();
    /// After New: replace the project with the default one; quits when that fails.
    bool StartNewProject();
    /// After the project was replaced: broadcast, size the canvas area, title.
    void AdoptNewProject(const QString& path);
    void UpdateWindowTitle(const QString& path);
    void UpdateCanvasArea();
    /// The canvas area follows the central widget: centred, fitted, rendered again.
    void ResizeCanvasArea();
    void SetCanvasArea(int width, int height);
    void InvalidateTransforms();
    static bool DeleteFolderTree(const QString& path);
    void OpenLink(const char* address);

    QString m_projectPath;
    ToolsetWidget* m_toolset = nullptr;
    ToolboxDockWidget* m_toolbox = nullptr;
    CanvasView* m_canvasView = nullptr;
    ZoomWidget* m_zoomWidget = nullptr;
    CanvasNavigationWidget* m_navigationWidget = nullptr;
    bool m_refreshPending = false;
    int m_startupRefreshes = 0;
    bool m_closing = false;

    QAction* m_newAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_exitAction = nullptr;
    QActionGroup* m_positionGroup = nullptr;
    QAction* m_leftAction = nullptr;
    QAction* m_rightAction = nullptr;
    QAction* m_collapseAction = nullptr;
    QAction* m_clearCacheAction = nullptr;
    QAction* m_undockAction = nullptr;
    QAction* m_contentsAction = nullptr;
    QAction* m_forumsAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_homeAction = nullptr;
    QAction* m_newsAction = nullptr;
    QAction* m_makerForumsAction = nullptr;
    QAction* m_chatAction = nullptr;
    QAction* m_galleryAction = nullptr;
    QAction* m_submitAction = nullptr;
};

} // namespace mtra::ui
