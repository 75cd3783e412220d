// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "MainWindow.h"

#include "Application.h"
#include "ApplicationName.h"
#include "Dialogs.h"
#include "SplashScreen.h"
#include "WaitCursor.h"
#include "canvas/CanvasNavigationWidget.h"
#include "canvas/CanvasView.h"
#include "canvas/ZoomWidget.h"
#include "toolset/ToolboxDockWidget.h"
#include "toolset/ToolsetWidget.h"

#include <app/ErrorTexts.h>
#include <app/Project.h>
#include <app/RenderEngine.h>

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>

namespace mtra::ui {

using app::BackgroundLayer;
using app::ForegroundLayer;
using app::MTerr;
using app::OverlayLayer;
using app::Stage;
using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

const char kSettingsGroup[] = "MainWindow";
const char kProjectFilter[] = "Mattora Batch projects (*.mtrabatch)";

QSettings Settings()
{
    return QSettings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch"));
}

Application& App()
{
    return *Application::Instance();
}

} // namespace

MainWindow::MainWindow(const QString& projectPath, QWidget* parent)
    : QMainWindow(parent)
{
    UpdateWindowTitle(projectPath);
    setWindowIcon(QGuiApplication::windowIcon());
    setAcceptDrops(false);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    QFile styleSheet(QStringLiteral(":CSS/MainWindow.css"));
    if (styleSheet.open(QIODevice::ReadOnly)) {
        setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
    }

    // The toolset's place and state are remembered per user; a stored value other than 0
    // means the other one (a project only holds 0 or 1).
    {
        QSettings settings = Settings();
        settings.beginGroup(QLatin1String(kSettingsGroup));
        app::Project& project = *App().GetProject();
        project.SetToolsetPosition(settings.value(QStringLiteral("ToolsetPosition"), 0).toInt() != 0
                ? app::ToolsetRight
                : app::ToolsetLeft);
        project.SetToolsetState(settings.value(QStringLiteral("ToolsetState"), 0).toInt() != 0
                ? app::ToolsetCollapsed
                : app::ToolsetExpanded);
    }

    CreateActions();
    CreateMenus();

    setDockOptions(QMainWindow::AnimatedDocks);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setMaximumSize(screen->size());
    }
    setMinimumSize(800, 600);

    m_canvasView = new CanvasView(size(), this);
    setCentralWidget(m_canvasView);
    connect(this, &MainWindow::UpdateFromProject, m_canvasView, &CanvasView::UpdateFromProject);
    connect(
        this, &MainWindow::SetNeedToDisplayImage, m_canvasView, &CanvasView::SetNeedToDisplayImage);
    connect(
        this, &MainWindow::SetNeedToRenderImage, m_canvasView, &CanvasView::SetNeedToRenderImage);
    connect(this, &MainWindow::FocusCanvas, &App(),
        qOverload<int, int>(&Application::FocusCanvasRequested));
    connect(&App(), qOverload<>(&Application::FocusCanvasRequested), this,
        &MainWindow::FocusButtonClicked);

    // The toolset over the canvas view.
    m_toolset = new ToolsetWidget(this);
    connect(this, &MainWindow::SetToolsetPosition, m_toolset, &ToolsetWidget::SetToolsetPosition);
    connect(this, &MainWindow::SetToolsetState, m_toolset, &ToolsetWidget::SetToolsetState);
    connect(this, &MainWindow::UpdateFromProject, m_toolset, &ToolsetWidget::SetupToolset);
    connect(m_toolset, &ToolsetWidget::MinimiseToolset, this, &MainWindow::SetToolsetStateMenu);
    connect(this, &MainWindow::FilesDraggedIntoApplication, m_toolset,
        &ToolsetWidget::SelectImportPage);

    LayoutCanvasUI();

    // The toolbox dock beside it.
    m_toolbox = new ToolboxDockWidget(tr("Toolbox", "Toolbox title"), this);
    addDockWidget(Qt::RightDockWidgetArea, m_toolbox);
    connect(this, &MainWindow::UpdateFromProject, m_toolbox, &ToolboxDockWidget::UpdateFromProject);
    connect(
        m_toolbox, &ToolboxDockWidget::DockHasBeenResized, this, &MainWindow::DockHasBeenResized);
    connect(m_toolbox, &ToolboxDockWidget::FilesDraggedIntoApplication, m_toolset,
        &ToolsetWidget::SelectImportPage);
    connect(m_toolset, &ToolsetWidget::ActivateToolset, m_toolbox, &ToolboxDockWidget::ChangePage);
    connect(m_toolset, &ToolsetWidget::ActivatePrintDialog, this, &MainWindow::DisplayPrintDialog);
    m_undockAction->setChecked(m_toolbox->isFloating());
    // The buttons under the canvas act on the batch list of the import page.
    connect(m_navigationWidget, &CanvasNavigationWidget::NavigateButtonClicked, m_toolbox,
        &ToolboxDockWidget::NavigateButtonClicked);
    connect(m_navigationWidget, &CanvasNavigationWidget::SetUnique, m_toolbox,
        &ToolboxDockWidget::SetUnique);
    connect(m_toolbox, &ToolboxDockWidget::UpdateUniqueButton, m_navigationWidget,
        &CanvasNavigationWidget::UpdateUniqueButton);

    RestoreWindowSettings();
    m_refreshPending = false;
    // The project was loaded before the window existed (at start): its pages take it now, as
    // after an Open, so the background, overlay and batch list show what the file holds.
    emit UpdateFromProject();
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateActions()
{
    m_newAction = new QAction(tr("%1        ").arg(tr("New Project")), this);
    m_newAction->setShortcut(QKeySequence::New);
    connect(m_newAction, &QAction::triggered, this, &MainWindow::NewProject);
    m_openAction = new QAction(tr("Open..."), this);
    m_openAction->setShortcut(QKeySequence::Open);
    connect(m_openAction, &QAction::triggered, this, &MainWindow::OpenProject);
    m_saveAction = new QAction(tr("Save"), this);
    m_saveAction->setShortcut(QKeySequence::Save);
    connect(m_saveAction, &QAction::triggered, this, &MainWindow::SaveProject);
    m_saveAsAction = new QAction(tr("Save As..."), this);
    m_saveAsAction->setShortcut(QKeySequence::SaveAs);
    connect(m_saveAsAction, &QAction::triggered, this, &MainWindow::SaveAsProject);
    m_printAction = new QAction(tr("Print"), this);
    m_printAction->setShortcut(QKeySequence::Print);
    connect(m_printAction, &QAction::triggered, this, &MainWindow::DisplayPrintDialog);
    m_exitAction = new QAction(tr("Exit"), this);
    m_exitAction->setShortcut(QKeySequence::Quit);
    connect(m_exitAction, &QAction::triggered, this, &MainWindow::ExitProject);

    const app::Project& project = *App().GetProject();
    m_positionGroup = new QActionGroup(this);
    m_positionGroup->setExclusive(true);
    m_leftAction = new QAction(tr("Left"), m_positionGroup);
    m_leftAction->setCheckable(true);
    m_rightAction = new QAction(tr("Right"), m_positionGroup);
    m_rightAction->setCheckable(true);
    (project.ToolsetPosition() == app::ToolsetLeft ? m_leftAction : m_rightAction)
        ->setChecked(true);
    connect(m_leftAction, &QAction::triggered, this, &MainWindow::ToolsetPosition);
    connect(m_rightAction, &QAction::triggered, this, &MainWindow::ToolsetPosition);
    m_collapseAction = new QAction(tr("Collapse Toolset"), this);
    m_collapseAction->setCheckable(true);
    m_collapseAction->setChecked(project.ToolsetState() == app::ToolsetCollapsed);
    connect(m_collapseAction, &QAction::triggered, this, &MainWindow::ToolsetState);
    m_clearCacheAction = new QAction(tr("Clear Cache"), this);
    connect(m_clearCacheAction, &QAction::triggered, this, &MainWindow::DeleteCache);
    m_undockAction = new QAction(tr("Undock Toolbox"), this);
    m_undockAction->setCheckable(true);
    connect(m_undockAction, &QAction::triggered, this, &MainWindow::DockToolbox);

    m_contentsAction = new QAction(tr("Contents"), this);
    m_contentsAction->setShortcut(QKeySequence::HelpContents);
    connect(m_contentsAction, &QAction::triggered, this, qOverload<>(&MainWindow::OpenHelp));
    m_forumsAction = new QAction(tr("Support Forums"), this);
    connect(m_forumsAction, &QAction::triggered, this, &MainWindow::LinkSupportForums);
    m_aboutAction = new QAction(tr("About Mattora Batch"), this);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::ShowAboutPage);

    m_homeAction = new QAction(tr("Orvane Home Page"), this);
    connect(m_homeAction, &QAction::triggered, this, &MainWindow::LinkOrvane);
    m_newsAction = new QAction(tr("Orvane News"), this);
    connect(m_newsAction, &QAction::triggered, this, &MainWindow::LinkOrvaneNews);
    m_makerForumsAction = new QAction(tr("Forums"), this);
    connect(m_makerForumsAction, &QAction::triggered, this, &MainWindow::LinkOrvaneForums);
    m_chatAction = new QAction(tr("Live Chat"), this);
    connect(m_chatAction, &QAction::triggered, this, &MainWindow::LinkOrvaneChat);
    m_galleryAction = new QAction(tr("Mattora Gallery"), this);
    connect(m_galleryAction, &QAction::triggered, this, &MainWindow::LinkOrvaneGallery);
    m_submitAction = new QAction(tr("Submit my Photo"), this);
    connect(m_submitAction, &QAction::triggered, this, &MainWindow::LinkOrvaneSubmitPhoto);
}

