// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The main window: titles, the save prompt, failed saves and opens, settings, the thumbnail
// cache, help pages and printing.

#include "MainWindow.h"
#include "UiFixture.h"

#include <app/Canvas.h>
#include <app/ExportSettings.h>

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QSettings>

#include <memory>

namespace mtra::ui::test {
namespace {

const QString kTitleSuffix = QStringLiteral(" - Orvane Mattora Batch");

class MainWindowTest : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        QSettings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch")).clear();
        m_window = std::make_unique<MainWindow>(QString());
    }
    void TearDown() override
    {
        m_window.reset();
        UiFixture::TearDown();
    }
    /// Makes an edit that renders nothing: the project counts as modified.
    void Edit()
    {
        app::ExportSettings settings = Project().GetExportSettings();
        settings.SetPrefix(L"x_");
        App().Document().SetExportSettings(settings);
        ASSERT_TRUE(App().IsProjectModified());
    }
    QString SaveAs(const QString& name)
    {
        const QString path = Path(name);
        Script().Queue(path);
        EXPECT_TRUE(m_window->SaveAsProject());
        return path;
    }

    std::unique_ptr<MainWindow> m_window;
};

TEST_F(MainWindowTest, TitlesFollowTheProjectFile)
{
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Untitled Project") + kTitleSuffix);
    const QString path = SaveAs(QStringLiteral("wedding.mtrabatch"));
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("wedding") + kTitleSuffix);
    EXPECT_EQ(m_window->ProjectPath(), path);
    m_window->NewProject();
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Untitled Project") + kTitleSuffix);
    ASSERT_TRUE(m_window->LoadProject(path));
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("wedding") + kTitleSuffix);
    EXPECT_FALSE(App().IsProjectModified());
}

TEST_F(MainWindowTest, SavePromptCancelKeepsNoDiscardsYesOnUntitledGoesToSaveAs)
{
    Edit();
    Script().Queue(QMessageBox::Cancel);
    EXPECT_FALSE(m_window->close());
    EXPECT_TRUE(App().IsProjectModified());
    EXPECT_EQ(Script().Texts().last(),
        QStringLiteral("This project has been modified.\nDo you wish to save your changes?"));

    Script().Queue(QMessageBox::No);
    m_window->NewProject();
    EXPECT_FALSE(App().IsProjectModified());
    EXPECT_TRUE(Project().GetExportSettings().Prefix().empty()) << "the edit was discarded";

    Edit();
    Script().Clear();
    Script().Queue(QMessageBox::Yes);
    Script().Queue(QString()); // the Save As dialog is cancelled
    EXPECT_FALSE(m_window->MaybeSaveProject());
    ASSERT_GE(Script().History().size(), 2u);
    EXPECT_EQ(Script().History()[1].what, QStringLiteral("save"));
    EXPECT_EQ(Script().History()[1].title, QStringLiteral("Save Project"));
    EXPECT_TRUE(App().IsProjectModified()) << "a cancelled Save As keeps the changes";
}

