// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "Startup.h"

#include "Application.h"
#include "Dialogs.h"
#include "MainWindow.h"
#include "SplashScreen.h"

#include <app/MTerr.h>

#include <QCursor>
#include <QGuiApplication>

#include <memory>

namespace mtra::ui {

using app::MTerr;

FirstProject CreateFirstProject(Application& app, const QStringList& arguments, QWidget* parent)
{
    FirstProject first;
    if (!arguments.isEmpty()) {
        const MTerr result = app.CreateProject(arguments.first());
        if (result == app::MT_OK) {
            first.ok = true;
            first.path = arguments.first();
            return first;
        }
        QGuiApplication::restoreOverrideCursor();
        if (result == app::MT_RENDER_OUT_OF_MEMORY) {
            Critical(parent,
                Application::tr("There is not enough memory available to start the "
                                "application.\n\nExiting other programs may solve this problem."));
            first.exitCode = app::MT_RENDER_OUT_OF_MEMORY;
            return first;
        }
        Warn(parent,
            Application::tr("The project cannot be opened because it is an invalid project file."));
    }
    const MTerr result = app.CreateProject(QString());
    if (result == app::MT_OK) {
        first.ok = true;
        return first;
    }
    QGuiApplication::restoreOverrideCursor();
    if (result == app::MT_RENDER_OUT_OF_MEMORY) {
        Critical(parent,
            Application::tr("There is not enough memory available to start the application.\n\n"
                            "Exiting other programs may solve this problem."));
        first.exitCode = app::MT_RENDER_OUT_OF_MEMORY;
    } else {
        Critical(parent,
            Application::tr(
                "There was a problem starting the application.\n\nPlease re-install the program."));
        first.exitCode = 1;
    }
    return first;
}

int RunProgram(Application& app, const QStringList& arguments)
{
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto splash = std::make_unique<SplashScreen>();
    splash->show();
    QCoreApplication::processEvents();

    const FirstProject first = CreateFirstProject(app, arguments, splash.get());
    if (!first.ok) {
        QGuiApplication::restoreOverrideCursor();
        return first.exitCode;
    }

    auto window = std::make_unique<MainWindow>(first.path);
    app.SetSaveAsHandler([w = window.get()] { return w->SaveAsProject(); });
    window->show();
    splash->finish(window.get());
    QGuiApplication::restoreOverrideCursor();

    int status = QCoreApplication::exec();
    if (app.RanOutOfMemory()) {
        status = app::MT_RENDER_OUT_OF_MEMORY;
    }
    app.SetSaveAsHandler({});
    window.reset();
    splash.reset();
    return status;
}

} // namespace mtra::ui