void MainWindow::CreateMenus()
{
    const QFont font(QStringLiteral("Tahoma"), 8);
    menuBar()->setFont(font);

    QMenu* file = menuBar()->addMenu(tr("File"));
    file->addAction(m_newAction);
    file->addSeparator();
    file->addAction(m_openAction);
    file->addAction(m_saveAction);
    file->addAction(m_saveAsAction);
    file->addSeparator();
    file->addAction(m_printAction);
    file->addSeparator();
    file->addAction(m_exitAction);

    QMenu* view = menuBar()->addMenu(tr("View"));
    QMenu* position = view->addMenu(tr("Toolset Position"));
    position->addAction(m_leftAction);
    position->addAction(m_rightAction);
    view->addAction(m_collapseAction);
    view->addSeparator();
    view->addAction(m_clearCacheAction);
    view->addSeparator();
    view->addAction(m_undockAction);

    QMenu* help = menuBar()->addMenu(tr("Help"));
    help->addAction(m_contentsAction);
    help->addAction(m_forumsAction);
    help->addSeparator();
    help->addAction(m_aboutAction);

    QMenu* maker = menuBar()->addMenu(tr("Orvane"));
    maker->addAction(m_homeAction);
    maker->addAction(m_newsAction);
    maker->addAction(m_makerForumsAction);
    maker->addAction(m_chatAction);
    maker->addSeparator();
    maker->addAction(m_galleryAction);
    maker->addAction(m_submitAction);

    for (QMenu* menu : { file, view, position, help, maker }) {
        menu->setFont(font);
    }
}

