// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <memory>

class QDialog;
class QPrinter;
class QWidget;

namespace mtra::ui {

/// A progress window for a long operation (import, export). Shown at once; closed when the
/// object is destroyed.
class ProgressReporter
{
public:
    virtual ~ProgressReporter() = default;
    virtual void SetValue(int value) = 0;
    virtual void SetLabelText(const QString& text) = 0;
    /// True once the user pressed the cancel button (or the window was closed).
    virtual bool WasCanceled() const = 0;
};

/// The one door through which the program shows a message box, a file dialog, a progress
/// window, a print dialog or any other modal dialog. The program installs the widget-based
/// implementation at start; tests install a scripted one that records every text shown and
/// answers from a queue. Every call is on the GUI thread; `parent` may be null.
class DialogProvider
{
public:
    enum class Kind { Information, Question, Warning, Critical };

    virtual ~DialogProvider() = default;

    /// A message box titled `title` with standard buttons; returns the button pressed
    /// (`QMessageBox::NoButton` only when the box was closed without an escape button).
    virtual QMessageBox::StandardButton Message(Kind kind, QWidget* parent, const QString& title,
        const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
        = 0;
    /// A message box with buttons of the program's own texts, left to right; returns the index
    /// of the button pressed, or `escapeIndex` when the box was closed.
    virtual int Choose(Kind kind, QWidget* parent, const QString& title, const QString& text,
        const QStringList& buttons, int defaultIndex, int escapeIndex)
        = 0;

    /// File dialogs; an empty answer (or list) means the user cancelled.
    virtual QString OpenFileName(
        QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
        = 0;
    virtual QStringList OpenFileNames(
        QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
        = 0;
    virtual QString ExistingFolder(QWidget* parent, const QString& caption, const QString& folder)
        = 0;
    virtual QString SaveFileName(
        QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
        = 0;

    /// A modal progress window from 0 to `maximum` with one cancel button.
    virtual std::unique_ptr<ProgressReporter> Progress(QWidget* parent, const QString& title,
        const QString& label, const QString& cancelText, int maximum)
        = 0;
    /// The print dialog for `printer`; true when the user accepted it.
    virtual bool Print(QPrinter& printer, QWidget* parent, const QString& title) = 0;
    /// Runs any other modal dialog of the program (`QDialog::exec`); returns its result code.
    virtual int Exec(QDialog& dialog) = 0;
};

/// The provider in force; the widget-based one unless a test installed another.
DialogProvider& Dialogs();
/// Installs `provider` (not owned; null restores the widget-based one).
void SetDialogProvider(DialogProvider* provider);

/// Shortcuts that title the box with the application name, as every message of the program is.
QMessageBox::StandardButton Warn(QWidget* parent, const QString& text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
QMessageBox::StandardButton Inform(QWidget* parent, const QString& text);
QMessageBox::StandardButton Critical(QWidget* parent, const QString& text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
QMessageBox::StandardButton Ask(QWidget* parent, const QString& text,
    QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

} // namespace mtra::ui
