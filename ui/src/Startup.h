// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace mtra::ui {

class Application;

/// The outcome of creating the first project at start.
struct FirstProject {
    bool ok = false; ///< false: the program ends with `exitCode`
    int exitCode = 0;
    QString path; ///< the project file opened, empty for the default project
};

/// Creates the first project: the file named by the first argument when there is one (a file
/// that does not open as a project is reported and replaced by the default project), else the
/// default project. Messages have `parent` (the splash) as parent.
FirstProject CreateFirstProject(Application& app, const QStringList& arguments, QWidget* parent);

/// The whole run of the program: splash, first project (from `arguments`, the command line
/// without the program's name), main window, event loop with the out-of-memory handling.
/// Returns the process's exit status (39 after running out of memory).
int RunProgram(Application& app, const QStringList& arguments);

} // namespace mtra::ui