// --- Settings ------------------------------------------------------------------------------

void MainWindow::SaveWindowSettings()
{
    QSettings settings = Settings();
    settings.beginGroup(QLatin1String(kSettingsGroup));
    settings.setValue(QStringLiteral("Geometry"), saveGeometry());
    settings.setValue(QStringLiteral("State"), saveState(0));
    const app::Project& project = *App().GetProject();
    settings.setValue(
        QStringLiteral("ToolsetPosition"), static_cast<int>(project.ToolsetPosition()));
    settings.setValue(QStringLiteral("ToolsetState"), static_cast<int>(project.ToolsetState()));
}

void MainWindow::RestoreWindowSettings()
{
    QSettings settings = Settings();
    settings.beginGroup(QLatin1String(kSettingsGroup));
    if (!restoreGeometry(settings.value(QStringLiteral("Geometry")).toByteArray())) {
        // First run: the whole screen. The geometry is set as well as the state, so that the
        // window fills the screen where no window manager maximises it.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            setGeometry(screen->availableGeometry());
        }
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    restoreState(settings.value(QStringLiteral("State")).toByteArray(), 0);
    m_canvasView->setSceneRect(0, 0, centralWidget()->width(), centralWidget()->height());
}

// --- The project cycle ---------------------------------------------------------------------