TEST_F(MainWindowTest, FailedSaveKeepsTheProjectModifiedAndTheOldFile)
{
    const QString path = SaveAs(QStringLiteral("kept.mtrabatch"));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();
    Edit();

    // A folder where the file should be: the save cannot replace it.
    const QString blocked = Path(QStringLiteral("blocked.mtrabatch"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    Script().Clear();
    Script().Queue(blocked);
    EXPECT_FALSE(m_window->SaveAsProject());
    ASSERT_FALSE(Script().Texts().isEmpty());
    EXPECT_TRUE(Script().Texts().last().startsWith(QStringLiteral("Failed to save project")));
    EXPECT_TRUE(App().IsProjectModified());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("kept") + kTitleSuffix);
    EXPECT_EQ(m_window->ProjectPath(), path);

    // Closing asks again, and a second failure keeps the window open.
    Script().Clear();
    Script().Queue(QMessageBox::Yes);
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_FALSE(m_window->close());
    EXPECT_TRUE(App().IsProjectModified());
    ASSERT_TRUE(QDir(path).removeRecursively());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();
    Script().Clear();
    Script().Queue(QMessageBox::Yes);
    EXPECT_TRUE(m_window->MaybeSaveProject());
    EXPECT_FALSE(App().IsProjectModified());
}

TEST_F(MainWindowTest, FailedOpenOffersABlankProject)
{
    QFile broken(Path(QStringLiteral("broken.mtrabatch")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a project");
    broken.close();
    Script().Queue(broken.fileName());
    m_window->OpenProject();
    EXPECT_TRUE(Script().Texts().contains(
        QStringLiteral("Project has failed to load, loading a blank project?")));
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Untitled Project") + kTitleSuffix);
    EXPECT_FALSE(App().IsProjectModified());
}

TEST_F(MainWindowTest, SettingsRoundTripAndOutOfRangeValuesBecomeOne)
{
    Project().SetToolsetPosition(app::ToolsetRight);
    Project().SetToolsetState(app::ToolsetCollapsed);
    EXPECT_TRUE(m_window->MaybeSaveProject());
    m_window.reset();
    ASSERT_EQ(App().CreateProject(QString()), app::MT_OK);
    m_window = std::make_unique<MainWindow>(QString());
    EXPECT_EQ(Project().ToolsetPosition(), app::ToolsetRight);
    EXPECT_EQ(Project().ToolsetState(), app::ToolsetCollapsed);

    {
        QSettings settings(QStringLiteral("Orvane"), QStringLiteral("MattoraBatch"));
        settings.setValue(QStringLiteral("MainWindow/ToolsetPosition"), 2);
        settings.setValue(QStringLiteral("MainWindow/ToolsetState"), -7);
    }
    m_window = std::make_unique<MainWindow>(QString());
    EXPECT_EQ(Project().ToolsetPosition(), app::ToolsetRight);
    EXPECT_EQ(Project().ToolsetState(), app::ToolsetCollapsed);
    const QString path = SaveAs(QStringLiteral("settings.mtrabatch"));
    EXPECT_TRUE(m_window->LoadProject(path)) << "the saved project opens again";
}

TEST_F(MainWindowTest, ThumbnailCacheDeletesOnlyTheProjectsOwnFolder)
{
    QString cache;
    ASSERT_TRUE(Application::CacheFolder(cache));
    const QString other = cache + QStringLiteral("/20240101120000000");
    ASSERT_TRUE(QDir().mkpath(other));
    QFile(other + QStringLiteral("/thumb.png")).open(QIODevice::WriteOnly);

    // An untitled project that never made a thumbnail deletes nothing on New or Exit.
    m_window->NewProject();
    EXPECT_TRUE(QFileInfo::exists(other + QStringLiteral("/thumb.png")));
    EXPECT_TRUE(m_window->close());
    EXPECT_TRUE(QFileInfo::exists(other + QStringLiteral("/thumb.png")));

    // With its own folder, only that one goes.
    m_window = std::make_unique<MainWindow>(QString());
    const QString own = cache + QStringLiteral("/20240202120000000");
    ASSERT_TRUE(QDir().mkpath(own));
    Project().SetCurrentThumbnailFolder(QStringLiteral("20240202120000000"));
    EXPECT_TRUE(m_window->DeleteProjectCache());
    EXPECT_FALSE(QFileInfo::exists(own));
    EXPECT_TRUE(QFileInfo::exists(other));

    // Clear Cache removes a linked folder, never what it points to.
    const QString outside = Path(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(outside));
    QFile(outside + QStringLiteral("/keep.png")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(outside, cache + QStringLiteral("/20240303120000000")));
    m_window->DeleteCache();
    EXPECT_FALSE(QFileInfo::exists(cache));
    EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/keep.png")));
}

TEST_F(MainWindowTest, HelpPagesBySection)
{
    UrlRecorder urls;
    m_window->OpenHelp(2);
    m_window->OpenHelp(42);
    m_window->OpenHelp();
    ASSERT_EQ(urls.Opened().size(), 3);
    EXPECT_EQ(QFileInfo(urls.Opened()[0].toLocalFile()).fileName(), QStringLiteral("key.htm"));
    EXPECT_EQ(QFileInfo(urls.Opened()[1].toLocalFile()).fileName(), QStringLiteral("index.html"));
    EXPECT_EQ(QFileInfo(urls.Opened()[2].toLocalFile()).fileName(), QStringLiteral("index.html"));
    for (int section = -1; section < 8; ++section) {
        EXPECT_TRUE(QFileInfo::exists(MainWindow::HelpPagePath(section))) << section;
    }
}

TEST_F(MainWindowTest, PrintFollowsTheCanvasOrientation)
{
    m_window->DisplayPrintDialog();
    EXPECT_EQ(Script().Texts(),
        QStringList { QStringLiteral("There is currently no foreground image to print.") });

    AddCurrentPhoto(QStringLiteral("subject.png"));
    for (auto orientation : { app::OrientationPortrait, app::OrientationLandscape }) {
        Script().Clear();
        Project().GetCanvas().SetOrientation(orientation);
        Script().Queue(false); // the print dialog is cancelled: nothing printed
        m_window->DisplayPrintDialog();
        ASSERT_EQ(Script().History().size(), 1u);
        EXPECT_EQ(Script().History()[0].title, QStringLiteral("Print"));
        EXPECT_EQ(Script().History()[0].text,
            orientation == app::OrientationPortrait ? QStringLiteral("portrait")
                                                    : QStringLiteral("landscape"));
    }

    const QImage portrait(300, 400, QImage::Format_ARGB32);
    const QImage landscape(400, 300, QImage::Format_ARGB32);
    for (const QImage* image : { &portrait, &landscape }) {
        QImage picture = *image;
        picture.fill(Qt::red);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path(QStringLiteral("print.pdf")));
        printer.setPageOrientation(
            picture.height() >= picture.width() ? QPageLayout::Portrait : QPageLayout::Landscape);
        MainWindow::PaintForPrint(printer, picture);
        const QSizeF page = printer.pageLayout().fullRect(QPageLayout::Point).size();
        EXPECT_EQ(page.height() > page.width(), picture.height() > picture.width());
        EXPECT_GT(QFileInfo(Path(QStringLiteral("print.pdf"))).size(), 0);
    }
}

} // namespace
} // namespace mtra::ui::test
