// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

// Shared helpers of the GUI tests: the scripted dialog provider and the URL recorder.

#include "Dialogs.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <deque>
#include <variant>
#include <vector>

namespace mtra::ui::test {

/// Answers every dialog of the program from a queue and records what was shown. With an empty
/// queue a message box answers its default button (else its first), a file dialog cancels, a
/// choice answers its default, a progress window runs to its end, a print dialog is accepted
/// and any other dialog is rejected.
class ScriptedDialogs : public DialogProvider
{
public:
    struct Shown {
        QString what; ///< "message", "choice", "open", "open-many", "folder", "save", "progress",
                      ///< "print", "dialog"
        QString title;
        QString
            text; ///< message text, dialog caption, progress label, or the printer's orientation
        Kind kind = Kind::Information;
        QStringList buttons; ///< for "choice"
    };
    /// One queued answer: a standard button, a choice index, a file name, several file
    /// names, a print/exec result.
    using Answer = std::variant<QMessageBox::StandardButton, int, QString, QStringList, bool>;

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void Queue(Answer answer) { m_answers.push_back(std::move(answer)); }
    /// A progress window reports cancelled after `steps` values (-1: never).
    void CancelProgressAfter(int steps) { m_cancelAfter = steps; }
    const std::vector<Shown>& History() const { return m_history; }
    /// The texts of every message and choice shown, in order.
    QStringList Texts() const;
    void Clear();
    bool AllAnswersUsed() const { return m_answers.empty(); }

    QMessageBox::StandardButton Message(Kind kind, QWidget* parent, const QString& title,
        const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton) override;
    int Choose(Kind kind, QWidget* parent, const QString& title, const QString& text,
        const QStringList& buttons, int defaultIndex, int escapeIndex) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
        const QString& filter) override;
    QStringList OpenFileNames(QWidget* parent, const QString& caption, const QString& folder,
        const QString& filter) override;
    QString ExistingFolder(QWidget* parent, const QString& caption, const QString& folder) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& folder,
        const QString& filter) override;
    std::unique_ptr<ProgressReporter> Progress(QWidget* parent, const QString& title,
        const QString& label, const QString& cancelText, int maximum) override;
    bool Print(QPrinter& printer, QWidget* parent, const QString& title) override;
    int Exec(QDialog& dialog) override;

private:
    template <typename T> bool Next(T& value);

    std::deque<Answer> m_answers;
    std::vector<Shown> m_history;
    int m_cancelAfter = -1;
};

/// Records the URLs the program opens through QDesktopServices (help pages, web links)
/// instead of starting a browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    UrlRecorder();
    ~UrlRecorder() override;
    const QList<QUrl>& Opened() const { return m_opened; }
    void Clear() { m_opened.clear(); }

public slots:
    void Open(const QUrl& url) { m_opened.append(url); }

private:
    QList<QUrl> m_opened;
};

/// The provider installed by the test main; tests clear it in their set-up.
ScriptedDialogs& Script();

} // namespace mtra::ui::test