bool MainWindow::MaybeSaveProject()
{
    SaveWindowSettings();
    if (!App().IsProjectModified()) {
        return true;
    }
    const auto answer
        = Warn(this, tr("This project has been modified.\nDo you wish to save your changes?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        return m_projectPath.isEmpty() ? SaveAsProject() : SaveProjectTo(m_projectPath);
    }
    return answer == QMessageBox::No;
}

void MainWindow::NewProject()
{
    if (!MaybeSaveProject()) {
        return;
    }
    StartNewProject();
}

bool MainWindow::StartNewProject()
{
    if (m_projectPath.isEmpty()) {
        DeleteProjectCache();
    }
    const MTerr result = App().CreateProject(QString());
    if (result != app::MT_OK) {
        if (result == app::MT_RENDER_OUT_OF_MEMORY) {
            Critical(this,
                tr("There is not enough memory available to run Mattora.  Exiting other programs "
                   "before opening Mattora may solve this problem. Mattora will now quit."));
        } else {
            Critical(this,
                tr("There was a problem starting the application.  Please re-install the "
                   "program."));
        }
        QCoreApplication::exit(
            result == app::MT_RENDER_OUT_OF_MEMORY ? app::MT_RENDER_OUT_OF_MEMORY : 1);
        return false;
    }
    AdoptNewProject(QString());
    return true;
}

void MainWindow::AdoptNewProject(const QString& path)
{
    m_projectPath.clear();
    emit UpdateFromProject();
    SetCanvasArea(centralWidget()->width(), centralWidget()->height());
    UpdateCanvasArea();
    if (!path.isEmpty()) {
        App().RefreshAllLayers();
    }
    UpdateWindowTitle(path);
}

void MainWindow::OpenProject()
{
    if (!MaybeSaveProject()) {
        return;
    }
    const QString path
        = Dialogs().OpenFileName(this, tr("Open Project"), QStringLiteral("."), tr(kProjectFilter));
    if (path.isEmpty()) {
        return;
    }
    if (!LoadProject(path)) {
        Warn(this, tr("Project has failed to load, loading a blank project?"));
        StartNewProject();
    }
}

bool MainWindow::LoadProject(const QString& path)
{
    const QString previousPath = m_projectPath;
    const MTerr result = App().CreateProject(path);
    if (result != app::MT_OK) {
        return false;
    }
    // The untitled project that was replaced leaves no thumbnails behind.
    Q_UNUSED(previousPath);
    AdoptNewProject(path);
    return true;
}

bool MainWindow::SaveProject()
{
    return m_projectPath.isEmpty() ? SaveAsProject() : SaveProjectTo(m_projectPath);
}

bool MainWindow::SaveAsProject()
{
    const QString path
        = Dialogs().SaveFileName(this, tr("Save Project"), QStringLiteral("."), tr(kProjectFilter));
    if (path.isEmpty()) {
        return false;
    }
    return SaveProjectTo(path);
}

bool MainWindow::SaveProjectTo(const QString& path)
{
    const MTerr result = App().Document().Save(path);
    if (result != app::MT_OK) {
        // The old file is intact and the project still counts as modified: closing asks again.
        Warn(this, tr("Failed to save project") + QStringLiteral("\n\n") + app::ErrorText(result));
        return false;
    }
    UpdateWindowTitle(path);
    return true;
}

void MainWindow::ExitProject()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!MaybeSaveProject()) {
        event->ignore();
        return;
    }
    if (m_projectPath.isEmpty()) {
        DeleteProjectCache();
    }
    event->accept();
}

void MainWindow::UpdateWindowTitle(const QString& path)
{
    setWindowModified(false);
    QString name = tr("Untitled Project");
    if (!path.isEmpty()) {
        m_projectPath = path;
        name = QFileInfo(path).completeBaseName();
    }
    setWindowTitle(QStringLiteral("%1 - %2").arg(name, ApplicationName()));
}

// --- Cache ---------------------------------------------------------------------------------

bool MainWindow::DeleteFolderTree(const QString& path)
{
    // removeRecursively does not follow symbolic links: a linked folder's target stays.
    QDir folder(path);
    return !folder.exists() || folder.removeRecursively();
}

void MainWindow::DeleteCache()
{
    QString cache;
    if (!Application::CacheFolder(cache)) {
        return;
    }
    WaitCursor wait;
    DeleteFolderTree(cache);
}

bool MainWindow::DeleteProjectCache()
{
    QString cache;
    if (!Application::CacheFolder(cache)) {
        return false;
    }
    // An empty name would address every project's thumbnails.
    const QString folder = App().GetProject()->CurrentThumbnailFolder();
    if (folder.isEmpty() || folder.contains(QLatin1Char('/'))
        || folder.startsWith(QLatin1Char('.'))) {
        return true;
    }
    WaitCursor wait;
    DeleteFolderTree(cache + QLatin1Char('/') + folder);
    return true;
}

// --- Toolset and canvas area ---------------------------------------------------------------

void MainWindow::InvalidateTransforms()
{
    Application& app = App();
    for (auto layer : { OverlayLayer, ForegroundLayer, BackgroundLayer }) {
        app.GetRenderEngine().Invalidate(layer, Stage::Transform);
    }
}

void MainWindow::SetCanvasArea(int width, int height)
{
    app::Project& project = *App().GetProject();
    project.SetWindowWidth(static_cast<unsigned int>(qMax(0, width)));
    project.SetWindowHeight(static_cast<unsigned int>(qMax(0, height)));
    m_canvasView->setSceneRect(0, 0, qMax(0, width), qMax(0, height));
}

void MainWindow::ToolsetPosition()
{
    emit SetToolsetPosition(m_leftAction->isChecked() ? app::ToolsetLeft : app::ToolsetRight);
    App().GetProject()->SetToolsetPosition(
        m_leftAction->isChecked() ? app::ToolsetLeft : app::ToolsetRight);
    SetCanvasArea(centralWidget()->width(), centralWidget()->height());
    UpdateCanvasArea();
    InvalidateTransforms();
    App().RefreshCanvas(DownsampleFull);
}

void MainWindow::ToolsetState()
{
    const bool collapsed = m_collapseAction->isChecked();
    App().GetProject()->SetToolsetState(collapsed ? app::ToolsetCollapsed : app::ToolsetExpanded);
    emit SetToolsetState(collapsed ? app::ToolsetCollapsed : app::ToolsetExpanded);
}

void MainWindow::SetToolsetStateMenu(bool minimised)
{
    m_collapseAction->setChecked(minimised);
    App().SetToolsetWidth(m_toolset->ButtonColumnWidth());
    SetCanvasArea(centralWidget()->width(), centralWidget()->height());
    UpdateCanvasArea();
    InvalidateTransforms();
    App().RefreshCanvas(DownsampleFull);
}

void MainWindow::UpdateCanvasArea()
{
    App().CentreCanvas();
    emit FocusCanvas(centralWidget()->width(), centralWidget()->height());
}

void MainWindow::FocusButtonClicked()
{
    emit FocusCanvas(centralWidget()->width(), centralWidget()->height());
}

void MainWindow::LayoutCanvasUI()
{
    m_zoomWidget = new ZoomWidget(m_canvasView);
    connect(this, &MainWindow::UpdateFromProject, m_zoomWidget, &ZoomWidget::UpdateFromProject);
    connect(m_zoomWidget, &ZoomWidget::FocusButtonClicked, this, &MainWindow::FocusButtonClicked);
    m_navigationWidget = new CanvasNavigationWidget(m_canvasView);
    connect(this, &MainWindow::UpdateFromProject, m_navigationWidget,
        &CanvasNavigationWidget::UpdateFromProject);

    // Zoom row on top, the toolset under it followed by free space, navigation row at the
    // bottom, all laid over the canvas.
    auto* column = new QVBoxLayout(m_canvasView);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addStretch();
    zoomRow->addWidget(m_zoomWidget);
    zoomRow->addStretch();
    auto* navigationRow = new QHBoxLayout;
    navigationRow->addStretch();
    navigationRow->addWidget(m_navigationWidget);
    navigationRow->addStretch();
    column->addLayout(zoomRow);
    column->addWidget(m_toolset);
    column->addStretch(1);
    column->addLayout(navigationRow);
    ToolsetPosition();
}

void MainWindow::DockToolbox()
{
    m_toolbox->setFloating(m_undockAction->isChecked());
}

void MainWindow::DockHasBeenResized(int state, int width)
{
    if (state == 0) {
        m_undockAction->setChecked(true);
    } else if (state == 1) {
        m_undockAction->setChecked(false);
    }
    int areaWidth = this->width();
    int areaHeight = this->height() - 23;
    if (state != 0) {
        areaWidth = this->width() - width;
        areaHeight = centralWidget()->height() - (menuBar()->height() > 0 ? 0 : 23);
    }
    SetCanvasArea(areaWidth, areaHeight);
    App().CentreCanvas();
    emit FocusCanvas(areaWidth, areaHeight);
    InvalidateTransforms();
    if (state == 0 || state == 1) {
        emit SetNeedToDisplayImage(true);
        emit SetNeedToRenderImage(true);
    } else {
        emit SetNeedToDisplayImage(false);
        m_refreshPending = true;
    }
    while (m_startupRefreshes < 2) {
        emit SetNeedToDisplayImage(true);
        ++m_startupRefreshes;
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (!isVisible()) {
        return;
    }
    ResizeCanvasArea();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The window may have taken its size before it was shown (restored geometry, or a screen
    // without window manager): those resizes were not seen while hidden.
    ResizeCanvasArea();
}

void MainWindow::ResizeCanvasArea()
{
    SetCanvasArea(centralWidget()->width(), centralWidget()->height());
    UpdateCanvasArea();
    InvalidateTransforms();
    emit SetNeedToDisplayImage(false);
    emit SetNeedToRenderImage(true);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_refreshPending) {
        InvalidateTransforms();
        emit SetNeedToDisplayImage(true);
        emit SetNeedToRenderImage(true);
    }
    m_refreshPending = false;
    QMainWindow::mouseReleaseEvent(event);
}

// --- Help, links, About --------------------------------------------------------------------

QString MainWindow::HelpPagePath(int section)
{
    static const char* const kPages[] = { "canvas_size.htm", "import.htm", "key.htm", "filters.htm",
        "position.htm", "combine.htm", "overlay.htm", "export.htm" };
    const QString page = section >= 0 && section < 8 ? QString::fromLatin1(kPages[section])
                                                     : QStringLiteral("index.html");
    const QDir programDir(QCoreApplication::applicationDirPath());
    // Installed: <prefix>/share/mattorabatch/help; the build tree has the same layout. A help
    // folder beside the program serves a program that was copied somewhere on its own.
    const QString installed
        = programDir.absoluteFilePath(QStringLiteral(MTRA_HELP_DIR_RELATIVE "/") + page);
    if (QFileInfo::exists(installed)) {
        return QDir::cleanPath(installed);
    }
    return QDir::cleanPath(programDir.absoluteFilePath(QStringLiteral("help/") + page));
}

void MainWindow::OpenHelp(int section)
{
    Application::OpenWithShell(HelpPagePath(section));
}

void MainWindow::OpenHelp()
{
    OpenHelp(-1);
}

void MainWindow::ShowAboutPage()
{
    AboutWidget about(this);
    Dialogs().Exec(about);
}

void MainWindow::OpenLink(const char* address)
{
    Application::OpenWithShell(QString::fromLatin1(address));
}

void MainWindow::LinkSupportForums()
{
    OpenLink("https://orvane.example/mattora/support");
}

void MainWindow::LinkOrvane()
{
    OpenLink("https://orvane.example/");
}

void MainWindow::LinkOrvaneNews()
{
    OpenLink("https://orvane.example/news");
}

void MainWindow::LinkOrvaneForums()
{
    OpenLink("https://orvane.example/forums");
}

void MainWindow::LinkOrvaneChat()
{
    OpenLink("https://orvane.example/chat");
}

void MainWindow::LinkOrvaneGallery()
{
    OpenLink("https://orvane.example/mattora/gallery");
}

void MainWindow::LinkOrvaneSubmitPhoto()
{
    OpenLink("https://orvane.example/mattora/gallery/submit");
}

// --- Print ---------------------------------------------------------------------------------

void MainWindow::PaintForPrint(QPrinter& printer, const QImage& image)
{
    QPainter painter(&printer);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect viewport = painter.viewport();
    QSize size = image.size();
    size.scale(viewport.size(), Qt::KeepAspectRatio);
    painter.setViewport(viewport.x(), viewport.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawImage(0, 0, image);
}

void MainWindow::DisplayPrintDialog()
{
    const std::shared_ptr<app::Project> project = App().GetProject();
    if (project->CurrentForegroundPath().isEmpty()) {
        Warn(this, tr("There is currently no foreground image to print."), QMessageBox::Ok,
            QMessageBox::Ok);
        return;
    }
    QImage image;
    if (!App().RenderExportImage(project->CurrentForegroundPath(), image)) {
        Warn(this, tr("Failed to print."));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(project->GetCanvas().Orientation() == app::OrientationPortrait
            ? QPageLayout::Portrait
            : QPageLayout::Landscape);
    if (Dialogs().Print(printer, this, tr("Print", "Print dialog title"))) {
        PaintForPrint(printer, image);
    }
}

} // namespace mtra::ui
